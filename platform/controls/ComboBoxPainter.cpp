#include "platform/controls/ComboBoxPainter.h"

#include "platform/core/CRect.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"

RECT ComboItemRect(const RECT& text)
{
    RECT item = text;
    InflateRect(&item, -1, -1);
    return item;
}

void PaintComboField(HDC dc, const ComboPaintState& s)
{
    RECT field = s.field;
    DrawEdge(dc, &field, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    FillRect(dc, &s.text, s.background);
    RECT button = s.button;
    DrawFrameControl(dc, &button, DFC_SCROLL,
                     DFCS_SCROLLCOMBOBOX | (s.disabled ? DFCS_INACTIVE : 0) | (s.pushed ? DFCS_PUSHED | DFCS_FLAT : 0));
    if (!s.showsItem)
        return;
    RECT item = ComboItemRect(s.text);
    if (s.highlighted)
        FillRect(dc, &item, GetSysColorBrush(COLOR_HIGHLIGHT));
    if (s.hasItem) {
        SelectObject(dc, s.font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, s.disabled ? GetSysColor(COLOR_GRAYTEXT) : s.highlighted ? GetSysColor(COLOR_HIGHLIGHTTEXT) : s.textColor);
        RECT inner = item;
        inner.left += 1;
        DrawText(dc, s.label.c_str(), static_cast<int>(s.label.size()), &inner,
                 DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (s.highlighted)
        DrawFocusRect(dc, &item);
}
