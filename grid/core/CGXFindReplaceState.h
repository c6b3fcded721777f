// CGXFindReplaceState: the find and replace settings that every grid and the find feature
// share: the text to find, its prepared copy, the replacement and the options.
#pragma once

#include "platform/core/CString.h"

struct CGXFindReplaceState {
    DWORD m_nValue1 = 0;
    DWORD m_nValue2 = 0;
    CString m_strFind;
    // The find text as searched: upper-cased unless the case must match.
    CString m_strFindUpper;
    CString m_strReplace;
    BOOL m_bCase = FALSE;
    BOOL m_bNext = TRUE;
    BOOL m_bFindOnly = TRUE;
    DWORD m_nValue3 = 0;
    DWORD m_nValue4 = 0;
    DWORD m_nValue5 = 0;

    void PrepareFindText();
};

// The program's one record.
CGXFindReplaceState& GXGetFindReplaceState();
