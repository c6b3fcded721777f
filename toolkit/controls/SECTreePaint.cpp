// SECTreeBaseC's label column: indentation, state icon and icon, the label (wrapped, in two
// parts, or bold), the dotted lines and the plus/minus buttons, and the hit test built on them.
#include <algorithm>
#include <cstring>

#include "platform/afx/gdi/GdiObjects.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/gdi/CImageList.h"
#include "platform/win/Gdi.h"
#include "toolkit/controls/SECTreeCtrl.h"

namespace {

constexpr char kMarker[] = "\\{HI}";
constexpr int kMarkerLength = sizeof kMarker - 1;

SIZE ImageSize(CImageList* list)
{
    IMAGEINFO info{};
    if (!list || list->GetImageCount() == 0 || !list->GetImageInfo(0, &info))
        return SIZE{0, 0};
    return SIZE{info.rcImage.right - info.rcImage.left, info.rcImage.bottom - info.rcImage.top};
}

// The pens shared by every tree: lines and button frames, and the button's strokes.
CPen& ShadowPen()
{
    static CPen pen;
    if (!pen.GetSafeHandle())
        pen.CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
    return pen;
}

CPen& StrokePen()
{
    static CPen pen;
    if (!pen.GetSafeHandle())
        pen.CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_WINDOWTEXT));
    return pen;
}

}   // namespace

SECListPaintContext* SECTreeBaseC::CreatePaintContext(CDC* pDC)
{
    auto* pc = new SECTreePaintContext(pDC);
    pc->m_nView = static_cast<int>(m_dwListStyle & LVXS_VIEW_MASK);
    return pc;
}

CFont* SECTreeBaseC::GetBoldFont(CFont* pBase)
{
    static CFont bold;
    static LOGFONT made{};
    LOGFONT lf{};
    if (!pBase || !pBase->GetLogFont(&lf))
        return pBase;
    lf.lfWeight = FW_BOLD;
    if (!bold.GetSafeHandle() || std::memcmp(&lf, &made, sizeof lf) != 0) {
        bold.DeleteObject();
        if (!bold.CreateFontIndirect(&lf))
            return pBase;
        made = lf;
    }
    return &bold;
}

void SECTreeBaseC::SetPaintFont(SECListPaintContext* pc)
{
    SECListBaseC::SetPaintFont(pc);
    if (pc->lvi.iSubItem != 0)
        return;
    const _Node* node = NodeOf(GetItemAtRow(pc->lvi.iItem));
    if (node && (node->m_item.state & TVIS_BOLD))
        pc->m_pFont = GetBoldFont(pc->m_pFont);
}

