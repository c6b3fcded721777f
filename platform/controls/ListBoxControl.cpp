#include "platform/controls/ListBoxControl.h"

#include "platform/controls/ControlSupport.h"
#include "platform/controls/ListBoxPainter.h"
#include "platform/core/CRect.h"
#include "platform/core/TickCount.h"
#include "platform/win/Gdi.h"
#include "platform/win/Keyboard.h"
#include "platform/win/ScrollBar.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

namespace {

// The largest width, extent or stop taken from a caller: pixel arithmetic stays in range.
constexpr int kMaxExtent = 0x7FFF;

// Typed letters within this many milliseconds of each other search as one prefix.
constexpr DWORD kPrefixTimeout = 1000;

ListSelection SelectionOf(DWORD style)
{
    if (style & LBS_NOSEL)
        return ListSelection::None;
    if (style & LBS_EXTENDEDSEL)
        return ListSelection::Extended;
    if (style & LBS_MULTIPLESEL)
        return ListSelection::Multiple;
    return ListSelection::Single;
}

} // namespace

ListBoxControl::ListBoxControl(HWND hwnd, const CREATESTRUCT& cs)
    : m_hwnd(hwnd), m_style(static_cast<DWORD>(cs.style)), m_model(SelectionOf(static_cast<DWORD>(cs.style)))
{
    m_notify = m_owner = GetParent(hwnd);
    m_item = hwnd;
    // A list made without redrawing stays so until WM_SETREDRAW turns it on.
    m_redraw = !(m_style & LBS_NOREDRAW);
    if ((m_style & LBS_COMBOBOX) && cs.lpCreateParams) {
        const auto* combo = static_cast<const ComboListOwner*>(cs.lpCreateParams);
        SetOwnerInfo(combo->notify, combo->owner, combo->item, combo->ctlType);
    }
    SetFont(nullptr, false);
}

