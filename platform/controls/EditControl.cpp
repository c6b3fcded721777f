#include "platform/controls/EditControl.h"

#include "platform/controls/ControlSupport.h"
#include "platform/controls/EditPainter.h"
#include "platform/core/GlobalMemory.h"
#include "platform/win/Caret.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Gdi.h"
#include "platform/win/Keyboard.h"
#include "platform/win/MenuApi.h"
#include "platform/win/ScrollBar.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

namespace {

bool KeyDown(int vk) { return GetKeyState(vk) < 0; }

void ToCase(std::string& text, DWORD style)
{
    // Only ASCII letters change: a byte of a UTF-8 sequence never falls in their range.
    if (style & ES_UPPERCASE)
        for (char& c : text)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
    if (style & ES_LOWERCASE)
        for (char& c : text)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
}

// The text a single-line control takes from a paste: up to the first line break.
std::string FirstLine(std::string text)
{
    size_t cut = text.find_first_of("\r\n");
    if (cut != std::string::npos)
        text.resize(cut);
    return text;
}

} // namespace

EditControl::EditControl(HWND hwnd, const CREATESTRUCT& cs, Kind kind)
    : m_hwnd(hwnd), m_kind(kind), m_style(static_cast<DWORD>(cs.style))
{
    if (kind == Kind::RichEdit)
        m_style |= ES_MULTILINE;
    m_buffer.SetWatcher(&m_layout);
    m_layout.SetSingleLine(!MultiLine());
    m_measureDC = CreateCompatibleDC(nullptr);
    if ((m_style & ES_PASSWORD) && !MultiLine())
        m_passwordChar = '*';
    SetFont(nullptr, false);
    std::string text = cs.lpszName ? cs.lpszName : "";
    ToCase(text, m_style);
    m_buffer.SetText(text);
}

EditControl::~EditControl()
{
    if (m_measureDC)
        DeleteDC(m_measureDC);
    if (m_backgroundBrush)
        DeleteObject(m_backgroundBrush);
}

LRESULT CALLBACK EditControl::EditWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return Dispatch(hwnd, message, wParam, lParam, Kind::Edit);
}

LRESULT CALLBACK EditControl::RichEditWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return Dispatch(hwnd, message, wParam, lParam, Kind::RichEdit);
}

LRESULT EditControl::Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, Kind kind)
{
    auto* self = ControlStateOf<EditControl>(hwnd);
    if (message == WM_NCCREATE && !self) {
        auto* cs = reinterpret_cast<CREATESTRUCT*>(lParam);
        if (!cs)
            return FALSE;
        UseClientEdgeForBorder(hwnd);
        CREATESTRUCT styled = *cs;
        styled.style = GetWindowLong(hwnd, GWL_STYLE);
        try {
            self = new EditControl(hwnd, styled, kind);
        } catch (const std::bad_alloc&) {
            return FALSE;
        }
        AttachControlState(hwnd, self);
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    if (!self)
        return DefWindowProc(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        OrphanControlState(hwnd, self);
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    ControlCallGuard<EditControl> guard(self);
    try {
        if (kind == Kind::RichEdit) {
            bool handled = false;
            LRESULT result = self->OnRichEditMessage(message, wParam, lParam, handled);
            if (handled)
                return result;
        }
        return self->OnMessage(message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        // Out of memory for the text: the parent hears of it, the text stays as it was.
        NotifyParent(hwnd, EN_ERRSPACE);
        return 0;
    }
}

bool EditControl::Wraps() const
{
    return MultiLine() && !(m_style & ES_AUTOHSCROLL) && !(m_style & WS_HSCROLL);
}

void EditControl::Notify(UINT code)
{
    if (m_kind == Kind::RichEdit) {
        // The rich edit tells only what its event mask asks for.
        if ((code == EN_CHANGE && !(m_eventMask & ENM_CHANGE)) || (code == EN_UPDATE && !(m_eventMask & ENM_UPDATE)) ||
            ((code == EN_HSCROLL || code == EN_VSCROLL) && !(m_eventMask & ENM_SCROLL)))
            return;
    }
    NotifyParent(m_hwnd, code);
}

// ---- Measuring ----

void EditControl::Advances(std::string_view text, std::vector<int>& ends)
{
    ends.resize(text.size());
    if (text.empty())
        return;
    if (m_passwordChar) {
        SIZE size{};
        GetTextExtentPoint32(m_measureDC, &m_passwordChar, 1, &size);
        int x = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
                x += size.cx;
            ends[i] = x;
        }
        return;
    }
    int x = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == '\t') {
            int next;
            int interval = m_tabStops.size() == 1 ? m_tabStops[0] : 8 * m_charWidth;
            auto it = m_tabStops.size() > 1 ? std::upper_bound(m_tabStops.begin(), m_tabStops.end(), x) : m_tabStops.end();
            if (it != m_tabStops.end())
                next = *it;
            else
                next = (x / std::max(1, interval) + 1) * std::max(1, interval);
            x = next;
            ends[pos++] = x;
            continue;
        }
        size_t stop = text.find('\t', pos);
        if (stop == std::string_view::npos)
            stop = text.size();
        int count = static_cast<int>(stop - pos);
        int fit = 0;
        SIZE size{};
        GetTextExtentExPoint(m_measureDC, text.data() + pos, count, INT_MAX, &fit, ends.data() + pos, &size);
        for (size_t i = pos; i < stop; ++i)
            ends[i] += x;
        x = ends[stop - 1];
        pos = stop;
    }
}

// ---- Layout, scrolling, caret ----

void EditControl::UpdateFormatRect()
{
    if (m_formatSet)
        return;
    RECT client;
    GetClientRect(m_hwnd, &client);
    m_format = client;
    m_format.left += m_leftMargin;
    m_format.right = std::max(m_format.left, m_format.right - m_rightMargin);
    if (MultiLine()) {
        m_format.top += 1;
    } else {
        // One line sits in the middle of the control's height.
        int spare = (client.bottom - client.top) - m_lineHeight;
        m_format.top = client.top + std::max(0, spare / 2);
        m_format.bottom = m_format.top + m_lineHeight;
    }
}

