#include "grid/core/CGXControl.h"
#include "grid/core/CGXDrawingAndFormatting.h"

#include "grid/core/CGXChild.h"
#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/IGXCommandTarget.h"

IMPLEMENT_DYNAMIC(CGXControl, CObject)

CGXControl::CGXControl(CGXGridCore* pGrid) : m_pGrid(pGrid) {}

CGXControl::~CGXControl() = default;

CWnd* CGXControl::GridWnd() const
{
    return m_pGrid != nullptr ? m_pGrid->GridWnd() : nullptr;
}

void CGXControl::Init(ROWCOL nRow, ROWCOL nCol)
{
    m_nRow = nRow;
    m_nCol = nCol;
    m_bInit = TRUE;
    SetActive(FALSE);
    m_bModify = FALSE;
    FreeStyle();
}

void CGXControl::Reset()
{
    m_bInit = FALSE;
    m_nRow = m_nCol = 0;
    m_bIsActive = FALSE;
    m_bModify = FALSE;
    FreeStyle();
}

const CGXStyle* CGXControl::LoadStyle()
{
    if (!m_bInit || m_pGrid == nullptr)
        return nullptr;
    if (!m_pStyle) {
        m_pStyle = std::make_unique<CGXStyle>();
        m_pGrid->ComposeCellStyle(m_nRow, m_nCol, *m_pStyle);
    }
    return m_pStyle.get();
}

void CGXControl::FreeStyle()
{
    m_pStyle.reset();
}

BOOL CGXControl::Store()
{
    // The base control has no edit of its own, so there is never anything to write.
    if (!m_bModify)
        return TRUE;
    CString sText;
    if (!GetCurrentText(sText) || !m_bInit || m_pGrid == nullptr || m_pGrid->IsReadOnlyLocked())
        return FALSE;
    // Through the grid's range operation, so that an edit can be undone like any change; a
    // value the cell already has changes nothing and is no failure.
    const ROWCOL nRow = m_nRow, nCol = m_nCol;
    m_pGrid->SetValueRange(CGXRange(nRow, nCol, nRow, nCol), sText, gxOverride, 0, GX_INVALIDATE);
    m_bModify = FALSE;
    FreeStyle();
    return TRUE;
}

BOOL CGXControl::OnLeftCell(ROWCOL, ROWCOL)
{
    return TRUE;
}

void CGXControl::OnGridSysColorChange()
{
    for (const auto& pChild : m_children)
        pChild->OnSysColorChange();
}

void CGXControl::Refresh()
{
    // The value shown comes from the grid again; an edit in progress stays.
    FreeStyle();
}

BOOL CGXControl::OnCancelEditing()
{
    const BOOL bHadEdit = m_bModify;
    ResetEdit();
    FreeStyle();
    return bHadEdit;
}

BOOL CGXControl::GetCurrentText(CString& sText)
{
    const CGXStyle* pStyle = LoadStyle();
    if (pStyle == nullptr) {
        sText.Empty();
        return FALSE;
    }
    sText = pStyle->GetValue();
    return TRUE;
}

void CGXControl::SetCurrentText(const CString& sText)
{
    ReplaceSel(sText);
}

void CGXControl::ReplaceSel(LPCTSTR pszText)
{
    // Without an edit the whole value is replaced, through the grid.
    if (!m_bInit || m_pGrid == nullptr || IsReadOnly())
        return;
    CGXStyle style;
    style.SetValue(pszText != nullptr ? pszText : "");
    if (m_pGrid->StoreCellStyle(m_nRow, m_nCol, &style, gxOverride, 0))
        FreeStyle();
}

void CGXControl::Draw(CDC* pDC, CRect rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, const CGXStyle*)
{
    // The cell's interior and borders are the grid's to draw; the base draws the children.
    if (pDC == nullptr || m_children.empty())
        return;
    LayoutChildren(nRow, nCol, rect, style);
    DrawChildren(pDC, m_pGrid != nullptr && m_pGrid->IsCurrentCell(nRow, nCol));
}

BOOL CGXControl::IsRedrawNeeded(ROWCOL, ROWCOL)
{
    return m_bModify;
}

BOOL CGXControl::StoreStyle(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int nMode, int nType, const CGXStyle*)
{
    return m_pGrid != nullptr && m_pGrid->StoreCellStyle(nRow, nCol, pStyle, nMode, nType);
}

BOOL CGXControl::SetControlText(ROWCOL nRow, ROWCOL nCol, const CString& sText, UINT, const CGXStyle* pOldStyle)
{
    CGXStyle style;
    style.SetValue(sText);
    return StoreStyle(nRow, nCol, &style, gxOverride, 0, pOldStyle);
}

BOOL CGXControl::GetControlText(CString& sResult, ROWCOL, ROWCOL, LPCTSTR pszRawValue, const CGXStyle& style)
{
    // The value as the cell's format shows it (as it stands without a formatting feature).
    sResult = CGXDrawingAndFormatting::GetInstance()->FormatValue(style, pszRawValue != nullptr ? pszRawValue : style.GetValue().GetString());
    return TRUE;
}

BOOL CGXControl::LButtonDown(UINT nFlags, CPoint pt, UINT)
{
    return ChildrenLButtonDown(nFlags, pt);
}

