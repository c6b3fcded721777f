#include "platform/controls/EditPainter.h"

#include "platform/controls/EditDefs.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

int EditRowOrigin(const RECT& format, int xOffset, int align, int rowWidth)
{
    int width = format.right - format.left;
    if (align == ES_RIGHT)
        return format.right - rowWidth - xOffset;
    if (align == ES_CENTER)
        return format.left + (width - rowWidth) / 2 - xOffset;
    return format.left - xOffset;
}

namespace {

// Draws bytes [from, to) of a row whose byte ends are `ends`, starting at x0: tab characters
// leave their space empty, a password shows its character once per character.
void DrawRun(HDC dc, std::string_view row, const std::vector<int>& ends, int from, int to, int x0, int y,
             char passwordChar)
{
    int pos = from;
    while (pos < to) {
        int stop = pos;
        while (stop < to && row[static_cast<size_t>(stop)] != '\t')
            ++stop;
        if (stop > pos) {
            int x = x0 + (pos > 0 ? ends[static_cast<size_t>(pos) - 1] : 0);
            if (passwordChar) {
                int chars = 0;
                for (int i = pos; i < stop; ++i)
                    if ((static_cast<unsigned char>(row[static_cast<size_t>(i)]) & 0xC0) != 0x80)
                        ++chars;
                std::string shown(static_cast<size_t>(chars), passwordChar);
                TextOut(dc, x, y, shown.data(), chars);
            } else {
                TextOut(dc, x, y, row.data() + pos, stop - pos);
            }
        }
        pos = stop + 1;
    }
}

// The bytes [from, to) of a row that lie between x = left and x = right of it, whole characters,
// with a few more on either side so that what is drawn is shaped as in the whole row.
std::pair<int, int> VisibleBytes(std::string_view row, const std::vector<int>& ends, int left, int right)
{
    constexpr int kMargin = 8;
    const int length = static_cast<int>(row.size());
    const auto isContinuation = [&](int i) { return (static_cast<unsigned char>(row[static_cast<size_t>(i)]) & 0xC0) == 0x80; };
    int from = static_cast<int>(std::upper_bound(ends.begin(), ends.end(), left) - ends.begin()) - kMargin;
    int to = static_cast<int>(std::lower_bound(ends.begin(), ends.end(), right) - ends.begin()) + 1 + kMargin;
    from = std::clamp(from, 0, length);
    to = std::clamp(to, from, length);
    while (from > 0 && isContinuation(from))
        --from;
    while (to < length && isContinuation(to))
        ++to;
    return {from, to};
}

} // namespace

int PaintEdit(HDC dc, const EditPaintState& s)
{
    int widest = 0;
    RECT clip;
    GetClipBox(dc, &clip);
    FillRect(dc, &clip, s.background);

    int saved = SaveDC(dc);
    IntersectClipRect(dc, s.format.left, s.format.top, s.format.right, s.format.bottom);
    SelectObject(dc, s.font);
    SetBkMode(dc, TRANSPARENT);
    const std::string& text = s.buffer->Text();
    const int selStart = s.buffer->SelStart();
    const int selEnd = s.buffer->SelEnd();
    const bool selecting = s.showSelection && selStart != selEnd;
    const COLORREF normal = s.disabled ? GetSysColor(COLOR_GRAYTEXT) : s.textColor;
    std::vector<int> ends;

    int first = s.firstRow + std::max(0, static_cast<int>((clip.top - s.format.top) / s.lineHeight));
    for (int row = first; row < s.layout->RowCount(); ++row) {
        int y = s.format.top + (row - s.firstRow) * s.lineHeight;
        if (y >= clip.bottom || y >= s.format.bottom)
            break;
        int start = s.layout->RowStart(row);
        int end = s.layout->RowEnd(row);
        std::string_view rowText = std::string_view(text).substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
        s.measure->Advances(rowText, ends);
        int width = ends.empty() ? 0 : ends.back();
        widest = std::max(widest, width);
        int x0 = EditRowOrigin(s.format, s.xOffset, s.align, width);
        int length = end - start;

        int a = selecting ? std::clamp(selStart - start, 0, length) : 0;
        int b = selecting ? std::clamp(selEnd - start, 0, length) : 0;
        // Only the bytes the clip shows are drawn: a row of a megabyte scrolled to its end would
        // be drawn from millions of pixels to the left, where a surface's coordinates no longer
        // hold and nothing shows.
        const auto [from, to] = VisibleBytes(rowText, ends, clip.left - x0, clip.right - x0);
        SetTextColor(dc, normal);
        DrawRun(dc, rowText, ends, from, std::min(a, to), x0, y, s.passwordChar);
        DrawRun(dc, rowText, ends, std::max(b, from), to, x0, y, s.passwordChar);
        // A selection that runs on past the row's end shows a little of its line break.
        const bool lineBreak = row + 1 < s.layout->RowCount() && s.layout->RowStart(row + 1) > end;
        bool pastEnd = lineBreak && selecting && selStart <= end && selEnd > end;
        if (a < b || pastEnd) {
            int xa = x0 + (a > 0 ? ends[static_cast<size_t>(a) - 1] : 0);
            int xb = x0 + (b > 0 ? ends[static_cast<size_t>(b) - 1] : 0);
            if (pastEnd)
                xb += std::max(2, s.lineHeight / 4);
            RECT band{xa, y, xb, y + s.lineHeight};
            FillRect(dc, &band, GetSysColorBrush(COLOR_HIGHLIGHT));
            SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            DrawRun(dc, rowText, ends, std::max(a, from), std::min(b, to), x0, y, s.passwordChar);
        }
    }
    RestoreDC(dc, saved);
    return widest;
}
