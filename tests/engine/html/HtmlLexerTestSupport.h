// Helpers of the HTML tests: a lexer that records its events as lines, and input files that
// deliver bytes in pieces or fail.
#pragma once

#include "engine/html/CHtmlLexer.h"
#include "platform/core/CFile.h"
#include "platform/core/CFileException.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace htmltest {

// A read-only file over a string that hands out at most nChunk bytes per Read, and raises a
// file exception once nFailAfter bytes were read (when nFailAfter is not npos).
class ChunkFile : public CFile {
public:
    explicit ChunkFile(std::string data, size_t nChunk = 1, size_t nFailAfter = std::string::npos)
        : m_data(std::move(data)), m_nChunk(nChunk), m_nFailAfter(nFailAfter)
    {
    }
    UINT Read(void* lpBuf, UINT nCount) override
    {
        if (m_nPos >= m_nFailAfter)
            AfxThrowFileException(CFileException::hardIO, 5);
        size_t n = std::min({static_cast<size_t>(nCount), m_nChunk, m_data.size() - m_nPos});
        if (m_nFailAfter != std::string::npos)
            n = std::min(n, m_nFailAfter - m_nPos);
        std::memcpy(lpBuf, m_data.data() + m_nPos, n);
        m_nPos += n;
        reads.push_back(nCount);
        return static_cast<UINT>(n);
    }
    std::vector<UINT> reads; // the counts asked for

private:
    std::string m_data;
    size_t m_nChunk;
    size_t m_nFailAfter;
    size_t m_nPos = 0;
};

// Records every event as "Event" or "Event:text".
class RecordingLexer : public CHtmlLexer {
public:
    explicit RecordingLexer(CFile* pInput) : CHtmlLexer(pInput, nullptr) {}

    void OnStartTag(LPCSTR p, int n) override { Add("StartTag", p, n); }
    void OnAttrName(LPCSTR p, int n) override { Add("AttrName", p, n); }
    void OnAttrNoValue(LPCSTR p, int n) override { Add("AttrNoValue", p, n); }
    void OnAttrTokenValue(LPCSTR p, int n) override { Add("AttrTokenValue", p, n); }
    void OnAttrValue(LPCSTR p, int n) override { Add("AttrValue", p, n); }
    void OnTagEnd() override { events.push_back("TagEnd"); }
    void OnEndTag(LPCSTR p, int n) override { Add("EndTag", p, n); }
    void OnText(LPCSTR p, int n) override { Add("Text", p, n); }
    void OnWhitespace(LPCSTR p, int n) override { Add("Whitespace", p, n); }
    void OnMarkup(LPCSTR p, int n) override { Add("Markup", p, n); }
    void OnStray(LPCSTR p, int n) override { Add("Stray", p, n); }
    void OnScriptStart() override { events.push_back("ScriptStart"); }
    void OnScriptEnd() override { events.push_back("ScriptEnd"); }
    void OnScriptText(LPCSTR p, int n) override { Add("ScriptText", p, n); }
    void OnUnmatched(LPCSTR p, int n) override { Add("Unmatched", p, n); }

    // The whole token of the last OnAttrName, as a copying subclass sees it.
    std::string lastAttrToken;
    std::vector<std::string> events;

    // Every text of one event kind, joined, for checking that nothing was lost.
    std::string Joined(const std::string& kind) const
    {
        std::string out;
        for (const std::string& e : events) {
            if (e.compare(0, kind.size() + 1, kind + ":") == 0)
                out += e.substr(kind.size() + 1);
        }
        return out;
    }

protected:
    void Add(const char* kind, LPCSTR p, int n)
    {
        if (std::strcmp(kind, "AttrName") == 0)
            lastAttrToken.assign(GetTokenText(), static_cast<size_t>(GetTokenLength()));
        events.push_back(std::string(kind) + ":" + std::string(p, static_cast<size_t>(n)));
    }
};

// Lexes the text, delivered nChunk bytes per read, and returns the events.
inline std::vector<std::string> LexEvents(const std::string& text, size_t nChunk = 8192)
{
    ChunkFile file(text, nChunk);
    RecordingLexer lexer(&file);
    lexer.Lex();
    return lexer.events;
}

} // namespace htmltest
