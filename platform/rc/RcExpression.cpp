#include "platform/rc/RcExpression.h"

#include <cctype>
#include <strings.h>

namespace rc {

namespace {

bool IsKeywordLike(std::string_view s)
{
    return !s.empty() && (std::isalpha(static_cast<unsigned char>(s[0])) || s[0] == '_');
}

// Binary operators by precedence level, lowest first.
const std::vector<std::vector<std::string_view>>& Levels()
{
    static const std::vector<std::vector<std::string_view>> levels = {
        {"||"}, {"&&"}, {"|"}, {"^"}, {"&"}, {"==", "!="}, {"<", ">", "<=", ">="}, {"<<", ">>"},
        {"+", "-"}, {"*", "/", "%"}};
    return levels;
}

unsigned long Apply(TokenCursor& in, std::string_view op, unsigned long a, unsigned long b)
{
    if (op == "||") return (a || b) ? 1 : 0;
    if (op == "&&") return (a && b) ? 1 : 0;
    if (op == "|") return a | b;
    if (op == "^") return a ^ b;
    if (op == "&") return a & b;
    if (op == "==") return a == b;
    if (op == "!=") return a != b;
    if (op == "<") return static_cast<long>(a) < static_cast<long>(b);
    if (op == ">") return static_cast<long>(a) > static_cast<long>(b);
    if (op == "<=") return static_cast<long>(a) <= static_cast<long>(b);
    if (op == ">=") return static_cast<long>(a) >= static_cast<long>(b);
    if (op == "<<") return b >= 64 ? 0 : a << b;
    if (op == ">>") return b >= 64 ? 0 : a >> b;
    if (op == "+") return a + b;
    if (op == "-") return a - b;
    if (op == "*") return a * b;
    if (b == 0)
        in.Fail("division by zero");
    if (op == "/") return static_cast<unsigned long>(static_cast<long>(a) / static_cast<long>(b));
    return static_cast<unsigned long>(static_cast<long>(a) % static_cast<long>(b));
}

unsigned long Unary(TokenCursor& in, bool conditional, int depth);

unsigned long Binary(TokenCursor& in, bool conditional, size_t level, int depth)
{
    if (level == Levels().size())
        return Unary(in, conditional, depth);
    unsigned long value = Binary(in, conditional, level + 1, depth);
    for (;;) {
        std::string_view op;
        for (std::string_view candidate : Levels()[level])
            if (in.IsPunct(candidate))
                op = candidate;
        // Outside #if, "||" and "&&" never appear, and a lone "|" chains styles.
        if (op.empty() || (!conditional && (op == "||" || op == "&&")))
            return value;
        in.Next();
        unsigned long rhs = Binary(in, conditional, level + 1, depth);
        value = Apply(in, op, value, rhs);
    }
}

unsigned long Unary(TokenCursor& in, bool conditional, int depth)
{
    if (depth > 200)
        in.Fail("expression nested too deeply");
    if (in.Accept("-"))
        return 0UL - Unary(in, conditional, depth + 1);
    if (in.Accept("+"))
        return Unary(in, conditional, depth + 1);
    if (in.Accept("~"))
        return ~Unary(in, conditional, depth + 1);
    if (in.Accept("!"))
        return Unary(in, conditional, depth + 1) == 0 ? 1 : 0;
    if (in.Accept("(")) {
        unsigned long value = Binary(in, conditional, 0, depth + 1);
        in.Expect(")", "to close the parenthesis");
        return value;
    }
    const Token& t = in.Peek();
    if (t.kind == TokenKind::Number) {
        in.Next();
        return t.value;
    }
    if (t.kind == TokenKind::Identifier) {
        if (conditional) {
            in.Next();
            return 0;
        }
        in.Fail("undefined symbol '" + t.text + "'");
    }
    if (t.kind == TokenKind::End)
        in.Fail("expected a number at the end of the input");
    in.Fail("expected a number, found '" + t.text + "'");
}

} // namespace

TokenCursor::TokenCursor(const std::vector<Token>& tokens) : m_tokens(tokens)
{
    // The end reports the place of the last token, so an error there names a line.
    if (!tokens.empty()) {
        m_end.file = tokens.back().file;
        m_end.line = tokens.back().line;
    }
}

const Token& TokenCursor::Peek(size_t ahead) const
{
    if (m_pos + ahead >= m_tokens.size())
        return m_end;
    return m_tokens[m_pos + ahead];
}

const Token& TokenCursor::Next()
{
    const Token& t = Peek();
    if (m_pos < m_tokens.size())
        ++m_pos;
    return t;
}

bool TokenCursor::IsPunct(std::string_view p, size_t ahead) const
{
    const Token& t = Peek(ahead);
    return t.kind == TokenKind::Punct && t.text == p;
}

bool TokenCursor::IsWord(std::string_view word, size_t ahead) const
{
    const Token& t = Peek(ahead);
    return t.kind == TokenKind::Identifier && t.text.size() == word.size()
        && strncasecmp(t.text.c_str(), word.data(), word.size()) == 0;
}

bool TokenCursor::Accept(std::string_view punctOrWord)
{
    if (IsKeywordLike(punctOrWord) ? IsWord(punctOrWord) : IsPunct(punctOrWord)) {
        Next();
        return true;
    }
    return false;
}

void TokenCursor::Expect(std::string_view punctOrWord, std::string_view what)
{
    if (!Accept(punctOrWord)) {
        const Token& t = Peek();
        Fail("expected '" + std::string(punctOrWord) + "' " + std::string(what)
             + (t.kind == TokenKind::End ? std::string(", found the end of the input")
                                         : ", found '" + t.text + "'"));
    }
}

void TokenCursor::Fail(const std::string& message) const
{
    const Token& t = Peek();
    throw RcError(t.file ? *t.file : std::string("<input>"), t.line, message);
}

unsigned long ParseExpression(TokenCursor& in, bool conditional)
{
    return Binary(in, conditional, 0, 0);
}

unsigned long ParseOperand(TokenCursor& in)
{
    return Binary(in, false, 3, 0);
}

bool StartsExpression(const TokenCursor& in)
{
    const Token& t = in.Peek();
    return t.kind == TokenKind::Number || in.IsPunct("(") || in.IsPunct("-") || in.IsPunct("~")
        || in.IsPunct("+");
}

} // namespace rc
