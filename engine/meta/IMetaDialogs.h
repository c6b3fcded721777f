// The dialogs and message boxes the META engine opens: the value and option dialogs of the
// setting types, the settings file dialogs and error messages. The application installs its
// implementation in the application model; without one every dialog is cancelled and messages
// go to the error-reporting hook of the platform, so the engine runs headless.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

class CStringList;
class CStringListWrapper;
class CDoubleLinkNodeCol;
class CMetaContent;
class CMetaClassificationSetting;
class CMetaComboMultiSelSetting;

// Every operation that opens a dialog returns TRUE after OK and FALSE after Cancel.
class IMetaDialogs {
public:
    virtual ~IMetaDialogs() = default;

    // A message box with string-table message nID, whose text is strText.
    virtual void ShowMessage(UINT nID, const CString& strText);
    // A message box with an error text (file errors of the settings file).
    virtual void ShowError(const CString& strText);

    // Open-file dialog: the file must exist; strPath is the proposed name and the choice.
    virtual BOOL AskOpenFileName(LPCTSTR lpszTitle, LPCTSTR lpszFilter, CString& strPath);
    // Save-file dialog that asks before overwriting a file and before creating a new one.
    virtual BOOL AskSaveFileName(LPCTSTR lpszTitle, LPCTSTR lpszDefExt, LPCTSTR lpszFilter, CString& strPath);

    // CListTypeAttribDlg: edits an option list in place.
    virtual BOOL EditOptionList(CStringListWrapper& options);
    // CMListTypeAttribDlg: options, allow-user-to-modify flag and value separator.
    virtual BOOL EditMultiSelOptions(CStringListWrapper& options, UINT& bAllowModify, CString& strSeparator);
    // CMListSelOptionsDlg: after OK the setting holds the dialog's working copy, the content's
    // text holds the ticked options joined by the separator, and bOptionsChanged tells whether
    // the option list differs from the one it started with.
    virtual BOOL SelectMultiSelValue(CMetaComboMultiSelSetting& setting, CMetaContent& content,
                                     BOOL& bOptionsChanged);
    // CClassificationDlg in define mode (title "Define Classification Metatag Tree").
    virtual BOOL DefineClassification(CDoubleLinkNodeCol& tree);
    // CClassificationDlg in value mode: the chosen path, names joined by ":".
    virtual BOOL SelectClassification(DWORD dwContext, const CString& strCurrentPath,
                                      CMetaClassificationSetting& setting, CString& strPath);
    // CKeywordsDlg: the content's items as existing keywords and its suggestions.
    virtual BOOL EditKeywords(DWORD dwContext, const CString& strTagName, const CMetaContent& content,
                              CString& strText);
    // CGroupKeywordsDlg: nAction comes preset and goes back as 0 (add) or 1 (replace).
    virtual BOOL ChooseGroupKeywordsAction(int& nAction);
    // CRefreshDlg: "%d; URL=%s", or "%d" without a URL.
    virtual BOOL EditRefresh(DWORD dwContext, const CMetaContent& content, CString& strText);
    // CDateTimeDlg: the date text in the given format; the setting's name titles the dialog.
    virtual BOOL EditDate(DWORD dwContext, const CString& strSettingName, const CString& strValue,
                          const CString& strFormat, CString& strText);
};
