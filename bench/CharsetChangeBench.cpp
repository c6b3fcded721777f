// A page given another charset by its Content-Type, rewritten by the META rewriting engine: a
// 1 MB UTF-8 page of French text with scripts and style sheets, converted to windows-1252
// (references in its text, escapes in its scripts and styles for what that charset lacks), beside
// the same page rewritten with an edit alone and, as the floor, the C library's converter turning
// the page's bytes into windows-1252 by themselves; and a 1 MB Russian chapter in windows-1251
// under a Latin-1 label given UTF-8, which the save leaves alone with its ways on, read once to be
// judged and once more for the ways (what each reads otherwise, the word the label reads odd).
#include "IconvFloor.h"

#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaEditEngine.h"
#include "engine/project/CPageNode.h"
#include "platform/core/CMemFile.h"
#include "tests/support/RewriteModel.h"

#include <benchmark/benchmark.h>

#include <iconv.h>

#include <memory>
#include <string>

namespace {

const std::string& Page()
{
    static const std::string page = [] {
        std::string text = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
                           "<title>Caf\xC3\xA9 \xE2\x80\x94 cr\xC3\xA8me</title>\n</head><body>\n";
        const std::string block = "<p>L'\xC3\xA9t\xC3\xA9 \xC3\xA0 la plage, \xC2\xAB la cr\xC3\xA8me \xC2\xBB co\xC3\xBBte "
                                  "5 \xE2\x82\xAC \xE2\x80\x94 voil\xC3\xA0 \xE2\x86\x92 suite.</p>\n"
                                  "<style>li:before{content:\"\xE2\x80\xA2\"}</style>\n"
                                  "<script>var s = \"\xE2\x86\x92 caf\xC3\xA9\"; if (a < b / 2) f(s); // \xE2\x80\x94\n"
                                  "</script>\n";
        while (text.size() < (1u << 20))
            text += block;
        return text + "</body></html>\n";
    }();
    return page;
}

// A chapter whose bytes its label does not read as its text.
const std::string& MislabelledPage()
{
    static const std::string page = Chapter(legacy_site::kRussian, "CP1251", legacy_site::ContentType("ISO-8859-1"), 1u << 20);
    return page;
}

enum class Outcome { Written, LeftAlone };

void Rewrite(benchmark::State& state, const char* pszContentType, const std::string& page = Page(),
             Outcome outcome = Outcome::Written)
{
    RewriteModel();
    for (auto _ : state) {
        CMetaContentList edits;
        CMetaContent* pContent = nullptr;
        edits.AddContent("Description", "caf\xC3\xA9", 1, pContent);
        if (pszContentType != nullptr)
            edits.AddContent("Content-Type", pszContentType, 1, pContent);
        CPageNode node;
        CMemFile input(reinterpret_cast<BYTE*>(const_cast<char*>(page.data())), static_cast<UINT>(page.size()));
        CMemFile output;
        CMetaEditEngine engine(&edits, &node, &input, &output, nullptr);
        engine.Run();
        benchmark::DoNotOptimize(output.GetLength());
        if (outcome == Outcome::LeftAlone) {
            if (!engine.IsInDoubt())
                state.SkipWithError("the page was not left alone with its ways on");
        } else if (!engine.GetRefusal().IsEmpty())
            state.SkipWithError(engine.GetRefusal().GetString());
        // The charset given is another than the page's: its bytes must have been converted.
        else if (pszContentType != nullptr && engine.GetCharsetChange() != CharsetChange::Converted)
            state.SkipWithError("the page was not converted");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}

void BM_RewriteConverted(benchmark::State& state)
{
    Rewrite(state, "text/html; charset=windows-1252");
}

void BM_RewriteEditOnly(benchmark::State& state)
{
    Rewrite(state, nullptr);
}

void BM_LeftAloneWithItsWays(benchmark::State& state)
{
    Rewrite(state, "text/html; charset=UTF-8", MislabelledPage(), Outcome::LeftAlone);
}

void BM_IconvFloorMislabelled(benchmark::State& state)
{
    RunIconvFloor(state, MislabelledPage(), "UTF-8", "CP1251");
}

// The floor: the converter over the page's bytes in one pass, the characters windows-1252 lacks
// replaced by ASCII beforehand (it stops at the first it meets).
void BM_IconvFloor(benchmark::State& state)
{
    std::string page = Page();
    for (const char* pszLacking : {"\xE2\x86\x92", "\xE2\x80\x94", "\xE2\x80\xA2"}) {
        for (size_t at = page.find(pszLacking); at != std::string::npos; at = page.find(pszLacking, at))
            page.replace(at, 3, "-");
    }
    RunIconvFloor(state, page, "WINDOWS-1252", "UTF-8");
}

} // namespace

BENCHMARK(BM_IconvFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RewriteEditOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RewriteConverted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvFloorMislabelled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LeftAloneWithItsWays)->Unit(benchmark::kMillisecond);
