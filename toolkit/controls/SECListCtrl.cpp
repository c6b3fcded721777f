// SECListBaseC's creation and window side, and SECListCtrl's message map.
#include "toolkit/controls/SECListCtrl.h"

#include "platform/afx/gdi/CDC.h"
#include "platform/win/Gdi.h"

BOOL SECListBaseC::Create(LPCTSTR, LPCTSTR, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID, void* pContext)
{
    // The class and window names are the list's own; the caller's are ignored.
    return Create(dwStyle, 0, rect, pParentWnd, nID, pContext);
}

BOOL SECListBaseC::Create(DWORD dwStyle, DWORD dwExStyle, const RECT& rect, CWnd* pParent, UINT nID, void* pParam)
{
    return CWnd::CreateEx(dwExStyle, nullptr, nullptr, dwStyle, rect, pParent, nID, pParam);
}

BOOL SECListBaseC::Create(DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID)
{
    return Create(dwStyle, 0, rect, pParent, nID, nullptr);
}

BOOL SECListBaseC::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CWnd::PreCreateWindow(cs))
        return FALSE;
    SplitCreateStyles(cs);
    return TRUE;
}

BOOL SECListBaseC::ReplaceDlgItem(UINT nID, CWnd* pDialog)
{
    CWnd* item = pDialog ? pDialog->GetDlgItem(static_cast<int>(nID)) : nullptr;
    if (!item)
        return FALSE;
    const DWORD style = item->GetStyle() | WS_BORDER;
    const DWORD exStyle = item->GetExStyle();
    CRect rc;
    item->GetWindowRect(&rc);
    pDialog->ScreenToClient(&rc);
    item->DestroyWindow();
    return Create(style, exStyle, rc, pDialog, nID, nullptr);
}

void SECListBaseC::GetInsideRect(RECT& rc) const
{
    rc = RECT{};
    if (!m_hWnd)
        return;
    GetClientRect(&rc);
    if ((m_dwListStyle & LVXS_VIEW_MASK) == LVXS_REPORT_VIEW && IsHeaderShown())
        rc.top += m_cyHeader;
    // FIXME: less the own scroll bars once the layout creates them.
}

BOOL SECListBaseC::GetCellRect(int, int, RECT& rc, int) const
{
    // FIXME: rows are stacked by their measured bands once the layout measures them.
    rc = RECT{};
    return FALSE;
}

BOOL SECListBaseC::GetLabelRect(int nRow, RECT& rc, int nPart) const
{
    for (int i = 0; i < GetColumnCount(); ++i)
        if (m_columns[i]->m_iSubItem == 0)
            return GetCellRect(nRow, i, rc, nPart);
    rc = RECT{};
    return FALSE;
}

CFont* SECListBaseC::GetItemFont() const
{
    return m_pItemFont ? m_pItemFont : CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
}

CFont* SECListBaseC::GetHeaderFont() const
{
    return m_pHeaderFont ? m_pHeaderFont : CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
}

void SECListBaseC::RedrawItem(int nRow, BOOL, BOOL, BOOL, BOOL)
{
    if (m_hWnd && GetItemRecord(nRow))
        Invalidate(FALSE);   // FIXME: only the row's band once rows are laid out
}

void SECListBaseC::RedrawItems(int nFirst, int nLast)
{
    if (m_hWnd && nFirst <= nLast && GetItemRecord(nFirst))
        Invalidate(FALSE);   // FIXME: only the rows' bands once rows are laid out
}

void SECListBaseC::RemeasureAll()
{
    for (auto& item : m_items)
        item->m_cy = -1;
}

void SECListBaseC::RemeasureItem(int nRow)
{
    if (SECListItem* item = GetItemRecord(nRow))
        item->m_cy = -1;
}

void SECListBaseC::RecalcLayout()
{
    // FIXME: row heights, page counts and the own scroll bars come with the layout.
    if (m_nTopIndex > GetItemCount())
        m_nTopIndex = GetItemCount();
}

void SECListBaseC::MeasureItem(int nRow, SECListPaintContext*)
{
    // FIXME: measuring with the item font; until then the row waits to be measured.
    RemeasureItem(nRow);
}

void SECListBaseC::EndLabelEdit(BOOL)
{
    // FIXME: the in-place editor; with none open there is nothing to end.
    m_nEditRow = -1;
}

void SECListBaseC::CancelEditTimer()
{
    if (m_nEditTimer && m_hWnd)
        KillTimer(m_nEditTimer);
    m_nEditTimer = 0;
}

void SECListBaseC::HideTip()
{
    // FIXME: the list tip window.
}

// ---------------------------------------------------------------- SECListCtrl

IMPLEMENT_DYNAMIC(SECListCtrl, CWnd)

BEGIN_MESSAGE_MAP(SECListCtrl, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_GETDLGCODE()
    ON_WM_PAINT()
END_MESSAGE_MAP()

int SECListCtrl::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    // FIXME: the column-sizing cursor comes with the header's mouse handling.
    if ((m_dwListStyle & LVXS_VIEW_MASK) != LVXS_REPORT_VIEW) {
        m_dwListStyle |= LVXS_NOHEADER;
        InsertColumn(0, "", 0, 20, 0, FALSE);
    }
    return 0;
}

void SECListCtrl::OnDestroy()
{
    if (!HasStyle(LVXS_SHAREIMAGELISTS))
        for (CImageList*& p : m_pImageLists) {
            delete p;
            p = nullptr;
        }
    HideTip();
    DeleteAllItems();
    DeleteAllColumns();
    CWnd::OnDestroy();
}

BOOL SECListCtrl::OnEraseBkgnd(CDC*) { return TRUE; }

void SECListCtrl::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (GetColumnCount() > 0) {
        FitColumns();
        RemeasureAll();
    }
}

UINT SECListCtrl::OnGetDlgCode() { return 0x87; }

void SECListCtrl::OnPaint()
{
    CPaintDC dc(this);
    OnDraw(&dc);
}
