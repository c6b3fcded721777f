// A large legacy page given UTF-8 through the save: 50 MB, 200 MB and 2.1 GB of Russian prose in
// windows-1251, in paragraphs as a guide holds them, whose Content-Type is edited to UTF-8 and saved by the save
// thread as the program saves it. Its time and the peak of its memory beyond what the process held
// before, each measured in a process of its own, beside the floors over the same bytes: the
// system's iconv program converting the page, the system's charset detector (the library the
// program judges pages with) reading all of it, and cp copying it. The save's peak is told in pages
// beyond the page itself, and the time a stop at points along the save takes to be answered. The
// same page given only a new title shows what the save's own reading and writing cost.
//
// A page of 2.35 GB without a TITLE element given a title, saved the same way: the save reads all
// of it for a TITLE element further on before the title can go in its head. Its time and peak
// beside cp copying the page.
#include "BenchSiteDir.h"
#include "ReadPageNode.h"
#include "ChildCost.h"
#include "IconvFloor.h"
#include "StoppedRun.h"

#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/EngineMessages.h"
#include "platform/core/AtomTable.h"
#include "platform/core/MessageQueue.h"
#include "platform/core/WindowHandle.h"
#include "tests/support/RewriteModel.h"

#include <benchmark/benchmark.h>

#include <uchardet/uchardet.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {


const std::string kDeclaration = legacy_site::ContentType("windows-1251");

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Pumped {
    bool bEnded = false;
    size_t nWritten = 0;
};

LRESULT CALLBACK PumpProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM)
{
    auto* pPumped = static_cast<Pumped*>(GetMessageWindowData(hWnd));
    if (pPumped == nullptr)
        return 0;
    if (message == kMsgOutputAddLine)
        DeleteAtom(static_cast<ATOM>(wParam));
    else if (message == kMsgSavePageDone && wParam == kSavedWritten)
        ++pPumped->nWritten;
    else if (message == kMsgSaveFinished || message == kMsgSaveStopped)
        pPumped->bEnded = true;
    return 0;
}

// What the page is saved with: its Content-Type given UTF-8, or only a new title in ASCII, which
// the page's charset takes as it is.
enum class Edit { Utf8, Title };

// The page saved with the edit, as the program saves it, and stopped after dStopAfter seconds when
// that is not negative. The seconds the save took, or, stopped, the seconds from the stop to its
// answer; negative when the save did not end as it should.
double SavePage(const fs::path& page, Edit edit, double dStopAfter = -1)
{
    RewriteModel();
    CParserEngine engine;
    Pumped pumped;
    const HWND hWnd = CreateMessageWindow(&PumpProc, &pumped);
    CPageNode root;
    root.SetKind(CPageNode::kindRoot);
    auto* pPage = NewReadPage(page);
    root.AddChild(pPage);
    CMetaContentList* pList = nullptr;
    pPage->CreateContentList(pList);
    CMetaContent* pContent = nullptr;
    if (edit == Edit::Utf8) {
        pList->AddContent("Content-Type", "text/html; charset=UTF-8", 1, pContent);
    } else {
        pPage->SetTitle("The guide");
        pPage->SetTitleModified(1);
    }
    CSelNodesCol selection;
    selection.AddTail(pPage);
    const auto start = std::chrono::steady_clock::now();
    std::optional<std::chrono::steady_clock::time_point> stopped;
    engine.StartSave(selection, hWnd, hWnd);
    RunWithStop(start, [&] { return pumped.bEnded; }, dStopAfter, [&] { engine.StopSave(); }, stopped);
    DestroyMessageWindow(hWnd);
    if (dStopAfter >= 0)
        return stopped && pumped.bEnded ? Seconds(*stopped) : -1;
    return pumped.bEnded && pumped.nWritten == 1 ? Seconds(start) : -1;
}