void SECTreeBaseC::ComputeGeometry(_Node* pNode, SECTreePaintContext* pc, Geometry& g)
{
    const int d = pNode->GetDepth();
    const int I = m_nIndent;
    const int L = ((m_dwTreeStyle & TVS_LINESATROOT) && (m_dwTreeStyle & (TVS_HASBUTTONS | TVS_HASLINES))) ? I : 0;
    int x = I * (d - 1) + L;
    const TV_ITEM& it = pc->tvi;

    SIZE stateSize{0, 0}, iconSize{0, 0};
    const int stateIndex = static_cast<int>((it.state >> 12) & 0xF);
    if (GetImageList(LVSIL_STATE) && stateIndex > 0)
        stateSize = ImageSize(GetImageList(LVSIL_STATE));
    const int image = (it.state & TVIS_SELECTED) ? it.iSelectedImage : it.iImage;
    const bool hasIcon = GetImageList(LVSIL_NORMAL) && image != SEC_TREE_NOIMAGE;
    if (hasIcon)
        iconSize = ImageSize(GetImageList(LVSIL_NORMAL));
    const int stateX = x;
    if (stateSize.cx)
        x += stateSize.cx;
    const int iconX = x;
    if (hasIcon)
        x += iconSize.cx;
    const int labelX = (stateSize.cx || hasIcon) ? x + 6 : x;

    // The label, measured against the column's right limit.
    CDC* dc = pc->m_pDC;
    CFont* old = pc->m_pFont ? dc->SelectObject(pc->m_pFont) : nullptr;
    const bool wrap = IsHeightWidthDependent();
    RECT inside;
    GetInsideRect(inside);
    int limit = 10000;
    if (GetColumnCount() >= 2)
        limit = GetColumnWidth(0) - 5;
    else if (wrap)
        limit = (inside.right - inside.left) - 5;
    const int avail = std::max(limit - labelX, 1);
    LPCSTR text = (it.pszText && it.pszText != LPSTR_TEXTCALLBACK) ? it.pszText : "";
    const UINT base = DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS;
    int cx = 0, cy = 0;
    TEXTMETRIC tm{};
    dc->GetTextMetrics(&tm);
    if (wrap) {
        const char* marker = std::strstr(text, kMarker);
        if (marker) {
            RECT first{0, 0, avail, 0};
            dc->DrawText(text, static_cast<int>(marker - text), &first, base | DT_SINGLELINE);
            const int w1 = first.right - first.left;
            RECT second{0, 0, std::max(avail - w1, 1), 0};
            dc->DrawText(marker + kMarkerLength, -1, &second, base | DT_WORDBREAK);
            cx = w1 + (second.right - second.left);
            cy = std::max(first.bottom - first.top, second.bottom - second.top) + 2;
        } else {
            RECT rc{0, 0, avail, 0};
            dc->DrawText(text, -1, &rc, base | DT_WORDBREAK);
            cx = rc.right - rc.left;
            cy = rc.bottom - rc.top;
        }
    } else {
        RECT rc{0, 0, avail, 0};
        dc->DrawText(text, -1, &rc, base | DT_SINGLELINE);
        const CSize tabbed = dc->GetTabbedTextExtent(text, static_cast<int>(std::strlen(text)), 0, nullptr);
        cx = std::max(static_cast<int>(rc.right - rc.left), static_cast<int>(tabbed.cx));
        cy = tm.tmHeight + 2;
    }
    if (cy <= 0)
        cy = tm.tmHeight;
    if (old)
        dc->SelectObject(old);

    int rowH = std::max({cy, static_cast<int>(iconSize.cy), static_cast<int>(stateSize.cy)});
    rowH += rowH & 1;
    g.cy = rowH;
    g.rcState = stateSize.cx ? RECT{stateX, (rowH - stateSize.cy) / 2, stateX + stateSize.cx,
                                    (rowH - stateSize.cy) / 2 + stateSize.cy}
                             : RECT{};
    g.rcIcon = hasIcon ? RECT{iconX, (rowH - iconSize.cy) / 2, iconX + iconSize.cx, (rowH - iconSize.cy) / 2 + iconSize.cy}
                       : RECT{};
    g.rcLabel = RECT{labelX, (rowH - cy) / 2, labelX + cx, (rowH - cy) / 2 + cy};

    // The button sits on the item's line; both coordinates even in content terms, so the box's
    // centre falls on the lines' dots whatever the scroll position.
    int lineX = (hasIcon ? iconSize.cx / 2 : 8) + I * (d - 2) + L;
    int midY = hasIcon ? (g.rcIcon.top + g.rcIcon.bottom) / 2 : (g.rcLabel.top + g.rcLabel.bottom) / 2;
    lineX -= lineX & 1;
    midY -= midY & 1;
    int side = (hasIcon || stateSize.cx) ? std::min(static_cast<int>(std::max(iconSize.cy, stateSize.cy)) * 20 / 33, 15) : 8;
    if (side % 2 == 0)
        ++side;
    g.nLineX = lineX;
    g.nMidY = midY;
    g.rcButton = RECT{lineX - side / 2, midY - side / 2, lineX - side / 2 + side, midY - side / 2 + side};
}

