// SECListBaseC's measuring and painting: rows measured with the item font and cached, the header
// and the visible rows drawn cell by cell into one memory bitmap that is copied out at the end.
#include <algorithm>
#include <cstring>

#include "platform/afx/gdi/CDC.h"
#include "platform/afx/gdi/CImageList.h"
#include "platform/core/CException.h"
#include "platform/win/Gdi.h"
#include "platform/win/ScrollBar.h"
#include "toolkit/controls/SECListCtrl.h"
#include "toolkit/controls/SECListPaintContext.h"

namespace {

// The memory device context of one paint: made over the target and a rectangle, copied back
// to the same place when it goes.
class SECListMemDC : public CDC {
public:
    SECListMemDC(CDC* pTarget, const RECT& rc) : m_pTarget(pTarget), m_rect(rc)
    {
        if (!pTarget)
            AfxThrowResourceException();
        if (!CreateCompatibleDC(pTarget) ||
            !m_bitmap.CreateCompatibleBitmap(pTarget, rc.right - rc.left, rc.bottom - rc.top))
            AfxThrowResourceException();
        m_pOld = SelectObject(&m_bitmap);
        SetWindowOrg(rc.left, rc.top);
    }
    ~SECListMemDC() override
    {
        SetWindowOrg(0, 0);
        m_pTarget->BitBlt(m_rect.left, m_rect.top, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top, this, 0, 0,
                          SRCCOPY);
        SelectObject(m_pOld);
    }

private:
    CDC* m_pTarget;
    RECT m_rect;
    CBitmap m_bitmap;
    CBitmap* m_pOld = nullptr;
};

CBrush& HeaderBrush()
{
    static CBrush brush;
    if (!brush.GetSafeHandle())
        brush.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
    return brush;
}

UINT AlignFlags(int fmt)
{
    switch (fmt & 3) {
    case 1: return DT_RIGHT;
    case 2: return DT_CENTER;
    default: return DT_LEFT;
    }
}

}   // namespace

// ---------------------------------------------------------------- colours and fonts

void SECListBaseC::SetPaintBkColor(SECListPaintContext* pc) { pc->m_rgbBk = GetBkColor(); }

void SECListBaseC::SetCellBkColor(SECListPaintContext* pc)
{
    if (m_hWnd && !IsWindowEnabled())
        pc->m_rgbCellBk = GetBkColor();
    else
        pc->m_rgbCellBk = (IsSelected(pc->lvi.iItem) && ::GetFocus() == m_hWnd) ? GetSelBkColor2() : GetBkColor2();
}

void SECListBaseC::SetPaintFont(SECListPaintContext* pc) { pc->m_pFont = GetItemFont(); }

void SECListBaseC::SetPaintTextColors(SECListPaintContext* pc)
{
    const bool gray = (pc->m_nFlags & SECLIST_PC_GRAYTEXT) != 0;
    const bool focused = m_hWnd && ::GetFocus() == m_hWnd;
    const bool selected = IsSelected(pc->lvi.iItem);
    const bool showAlways = HasStyle(LVXS_SHOWSELALWAYS);
    const bool fullRow = HasStyleEx(LVXS_EX_FULLROWSELECT);
    if (m_hWnd && !IsWindowEnabled()) {
        pc->m_rgbText = GetGrayTextColor();
        pc->m_rgbTextBk = ::GetSysColor(COLOR_MENU);
    } else if (selected && (focused || showAlways) && pc->lvi.iSubItem != 0 && !fullRow) {
        pc->m_rgbText = gray ? GetGrayTextColor() : GetTextColor();
        pc->m_rgbTextBk = GetTextBkColor();
    } else if (selected && showAlways && !focused && m_nEditRow < 0) {
        pc->m_rgbText = ::GetSysColor(COLOR_MENUTEXT);
        pc->m_rgbTextBk = ::GetSysColor(COLOR_MENU);
    } else if (selected && focused) {
        pc->m_rgbText = gray ? GetGrayTextColor() : GetSelTextColor();
        pc->m_rgbTextBk = GetSelBkColor();
    } else {
        pc->m_rgbText = gray ? GetGrayTextColor() : GetTextColor();
        pc->m_rgbTextBk = GetTextBkColor();
    }
    if (pc->lvi.iItem == m_nDropHilite && pc->lvi.iSubItem == 0)
        std::swap(pc->m_rgbText, pc->m_rgbTextBk);
}

