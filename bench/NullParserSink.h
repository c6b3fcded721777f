// A parser sink for the benchmarks: it takes every report and does nothing with it, as cheaply as
// a sink can, counting only what shows that the parse did its work.
#pragma once

#include "engine/html/IHtmlParserSink.h"

#include <cstddef>

class NullSink : public IHtmlParserSink {
public:
    BOOL IsStopRequested() override { return FALSE; }
    void AddKeywordText(const char*, int) override {}
    void ReportLink(LPCSTR, LPCSTR, int, DWORD, int, int) override { ++reports; }
    void ReportCodebaseLink(LPCSTR, LPCSTR, LPCSTR, int, DWORD, int, int) override { ++reports; }
    void OnTitle(LPCSTR) override { ++reports; }
    void OnAnchor(LPCSTR) override { ++reports; }
    void OnBase(LPCSTR) override {}
    void OnExtraLink(LPCSTR, LPCSTR, LPCSTR, int, DWORD, int, int) override {}
    void OnAuthor(LPCSTR) override {}
    void OnKeyword(LPCSTR) override {}
    void OnDescription(LPCSTR) override {}
    void OnOtherMeta(LPCSTR, LPCSTR, LPCSTR) override {}
    void OnFormEnd(LPCSTR, DWORD) override {}
    void OnNamedMeta(LPCSTR, LPCSTR, LPCSTR) override { ++namedMetas; }
    void OnHttpEquivMeta(LPCSTR, LPCSTR) override {}
    void OnLastModified(LONG) override {}
    size_t reports = 0;    // links, titles and anchors
    size_t namedMetas = 0;
};