void EditControl::Relayout()
{
    UpdateFormatRect();
    m_layout.SetWrapWidth(Wraps() ? std::max(1, static_cast<int>(m_format.right - m_format.left)) : 0);
    m_layout.Rebuild(m_buffer.Text());
    if (Wraps())
        m_xOffset = 0;
    m_firstRow = std::clamp(m_firstRow, 0, std::max(0, m_layout.RowCount() - VisibleRows()));
    UpdateScrollBars();
    UpdateCaret();
}

int EditControl::VisibleRows() const
{
    if (!MultiLine())
        return 1;
    return std::max(1, static_cast<int>((m_format.bottom - m_format.top) / std::max(1, m_lineHeight)));
}

int EditControl::RowX(int row, int pos)
{
    int start = m_layout.RowStart(row);
    int end = m_layout.RowEnd(row);
    std::vector<int> ends;
    Advances(std::string_view(m_buffer.Text()).substr(static_cast<size_t>(start), static_cast<size_t>(end - start)), ends);
    int width = ends.empty() ? 0 : ends.back();
    int origin = EditRowOrigin(m_format, m_xOffset, static_cast<int>(m_style & (ES_CENTER | ES_RIGHT)), width);
    int k = std::clamp(pos - start, 0, end - start);
    return origin + (k > 0 ? ends[static_cast<size_t>(k) - 1] : 0);
}

POINT EditControl::PosFromChar(int pos)
{
    int row = m_layout.RowOf(pos);
    return POINT{RowX(row, pos), static_cast<LONG>(m_format.top + (row - m_firstRow) * m_lineHeight)};
}

int EditControl::CaretRow() const
{
    const int caret = m_buffer.Caret();
    int row = m_layout.RowOf(caret);
    if (m_caretSide == CaretSide::RowEnd && row > 0 && m_layout.RowStart(row) == caret && m_layout.RowEnd(row - 1) == caret)
        return row - 1;
    return row;
}

EditControl::CaretSide EditControl::SideFor(int pos, int row) const
{
    return m_layout.RowOf(pos) != row ? CaretSide::RowEnd : CaretSide::NextRow;
}

int EditControl::CharFromPoint(POINT pt, int* rowOut) const
{
    auto* self = const_cast<EditControl*>(this);
    int row = m_firstRow;
    if (MultiLine()) {
        int dy = pt.y - m_format.top;
        int rel = dy < 0 ? -((-dy + m_lineHeight - 1) / m_lineHeight) : dy / m_lineHeight;
        row = std::clamp(m_firstRow + rel, 0, m_layout.RowCount() - 1);
    }
    if (rowOut)
        *rowOut = row;
    int start = m_layout.RowStart(row);
    int end = m_layout.RowEnd(row);
    std::vector<int> ends;
    self->Advances(std::string_view(m_buffer.Text()).substr(static_cast<size_t>(start), static_cast<size_t>(end - start)), ends);
    int width = ends.empty() ? 0 : ends.back();
    int x = pt.x - EditRowOrigin(m_format, m_xOffset, static_cast<int>(m_style & (ES_CENTER | ES_RIGHT)), width);
    int i = 0;
    int length = end - start;
    while (i < length) {
        int next = m_buffer.NextChar(start + i) - start;
        next = std::min(next, length);
        int left = i > 0 ? ends[static_cast<size_t>(i) - 1] : 0;
        int right = ends[static_cast<size_t>(next) - 1];
        if (x < (left + right) / 2)
            return start + i;
        i = next;
    }
    return end;
}