CPen* SECListBaseC::GetGridPen()
{
    static CPen pen;
    if (!pen.GetSafeHandle())
        pen.CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
    return &pen;
}

CPen* SECListBaseC::GetGridPen2()
{
    static CPen pen;
    if (!pen.GetSafeHandle())
        pen.CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
    return &pen;
}

// ---------------------------------------------------------------- paint contexts and cells

SECListPaintContext* SECListBaseC::CreatePaintContext(CDC* pDC)
{
    auto* pc = new SECListPaintContext(pDC);
    pc->m_nView = static_cast<int>(m_dwListStyle & LVXS_VIEW_MASK);
    return pc;
}

BOOL SECListBaseC::CreateMemoryDC(CDC* pDC, CDC*& pMemDC, const RECT& rc)
{
    pMemDC = pDC;
    if (m_bDragging || rc.right <= rc.left || rc.bottom <= rc.top)
        return FALSE;
    try {
        pMemDC = new SECListMemDC(pDC, rc);
        return TRUE;
    } catch (CException* e) {
        e->Delete();
        pMemDC = pDC;
        return FALSE;
    }
}

BOOL SECListBaseC::PrepareCell(SECListPaintContext* pc)
{
    pc->m_pItem = GetItemRecord(pc->lvi.iItem);
    if (!pc->m_pItem)
        return FALSE;
    const int slot = pc->lvi.iSubItem;
    pc->m_pSubItem = (slot >= 1 && slot <= static_cast<int>(pc->m_pItem->m_subItems.size()))
                         ? pc->m_pItem->m_subItems[slot - 1].get()
                         : nullptr;
    LV_ITEM& lvi = pc->lvi;
    lvi.mask = LVIF_TEXT | LVIF_STATE | LVIF_IMAGE;
    lvi.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    m_szTextBuffer[0] = '\0';
    lvi.pszText = m_szTextBuffer;
    lvi.cchTextMax = sizeof m_szTextBuffer;
    if (!GetItem(lvi, TRUE, TRUE))
        return FALSE;
    pc->m_bDiSetItem = (lvi.mask & LVIF_DI_SETITEM) != 0;
    if (pc->m_bDiSetItem) {
        LV_ITEM store = lvi;
        store.mask &= LVIF_TEXT | LVIF_IMAGE | LVIF_DI_SETITEM;
        SetItem(store, FALSE);
    }
    SetPaintBkColor(pc);
    SetCellBkColor(pc);
    SetPaintTextColors(pc);
    SetPaintFont(pc);
    return TRUE;
}

// ---------------------------------------------------------------- measuring

void SECListBaseC::MeasureItem(int nRow, SECListPaintContext* pContext)
{
    SECListItem* item = GetItemRecord(nRow);
    if (!item)
        return;
    std::unique_ptr<SECListPaintContext> own;
    std::unique_ptr<CClientDC> dc;
    if (!pContext) {
        if (!m_hWnd) {
            item->m_cy = -1;   // measured once there is a window to measure with
            return;
        }
        dc = std::make_unique<CClientDC>(this);
        own.reset(CreatePaintContext(dc.get()));
        pContext = own.get();
    }
    pContext->lvi.iItem = nRow;
    pContext->lvi.iSubItem = 0;
    pContext->m_pItem = item;
    if (PrepareCell(pContext))
        MeasureItemCells(pContext);
}

void SECListBaseC::MeasureItemCells(SECListPaintContext* pc)
{
    SECListItem* item = pc->m_pItem;
    int tallest = 0;
    const int count = std::max(GetColumnCount(), 1);
    for (int col = 0; col < count; ++col) {
        pc->m_nCol = col;
        pc->m_pColumn = GetColumnRecord(col);
        pc->lvi.iSubItem = GetColumnSubItem(col);
        if (pc->lvi.iSubItem < 0)
            pc->lvi.iSubItem = 0;
        if (!PrepareCell(pc))
            continue;
        int cy = 0;
        MeasureCell(pc, cy);
        tallest = std::max(tallest, cy);
    }
    item->m_cy = tallest;
}

