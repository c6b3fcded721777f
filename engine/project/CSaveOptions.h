// The base of the option records: one exchange operation that writes a record to, or reads it
// from, the application's profile or a private INI file, or resets it to its defaults, key by key.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CSaveOptions : public CObject {
    DECLARE_DYNAMIC(CSaveOptions)
public:
    // Exchange modes.
    enum : UINT {
        modeWriteProfile = 1,
        modeWriteFile = 2,
        modeReadProfile = 16,
        modeReadFile = 32,
        modeDefaults = 48,
    };

    ~CSaveOptions() override = default;

    // Each returns FALSE when a value could not be written (reads and resets always succeed).
    virtual BOOL SaveToFile(LPCTSTR lpszFileName) { return Exchange(modeWriteFile, lpszFileName, 0); }
    virtual BOOL ResetToDefaults() { return Exchange(modeDefaults, nullptr, 0); }
    virtual BOOL LoadFromFile(LPCTSTR lpszFileName) { return Exchange(modeReadFile, lpszFileName, 0); }
    virtual BOOL SaveToProfile() { return Exchange(modeWriteProfile, nullptr, 0); }
    virtual BOOL LoadFromProfile() { return Exchange(modeReadProfile, nullptr, 0); }
    // Runs every key of the record in its fixed order; the file name serves modes 2 and 32, the
    // extra word is passed on for records that need one.
    virtual BOOL Exchange(UINT nMode, LPCTSTR lpszFileName, DWORD_PTR dwExtra);

protected:
    CSaveOptions() = default;
    CSaveOptions(const CSaveOptions&) = default;
    CSaveOptions& operator=(const CSaveOptions&) = default;

    // One value of each kind. Every read first stores the default, so a missing or unreadable
    // key yields it; the profile is the application model's.
    static BOOL ExchangeInt(UINT nMode, LPCTSTR lpszSection, LPCTSTR lpszKey, int& nValue, int nDefault,
                            LPCTSTR lpszFileName);
    static BOOL ExchangeWord(UINT nMode, LPCTSTR lpszSection, LPCTSTR lpszKey, WORD& wValue, WORD wDefault,
                             LPCTSTR lpszFileName);
    static BOOL ExchangeFlag(UINT nMode, LPCTSTR lpszSection, LPCTSTR lpszKey, BYTE& bValue, BYTE bDefault,
                             LPCTSTR lpszFileName);
    static BOOL ExchangeString(UINT nMode, LPCTSTR lpszSection, LPCTSTR lpszKey, CString& strValue,
                               LPCTSTR lpszDefault, LPCTSTR lpszFileName);
};
