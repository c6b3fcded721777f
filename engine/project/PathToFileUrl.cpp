#include "engine/project/PathToFileUrl.h"

#include "engine/project/CVostrelAppModel.h"

#include <filesystem>
#include <string>
#include <string_view>

#include <sys/stat.h>

namespace {

bool IsKeptInPath(unsigned char by)
{
    if ((by >= 'a' && by <= 'z') || (by >= 'A' && by <= 'Z') || (by >= '0' && by <= '9'))
        return true;
    return std::string_view("-_.!*'(),$/:@=&").find(static_cast<char>(by)) != std::string_view::npos;
}

// Escapes every byte but those kept; "|" too unless it is the drive's mark.
std::string Escape(std::string_view text, size_t nDriveBar)
{
    static const char s_hex[] = "0123456789ABCDEF";
    std::string result;
    result.reserve(text.size() * 3);
    for (size_t i = 0; i < text.size(); ++i) {
        const auto by = static_cast<unsigned char>(text[i]);
        if (IsKeptInPath(by) || i == nDriveBar) {
            result += static_cast<char>(by);
        } else {
            result += '%';
            result += s_hex[by >> 4];
            result += s_hex[by & 0x0F];
        }
    }
    return result;
}

bool IsDriveLetter(char ch)
{
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
}

} // namespace

void PathToFileUrl(CString& strPath)
{
    std::string path(strPath.GetString(), static_cast<size_t>(strPath.GetLength()));
    const bool bDrive = path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':'
                        && (path.size() == 2 || path[2] == '\\' || path[2] == '/');
    const bool bServer = path.compare(0, 2, "\\\\") == 0;

    std::string prefix;
    size_t nDriveBar = std::string::npos;
    if (bDrive || bServer) {
        for (char& ch : path) {
            if (ch == '\\')
                ch = '/';
        }
        if (bDrive) {
            path[1] = '|';
            nDriveBar = 1;
            prefix = "file:///";
        } else {
            prefix = "file:";
        }
    } else {
        if (path.empty() || path.front() != '/') {
            std::error_code error;
            const std::filesystem::path absolute = std::filesystem::absolute(path, error);
            if (!error)
                path = absolute.string();
        }
        prefix = "file://";
    }

    if (!bDrive && !bServer && !path.empty() && path.back() != '/') {
        // One system call: a scan asks this of every page, thousands at a time.
        struct stat info;
        if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            path += '/';
    }
    if (!path.empty() && path.back() == '/') {
        const CString& strIndex = GetAppModel().GetAppOptions().m_strIndexFileName;
        path.append(strIndex.GetString(), static_cast<size_t>(strIndex.GetLength()));
    }
    strPath = (prefix + Escape(path, nDriveBar)).c_str();
}