// The system's detector over all of the page's bytes, read in pieces as a reader of the file would.
double DetectWhole(const fs::path& page)
{
    const auto start = std::chrono::steady_clock::now();
    const int fd = ::open(page.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    uchardet_t detector = uchardet_new();
    char buffer[65536];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        uchardet_handle_data(detector, buffer, static_cast<size_t>(n));
    uchardet_data_end(detector);
    const bool bFound = std::strcmp(uchardet_get_charset(detector), "") != 0;
    uchardet_delete(detector);
    ::close(fd);
    return bFound ? Seconds(start) : -1;
}

// Whether the saved page is the converter's output with its declaration naming UTF-8 in place of
// windows-1251: read a piece at a time, as a page of gigabytes does not fit in memory.
bool IsConvertedPage(const fs::path& saved, const fs::path& converted)
{
    std::ifstream mine(saved, std::ios::binary), theirs(converted, std::ios::binary);
    std::string head(1 << 16, '\0');
    theirs.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<size_t>(theirs.gcount()));
    const size_t nAt = head.find("windows-1251");
    if (nAt != std::string::npos)
        head.replace(nAt, 12, "UTF-8");
    std::string piece(head.size(), '\0'), other(1 << 20, '\0');
    mine.read(piece.data(), static_cast<std::streamsize>(piece.size()));
    if (static_cast<size_t>(mine.gcount()) != head.size() || piece != head)
        return false;
    piece.resize(other.size());
    for (;;) {
        mine.read(piece.data(), static_cast<std::streamsize>(piece.size()));
        theirs.read(other.data(), static_cast<std::streamsize>(other.size()));
        if (mine.gcount() != theirs.gcount()
            || std::memcmp(piece.data(), other.data(), static_cast<size_t>(mine.gcount())) != 0)
            return false;
        if (mine.gcount() == 0)
            return true;
    }
}

// The page to save, made afresh from the pristine one, without the backup of an earlier save.
fs::path FreshPage(const fs::path& folder, const fs::path& pristine)
{
    const fs::path page = folder / "page.htm";
    fs::remove(page);
    fs::remove(folder / "page.htm.old");
    fs::copy_file(pristine, page);
    return page;
}

