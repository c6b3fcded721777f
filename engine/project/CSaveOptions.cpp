#include "engine/project/CSaveOptions.h"

#include "engine/project/CVostrelAppModel.h"
#include "platform/core/PrivateProfile.h"

#include <cstdio>
#include <vector>

IMPLEMENT_DYNAMIC(CSaveOptions, CObject)

namespace {

// The whole value of an INI key, however long: a value cut to a fixed buffer would come back
// shorter than it was written.
CString ReadPrivateString(LPCTSTR lpszSection, LPCTSTR lpszKey, LPCTSTR lpszDefault, LPCTSTR lpszFileName)
{
    std::vector<char> buffer(256);
    for (;;) {
        const DWORD nSize = static_cast<DWORD>(buffer.size());
        const DWORD nRead = GetPrivateProfileString(lpszSection, lpszKey, lpszDefault, buffer.data(), nSize, lpszFileName);
        if (nRead + 1 < nSize || buffer.size() >= (1u << 24))
            return CString(buffer.data(), static_cast<int>(nRead));
        buffer.resize(buffer.size() * 4);
    }
}

} // namespace

BOOL CSaveOptions::Exchange(UINT, LPCTSTR, DWORD_PTR)
{
    return TRUE;
}

BOOL CSaveOptions::ExchangeInt(UINT nMode, LPCTSTR lpszSection, LPCTSTR lpszKey, int& nValue, int nDefault,
                               LPCTSTR lpszFileName)
{
    switch (nMode) {
    case modeWriteProfile:
        return GetAppModel().GetProfile().WriteProfileInt(lpszSection, lpszKey, nValue);
    case modeWriteFile: {
        CString strText;
        strText.Format("%d", nValue);
        return WritePrivateProfileString(lpszSection, lpszKey, strText, lpszFileName);
    }
    case modeReadProfile:
        nValue = nDefault;
        nValue = static_cast<int>(GetAppModel().GetProfile().GetProfileInt(lpszSection, lpszKey, nDefault));
        return TRUE;
    case modeReadFile: {
        nValue = nDefault;
        CString strDefault;
        strDefault.Format("%d", nDefault);
        char buffer[32] = {};
        GetPrivateProfileString(lpszSection, lpszKey, strDefault, buffer, sizeof(buffer), lpszFileName);
        int nRead = 0;
        if (std::sscanf(buffer, "%d", &nRead) == 1)
            nValue = nRead;
        return TRUE;
    }
    case modeDefaults:
        nValue = nDefault;
        return TRUE;
    default:
        return FALSE; // no such mode
    }
}

BOOL CSaveOptions::ExchangeWord(UINT nMode, LPCTSTR lpszSection, LPCTSTR lpszKey, WORD& wValue, WORD wDefault,
                                LPCTSTR lpszFileName)
{
    int nValue = wValue;
    const BOOL bResult = ExchangeInt(nMode, lpszSection, lpszKey, nValue, wDefault, lpszFileName);
    wValue = static_cast<WORD>(nValue);
    return bResult;
}

BOOL CSaveOptions::ExchangeFlag(UINT nMode, LPCTSTR lpszSection, LPCTSTR lpszKey, BYTE& bValue, BYTE bDefault,
                                LPCTSTR lpszFileName)
{
    int nValue = bValue != 0 ? 1 : 0;
    const BOOL bResult = ExchangeInt(nMode, lpszSection, lpszKey, nValue, bDefault != 0 ? 1 : 0, lpszFileName);
    bValue = nValue != 0 ? 1 : 0;
    return bResult;
}

BOOL CSaveOptions::ExchangeString(UINT nMode, LPCTSTR lpszSection, LPCTSTR lpszKey, CString& strValue,
                                  LPCTSTR lpszDefault, LPCTSTR lpszFileName)
{
    switch (nMode) {
    case modeWriteProfile:
        return GetAppModel().GetProfile().WriteProfileString(lpszSection, lpszKey, strValue);
    case modeWriteFile:
        return WritePrivateProfileString(lpszSection, lpszKey, strValue, lpszFileName);
    case modeReadProfile:
        strValue = lpszDefault;
        strValue = GetAppModel().GetProfile().GetProfileString(lpszSection, lpszKey, lpszDefault);
        return TRUE;
    case modeReadFile:
        strValue = lpszDefault;
        strValue = ReadPrivateString(lpszSection, lpszKey, lpszDefault, lpszFileName);
        return TRUE;
    case modeDefaults:
        strValue = lpszDefault;
        return TRUE;
    default:
        return FALSE; // no such mode
    }
}