void SECListBaseC::MeasureCell(SECListPaintContext* pc, int& cy)
{
    RECT icon{}, text{};
    if (pc->lvi.iSubItem == 0)
        MeasureIcons(pc, icon);
    MeasureText(pc, text);
    const int iconH = icon.bottom - icon.top ? icon.bottom - icon.top + 0 : 0;
    const int textH = text.bottom - text.top;
    if (pc->m_nView == 0)
        cy = textH + iconH + 5;
    else if (pc->m_nView == LVXS_REPORT_VIEW)
        cy = std::max(iconH, textH);
}

void SECListBaseC::MeasureIcons(SECListPaintContext* pc, RECT& rc)
{
    rc = RECT{};
    CImageList* list = GetImageList(pc->m_nView == 0 ? LVSIL_NORMAL : LVSIL_SMALL);
    if (list && list->GetImageCount() > 0) {
        IMAGEINFO info{};
        if (list->GetImageInfo(0, &info)) {
            const int cx = info.rcImage.right - info.rcImage.left;
            const int cy = info.rcImage.bottom - info.rcImage.top;
            rc = RECT{2, 2, cx + 2, cy + 2};
        }
    }
    pc->m_pItem->m_rcIcon = rc;
}

void SECListBaseC::MeasureText(SECListPaintContext* pc, RECT& rc)
{
    CDC* dc = pc->m_pDC;
    CFont* old = pc->m_pFont ? dc->SelectObject(pc->m_pFont) : nullptr;
    const int width = pc->m_pColumn ? pc->m_pColumn->m_cx : GetColumnWidth(0);
    LPCSTR text = (pc->lvi.pszText && pc->lvi.pszText != LPSTR_TEXTCALLBACK) ? pc->lvi.pszText : "";
    int length = static_cast<int>(std::strlen(text));
    UINT format = DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | AlignFlags(pc->m_pColumn ? pc->m_pColumn->m_fmt : 0);
    if (HasStyle(LVXS_HEIGHT_INDEPENDENT)) {
        if (const char* lf = std::strchr(text, '\n'))
            length = static_cast<int>(lf - text) + 1;
        format |= DT_SINGLELINE;
    } else {
        format |= DT_WORDBREAK;
    }
    RECT calc{0, 0, std::max(width - 10, 1), 0};
    dc->DrawText(text, length, &calc, format);
    if (length == 0) {
        TEXTMETRIC tm{};
        dc->GetTextMetrics(&tm);
        calc.right = calc.left;
        calc.bottom = calc.top + tm.tmHeight;
    }
    if (old)
        dc->SelectObject(old);
    const int cx = calc.right - calc.left, cy = calc.bottom - calc.top;
    POINT at{5, 2};
    const RECT& icon = pc->m_pItem->m_rcIcon;
    if (pc->lvi.iSubItem == 0 && !::IsRectEmpty(&icon)) {
        if (pc->m_nView == 0)
            at = POINT{8, icon.bottom + 2};
        else
            at = POINT{icon.right + 5, ((icon.bottom - icon.top) - cy) / 2};
    }
    rc = RECT{at.x, at.y, at.x + cx, at.y + cy};
    if (pc->lvi.iSubItem == 0)
        pc->m_pItem->m_rcText = rc;
    else if (pc->m_pSubItem)
        pc->m_pSubItem->m_rcText = rc;
}

// ---------------------------------------------------------------- painting