void SECTreeBaseC::MeasureCell(SECListPaintContext* pContext, int& cy)
{
    _Node* node = pContext->lvi.iSubItem == 0 ? NodeOf(GetItemAtRow(pContext->lvi.iItem)) : nullptr;
    if (!node) {
        SECListBaseC::MeasureCell(pContext, cy);
        return;
    }
    auto* pc = static_cast<SECTreePaintContext*>(pContext);
    pc->tvi = TV_ITEM{};
    pc->tvi.hItem = HandleOf(node);
    pc->tvi.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
    pc->tvi.stateMask = 0xFFFFFFFFu;
    pc->tvi.pszText = m_szTextBuffer;
    pc->tvi.cchTextMax = sizeof m_szTextBuffer;
    GetItem(&pc->tvi, TRUE);
    Geometry g;
    ComputeGeometry(node, pc, g);
    SECListItem* item = pContext->m_pItem;
    item->m_rcText = g.rcLabel;
    item->m_rcIcon = g.rcIcon;
    item->m_rcStateIcon = g.rcState;
    cy = g.cy;
}

BOOL SECTreeBaseC::GetButtonRect(HTREEITEM hItem, RECT& rc)
{
    _Node* node = NodeOf(hItem);
    const int row = FindRow(node);
    RECT cell;
    if (row < 0 || !GetCellRect(row, 0, cell, 0))
        return FALSE;
    CClientDC dc(this);
    std::unique_ptr<SECListPaintContext> base(CreatePaintContext(&dc));
    auto* pc = static_cast<SECTreePaintContext*>(base.get());
    pc->lvi.iItem = row;
    pc->lvi.iSubItem = 0;
    pc->m_pItem = GetItemRecord(row);
    SetPaintFont(pc);
    pc->tvi.hItem = hItem;
    pc->tvi.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
    pc->tvi.stateMask = 0xFFFFFFFFu;
    pc->tvi.pszText = m_szTextBuffer;
    pc->tvi.cchTextMax = sizeof m_szTextBuffer;
    GetItem(&pc->tvi, TRUE);
    Geometry g;
    ComputeGeometry(node, pc, g);
    rc = g.rcButton;
    ::OffsetRect(&rc, cell.left, cell.top);
    return TRUE;
}

HTREEITEM SECTreeBaseC::HitTest(CPoint pt, UINT* pFlags) const
{
    UINT code = 0;
    int col = -1;
    const int row = SECListBaseC::HitTest(pt.x, pt.y, code, col);
    UINT flags = 0;
    HTREEITEM hit = nullptr;
    if (row >= 0 && (code & LVHT_ONITEM)) {
        const HTREEITEM item = GetItemAtRow(row);
        flags = TVHT_ONROW;
        if (code & LVHT_ONITEMLABEL)
            flags |= TVHT_ONITEMLABEL;
        else if (code & LVHT_ONITEMICON)
            flags |= TVHT_ONITEMICON;
        else if (code & LVHT_RIGHTOFLABEL)
            flags |= TVHT_ONITEMRIGHT;
        else if (code & LVHT_ONITEMSTATEICON)
            flags |= TVHT_ONITEMSTATEICON;
        else if (code & LVHT_LEFTOFLABEL) {
            RECT button;
            auto* self = const_cast<SECTreeBaseC*>(this);
            if ((m_dwTreeStyle & TVS_HASBUTTONS) && self->GetButtonRect(item, button) && ::PtInRect(&button, pt))
                flags |= TVHT_ONITEMBUTTON;
            else
                flags |= TVHT_ONITEMINDENT;
        }
        hit = (flags != TVHT_ONROW || HasStyleEx(LVXS_EX_FULLROWSELECT)) ? item : nullptr;
    } else if (code & LVHT_ABOVE) {
        flags = TVHT_ABOVE;
    } else if (code & LVHT_BELOW) {
        flags = TVHT_BELOW;
    } else if (code & LVHT_TOLEFT) {
        flags = TVHT_TOLEFT;
    } else if (code & LVHT_TORIGHT) {
        flags = TVHT_TORIGHT;
    } else if (code & LVHT_ONDIVIDER) {
        flags = TVHT_ONDIVIDER;
    } else if (code & LVHT_ONHEADER) {
        flags = TVHT_ONHEADER;
    } else {
        flags = TVHT_NOWHERE;
    }
    if (pFlags)
        *pFlags = flags;
    return hit;
}

