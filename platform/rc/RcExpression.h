// Reading a resource script's tokens in order, and the integer expressions in them: numbers and
// C operators (| ^ & << >> + - * / % ~ unary minus, comparisons and ! && || in #if), with
// parentheses. Values are unsigned and wrap like the 32-bit fields they fill.
#pragma once

#include "platform/rc/RcPreprocessor.h"

#include <string_view>

namespace rc {

class TokenCursor {
public:
    explicit TokenCursor(const std::vector<Token>& tokens);

    const Token& Peek(size_t ahead = 0) const;
    const Token& Next();
    bool AtEnd() const { return Peek().kind == TokenKind::End; }
    size_t Position() const { return m_pos; }
    // Goes back to a position taken earlier, to read the same tokens another way.
    void Seek(size_t pos) { m_pos = pos; }
    // The token at an absolute position (for looking back over what an expression took).
    const Token& At(size_t pos) const { return pos < m_tokens.size() ? m_tokens[pos] : m_end; }
    bool IsPunct(std::string_view p, size_t ahead = 0) const;
    // An identifier equal to word, ignoring case (the script's keywords are not case-sensitive).
    bool IsWord(std::string_view word, size_t ahead = 0) const;
    // Takes the punctuation or keyword when it is next.
    bool Accept(std::string_view punctOrWord);
    void Expect(std::string_view punctOrWord, std::string_view what);
    // An error at the next token's place (or the last one's at the end).
    [[noreturn]] void Fail(const std::string& message) const;

private:
    const std::vector<Token>& m_tokens;
    size_t m_pos = 0;
    Token m_end;
};

// `conditional`: the #if dialect, where names left after macro expansion are 0.
unsigned long ParseExpression(TokenCursor& in, bool conditional = false);
// One operand of a "|" chain: everything that binds tighter than "|".
unsigned long ParseOperand(TokenCursor& in);
// Whether the next token can start an expression.
bool StartsExpression(const TokenCursor& in);

} // namespace rc
