// Drawing pop-up menus and menu bars.
#include "platform/win/detail/MenuPainter.h"

#include "platform/core/CRect.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"

#include <algorithm>

namespace {

void FillMenuRect(HDC dc, const RECT& r, int colorIndex)
{
    FillRect(dc, &r, GetSysColorBrush(colorIndex));
}

// A shape given as rows of '#', drawn at (x, y) in one colour.
void MenuPattern(HDC dc, int x, int y, std::initializer_list<const char*> rows, COLORREF color)
{
    int row = 0;
    for (const char* r : rows) {
        for (int col = 0; r[col]; ++col)
            if (r[col] == '#')
                SetPixel(dc, x + col, y + row, color);
        ++row;
    }
}

void CheckGlyph(HDC dc, const RECT& column, COLORREF color)
{
    const int x = column.left + (column.right - column.left - 7) / 2;
    const int y = column.top + (column.bottom - column.top - 7) / 2;
    MenuPattern(dc, x, y, {"......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#...."}, color);
}

void BulletGlyph(HDC dc, const RECT& column, COLORREF color)
{
    const int x = column.left + (column.right - column.left - 6) / 2;
    const int y = column.top + (column.bottom - column.top - 6) / 2;
    MenuPattern(dc, x, y, {".####.", "######", "######", "######", "######", ".####."}, color);
}

void ArrowGlyph(HDC dc, const RECT& column, COLORREF color)
{
    const int x = column.left + (column.right - column.left - 4) / 2;
    const int y = column.top + (column.bottom - column.top - 7) / 2;
    MenuPattern(dc, x, y, {"#...", "##..", "###.", "####", "###.", "##..", "#..."}, color);
}

// A bitmap centred in a rectangle; monochrome bitmaps take the text and background colours.
void DrawBitmapCentred(HDC dc, HBITMAP bitmap, const RECT& r)
{
    BITMAP bm{};
    if (!bitmap || !GetObject(bitmap, sizeof(bm), &bm))
        return;
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, bitmap);
    const int x = r.left + (r.right - r.left - bm.bmWidth) / 2;
    const int y = r.top + (r.bottom - r.top - bm.bmHeight) / 2;
    BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
}

