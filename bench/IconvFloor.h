// The floor of the charset benchmarks: the C library's converter turning a page's bytes from one
// charset into another in one pass, as any reading or writing of the page does.
#pragma once

#include <benchmark/benchmark.h>

#include <iconv.h>

#include <string>

inline void RunIconvFloor(benchmark::State& state, const std::string& page, const char* pszTo, const char* pszFrom)
{
    std::string out(page.size() * 3 + 64, '\0');
    for (auto _ : state) {
        iconv_t cd = iconv_open(pszTo, pszFrom);
        char* in = const_cast<char*>(page.data());
        size_t inLeft = page.size();
        char* outPtr = out.data();
        size_t outLeft = out.size();
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
            state.SkipWithError("the converter stopped");
        iconv_close(cd);
        benchmark::DoNotOptimize(outPtr);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}
