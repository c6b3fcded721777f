// CAppMetaDialogs: the engine's dialogs as the application shows them: message boxes and file
// dialogs owned by the main window. The value and option dialogs cancel until they are built.
#pragma once

#include "engine/meta/IMetaDialogs.h"

class CAppMetaDialogs : public IMetaDialogs {
public:
    void ShowMessage(UINT nID, const CString& strText) override;
    void ShowError(const CString& strText) override;
    BOOL AskOpenFileName(LPCTSTR lpszTitle, LPCTSTR lpszFilter, CString& strPath) override;
    BOOL AskSaveFileName(LPCTSTR lpszTitle, LPCTSTR lpszDefExt, LPCTSTR lpszFilter, CString& strPath) override;
};