LRESULT CALLBACK ListBoxControl::WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = ControlStateOf<ListBoxControl>(hwnd);
    if (message == WM_NCCREATE && !self) {
        auto* cs = reinterpret_cast<CREATESTRUCT*>(lParam);
        if (!cs)
            return FALSE;
        // A dropped combo list keeps its flat frame; a list of its own gets the sunken edge.
        if (!(cs->style & LBS_COMBOBOX))
            UseClientEdgeForBorder(hwnd);
        CREATESTRUCT styled = *cs;
        styled.style = GetWindowLong(hwnd, GWL_STYLE);
        try {
            AttachControlState(hwnd, new ListBoxControl(hwnd, styled));
        } catch (const std::bad_alloc&) {
            return FALSE;
        }
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    if (!self)
        return DefWindowProc(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        for (int i = 0; i < self->m_model.Count(); ++i)
            self->DeleteNotify(i);
        OrphanControlState(hwnd, self);
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    ControlCallGuard<ListBoxControl> guard(self);
    try {
        return self->OnMessage(message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        self->Notify(static_cast<UINT>(LBN_ERRSPACE));
        return LB_ERRSPACE;
    }
}

void ListBoxControl::SetOwnerInfo(HWND notify, HWND owner, HWND item, UINT ctlType)
{
    m_notify = notify;
    m_owner = owner;
    m_item = item;
    m_ctlType = ctlType;
}

bool ListBoxControl::HasStrings() const
{
    return !OwnerDrawn() || (m_style & LBS_HASSTRINGS);
}

void ListBoxControl::Notify(UINT code)
{
    if (!m_notify)
        return;
    SendMessage(m_notify, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(m_hwnd), code), reinterpret_cast<LPARAM>(m_hwnd));
}

void ListBoxControl::SelectionChanged(bool changed)
{
    if (changed && (m_style & LBS_NOTIFY))
        Notify(LBN_SELCHANGE);
}

ListModifiers ListBoxControl::Modifiers() const
{
    return ListModifiers{GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0};
}

// ---- Items ----

ListItem ListBoxControl::MakeItem(int index, LPARAM lParam)
{
    ListItem item;
    if (HasStrings())
        item.text = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
    else
        item.data = static_cast<ULONG_PTR>(lParam);
    item.height = m_itemHeight;
    if (Variable()) {
        MEASUREITEMSTRUCT mis{m_ctlType, static_cast<UINT>(GetDlgCtrlID(m_item)), static_cast<UINT>(index), 0,
                              static_cast<UINT>(m_itemHeight), item.data};
        SendMessage(m_owner, WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
        item.height = std::max(1, static_cast<int>(mis.itemHeight));
    }
    return item;
}

int ListBoxControl::CompareItems(const ListItem& a, const ListItem& b)
{
    if (HasStrings())
        return CompareListText(a.text, b.text);
    // Items without text are put in order by their owner.
    COMPAREITEMSTRUCT cis{m_ctlType, static_cast<UINT>(GetDlgCtrlID(m_item)), m_item, static_cast<UINT>(-1), a.data,
                          static_cast<UINT>(-1), b.data, 0};
    return static_cast<int>(SendMessage(m_owner, WM_COMPAREITEM, cis.CtlID, reinterpret_cast<LPARAM>(&cis)));
}

LRESULT ListBoxControl::AddItem(LPARAM lParam)
{
    ListItem item = MakeItem(m_model.Count(), lParam);
    int index;
    if (m_style & LBS_SORT)
        index = m_model.Add(std::move(item), [this](const ListItem& a, const ListItem& b) { return CompareItems(a, b); });
    else
        index = m_model.Add(std::move(item));
    Added(index);
    return index;
}

LRESULT ListBoxControl::InsertItem(int index, LPARAM lParam)
{
    if (index > m_model.Count())
        return LB_ERR;
    int at = m_model.Insert(index, MakeItem(index < 0 ? m_model.Count() : index, lParam));
    Added(at);
    return at;
}

void ListBoxControl::DeleteNotify(int index)
{
    const ListItem& item = m_model.Item(index);
    // The owner hears of every item that carried data of its own, so that it can free it.
    if (!item.data || !m_owner || !IsWindow(m_owner))
        return;
    DELETEITEMSTRUCT dis{m_ctlType, static_cast<UINT>(GetDlgCtrlID(m_item)), static_cast<UINT>(index), m_item, item.data};
    SendMessage(m_owner, WM_DELETEITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
}

// ---- Geometry ----

RECT ListBoxControl::Client() const
{
    RECT r;
    GetClientRect(m_hwnd, &r);
    return r;
}

int ListBoxControl::ItemHeight(int index) const
{
    if (Variable() && m_model.Valid(index))
        return m_model.Item(index).height;
    return m_itemHeight;
}

int ListBoxControl::HeightOfRows(int rows) const
{
    if (!Variable())
        return std::max(1, std::min(rows, std::max(1, m_model.Count()))) * m_itemHeight;
    int height = 0;
    for (int i = 0; i < std::min(rows, m_model.Count()); ++i)
        height += m_model.Item(i).height;
    return std::max(height, m_itemHeight);
}

int ListBoxControl::RowsPerColumn() const
{
    return std::max(1, static_cast<int>(Client().bottom / std::max(1, m_itemHeight)));
}

int ListBoxControl::VisibleCount() const
{
    RECT client = Client();
    if (MultiColumn())
        return RowsPerColumn() * std::max(1, static_cast<int>(client.right / std::max(1, m_columnWidth)));
    if (!Variable())
        return std::max(1, static_cast<int>(client.bottom / std::max(1, m_itemHeight)));
    int y = 0;
    int n = 0;
    for (int i = m_model.TopIndex(); i < m_model.Count(); ++i) {
        y += m_model.Item(i).height;
        if (y > client.bottom)
            break;
        ++n;
    }
    return std::max(1, n);
}

RECT ListBoxControl::ItemRect(int index) const
{
    RECT client = Client();
    const int top = m_model.TopIndex();
    if (MultiColumn()) {
        int rows = RowsPerColumn();
        int rel = index - top;
        int col = rel >= 0 ? rel / rows : -((-rel + rows - 1) / rows);
        int row = rel - col * rows;
        // A far column of wide columns lies past any screen; its place is kept within range.
        auto x = [this](long long column) {
            return static_cast<LONG>(std::clamp<long long>(column * m_columnWidth, INT_MIN / 2, INT_MAX / 2));
        };
        return RECT{x(col), row * m_itemHeight, x(static_cast<long long>(col) + 1), (row + 1) * m_itemHeight};
    }
    int y = 0;
    if (!Variable()) {
        y = (index - top) * m_itemHeight;
    } else if (index >= top) {
        for (int i = top; i < index; ++i)
            y += m_model.Item(i).height;
    } else {
        for (int i = index; i < top; ++i)
            y -= m_model.Item(i).height;
    }
    return RECT{0, y, client.right, y + ItemHeight(index)};
}

int ListBoxControl::ItemAt(POINT pt) const
{
    RECT client = Client();
    if (pt.x < 0 || pt.y < 0 || pt.x >= client.right || pt.y >= client.bottom)
        return -1;
    const int top = m_model.TopIndex();
    int index;
    if (MultiColumn()) {
        index = top + (pt.x / std::max(1, m_columnWidth)) * RowsPerColumn() + pt.y / std::max(1, m_itemHeight);
    } else if (!Variable()) {
        index = top + pt.y / std::max(1, m_itemHeight);
    } else {
        int y = 0;
        index = top;
        while (index < m_model.Count() && y + m_model.Item(index).height <= pt.y)
            y += m_model.Item(index++).height;
    }
    return index < m_model.Count() ? index : -1;
}

int ListBoxControl::MaxTop() const
{
    const int count = m_model.Count();
    if (count == 0)
        return 0;
    if (MultiColumn()) {
        int rows = RowsPerColumn();
        int columns = (count + rows - 1) / rows;
        int shown = std::max(1, static_cast<int>(Client().right / std::max(1, m_columnWidth)));
        return std::max(0, columns - shown) * rows;
    }
    if (!Variable())
        return std::max(0, count - VisibleCount());
    int y = 0;
    int bottom = Client().bottom;
    int index = count;
    while (index > 0 && y + m_model.Item(index - 1).height <= bottom)
        y += m_model.Item(--index).height;
    return std::min(index, count - 1);
}

void ListBoxControl::SetTop(int top)
{
    top = std::clamp(top, 0, MaxTop());
    if (MultiColumn())
        top -= top % RowsPerColumn();
    if (top == m_model.TopIndex())
        return;
    m_model.SetTopIndex(top);
    if (m_redraw)
        InvalidateRect(m_hwnd, nullptr, TRUE);
    UpdateScrollBars();
}

void ListBoxControl::EnsureVisible(int index)
{
    if (!m_model.Valid(index))
        return;
    const int top = m_model.TopIndex();
    if (index < top) {
        SetTop(index);
        return;
    }
    if (MultiColumn()) {
        int rows = RowsPerColumn();
        int shown = std::max(1, static_cast<int>(Client().right / std::max(1, m_columnWidth)));
        int col = (index - top) / rows;
        if (col >= shown)
            SetTop(top + (col - shown + 1) * rows);
        return;
    }
    if (!Variable()) {
        int visible = VisibleCount();
        if (index >= top + visible)
            SetTop(index - visible + 1);
        return;
    }
    RECT r = ItemRect(index);
    int bottom = Client().bottom;
    if (r.bottom <= bottom)
        return;
    int newTop = index;
    int y = m_model.Item(index).height;
    while (newTop > 0 && y + m_model.Item(newTop - 1).height <= bottom)
        y += m_model.Item(--newTop).height;
    SetTop(newTop);
}

void ListBoxControl::UpdateScrollBars()
{
    if (!m_redraw)
        return;
    m_scrollDirty = false;
    const int count = m_model.Count();
    const UINT disable = (m_style & LBS_DISABLENOSCROLL) ? SIF_DISABLENOSCROLL : 0;
    if (MultiColumn()) {
        if (!(m_style & WS_HSCROLL))
            return;
        int rows = RowsPerColumn();
        int columns = (count + rows - 1) / rows;
        int shown = std::max(1, static_cast<int>(Client().right / std::max(1, m_columnWidth)));
        SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS | disable, 0, std::max(0, columns - 1),
                      static_cast<UINT>(shown), m_model.TopIndex() / rows, 0};
        if (std::memcmp(&si, &m_lastH, sizeof si) != 0) {
            SetScrollInfo(m_hwnd, SB_HORZ, &si, TRUE);
            m_lastH = si;
        }
        return;
    }
    if (m_style & WS_VSCROLL) {
        SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS | disable, 0, std::max(0, count - 1),
                      static_cast<UINT>(VisibleCount()), m_model.TopIndex(), 0};
        if (std::memcmp(&si, &m_lastV, sizeof si) != 0) {
            SetScrollInfo(m_hwnd, SB_VERT, &si, TRUE);
            m_lastV = si;
        }
    }
    if (m_style & WS_HSCROLL) {
        int width = std::max(1, static_cast<int>(Client().right));
        SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS | disable, 0, std::max(0, m_horizontalExtent - 1),
                      static_cast<UINT>(width), m_xOffset, 0};
        if (std::memcmp(&si, &m_lastH, sizeof si) != 0) {
            SetScrollInfo(m_hwnd, SB_HORZ, &si, TRUE);
            m_lastH = si;
        }
    }
}