void SECListBaseC::OnDraw(CDC* pDC)
{
    const bool report = (m_dwListStyle & LVXS_VIEW_MASK) == LVXS_REPORT_VIEW;
    if (pDC->IsPrinting()) {
        std::unique_ptr<SECListPaintContext> pc(CreatePaintContext(pDC));
        if (report && IsHeaderShown())
            DrawHeader(pDC);
        DrawRows(pDC);
        return;
    }
    RECT inside, client;
    GetInsideRect(inside);
    ::GetClientRect(m_hWnd, &client);
    RECT paint{inside.left, client.top, inside.right, inside.bottom};
    if (!IsVertBarShown())
        paint.right = client.right;
    if (!IsHorzBarShown())
        paint.bottom = client.bottom;
    // Only what is to be painted goes through the memory bitmap.
    RECT clip;
    if (pDC->GetClipBox(&clip) != NULLREGION && !::IsRectEmpty(&clip))
        ::IntersectRect(&paint, &paint, &clip);
    RECT corner{};
    if (IsVertBarShown() && IsHorzBarShown())
        corner = RECT{inside.right - 1, inside.bottom - 1, client.right, client.bottom};

    CDC* dc = nullptr;
    const BOOL owned = CreateMemoryDC(pDC, dc, paint);
    dc->FillSolidRect(&paint, GetBkColor());
    if (report && IsHeaderShown())
        DrawHeader(dc);
    const int saved = dc->SaveDC();
    dc->IntersectClipRect(&inside);
    DrawRows(dc);
    dc->RestoreDC(saved);
    if (owned)
        delete dc;
    if (!::IsRectEmpty(&corner))
        pDC->FillSolidRect(&corner, ::GetSysColor(COLOR_BTNFACE));
}

void SECListBaseC::DrawHeader(CDC* pDC)
{
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    RECT band{-m_nHScroll, 0, -m_nHScroll + std::max(GetContentWidth(), static_cast<int>(client.right) + 1), m_cyHeader};
    if (!pDC->RectVisible(&band))
        return;
    CFont* oldFont = pDC->SelectObject(GetHeaderFont());
    const int oldMode = pDC->SetBkMode(TRANSPARENT);
    CBrush* oldBrush = pDC->SelectObject(&HeaderBrush());
    pDC->FillRect(&band, &HeaderBrush());
    int x = -m_nHScroll;
    for (auto& c : m_columns) {
        RECT cell{x, 0, x + c->m_cx, m_cyHeader};
        pDC->DrawFrameControl(&cell, DFC_BUTTON, DFCS_BUTTONPUSH);
        x += c->m_cx;
    }
    RECT rest{x, 0, std::max(x, static_cast<int>(client.right)) + 2, m_cyHeader};
    pDC->DrawFrameControl(&rest, DFC_BUTTON, DFCS_BUTTONPUSH);
    pDC->SetTextColor(::GetSysColor(COLOR_BTNTEXT));
    x = -m_nHScroll;
    for (auto& c : m_columns) {
        RECT text{x + 5, 0, x + c->m_cx - 1 - 5, m_cyHeader};
        UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_EXPANDTABS | AlignFlags(c->m_fmt);
        RECT calc = text;
        pDC->DrawText(c->m_strTitle, &calc, format | DT_CALCRECT);
        if (calc.right - calc.left > text.right - text.left)
            format |= DT_END_ELLIPSIS;
        if (text.right > text.left)
            pDC->DrawText(c->m_strTitle, &text, format);
        x += c->m_cx;
    }
    pDC->SelectObject(oldBrush);
    pDC->SetBkMode(oldMode);
    pDC->SelectObject(oldFont);
}

