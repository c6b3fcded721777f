#include "platform/rc/RcPreprocessor.h"

#include "platform/rc/RcExpression.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace rc {

RcError::RcError(const std::string& file, int line, const std::string& message)
    : std::runtime_error(file + ":" + std::to_string(line) + ": error: " + message), m_file(file), m_line(line),
      m_message(message)
{
}

namespace {

const int kMaxIncludeDepth = 32;
const int kMaxExpansionDepth = 64;
const std::uintmax_t kMaxFileSize = 64u << 20;
const size_t kMaxExpandedTokens = 100000;

bool IsHeader(const fs::path& path)
{
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".h" || ext == ".hh" || ext == ".hpp" || ext == ".hxx";
}

bool IsIdentStart(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool IsIdentChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Blanks out comments, keeping line breaks (so lines keep their numbers) and strings intact.
std::string StripComments(const std::string& text, const std::string& file)
{
    std::string out = text;
    size_t i = 0;
    int line = 1;
    while (i < out.size()) {
        char c = out[i];
        if (c == '\n') {
            ++line;
            ++i;
        } else if (c == '"') {
            // A string ends at its closing quote ("" is a quote inside it) or at the line's end.
            ++i;
            while (i < out.size() && out[i] != '\n') {
                if (out[i] == '\\' && i + 1 < out.size() && out[i + 1] != '\n') {
                    i += 2;
                } else if (out[i] == '"') {
                    if (i + 1 < out.size() && out[i + 1] == '"') {
                        i += 2;
                    } else {
                        ++i;
                        break;
                    }
                } else {
                    ++i;
                }
            }
        } else if (c == '/' && i + 1 < out.size() && out[i + 1] == '/') {
            while (i < out.size() && out[i] != '\n')
                out[i++] = ' ';
        } else if (c == '/' && i + 1 < out.size() && out[i + 1] == '*') {
            const int startLine = line;
            out[i] = out[i + 1] = ' ';
            i += 2;
            bool closed = false;
            while (i < out.size()) {
                if (out[i] == '*' && i + 1 < out.size() && out[i + 1] == '/') {
                    out[i] = out[i + 1] = ' ';
                    i += 2;
                    closed = true;
                    break;
                }
                if (out[i] == '\n')
                    ++line;
                else
                    out[i] = ' ';
                ++i;
            }
            if (!closed)
                throw RcError(file, startLine, "comment is not closed");
        } else {
            ++i;
        }
    }
    return out;
}

std::string Trim(const std::string& s)
{
    size_t a = s.find_first_not_of(" \t\r\f\v");
    if (a == std::string::npos)
        return {};
    size_t b = s.find_last_not_of(" \t\r\f\v");
    return s.substr(a, b - a + 1);
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

RcPreprocessor::RcPreprocessor(std::vector<fs::path> includeDirs) : m_includeDirs(std::move(includeDirs)) {}

const std::string* RcPreprocessor::Intern(const std::string& file)
{
    for (auto& name : m_fileNames)
        if (*name == file)
            return name.get();
    m_fileNames.push_back(std::make_unique<std::string>(file));
    return m_fileNames.back().get();
}

void RcPreprocessor::Define(const std::string& name, const std::string& value)
{
    static const std::string builtIn = "<built-in>";
    Macro macro;
    macro.body = Tokenize(value, Intern(builtIn), 0, false);
    m_macros[name] = std::move(macro);
}

fs::path RcPreprocessor::Resolve(const std::string& name, const std::string& fromFile) const
{
    // Only regular files: a device or a pipe named by mistake would never end.
    fs::path wanted(name);
    std::error_code ec;
    if (wanted.is_absolute())
        return fs::is_regular_file(wanted, ec) ? wanted : fs::path();
    fs::path local = fs::path(fromFile).parent_path() / wanted;
    if (fs::is_regular_file(local, ec))
        return local;
    for (const fs::path& dir : m_includeDirs) {
        fs::path candidate = dir / wanted;
        if (fs::is_regular_file(candidate, ec))
            return candidate;
    }
    return {};
}

std::vector<Token> RcPreprocessor::Run(const fs::path& script)
{
    m_out.clear();
    ReadFile(script, 0, std::string(), 0);
    return std::move(m_out);
}

void RcPreprocessor::ReadFile(const fs::path& path, int depth, const std::string& fromFile, int fromLine)
{
    const std::string name = path.string();
    if (depth > kMaxIncludeDepth)
        throw RcError(fromFile, fromLine, "includes nested too deeply (does \"" + name + "\" include itself?)");
    auto cannotOpen = [&]() -> RcError {
        if (fromFile.empty())
            return RcError(name, 0, "cannot open the file");
        return RcError(fromFile, fromLine, "cannot open \"" + name + "\"");
    };
    // Only regular files: a device or a pipe named by mistake would never end.
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        throw cannotOpen();
    if (fs::file_size(path, ec) > kMaxFileSize)
        throw RcError(fromFile.empty() ? name : fromFile, fromLine, "\"" + name + "\" is larger than 64 MB");
    std::ifstream stream(path, std::ios::binary);
    if (!stream)
        throw cannotOpen();
    std::stringstream buffer;
    buffer << stream.rdbuf();
    if (std::find(m_fileList.begin(), m_fileList.end(), name) == m_fileList.end())
        m_fileList.push_back(name);
    const std::string* file = Intern(name);
    std::string text = StripComments(buffer.str(), name);
    // A UTF-8 byte order mark says nothing the bytes do not.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    const bool header = IsHeader(path);

    std::vector<Conditional> stack;
    std::istringstream lines(text);
    std::string physical;
    int lineNo = 0;
    while (std::getline(lines, physical)) {
        ++lineNo;
        const int startLine = lineNo;
        std::string trimmed = Trim(physical);
        if (!trimmed.empty() && trimmed[0] == '#') {
            // A directive goes on over lines that end in a backslash.
            while (!trimmed.empty() && trimmed.back() == '\\') {
                trimmed.pop_back();
                std::string next;
                if (!std::getline(lines, next))
                    break;
                ++lineNo;
                trimmed += " " + Trim(next);
            }
            Directive(trimmed.substr(1), file, startLine, stack, depth);
            continue;
        }
        const bool active = stack.empty() || stack.back().active;
        if (!active || header || trimmed.empty())
            continue;
        std::vector<Token> tokens = Expand(Tokenize(physical, file, startLine, false), false);
        m_out.insert(m_out.end(), tokens.begin(), tokens.end());
    }
    if (!stack.empty())
        throw RcError(name, lineNo, "#if without #endif");
}

void RcPreprocessor::Directive(const std::string& text, const std::string* file, int line,
                               std::vector<Conditional>& stack, int depth)
{
    std::string rest = Trim(text);
    size_t nameEnd = 0;
    while (nameEnd < rest.size() && IsIdentChar(rest[nameEnd]))
        ++nameEnd;
    const std::string directive = rest.substr(0, nameEnd);
    const std::string argument = Trim(rest.substr(nameEnd));
    const bool active = stack.empty() || stack.back().active;

    auto condition = [&](bool value) {
        stack.push_back(Conditional{active && value, value, active});
    };
    auto macroName = [&]() {
        size_t n = 0;
        while (n < argument.size() && IsIdentChar(argument[n]))
            ++n;
        if (n == 0 || !IsIdentStart(argument[0]))
            throw RcError(*file, line, "#" + directive + " needs a name");
        return argument.substr(0, n);
    };

    if (directive == "if" || directive == "ifdef" || directive == "ifndef") {
        if (!active) {
            condition(false);
            return;
        }
        if (directive == "if")
            condition(EvaluateCondition(Expand(Tokenize(argument, file, line, false), true), *file, line) != 0);
        else
            condition((m_macros.count(macroName()) != 0) == (directive == "ifdef"));
        return;
    }
    if (directive == "elif" || directive == "else") {
        if (stack.empty())
            throw RcError(*file, line, "#" + directive + " without #if");
        Conditional& top = stack.back();
        if (!top.parentActive || top.taken) {
            top.active = false;
            return;
        }
        bool value = directive == "else"
            || EvaluateCondition(Expand(Tokenize(argument, file, line, false), true), *file, line) != 0;
        top.active = value;
        top.taken = value;
        return;
    }
    if (directive == "endif") {
        if (stack.empty())
            throw RcError(*file, line, "#endif without #if");
        stack.pop_back();
        return;
    }
    if (!active)
        return;

    if (directive == "define") {
        const std::string name = macroName();
        Macro macro;
        std::string body = argument.substr(name.size());
        if (!body.empty() && body[0] == '(') {
            macro.functionLike = true;
            body.clear();
        }
        macro.body = Tokenize(body, file, line, false);
        m_macros[name] = std::move(macro);
    } else if (directive == "undef") {
        m_macros.erase(macroName());
    } else if (directive == "include") {
        std::string target;
        bool system = false;
        if (argument.size() >= 2 && argument.front() == '"' && argument.find('"', 1) != std::string::npos) {
            target = argument.substr(1, argument.find('"', 1) - 1);
        } else if (argument.size() >= 2 && argument.front() == '<' && argument.find('>') != std::string::npos) {
            target = argument.substr(1, argument.find('>') - 1);
            system = true;
        } else {
            throw RcError(*file, line, "#include needs a \"file\" or <file>");
        }
        fs::path resolved = Resolve(target, *file);
        if (resolved.empty()) {
            // The platform's own headers are built into the compiler; a script may still name them.
            if (system)
                return;
            throw RcError(*file, line, "cannot find the included file \"" + target + "\"");
        }
        ReadFile(resolved, depth + 1, *file, line);
    } else if (directive == "pragma" || directive == "line" || directive.empty()) {
        // Code pages and the like: the script is UTF-8 whatever it says.
    } else if (directive == "error") {
        throw RcError(*file, line, "#error " + argument);
    } else {
        throw RcError(*file, line, "unknown directive #" + directive);
    }
}

std::vector<Token> RcPreprocessor::Tokenize(const std::string& text, const std::string* file, int line, bool)
{
    std::vector<Token> tokens;
    size_t i = 0;
    const size_t n = text.size();
    auto fail = [&](const std::string& message) { throw RcError(*file, line, message); };
    while (i < n) {
        char c = text[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
            continue;
        }
        Token t;
        t.file = file;
        t.line = line;
        if ((c == 'L' || c == 'l') && i + 1 < n && text[i + 1] == '"')
            c = text[++i]; // a wide-string prefix: the text is bytes all the same
        if (c == '"') {
            t.kind = TokenKind::String;
            ++i;
            bool closed = false;
            while (i < n) {
                char d = text[i];
                if (d == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        t.text += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                if (d == '\n')
                    break;
                if (d != '\\' || i + 1 >= n) {
                    t.text += d;
                    ++i;
                    continue;
                }
                char e = text[i + 1];
                i += 2;
                switch (e) {
                case 'n': t.text += '\n'; break;
                case 'r': t.text += '\r'; break;
                case 't': t.text += '\t'; break;
                case 'a': t.text += '\a'; break;
                case 'b': t.text += '\b'; break;
                case 'f': t.text += '\f'; break;
                case 'v': t.text += '\v'; break;
                case '\\': t.text += '\\'; break;
                case '"': t.text += '"'; break;
                case '\'': t.text += '\''; break;
                case '?': t.text += '?'; break;
                case 'x': {
                    int value = 0, digits = 0;
                    while (digits < 2 && i < n && HexValue(text[i]) >= 0)
                        value = value * 16 + HexValue(text[i++]), ++digits;
                    if (digits == 0)
                        fail("\\x needs hex digits");
                    t.text += static_cast<char>(value);
                    break;
                }
                default:
                    if (e >= '0' && e <= '7') {
                        int value = e - '0', digits = 1;
                        while (digits < 3 && i < n && text[i] >= '0' && text[i] <= '7')
                            value = value * 8 + (text[i++] - '0'), ++digits;
                        t.text += static_cast<char>(value & 0xFF);
                    } else {
                        // An unknown escape keeps its backslash, as a path in a string would.
                        t.text += '\\';
                        t.text += e;
                    }
                }
            }
            if (!closed)
                fail("string is not closed");
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            t.kind = TokenKind::Number;
            size_t start = i;
            unsigned long value = 0;
            if (c == '0' && i + 1 < n && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
                i += 2;
                if (i >= n || HexValue(text[i]) < 0)
                    fail("0x needs hex digits");
                while (i < n && HexValue(text[i]) >= 0)
                    value = value * 16 + static_cast<unsigned long>(HexValue(text[i++]));
            } else {
                const unsigned base = (c == '0') ? 8 : 10;
                while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) {
                    unsigned digit = static_cast<unsigned>(text[i] - '0');
                    if (digit >= base)
                        fail("bad digit in the octal number " + text.substr(start, i - start + 1));
                    value = value * base + digit;
                    ++i;
                }
            }
            while (i < n && (text[i] == 'L' || text[i] == 'l' || text[i] == 'U' || text[i] == 'u')) {
                if (text[i] == 'L' || text[i] == 'l')
                    t.isLong = true;
                ++i;
            }
            if (i < n && IsIdentChar(text[i]))
                fail("bad number '" + text.substr(start, i - start + 1) + "'");
            t.value = value;
            t.text = text.substr(start, i - start);
        } else if (IsIdentStart(c)) {
            t.kind = TokenKind::Identifier;
            size_t start = i;
            while (i < n && IsIdentChar(text[i]))
                ++i;
            t.text = text.substr(start, i - start);
        } else {
            t.kind = TokenKind::Punct;
            static const char* const twoChar[] = {"||", "&&", "==", "!=", "<=", ">=", "<<", ">>"};
            t.text = std::string(1, c);
            for (const char* op : twoChar)
                if (text.compare(i, 2, op) == 0)
                    t.text = op;
            i += t.text.size();
        }
        tokens.push_back(std::move(t));
    }
    return tokens;
}

std::vector<Token> RcPreprocessor::Expand(const std::vector<Token>& tokens, bool inIf, int depth)
{
    if (depth > kMaxExpansionDepth)
        throw RcError(tokens.empty() ? std::string() : *tokens[0].file, tokens.empty() ? 0 : tokens[0].line,
                      "macros expand into themselves");
    std::vector<Token> out;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.kind != TokenKind::Identifier) {
            out.push_back(t);
            continue;
        }
        if (inIf && t.text == "defined") {
            size_t j = i + 1;
            bool paren = j < tokens.size() && tokens[j].kind == TokenKind::Punct && tokens[j].text == "(";
            if (paren)
                ++j;
            if (j >= tokens.size() || tokens[j].kind != TokenKind::Identifier)
                throw RcError(*t.file, t.line, "defined needs a name");
            Token value = t;
            value.kind = TokenKind::Number;
            value.value = m_macros.count(tokens[j].text) ? 1 : 0;
            value.text = std::to_string(value.value);
            if (paren) {
                ++j;
                if (j >= tokens.size() || tokens[j].text != ")")
                    throw RcError(*t.file, t.line, "defined( needs a closing parenthesis");
            }
            out.push_back(value);
            i = j;
            continue;
        }
        auto it = m_macros.find(t.text);
        if (it == m_macros.end()) {
            out.push_back(t);
            continue;
        }
        if (it->second.functionLike) {
            if (inIf) {
                out.push_back(t);
                continue;
            }
            throw RcError(*t.file, t.line, "the macro " + t.text + "(...) takes arguments, which scripts do not support");
        }
        // The expansion reports the place where the name was used.
        std::vector<Token> body = it->second.body;
        for (Token& b : body) {
            b.file = t.file;
            b.line = t.line;
        }
        std::vector<Token> expanded = Expand(body, inIf, depth + 1);
        out.insert(out.end(), expanded.begin(), expanded.end());
        // Macros that each name another twice would otherwise double the line at every level.
        if (out.size() > kMaxExpandedTokens)
            throw RcError(*t.file, t.line, "the macros on this line expand to more than 100000 tokens");
    }
    return out;
}

unsigned long EvaluateCondition(const std::vector<Token>& tokens, const std::string& file, int line)
{
    if (tokens.empty())
        throw RcError(file, line, "#if needs an expression");
    TokenCursor in(tokens);
    unsigned long value = ParseExpression(in, true);
    if (!in.AtEnd())
        in.Fail("unexpected '" + in.Peek().text + "' in #if");
    return value;
}

} // namespace rc