void BM_LargePageGivenUtf8(benchmark::State& state)
{
    BenchSites sites("vostrel-large-page");
    const fs::path folder = sites.Site("site");
    const fs::path pristine = folder / "pristine.htm";
    // The argument is the page's size in millions of bytes.
    const size_t nPageSize = static_cast<size_t>(state.range(0)) * 1000000;
    // Made in a process of its own, whose memory is given back whole when it ends: a chapter of
    // some megabytes, repeated up to the size (a page of gigabytes does not fit in memory).
    InChild([&pristine, nPageSize] {
        // The guide's text takes about half as many bytes in windows-1251 as in UTF-8.
        const size_t nProbe = 1 << 16;
        const double dShare = static_cast<double>(Chapter(legacy_site::kRussian, "CP1251", kDeclaration, nProbe).size()) / nProbe;
        const std::string chapter = Chapter(legacy_site::kRussian, "CP1251", kDeclaration,
                                            static_cast<size_t>(static_cast<double>(std::min<size_t>(nPageSize, 10u << 20)) / dShare));
        const size_t nBodyEnd = chapter.rfind("</body>");
        const size_t nBodyStart = chapter.find("<body>") + 6;
        std::ofstream out(pristine, std::ios::binary);
        out.write(chapter.data(), static_cast<std::streamsize>(nBodyEnd));
        const std::string_view body(chapter.data() + nBodyStart, nBodyEnd - nBodyStart);
        size_t nWritten = chapter.size();
        for (; nWritten + body.size() <= nPageSize; nWritten += body.size())
            out.write(body.data(), static_cast<std::streamsize>(body.size()));
        // Blank lines up to the size asked for.
        if (nWritten < nPageSize)
            out << std::string(nPageSize - nWritten, '\n');
        out << chapter.substr(nBodyEnd);
        return out ? 0.0 : -1.0;
    });
    const size_t nPage = fs::file_size(pristine);
    const double dPage = static_cast<double>(nPage);
    Cost save, iconv, detector, copy;
    for (auto _ : state) {
        const fs::path page = FreshPage(folder, pristine);
        save = InChild([&page] { return SavePage(page, Edit::Utf8); });
        iconv = Program({"iconv", "-f", "CP1251", "-t", "UTF-8", pristine.string()}, folder / "iconv.htm");
        detector = InChild([&pristine] { return DetectWhole(pristine); });
        copy = Program({"cp", pristine.string(), "/dev/stdout"}, folder / "copy.htm");
        // The page written is the page converted, its declaration given the new charset.
        if (save.dSeconds < 0 || !IsConvertedPage(page, folder / "iconv.htm"))
            state.SkipWithError("the save did not write the page converted");
        fs::remove(folder / "iconv.htm");
        fs::remove(folder / "copy.htm");
        if (iconv.dSeconds < 0 || detector.dSeconds < 0 || copy.dSeconds < 0)
            state.SkipWithError("a floor did not run");
        state.SetIterationTime(save.dSeconds);
    }
    // The same page given a title alone: its bytes are copied as they are, the title aside.
    const fs::path titled = folder / "titled.htm";
    fs::copy_file(pristine, titled);
    const Cost title = InChild([&titled] { return SavePage(titled, Edit::Title); });
    if (title.dSeconds < 0)
        state.SkipWithError("the save did not write the page's title");
    // The stop, at points along the save: how long it takes to be answered, and whether it left the
    // page as it was.
    double dStopMax = 0;
    double dStopSum = 0;
    int nLeftAsItWas = 0;
    // A page of gigabytes is stopped once, half-way: each stop costs a fresh copy of the page.
    const std::vector<double> kStopPoints = nPage < (1u << 30) ? std::vector<double>{0.1, 0.3, 0.5, 0.7, 0.9}
                                                               : std::vector<double>{0.5};
    for (const double dPoint : kStopPoints) {
        const fs::path page = FreshPage(folder, pristine);
        const double dAfter = dPoint * save.dSeconds;
        const double dAnswer = InChild([&page, dAfter] { return SavePage(page, Edit::Utf8, dAfter); }).dSeconds;
        // A save that runs on to its end after the stop writes the page.
        nLeftAsItWas += dAnswer >= 0 && ReadFile(page) == ReadFile(pristine) ? 1 : 0;
        dStopMax = std::max(dStopMax, dAnswer);
        dStopSum += dAnswer;
        state.counters["stop_answer_s_at_" + std::to_string(static_cast<int>(dPoint * 100)) + "pc"] = dAnswer;
    }
    constexpr double kMega = 1 << 20;
    state.counters["page_MB"] = dPage / kMega;
    state.counters["save_s"] = save.dSeconds;
    state.counters["save_peak_MB"] = save.dPeak / kMega;
    state.counters["iconv_s"] = iconv.dSeconds;
    state.counters["iconv_peak_MB"] = iconv.dPeak / kMega;
    state.counters["detector_s"] = detector.dSeconds;
    state.counters["detector_peak_MB"] = detector.dPeak / kMega;
    state.counters["cp_s"] = copy.dSeconds;
    state.counters["save_per_iconv"] = iconv.dSeconds > 0 ? save.dSeconds / iconv.dSeconds : 0;
    state.counters["save_per_detector"] = detector.dSeconds > 0 ? save.dSeconds / detector.dSeconds : 0;
    state.counters["save_per_cp"] = copy.dSeconds > 0 ? save.dSeconds / copy.dSeconds : 0;
    // The target: below 2, the page itself not counted.
    state.counters["save_peak_beyond_page_in_pages"] = (save.dPeak - dPage) / dPage;
    state.counters["title_only_s"] = title.dSeconds;
    state.counters["title_only_peak_MB"] = title.dPeak / kMega;
    state.counters["stops_that_left_the_page"] = nLeftAsItWas;
    state.counters["stop_answer_max_s"] = dStopMax;
    state.counters["stop_answer_mean_s"] = dStopSum / static_cast<double>(std::size(kStopPoints));
}
BENCHMARK(BM_LargePageGivenUtf8)->Arg(50)->Arg(200)->Arg(2100)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);

