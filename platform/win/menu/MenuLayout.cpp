// Menu layout: the shared metrics, pop-up columns and bar rows.
#include "platform/win/detail/MenuLayout.h"

#include "platform/core/CRect.h"
#include "platform/win/Gdi.h"
#include "platform/win/SystemParameters.h"
#include "platform/win/UserApi.h"

#include <algorithm>

namespace {

// A memory DC with the menu font selected, for measuring.
class MeasuringDC {
public:
    explicit MeasuringDC(HFONT font) : m_dc(CreateCompatibleDC(nullptr)) { m_old = SelectObject(m_dc, font); }
    ~MeasuringDC()
    {
        SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
    }
    MeasuringDC(const MeasuringDC&) = delete;
    MeasuringDC& operator=(const MeasuringDC&) = delete;
    HDC dc() const { return m_dc; }
    void Select(HFONT font) { SelectObject(m_dc, font); }

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP bm{};
    if (!bitmap || !GetObject(bitmap, sizeof(bm), &bm))
        return SIZE{0, 0};
    return SIZE{bm.bmWidth, bm.bmHeight};
}

// What an owner-drawn item asks for.
SIZE MeasureOwnerDrawn(const MenuItem& item, HWND owner, int defaultHeight)
{
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, item.id, 0, static_cast<UINT>(defaultHeight), item.data};
    if (owner && IsWindow(owner))
        SendMessage(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    return SIZE{static_cast<LONG>(mis.itemWidth), static_cast<LONG>(mis.itemHeight)};
}

} // namespace

const MenuMetrics& MenuMetrics::Get()
{
    // The test font mode changes the metrics of every font: remember which one was measured.
    static MenuMetrics metrics;
    static int measuredFor = -1;
    const int mode = IsTestFontMode() ? 1 : 0;
    if (measuredFor == mode)
        return metrics;
    measuredFor = mode;
    if (!metrics.font) {
        NONCLIENTMETRICS ncm{};
        ncm.cbSize = sizeof(ncm);
        SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
        metrics.font = CreateFontIndirect(&ncm.lfMenuFont);
        LOGFONT bold = ncm.lfMenuFont;
        bold.lfWeight = FW_BOLD;
        metrics.boldFont = CreateFontIndirect(&bold);
    }
    MeasuringDC measure(metrics.font);
    TEXTMETRIC tm{};
    GetTextMetrics(measure.dc(), &tm);
    metrics.textHeight = tm.tmHeight;
    metrics.itemHeight = std::max<int>(tm.tmHeight + 4, GetSystemMetrics(SM_CYMENUCHECK) + 4);
    metrics.separatorHeight = 8;
    metrics.frame = 3;
    metrics.checkWidth = GetSystemMetrics(SM_CXMENUCHECK) + 6;
    metrics.arrowWidth = GetSystemMetrics(SM_CXMENUCHECK) + 2;
    metrics.shortcutGap = 12;
    metrics.barItemPad = 6;
    return metrics;
}

int MenuLayouts::TextWidth(HDC dc, const std::string& text)
{
    if (text.empty())
        return 0;
    RECT r{0, 0, 0, 0};
    DrawText(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_CALCRECT);
    return r.right - r.left;
}

