// RcPreprocessor: turns a resource script and the files it includes into one stream of tokens,
// each carrying its file and line, with #define'd names replaced by their values and the
// sections of #if/#ifdef/#ifndef that do not apply left out.
//
// Header files (.h, .hh, .hpp, .hxx) contribute their directives only: their C++ text is skipped,
// so a script can include the program's id headers as they stand. Object-like macros are
// replaced everywhere; function-like ones are remembered but may not be used in a script.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace rc {

// A compile error at a place in a file; what() is "file:line: error: message".
class RcError : public std::runtime_error {
public:
    RcError(const std::string& file, int line, const std::string& message);
    const std::string& File() const { return m_file; }
    int Line() const { return m_line; }
    const std::string& Message() const { return m_message; }

private:
    std::string m_file;
    int m_line;
    std::string m_message;
};

enum class TokenKind { Identifier, Number, String, Punct, End };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;          // identifier, punctuation, or the decoded bytes of a string
    unsigned long value = 0;   // a number's value
    bool isLong = false;       // a number with an L suffix (a DWORD in raw data)
    const std::string* file = nullptr;
    int line = 0;
};

struct Macro {
    std::vector<Token> body;
    bool functionLike = false;
};

class RcPreprocessor {
public:
    explicit RcPreprocessor(std::vector<std::filesystem::path> includeDirs);

    // Defines a name before the script is read (the compiler's built-in names, -D options).
    void Define(const std::string& name, const std::string& value);
    // Reads the script and everything it includes; throws RcError.
    std::vector<Token> Run(const std::filesystem::path& script);
    // Every file read, for the build's dependency list.
    const std::vector<std::string>& Files() const { return m_fileList; }
    // Locates a file named by the script relative to the including file, then the include dirs.
    std::filesystem::path Resolve(const std::string& name, const std::string& fromFile) const;

private:
    struct Conditional {
        bool active;     // this branch's lines count
        bool taken;      // some branch of this #if has applied
        bool parentActive;
    };

    void ReadFile(const std::filesystem::path& path, int depth, const std::string& fromFile, int fromLine);
    void Directive(const std::string& text, const std::string* file, int line, std::vector<Conditional>& stack, int depth);
    std::vector<Token> Tokenize(const std::string& text, const std::string* file, int line, bool allowDirectiveHash);
    // Replaces macros in tokens; `inIf` also turns defined(X) into 1 or 0.
    std::vector<Token> Expand(const std::vector<Token>& tokens, bool inIf, int depth = 0);
    const std::string* Intern(const std::string& file);

    std::vector<std::filesystem::path> m_includeDirs;
    std::map<std::string, Macro> m_macros;
    std::vector<std::unique_ptr<std::string>> m_fileNames;
    std::vector<std::string> m_fileList;
    std::vector<Token> m_out;
};

// Evaluates a whole #if expression (C operators on unsigned long, unknown names 0).
unsigned long EvaluateCondition(const std::vector<Token>& tokens, const std::string& file, int line);

} // namespace rc
