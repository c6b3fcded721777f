// The editor's document with a site's largest pages: loading a 10 MB minified page of one line
// and a 10 MB page of 200,000 lines, and an insert and delete in the middle of each, against the
// floor of reading the same file into memory with read(2).
#include "toolkit/editor/SECEditDoc.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t kSize = 10u << 20;

std::string PagePath(bool singleLine)
{
    static const std::string dir = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "vostrel-bench-XXXXXX").string();
        return mkdtemp(pattern.data()) != nullptr ? pattern : std::string("/tmp");
    }();
    std::string path = dir + (singleLine ? "/minified.html" : "/lines.html");
    if (std::filesystem::exists(path))
        return path;
    std::string text;
    text.reserve(kSize + 256);
    if (singleLine) {
        // A minified page: markup, attributes, UTF-8 text, tabs and no line end at all.
        for (int i = 0; text.size() < kSize; ++i)
            text += "<div class=\"c" + std::to_string(i) + "\"><a href=\"/p/" + std::to_string(i)
                + "\">caf\xC3\xA9 \xE6\xBC\xA2\xE5\xAD\x97</a>\t</div>";
    } else {
        // 200,000 lines of about 52 bytes with CR LF line ends.
        for (int i = 0; i < 200000; ++i) {
            std::string line = "  <li id=\"n" + std::to_string(i) + "\">entry " + std::to_string(i) + "</li>";
            line.resize(50, ' ');
            text += line + "\r\n";
        }
    }
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

void ReadFloor(benchmark::State& state, bool singleLine)
{
    std::string path = PagePath(singleLine);
    std::string buffer;
    for (auto _ : state) {
        int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st{};
        fstat(fd, &st);
        buffer.resize(static_cast<size_t>(st.st_size));
        size_t done = 0;
        while (done < buffer.size()) {
            ssize_t n = read(fd, buffer.data() + done, buffer.size() - done);
            if (n <= 0)
                break;
            done += static_cast<size_t>(n);
        }
        close(fd);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(buffer.size()));
}

void Load(benchmark::State& state, bool singleLine)
{
    std::string path = PagePath(singleLine);
    SECEditDoc doc;
    for (auto _ : state) {
        if (doc.LoadFile(path.c_str()) != 0)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(doc.GetLineCount());
    }
    state.counters["lines"] = doc.GetLineCount();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kSize));
}

// Typing a word in the middle and deleting it again, each recorded for undo, with the walk to
// the middle line that a caret position costs.
void EditMiddle(benchmark::State& state, bool singleLine)
{
    std::string path = PagePath(singleLine);
    SECEditDoc doc;
    if (doc.LoadFile(path.c_str()) != 0) {
        state.SkipWithError("load failed");
        return;
    }
    int middle = doc.GetLineCount() / 2 + 1;
    for (auto _ : state) {
        SECEditPos pos{doc.GetLine(middle), 7};
        doc.InsertString(pos, "word", TRUE, TRUE);
        pos = SECEditPos{doc.GetLine(middle), 7};
        doc.DeleteChars(pos, 4, TRUE);
    }
}

// Pasting two lines into the middle and deleting them again.
void PasteMiddle(benchmark::State& state, bool singleLine)
{
    std::string path = PagePath(singleLine);
    SECEditDoc doc;
    if (doc.LoadFile(path.c_str()) != 0) {
        state.SkipWithError("load failed");
        return;
    }
    int middle = doc.GetLineCount() / 2 + 1;
    for (auto _ : state) {
        SECEditPos pos{doc.GetLine(middle), 7};
        doc.InsertText(pos, "<p>one</p>\r\n<p>two</p>\r\n", -1, TRUE);
        doc.DeleteRange(SECEditPos{doc.GetLine(middle), 7}, SECEditPos{doc.GetLine(middle + 2), 0}, TRUE);
    }
}

} // namespace

BENCHMARK_CAPTURE(ReadFloor, single_line_10MB, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, single_line_10MB, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadFloor, lines_200000_10MB, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, lines_200000_10MB, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(EditMiddle, single_line_10MB, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(EditMiddle, lines_200000_10MB, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PasteMiddle, single_line_10MB, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PasteMiddle, lines_200000_10MB, false)->Unit(benchmark::kMicrosecond);
