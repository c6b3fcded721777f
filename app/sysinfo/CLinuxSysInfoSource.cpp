#include "app/sysinfo/CLinuxSysInfoSource.h"

#include "platform/core/CodePage.h"

#include <dlfcn.h>
#include <gnu/libc-version.h>
#include <link.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string ReadWholeFile(const char* pszPath)
{
    std::ifstream in(pszPath, std::ios::binary);
    if (!in)
        return {};
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The value of KEY="value" or KEY=value in an os-release text; empty when missing.
std::string OsReleaseValue(const std::string& text, const std::string& key)
{
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.compare(0, key.size() + 1, key + "=") != 0)
            continue;
        std::string value = line.substr(key.size() + 1);
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return value;
    }
    return {};
}

// The path of the loaded object whose file name is strName or starts with strName and a dot
// ("libX11.so.6" finds ".../libX11.so.6"); empty when the process has not loaded it.
struct LoadedSearch {
    const char* pszName;
    std::string path;
};

int MatchLoaded(struct dl_phdr_info* pInfo, size_t, void* pData)
{
    auto* pSearch = static_cast<LoadedSearch*>(pData);
    if (pInfo->dlpi_name == nullptr || pInfo->dlpi_name[0] == '\0')
        return 0;
    const char* pszBase = std::strrchr(pInfo->dlpi_name, '/');
    pszBase = pszBase != nullptr ? pszBase + 1 : pInfo->dlpi_name;
    const size_t nLength = std::strlen(pSearch->pszName);
    if (std::strncmp(pszBase, pSearch->pszName, nLength) != 0 || (pszBase[nLength] != '\0' && pszBase[nLength] != '.'))
        return 0;
    pSearch->path = pInfo->dlpi_name;
    return 1;
}

std::string FindLoadedPath(const char* pszName)
{
    LoadedSearch search{pszName, {}};
    dl_iterate_phdr(&MatchLoaded, &search);
    return search.path;
}

// A function of a loaded library looked up by name; null when no loaded library has it.
template <class Function>
Function* LookUp(const char* pszSymbol)
{
    return reinterpret_cast<Function*>(dlsym(RTLD_DEFAULT, pszSymbol));
}

// Token nIndex of the transfer library's version text split at its "/": in "libcurl/7.81.0
// OpenSSL/3.0.2 zlib/1.2.11" token 1 gives the name "OpenSSL" and the version "3.0.2".
CString CurlToken(const std::string& text, size_t nIndex, CString& strName)
{
    std::istringstream tokens(text);
    std::string token;
    for (size_t i = 0; tokens >> token; ++i) {
        if (i != nIndex)
            continue;
        const size_t nSlash = token.find('/');
        if (nSlash == std::string::npos)
            return {};
        strName = token.substr(0, nSlash).c_str();
        return token.substr(nSlash + 1).c_str();
    }
    return {};
}

// Fills in what is known of a library: not found when the process has not loaded it, else the
// version from its own version call when it has one, else from its file name.
SysInfoLibrary Describe(const char* pszFile, const CString& strVersion)
{
    SysInfoLibrary library;
    library.strName = pszFile;
    const std::string path = FindLoadedPath(pszFile);
    if (path.empty())
        return library;
    library.strVersion = strVersion;
    if (library.strVersion.IsEmpty()) {
        char resolved[PATH_MAX];
        const char* pszReal = realpath(path.c_str(), resolved) != nullptr ? resolved : path.c_str();
        library.strVersion = CLinuxSysInfoSource::VersionFromFileName(pszReal);
    }
    library.state = library.strVersion.IsEmpty() ? SysInfoLibrary::State::NoVersion : SysInfoLibrary::State::Found;
    return library;
}

} // namespace

CString CLinuxSysInfoSource::GetHostName()
{
    // The whole name: host names run to 64 bytes and more, past any short fixed buffer.
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return {};
    return name;
}

CString CLinuxSysInfoSource::GetSystemText()
{
    CString strText;
    struct utsname names {};
    if (uname(&names) == 0)
        strText.Format("%s %s %s", names.sysname, names.release, names.machine);
    std::string pretty = OsReleaseValue(ReadWholeFile("/etc/os-release"), "PRETTY_NAME");
    if (pretty.empty())
        pretty = OsReleaseValue(ReadWholeFile("/usr/lib/os-release"), "PRETTY_NAME");
    if (!pretty.empty()) {
        if (!strText.IsEmpty())
            strText += ", ";
        strText += pretty.c_str();
    }
    return strText;
}

UINT CLinuxSysInfoSource::GetProcessorCount()
{
    const long nCount = sysconf(_SC_NPROCESSORS_ONLN);
    return nCount > 0 ? static_cast<UINT>(nCount) : 1;
}

CString CLinuxSysInfoSource::GetProcessorName()
{
    std::istringstream lines(ReadWholeFile("/proc/cpuinfo"));
    std::string line;
    while (std::getline(lines, line)) {
        if (line.compare(0, 10, "model name") != 0)
            continue;
        const size_t nColon = line.find(':');
        if (nColon == std::string::npos)
            continue;
        const size_t nStart = line.find_first_not_of(" \t", nColon + 1);
        if (nStart != std::string::npos)
            return line.substr(nStart).c_str();
    }
    struct utsname names {};
    if (uname(&names) == 0)
        return names.machine;
    return {};
}

