#include "engine/html/CFormAction.h"

#include "engine/html/CHtmlParser.h"

IMPLEMENT_DYNCREATE(CFormAction, CAction)
IMPLEMENT_DYNCREATE(CInputAction, CAction)
IMPLEMENT_DYNCREATE(CButtonAction, CAction)
IMPLEMENT_DYNCREATE(CTextAreaAction, CAction)
IMPLEMENT_DYNCREATE(CSelectAction, CAction)
IMPLEMENT_DYNCREATE(COptionAction, CAction)

BOOL CFormAction::OnTagComplete()
{
    ReportId();
    ReportScriptAttributes();
    if (m_pParser == nullptr)
        return TRUE;

    CString strName;
    if (GetAttr("ID", strName) || GetAttr("NAME", strName))
        m_pParser->OnFormStart(strName);
    else
        m_pParser->OnFormStart(nullptr);

    CString strValue;
    if (GetAttr("ENCTYPE", strValue))
        strValue.MakeLower();
    else
        strValue = "application/x-www-form-urlencoded";
    m_pParser->OnFormField(strValue, strValue.GetLength());

    if (!GetAttr("ACTION", strValue))
        strValue.Empty();
    m_pParser->OnFormField(strValue, strValue.GetLength());

    if (GetAttr("METHOD", strValue))
        strValue.MakeUpper();
    else
        strValue.Empty();
    m_pParser->OnFormField(strValue, strValue.GetLength());

    if (GetAttr("ACCEPT-CHARSET", strValue))
        strValue.MakeLower();
    else
        strValue = "unknown";
    m_pParser->OnFormField(strValue, strValue.GetLength());
    return TRUE;
}

BOOL CInputAction::OnTagComplete()
{
    static const LPCSTR s_apszFields[] = {"TYPE"};
    ReportFormFields(s_apszFields, 1);
    return CAction::OnTagComplete();
}

namespace {

// The common completion of the link-less field tags.
BOOL CompleteField(CAction& action, LPCSTR lpszAttr)
{
    action.ReportId();
    action.ReportScriptAttributes();
    const LPCSTR apszFields[] = {lpszAttr};
    action.ReportFormFields(apszFields, 1);
    return TRUE;
}

} // namespace

BOOL CButtonAction::OnTagComplete()
{
    return CompleteField(*this, "TYPE");
}

BOOL CTextAreaAction::OnTagComplete()
{
    return CompleteField(*this, "NAME");
}

BOOL CSelectAction::OnTagComplete()
{
    return CompleteField(*this, "NAME");
}

BOOL COptionAction::OnTagComplete()
{
    return CompleteField(*this, "VALUE");
}