void EditControl::UpdateScrollBars()
{
    // An edit keeps its bars, disabled, when nothing scrolls; a rich edit hides them unless asked.
    const UINT keep = (m_kind == Kind::Edit || (m_style & ES_DISABLENOSCROLL)) ? SIF_DISABLENOSCROLL : 0;
    if (m_style & WS_VSCROLL) {
        SCROLLINFO si{sizeof(SCROLLINFO), SIF_ALL | keep, 0, std::max(0, m_layout.RowCount() - 1),
                      static_cast<UINT>(VisibleRows()), m_firstRow, 0};
        SCROLLINFO now{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(m_hwnd, SB_VERT, &now);
        if (now.nMin != si.nMin || now.nMax != si.nMax || now.nPage != si.nPage || now.nPos != si.nPos)
            SetScrollInfo(m_hwnd, SB_VERT, &si, TRUE);
    }
    if (m_style & WS_HSCROLL) {
        int width = std::max(1, static_cast<int>(m_format.right - m_format.left));
        // The widest row shown so far sets the range (a large text is not measured whole), with
        // room to scroll one character past it.
        int range = std::max(m_widest + m_charWidth, m_xOffset + width);
        SCROLLINFO si{sizeof(SCROLLINFO), SIF_ALL | keep, 0, range - 1, static_cast<UINT>(width), m_xOffset, 0};
        SCROLLINFO now{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(m_hwnd, SB_HORZ, &now);
        if (now.nMin != si.nMin || now.nMax != si.nMax || now.nPage != si.nPage || now.nPos != si.nPos)
            SetScrollInfo(m_hwnd, SB_HORZ, &si, TRUE);
    }
}

void EditControl::UpdateCaret()
{
    if (!m_focused)
        return;
    const int row = CaretRow();
    SetCaretPos(RowX(row, m_buffer.Caret()), m_format.top + (row - m_firstRow) * m_lineHeight);
}

bool EditControl::ScrollTo(int firstRow, int xOffset, UINT notify)
{
    int maxFirst = std::max(0, m_layout.RowCount() - VisibleRows());
    firstRow = MultiLine() ? std::clamp(firstRow, 0, maxFirst) : 0;
    xOffset = Wraps() ? 0 : std::max(0, xOffset);
    if (firstRow == m_firstRow && xOffset == m_xOffset)
        return false;
    if (notify)
        Notify(notify);
    m_firstRow = firstRow;
    m_xOffset = xOffset;
    InvalidateRect(m_hwnd, nullptr, FALSE);
    UpdateScrollBars();
    UpdateCaret();
    return true;
}

void EditControl::ScrollCaret()
{
    int caret = m_buffer.Caret();
    int row = CaretRow();
    int first = m_firstRow;
    int visible = VisibleRows();
    if (row < first)
        first = row;
    else if (row >= first + visible)
        first = row - visible + 1;
    int x = m_xOffset;
    if (!Wraps()) {
        int width = std::max(1, static_cast<int>(m_format.right - m_format.left));
        int caretX = RowX(row, caret) + m_xOffset - m_format.left;
        m_widest = std::max(m_widest, caretX);
        if (caretX < m_xOffset)
            x = std::max(0, caretX - width / 3);
        else if (caretX >= m_xOffset + width)
            x = caretX - width + width / 3;
    }
    ScrollTo(first, x, 0);
}

void EditControl::InvalidateRows(int fromRow, int toRow)
{
    RECT client;
    GetClientRect(m_hwnd, &client);
    if (!MultiLine()) {
        InvalidateRect(m_hwnd, nullptr, FALSE);
        return;
    }
    int top = m_format.top + (fromRow - m_firstRow) * m_lineHeight;
    int bottom = toRow == INT_MAX ? client.bottom : m_format.top + (toRow - m_firstRow + 1) * m_lineHeight;
    RECT r{client.left, std::max<LONG>(client.top, top), client.right, std::min<LONG>(client.bottom, bottom)};
    if (r.top < r.bottom)
        InvalidateRect(m_hwnd, &r, FALSE);
}

void EditControl::InvalidateSelectionChange(int oldStart, int oldEnd)
{
    int start = m_buffer.SelStart();
    int end = m_buffer.SelEnd();
    if (oldStart == start && oldEnd == end)
        return;
    if (oldStart == oldEnd && start == end)
        return;
    int from = std::min(oldStart, start);
    int to = std::max(oldEnd, end);
    InvalidateRows(m_layout.RowOf(from), m_layout.RowOf(to));
}

void EditControl::OnScroll(int bar, int code)
{
    if (bar == SB_VERT) {
        int first = m_firstRow;
        int page = VisibleRows();
        switch (code) {
        case SB_LINEUP: first -= 1; break;
        case SB_LINEDOWN: first += 1; break;
        case SB_PAGEUP: first -= page; break;
        case SB_PAGEDOWN: first += page; break;
        case SB_TOP: first = 0; break;
        case SB_BOTTOM: first = m_layout.RowCount(); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            first = ScrollTrackPos(m_hwnd, SB_VERT);
            break;
        default: return;
        }
        ScrollTo(first, m_xOffset, EN_VSCROLL);
    } else {
        int x = m_xOffset;
        int page = std::max(1, static_cast<int>(m_format.right - m_format.left));
        switch (code) {
        case SB_LINELEFT: x -= m_charWidth; break;
        case SB_LINERIGHT: x += m_charWidth; break;
        case SB_PAGELEFT: x -= page; break;
        case SB_PAGERIGHT: x += page; break;
        case SB_LEFT: x = 0; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            x = ScrollTrackPos(m_hwnd, SB_HORZ);
            break;
        default: return;
        }
        ScrollTo(m_firstRow, x, EN_HSCROLL);
    }
}

void EditControl::SetFont(HFONT font, bool redraw)
{
    m_font = font;
    SelectObject(m_measureDC, ControlFont(font));
    TEXTMETRIC tm{};
    GetTextMetrics(m_measureDC, &tm);
    m_lineHeight = std::max(1, static_cast<int>(tm.tmHeight));
    m_charWidth = std::max(1, static_cast<int>(tm.tmAveCharWidth));
    Relayout();
    if (m_focused) {
        CreateCaret(m_hwnd, nullptr, 1, m_lineHeight);
        UpdateCaret();
        ShowCaret(m_hwnd);
    }
    if (redraw)
        InvalidateRect(m_hwnd, nullptr, TRUE);
}

// ---- Editing ----

bool EditControl::CanChange()
{
    if (ReadOnly()) {
        MessageBeep(0);
        return false;
    }
    return true;
}

void EditControl::Replace(std::string_view text, UndoMerge merge, Origin origin)
{
    int rowsBefore = m_layout.RowCount();
    int from = m_buffer.SelStart();
    int firstRow = std::max(0, m_layout.RowOf(from) - (Wraps() ? 1 : 0));
    auto result = m_buffer.ReplaceSel(text, merge);
    if (!result.changed) {
        if (!result.whole)
            Notify(EN_MAXTEXT);
        return;
    }
    if (origin == Origin::User && Overflows(rowsBefore)) {
        // Without automatic scrolling the control holds only what it shows.
        m_buffer.RevertLast();
        MessageBeep(0);
        Notify(EN_MAXTEXT);
        return;
    }
    if (m_layout.RowCount() != rowsBefore || Wraps())
        InvalidateRows(firstRow, INT_MAX);
    else
        InvalidateRows(firstRow, m_layout.RowOf(m_buffer.Caret()));
    m_desiredX = -1;
    m_caretSide = CaretSide::NextRow;
    AfterChange(origin);
    if (!result.whole)
        Notify(EN_MAXTEXT);
}

bool EditControl::Overflows(int rowsBefore)
{
    if (!MultiLine()) {
        if (m_style & ES_AUTOHSCROLL)
            return false;
        std::vector<int> ends;
        Advances(m_buffer.Text(), ends);
        return !ends.empty() && ends.back() > m_format.right - m_format.left;
    }
    if (m_style & ES_AUTOVSCROLL)
        return false;
    int rows = m_layout.RowCount();
    return rows > rowsBefore && rows > VisibleRows();
}

void EditControl::AfterChange(Origin)
{
    Notify(EN_UPDATE);
    UpdateScrollBars();
    ScrollCaret();
    UpdateCaret();
    Notify(EN_CHANGE);
}

void EditControl::TypeText(std::string text)
{
    if (!CanChange())
        return;
    if (m_style & ES_NUMBER) {
        for (char c : text)
            if (c < '0' || c > '9') {
                MessageBeep(0);
                return;
            }
    }
    ToCase(text, m_style);
    Replace(text, UndoMerge::Typing, Origin::User);
}

void EditControl::TypeChar(unsigned char ch)
{
    if (ch < 0x80) {
        m_pendingChar.clear();
        TypeText(std::string(1, static_cast<char>(ch)));
        return;
    }
    // A character beyond ASCII arrives as the bytes of its UTF-8 sequence, one message each.
    if ((ch & 0xC0) == 0x80 && !m_pendingChar.empty()) {
        m_pendingChar.push_back(static_cast<char>(ch));
        if (static_cast<int>(m_pendingChar.size()) == Utf8SequenceLength(static_cast<unsigned char>(m_pendingChar[0]))) {
            std::string whole;
            whole.swap(m_pendingChar);
            TypeText(whole);
        }
        return;
    }
    m_pendingChar.clear();
    if (Utf8SequenceLength(ch) > 1) {
        m_pendingChar.push_back(static_cast<char>(ch));
        return;
    }
    TypeText(std::string(1, static_cast<char>(ch)));
}

void EditControl::SetText(std::string_view text)
{
    std::string value(text);
    ToCase(value, m_style);
    m_buffer.SetText(value);
    m_widest = 0;
    m_firstRow = 0;
    m_xOffset = 0;
    m_desiredX = -1;
    UpdateScrollBars();
    UpdateCaret();
    InvalidateRect(m_hwnd, nullptr, FALSE);
    // A multi-line control does not report text set by its program.
    if (!MultiLine()) {
        Notify(EN_UPDATE);
        Notify(EN_CHANGE);
    }
}

// ---- Clipboard ----

void EditControl::Copy()
{
    if (m_passwordChar || !m_buffer.HasSelection())
        return;
    std::string text = m_buffer.SelectedText();
    if (!OpenClipboard(m_hwnd))
        return;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (block) {
        if (auto* p = static_cast<char*>(GlobalLock(block))) {
            std::memcpy(p, text.c_str(), text.size() + 1);
            GlobalUnlock(block);
            SetClipboardData(CF_TEXT, block);
        } else {
            GlobalFree(block);
        }
    }
    CloseClipboard();
}

void EditControl::Clear()
{
    if (!m_buffer.HasSelection() || !CanChange())
        return;
    Replace({}, UndoMerge::Separate, Origin::User);
}

void EditControl::Cut()
{
    if (m_passwordChar || !m_buffer.HasSelection() || ReadOnly())
        return;
    Copy();
    Clear();
}

void EditControl::Paste()
{
    if (!CanChange())
        return;
    std::string text;
    if (!OpenClipboard(m_hwnd))
        return;
    if (HGLOBAL block = GetClipboardData(CF_TEXT)) {
        if (auto* p = static_cast<const char*>(GlobalLock(block))) {
            text.assign(p, strnlen(p, GlobalSize(block)));
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    if (!MultiLine())
        text = FirstLine(std::move(text));
    ToCase(text, m_style);
    if (text.empty() && !m_buffer.HasSelection())
        return;
    Replace(text, UndoMerge::Separate, Origin::User);
}

void EditControl::DoUndo()
{
    if (ReadOnly() || !m_buffer.CanUndo())
        return;
    m_buffer.Undo();
    // The text given back is shown from its start as far as its caret lets, as a text set anew
    // is: left scrolled as far as the text it replaced, it would show little or none of itself.
    if (!Wraps())
        m_xOffset = 0;
    InvalidateRect(m_hwnd, nullptr, FALSE);
    AfterChange(Origin::User);
}

// ---- Keyboard and mouse ----

void EditControl::MoveTo(int pos, bool extend, bool keepColumn, CaretSide side)
{
    int oldStart = m_buffer.SelStart();
    int oldEnd = m_buffer.SelEnd();
    m_buffer.MoveCaret(pos, extend);
    m_caretSide = side;
    if (!keepColumn)
        m_desiredX = -1;
    InvalidateSelectionChange(oldStart, oldEnd);
    ScrollCaret();
    UpdateCaret();
}

void EditControl::OnKeyDown(UINT vk)
{
    const bool shift = KeyDown(VK_SHIFT);
    const bool ctrl = KeyDown(VK_CONTROL);
    const int caret = m_buffer.Caret();
    switch (vk) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: {
        bool back = vk == VK_LEFT || vk == VK_UP;
        if ((vk == VK_UP || vk == VK_DOWN) && MultiLine()) {
            int row = CaretRow();
            if (m_desiredX < 0)
                m_desiredX = RowX(row, caret) + m_xOffset;
            int target = std::clamp(row + (back ? -1 : 1), 0, m_layout.RowCount() - 1);
            if (target == row) {
                int pos = back ? m_layout.RowStart(row) : m_layout.RowEnd(row);
                MoveTo(pos, shift, false, SideFor(pos, row));
                return;
            }
            POINT pt{m_desiredX - m_xOffset, static_cast<LONG>(m_format.top + (target - m_firstRow) * m_lineHeight)};
            int hitRow = target;
            int pos = CharFromPoint(pt, &hitRow);
            MoveTo(pos, shift, true, SideFor(pos, hitRow));
            return;
        }
        int pos;
        if (!shift && m_buffer.HasSelection() && !ctrl)
            pos = back ? m_buffer.SelStart() : m_buffer.SelEnd();
        else if (ctrl)
            pos = back ? m_buffer.WordLeft(caret) : m_buffer.WordRight(caret);
        else
            pos = back ? m_buffer.PrevChar(caret) : m_buffer.NextChar(caret);
        MoveTo(pos, shift);
        return;
    }
    case VK_PRIOR:
    case VK_NEXT: {
        if (!MultiLine())
            return;
        int row = CaretRow();
        if (m_desiredX < 0)
            m_desiredX = RowX(row, caret) + m_xOffset;
        int page = VisibleRows();
        int delta = vk == VK_PRIOR ? -page : page;
        int target = std::clamp(row + delta, 0, m_layout.RowCount() - 1);
        ScrollTo(m_firstRow + delta, m_xOffset, 0);
        POINT pt{m_desiredX - m_xOffset, static_cast<LONG>(m_format.top + (target - m_firstRow) * m_lineHeight)};
        int hitRow = target;
        int pos = CharFromPoint(pt, &hitRow);
        MoveTo(pos, shift, true, SideFor(pos, hitRow));
        return;
    }
    case VK_HOME:
        MoveTo(ctrl ? 0 : m_layout.RowStart(CaretRow()), shift);
        return;
    case VK_END: {
        if (ctrl) {
            MoveTo(m_buffer.Length(), shift);
            return;
        }
        int row = CaretRow();
        int pos = m_layout.RowEnd(row);
        MoveTo(pos, shift, false, SideFor(pos, row));
        return;
    }
    case VK_DELETE:
        if (shift) {
            Cut();
            return;
        }
        if (!CanChange())
            return;
        if (!m_buffer.HasSelection()) {
            int next = m_buffer.NextChar(caret);
            if (next == caret)
                return;
            m_buffer.SetSel(caret, next);
        }
        Replace({}, UndoMerge::Separate, Origin::User);
        return;
    case VK_INSERT:
        if (ctrl)
            Copy();
        else if (shift)
            Paste();
        return;
    default:
        return;
    }
}

void EditControl::OnChar(UINT ch)
{
    switch (ch) {
    case 0x01:   // Ctrl+A
        MoveTo(0, false);
        MoveTo(m_buffer.Length(), true);
        return;
    case 0x03:   // Ctrl+C
        Copy();
        return;
    case 0x16:   // Ctrl+V
        Paste();
        return;
    case 0x18:   // Ctrl+X
        Cut();
        return;
    case 0x1A:   // Ctrl+Z
        DoUndo();
        return;
    case 0x08: { // Backspace
        if (!CanChange())
            return;
        if (!m_buffer.HasSelection()) {
            int caret = m_buffer.Caret();
            int prev = m_buffer.PrevChar(caret);
            if (prev == caret)
                return;
            m_buffer.SetSel(prev, caret);
        }
        Replace({}, UndoMerge::Separate, Origin::User);
        return;
    }
    case 0x0D:
    case 0x0A:
        if (MultiLine() && CanChange())
            Replace("\r\n", UndoMerge::Typing, Origin::User);
        return;
    case 0x09:
        if (MultiLine())
            TypeChar('\t');
        return;
    default:
        if (ch < 0x20 || ch == 0x7F || ch > 0xFF)
            return;
        TypeChar(static_cast<unsigned char>(ch));
    }
}

void EditControl::OnMouseDown(POINT pt, bool extend)
{
    if (GetFocus() != m_hwnd)
        SetFocus(m_hwnd);
    m_dragWord = {-1, -1};
    int row = 0;
    int pos = CharFromPoint(pt, &row);
    MoveTo(pos, extend, false, SideFor(pos, row));
    SetCapture(m_hwnd);
    m_tracking = true;
}

void EditControl::OnMouseDrag(POINT pt)
{
    if (!m_tracking)
        return;
    // Held past an edge, the text goes on scrolling while the pointer rests.
    m_dragPoint = pt;
    const bool outside = pt.y < m_format.top || pt.y >= m_format.bottom || pt.x < m_format.left || pt.x >= m_format.right;
    if (outside)
        SetTimer(m_hwnd, kDragScrollTimer, kDragScrollInterval, nullptr);
    else
        KillTimer(m_hwnd, kDragScrollTimer);
    // Dragging past an edge scrolls the text under the pointer.
    if (MultiLine()) {
        if (pt.y < m_format.top)
            ScrollTo(m_firstRow - 1, m_xOffset, 0);
        else if (pt.y >= m_format.bottom)
            ScrollTo(m_firstRow + 1, m_xOffset, 0);
    }
    if (!Wraps()) {
        if (pt.x < m_format.left)
            ScrollTo(m_firstRow, m_xOffset - m_charWidth, 0);
        else if (pt.x >= m_format.right)
            ScrollTo(m_firstRow, m_xOffset + m_charWidth, 0);
    }
    int row = 0;
    int pos = CharFromPoint(pt, &row);
    if (m_dragWord.first >= 0) {
        auto word = m_buffer.WordAt(pos);
        int oldStart = m_buffer.SelStart();
        int oldEnd = m_buffer.SelEnd();
        if (pos < m_dragWord.first)
            m_buffer.SetSel(m_dragWord.second, word.first);
        else
            m_buffer.SetSel(m_dragWord.first, std::max(word.second, m_dragWord.second));
        InvalidateSelectionChange(oldStart, oldEnd);
        ScrollCaret();
        UpdateCaret();
        return;
    }
    MoveTo(pos, true, false, SideFor(pos, row));
}

void EditControl::OnDoubleClick(POINT pt)
{
    auto word = m_buffer.WordAt(CharFromPoint(pt));
    MoveTo(word.first, false);
    MoveTo(word.second, true);
    m_dragWord = word;
    SetCapture(m_hwnd);
    m_tracking = true;
}

void EditControl::ContextMenu(POINT screen)
{
    if (GetFocus() != m_hwnd)
        SetFocus(m_hwnd);
    if (screen.x == -1 && screen.y == -1) {
        const int row = CaretRow();
        screen = POINT{RowX(row, m_buffer.Caret()), static_cast<LONG>(m_format.top + (row - m_firstRow + 1) * m_lineHeight)};
        ClientToScreen(m_hwnd, &screen);
    }
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    const bool writable = !ReadOnly();
    const bool selected = m_buffer.HasSelection();
    const bool secret = m_passwordChar != 0;
    auto grayed = [](bool enabled) { return static_cast<UINT>(MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED)); };
    // The commands are the messages they send.
    AppendMenu(menu, grayed(writable && m_buffer.CanUndo()), WM_UNDO, "&Undo");
    AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenu(menu, grayed(writable && selected && !secret), WM_CUT, "Cu&t");
    AppendMenu(menu, grayed(selected && !secret), WM_COPY, "&Copy");
    AppendMenu(menu, grayed(writable && IsClipboardFormatAvailable(CF_TEXT)), WM_PASTE, "&Paste");
    AppendMenu(menu, grayed(writable && selected), WM_CLEAR, "&Delete");
    AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
    const bool all = m_buffer.SelStart() == 0 && m_buffer.SelEnd() == m_buffer.Length();
    AppendMenu(menu, grayed(m_buffer.Length() > 0 && !all), EM_SETSEL, "Select &All");
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, screen.x, screen.y, 0, m_hwnd, nullptr));
    DestroyMenu(menu);
    if (!IsWindow(m_hwnd))
        return;
    if (command == EM_SETSEL)
        SendMessage(m_hwnd, EM_SETSEL, 0, -1);
    else if (command)
        SendMessage(m_hwnd, command, 0, 0);
}