BOOL CLinuxSysInfoSource::ReadMemInfoValue(const CString& strText, LPCTSTR pszKey, ULONGLONG& nBytes)
{
    std::istringstream lines(strText.GetString());
    std::string line;
    const std::string key = std::string(pszKey) + ":";
    while (std::getline(lines, line)) {
        if (line.compare(0, key.size(), key) != 0)
            continue;
        const char* pszValue = line.c_str() + key.size();
        char* pszEnd = nullptr;
        errno = 0;
        const unsigned long long nValue = std::strtoull(pszValue, &pszEnd, 10);
        if (pszEnd == pszValue || errno == ERANGE)
            return FALSE;
        // The kernel counts in kibibytes ("kB"); a value without a unit is in bytes.
        const bool bKilo = std::strstr(pszEnd, "kB") != nullptr;
        if (bKilo && nValue > ULLONG_MAX / 1024)
            return FALSE;
        nBytes = bKilo ? nValue * 1024 : nValue;
        return TRUE;
    }
    return FALSE;
}

BOOL CLinuxSysInfoSource::GetPhysicalMemory(ULONGLONG& nTotal, ULONGLONG& nAvailable)
{
    const CString strText = ReadWholeFile("/proc/meminfo").c_str();
    if (!ReadMemInfoValue(strText, "MemTotal", nTotal))
        return FALSE;
    // Kernels before 3.14 have no MemAvailable; what is free is the nearest they tell.
    return ReadMemInfoValue(strText, "MemAvailable", nAvailable) || ReadMemInfoValue(strText, "MemFree", nAvailable);
}

BOOL CLinuxSysInfoSource::GetPagingFile(ULONGLONG& nTotal, ULONGLONG& nFree)
{
    const CString strText = ReadWholeFile("/proc/meminfo").c_str();
    return ReadMemInfoValue(strText, "SwapTotal", nTotal) && ReadMemInfoValue(strText, "SwapFree", nFree);
}

UINT CLinuxSysInfoSource::GetCodePage()
{
    return GetACP();
}

BOOL CLinuxSysInfoSource::GetLanguage(CString& strLanguage)
{
    for (const char* pszName : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* pszValue = std::getenv(pszName);
        if (pszValue != nullptr && pszValue[0] != '\0') {
            strLanguage = pszValue;
            return TRUE;
        }
    }
    return FALSE;
}

CString CLinuxSysInfoSource::VersionFromFileName(const CString& strPath)
{
    const char* pszBase = std::strrchr(strPath.GetString(), '/');
    pszBase = pszBase != nullptr ? pszBase + 1 : strPath.GetString();
    const char* pszSo = std::strstr(pszBase, ".so.");
    if (pszSo == nullptr || pszSo[4] == '\0')
        return {};
    return pszSo + 4;
}

std::vector<SysInfoLibrary> CLinuxSysInfoSource::GetProgramLibraries()
{
    std::vector<SysInfoLibrary> libraries;
    libraries.push_back(Describe("libc.so.6", gnu_get_libc_version()));
    libraries.push_back(Describe("libstdc++.so.6", CString()));

    CString strCairo;
    if (auto* pVersion = LookUp<const char*()>("cairo_version_string"))
        strCairo = pVersion();
    libraries.push_back(Describe("libcairo.so.2", strCairo));

    CString strPango;
    if (auto* pVersion = LookUp<const char*()>("pango_version_string"))
        strPango = pVersion();
    libraries.push_back(Describe("libpango-1.0.so.0", strPango));

    CString strFontconfig;
    if (auto* pVersion = LookUp<int()>("FcGetVersion")) {
        const int nVersion = pVersion();
        strFontconfig.Format("%d.%d.%d", nVersion / 10000, nVersion / 100 % 100, nVersion % 100);
    }
    libraries.push_back(Describe("libfontconfig.so.1", strFontconfig));
    libraries.push_back(Describe("libX11.so.6", CString()));

    // The transfer library names itself and its TLS library in one text.
    std::string curlText;
    if (auto* pVersion = LookUp<const char*()>("curl_version"))
        if (const char* pszText = pVersion())
            curlText = pszText;
    CString strCurlName;
    libraries.push_back(Describe("libcurl.so.4", CurlToken(curlText, 0, strCurlName)));
    SysInfoLibrary tls;
    const CString strTlsVersion = CurlToken(curlText, 1, tls.strName);
    if (tls.strName.IsEmpty()) {
        tls.strName = "TLS";
    } else {
        tls.strVersion = strTlsVersion;
        tls.state = strTlsVersion.IsEmpty() ? SysInfoLibrary::State::NoVersion : SysInfoLibrary::State::Found;
    }
    libraries.push_back(tls);
    return libraries;
}

SysInfoLibrary CLinuxSysInfoSource::FindLibrary(const CString& strName)
{
    return Describe(strName.GetString(), CString());
}