void ListBoxControl::Added(int index)
{
    if (!m_redraw) {
        m_scrollDirty = true;
        return;
    }
    // While a bar may still appear (and take room from the items) it follows at once, so that
    // the items' places never depend on whether a paint came between.
    if (MultiColumn() || m_model.Count() <= VisibleCount() + 1)
        UpdateScrollBars();
    const int top = m_model.TopIndex();
    if (index <= top + VisibleCount()) {
        Changed();
        return;
    }
    if (m_scrollDirty)
        return;   // a paint is on its way and brings the bars up to date
    m_scrollDirty = true;
    RECT client = Client();
    RECT line{0, std::max<LONG>(0, client.bottom - 1), client.right, client.bottom};
    InvalidateRect(m_hwnd, &line, TRUE);
}

void ListBoxControl::Changed()
{
    m_scrollDirty = true;
    if (m_redraw)
        InvalidateRect(m_hwnd, nullptr, TRUE);
}

void ListBoxControl::AdjustIntegralHeight()
{
    // A dropped combo list is sized by its combo box.
    if ((m_style & (LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWVARIABLE)) || ((m_style & LBS_COMBOBOX) && (m_style & WS_POPUP)) ||
        m_sizing)
        return;
    RECT window;
    GetWindowRect(m_hwnd, &window);
    const int height = window.bottom - window.top;
    if (m_requestedHeight <= 0)
        m_requestedHeight = height;
    // The list shows whole items only: it gives up the part of an item at its bottom, counted
    // from the height it was given, so that a new font finds the same room.
    const int frame = height - Client().bottom;
    const int room = m_requestedHeight - frame;
    if (room < m_itemHeight)
        return;
    const int wanted = m_requestedHeight - room % std::max(1, m_itemHeight);
    if (wanted == height)
        return;
    m_sizing = true;
    m_appliedHeight = wanted;
    SetWindowPos(m_hwnd, nullptr, 0, 0, window.right - window.left, wanted, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_sizing = false;
}

void ListBoxControl::OnScroll(int bar, int code)
{
    const bool columns = MultiColumn();
    if (bar == SB_VERT && !columns) {
        int top = m_model.TopIndex();
        int page = std::max(1, VisibleCount() - 1);
        switch (code) {
        case SB_LINEUP: --top; break;
        case SB_LINEDOWN: ++top; break;
        case SB_PAGEUP: top -= page; break;
        case SB_PAGEDOWN: top += page; break;
        case SB_TOP: top = 0; break;
        case SB_BOTTOM: top = m_model.Count(); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            top = ScrollTrackPos(m_hwnd, SB_VERT);
            break;
        default: return;
        }
        SetTop(top);
        return;
    }
    if (bar != SB_HORZ)
        return;
    if (columns) {
        int rows = RowsPerColumn();
        int top = m_model.TopIndex();
        switch (code) {
        case SB_LINELEFT: top -= rows; break;
        case SB_LINERIGHT: top += rows; break;
        case SB_PAGELEFT: top -= rows * std::max(1, static_cast<int>(Client().right / std::max(1, m_columnWidth))); break;
        case SB_PAGERIGHT: top += rows * std::max(1, static_cast<int>(Client().right / std::max(1, m_columnWidth))); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            top = ScrollTrackPos(m_hwnd, SB_HORZ) * rows;
            break;
        default: return;
        }
        SetTop(top);
        return;
    }
    int x = m_xOffset;
    switch (code) {
    case SB_LINELEFT: x -= m_charWidth; break;
    case SB_LINERIGHT: x += m_charWidth; break;
    case SB_PAGELEFT: x -= Client().right; break;
    case SB_PAGERIGHT: x += Client().right; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        x = ScrollTrackPos(m_hwnd, SB_HORZ);
        break;
    default: return;
    }
    x = std::clamp(x, 0, std::max(0, m_horizontalExtent - static_cast<int>(Client().right)));
    if (x != m_xOffset) {
        m_xOffset = x;
        InvalidateRect(m_hwnd, nullptr, TRUE);
        UpdateScrollBars();
    }
}

// ---- Input ----

void ListBoxControl::MoveCaret(int index, ListModifiers mods)
{
    if (!m_model.Count())
        return;
    index = std::clamp(index, 0, m_model.Count() - 1);
    bool changed = m_model.KeyMove(index, mods);
    EnsureVisible(index);
    InvalidateRect(m_hwnd, nullptr, TRUE);
    SelectionChanged(changed);
}

void ListBoxControl::OnKeyDown(UINT vk)
{
    if (m_style & LBS_WANTKEYBOARDINPUT) {
        // The owner may take the key, or name the item it should go to.
        LRESULT answer = SendMessage(m_owner, WM_VKEYTOITEM, MAKEWPARAM(vk, std::max(0, m_model.Caret())),
                                     reinterpret_cast<LPARAM>(m_hwnd));
        if (answer == -2)
            return;
        if (answer >= 0) {
            MoveCaret(static_cast<int>(answer), {});
            return;
        }
    }
    const ListModifiers mods = Modifiers();
    const int caret = m_model.Caret();
    const int count = m_model.Count();
    if (count == 0)
        return;
    const int rows = MultiColumn() ? RowsPerColumn() : 1;
    const int page = MultiColumn() ? VisibleCount() : std::max(1, VisibleCount() - 1);
    int target;
    switch (vk) {
    case VK_UP: target = caret < 0 ? 0 : caret - 1; break;
    case VK_DOWN: target = caret < 0 ? 0 : caret + 1; break;
    case VK_LEFT: target = caret < 0 ? 0 : caret - rows; break;
    case VK_RIGHT: target = caret < 0 ? 0 : caret + rows; break;
    case VK_PRIOR: target = caret - page; break;
    case VK_NEXT: target = caret < 0 ? page : caret + page; break;
    case VK_HOME: target = 0; break;
    case VK_END: target = count - 1; break;
    case VK_SPACE:
        if (m_model.Mode() == ListSelection::Multiple || m_model.Mode() == ListSelection::Extended) {
            bool changed = m_model.Space(mods);
            InvalidateRect(m_hwnd, nullptr, TRUE);
            SelectionChanged(changed);
        }
        return;
    default:
        return;
    }
    MoveCaret(target, mods);
}

void ListBoxControl::OnChar(UINT ch)
{
    if (!HasStrings()) {
        if (!(m_style & LBS_WANTKEYBOARDINPUT))
            return;
        LRESULT answer = SendMessage(m_owner, WM_CHARTOITEM, MAKEWPARAM(ch, std::max(0, m_model.Caret())),
                                     reinterpret_cast<LPARAM>(m_hwnd));
        if (answer >= 0)
            MoveCaret(static_cast<int>(answer), {});
        return;
    }
    if (ch < 0x20 || (ch == ' ' && m_model.Mode() != ListSelection::Single))
        return;
    // Letters typed in quick succession spell a prefix to look for; a letter typed alone
    // steps to the next item that begins with it.
    DWORD now = GetTickCount();
    if (now - m_prefixTime > kPrefixTimeout)
        m_prefix.clear();
    m_prefixTime = now;
    m_prefix.push_back(static_cast<char>(ch));
    int caret = m_model.Caret();
    int start = m_prefix.size() == 1 ? caret : caret - 1;
    int found = m_model.Find(start, m_prefix, false);
    if (found < 0 && m_prefix.size() > 1) {
        m_prefix.assign(1, static_cast<char>(ch));
        found = m_model.Find(caret, m_prefix, false);
    }
    if (found >= 0)
        MoveCaret(found, {});
}

// ---- Painting ----

void ListBoxControl::Paint(HDC dc)
{
    RECT client = Client();
    HBRUSH background = ControlColors(m_hwnd, dc, WM_CTLCOLORLISTBOX);
    COLORREF textColor = GetTextColor(dc);
    RECT clip;
    GetClipBox(dc, &clip);
    SelectObject(dc, ControlFont(m_font));
    const bool disabled = !IsWindowEnabled(m_hwnd);
    const UINT ctlId = static_cast<UINT>(GetDlgCtrlID(m_item));
    RECT covered{0, 0, 0, 0};
    for (int i = m_model.TopIndex(); i < m_model.Count(); ++i) {
        RECT r = ItemRect(i);
        if (MultiColumn() ? r.left >= client.right : r.top >= client.bottom)
            break;
        UnionRect(&covered, &covered, &r);
        RECT hit;
        if (!IntersectRect(&hit, &r, &clip))
            continue;
        const ListItem& item = m_model.Item(i);
        const bool focused = m_focused && i == m_model.Caret();
        if (OwnerDrawn()) {
            DRAWITEMSTRUCT dis{m_ctlType, ctlId, static_cast<UINT>(i), ODA_DRAWENTIRE, 0, m_item, dc, r, item.data};
            if (item.selected)
                dis.itemState |= ODS_SELECTED;
            if (focused)
                dis.itemState |= ODS_FOCUS;
            if (disabled)
                dis.itemState |= ODS_DISABLED;
            int saved = SaveDC(dc);
            SendMessage(m_owner, WM_DRAWITEM, ctlId, reinterpret_cast<LPARAM>(&dis));
            RestoreDC(dc, saved);
            continue;
        }
        ListItemLook look;
        look.selected = item.selected;
        look.focused = focused;
        look.disabled = disabled;
        look.useTabStops = (m_style & LBS_USETABSTOPS) != 0;
        look.tabStops = &m_tabStops;
        look.xOffset = m_xOffset;
        look.background = background;
        look.textColor = textColor;
        PaintListItem(dc, r, item, look);
    }
    // The rest of the client area below or beside the items.
    RECT rest = client;
    if (MultiColumn()) {
        HRGN region = CreateRectRgnIndirect(&client);
        for (int i = m_model.TopIndex(); i < m_model.Count(); ++i) {
            RECT r = ItemRect(i);
            if (r.left >= client.right)
                break;
            HRGN item = CreateRectRgnIndirect(&r);
            CombineRgn(region, region, item, RGN_DIFF);
            DeleteObject(item);
        }
        FillRgn(dc, region, background);
        DeleteObject(region);
        return;
    }
    rest.top = std::max(client.top, covered.bottom);
    if (rest.top < rest.bottom)
        FillRect(dc, &rest, background);
    if (m_focused && m_model.Count() == 0 && m_model.Mode() != ListSelection::None) {
        RECT first{0, 0, client.right, m_itemHeight};
        DrawFocusRect(dc, &first);
    }
}

void ListBoxControl::SetFont(HFONT font, bool redraw)
{
    m_font = font;
    HDC dc = GetDC(m_hwnd);
    SelectObject(dc, ControlFont(font));
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    ReleaseDC(m_hwnd, dc);
    if (!(m_style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)))
        m_itemHeight = std::max(1, static_cast<int>(tm.tmHeight));
    m_charWidth = std::max(1, static_cast<int>(tm.tmAveCharWidth));
    if (m_columnWidth == 0 || !font)
        m_columnWidth = 15 * m_charWidth;
    AdjustIntegralHeight();
    UpdateScrollBars();
    if (redraw)
        InvalidateRect(m_hwnd, nullptr, TRUE);
}