// ---- Painting ----

void EditControl::Paint(HDC dc)
{
    EditPaintState state;
    state.buffer = &m_buffer;
    state.layout = &m_layout;
    state.measure = this;
    GetClientRect(m_hwnd, &state.client);
    state.format = m_format;
    if (!MultiLine()) {
        // The one row may show a little taller than the formatting rectangle's fit.
        state.format.bottom = std::max(state.format.bottom, state.client.bottom);
    }
    state.firstRow = m_firstRow;
    state.xOffset = m_xOffset;
    state.lineHeight = m_lineHeight;
    state.align = static_cast<int>(m_style & (ES_CENTER | ES_RIGHT));
    state.showSelection = !m_hideSelection && (m_focused || (m_style & ES_NOHIDESEL));
    state.passwordChar = m_passwordChar;
    state.disabled = !IsWindowEnabled(m_hwnd);
    state.font = ControlFont(m_font);
    if (m_kind == Kind::RichEdit) {
        state.background = m_backgroundBrush ? m_backgroundBrush : GetSysColorBrush(COLOR_WINDOW);
        state.textColor = GetSysColor(COLOR_WINDOWTEXT);
    } else {
        UINT message = (ReadOnly() || state.disabled) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
        state.background = ControlColors(m_hwnd, dc, message);
        state.textColor = GetTextColor(dc);
    }
    m_widest = std::max(m_widest, PaintEdit(dc, state));
}

