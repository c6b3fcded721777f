#include "engine/project/SystemUtil.h"

#include "platform/core/Registry.h"
#include "platform/core/SystemServices.h"
#include "platform/core/VersionInfo.h"

#include <memory>

namespace {

// Every fourth year is a leap year: the range 1970 to 2037 holds no century exception.
bool IsLeapYear(int nYear)
{
    return nYear % 4 == 0;
}

constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

} // namespace

bool SystemTimeToSeconds1970(const SYSTEMTIME& st, LONG& nSeconds)
{
    const int nYear = st.wYear;
    const int nMonth = st.wMonth;
    if (nYear < 1970 || nYear > 2037 || nMonth == 0 || nMonth > 12 || st.wDay == 0)
        return false;
    const int nMonthLength = kMonthDays[nMonth - 1] + (nMonth == 2 && IsLeapYear(nYear) ? 1 : 0);
    if (st.wDay > nMonthLength || st.wHour >= 24 || st.wMinute >= 60 || st.wSecond >= 60)
        return false;
    long long nDays = (nYear - 1970) * 365LL + (nYear - 1969) / 4;
    for (int i = 0; i < nMonth - 1; ++i)
        nDays += kMonthDays[i];
    if (IsLeapYear(nYear) && nMonth > 2)
        nDays += 1;
    nDays += st.wDay - 1;
    nSeconds = static_cast<LONG>(((nDays * 24 + st.wHour) * 60 + st.wMinute) * 60 + st.wSecond);
    return true;
}

bool GetModuleFileVersion(HMODULE hModule, WORD* pMajor, WORD* pMinor, WORD* pBuild, WORD* pRevision)
{
    char szPath[MAX_PATH + 1] = {};
    const DWORD nLength = GetModuleFileName(hModule, szPath, MAX_PATH);
    if (nLength == 0 || nLength >= MAX_PATH)
        return false;
    DWORD dwHandle = 0;
    const DWORD nSize = GetFileVersionInfoSize(szPath, &dwHandle);
    if (nSize == 0)
        return false;
    std::unique_ptr<BYTE[]> buffer(new BYTE[nSize]());
    if (!GetFileVersionInfo(szPath, dwHandle, nSize, buffer.get()))
        return false;
    VS_FIXEDFILEINFO* pInfo = nullptr;
    UINT nInfoLength = 0;
    if (!VerQueryValue(buffer.get(), "\\", reinterpret_cast<LPVOID*>(&pInfo), &nInfoLength) || pInfo == nullptr ||
        nInfoLength < sizeof(VS_FIXEDFILEINFO))
        return false;
    if (pMajor != nullptr)
        *pMajor = HIWORD(pInfo->dwFileVersionMS);
    if (pMinor != nullptr)
        *pMinor = LOWORD(pInfo->dwFileVersionMS);
    if (pBuild != nullptr)
        *pBuild = HIWORD(pInfo->dwFileVersionLS);
    if (pRevision != nullptr)
        *pRevision = LOWORD(pInfo->dwFileVersionLS);
    return true;
}

DWORD ReadRegistryDword(HKEY hRoot, LPCSTR lpszSubKey, LPCSTR lpszValueName, DWORD dwDefault)
{
    HKEY hKey = nullptr;
    if (RegOpenKeyEx(hRoot, lpszSubKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return dwDefault;
    DWORD dwType = 0;
    DWORD dwValue = 0;
    DWORD cbData = sizeof(dwValue);
    const LONG nResult =
        RegQueryValueEx(hKey, lpszValueName, nullptr, &dwType, reinterpret_cast<LPBYTE>(&dwValue), &cbData);
    RegCloseKey(hKey);
    if (nResult != ERROR_SUCCESS || dwType != REG_DWORD || cbData != sizeof(dwValue))
        return dwDefault;
    return dwValue;
}
