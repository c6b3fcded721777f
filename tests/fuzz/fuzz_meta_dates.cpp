// Feeds arbitrary text to the META tag's date and refresh readers: a date reads as seconds in
// the range the reader promises or not at all; a refresh target, when found, is part of the text.
#include "engine/html/CMetaAction.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1u << 12)
        return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    LONG nTime = -1;
    if (CMetaAction::ParseHttpDate(text.c_str(), nTime) && nTime < 0)
        std::abort(); // seconds since 1970 never go below it
    CString strUrl;
    if (CMetaAction::ParseRefreshUrl(text.c_str(), strUrl) && strUrl.GetLength() > static_cast<int>(text.size()))
        std::abort();
    return 0;
}