// ---- Messages ----

LRESULT EditControl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        Relayout();
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hwnd, &ps);
        int widest = m_widest;
        if (dc)
            Paint(dc);
        EndPaint(m_hwnd, &ps);
        if (m_widest != widest)
            UpdateScrollBars();
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;   // painting fills the background itself
    case WM_SIZE:
        Relayout();
        ScrollCaret();
        InvalidateRect(m_hwnd, nullptr, FALSE);
        return 0;
    case WM_STYLECHANGED:
        if (wParam == static_cast<WPARAM>(GWL_STYLE)) {
            const auto* change = reinterpret_cast<const STYLESTRUCT*>(lParam);
            // A bar the change itself adds or takes away is the caller's wish; a bar that only
            // was hidden at the time stays the control's.
            constexpr DWORD kBars = WS_VSCROLL | WS_HSCROLL;
            const DWORD changed = (change->styleOld ^ change->styleNew) & kBars;
            const DWORD bars = (m_style & kBars & ~changed) | (change->styleNew & changed);
            m_style = (change->styleNew & ~kBars) | bars;
            if (m_kind == Kind::RichEdit)
                m_style |= ES_MULTILINE;
            InvalidateRect(m_hwnd, nullptr, FALSE);
        }
        return 0;
    case WM_ENABLE:
        InvalidateRect(m_hwnd, nullptr, FALSE);
        return 0;
    case WM_SETFONT:
        SetFont(reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m_font);
    case WM_SETTEXT:
        SetText(lParam ? reinterpret_cast<LPCSTR>(lParam) : "");
        return TRUE;
    case WM_GETTEXT: {
        auto* out = reinterpret_cast<LPSTR>(lParam);
        if (!out || wParam == 0)
            return 0;
        size_t n = std::min(static_cast<size_t>(wParam) - 1, m_buffer.Text().size());
        std::memcpy(out, m_buffer.Text().data(), n);
        out[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return m_buffer.Length();
    case WM_GETDLGCODE: {
        LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
        if (MultiLine()) {
            code |= DLGC_WANTALLKEYS;
            if (auto* msg = reinterpret_cast<MSG*>(lParam); msg && msg->message == WM_KEYDOWN) {
                // Escape goes to the dialog, Enter too unless the control takes returns, and Tab
                // moves the focus unless Ctrl is held.
                if (msg->wParam == VK_ESCAPE || (msg->wParam == VK_RETURN && !(m_style & ES_WANTRETURN)) ||
                    (msg->wParam == VK_TAB && !KeyDown(VK_CONTROL)))
                    code &= ~DLGC_WANTALLKEYS;
            }
        }
        return code;
    }
    case WM_SETFOCUS:
        m_focused = true;
        CreateCaret(m_hwnd, nullptr, 1, m_lineHeight);
        UpdateCaret();
        ShowCaret(m_hwnd);
        if (m_buffer.HasSelection())
            InvalidateRect(m_hwnd, nullptr, FALSE);
        Notify(EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        m_focused = false;
        m_pendingChar.clear();
        DestroyCaret();
        if (m_buffer.HasSelection())
            InvalidateRect(m_hwnd, nullptr, FALSE);
        Notify(EN_KILLFOCUS);
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wParam));
        return 0;
    case WM_CHAR:
        OnChar(static_cast<UINT>(wParam));
        return 0;
    case WM_LBUTTONDOWN:
        OnMouseDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, (wParam & MK_SHIFT) != 0);
        return 0;
    case WM_LBUTTONDBLCLK:
        OnDoubleClick(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_MOUSEMOVE:
        if (m_tracking)
            OnMouseDrag(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_LBUTTONUP:
        if (m_tracking) {
            m_tracking = false;
            KillTimer(m_hwnd, kDragScrollTimer);
            ReleaseCapture();
        }
        return 0;
    case WM_CAPTURECHANGED:
        m_tracking = false;
        KillTimer(m_hwnd, kDragScrollTimer);
        return 0;
    case WM_RBUTTONDOWN:
        if (GetFocus() != m_hwnd)
            SetFocus(m_hwnd);
        return 0;
    case WM_CONTEXTMENU:
        // The default handling asks for it on the right button's release, the menu key and
        // Shift+F10.
        ContextMenu(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_TIMER:
        if (wParam == kDragScrollTimer) {
            if (m_tracking)
                OnMouseDrag(m_dragPoint);
            else
                KillTimer(m_hwnd, kDragScrollTimer);
            return 0;
        }
        return DefWindowProc(m_hwnd, message, wParam, lParam);
    case WM_MOUSEWHEEL:
        if (MultiLine()) {
            int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
            ScrollTo(m_firstRow - 3 * notches, m_xOffset, EN_VSCROLL);
            return 0;
        }
        return DefWindowProc(m_hwnd, message, wParam, lParam);
    case WM_VSCROLL:
    case WM_HSCROLL:
        OnScroll(message == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wParam));
        return 0;
    case WM_CUT:
        Cut();
        return 0;
    case WM_COPY:
        Copy();
        return 0;
    case WM_PASTE:
        Paste();
        return 0;
    case WM_CLEAR:
        Clear();
        return 0;
    case WM_UNDO:
    case EM_UNDO:
        if (ReadOnly() || !m_buffer.CanUndo())
            return FALSE;
        DoUndo();
        return TRUE;

    // ---- EM_ messages ----
    case EM_GETSEL: {
        auto start = static_cast<DWORD>(m_buffer.SelStart());
        auto end = static_cast<DWORD>(m_buffer.SelEnd());
        if (wParam)
            *reinterpret_cast<DWORD*>(wParam) = start;
        if (lParam)
            *reinterpret_cast<DWORD*>(lParam) = end;
        // Positions past a word's reach are given only through the pointers.
        if (start > 0xFFFF || end > 0xFFFF)
            return -1;
        return MAKELONG(start, end);
    }
    case EM_SETSEL: {
        auto start = static_cast<int>(static_cast<LONG>(wParam));
        auto end = static_cast<int>(static_cast<LONG>(lParam));
        int oldStart = m_buffer.SelStart();
        int oldEnd = m_buffer.SelEnd();
        if (start == -1)
            m_buffer.SetSel(m_buffer.Caret(), m_buffer.Caret());
        else
            m_buffer.SetSel(start < 0 ? m_buffer.Length() : start, end < 0 ? m_buffer.Length() : end);
        m_desiredX = -1;
        InvalidateSelectionChange(oldStart, oldEnd);
        UpdateCaret();
        return 0;
    }
    case EM_REPLACESEL: {
        std::string_view text = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
        Replace(text, UndoMerge::Separate, Origin::Program);
        if (!wParam)
            m_buffer.EmptyUndo();
        return 0;
    }
    case EM_LIMITTEXT:
        m_buffer.SetLimit(static_cast<int>(std::min<WPARAM>(wParam, EditBuffer::kMaxLimit)));
        return 0;
    case EM_GETLIMITTEXT:
        return m_buffer.Limit();
    case EM_GETLINECOUNT:
        return m_layout.RowCount();
    case EM_LINEINDEX: {
        int line = static_cast<int>(static_cast<LONG>(wParam));
        if (line < 0)
            line = m_layout.RowOf(m_buffer.Caret());
        if (line >= m_layout.RowCount())
            return -1;
        return m_layout.RowStart(line);
    }
    case EM_LINELENGTH: {
        int index = static_cast<int>(static_cast<LONG>(wParam));
        if (index < 0) {
            // The characters left unselected on the lines the selection touches.
            int first = m_layout.RowOf(m_buffer.SelStart());
            int last = m_layout.RowOf(m_buffer.SelEnd());
            return (m_buffer.SelStart() - m_layout.RowStart(first)) + (m_layout.RowEnd(last) - m_buffer.SelEnd());
        }
        int row = m_layout.RowOf(std::min(index, m_buffer.Length()));
        return m_layout.RowEnd(row) - m_layout.RowStart(row);
    }
    case EM_GETLINE: {
        auto* out = reinterpret_cast<char*>(lParam);
        if (!out)
            return 0;
        WORD room;
        std::memcpy(&room, out, sizeof(room));
        int line = MultiLine() ? static_cast<int>(wParam) : 0;
        if (line < 0 || line >= m_layout.RowCount())
            return 0;
        int start = m_layout.RowStart(line);
        int count = std::min<int>(room, m_layout.RowEnd(line) - start);
        std::memcpy(out, m_buffer.Text().data() + start, static_cast<size_t>(count));
        return count;
    }
    case EM_LINEFROMCHAR: {
        int index = static_cast<int>(static_cast<LONG>(wParam));
        return m_layout.RowOf(index < 0 ? m_buffer.SelStart() : std::min(index, m_buffer.Length()));
    }
    case EM_SCROLLCARET:
        ScrollCaret();
        return TRUE;
    case EM_LINESCROLL:
        if (!MultiLine())
            return FALSE;
    {
        // Any count the caller sends stays within the text (no overflow on the way).
        auto clampInt = [](long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN / 2, INT_MAX / 2)); };
        ScrollTo(clampInt(static_cast<long long>(m_firstRow) + static_cast<LONG>(lParam)),
                 clampInt(static_cast<long long>(m_xOffset) + static_cast<long long>(static_cast<LONG>(wParam)) * m_charWidth), 0);
        return TRUE;
    }
    case EM_SCROLL: {
        if (!MultiLine())
            return FALSE;
        int before = m_firstRow;
        int page = VisibleRows();
        int first = m_firstRow;
        switch (wParam) {
        case SB_LINEUP: first -= 1; break;
        case SB_LINEDOWN: first += 1; break;
        case SB_PAGEUP: first -= page; break;
        case SB_PAGEDOWN: first += page; break;
        default: return FALSE;
        }
        ScrollTo(first, m_xOffset, 0);
        return MAKELONG(static_cast<WORD>(static_cast<short>(m_firstRow - before)), TRUE);
    }
    case EM_GETFIRSTVISIBLELINE:
        if (MultiLine())
            return m_firstRow;
        return CharFromPoint(POINT{m_format.left, m_format.top});
    case EM_GETTHUMB:
        return MultiLine() ? m_firstRow : 0;
    case EM_SETTABSTOPS: {
        m_tabStops.clear();
        auto* stops = reinterpret_cast<const INT*>(lParam);
        // Tab stops come in dialog units: a quarter of the average character width.
        for (WPARAM i = 0; stops && i < wParam; ++i) {
            int stop = std::clamp(stops[i], 0, 0x7FFF) * m_charWidth / 4;
            // Stops run left to right; one that does not is left out rather than drawn backwards.
            if (stop > 0 && (m_tabStops.empty() || stop > m_tabStops.back()))
                m_tabStops.push_back(stop);
        }
        Relayout();
        InvalidateRect(m_hwnd, nullptr, FALSE);
        return TRUE;
    }
    case EM_CANUNDO:
        return m_buffer.CanUndo() ? TRUE : FALSE;
    case EM_EMPTYUNDOBUFFER:
        m_buffer.EmptyUndo();
        return 0;
    case EM_GETMODIFY:
        return m_buffer.Modified() ? TRUE : FALSE;
    case EM_SETMODIFY:
        m_buffer.SetModified(wParam != 0);
        return 0;
    case EM_SETREADONLY: {
        LONG style = GetWindowLong(m_hwnd, GWL_STYLE);
        style = wParam ? (style | ES_READONLY) : (style & ~ES_READONLY);
        SetWindowLong(m_hwnd, GWL_STYLE, style);
        m_style = wParam ? (m_style | ES_READONLY) : (m_style & ~static_cast<DWORD>(ES_READONLY));
        InvalidateRect(m_hwnd, nullptr, FALSE);
        return TRUE;
    }
    case EM_SETPASSWORDCHAR:
        if (MultiLine())
            return 0;
        m_passwordChar = static_cast<char>(wParam);
        {
            LONG style = GetWindowLong(m_hwnd, GWL_STYLE);
            SetWindowLong(m_hwnd, GWL_STYLE, m_passwordChar ? (style | ES_PASSWORD) : (style & ~ES_PASSWORD));
            m_style = m_passwordChar ? (m_style | ES_PASSWORD) : (m_style & ~static_cast<DWORD>(ES_PASSWORD));
        }
        Relayout();
        InvalidateRect(m_hwnd, nullptr, FALSE);
        return 0;
    case EM_GETPASSWORDCHAR:
        return static_cast<unsigned char>(m_passwordChar);
    case EM_GETRECT:
        if (lParam)
            *reinterpret_cast<RECT*>(lParam) = m_format;
        return 0;
    case EM_SETRECT:
    case EM_SETRECTNP:
        if (lParam) {
            // Kept to coordinates a window can have, so that widths cannot overflow.
            const RECT& r = *reinterpret_cast<const RECT*>(lParam);
            auto coord = [](LONG v) { return std::clamp<LONG>(v, -0x8000, 0x7FFF); };
            m_format = RECT{coord(r.left), coord(r.top), coord(r.right), coord(r.bottom)};
            m_formatSet = true;
        } else {
            m_formatSet = false;
        }
        Relayout();
        if (message == EM_SETRECT)
            InvalidateRect(m_hwnd, nullptr, FALSE);
        return 0;
    case EM_SETMARGINS: {
        int left = LOWORD(lParam) == EC_USEFONTINFO ? m_charWidth / 2 : LOWORD(lParam);
        int right = HIWORD(lParam) == EC_USEFONTINFO ? m_charWidth / 2 : HIWORD(lParam);
        if (wParam & EC_USEFONTINFO) {
            left = right = m_charWidth / 2;
            wParam |= EC_LEFTMARGIN | EC_RIGHTMARGIN;
        }
        if (wParam & EC_LEFTMARGIN)
            m_leftMargin = left;
        if (wParam & EC_RIGHTMARGIN)
            m_rightMargin = right;
        m_formatSet = false;
        Relayout();
        InvalidateRect(m_hwnd, nullptr, FALSE);
        return 0;
    }
    case EM_GETMARGINS:
        return MAKELONG(m_leftMargin, m_rightMargin);
    case EM_POSFROMCHAR: {
        // An edit answers only for its characters; the rich edit also for the end of the text.
        auto index = static_cast<int>(static_cast<LONG>(wParam));
        const int last = m_kind == Kind::RichEdit ? m_buffer.Length() : m_buffer.Length() - 1;
        if (index < 0 || index > last)
            return -1;
        POINT pt = PosFromChar(index);
        return MAKELONG(static_cast<WORD>(static_cast<short>(pt.x)), static_cast<WORD>(static_cast<short>(pt.y)));
    }
    case EM_CHARFROMPOS: {
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        int pos = CharFromPoint(pt);
        return MAKELONG(static_cast<WORD>(std::min(pos, 0xFFFF)), static_cast<WORD>(std::min(m_layout.RowOf(pos), 0xFFFF)));
    }
    default:
        return DefWindowProc(m_hwnd, message, wParam, lParam);
    }
}

