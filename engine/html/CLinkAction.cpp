#include "engine/html/CLinkAction.h"

#include "engine/html/CHtmlParser.h"
#include "engine/html/CTagTable.h"
#include "engine/html/HtmlLinkTypes.h"

IMPLEMENT_DYNCREATE(CLinkAction, CAction)
IMPLEMENT_DYNCREATE(CUsesAction, CAction)
IMPLEMENT_DYNCREATE(CParamAction, CAction)
IMPLEMENT_DYNCREATE(CSpanAction, CAction)
IMPLEMENT_DYNCREATE(CBackgroundAction, CAction)
IMPLEMENT_DYNCREATE(CBodyAction, CAction)
IMPLEMENT_DYNCREATE(CBaseAction, CAction)
IMPLEMENT_DYNCREATE(CScriptAction, CAction)

void CLinkAction::ReportLinks()
{
    CString strRel;
    if (!GetAttr("REL", strRel))
        return;
    int nKind = strRel.CompareNoCase("stylesheet") == 0 ? LINK_KIND_STYLESHEET : LINK_KIND_PLAIN;
    CString strHref;
    if (GetAttr("HREF", strHref))
        OnLink(strHref, m_strDescription, nKind, 0, -1, -1);
}

namespace {

// The kind of a typed resource: from its TYPE, "other" without one.
int TypedKind(const CAction& action)
{
    CString strType;
    return action.GetAttr("TYPE", strType) ? ClassifyMimeType(strType) : LINK_KIND_OTHER;
}

} // namespace

void CUsesAction::ReportLinks()
{
    ReportEntryLinks(TypedKind(*this), LINK_FLAG_TYPED, -1, -1);
}

void CParamAction::ReportLinks()
{
    CString strValueType;
    if (m_pEntry == nullptr || !GetAttr("VALUETYPE", strValueType) || strValueType.CompareNoCase("REF") != 0)
        return;
    ReportEntryLinks(TypedKind(*this), LINK_FLAG_TYPED, -1, -1);
}

void CSpanAction::ReportLinks()
{
    ReportEntryLinks(TypedKind(*this), LINK_FLAG_SECONDARY, -1, -1);
}

void CBackgroundAction::ReportLinks()
{
    if (m_pEntry == nullptr)
        return;
    ReportEntryLinks(m_pEntry->m_nLinkKind, LINK_FLAG_BACKGROUND, -1, -1);
}

void CBodyAction::ReportLinks()
{
    CString strValue;
    if (GetAttr("BACKGROUND", strValue))
        OnLink(strValue, m_strDescription, LINK_KIND_IMAGE, LINK_FLAG_BACKGROUND, -1, -1);
    if (GetAttr("CREDITS", strValue))
        OnLink(strValue, "Credits", LINK_KIND_PLAIN, LINK_FLAG_SECONDARY, -1, -1);
    if (GetAttr("LOGO", strValue))
        OnLink(strValue, "Logo", LINK_KIND_IMAGE, LINK_FLAG_SECONDARY, -1, -1);
}

BOOL CBaseAction::OnTagComplete()
{
    CString strHref;
    if (GetAttr("HREF", strHref))
        OnBase(strHref);
    return TRUE;
}

BOOL CScriptAction::OnTagComplete()
{
    if (m_pParser != nullptr) {
        int nKind = m_pParser->GetEventScriptMode();
        CString strValue;
        if (GetAttr("LANGUAGE", strValue)) {
            strValue.MakeLower();
            nKind = GetScriptLanguageKind(strValue);
        } else if (GetAttr("TYPE", strValue)) {
            strValue.MakeLower();
            nKind = GetScriptMimeTypeKind(strValue);
        }
        if (nKind == SCRIPT_KIND_JAVASCRIPT)
            m_pParser->SetInJavaScript();
        else if (nKind == SCRIPT_KIND_VBSCRIPT)
            m_pParser->SetInVBScript();
    }
    return CAction::OnTagComplete();
}