// ---------------------------------------------------------------- drawing

void SECTreeBaseC::DrawLines(CDC* pDC, _Node* pNode, const RECT& rcRow, const Geometry& g)
{
    const bool printing = pDC->IsPrinting();
    const COLORREF line = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF gap = GetBkColor();
    const int left = rcRow.left;   // the cell's left: content x 0
    auto hline = [&](int x1, int x2, int y) {   // content x, client y; x2 excluded
        if (x2 <= x1)
            return;
        if (printing) {
            CPen* old = pDC->SelectObject(&ShadowPen());
            pDC->MoveTo(left + x1, y);
            pDC->LineTo(left + x2, y);
            pDC->SelectObject(old);
            return;
        }
        for (int x = x1; x < x2; ++x)
            pDC->SetPixel(left + x, y, (x & 1) ? gap : line);
    };
    auto vline = [&](int x, int y1, int y2) {   // content x, client y; y2 excluded
        if (y2 <= y1)
            return;
        if (printing) {
            CPen* old = pDC->SelectObject(&ShadowPen());
            pDC->MoveTo(left + x, y1);
            pDC->LineTo(left + x, y2);
            pDC->SelectObject(old);
            return;
        }
        for (int y = y1; y < y2; ++y)
            pDC->SetPixel(left + x, y, (y & 1) ? gap : line);
    };
    const int top = rcRow.top, bottom = rcRow.bottom;
    const int mid = top + g.nMidY;
    const int picture = g.rcState.right > g.rcState.left ? g.rcState.left
                        : g.rcIcon.right > g.rcIcon.left ? g.rcIcon.left
                                                         : g.rcLabel.left;
    hline(g.nLineX, picture - 1, mid);
    if (FindRow(pNode) > 0)
        vline(g.nLineX, top, mid);
    if (pNode->IsExpanded() && (pNode->GetFirstChild() || pNode->m_item.cChildren != 0)) {
        const int from = g.rcIcon.bottom > g.rcIcon.top ? top + (g.rcIcon.top + g.rcIcon.bottom) / 2 + 1 : mid + 1;
        vline(g.nLineX + m_nIndent, from, bottom);
    }
    int x = g.nLineX;
    for (SECTreeNode* n = pNode; n && n != m_pRoot.get(); n = n->GetParent(), x -= m_nIndent)
        if (n->GetNextSibling())
            vline(x, n == pNode ? mid : top, bottom);
}

void SECTreeBaseC::DrawButton(CDC* pDC, _Node* pNode, const RECT& rcRow, const Geometry& g)
{
    RECT box = g.rcButton;
    ::OffsetRect(&box, rcRow.left, rcRow.top);
    const bool enabled = !m_hWnd || IsWindowEnabled();
    const COLORREF fill = enabled ? RGB(255, 255, 255) : ::GetSysColor(COLOR_MENU);
    CBrush brush;
    brush.CreateSolidBrush(fill);
    CPen* oldPen = pDC->SelectObject(&ShadowPen());
    CBrush* oldBrush = pDC->SelectObject(&brush);
    pDC->Rectangle(&box);
    const int w = box.right - box.left;
    const int t = w / 3;
    const int cy = (box.top + box.bottom) / 2;
    int c = (box.left + box.right) / 2;
    if ((c + m_nHScroll) & 1)
        c -= 1;
    pDC->SelectObject(&StrokePen());
    pDC->MoveTo(c - t + 1, cy);
    pDC->LineTo(c + t, cy);
    if (!pNode->IsExpanded()) {
        pDC->MoveTo(c, cy - t + 1);
        pDC->LineTo(c, cy + t);
    }
    pDC->SelectObject(oldBrush);
    pDC->SelectObject(oldPen);
}

