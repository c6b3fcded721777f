// The judgement of what charset pages are in: chapters of a guide in windows-1251 of 500 KB and of
// 50 MB given UTF-8, all of whose bytes are looked at and whose text is read in every charset of
// the scripts a page may be in, and 2,000 pages of a site that declare no charset, judged as the
// scan reads them, in eight languages and charsets. The floors are the C library's converter
// turning the same bytes into UTF-8, which any reading of the pages does, and the system's charset
// detector given all of them. Beside the time of the large page, "peak_MB" is the most memory the
// judgement (or the floor) held at once beyond the page itself, and "peak_per_page" that as a share
// of the page's size: the judgement reads the page once, as it comes, and keeps no copy of it.
#include "IconvFloor.h"

#include "engine/html/CPageCharsetJudge.h"

#include <benchmark/benchmark.h>
#include <uchardet/uchardet.h>

#include <malloc.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const std::string& LargePage()
{
    static const std::string page = Chapter(legacy_site::kRussian, "CP1251", legacy_site::ContentType("windows-1251"),
                                            500 * 1024);
    return page;
}

// 50 MB of windows-1251: the chapter's text takes more bytes in UTF-8, which it is repeated in.
const std::string& HugePage()
{
    static const std::string page = [] {
        const std::string declaration = legacy_site::ContentType("windows-1251");
        const size_t nUtf8 = 1024 * 1024;
        const size_t nBytes = Chapter(legacy_site::kRussian, "CP1251", declaration, nUtf8).size();
        return Chapter(legacy_site::kRussian, "CP1251", declaration, 50 * nUtf8 * nUtf8 / nBytes);
    }();
    return page;
}

// The heap's bytes in use, those of large blocks among them.
size_t HeapInUse()
{
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}

// The most heap a run held beyond what was in use before it, sampled as it goes.
class PeakHeap {
public:
    PeakHeap() : m_nBefore(HeapInUse()) {}
    void Sample() { m_nPeak = std::max(m_nPeak, HeapInUse()); }
    void Report(benchmark::State& state, size_t nPageBytes)
    {
        Sample();
        const double peak = static_cast<double>(m_nPeak > m_nBefore ? m_nPeak - m_nBefore : 0);
        state.counters["peak_MB"] = peak / (1024.0 * 1024.0);
        state.counters["peak_per_page"] = peak / static_cast<double>(nPageBytes);
    }

private:
    size_t m_nBefore;
    size_t m_nPeak = 0;
};

// The save's look at a page: all of it, in the pieces it reads, and what giving it UTF-8 does.
// Memory is sampled after each piece when a peak is asked for.
CPageCharsetJudge::Verdict JudgeWhole(const std::string& page, PeakHeap* pPeak)
{
    const CPageCharset utf8 = CPageCharset::FromName("utf-8");
    CPageCharsetJudge judge(CPageCharsetJudge::ReadStart(reinterpret_cast<const BYTE*>(page.data()),
                                                         static_cast<UINT>(page.size())),
                            utf8, CPageCharsetJudge::Look::Whole);
    for (size_t at = 0; at < page.size(); at += 16384) {
        judge.Add(page.data() + at, std::min<size_t>(16384, page.size() - at));
        if (pPeak != nullptr)
            pPeak->Sample();
    }
    judge.Finish();
    return judge.Decide();
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

void BM_JudgeLargePage(benchmark::State& state)
{
    const std::string& page = LargePage();
    for (auto _ : state) {
        if (JudgeWhole(page, nullptr).change != CPageCharsetJudge::Change::Convert)
            state.SkipWithError("the page was not to be converted from its label");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}

void BM_JudgeHugePage(benchmark::State& state)
{
    const std::string& page = HugePage();
    PeakHeap peak;
    if (JudgeWhole(page, &peak).change != CPageCharsetJudge::Change::Convert)
        state.SkipWithError("the page was not to be converted from its label");
    peak.Report(state, page.size());
    for (auto _ : state)
        benchmark::DoNotOptimize(JudgeWhole(page, nullptr).change);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}

void BM_IconvFloorHugePage(benchmark::State& state)
{
    const std::string& page = HugePage();
    PeakHeap peak;
    {
        std::string out;
        ConvertBytes(page, "UTF-8", "CP1251", out);
        peak.Report(state, page.size());
    }
    RunIconvFloor(state, page, "UTF-8", "CP1251");
}

// The system's detector given every byte of the page, in the pieces the save reads.
void BM_DetectorFloorHugePage(benchmark::State& state)
{
    const std::string& page = HugePage();
    PeakHeap peak;
    for (auto _ : state) {
        uchardet_t detector = uchardet_new();
        for (size_t at = 0; at < page.size(); at += 16384) {
            uchardet_handle_data(detector, page.data() + at, std::min<size_t>(16384, page.size() - at));
            peak.Sample();
        }
        uchardet_data_end(detector);
        if (std::string(uchardet_get_charset(detector)) != "WINDOWS-1251")
            state.SkipWithError("the detector did not take the page for windows-1251");
        uchardet_delete(detector);
    }
    peak.Report(state, page.size());
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
BENCHMARK(BM_IconvFloorHugePage)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DetectorFloorHugePage)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_JudgeHugePage)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_IconvFloorUndeclaredPages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JudgeUndeclaredPages)->Unit(benchmark::kMillisecond);