void SECListBaseC::DrawRows(CDC* pDC)
{
    std::unique_ptr<SECListPaintContext> pc(CreatePaintContext(pDC));
    RECT inside;
    GetInsideRect(inside);
    const bool printing = pDC->IsPrinting();
    int last = GetItemCount();
    if (printing)
        last = GetBottomIndex() + 1;
    int painted = 0;
    if (pc->m_nView == LVXS_REPORT_VIEW) {
        const int width = GetContentWidth();
        int y = inside.top;
        for (int r = m_nTopIndex; r < last && y < inside.bottom; ++r) {
            const int band = GetRowSpacing() + GetRowHeight(r);
            RECT row{inside.left - m_nHScroll, y + GetRowSpacing(), inside.left - m_nHScroll + width, y + band};
            if (printing || pDC->RectVisible(&row)) {
                pc->m_rect = row;
                pc->lvi.iItem = r;
                DrawRow(pDC, pc.get());
            }
            y += band;
            ++painted;
        }
    } else if (pc->m_nView == 0) {
        // Icon view: cells as wide as column 0, left to right, a line as tall as its tallest cell.
        const int cellWidth = std::max(GetColumnWidth(0), 1);
        int x = inside.left, y = inside.top, lineHeight = 0;
        for (int r = m_nTopIndex; r < last; ++r) {
            if (x > inside.left && x + cellWidth > inside.right) {
                x = inside.left;
                y += lineHeight;
                lineHeight = 0;
                if (y >= inside.bottom)
                    break;
            }
            const int cy = GetRowHeight(r);
            pc->m_rect = RECT{x, y, x + cellWidth, y + cy};
            pc->lvi.iItem = r;
            DrawRow(pDC, pc.get());
            lineHeight = std::max(lineHeight, cy);
            x += cellWidth;
            ++painted;
        }
    }
    if (!printing)
        if (CWnd* bar = GetScrollBarCtrl(1); bar && IsVertBarShown()) {
            SCROLLINFO si{};
            si.cbSize = sizeof si;
            si.fMask = SIF_PAGE | SIF_POS;
            si.nPage = static_cast<UINT>(painted);
            si.nPos = m_nTopIndex;
            ::SetScrollInfo(bar->m_hWnd, SB_CTL, &si, TRUE);
        }
}

void SECListBaseC::DrawRow(CDC* pDC, SECListPaintContext* pc)
{
    const int row = pc->lvi.iItem;
    if (NeedsDispInfo(row))
        MeasureItem(row, pc);
    const RECT rowRect = pc->m_rect;
    SECListItem* item = GetItemRecord(row);
    if (!item)
        return;
    const int count = std::max(GetColumnCount(), 1);
    int x = rowRect.left;
    for (int col = 0; col < count; ++col) {
        int width = GetColumnWidth(col);
        if (count == 1)
            width = std::max(width, static_cast<int>(item->m_rcText.right));
        RECT cell{x, rowRect.top, x + width, rowRect.bottom};
        x += width;
        if (!pDC->IsPrinting() && !pDC->RectVisible(&cell))
            continue;
        pc->m_rect = cell;
        pc->m_nCol = col;
        pc->m_pColumn = GetColumnRecord(col);
        pc->lvi.iItem = row;
        pc->lvi.iSubItem = std::max(GetColumnSubItem(col), 0);
        if (PrepareCell(pc))
            DrawCell(pDC, pc);
    }
    pc->m_rect = rowRect;
    pc->lvi.iItem = row;
    if (pc->m_nView != LVXS_REPORT_VIEW)
        return;
    if (HasStyleEx(LVXS_EX_FULLROWSELECT) && row == m_nFocus && ::GetFocus() == m_hWnd && GetColumnCount() > 1) {
        RECT focus = rowRect;
        focus.left = item->m_rcText.left - 3 + rowRect.left;
        pDC->DrawFocusRect(&focus);
    }
    if (HasStyleEx(LVXS_EX_VGRIDLINES))
        DrawVertGridLine(pDC, pc);
    if (HasStyleEx(LVXS_EX_HGRIDLINES))
        DrawHorzGridLine(pDC, pc);
}

void SECListBaseC::DrawCell(CDC* pDC, SECListPaintContext* pc)
{
    pDC->FillSolidRect(&pc->m_rect, pc->m_rgbBk);
    if (!pc->lvi.pszText)
        return;   // no text: the background alone, no icon either
    if (pc->lvi.iSubItem == 0)
        DrawCellIcons(pDC, pc);
    DrawCellText(pDC, pc);
}