PopupLayout MenuLayouts::LayOutPopup(const MenuObject& menu, HWND owner)
{
    const MenuMetrics& m = MenuMetrics::Get();
    PopupLayout layout;
    layout.items.resize(menu.items.size());
    MeasuringDC measure(m.font);

    // A check-mark column wide enough for the items' own check bitmaps.
    int checkWidth = m.checkWidth;
    for (const MenuItem& item : menu.items) {
        checkWidth = std::max<int>(checkWidth, BitmapSize(item.checked).cx + 6);
        checkWidth = std::max<int>(checkWidth, BitmapSize(item.unchecked).cx + 6);
    }

    // Heights and the widths of each column's parts; menu breaks start new columns.
    struct Measured {
        int height = 0;
        int width = 0;   // owner-drawn and bitmap items: their whole width
        bool custom = false;
    };
    std::vector<Measured> sizes(menu.items.size());
    for (size_t i = 0; i < menu.items.size(); ++i) {
        const MenuItem& item = menu.items[i];
        Measured& s = sizes[i];
        if (item.IsSeparator() && !item.IsOwnerDraw()) {
            s.height = m.separatorHeight;
            continue;
        }
        if (item.IsOwnerDraw()) {
            const SIZE asked = MeasureOwnerDrawn(item, owner, m.itemHeight);
            s.height = std::max<int>(1, asked.cy);
            // The menu adds its submenu arrow after the owner's drawing.
            s.width = asked.cx + (item.submenu ? m.arrowWidth : 0);
            s.custom = true;
            continue;
        }
        if (item.type & MFT_BITMAP) {
            const SIZE b = BitmapSize(item.bitmap);
            s.height = std::max<int>(m.itemHeight, b.cy + 2);
            s.width = checkWidth + b.cx + m.arrowWidth;
            s.custom = true;
            continue;
        }
        measure.Select((item.state & MFS_DEFAULT) ? m.boldFont : m.font);
        s.height = m.itemHeight;
        layout.labelWidth = std::max(layout.labelWidth, TextWidth(measure.dc(), item.Label()));
        layout.shortcutWidth = std::max(layout.shortcutWidth, TextWidth(measure.dc(), item.Shortcut()));
    }
    layout.checkWidth = checkWidth;
    const int textItemWidth = checkWidth + 1 + layout.labelWidth +
                              (layout.shortcutWidth ? m.shortcutGap + layout.shortcutWidth : 0) + m.arrowWidth;

    // Columns: items stack down; a break moves on to a new column to the right.
    int x = m.frame;
    int y = m.frame;
    int columnWidth = 0;
    int bottom = m.frame;
    size_t columnStart = 0;
    auto closeColumn = [&](size_t end) {
        for (size_t k = columnStart; k < end; ++k) {
            layout.items[k].rect.left = x;
            layout.items[k].rect.right = x + columnWidth;
        }
    };
    for (size_t i = 0; i < menu.items.size(); ++i) {
        const MenuItem& item = menu.items[i];
        if (i > 0 && (item.type & (MFT_MENUBREAK | MFT_MENUBARBREAK))) {
            closeColumn(i);
            x += columnWidth + ((item.type & MFT_MENUBARBREAK) ? 4 : 0);
            columnWidth = 0;
            columnStart = i;
            y = m.frame;
        }
        const int width = sizes[i].custom ? sizes[i].width : (item.IsSeparator() ? 0 : textItemWidth);
        columnWidth = std::max(columnWidth, std::max(width, textItemWidth));
        layout.items[i].rect.top = y;
        layout.items[i].rect.bottom = y + sizes[i].height;
        y += sizes[i].height;
        bottom = std::max(bottom, y);
    }
    closeColumn(menu.items.size());
    layout.size.cx = x + columnWidth + m.frame;
    layout.size.cy = bottom + m.frame;
    if (menu.items.empty())
        layout.size = SIZE{2 * m.frame + textItemWidth, 2 * m.frame + m.itemHeight / 2};
    return layout;
}

BarLayout MenuLayouts::LayOutBar(const MenuObject& menu, int width, HWND owner)
{
    const MenuMetrics& m = MenuMetrics::Get();
    BarLayout layout;
    layout.items.resize(menu.items.size());
    MeasuringDC measure(m.font);
    std::vector<int> widths(menu.items.size(), 0);
    for (size_t i = 0; i < menu.items.size(); ++i) {
        const MenuItem& item = menu.items[i];
        if (item.IsOwnerDraw())
            widths[i] = MeasureOwnerDrawn(item, owner, GetSystemMetrics(SM_CYMENU)).cx;
        else if (item.type & MFT_BITMAP)
            widths[i] = BitmapSize(item.bitmap).cx + 2 * m.barItemPad;
        else if (!item.IsSeparator())
            widths[i] = TextWidth(measure.dc(), item.Label()) + 2 * m.barItemPad;
    }
    // Left to right, wrapping onto new rows.
    const int rowHeight = GetSystemMetrics(SM_CYMENU);
    int x = 0;
    int y = 0;
    for (size_t i = 0; i < menu.items.size(); ++i) {
        const bool breakHere = i > 0 && (menu.items[i].type & (MFT_MENUBREAK | MFT_MENUBARBREAK));
        if (breakHere || (x > 0 && x + widths[i] > width)) {
            x = 0;
            y += rowHeight;
        }
        layout.items[i].rect = RECT{x, y, x + widths[i], y + rowHeight};
        x += widths[i];
    }
    layout.height = y + rowHeight;
    // The right-justified items move to the right end of their row.
    for (size_t i = 0; i < menu.items.size(); ++i) {
        if (!(menu.items[i].type & MFT_RIGHTJUSTIFY))
            continue;
        const LONG row = layout.items[i].rect.top;
        size_t end = i;
        while (end < menu.items.size() && layout.items[end].rect.top == row)
            ++end;
        const int shift = width - layout.items[end - 1].rect.right;
        if (shift > 0)
            for (size_t k = i; k < end; ++k)
                OffsetRect(&layout.items[k].rect, shift, 0);
        break;
    }
    return layout;
}