void SECTreeBaseC::DrawCell(CDC* pDC, SECListPaintContext* pContext)
{
    _Node* node = pContext->lvi.iSubItem == 0 ? NodeOf(GetItemAtRow(pContext->lvi.iItem)) : nullptr;
    if (!node) {
        SECListBaseC::DrawCell(pDC, pContext);
        return;
    }
    auto* pc = static_cast<SECTreePaintContext*>(pContext);
    const RECT cell = pc->m_rect;
    pDC->FillSolidRect(&cell, pc->m_rgbBk);
    pc->tvi = TV_ITEM{};
    pc->tvi.hItem = HandleOf(node);
    pc->tvi.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_CHILDREN;
    pc->tvi.stateMask = 0xFFFFFFFFu;
    pc->tvi.pszText = m_szTextBuffer;
    pc->tvi.cchTextMax = sizeof m_szTextBuffer;
    GetItem(&pc->tvi, TRUE);
    Geometry g;
    ComputeGeometry(node, pc, g);
    const int row = pc->lvi.iItem;

    if (CImageList* states = GetImageList(LVSIL_STATE)) {
        const int index = static_cast<int>((pc->tvi.state >> 12) & 0xF);
        if (index > 0 && index < states->GetImageCount())
            states->Draw(pDC, index, CPoint(cell.left + g.rcState.left, cell.top + g.rcState.top), ILD_NORMAL);
    }
    if (CImageList* icons = GetImageList(LVSIL_NORMAL); icons && g.rcIcon.right > g.rcIcon.left) {
        int image = (pc->tvi.state & TVIS_SELECTED) ? pc->tvi.iSelectedImage : pc->tvi.iImage;
        if (image < 0 || image >= icons->GetImageCount())
            image = 0;
        icons->SetBkColor(pc->m_rgbBk);
        icons->Draw(pDC, image, CPoint(cell.left + g.rcIcon.left, cell.top + g.rcIcon.top),
                    ILD_NORMAL | (pc->tvi.state & TVIS_OVERLAYMASK));
    }
    if (g.nLineX + cell.left + m_nIndent >= 0) {
        if (m_dwTreeStyle & TVS_HASLINES)
            DrawLines(pDC, node, cell, g);
        if ((m_dwTreeStyle & TVS_HASBUTTONS) && (node->GetFirstChild() || pc->tvi.cChildren > 0))
            DrawButton(pDC, node, cell, g);
    }

    RECT label = g.rcLabel;
    ::OffsetRect(&label, cell.left, cell.top);
    RECT hilite{label.left - 3, label.top, label.right + 2, label.bottom};
    CFont* oldFont = pc->m_pFont ? pDC->SelectObject(pc->m_pFont) : nullptr;
    pDC->FillSolidRect(&hilite, pc->m_rgbTextBk);
    if (row != m_nEditRow) {
        pDC->SetTextColor(pc->m_rgbText);
        const int oldMode = pDC->SetBkMode(TRANSPARENT);
        LPCSTR text = pc->tvi.pszText ? pc->tvi.pszText : "";
        const UINT format = DT_NOPREFIX | DT_EXPANDTABS;
        if (IsHeightWidthDependent()) {
            if (const char* marker = std::strstr(text, kMarker)) {
                RECT first = label;
                pDC->DrawText(text, static_cast<int>(marker - text), &first, format | DT_SINGLELINE);
                RECT measure{0, 0, label.right - label.left, 0};
                pDC->DrawText(text, static_cast<int>(marker - text), &measure, format | DT_SINGLELINE | DT_CALCRECT);
                RECT second = label;
                second.left += measure.right - measure.left;
                pDC->DrawText(marker + kMarkerLength, -1, &second, format | DT_WORDBREAK);
            } else {
                pDC->DrawText(text, -1, &label, format | DT_WORDBREAK);
            }
        } else {
            pDC->DrawText(text, -1, &label, format | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
        }
        pDC->SetBkMode(oldMode);
        const bool focusShown = row == m_nFocus && m_hWnd && ::GetFocus() == m_hWnd &&
                                (!HasStyleEx(LVXS_EX_FULLROWSELECT) || GetColumnCount() <= 1);
        if (focusShown)
            pDC->DrawFocusRect(&hilite);
    }
    if (oldFont)
        pDC->SelectObject(oldFont);
}

// ---- Drag images ------------------------------------------------------------------------------

CImageList* SECTreeBaseC::CreateDragImage(HTREEITEM hItem)
{
    if (NodeOf(hItem) == nullptr)
        return nullptr;
    const CString text = GetItemText(hItem);
    CDC screen;
    screen.Attach(::GetDC(nullptr));
    CDC memory;
    memory.CreateCompatibleDC(&screen);
    CFont* oldFont = memory.SelectObject(GetItemFont());
    // The label's box as the rows draw it when the item has a row; measured otherwise.
    RECT label{};
    CSize size;
    const int row = GetItemRow(hItem);
    if (row >= 0 && GetLabelRect(row, label, 2) && label.right > label.left && label.bottom > label.top) {
        size = CSize(label.right - label.left, label.bottom - label.top);
    } else {
        const CSize extent = memory.GetTextExtent(text);
        size = CSize(std::max<LONG>(extent.cx, 1) + 4, std::max<LONG>(extent.cy, 1) + 2);
    }
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&screen, size.cx, size.cy);
    CBitmap* oldBitmap = memory.SelectObject(&bitmap);
    CRect box(0, 0, size.cx, size.cy);
    memory.FillSolidRect(&box, ::GetSysColor(COLOR_WINDOW));
    memory.SetBkMode(TRANSPARENT);
    memory.SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
    CRect textBox = box;
    textBox.DeflateRect(2, 0);
    memory.DrawText(text, &textBox, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    memory.SelectObject(oldBitmap);
    memory.SelectObject(oldFont);
    ::ReleaseDC(nullptr, screen.Detach());

    auto* list = new CImageList;
    if (!list->Create(size.cx, size.cy, ILC_COLOR24, 1, 0) || list->Add(&bitmap, static_cast<CBitmap*>(nullptr)) != 0) {
        delete list;
        return nullptr;
    }
    return list;
}

CImageList* SECTreeBaseC::CreateDragImageFromEntry(CImageList* pList, int nImage)
{
    IMAGEINFO info{};
    if (pList == nullptr || !pList->GetImageInfo(nImage, &info))
        return nullptr;
    HICON icon = pList->ExtractIcon(nImage);
    if (icon == nullptr)
        return nullptr;
    auto* list = new CImageList;
    const bool made = list->Create(info.rcImage.right - info.rcImage.left, info.rcImage.bottom - info.rcImage.top,
                                   ILC_COLOR24 | ILC_MASK, 1, 0)
        && list->Add(icon) == 0;
    ::DestroyIcon(icon);
    if (!made) {
        delete list;
        return nullptr;
    }
    return list;
}

CImageList* SECTreeBaseC::MergeDragImages(CImageList* pStates, int nState, CImageList* pIcons, int nIcon)
{
    IMAGEINFO state{};
    if (pStates == nullptr || pIcons == nullptr || !pStates->GetImageInfo(nState, &state))
        return nullptr;
    auto* list = new CImageList;
    if (!list->Create(*pStates, nState, *pIcons, nIcon, state.rcImage.right - state.rcImage.left + 6, 0)) {
        delete list;
        return nullptr;
    }
    return list;
}
