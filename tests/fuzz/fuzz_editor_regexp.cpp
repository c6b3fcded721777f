// Feeds arbitrary bytes to the editor's regular expressions: the part before the first NUL is the
// pattern, the rest the text. Compiling, matching and building a replacement never crash, and a
// match lies within the text.
#include "toolkit/editor/SECEditRegExp.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1u << 16)
        return 0;
    std::string input(reinterpret_cast<const char*>(data), size);
    size_t nul = input.find('\0');
    std::string pattern = input.substr(0, nul);
    std::string text = nul == std::string::npos ? std::string() : input.substr(nul + 1);
    text = text.substr(0, text.find('\0'));
    SECEditRegExp re;
    if (re.Compile(pattern.c_str()) == nullptr)
        return 0;
    for (int from = 0; from <= static_cast<int>(text.size()); from += 1 + from) {
        int at = re.Find(text.c_str(), from);
        if (at < 0)
            continue;
        if (at < from || at + re.GetMatchLength() > static_cast<int>(text.size()))
            std::abort();
        std::string out;
        re.GetReplaceString("<&\\1\\9\\\\>", out);
    }
    return 0;
}
