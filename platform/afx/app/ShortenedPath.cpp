#include "platform/afx/app/ShortenedPath.h"

#include <string>
#include <vector>

CString ShortenedPath(const CString& strPath, size_t nHead, size_t nTail)
{
    const std::string path(strPath.GetString());
    // Where each character starts.
    std::vector<size_t> starts;
    for (size_t i = 0; i < path.size(); ++i) {
        if ((static_cast<unsigned char>(path[i]) & 0xC0) != 0x80)
            starts.push_back(i);
    }
    // Three dots in place of three characters or fewer would shorten nothing.
    if (starts.size() <= nHead + nTail + 3)
        return strPath;
    const std::string head = path.substr(0, starts[nHead]);
    const std::string tail = nTail == 0 ? std::string() : path.substr(starts[starts.size() - nTail]);
    return CString((head + "..." + tail).c_str());
}
