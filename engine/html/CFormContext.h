// The FORM element being read: its name and a checksum of its attributes and fields, which lets
// the fetch engine tell forms of different pages apart.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CFormContext : public CObject {
    DECLARE_DYNAMIC(CFormContext)
public:
    explicit CFormContext(LPCSTR lpszName = nullptr);
    ~CFormContext() override = default;
    CFormContext(const CFormContext&) = delete;
    CFormContext& operator=(const CFormContext&) = delete;

    const CString& GetName() const { return m_strName; }
    DWORD GetChecksum() const { return m_dwChecksum; }

    // Adds the hash of a text to the checksum; nLength -1 means up to the NUL, and a null text
    // counts as empty.
    void AddField(LPCSTR lpszText, int nLength);

    // The hash one text adds: 9141 for an empty text.
    static DWORD HashText(LPCSTR lpszText, int nLength);

private:
    CString m_strName;
    DWORD m_dwChecksum = 42;
};
