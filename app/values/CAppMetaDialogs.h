// CAppMetaDialogs: the engine's dialogs as the application shows them: message boxes, file
// dialogs, and the value and option dialogs of the setting types, owned by the main window.
#pragma once

#include "engine/meta/IMetaDialogs.h"

class CAppMetaDialogs : public IMetaDialogs {
public:
    void ShowMessage(UINT nID, const CString& strText) override;
    void ShowError(const CString& strText) override;
    BOOL AskOpenFileName(LPCTSTR lpszTitle, LPCTSTR lpszFilter, CString& strPath) override;
    BOOL AskSaveFileName(LPCTSTR lpszTitle, LPCTSTR lpszDefExt, LPCTSTR lpszFilter, CString& strPath) override;

    BOOL EditOptionList(CStringListWrapper& options) override;
    BOOL EditMultiSelOptions(CStringListWrapper& options, UINT& bAllowModify, CString& strSeparator) override;
    BOOL SelectMultiSelValue(CMetaComboMultiSelSetting& setting, CMetaContent& content, BOOL& bOptionsChanged) override;
    BOOL DefineClassification(CDoubleLinkNodeCol& tree) override;
    BOOL SelectClassification(DWORD dwContext, const CString& strCurrentPath, CMetaClassificationSetting& setting,
                              CString& strPath) override;
    BOOL EditKeywords(DWORD dwContext, const CString& strTagName, const CMetaContent& content,
                      CString& strText) override;
    BOOL ChooseGroupKeywordsAction(int& nAction) override;
    BOOL EditRefresh(DWORD dwContext, const CMetaContent& content, CString& strText) override;
    BOOL EditDate(DWORD dwContext, const CString& strSettingName, const CString& strValue, const CString& strFormat,
                  CString& strText) override;
};
