// Keyword extraction over a corpus of real pages, beside its floor: a plain counter of one-, two-
// and three-word n-grams over the same bytes. Also the set-up of one document, which every page
// of a scan pays however short it is.
//
// The pages are the .html files under $VOSTREL_BENCH_PAGES, else under Python's HTML manual
// (Debian's python3-doc, 530 pages), else generated English and French pages.
#include "keywords/CExtractor.h"
#include "keywords/CExtractorDoc.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

constexpr size_t kPieceSize = 4096;   // the size in which the scan hands a page over

std::vector<std::string> GeneratedPages()
{
    static const char* const english[] = {"the", "garden", "hose", "is", "green", "and", "long",
        "water", "flows", "through", "it", "when", "summer", "comes", "to", "our", "village"};
    static const char* const french[] = {"le", "jardin", "de", "la", "maison", "est", "très",
        "grand", "et", "les", "élèves", "préparent", "fête", "dans", "forêt", "près", "école"};
    std::vector<std::string> pages;
    unsigned seed = 12345;
    for (int p = 0; p < 200; ++p) {
        const bool fr = p % 2 == 1;
        std::string page = "<html><head><title>Page</title></head><body>\n";
        for (int para = 0; para < 40; ++para) {
            page += "<p>";
            for (int w = 0; w < 60; ++w) {
                seed = seed * 1103515245u + 12345u;
                page += fr ? french[(seed >> 16) % 17] : english[(seed >> 16) % 17];
                page += (w % 12 == 11) ? ". " : " ";
            }
            page += "</p>\n";
        }
        pages.push_back(page + "</body></html>\n");
    }
    return pages;
}

const std::vector<std::string>& Pages()
{
    static const std::vector<std::string> pages = [] {
        namespace fs = std::filesystem;
        std::vector<std::string> out;
        const char* env = std::getenv("VOSTREL_BENCH_PAGES");
        fs::path root = env != nullptr ? fs::path(env) : fs::path("/usr/share/doc/python3/html");
        std::error_code ec;
        if (fs::is_directory(root, ec)) {
            std::vector<fs::path> paths;
            for (auto it = fs::recursive_directory_iterator(root, fs::directory_options::follow_directory_symlink, ec);
                 !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
                if (it->is_regular_file(ec) && (it->path().extension() == ".html" || it->path().extension() == ".htm"))
                    paths.push_back(it->path());
            }
            std::sort(paths.begin(), paths.end());
            for (const fs::path& p : paths) {
                std::ifstream in(p, std::ios::binary);
                std::ostringstream text;
                text << in.rdbuf();
                out.push_back(text.str());
            }
        }
        if (out.empty())
            out = GeneratedPages();
        return out;
    }();
    return pages;
}

int64_t CorpusBytes()
{
    int64_t total = 0;
    for (const std::string& p : Pages())
        total += static_cast<int64_t>(p.size());
    return total;
}

void BM_Keywords(benchmark::State& state)
{
    CExtractor extractor;
    size_t phrases = 0;
    for (auto _ : state) {
        for (const std::string& page : Pages()) {
            std::unique_ptr<CExtractorDoc> doc(extractor.NewDocument());
            doc->SetScaledBeta(1.0);
            doc->Reset();
            for (size_t at = 0; at < page.size(); at += kPieceSize)
                doc->AddText(page.data() + at, static_cast<int>(std::min(kPieceSize, page.size() - at)));
            doc->Extract();
            for (int i = 0; i < doc->GetPhraseCount(); ++i)
                phrases += doc->GetPhrase(i) != nullptr;
        }
    }
    benchmark::DoNotOptimize(phrases);
    state.SetBytesProcessed(state.iterations() * CorpusBytes());
    state.counters["pages"] = static_cast<double>(Pages().size());
}
BENCHMARK(BM_Keywords)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The floor: the words of the same pages outside their tags, split at white space, and their
// one-, two- and three-word n-grams counted in a hash map that each page starts empty. No
// cleaning, filtering, language or scoring: what any phrase counter does at the least.
void BM_NgramCounterFloor(benchmark::State& state)
{
    size_t distinct = 0;
    for (auto _ : state) {
        for (const std::string& page : Pages()) {
            std::unordered_map<std::string, int> counts;
            std::string_view text(page);
            std::string_view prev, prevPrev;
            std::string key;
            size_t i = 0;
            while (i < text.size()) {
                while (i < text.size() && (std::isspace(static_cast<unsigned char>(text[i])) || text[i] == '<')) {
                    if (text[i] == '<') {
                        size_t gt = text.find('>', i);
                        i = gt == std::string_view::npos ? text.size() : gt;
                    }
                    ++i;
                }
                size_t start = i;
                while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])) && text[i] != '<')
                    ++i;
                if (i == start)
                    break;
                std::string_view word = text.substr(start, i - start);
                ++counts[std::string(word)];
                if (!prev.empty()) {
                    key.assign(prev).append(" ").append(word);
                    ++counts[key];
                    if (!prevPrev.empty()) {
                        key.assign(prevPrev).append(" ").append(prev).append(" ").append(word);
                        ++counts[key];
                    }
                }
                prevPrev = prev;
                prev = word;
            }
            distinct += counts.size();
        }
    }
    benchmark::DoNotOptimize(distinct);
    state.SetBytesProcessed(state.iterations() * CorpusBytes());
}
BENCHMARK(BM_NgramCounterFloor)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// What every page pays before and after its text: a document made, reset, ended and deleted.
void BM_DocumentSetup(benchmark::State& state)
{
    CExtractor extractor;
    for (auto _ : state) {
        std::unique_ptr<CExtractorDoc> doc(extractor.NewDocument());
        doc->SetScaledBeta(1.0);
        doc->Reset();
        doc->Extract();
        benchmark::DoNotOptimize(doc->GetPhraseCount());
    }
}
BENCHMARK(BM_DocumentSetup)->Unit(benchmark::kMicrosecond);

} // namespace