// Text in one colour, or embossed (light copy one pixel down and right under a grey one) for a
// disabled item that is not highlighted.
void DrawItemText(HDC dc, const std::string& text, RECT r, UINT format, bool disabled, bool selected,
                  COLORREF color)
{
    if (text.empty())
        return;
    SetBkMode(dc, TRANSPARENT);
    if (disabled && !selected) {
        RECT shadow = r;
        OffsetRect(&shadow, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
        DrawText(dc, text.c_str(), static_cast<int>(text.size()), &shadow, format);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    } else {
        SetTextColor(dc, disabled ? GetSysColor(COLOR_GRAYTEXT) : color);
    }
    DrawText(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
}

UINT OwnerDrawState(const MenuItem& item, bool selected)
{
    UINT state = 0;
    if (selected)
        state |= ODS_SELECTED;
    if (item.state & MFS_CHECKED)
        state |= ODS_CHECKED;
    if (item.state & MF_GRAYED)
        state |= ODS_GRAYED;
    if (item.state & MF_DISABLED)
        state |= ODS_DISABLED;
    if (item.state & MFS_DEFAULT)
        state |= ODS_DEFAULT;
    return state;
}

void SendDrawItem(HDC dc, const MenuObject& menu, const MenuItem& item, const RECT& rect, bool selected, HWND owner,
                  UINT action)
{
    if (!owner || !IsWindow(owner))
        return;
    DRAWITEMSTRUCT dis{ODT_MENU, 0, item.id, action, OwnerDrawState(item, selected),
                       reinterpret_cast<HWND>(menu.handle), dc, rect, item.data};
    const int saved = SaveDC(dc);
    SendMessage(owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    RestoreDC(dc, saved);
}

// The submenu arrow at the item's right end; the menu draws it for owner-drawn items too.
void SubmenuArrow(HDC dc, const MenuItem& item, const RECT& rect, bool selected)
{
    const MenuMetrics& m = MenuMetrics::Get();
    const bool disabled = item.IsDisabled();
    const RECT arrow{rect.right - m.arrowWidth, rect.top, rect.right, rect.bottom};
    if (disabled && !selected)
        ArrowGlyph(dc, RECT{arrow.left + 1, arrow.top + 1, arrow.right + 1, arrow.bottom + 1},
                   GetSysColor(COLOR_3DHILIGHT));
    ArrowGlyph(dc, arrow, GetSysColor(disabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
}

} // namespace

void MenuPainter::PaintPopupItem(HDC dc, const MenuObject& menu, const PopupLayout& layout, int position,
                                 bool selected, HWND owner)
{
    if (position < 0 || static_cast<size_t>(position) >= menu.items.size() ||
        static_cast<size_t>(position) >= layout.items.size())
        return;
    const MenuMetrics& m = MenuMetrics::Get();
    const MenuItem& item = menu.items[static_cast<size_t>(position)];
    const RECT rect = layout.items[static_cast<size_t>(position)].rect;
    if (item.IsOwnerDraw()) {
        FillMenuRect(dc, rect, selected ? COLOR_HIGHLIGHT : COLOR_MENU);
        SendDrawItem(dc, menu, item, rect, selected, owner, selected ? ODA_SELECT : ODA_DRAWENTIRE);
        if (item.submenu)
            SubmenuArrow(dc, item, rect, selected);
        return;
    }
    if (item.IsSeparator()) {
        FillMenuRect(dc, rect, COLOR_MENU);
        const int y = rect.top + (rect.bottom - rect.top) / 2 - 1;
        RECT shadow{rect.left + 1, y, rect.right - 1, y + 1};
        RECT light{rect.left + 1, y + 1, rect.right - 1, y + 2};
        FillMenuRect(dc, shadow, COLOR_3DSHADOW);
        FillMenuRect(dc, light, COLOR_3DHILIGHT);
        return;
    }
    const bool disabled = item.IsDisabled();
    FillMenuRect(dc, rect, selected ? COLOR_HIGHLIGHT : COLOR_MENU);
    const COLORREF text = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
    const COLORREF mark = disabled ? GetSysColor(COLOR_GRAYTEXT) : text;
    const int checkWidth = layout.checkWidth;

    // The check-mark column: the item's own bitmap, else the mark for its state.
    RECT column{rect.left, rect.top, rect.left + checkWidth, rect.bottom};
    const bool checked = (item.state & MFS_CHECKED) != 0;
    HBITMAP own = checked ? item.checked : item.unchecked;
    if (own) {
        SetTextColor(dc, text);
        SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
        DrawBitmapCentred(dc, own, column);
    } else if (checked) {
        if (item.type & MFT_RADIOCHECK)
            BulletGlyph(dc, column, mark);
        else
            CheckGlyph(dc, column, mark);
    }

    RECT body{rect.left + checkWidth + 1, rect.top, rect.right - m.arrowWidth, rect.bottom};
    if (item.type & MFT_BITMAP) {
        DrawBitmapCentred(dc, item.bitmap, RECT{body.left, rect.top, body.left + (body.right - body.left), rect.bottom});
    } else {
        HGDIOBJ oldFont = SelectObject(dc, (item.state & MFS_DEFAULT) ? m.boldFont : m.font);
        const UINT format = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
        DrawItemText(dc, item.Label(), body, format | DT_LEFT, disabled, selected, text);
        DrawItemText(dc, item.Shortcut(), body, format | DT_RIGHT | DT_NOPREFIX, disabled, selected, text);
        SelectObject(dc, oldFont);
    }
    if (item.submenu)
        SubmenuArrow(dc, item, rect, selected);
}

void MenuPainter::PaintPopup(HDC dc, const MenuObject& menu, const PopupLayout& layout, int selected, HWND owner)
{
    RECT all{0, 0, layout.size.cx, layout.size.cy};
    // The flat frame: one dark line around the menu's face.
    FillMenuRect(dc, all, COLOR_MENU);
    FrameRect(dc, &all, GetSysColorBrush(COLOR_3DSHADOW));
    for (size_t i = 0; i < std::min(menu.items.size(), layout.items.size()); ++i) {
        // A bar break draws its one-pixel line in the gap before its column.
        if (i > 0 && (menu.items[i].type & MFT_MENUBARBREAK)) {
            const RECT r = layout.items[i].rect;
            RECT line{r.left - 2, 2, r.left - 1, layout.size.cy - 2};
            FillMenuRect(dc, line, COLOR_3DSHADOW);
        }
        PaintPopupItem(dc, menu, layout, static_cast<int>(i), static_cast<int>(i) == selected, owner);
    }
}

void MenuPainter::PaintBar(HDC dc, const RECT& row, const MenuObject& menu, const BarLayout& layout, int highlighted,
                           BarItemLook look, HWND owner)
{
    const MenuMetrics& m = MenuMetrics::Get();
    FillMenuRect(dc, row, COLOR_MENU);
    HGDIOBJ oldFont = SelectObject(dc, m.font);
    for (size_t i = 0; i < std::min(menu.items.size(), layout.items.size()); ++i) {
        const MenuItem& item = menu.items[i];
        RECT r = layout.items[i].rect;
        OffsetRect(&r, row.left, row.top);
        IntersectRect(&r, &r, &row);
        if (IsRectEmpty(&r))
            continue;
        const bool lit = static_cast<int>(i) == highlighted && look != BarItemLook::Normal;
        if (item.IsOwnerDraw()) {
            SendDrawItem(dc, menu, item, r, lit, owner, ODA_DRAWENTIRE);
            SelectObject(dc, m.font);
            continue;
        }
        RECT text = r;
        if (lit && look == BarItemLook::Open)
            OffsetRect(&text, 1, 1);
        if (item.type & MFT_BITMAP)
            DrawBitmapCentred(dc, item.bitmap, text);
        else
            DrawItemText(dc, item.Label(), text, DT_SINGLELINE | DT_VCENTER | DT_CENTER, item.IsDisabled(), false,
                         GetSysColor(COLOR_MENUTEXT));
        // Crisp one-pixel edges: raised for the keyboard's choice, sunken while open. Drawn last:
        // a picture as tall as the bar (a maximised document window's buttons) would cover them.
        if (lit)
            DrawEdge(dc, &r, look == BarItemLook::Open ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
    SelectObject(dc, oldFont);
}
