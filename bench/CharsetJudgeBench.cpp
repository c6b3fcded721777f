// The judgement of what charset pages are in: a 500 KB chapter of a guide in windows-1251 given
// UTF-8, all of whose bytes are looked at and whose text is read in its label's charset, the
// detector's and the target's, and 2,000 pages of a site that declare no charset, judged as the
// scan reads them, in eight languages and charsets. The floor is the C library's converter turning
// the same bytes into UTF-8, which any reading of the pages does.
#include "IconvFloor.h"

#include "engine/html/CPageCharsetJudge.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

const std::string& LargePage()
{
    static const std::string page = Chapter(legacy_site::kRussian, "CP1251", legacy_site::ContentType("windows-1251"),
                                            500 * 1024);
    return page;
}

struct SitePage {
    std::string bytes;
    const char* pszCharset; // the converter's name, for the floor
    const char* pszRead;    // the charset the page is to be read in
};

// 2,000 pages of 4 to 8 KB that declare nothing, 250 in each charset.
const std::vector<SitePage>& Site()
{
    static const std::vector<SitePage> pages = [] {
        const struct {
            const legacy_site::GuidePage& page;
            const char* pszCharset;
            const char* pszRead;
        } kinds[] = {{legacy_site::kFrench, "CP1252", "windows-1252"}, {legacy_site::kPolish, "ISO-8859-2", "ISO-8859-2"},
                     {legacy_site::kCzech, "CP1250", "windows-1250"},  {legacy_site::kRussian, "CP1251", "windows-1251"},
                     {legacy_site::kGreek, "ISO-8859-7", "ISO-8859-7"}, {legacy_site::kChinese, "GBK", "gb18030"},
                     {legacy_site::kJapanese, "SHIFT_JIS", "Shift_JIS"}, {legacy_site::kKorean, "EUC-KR", "EUC-KR"}};
        std::vector<SitePage> site;
        for (size_t i = 0; i < 2000; ++i) {
            const auto& kind = kinds[i % std::size(kinds)];
            site.push_back({Chapter(kind.page, kind.pszCharset, std::string(), 4096 + (i % 5) * 1024), kind.pszCharset,
                            kind.pszRead});
        }
        return site;
    }();
    return pages;
}

// The save's look: all of the page, in the pieces it reads, and what giving it UTF-8 does.
void BM_JudgeLargePage(benchmark::State& state)
{
    const std::string& page = LargePage();
    const CPageCharset utf8 = CPageCharset::FromName("utf-8");
    for (auto _ : state) {
        CPageCharsetJudge judge(CPageCharsetJudge::ReadStart(reinterpret_cast<const BYTE*>(page.data()),
                                                             static_cast<UINT>(page.size())),
                                utf8, CPageCharsetJudge::Look::Whole);
        for (size_t at = 0; at < page.size(); at += 16384)
            judge.Add(page.data() + at, std::min<size_t>(16384, page.size() - at));
        judge.Finish();
        const CPageCharsetJudge::Verdict verdict = judge.Decide();
        if (verdict.change != CPageCharsetJudge::Change::Convert)
            state.SkipWithError("the page was not to be converted from its label");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}

void BM_IconvFloorLargePage(benchmark::State& state)
{
    RunIconvFloor(state, LargePage(), "UTF-8", "CP1251");
}

// The scan's look at each page that declares nothing: as far as the detector wants to see it.
void BM_JudgeUndeclaredPages(benchmark::State& state)
{
    const std::vector<SitePage>& site = Site();
    size_t nBytes = 0;
    for (const SitePage& page : site)
        nBytes += page.bytes.size();
    for (auto _ : state) {
        for (const SitePage& page : site) {
            const std::string& bytes = page.bytes;
            CPageCharsetJudge judge(CPageCharsetJudge::ReadStart(reinterpret_cast<const BYTE*>(bytes.data()),
                                                                 static_cast<UINT>(bytes.size())),
                                    CPageCharset(), CPageCharsetJudge::Look::Start);
            size_t at = 0;
            for (; at < bytes.size() && !judge.IsSettled(); at += 2048)
                judge.Add(bytes.data() + at, std::min<size_t>(2048, bytes.size() - at));
            if (!judge.IsSettled())
                judge.Finish();
            if (judge.GetReading().charset.GetName() != page.pszRead) {
                state.SkipWithError(("a page in " + std::string(page.pszRead) + " was read in " +
                                     judge.GetReading().charset.GetName()).c_str());
                return;
            }
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(nBytes));
}

void BM_IconvFloorUndeclaredPages(benchmark::State& state)
{
    const std::vector<SitePage>& site = Site();
    size_t nBytes = 0;
    for (const SitePage& page : site)
        nBytes += page.bytes.size();
    std::string out;
    for (auto _ : state) {
        for (const SitePage& page : site) {
            if (ConvertBytes(page.bytes, "UTF-8", page.pszCharset, out) == std::string::npos)
                state.SkipWithError("the converter stopped");
            benchmark::DoNotOptimize(out.data());
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(nBytes));
}

} // namespace

BENCHMARK(BM_IconvFloorLargePage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JudgeLargePage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvFloorUndeclaredPages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JudgeUndeclaredPages)->Unit(benchmark::kMillisecond);