BOOL CGXControl::LButtonUp(UINT nFlags, CPoint pt, UINT)
{
    return ChildrenLButtonUp(nFlags, pt);
}
BOOL CGXControl::LButtonDblClk(UINT, CPoint) { return FALSE; }
BOOL CGXControl::MButtonDown(UINT, CPoint, UINT) { return FALSE; }
BOOL CGXControl::MButtonUp(UINT, CPoint, UINT) { return FALSE; }
BOOL CGXControl::RButtonDown(UINT, CPoint, UINT) { return FALSE; }
BOOL CGXControl::RButtonUp(UINT, CPoint, UINT) { return FALSE; }
BOOL CGXControl::MouseMove(UINT nFlags, CPoint pt, UINT)
{
    return ChildrenMouseMove(nFlags, pt);
}

void CGXControl::AddChild(CGXChild* pChild)
{
    if (pChild != nullptr)
        m_children.emplace_back(pChild);
}

void CGXControl::LayoutChildren(ROWCOL, ROWCOL, const CRect&, const CGXStyle&) {}

void CGXControl::OnClickedButton(CGXChild*)
{
    if (m_bInit && m_pGrid != nullptr)
        m_pGrid->OnClickedButtonRowCol(m_nRow, m_nCol);
}

BOOL CGXControl::ChildrenLButtonDown(UINT nFlags, CPoint pt)
{
    for (auto& pChild : m_children)
        if (pChild->LButtonDown(nFlags, pt)) {
            m_pPressedChild = pChild.get();
            return TRUE;
        }
    return FALSE;
}

BOOL CGXControl::ChildrenLButtonUp(UINT nFlags, CPoint pt)
{
    CGXChild* pChild = m_pPressedChild;
    m_pPressedChild = nullptr;
    return pChild != nullptr && pChild->LButtonUp(nFlags, pt);
}

BOOL CGXControl::ChildrenMouseMove(UINT nFlags, CPoint pt)
{
    return m_pPressedChild != nullptr && m_pPressedChild->MouseMove(nFlags, pt);
}

void CGXControl::DrawChildren(CDC* pDC, BOOL bActive)
{
    for (auto& pChild : m_children)
        pChild->Draw(pDC, bActive);
}
BOOL CGXControl::KeyPressed(UINT, UINT, UINT, UINT) { return FALSE; }

BOOL CGXControl::IsReadOnly()
{
    if (m_pGrid == nullptr)
        return TRUE;
    if (m_pGrid->IsReadOnly())
        return TRUE;
    const CGXGridParam* pParam = m_pGrid->GetParam();
    if (pParam == nullptr || !pParam->m_bLockReadOnly)
        return FALSE;
    const CGXStyle* pStyle = LoadStyle();
    return pStyle != nullptr && pStyle->GetInclude(GX_INCL_READONLY) && pStyle->GetReadOnly();
}

CRect CGXControl::GetCellRect(ROWCOL, ROWCOL, LPRECT rectItem, const CGXStyle* pStyle)
{
    CRect rect = rectItem != nullptr ? CRect(*rectItem) : CRect(0, 0, 0, 0);
    if (pStyle == nullptr || m_pGrid == nullptr)
        return rect;
    // The borders are the grid's to draw; the control gets what lies inside them.
    return m_pGrid->SubtractBorders(rect, *pStyle);
}

CFont* CGXControl::LoadFont(CDC* pDC, const CGXStyle& style, const CGXStyle*)
{
    return m_pGrid != nullptr ? m_pGrid->LoadFont(pDC, style, TRUE) : nullptr;
}

BOOL CGXControl::IsWindowKindOf(CRuntimeClass*)
{
    return FALSE;
}

BOOL CGXControl::CanFloatCell(ROWCOL, ROWCOL, const CGXStyle&, BOOL)
{
    return FALSE;
}

BOOL CGXControl::CanMergeCell(ROWCOL, ROWCOL, const CGXStyle& style, int)
{
    return !style.GetValue().IsEmpty();
}

CSize CGXControl::CalcSize(CDC*, ROWCOL, ROWCOL, const CGXStyle&, const CGXStyle*, BOOL)
{
    return CSize(0, 0);
}

BOOL CGXControl::GetSortKey(ROWCOL, ROWCOL, const CGXStyle& style, CString& sKey)
{
    sKey = style.GetValue();
    return TRUE;
}

CSize CGXControl::CalcTextExtent(CDC*, ROWCOL, ROWCOL, const CGXStyle&, const CGXStyle*, BOOL)
{
    return CSize(0, 0);
}

BOOL CGXControl::FindText(ROWCOL nRow, ROWCOL nCol, BOOL bCurrentPos, BOOL bSetCell)
{
    return m_pGrid != nullptr && m_pGrid->m_pFindReplaceImp != nullptr &&
           m_pGrid->m_pFindReplaceImp->FindTextInCell(m_pGrid, nRow, nCol, bCurrentPos, bSetCell);
}

BOOL CGXControl::ReplaceAll(ROWCOL nRow, ROWCOL nCol)
{
    return m_pGrid != nullptr && m_pGrid->m_pFindReplaceImp != nullptr &&
           m_pGrid->m_pFindReplaceImp->ReplaceAllInCell(m_pGrid, nRow, nCol);
}

BOOL CGXControl::CanCopy()
{
    return FALSE; // nothing is being edited in the base control
}

BOOL CGXControl::Copy()
{
    return FALSE;
}

BOOL CGXControl::CanCut()
{
    return FALSE;
}

BOOL CGXControl::Cut()
{
    return FALSE;
}

BOOL CGXControl::CanPaste()
{
    return FALSE;
}

BOOL CGXControl::Paste()
{
    return FALSE;
}
