#include "engine/meta/IMetaDialogs.h"

#include "platform/core/CException.h"

// Headless defaults: no dialog can be shown, so each answers Cancel; messages go to the
// platform's error-reporting hook, which a message box or a log takes over.

void IMetaDialogs::ShowMessage(UINT /*nID*/, const CString& strText)
{
    ShowError(strText);
}

void IMetaDialogs::ShowError(const CString& strText)
{
    if (AFX_REPORT_ERROR_HOOK hook = AfxGetReportErrorHook())
        hook(strText, MB_OK | MB_ICONEXCLAMATION, 0);
    else
        TRACE("%s\n", strText.GetString());
}

BOOL IMetaDialogs::AskOpenFileName(LPCTSTR, LPCTSTR, CString&)
{
    return FALSE;
}

BOOL IMetaDialogs::AskSaveFileName(LPCTSTR, LPCTSTR, LPCTSTR, CString&)
{
    return FALSE;
}

BOOL IMetaDialogs::EditOptionList(CStringListWrapper&)
{
    return FALSE;
}

BOOL IMetaDialogs::EditMultiSelOptions(CStringListWrapper&, UINT&, CString&)
{
    return FALSE;
}

BOOL IMetaDialogs::SelectMultiSelValue(CMetaComboMultiSelSetting&, CMetaContent&, BOOL&)
{
    return FALSE;
}

BOOL IMetaDialogs::DefineClassification(CDoubleLinkNodeCol&)
{
    return FALSE;
}

BOOL IMetaDialogs::SelectClassification(DWORD, const CString&, CMetaClassificationSetting&, CString&)
{
    return FALSE;
}

BOOL IMetaDialogs::EditKeywords(DWORD, const CString&, const CMetaContent&, CString&)
{
    return FALSE;
}

BOOL IMetaDialogs::ChooseGroupKeywordsAction(int&)
{
    return FALSE;
}

BOOL IMetaDialogs::EditRefresh(DWORD, const CMetaContent&, CString&)
{
    return FALSE;
}

BOOL IMetaDialogs::EditDate(DWORD, const CString&, const CString&, const CString&, CString&)
{
    return FALSE;
}