constexpr size_t kUntitledPageSize = 2350u << 20;

const std::string kUntitledStart = "<html>\n<head>\n<meta name=\"description\" content=\"A guide\">\n";

// Whether the file holds the pristine page with the text put in at nAt; read a piece at a time,
// as neither fits in memory.
bool HoldsWithText(const fs::path& file, const fs::path& pristine, size_t nAt, const std::string& text)
{
    std::ifstream saved(file, std::ios::binary), page(pristine, std::ios::binary);
    std::string mine(1 << 20, '\0'), theirs(1 << 20, '\0');
    const auto same = [&](size_t nLength, const std::string* pText) {
        saved.read(mine.data(), static_cast<std::streamsize>(nLength));
        if (pText == nullptr)
            page.read(theirs.data(), static_cast<std::streamsize>(nLength));
        const size_t nRead = static_cast<size_t>(saved.gcount());
        const std::string_view expected = pText != nullptr ? std::string_view(*pText)
                                                           : std::string_view(theirs.data(), static_cast<size_t>(page.gcount()));
        return std::string_view(mine.data(), nRead) == expected;
    };
    if (!same(nAt, nullptr) || !same(text.size(), &text))
        return false;
    while (saved && page) {
        if (!same(mine.size(), nullptr))
            return false;
    }
    return saved.eof() && page.eof();
}

void BM_LargeUntitledPageGivenATitle(benchmark::State& state)
{
    BenchSites sites("vostrel-large-untitled-page");
    const fs::path folder = sites.Site("site");
    const fs::path pristine = folder / "pristine.htm";
    // Written a piece at a time: the page does not fit in the benchmark's memory twice.
    InChild([&pristine] {
        std::ofstream out(pristine, std::ios::binary);
        out << kUntitledStart << "</head>\n<body>\n";
        std::string piece;
        while (piece.size() < (1u << 20))
            piece += "<p>A paragraph of the guide, <b>long</b> as guides are, &amp; plain.</p>\n";
        for (size_t nWritten = 0; nWritten < kUntitledPageSize; nWritten += piece.size())
            out << piece;
        out << "</body>\n</html>\n";
        return out ? 0.0 : -1.0;
    });
    const double dPage = static_cast<double>(fs::file_size(pristine));
    Cost save, copy;
    for (auto _ : state) {
        const fs::path page = FreshPage(folder, pristine);
        save = InChild([&page] { return SavePage(page, Edit::Title); });
        copy = Program({"cp", pristine.string(), "/dev/stdout"}, folder / "copy.htm");
        fs::remove(folder / "copy.htm");
        // The title goes in the head, after its last line, and nothing else changes.
        if (save.dSeconds < 0 || !HoldsWithText(page, pristine, kUntitledStart.size(), "<title>The guide</title>\n"))
            state.SkipWithError("the save did not write the page with its title added");
        if (copy.dSeconds < 0)
            state.SkipWithError("cp did not run");
        state.SetIterationTime(save.dSeconds);
    }
    constexpr double kMega = 1 << 20;
    state.counters["page_MB"] = dPage / kMega;
    state.counters["save_s"] = save.dSeconds;
    state.counters["save_peak_MB"] = save.dPeak / kMega;
    state.counters["cp_s"] = copy.dSeconds;
    state.counters["cp_peak_MB"] = copy.dPeak / kMega;
    state.counters["save_per_cp"] = copy.dSeconds > 0 ? save.dSeconds / copy.dSeconds : 0;
    state.counters["save_peak_in_pages"] = save.dPeak / dPage;
}
BENCHMARK(BM_LargeUntitledPageGivenATitle)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);

} // namespace
