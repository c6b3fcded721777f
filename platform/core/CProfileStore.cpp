#include "platform/core/CProfileStore.h"

#include "platform/core/PrivateProfile.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Closes a registry key on every path out of a function.
class KeyGuard {
public:
    explicit KeyGuard(HKEY key) : m_key(key) {}
    ~KeyGuard()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    KeyGuard(const KeyGuard&) = delete;
    KeyGuard& operator=(const KeyGuard&) = delete;
    HKEY Get() const { return m_key; }

private:
    HKEY m_key;
};

// Binary entries in an INI file: two letters per byte, 'A' plus the low nibble, then 'A' plus the
// high nibble.
std::string EncodeBinary(const BYTE* data, UINT size)
{
    std::string text;
    text.reserve(size * 2u);
    for (UINT i = 0; i < size; ++i) {
        text += static_cast<char>('A' + (data[i] & 0x0F));
        text += static_cast<char>('A' + ((data[i] >> 4) & 0x0F));
    }
    return text;
}

bool DecodeBinary(const CString& text, std::vector<BYTE>& out)
{
    const int length = text.GetLength();
    if (length == 0 || length % 2 != 0)
        return false;
    out.clear();
    for (int i = 0; i < length; i += 2) {
        int low = text[i] - 'A';
        int high = text[i + 1] - 'A';
        if (low < 0 || low > 15 || high < 0 || high > 15)
            return false;
        out.push_back(static_cast<BYTE>(low | (high << 4)));
    }
    return true;
}

} // namespace

CProfileStore::CProfileStore(LPCTSTR lpszAppName)
{
    SetAppName(lpszAppName);
}

void CProfileStore::SetAppName(LPCTSTR lpszAppName)
{
    m_appName = lpszAppName ? lpszAppName : "";
}

void CProfileStore::SetRegistryKey(LPCTSTR lpszRegistryKey)
{
    m_registryKey = lpszRegistryKey ? lpszRegistryKey : "";
    while (!m_registryKey.empty() && m_registryKey.back() == '\\')
        m_registryKey.pop_back();
}

void CProfileStore::SetProfileName(LPCTSTR lpszProfileName)
{
    m_profileName = lpszProfileName ? lpszProfileName : "";
}

CString CProfileStore::GetProfileName() const
{
    return CString(IniPath().c_str());
}

std::string CProfileStore::IniPath() const
{
    if (!m_profileName.empty())
        return m_profileName;
    return (m_appName.empty() ? std::string("Vostrel") : m_appName) + ".ini";
}

std::string CProfileStore::AppKeyPath() const
{
    return "Software\\" + m_registryKey + "\\" + m_appName;
}

std::string CProfileStore::SectionPath(LPCTSTR lpszSection) const
{
    std::string path = AppKeyPath();
    if (lpszSection && lpszSection[0])
        path += std::string("\\") + lpszSection;
    return path;
}

HKEY CProfileStore::GetAppRegistryKey() const
{
    if (!UsesRegistry())
        return nullptr;
    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, AppKeyPath().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                       KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

HKEY CProfileStore::GetSectionKey(LPCTSTR lpszSection) const
{
    if (!UsesRegistry())
        return nullptr;
    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, SectionPath(lpszSection).c_str(), 0, nullptr,
                       REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return nullptr;
    return key;
}

HKEY CProfileStore::OpenSectionForReading(LPCTSTR lpszSection) const
{
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, SectionPath(lpszSection).c_str(), 0, KEY_READ, &key)
        != ERROR_SUCCESS)
        return nullptr;
    return key;
}

UINT CProfileStore::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault) const
{
    if (!UsesRegistry())
        return GetPrivateProfileInt(lpszSection, lpszEntry, nDefault, IniPath().c_str());
    KeyGuard key(OpenSectionForReading(lpszSection));
    if (!key.Get())
        return static_cast<UINT>(nDefault);
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueEx(key.Get(), lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size)
            != ERROR_SUCCESS
        || type != REG_DWORD || size != sizeof value)
        return static_cast<UINT>(nDefault);
    return value;
}

