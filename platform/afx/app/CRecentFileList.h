// CRecentFileList: the most recently used files, newest first, kept in the profile and shown
// as numbered items of the File menu in place of its first recent-file item.
#pragma once

#include "platform/core/CString.h"

#include <vector>

class CCmdUI;

class CRecentFileList {
public:
    // What a menu item shows of a path at most, in characters, by default: a path of thousands
    // would stretch the menu past the screen.
    static constexpr int kDefaultDisplayLength = 64;

    // nStart: the number shown with the first entry, minus one (0 shows "1"); the entries are
    // read from and written to lpszSection as lpszEntryFormat with the entry's number (from 1).
    // nMaxDispLen: the display length of an entry, 0 for the whole path.
    CRecentFileList(UINT nStart, LPCTSTR lpszSection, LPCTSTR lpszEntryFormat, int nSize,
                    int nMaxDispLen = kDefaultDisplayLength);
    virtual ~CRecentFileList() = default;

    int GetSize() const { return static_cast<int>(m_arrNames.size()); }
    CString& operator[](int nIndex) { return m_arrNames[static_cast<size_t>(nIndex)]; }
    const CString& operator[](int nIndex) const { return m_arrNames[static_cast<size_t>(nIndex)]; }

    // Puts a path first; a path already listed moves up instead of appearing twice.
    virtual void Add(LPCTSTR lpszPathName);
    virtual void Remove(int nIndex);
    // The text shown for an entry: the path, shortened in its middle to the display length
    // ("/home/us...folder/file"), or the file name alone for a path in lpszCurDir. FALSE for an
    // empty entry.
    virtual BOOL GetDisplayName(CString& strName, int nIndex, LPCTSTR lpszCurDir, int nCurDir,
                                BOOL bAtLeastName = TRUE) const;
    // Replaces the menu's recent-file items with the list (or the placeholder, disabled).
    virtual void UpdateMenu(CCmdUI* pCmdUI);
    virtual void ReadList();
    virtual void WriteList();

    std::vector<CString> m_arrNames;   // one per slot; empty strings for unused slots
    CString m_strSectionName;
    CString m_strEntryFormat;
    UINT m_nStart;
    int m_nMaxDisplayLength;
    CString m_strOriginal;   // the placeholder item's text
};
