// Feeds arbitrary bytes to the FTP directory-listing reader, line by line as a listing comes:
// nothing may crash, and an entry it gives has a usable name, one of the two kinds and a date
// that converts.
#include "platform/net/FtpHandles.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1u << 16)
        return 0;
    std::istringstream listing(std::string(reinterpret_cast<const char*>(data), size));
    for (std::string line; std::getline(listing, line);) {
        WIN32_FIND_DATA entry;
        if (!vostrel::net::ParseFtpListLine(line, entry))
            continue;
        const size_t nName = strnlen(entry.cFileName, sizeof entry.cFileName);
        if (nName == 0 || nName == sizeof entry.cFileName || std::strcmp(entry.cFileName, ".") == 0
            || std::strcmp(entry.cFileName, "..") == 0)
            std::abort();
        if (entry.dwFileAttributes != FILE_ATTRIBUTE_DIRECTORY && entry.dwFileAttributes != FILE_ATTRIBUTE_NORMAL)
            std::abort();
        if (entry.ftLastWriteTime.dwLowDateTime != 0 || entry.ftLastWriteTime.dwHighDateTime != 0) {
            SYSTEMTIME st {};
            if (!FileTimeToSystemTime(&entry.ftLastWriteTime, &st) || st.wMonth < 1 || st.wMonth > 12 || st.wDay < 1
                || st.wDay > 31 || st.wHour > 23 || st.wMinute > 59)
                std::abort();
        }
    }
    return 0;
}
