// Feeds arbitrary bytes through the encoding-translating file to the HTML lexer. Lexing must
// end without a crash, and must raise the same events whether the page arrives whole or one
// byte per read.
#include "engine/html/CHtmlLexer.h"
#include "engine/html/CTranslatingFile.h"
#include "platform/core/CException.h"
#include "platform/core/CFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A read-only file over the fuzzer's bytes, handing out at most m_nChunk bytes per read.
class InputFile : public CFile {
public:
    InputFile(const uint8_t* data, size_t size, size_t nChunk) : m_data(data), m_size(size), m_nChunk(nChunk) {}
    UINT Read(void* lpBuf, UINT nCount) override
    {
        const size_t n = std::min({static_cast<size_t>(nCount), m_nChunk, m_size - m_pos});
        if (n > 0)
            std::memcpy(lpBuf, m_data + m_pos, n);
        m_pos += n;
        return static_cast<UINT>(n);
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_nChunk;
    size_t m_pos = 0;
};

// Records a digest of every event and checks what each one is handed.
class CheckingLexer : public CHtmlLexer {
public:
    explicit CheckingLexer(CFile* pInput) : CHtmlLexer(pInput, nullptr) {}

    void OnStartTag(LPCSTR p, int n) override { Add('S', p, n); }
    void OnAttrName(LPCSTR p, int n) override { Add('N', p, n); }
    void OnAttrNoValue(LPCSTR p, int n) override { Add('O', p, n); }
    void OnAttrTokenValue(LPCSTR p, int n) override { Add('T', p, n); }
    void OnAttrValue(LPCSTR p, int n) override { Add('V', p, n); }
    void OnTagEnd() override { Add('>', "", 0); }
    void OnEndTag(LPCSTR p, int n) override { Add('E', p, n); }
    void OnText(LPCSTR p, int n) override { Add('X', p, n); }
    void OnWhitespace(LPCSTR p, int n) override { Add('W', p, n); }
    void OnMarkup(LPCSTR p, int n) override { Add('M', p, n); }
    void OnStray(LPCSTR p, int n) override { Add('Y', p, n); }
    void OnScriptStart() override { Add('{', "", 0); }
    void OnScriptEnd() override { Add('}', "", 0); }
    void OnScriptText(LPCSTR p, int n) override { Add('J', p, n); }
    void OnUnmatched(LPCSTR p, int n) override { Add('U', p, n); }

    std::string log;

private:
    void Add(char kind, LPCSTR p, int n)
    {
        if (p == nullptr || n < 0 || GetTokenLength() <= 0)
            std::abort();
        // Names handed to the tag events are upper-cased name characters.
        if (kind == 'S' || kind == 'N' || kind == 'O') {
            if (n == 0)
                std::abort();
            for (int i = 0; i < n; ++i) {
                const char c = p[i];
                if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.'))
                    std::abort();
            }
        }
        log += kind;
        log.append(p, static_cast<size_t>(n));
        log += '\0';
    }
};

std::string LexAll(const uint8_t* data, size_t size, size_t nChunk)
{
    InputFile input(data, size, nChunk);
    CTranslatingFile translating(&input);
    CheckingLexer lexer(&translating);
    try {
        if (lexer.Lex() != 0)
            std::abort();
    } catch (CException* e) {
        // Nothing here fails to read, so no scanner error may be raised.
        e->Delete();
        std::abort();
    }
    return lexer.log;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1u << 16)
        return 0;
    const std::string whole = LexAll(data, size, 1u << 20);
    const std::string bytewise = LexAll(data, size, 1);
    if (whole != bytewise)
        std::abort();
    return 0;
}
