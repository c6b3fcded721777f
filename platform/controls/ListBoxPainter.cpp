#include "platform/controls/ListBoxPainter.h"

#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"

void PaintListItem(HDC dc, const RECT& rect, const ListItem& item, const ListItemLook& look)
{
    const bool highlighted = look.selected && !look.disabled;
    FillRect(dc, &rect, highlighted ? GetSysColorBrush(COLOR_HIGHLIGHT) : look.background);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, look.disabled ? GetSysColor(COLOR_GRAYTEXT)
                                   : highlighted ? GetSysColor(COLOR_HIGHLIGHTTEXT) : look.textColor);
    const int x = rect.left + kListTextMargin - look.xOffset;
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    const int y = rect.top + (rect.bottom - rect.top - tm.tmHeight) / 2;
    const int length = static_cast<int>(item.text.size());
    int saved = SaveDC(dc);
    IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    if (look.useTabStops) {
        const std::vector<int>* stops = look.tabStops;
        TabbedTextOut(dc, x, y, item.text.data(), length, stops ? static_cast<int>(stops->size()) : 0,
                      stops && !stops->empty() ? stops->data() : nullptr, x);
    } else {
        TextOut(dc, x, y, item.text.data(), length);
    }
    RestoreDC(dc, saved);
    if (look.focused)
        DrawFocusRect(dc, &rect);
}
