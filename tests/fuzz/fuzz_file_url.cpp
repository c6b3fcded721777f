// Feeds arbitrary paths to PathToFileUrl and arbitrary URL paths to MapFileUrlToPath: an absolute
// path that is not a folder comes back from its own file URL unchanged, and no URL path maps to a
// path holding a NUL or leaves the form "/...".
#include "engine/project/CConnectOptions.h"
#include "engine/project/CVostrelAppModel.h"
#include "engine/project/PathToFileUrl.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1u << 12)
        return 0;
    static CVostrelAppModel model;
    static const bool installed = (model.Install(), true);
    (void)installed;
    static const CConnectOptions options;

    std::string text(reinterpret_cast<const char*>(data), size);
    text = text.substr(0, text.find('\0'));

    // As a URL path: never a NUL inside, always an absolute local path.
    const CString strMapped = options.MapFileUrlToPath(nullptr, text.c_str());
    if (strMapped.GetLength() != static_cast<int>(std::strlen(strMapped.GetString())))
        std::abort();
    if (!strMapped.IsEmpty() && strMapped[0] != '/' && std::strchr(text.c_str(), '|') == nullptr)
        std::abort();

    // As a local path: the URL of a plain absolute path leads back to it.
    const std::string path = "/fuzz-missing-root/" + text;
    if (path.back() == '/')
        return 0;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return 0;
    CString strUrl(path.c_str());
    PathToFileUrl(strUrl);
    const std::string url = strUrl.GetString();
    if (url.rfind("file://", 0) != 0)
        std::abort();
    const CString strBack = options.MapFileUrlToPath(nullptr, url.substr(7).c_str());
    if (std::string(strBack.GetString()) != path)
        std::abort();
    return 0;
}
