// The grid's view of the sheet-tab window it may live in: the tab window's support object,
// kept in the library's data, answers the sheet's name without the grid knowing the tab classes.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CWnd;

class CGXAbstractTabWndInterface : public CObject {
public:
    // With bSet renames the sheet of the window (no notification) and returns the name; else
    // the window's sheet name, empty when it is in no tab window.
    virtual CString GetSetSheetName(CWnd* pGridWnd, const CString& sName, BOOL bSet) = 0;
    // The name of a tab of the tab window holding the window.
    virtual void GetSheetName(CString& sName, CWnd* pWnd, int nTab) = 0;
};
