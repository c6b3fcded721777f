#include "platform/core/UserDirs.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// The desktop's base-folder variables only count when they hold an absolute path.
std::string AbsoluteEnv(const char* name)
{
    const char* value = std::getenv(name);
    if (value && value[0] == '/')
        return value;
    return {};
}

std::string WithoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

std::string GetUserHomeDir()
{
    std::string home = AbsoluteEnv("HOME");
    if (!home.empty())
        return WithoutTrailingSlashes(home);
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry{};
    passwd* result = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result
        && result->pw_dir && result->pw_dir[0] == '/')
        return WithoutTrailingSlashes(result->pw_dir);
    // Without any home the temporary folder keeps the program working for this session.
    return "/tmp";
}

std::string GetUserConfigDir()
{
    std::string base = AbsoluteEnv("XDG_CONFIG_HOME");
    if (base.empty())
        base = GetUserHomeDir() + "/.config";
    return WithoutTrailingSlashes(base) + "/vostrel";
}

std::string GetUserDataHome()
{
    std::string base = AbsoluteEnv("XDG_DATA_HOME");
    if (base.empty())
        base = GetUserHomeDir() + "/.local/share";
    return WithoutTrailingSlashes(base);
}

bool MakeDirectories(const std::string& path, unsigned mode)
{
    if (path.empty())
        return false;
    struct stat st{};
    if (stat(path.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeDirectories(path.substr(0, slash), mode))
        return false;
    if (mkdir(path.c_str(), mode) == 0 || errno == EEXIST)
        return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    return false;
}
