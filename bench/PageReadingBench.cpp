// A page read as the scan reads it, through the translating file into UTF-8: a 16 KB chapter of
// a guide in windows-1252 that declares its charset, the same page declaring none, whose text the
// charset detector judges first, and the Russian chapter in windows-1251 declaring none (the
// detector's slowest kind of text). The floor is the C library's converter turning the same bytes
// into UTF-8 by itself, which any reading of the page does.
#include "IconvFloor.h"

#include "engine/html/CTranslatingFile.h"
#include "platform/core/CMemFile.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// The chapter's body repeated to 16 KB, in the charset, with the declaration given.
std::string Chapter(const legacy_site::GuidePage& page, const char* pszCharset, const std::string& declaration)
{
    return ::Chapter(page, pszCharset, declaration, 16 * 1024);
}

void Read(benchmark::State& state, const std::string& page)
{
    std::string out(page.size() * 3, '\0');
    for (auto _ : state) {
        CMemFile source(reinterpret_cast<BYTE*>(const_cast<char*>(page.data())), static_cast<UINT>(page.size()));
        CTranslatingFile file(&source);
        size_t nTotal = 0;
        for (UINT n; (n = file.Read(out.data(), 4096)) > 0;)
            nTotal += n;
        benchmark::DoNotOptimize(nTotal);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}

void BM_ReadDeclared(benchmark::State& state)
{
    Read(state, Chapter(legacy_site::kFrench, "WINDOWS-1252", legacy_site::ContentType("windows-1252")));
}

void BM_ReadUndeclared(benchmark::State& state)
{
    Read(state, Chapter(legacy_site::kFrench, "WINDOWS-1252", std::string()));
}

void BM_ReadUndeclaredCyrillic(benchmark::State& state)
{
    Read(state, Chapter(legacy_site::kRussian, "WINDOWS-1251", std::string()));
}

// The floor: the converter over the page's bytes in one pass.
void BM_IconvFloor(benchmark::State& state)
{
    RunIconvFloor(state, Chapter(legacy_site::kFrench, "WINDOWS-1252", std::string()), "UTF-8", "WINDOWS-1252");
}

} // namespace

BENCHMARK(BM_IconvFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadDeclared)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadUndeclared)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadUndeclaredCyrillic)->Unit(benchmark::kMicrosecond);