CString CProfileStore::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault) const
{
    if (!UsesRegistry()) {
        // Grow the buffer until the value fits; a full buffer may mean a truncated value.
        for (DWORD size = 256;; size *= 2) {
            std::vector<char> buffer(size);
            DWORD length = GetPrivateProfileString(lpszSection, lpszEntry, lpszDefault, buffer.data(),
                                                   size, IniPath().c_str());
            if (length < size - 1 || size >= (1u << 24))
                return CString(buffer.data(), static_cast<int>(length));
        }
    }
    CString fallback(lpszDefault ? lpszDefault : "");
    KeyGuard key(OpenSectionForReading(lpszSection));
    if (!key.Get())
        return fallback;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueEx(key.Get(), lpszEntry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS
        || type != REG_SZ)
        return fallback;
    std::vector<char> buffer(size + 1);
    if (RegQueryValueEx(key.Get(), lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                        &size)
        != ERROR_SUCCESS)
        return fallback;
    buffer[size] = '\0';
    return CString(buffer.data());
}

BOOL CProfileStore::GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, BYTE** ppData, UINT* pBytes) const
{
    if (!ppData || !pBytes)
        return FALSE;
    *ppData = nullptr;
    *pBytes = 0;
    if (!UsesRegistry()) {
        std::vector<BYTE> bytes;
        if (!DecodeBinary(GetProfileString(lpszSection, lpszEntry, nullptr), bytes))
            return FALSE;
        *ppData = new BYTE[bytes.size()];
        std::copy(bytes.begin(), bytes.end(), *ppData);
        *pBytes = static_cast<UINT>(bytes.size());
        return TRUE;
    }
    KeyGuard key(OpenSectionForReading(lpszSection));
    if (!key.Get())
        return FALSE;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueEx(key.Get(), lpszEntry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS
        || type != REG_BINARY)
        return FALSE;
    auto buffer = std::make_unique<BYTE[]>(size ? size : 1);
    if (RegQueryValueEx(key.Get(), lpszEntry, nullptr, &type, buffer.get(), &size) != ERROR_SUCCESS)
        return FALSE;
    *ppData = buffer.release();
    *pBytes = size;
    return TRUE;
}

BOOL CProfileStore::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue)
{
    if (!UsesRegistry()) {
        char text[16];
        std::snprintf(text, sizeof text, "%d", nValue);
        return WritePrivateProfileString(lpszSection, lpszEntry, text, IniPath().c_str());
    }
    if (!lpszEntry)
        return FALSE;
    KeyGuard key(GetSectionKey(lpszSection));
    if (!key.Get())
        return FALSE;
    DWORD value = static_cast<DWORD>(nValue);
    return RegSetValueEx(key.Get(), lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                         sizeof value)
        == ERROR_SUCCESS;
}

BOOL CProfileStore::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue)
{
    if (!UsesRegistry())
        return WritePrivateProfileString(lpszSection, lpszEntry, lpszValue, IniPath().c_str());
    if (!lpszEntry) {
        if (!lpszSection || !lpszSection[0])
            return FALSE; // the application's own key is not a section
        KeyGuard app(GetAppRegistryKey());
        return app.Get() && RegDeleteKey(app.Get(), lpszSection) == ERROR_SUCCESS;
    }
    if (!lpszValue) {
        HKEY opened = nullptr;
        if (RegOpenKeyEx(HKEY_CURRENT_USER, SectionPath(lpszSection).c_str(), 0, KEY_READ | KEY_WRITE,
                         &opened)
            != ERROR_SUCCESS)
            return FALSE;
        KeyGuard key(opened);
        return RegDeleteValue(key.Get(), lpszEntry) == ERROR_SUCCESS;
    }
    KeyGuard key(GetSectionKey(lpszSection));
    if (!key.Get())
        return FALSE;
    return RegSetValueEx(key.Get(), lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                         static_cast<DWORD>(std::strlen(lpszValue) + 1))
        == ERROR_SUCCESS;
}

BOOL CProfileStore::WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, const BYTE* pData, UINT nBytes)
{
    if (!pData && nBytes)
        return FALSE;
    if (!UsesRegistry())
        return WritePrivateProfileString(lpszSection, lpszEntry, EncodeBinary(pData, nBytes).c_str(),
                                         IniPath().c_str());
    if (!lpszEntry)
        return FALSE;
    KeyGuard key(GetSectionKey(lpszSection));
    if (!key.Get())
        return FALSE;
    return RegSetValueEx(key.Get(), lpszEntry, 0, REG_BINARY, pData, nBytes) == ERROR_SUCCESS;
}
