// The system's iconv program, a reader of charsets independent of the program's own: tests read
// a page's bytes with it to check, character for character, the text a conversion wrote.
#pragma once

#include <cstdio>
#include <fstream>
#include <string>

namespace iconv_program {

// The bytes in charset `from` turned into charset `to` by the program, by way of the scratch
// file; "(not FROM)" when they do not all read in `from` or have no bytes in `to`.
inline std::string Convert(const std::string& bytes, const std::string& from, const std::string& to,
                           const std::string& scratch)
{
    std::ofstream(scratch, std::ios::binary | std::ios::trunc) << bytes;
    FILE* pPipe = ::popen(("iconv -f '" + from + "' -t '" + to + "' '" + scratch + "' 2>/dev/null").c_str(), "r");
    std::string text;
    char buffer[65536];
    for (size_t n; pPipe != nullptr && (n = std::fread(buffer, 1, sizeof buffer, pPipe)) > 0;)
        text.append(buffer, n);
    const int nStatus = pPipe != nullptr ? ::pclose(pPipe) : -1;
    return nStatus == 0 ? text : "(not " + from + ")";
}

} // namespace iconv_program
