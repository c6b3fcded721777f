// Feeds arbitrary bytes to the HTML parser with every tag action: the parse either ends
// normally or raises a file exception, and every report is well formed.
#include "engine/html/CHtmlParser.h"
#include "engine/html/HtmlLinkTypes.h"
#include "engine/html/IHtmlParserSink.h"
#include "platform/core/CException.h"
#include "platform/core/CFileException.h"
#include "platform/core/CMemFile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Touches every byte of a text so that the sanitizers see a read past its end.
size_t Touch(LPCSTR psz)
{
    if (psz == nullptr)
        std::abort();
    return strlen(psz);
}

class CheckingSink : public IHtmlParserSink {
public:
    size_t m_nTotal = 0;

    BOOL IsStopRequested() override { return FALSE; }
    void AddKeywordText(const char* pBuffer, int nLength) override
    {
        if (pBuffer == nullptr || nLength <= 0)
            std::abort();
        m_nTotal += static_cast<size_t>(nLength);
    }
    void ReportLink(LPCSTR url, LPCSTR desc, int kind, DWORD flags, int w, int h) override
    {
        Touch(url);
        Touch(desc);
        CheckLink(kind, flags, w, h);
    }
    void ReportCodebaseLink(LPCSTR base, LPCSTR url, LPCSTR desc, int kind, DWORD flags, int w, int h) override
    {
        Touch(base);
        Touch(url);
        Touch(desc);
        CheckLink(kind, flags, w, h);
    }
    void OnTitle(LPCSTR t) override
    {
        if (Touch(t) == 0)
            std::abort();  // an empty title is never reported
    }
    void OnAnchor(LPCSTR n) override { Touch(n); }
    void OnBase(LPCSTR h) override { Touch(h); }
    void OnExtraLink(LPCSTR, LPCSTR, LPCSTR, int, DWORD, int, int) override { std::abort(); }
    void OnAuthor(LPCSTR a) override { Touch(a); }
    void OnKeyword(LPCSTR k) override
    {
        if (Touch(k) == 0)
            std::abort();
    }
    void OnDescription(LPCSTR d) override { Touch(d); }
    void OnOtherMeta(LPCSTR n, LPCSTR c, LPCSTR s) override
    {
        Touch(n);
        Touch(c);
        if (s != nullptr)
            Touch(s);
    }
    void OnFormEnd(LPCSTR n, DWORD) override { Touch(n); }
    void OnNamedMeta(LPCSTR n, LPCSTR c, LPCSTR s) override
    {
        Touch(n);
        Touch(c);
        if (s != nullptr)
            Touch(s);
    }
    void OnHttpEquivMeta(LPCSTR n, LPCSTR c) override
    {
        Touch(n);
        Touch(c);
    }
    void OnLastModified(LONG t) override
    {
        if (t < 0)
            std::abort();
    }

private:
    static void CheckLink(int kind, DWORD flags, int w, int h)
    {
        constexpr DWORD dwKnown = LINK_FLAG_WIDTH | LINK_FLAG_HEIGHT | LINK_FLAG_ALT | LINK_FLAG_WIDTH_PERCENT
            | LINK_FLAG_HEIGHT_PERCENT | LINK_FLAG_BACKGROUND | LINK_FLAG_TYPED | LINK_FLAG_SECONDARY
            | LINK_FLAG_SERVER_MAP | LINK_FLAG_ARCHIVE;
        if (kind < 0 || kind > LINK_KIND_FRAME || (flags & ~dwKnown) != 0)
            std::abort();
        if (((flags & LINK_FLAG_WIDTH) == 0) != (w == -1) || ((flags & LINK_FLAG_HEIGHT) == 0) != (h == -1))
            std::abort();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1u << 20)
        return 0;
    std::vector<uint8_t> buffer(data, data + size);
    CMemFile file(buffer.data(), static_cast<UINT>(buffer.size()));
    CheckingSink sink;
    try {
        CHtmlParser parser(&sink, &file, TRUE, TRUE, 1);
        parser.Parse();
        if (parser.GetBytesRead() != size)
            std::abort();
    } catch (CFileException* e) {
        e->Delete();
        return 0;
    }
    if (sink.m_nTotal != size)
        std::abort();
    return 0;
}
