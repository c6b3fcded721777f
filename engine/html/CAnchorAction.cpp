#include "engine/html/CAnchorAction.h"

#include "engine/html/CTagTable.h"
#include "engine/html/HtmlLinkTypes.h"

IMPLEMENT_DYNCREATE(CAnchorAction, CAction)
IMPLEMENT_DYNCREATE(CTitleAction, CAction)
IMPLEMENT_DYNCREATE(CImageAction, CAction)

BOOL CAnchorAction::OnTagComplete()
{
    ReportId();
    ReportScriptAttributes();
    CString strName;
    if (GetAttr("NAME", strName))
        OnAnchor(strName);
    if (!HasAttr("HREF"))
        return TRUE;
    StartCollecting();
    return FALSE;
}

void CAnchorAction::MarkServerMap()
{
    m_bServerMap = TRUE;
}

BOOL CTitleAction::OnTagComplete()
{
    StartCollecting();
    return FALSE;
}

void CTitleAction::AppendText(LPCSTR lpszText, int nLength)
{
    if (m_bCollectingText && nLength > 0)
        m_strDescription += MakeText(lpszText, nLength);
}

void CTitleAction::SetDescription(LPCSTR)
{
}

void CTitleAction::ReportLinks()
{
    // An empty title is still the page's first: a later one is not its title.
    m_strDescription.TrimRight();
    OnTitle(m_strDescription);
}

BOOL CImageAction::OnTagComplete()
{
    if (HasAttr("ISMAP") && HasAttr("SRC"))
        MarkOpenElementServerMap();
    return CAction::OnTagComplete();
}

void CImageAction::ReportLinks()
{
    if (m_pEntry == nullptr)
        return;
    m_strDescription.TrimRight();
    if (m_strDescription.IsEmpty()) {
        if (LPCSTR lpszLink = FindFirstAttr(m_pEntry->m_apszLinkAttrs))
            m_strDescription = lpszLink;
    }
    HandDescriptionUp(m_strDescription);

    int nWidth = -1;
    int nHeight = -1;
    DWORD dwFlags = ReadSizeFlags(0, nWidth, nHeight);
    ReportEntryLinks(m_pEntry->m_nLinkKind, dwFlags, nWidth, nHeight);
}