void SECListBaseC::DrawCellIcons(CDC* pDC, SECListPaintContext* pc)
{
    CImageList* list = GetImageList(pc->m_nView == 0 ? LVSIL_NORMAL : LVSIL_SMALL);
    if (!list || pc->lvi.iImage < 0)
        return;
    const RECT& icon = pc->m_pItem->m_rcIcon;
    POINT at;
    if (pc->m_nView == 0)
        at = POINT{pc->m_rect.left + ((pc->m_pItem->m_rcText.right - pc->m_pItem->m_rcText.left) - 16) / 2,
                   icon.top + pc->m_rect.top};
    else
        at = POINT{icon.left + pc->m_rect.left, icon.top + pc->m_rect.top};
    list->Draw(pDC, pc->lvi.iImage, at, ILD_NORMAL);
}

void SECListBaseC::DrawCellText(CDC* pDC, SECListPaintContext* pc)
{
    if (pc->lvi.iItem == m_nEditRow && GetColumnSubItem(m_nEditCol) == pc->lvi.iSubItem)
        return;   // the editor shows this cell
    const RECT& cell = pc->m_rect;
    const RECT& label = pc->m_pItem->m_rcText;
    const RECT& icon = pc->m_pItem->m_rcIcon;
    RECT text{cell.left + 5, cell.top, cell.right - 5, cell.bottom};
    RECT hilite{cell.left, cell.top, cell.left + (label.right - label.left), cell.bottom};
    const bool labelCell = pc->lvi.iSubItem == 0;
    if (labelCell && !::IsRectEmpty(&icon)) {
        if (pc->m_nView == LVXS_REPORT_VIEW) {
            text.top += 3;
            text.left = cell.left + icon.right + 4;
            text.right = text.left + (label.right - label.left);
            hilite = RECT{cell.left + icon.right + 2, cell.top + icon.top, text.right + 2, cell.top + icon.bottom};
        } else {
            text = label;
            ::OffsetRect(&text, cell.left, cell.top);
            hilite = text;
            ::InflateRect(&hilite, 2, 0);
        }
    }
    const bool fullRow = HasStyleEx(LVXS_EX_FULLROWSELECT);
    if (fullRow)
        hilite.right = cell.right;
    CFont* oldFont = pc->m_pFont ? pDC->SelectObject(pc->m_pFont) : nullptr;
    pDC->SetTextColor(pc->m_rgbText);
    pDC->SetBkColor(pc->m_rgbCellBk);
    const int oldMode = pDC->SetBkMode(TRANSPARENT);
    if (labelCell || fullRow)
        pDC->FillSolidRect(&hilite, pc->m_rgbTextBk);
    UINT format = DT_NOPREFIX | DT_EXPANDTABS | DT_VCENTER | AlignFlags(pc->m_pColumn ? pc->m_pColumn->m_fmt : 0);
    format |= HasStyle(LVXS_HEIGHT_INDEPENDENT) ? (DT_SINGLELINE | DT_END_ELLIPSIS) : DT_WORDBREAK;
    pDC->DrawText(pc->lvi.pszText, -1, &text, format);
    pDC->SetBkMode(oldMode);
    if (oldFont)
        pDC->SelectObject(oldFont);
}

void SECListBaseC::DrawHorzGridLine(CDC* pDC, SECListPaintContext* pc)
{
    CPen* old = pDC->SelectObject(GetGridPen());
    pDC->MoveTo(pc->m_rect.left, pc->m_rect.bottom - 1);
    pDC->LineTo(pc->m_rect.right, pc->m_rect.bottom - 1);
    pDC->SelectObject(old);
}

void SECListBaseC::DrawVertGridLine(CDC* pDC, SECListPaintContext* pc)
{
    CPen* old = pDC->SelectObject(GetGridPen2());
    const int count = GetColumnCount() - (HasStyleEx(LVXS_EX_FILLLABEL) ? 1 : 0);
    int x = pc->m_rect.left;
    for (int col = 0; col < count; ++col) {
        x += GetColumnWidth(col);
        pDC->MoveTo(x - 1, pc->m_rect.top);
        pDC->LineTo(x - 1, pc->m_rect.bottom);
    }
    if (pc->lvi.iItem == GetItemCount() - 1) {
        pDC->MoveTo(pc->m_rect.left, pc->m_rect.bottom - 1);
        pDC->LineTo(pc->m_rect.right, pc->m_rect.bottom - 1);
    }
    pDC->SelectObject(old);
}
