// The application's profile: named sections of integer, string and binary entries, kept in the
// registry under HKEY_CURRENT_USER\Software\<registry key>\<application name>\<section> once a
// registry key is set, and in a private INI file otherwise.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Registry.h"

#include <string>

class CProfileStore {
public:
    CProfileStore() = default;
    explicit CProfileStore(LPCTSTR lpszAppName);

    // The application name is the last key of the application's registry key and, with ".ini",
    // the default INI file name.
    void SetAppName(LPCTSTR lpszAppName);
    LPCTSTR GetAppName() const { return m_appName.c_str(); }

    // Moves the profile into the registry, e.g. "Wexmoor\Vostrel\1.0 Release Candidate 16";
    // an empty key moves it back to the INI file.
    void SetRegistryKey(LPCTSTR lpszRegistryKey);
    LPCTSTR GetRegistryKey() const { return m_registryKey.c_str(); }
    bool UsesRegistry() const { return !m_registryKey.empty(); }

    // The INI file used without a registry key; a bare name lives in the configuration folder
    // (see PrivateProfile.h). Default: the application name with ".ini".
    void SetProfileName(LPCTSTR lpszProfileName);
    CString GetProfileName() const;

    // Opens, creating it when missing, the application's key or a section key below it (an empty
    // section is the application's key itself). The caller closes the key; null on failure.
    HKEY GetAppRegistryKey() const;
    HKEY GetSectionKey(LPCTSTR lpszSection) const;

    // Readers give the default when the entry is missing or stored with another type; they never
    // create keys.
    UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault) const;
    CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = nullptr) const;
    // On success *ppData is a new[] buffer of *pBytes bytes that the caller frees with delete[];
    // on failure it is null and *pBytes is 0.
    BOOL GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, BYTE** ppData, UINT* pBytes) const;

    BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
    // A null entry deletes the whole section (in the registry, only when it has no subkeys);
    // a null value deletes the entry.
    BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);
    BOOL WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, const BYTE* pData, UINT nBytes);

private:
    std::string AppKeyPath() const;
    std::string SectionPath(LPCTSTR lpszSection) const;
    std::string IniPath() const;
    HKEY OpenSectionForReading(LPCTSTR lpszSection) const;

    std::string m_appName;
    std::string m_registryKey;
    std::string m_profileName;
};
