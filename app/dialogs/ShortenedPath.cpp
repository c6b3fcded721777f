#include "app/dialogs/ShortenedPath.h"

#include <string>
#include <vector>

CString ShortenedPath(const CString& strPath)
{
    constexpr size_t kKeptAtEachEnd = 80;
    const std::string path(strPath.GetString());
    // Where each character starts.
    std::vector<size_t> starts;
    for (size_t i = 0; i < path.size(); ++i) {
        if ((static_cast<unsigned char>(path[i]) & 0xC0) != 0x80)
            starts.push_back(i);
    }
    if (starts.size() <= 2 * kKeptAtEachEnd + 3)
        return strPath;
    const std::string head = path.substr(0, starts[kKeptAtEachEnd]);
    const std::string tail = path.substr(starts[starts.size() - kKeptAtEachEnd]);
    return CString((head + "..." + tail).c_str());
}
