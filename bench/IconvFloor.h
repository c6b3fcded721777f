// The floor of the charset benchmarks: the C library's converter turning a page's bytes from one
// charset into another in one pass, as any reading or writing of the page does.
#pragma once

#include "tests/support/LegacySitePages.h"

#include <benchmark/benchmark.h>

#include <iconv.h>

#include <string>

// The bytes in charset pszFrom turned into pszTo, at the start of out, which is made large enough
// once and keeps its size; how many bytes they take, std::string::npos when the converter stopped
// before their end.
inline size_t ConvertBytes(const std::string& bytes, const char* pszTo, const char* pszFrom, std::string& out)
{
    if (out.size() < bytes.size() * 3 + 64)
        out.resize(bytes.size() * 3 + 64);
    iconv_t cd = iconv_open(pszTo, pszFrom);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    const bool bWhole = iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    return bWhole ? out.size() - outLeft : std::string::npos;
}

inline void RunIconvFloor(benchmark::State& state, const std::string& page, const char* pszTo, const char* pszFrom)
{
    std::string out;
    for (auto _ : state) {
        if (ConvertBytes(page, pszTo, pszFrom, out) == std::string::npos)
            state.SkipWithError("the converter stopped");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}

// A chapter of the guide whose body is repeated to nSize bytes, in the charset, with the
// declaration given.
inline std::string Chapter(const legacy_site::GuidePage& page, const char* pszCharset, const std::string& declaration,
                           size_t nSize)
{
    std::string body;
    while (body.size() < nSize)
        body += page.pszBody;
    const legacy_site::GuidePage big{page.pszTitle, body.c_str()};
    std::string bytes;
    bytes.resize(ConvertBytes(legacy_site::Page(big, declaration), pszCharset, "UTF-8", bytes));
    return bytes;
}