void ListBoxControl::Select(int index)
{
    if (m_model.Mode() == ListSelection::Single)
        m_model.SetCurSel(index);
    else if (m_model.Valid(index))
        m_model.SetCaret(index);
    EnsureVisible(index);
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

// ---- Messages ----

LRESULT ListBoxControl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    const int index = static_cast<int>(static_cast<LONG>(wParam));
    switch (message) {
    case WM_CREATE:
        if (m_style & LBS_OWNERDRAWFIXED) {
            // One measurement serves every item of a fixed-height owner-drawn list.
            MEASUREITEMSTRUCT mis{m_ctlType, static_cast<UINT>(GetDlgCtrlID(m_item)), 0, 0,
                                  static_cast<UINT>(m_itemHeight), 0};
            SendMessage(m_owner, WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
            m_itemHeight = std::max(1, static_cast<int>(mis.itemHeight));
        }
        AdjustIntegralHeight();
        UpdateScrollBars();
        return 0;
    case WM_SIZE:
        if (!m_sizing) {
            RECT window;
            GetWindowRect(m_hwnd, &window);
            if (window.bottom - window.top != m_appliedHeight)
                m_requestedHeight = window.bottom - window.top;
        }
        AdjustIntegralHeight();
        SetTop(m_model.TopIndex());
        m_lastV = m_lastH = SCROLLINFO{};
        UpdateScrollBars();
        InvalidateRect(m_hwnd, nullptr, TRUE);
        return 0;
    case WM_PAINT: {
        if (m_scrollDirty)
            UpdateScrollBars();
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hwnd, &ps);
        if (dc)
            Paint(dc);
        EndPaint(m_hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_SETREDRAW:
        m_redraw = wParam != 0;
        if (m_redraw) {
            UpdateScrollBars();
            InvalidateRect(m_hwnd, nullptr, TRUE);
        }
        return 0;
    case WM_STYLECHANGED:
        if (wParam == static_cast<WPARAM>(GWL_STYLE))
            m_style = reinterpret_cast<STYLESTRUCT*>(lParam)->styleNew;
        return 0;
    case WM_ENABLE:
        InvalidateRect(m_hwnd, nullptr, TRUE);
        return 0;
    case WM_SETFONT:
        SetFont(reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m_font);
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
        m_focused = true;
        InvalidateRect(m_hwnd, nullptr, TRUE);
        Notify(LBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        m_focused = false;
        InvalidateRect(m_hwnd, nullptr, TRUE);
        Notify(LBN_KILLFOCUS);
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wParam));
        return 0;
    case WM_CHAR:
        OnChar(static_cast<UINT>(wParam));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        // A combo box's list leaves the focus with its combo box.
        if (GetFocus() != m_hwnd && !(m_style & LBS_COMBOBOX))
            SetFocus(m_hwnd);
        int hit = ItemAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (hit >= 0) {
            ListModifiers mods{(wParam & MK_SHIFT) != 0, (wParam & MK_CONTROL) != 0};
            bool changed = m_model.Click(hit, mods);
            EnsureVisible(hit);
            InvalidateRect(m_hwnd, nullptr, TRUE);
            SelectionChanged(changed);
            if (message == WM_LBUTTONDBLCLK && (m_style & LBS_NOTIFY))
                Notify(LBN_DBLCLK);
        }
        SetCapture(m_hwnd);
        m_tracking = true;
        return 0;
    }
    case WM_MOUSEMOVE:
        if (m_tracking && m_model.Mode() != ListSelection::Multiple) {
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            RECT client = Client();
            // Past the top or bottom, the list scrolls one item towards the pointer.
            int target;
            if (pt.y < 0)
                target = m_model.TopIndex() - 1;
            else if (pt.y >= client.bottom)
                target = m_model.TopIndex() + VisibleCount();
            else
                target = ItemAt(POINT{std::clamp<LONG>(pt.x, 0, client.right - 1), pt.y});
            if (target < 0 || target >= m_model.Count())
                return 0;
            bool changed = m_model.DragTo(target);
            EnsureVisible(target);
            InvalidateRect(m_hwnd, nullptr, TRUE);
            SelectionChanged(changed);
        }
        return 0;
    case WM_LBUTTONUP:
        if (m_tracking) {
            m_tracking = false;
            ReleaseCapture();
        }
        return 0;
    case WM_CAPTURECHANGED:
        m_tracking = false;
        return 0;
    case WM_MOUSEWHEEL:
        SetTop(m_model.TopIndex() - 3 * (GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA) * (MultiColumn() ? RowsPerColumn() : 1));
        return 0;
    case WM_VSCROLL:
    case WM_HSCROLL:
        OnScroll(message == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wParam));
        return 0;

    // ---- LB_ messages ----
    case LB_ADDSTRING:
        return AddItem(lParam);
    case LB_INSERTSTRING:
        return InsertItem(index, lParam);
    case LB_DELETESTRING:
        if (!m_model.Valid(index))
            return LB_ERR;
        DeleteNotify(index);
        m_model.Delete(index);
        SetTop(m_model.TopIndex());
        Changed();
        return m_model.Count();
    case LB_RESETCONTENT:
        for (int i = 0; i < m_model.Count(); ++i)
            DeleteNotify(i);
        m_model.Reset();
        Changed();
        return 0;
    case LB_GETCOUNT:
        return m_model.Count();
    case LB_GETTEXT: {
        if (!m_model.Valid(index) || !lParam)
            return LB_ERR;
        const ListItem& item = m_model.Item(index);
        if (!HasStrings()) {
            std::memcpy(reinterpret_cast<void*>(lParam), &item.data, sizeof(item.data));
            return sizeof(item.data);
        }
        std::memcpy(reinterpret_cast<char*>(lParam), item.text.c_str(), item.text.size() + 1);
        return static_cast<LRESULT>(item.text.size());
    }
    case LB_GETTEXTLEN:
        if (!m_model.Valid(index))
            return LB_ERR;
        return HasStrings() ? static_cast<LRESULT>(m_model.Item(index).text.size()) : sizeof(ULONG_PTR);
    case LB_GETITEMDATA:
        if (!m_model.Valid(index))
            return LB_ERR;
        return static_cast<LRESULT>(m_model.Item(index).data);
    case LB_SETITEMDATA:
        if (!m_model.Valid(index))
            return LB_ERR;
        m_model.Item(index).data = static_cast<ULONG_PTR>(lParam);
        return TRUE;
    case LB_SETCURSEL: {
        if (m_model.Mode() != ListSelection::Single)
            return LB_ERR;
        bool ok = m_model.SetCurSel(index);
        if (ok && index >= 0)
            EnsureVisible(index);
        InvalidateRect(m_hwnd, nullptr, TRUE);
        return ok && index >= 0 ? index : LB_ERR;
    }
    case LB_GETCURSEL: {
        int sel = m_model.CurSel();
        return sel >= 0 ? sel : LB_ERR;
    }
    case LB_SETSEL: {
        int item = static_cast<int>(static_cast<LONG>(lParam));
        if (!m_model.SetSel(wParam != 0, item))
            return LB_ERR;
        InvalidateRect(m_hwnd, nullptr, TRUE);
        return 0;
    }
    case LB_GETSEL:
        if (!m_model.Valid(index))
            return LB_ERR;
        return m_model.IsSelected(index) ? 1 : 0;
    case LB_GETSELCOUNT:
        return m_model.SelCount() < 0 ? LB_ERR : m_model.SelCount();
    case LB_GETSELITEMS: {
        if (m_model.SelCount() < 0)
            return LB_ERR;
        auto items = m_model.SelItems();
        auto* out = reinterpret_cast<INT*>(lParam);
        int n = std::min(static_cast<int>(wParam), static_cast<int>(items.size()));
        for (int i = 0; out && i < n; ++i)
            out[i] = items[static_cast<size_t>(i)];
        return out ? n : 0;
    }
    case LB_SELITEMRANGE:
        if (!m_model.SelectRange(LOWORD(lParam), HIWORD(lParam), wParam != 0))
            return LB_ERR;
        InvalidateRect(m_hwnd, nullptr, TRUE);
        return 0;
    case LB_SELITEMRANGEEX: {
        int first = index;
        int last = static_cast<int>(static_cast<LONG>(lParam));
        // A first item after the last deselects the range.
        if (!m_model.SelectRange(first, last, first <= last))
            return LB_ERR;
        InvalidateRect(m_hwnd, nullptr, TRUE);
        return 0;
    }
    case LB_SETANCHORINDEX:
        if (!m_model.Valid(index))
            return LB_ERR;
        m_model.SetAnchor(index);
        return 0;
    case LB_GETANCHORINDEX:
        return m_model.Anchor();
    case LB_SETCARETINDEX:
        if (!m_model.Valid(index))
            return LB_ERR;
        m_model.SetCaret(index);
        EnsureVisible(index);
        InvalidateRect(m_hwnd, nullptr, TRUE);
        return 0;
    case LB_GETCARETINDEX:
        return m_model.Caret();
    case LB_GETTOPINDEX:
        return m_model.TopIndex();
    case LB_SETTOPINDEX:
        if (index < 0 || (index >= m_model.Count() && index != 0))
            return LB_ERR;
        SetTop(index);
        return 0;
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT: {
        if (!HasStrings()) {
            for (int k = 1; k <= m_model.Count(); ++k) {
                int i = (index + k + m_model.Count()) % m_model.Count();
                if (m_model.Item(i).data == static_cast<ULONG_PTR>(lParam))
                    return i;
            }
            return LB_ERR;
        }
        int found = m_model.Find(index, lParam ? reinterpret_cast<LPCSTR>(lParam) : "", message == LB_FINDSTRINGEXACT);
        return found >= 0 ? found : LB_ERR;
    }
    case LB_SELECTSTRING: {
        if (m_model.Mode() != ListSelection::Single || !HasStrings())
            return LB_ERR;
        int found = m_model.Find(index, lParam ? reinterpret_cast<LPCSTR>(lParam) : "", false);
        if (found < 0)
            return LB_ERR;
        Select(found);
        return found;
    }
    case LB_GETITEMRECT: {
        if (!lParam || (!m_model.Valid(index) && !(index == 0 && m_model.Count() == 0)))
            return LB_ERR;
        *reinterpret_cast<RECT*>(lParam) = ItemRect(index);
        return 0;
    }
    case LB_ITEMFROMPOINT: {
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        int hit = ItemAt(pt);
        if (hit >= 0)
            return MAKELONG(hit, 0);
        if (m_model.Count() == 0)
            return MAKELONG(0, 1);
        // Outside the items: the nearest one, with the high word set.
        RECT client = Client();
        POINT inside{std::clamp<LONG>(pt.x, 0, std::max<LONG>(0, client.right - 1)),
                     std::clamp<LONG>(pt.y, 0, std::max<LONG>(0, client.bottom - 1))};
        int nearest = ItemAt(inside);
        if (nearest < 0)
            nearest = m_model.Count() - 1;
        return MAKELONG(nearest, 1);
    }
    case LB_SETITEMHEIGHT: {
        int height = LOWORD(lParam);
        if (height <= 0 || height > 255)
            return LB_ERR;
        if (Variable()) {
            if (!m_model.Valid(index))
                return LB_ERR;
            m_model.Item(index).height = height;
        } else {
            m_itemHeight = height;
            AdjustIntegralHeight();
        }
        SetTop(m_model.TopIndex());
        Changed();
        return 0;
    }
    case LB_GETITEMHEIGHT:
        return ItemHeight(Variable() ? index : 0);
    case LB_SETCOLUMNWIDTH:
        m_columnWidth = std::clamp(index, 1, kMaxExtent);
        Changed();
        return 0;
    case LB_SETHORIZONTALEXTENT:
        m_horizontalExtent = std::clamp(index, 0, kMaxExtent);
        m_xOffset = std::clamp(m_xOffset, 0, std::max(0, m_horizontalExtent - static_cast<int>(Client().right)));
        Changed();
        return 0;
    case LB_GETHORIZONTALEXTENT:
        return m_horizontalExtent;
    case LB_SETTABSTOPS: {
        m_tabStops.clear();
        auto* stops = reinterpret_cast<const INT*>(lParam);
        // Dialog units: a quarter of the average character width.
        for (WPARAM i = 0; stops && i < wParam; ++i) {
            int stop = std::clamp(stops[i], 0, kMaxExtent) * m_charWidth / 4;
            if (stop > 0 && (m_tabStops.empty() || stop > m_tabStops.back()))
                m_tabStops.push_back(stop);
        }
        if (m_tabStops.empty())
            m_tabStops.push_back(8 * m_charWidth);
        InvalidateRect(m_hwnd, nullptr, TRUE);
        return TRUE;
    }
    case LB_INITSTORAGE:
        return m_model.Count() + std::clamp(index, 0, kMaxExtent);   // the runs grow as they need
    case LB_SETCOUNT:
    case LB_DIR:
    case LB_ADDFILE:
        return LB_ERR;
    case LB_GETLOCALE:
        return 0x0409;
    case LB_SETLOCALE:
        return 0x0409;
    default:
        return DefWindowProc(m_hwnd, message, wParam, lParam);
    }
}
