// The HTML lexer alone and the parser with its tag actions over a corpus of real documentation
// pages held in memory, beside the floor of finding every "<" with memchr and, as a peer,
// libxml2's HTML parser in SAX mode. Two synthetic pages, one dense with character references
// and one dense with "<", show that neither falls far behind the corpus rate.
//
// The corpus is every .htm/.html file under $VOSTREL_HTML_CORPUS, or else under /usr/share/doc
// (Debian's package documentation), up to 64 MB.
#include "engine/html/CHtmlLexer.h"
#include "engine/html/CHtmlParser.h"
#include "engine/html/IHtmlParserSink.h"
#include "platform/core/CFile.h"

#include "NullParserSink.h"

#include <benchmark/benchmark.h>

#include <libxml/HTMLparser.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr size_t kMaxCorpus = 64u << 20;

std::vector<std::string> LoadCorpus()
{
    const char* pszRoot = std::getenv("VOSTREL_HTML_CORPUS");
    const fs::path root = pszRoot != nullptr ? fs::path(pszRoot) : fs::path("/usr/share/doc");
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, error), end;
         it != end; it.increment(error)) {
        if (error)
            break;
        const std::string ext = it->path().extension().string();
        if ((ext == ".htm" || ext == ".html") && it->is_regular_file(error))
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    std::vector<std::string> pages;
    size_t total = 0;
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (page.empty())
            continue;
        total += page.size();
        pages.push_back(std::move(page));
        if (total >= kMaxCorpus)
            break;
    }
    return pages;
}

const std::vector<std::string>& Corpus()
{
    static const std::vector<std::string> pages = LoadCorpus();
    return pages;
}

size_t Bytes(const std::vector<std::string>& pages)
{
    size_t total = 0;
    for (const std::string& page : pages)
        total += page.size();
    return total;
}

// A page of text dense with named and numeric references, in values and titles too.
std::vector<std::string> ReferencePages()
{
    std::string page = "<html><head><title>Caf&eacute; &amp; Cr&egrave;me &#8212; &lt;1&gt;</title>"
                       "<meta name=\"description\" content=\"A &amp; B &lt; C &#233;t&#233; &quot;x&quot;\"></head><body>";
    while (page.size() < (1u << 20))
        page += "<p>Endere&ccedil;os &amp; n&uacute;meros &#8212; &#x2014; caf&eacute; &lt;b&gt; &copy; 2024 &nbsp;"
                " na&iuml;ve &AElig;sop &#65;&#66;&#67; &quot;quoted&quot; &bogus; &amp</p>\n";
    return {page};
}

// A page dense with "<": comparisons in text and scripts, short tags and stray brackets.
std::vector<std::string> LessThanPages()
{
    std::string page = "<html><head><title>a < b</title></head><body>";
    while (page.size() < (1u << 20))
        page += "<p>if a<b and c <d then <i>e</i><b>f</b> < g</p><script>for (i=0;i<n;i++) if (a[i]<b) x='</p>';"
                "</script><a href=\"x.htm\" title=\"1 < 2 > 0\">x</a><br><hr/><td><tr>\n";
    return {page};
}

// A read-only file over a page in memory.
class MemoryFile : public CFile {
public:
    explicit MemoryFile(const std::string& data) : m_data(data) {}
    UINT Read(void* lpBuf, UINT nCount) override
    {
        const size_t n = std::min<size_t>(nCount, m_data.size() - m_nPos);
        std::memcpy(lpBuf, m_data.data() + m_nPos, n);
        m_nPos += n;
        return static_cast<UINT>(n);
    }

private:
    const std::string& m_data;
    size_t m_nPos = 0;
};


void Lex(benchmark::State& state, const std::vector<std::string>& pages)
{
    for (auto _ : state) {
        for (const std::string& page : pages) {
            MemoryFile file(page);
            CHtmlLexer lexer(&file, nullptr);
            benchmark::DoNotOptimize(lexer.Lex());
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Bytes(pages)));
}

void Parse(benchmark::State& state, const std::vector<std::string>& pages)
{
    NullSink sink;
    for (auto _ : state) {
        for (const std::string& page : pages) {
            MemoryFile file(page);
            CHtmlParser parser(&sink, &file, TRUE, TRUE, 1);
            benchmark::DoNotOptimize(parser.Parse());
        }
    }
    benchmark::DoNotOptimize(sink.reports);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Bytes(pages)));
}

void BM_MemchrFloor(benchmark::State& state)
{
    const std::vector<std::string>& pages = Corpus();
    for (auto _ : state) {
        size_t count = 0;
        for (const std::string& page : pages) {
            const char* p = page.data();
            const char* end = p + page.size();
            while ((p = static_cast<const char*>(std::memchr(p, '<', static_cast<size_t>(end - p)))) != nullptr) {
                ++count;
                ++p;
            }
        }
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Bytes(pages)));
    state.counters["pages"] = static_cast<double>(pages.size());
}

void BM_Lexer(benchmark::State& state) { Lex(state, Corpus()); }
void BM_Parser(benchmark::State& state) { Parse(state, Corpus()); }
void BM_LexerReferences(benchmark::State& state) { Lex(state, ReferencePages()); }
void BM_ParserReferences(benchmark::State& state) { Parse(state, ReferencePages()); }
void BM_LexerLessThan(benchmark::State& state) { Lex(state, LessThanPages()); }
void BM_ParserLessThan(benchmark::State& state) { Parse(state, LessThanPages()); }

// libxml2's HTML parser with SAX callbacks that only count, the nearest peer to a parser that
// raises events and builds no tree.
void SaxCount(void* ctx, const xmlChar*, const xmlChar**) { ++*static_cast<size_t*>(ctx); }
void SaxCountEnd(void* ctx, const xmlChar*) { ++*static_cast<size_t*>(ctx); }
void SaxCharacters(void* ctx, const xmlChar*, int) { ++*static_cast<size_t*>(ctx); }

void BM_LibXml2Sax(benchmark::State& state)
{
    const std::vector<std::string>& pages = Corpus();
    htmlSAXHandler handler;
    std::memset(&handler, 0, sizeof handler);
    handler.startElement = SaxCount;
    handler.endElement = SaxCountEnd;
    handler.characters = SaxCharacters;
    size_t events = 0;
    for (auto _ : state) {
        for (const std::string& page : pages) {
            htmlParserCtxtPtr ctxt = htmlCreatePushParserCtxt(&handler, &events, nullptr, 0, nullptr, XML_CHAR_ENCODING_UTF8);
            htmlCtxtUseOptions(ctxt, HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
            htmlParseChunk(ctxt, page.data(), static_cast<int>(page.size()), 1);
            htmlFreeParserCtxt(ctxt);
        }
    }
    benchmark::DoNotOptimize(events);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Bytes(pages)));
}

} // namespace

BENCHMARK(BM_MemchrFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lexer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Parser)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibXml2Sax)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LexerReferences)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParserReferences)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LexerLessThan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParserLessThan)->Unit(benchmark::kMillisecond);