LRESULT EditControl::OnRichEditMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    handled = true;
    switch (message) {
    case EM_EXGETSEL:
        if (auto* range = reinterpret_cast<CHARRANGE*>(lParam)) {
            range->cpMin = m_buffer.SelStart();
            range->cpMax = m_buffer.SelEnd();
        }
        return 0;
    case EM_EXSETSEL: {
        auto* range = reinterpret_cast<const CHARRANGE*>(lParam);
        if (!range)
            return m_buffer.SelEnd();
        // (0, -1) selects everything; a negative start removes the selection.
        if (range->cpMin < 0)
            return OnMessage(EM_SETSEL, static_cast<WPARAM>(-1), 0), m_buffer.SelEnd();
        OnMessage(EM_SETSEL, static_cast<WPARAM>(range->cpMin), static_cast<LPARAM>(range->cpMax));
        return m_buffer.SelEnd();
    }
    case EM_EXLIMITTEXT:
        m_buffer.SetLimit(lParam <= 0 ? 0x10000 : static_cast<int>(std::min<LPARAM>(lParam, EditBuffer::kMaxLimit)));
        return 0;
    case EM_EXLINEFROMCHAR:
        return OnMessage(EM_LINEFROMCHAR, static_cast<WPARAM>(lParam), 0);
    case EM_HIDESELECTION:
        m_hideSelection = wParam != 0;
        InvalidateRect(m_hwnd, nullptr, FALSE);
        return 0;
    case EM_SETBKGNDCOLOR: {
        COLORREF old = m_hasBackground ? m_background : GetSysColor(COLOR_WINDOW);
        if (m_backgroundBrush)
            DeleteObject(m_backgroundBrush);
        m_backgroundBrush = nullptr;
        m_hasBackground = wParam == 0;
        if (m_hasBackground) {
            m_background = static_cast<COLORREF>(lParam);
            m_backgroundBrush = CreateSolidBrush(m_background);
        }
        InvalidateRect(m_hwnd, nullptr, FALSE);
        return static_cast<LRESULT>(old);
    }
    case EM_SETEVENTMASK: {
        DWORD old = m_eventMask;
        m_eventMask = static_cast<DWORD>(lParam);
        return static_cast<LRESULT>(old);
    }
    case EM_GETEVENTMASK:
        return static_cast<LRESULT>(m_eventMask);
    default:
        handled = false;
        return 0;
    }
}
