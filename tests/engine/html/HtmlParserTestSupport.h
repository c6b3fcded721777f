// A parser sink that records every report as one line of text, and a helper that parses a
// string with it, for the parser and tag action tests.
#pragma once

#include "engine/html/CHtmlParser.h"
#include "engine/html/IHtmlParserSink.h"
#include "platform/core/CMemFile.h"

#include <string>
#include <vector>

namespace htmltest {

class RecordingSink : public IHtmlParserSink {
public:
    std::vector<std::string> m_reports;
    std::string m_keywordText;
    int m_nStopAfterPolls = -1;  // -1: never ask to stop
    int m_nPolls = 0;

    BOOL IsStopRequested() override
    {
        ++m_nPolls;
        return m_nStopAfterPolls >= 0 && m_nPolls > m_nStopAfterPolls;
    }
    void AddKeywordText(const char* pBuffer, int nLength) override { m_keywordText.append(pBuffer, static_cast<size_t>(nLength)); }

    void ReportLink(LPCSTR url, LPCSTR desc, int kind, DWORD flags, int w, int h) override
    {
        Add("link " + S(url) + " | " + S(desc) + " | " + Nums(kind, flags, w, h));
    }
    void ReportCodebaseLink(LPCSTR base, LPCSTR url, LPCSTR desc, int kind, DWORD flags, int w, int h) override
    {
        Add("codebase " + S(base) + " | " + S(url) + " | " + S(desc) + " | " + Nums(kind, flags, w, h));
    }
    void OnTitle(LPCSTR t) override { Add("title " + S(t)); }
    void OnAnchor(LPCSTR n) override { Add("anchor " + S(n)); }
    void OnBase(LPCSTR h) override { Add("base " + S(h)); }
    void OnExtraLink(LPCSTR base, LPCSTR url, LPCSTR desc, int kind, DWORD flags, int w, int h) override
    {
        Add("extra " + S(base) + " | " + S(url) + " | " + S(desc) + " | " + Nums(kind, flags, w, h));
    }
    void OnAuthor(LPCSTR a) override { Add("author " + S(a)); }
    void OnKeyword(LPCSTR k) override { Add("keyword " + S(k)); }
    void OnDescription(LPCSTR d) override { Add("description " + S(d)); }
    void OnOtherMeta(LPCSTR n, LPCSTR c, LPCSTR s) override { Add("othermeta " + S(n) + " | " + S(c) + " | " + S(s)); }
    void OnFormEnd(LPCSTR n, DWORD sum) override { Add("form " + S(n) + " | " + std::to_string(sum)); }
    void OnNamedMeta(LPCSTR n, LPCSTR c, LPCSTR s) override { Add("namedmeta " + S(n) + " | " + S(c) + " | " + S(s)); }
    void OnHttpEquivMeta(LPCSTR n, LPCSTR c) override { Add("httpequiv " + S(n) + " | " + S(c)); }
    void OnLastModified(LONG t) override { Add("lastmodified " + std::to_string(t)); }

    // The reports that begin with the prefix.
    std::vector<std::string> With(const std::string& prefix) const
    {
        std::vector<std::string> out;
        for (const auto& r : m_reports)
            if (r.compare(0, prefix.size(), prefix) == 0)
                out.push_back(r);
        return out;
    }

private:
    void Add(std::string s) { m_reports.push_back(std::move(s)); }
    static std::string S(LPCSTR p) { return p == nullptr ? "(null)" : std::string(p); }
    static std::string Nums(int kind, DWORD flags, int w, int h)
    {
        return std::to_string(kind) + " " + std::to_string(flags) + " " + std::to_string(w) + " " + std::to_string(h);
    }
};

// A parser that also records the scripts it is handed.
class ScriptRecordingParser : public CHtmlParser {
public:
    using CHtmlParser::CHtmlParser;
    std::vector<std::string> m_javaScripts;
    std::vector<std::string> m_vbScripts;
    void OnJavaScript(LPCSTR s) override { m_javaScripts.emplace_back(s); }
    void OnVBScript(LPCSTR s) override { m_vbScripts.emplace_back(s); }
};

// Parses the text with the sink; the scan options' defaults: both script languages on and
// event attributes taken as JavaScript.
inline void Parse(const std::string& html, IHtmlParserSink& sink, BOOL bJavaScript = TRUE, BOOL bVBScript = TRUE)
{
    std::vector<BYTE> bytes(html.begin(), html.end());
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CHtmlParser parser(&sink, &file, bJavaScript, bVBScript, 1);
    parser.Parse();
}

inline std::vector<std::string> Reports(const std::string& html)
{
    RecordingSink sink;
    Parse(html, sink);
    return sink.m_reports;
}

} // namespace htmltest
