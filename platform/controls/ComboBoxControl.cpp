#include "platform/controls/ComboBoxControl.h"

#include "platform/controls/ComboBoxPainter.h"
#include "platform/controls/ControlSupport.h"
#include "platform/controls/EditControl.h"
#include "platform/controls/EditDefs.h"
#include "platform/controls/ListBoxControl.h"
#include "platform/core/CRect.h"
#include "platform/win/Gdi.h"
#include "platform/win/Keyboard.h"
#include "platform/win/ScrollBar.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

ComboKind KindOf(DWORD style)
{
    switch (style & 3) {
    case CBS_SIMPLE: return ComboKind::Simple;
    case CBS_DROPDOWNLIST: return ComboKind::DropDownList;
    default: return ComboKind::DropDown;
    }
}

// The edge around a drop-down field and the padding inside it.
constexpr int kFieldChrome = 8;

} // namespace

ComboBoxControl::ComboBoxControl(HWND hwnd, const CREATESTRUCT& cs)
    : m_hwnd(hwnd), m_style(static_cast<DWORD>(cs.style)), m_model(KindOf(static_cast<DWORD>(cs.style)))
{
}

ListBoxControl* ComboBoxControl::List() const
{
    return m_list ? ControlStateOf<ListBoxControl>(m_list) : nullptr;
}

LRESULT CALLBACK ComboBoxControl::WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = ControlStateOf<ComboBoxControl>(hwnd);
    if (message == WM_NCCREATE && !self) {
        auto* cs = reinterpret_cast<CREATESTRUCT*>(lParam);
        if (!cs)
            return FALSE;
        // The combo box draws its own sunken field, and its scroll bar styles are the list's:
        // a border, an edge or a bar of the window itself would double them.
        SetWindowLong(hwnd, GWL_STYLE, GetWindowLong(hwnd, GWL_STYLE) & ~(WS_BORDER | WS_VSCROLL | WS_HSCROLL));
        SetWindowLong(hwnd, GWL_EXSTYLE, GetWindowLong(hwnd, GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
        try {
            AttachControlState(hwnd, new ComboBoxControl(hwnd, *cs));
        } catch (const std::bad_alloc&) {
            return FALSE;
        }
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    if (!self)
        return DefWindowProc(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        OrphanControlState(hwnd, self);
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    ControlCallGuard<ComboBoxControl> guard(self);
    try {
        return self->OnMessage(message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        self->Notify(static_cast<UINT>(CBN_ERRSPACE));
        return CB_ERRSPACE;
    }
}

// The combo box listens to its edit's keys and focus before the edit does.
LRESULT CALLBACK ComboBoxControl::EditSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* combo = ControlStateOf<ComboBoxControl>(GetParent(hwnd));
    if (combo) {
        // The combo box's code runs from here too: it must outlive a parent's reaction.
        ControlCallGuard<ComboBoxControl> guard(combo);
        switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (combo->KeyDown(static_cast<UINT>(wParam), message == WM_SYSKEYDOWN || GetKeyState(VK_MENU) < 0))
                return 0;
            break;
        case WM_CHAR:
            // Enter and Escape close a dropped list; they type nothing.
            if (combo->m_model.Dropped() && (wParam == '\r' || wParam == 0x1B))
                return 0;
            break;
        case WM_GETDLGCODE: {
            LRESULT code = EditControl::EditWndProc(hwnd, message, wParam, lParam);
            return combo->m_model.Dropped() ? (code | DLGC_WANTALLKEYS) : code;
        }
        case WM_KILLFOCUS: {
            LRESULT result = EditControl::EditWndProc(hwnd, message, wParam, lParam);
            combo->FocusOut(reinterpret_cast<HWND>(wParam));
            return result;
        }
        default:
            break;
        }
    }
    return EditControl::EditWndProc(hwnd, message, wParam, lParam);
}

void ComboBoxControl::Notify(UINT code)
{
    NotifyParent(m_hwnd, code);
}

LRESULT ComboBoxControl::ToList(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return m_list ? SendMessage(m_list, message, wParam, lParam) : CB_ERR;
}

int ComboBoxControl::CurSel() const
{
    return static_cast<int>(ToList(LB_GETCURSEL, 0, 0));
}

// ---- Creation and geometry ----

void ComboBoxControl::MeasureField()
{
    HDC dc = GetDC(m_hwnd);
    SelectObject(dc, ControlFont(m_font));
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    ReleaseDC(m_hwnd, dc);
    int itemHeight = static_cast<int>(tm.tmHeight);
    if (OwnerDrawn()) {
        // The owner measures the selection field as the item -1.
        MEASUREITEMSTRUCT mis{ODT_COMBOBOX, static_cast<UINT>(GetDlgCtrlID(m_hwnd)), static_cast<UINT>(-1), 0,
                              static_cast<UINT>(itemHeight), 0};
        SendMessage(GetParent(m_hwnd), WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
        itemHeight = std::max(1, static_cast<int>(mis.itemHeight));
    }
    m_fieldHeight = itemHeight + kFieldChrome;
}

void ComboBoxControl::OnCreate(const CREATESTRUCT& cs)
{
    MeasureField();
    const DWORD listStyle = (m_style & (WS_VSCROLL | WS_HSCROLL)) | LBS_COMBOBOX | LBS_NOTIFY | ((m_style & CBS_SORT) ? LBS_SORT : 0) |
                            ((m_style & CBS_HASSTRINGS) ? LBS_HASSTRINGS : 0) |
                            ((m_style & CBS_OWNERDRAWFIXED) ? LBS_OWNERDRAWFIXED : 0) |
                            ((m_style & CBS_OWNERDRAWVARIABLE) ? LBS_OWNERDRAWVARIABLE : 0) |
                            ((m_style & CBS_NOINTEGRALHEIGHT) ? LBS_NOINTEGRALHEIGHT : 0) |
                            ((m_style & CBS_DISABLENOSCROLL) ? LBS_DISABLENOSCROLL : 0);
    ComboListOwner owner{m_hwnd, GetParent(m_hwnd), m_hwnd, ODT_COMBOBOX};
    const auto listId = reinterpret_cast<HMENU>(static_cast<uintptr_t>(kComboListId));
    if (m_model.DropsDown()) {
        m_droppedHeight = std::max(cs.cy - m_fieldHeight, m_fieldHeight);
        // A pop-up has no control id (its menu would take that place).
        m_list = CreateWindowEx(0, WC_COMBOLBOX, "", WS_POPUP | WS_BORDER | listStyle, 0, 0, cs.cx, m_droppedHeight,
                                m_hwnd, nullptr, nullptr, &owner);
    } else {
        m_list = CreateWindowEx(WS_EX_CLIENTEDGE, WC_COMBOLBOX, "", WS_CHILD | WS_VISIBLE | listStyle, 0, m_fieldHeight,
                                cs.cx, std::max(0, cs.cy - m_fieldHeight), m_hwnd, listId, nullptr, &owner);
    }
    if (m_model.HasEdit()) {
        DWORD editStyle = WS_CHILD | WS_VISIBLE | ((m_style & CBS_AUTOHSCROLL) ? ES_AUTOHSCROLL : 0) |
                          ((m_style & CBS_UPPERCASE) ? ES_UPPERCASE : 0) | ((m_style & CBS_LOWERCASE) ? ES_LOWERCASE : 0);
        m_edit = CreateWindowEx(m_model.DropsDown() ? 0 : WS_EX_CLIENTEDGE, WC_EDIT, "", editStyle, 0, 0, cs.cx,
                                m_fieldHeight, m_hwnd, reinterpret_cast<HMENU>(static_cast<uintptr_t>(kComboEditId)),
                                nullptr, nullptr);
        if (m_edit)
            SetWindowLongPtr(m_edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ComboBoxControl::EditSubclassProc));
    }
    if (m_model.DropsDown())
        SetWindowPos(m_hwnd, nullptr, 0, 0, cs.cx, m_fieldHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();
}

RECT ComboBoxControl::Field() const
{
    RECT client;
    GetClientRect(m_hwnd, &client);
    return RECT{0, 0, client.right, std::min<LONG>(client.bottom, m_fieldHeight)};
}

RECT ComboBoxControl::ButtonRect() const
{
    if (!m_model.DropsDown())
        return RECT{0, 0, 0, 0};
    RECT field = Field();
    InflateRect(&field, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    return RECT{std::max(field.left, field.right - GetSystemMetrics(SM_CXVSCROLL)), field.top, field.right, field.bottom};
}

RECT ComboBoxControl::TextRect() const
{
    RECT field = Field();
    InflateRect(&field, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    field.right = ButtonRect().left;
    return field;
}

RECT ComboBoxControl::DroppedRect() const
{
    RECT window;
    GetWindowRect(m_hwnd, &window);
    const int width = std::max(static_cast<int>(window.right - window.left), m_droppedWidth);
    int height = m_droppedHeight;
    // A short list drops only as far as its items reach.
    if (ListBoxControl* list = List()) {
        int count = list->Model().Count();
        int border = 2 * GetSystemMetrics(SM_CYBORDER);
        int needed = list->HeightOfRows(std::max(1, count)) + border;
        height = std::min(height, needed);
        int item = list->ItemHeight(0);
        if (!(m_style & CBS_NOINTEGRALHEIGHT) && item > 0)
            height = std::max(item, (height - border) / item * item) + border;
    }
    RECT r{window.left, window.bottom, window.left + width, window.bottom + height};
    // Below the field when it fits on the screen, above it otherwise.
    if (r.bottom > GetSystemMetrics(SM_CYSCREEN) && window.top - height >= 0)
        OffsetRect(&r, 0, window.top - height - r.top);
    return r;
}

void ComboBoxControl::Layout()
{
    if (m_edit) {
        RECT r = m_model.DropsDown() ? TextRect() : Field();
        MoveWindow(m_edit, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
    if (m_list && !m_model.DropsDown()) {
        RECT client;
        GetClientRect(m_hwnd, &client);
        MoveWindow(m_list, 0, m_fieldHeight, client.right, std::max<LONG>(0, client.bottom - m_fieldHeight), TRUE);
    }
}

// ---- The drop ----

void ComboBoxControl::Drop()
{
    if (!m_model.DropsDown() || m_model.Dropped() || !IsWindowEnabled(m_hwnd))
        return;
    // The owner may fill the list now, before it shows.
    Notify(CBN_DROPDOWN);
    if (!m_model.Drop(CurSel()))
        return;
    m_movedWhileDropped = false;
    if (m_edit && GetWindowTextLength(m_edit) > 0) {
        // The list opens on the item the edit's text names, or the first that begins with it.
        std::string text(static_cast<size_t>(GetWindowTextLength(m_edit)) + 1, '\0');
        text.resize(static_cast<size_t>(GetWindowText(m_edit, text.data(), static_cast<int>(text.size()))));
        LRESULT found = ToList(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
        if (found < 0)
            found = ToList(LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
        if (found >= 0 && found != CurSel()) {
            ToList(LB_SETCURSEL, static_cast<WPARAM>(found), 0);
            m_movedWhileDropped = true;
        }
    }
    RECT r = DroppedRect();
    SetWindowPos(m_list, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    if (ListBoxControl* list = List())
        list->Select(CurSel());
    SetCapture(m_hwnd);
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

void ComboBoxControl::CloseUp(bool accept)
{
    if (!m_model.Dropped())
        return;
    const int original = m_model.Close();
    if (!accept && CurSel() != original) {
        ToList(LB_SETCURSEL, static_cast<WPARAM>(original), 0);
        m_movedWhileDropped = true;   // the selection went back: say so below
    }
    Notify(accept ? CBN_SELENDOK : CBN_SELENDCANCEL);
    ShowWindow(m_list, SW_HIDE);
    m_buttonDown = false;
    if (GetCapture() == m_hwnd)
        ReleaseCapture();
    InvalidateRect(m_hwnd, nullptr, FALSE);
    Notify(CBN_CLOSEUP);
    if (m_movedWhileDropped) {
        m_movedWhileDropped = false;
        SelectionToText();
        Notify(CBN_SELCHANGE);
    }
    if (m_edit && m_focused)
        SendMessage(m_edit, EM_SETSEL, 0, -1);
}

void ComboBoxControl::TrackMouse(UINT message, POINT pt)
{
    ListBoxControl* list = List();
    if (!list)
        return;
    POINT screen = pt;
    ClientToScreen(m_hwnd, &screen);
    RECT listWindow;
    GetWindowRect(m_list, &listWindow);
    POINT inList = screen;
    ScreenToClient(m_list, &inList);
    const int item = list->ItemAt(inList);
    RECT field = Field();
    const bool onField = PtInRect(&field, pt) != 0;
    const bool onList = PtInRect(&listWindow, screen) != 0;

    // The item under the pointer is the one highlighted, and the one a release chooses.
    if (item >= 0 && item != CurSel() && (message == WM_MOUSEMOVE || message == WM_LBUTTONUP)) {
        list->Select(item);
        m_movedWhileDropped = true;
    }
    switch (message) {
    case WM_MOUSEMOVE:
        return;
    case WM_LBUTTONUP:
        if (item >= 0) {
            CloseUp(true);
        } else if (onField || !m_buttonDown) {
            // The press that dropped the list ends here: the list stays for a click.
            m_buttonDown = false;
            InvalidateRect(m_hwnd, nullptr, FALSE);
        } else {
            m_buttonDown = false;
        }
        return;
    case WM_LBUTTONDOWN:
        if (onList && item < 0) {
            // The list's scroll bar: it tracks the press itself, then the combo box takes the
            // mouse back.
            m_handingOver = true;
            ReleaseCapture();
            TrackWindowScrollBar(m_list, SB_VERT, screen);
            if (m_model.Dropped())
                SetCapture(m_hwnd);
            m_handingOver = false;
            return;
        }
        if (onList)
            return;   // chosen when the button comes up
        CloseUp(false);
        return;
    default:
        return;
    }
}

bool ComboBoxControl::KeyDown(UINT vk, bool alt)
{
    switch (m_model.KeyAction(vk, alt)) {
    case ComboKey::Drop:
        Drop();
        return true;
    case ComboKey::Accept:
        CloseUp(true);
        return true;
    case ComboKey::Cancel:
        CloseUp(false);
        return true;
    case ComboKey::ToList:
        if (m_model.Dropped())
            m_movedWhileDropped = false;   // keys tell each change as it happens
        ToList(WM_KEYDOWN, vk, 0);
        return true;
    case ComboKey::None:
        return false;
    }
    return false;
}

// ---- Selection, text and focus ----

void ComboBoxControl::SelectionToText()
{
    if (!m_edit) {
        InvalidateRect(m_hwnd, nullptr, FALSE);
        return;
    }
    int sel = CurSel();
    std::string text;
    if (sel >= 0) {
        text.resize(static_cast<size_t>(std::max<LRESULT>(0, ToList(LB_GETTEXTLEN, static_cast<WPARAM>(sel), 0))) + 1);
        LRESULT n = ToList(LB_GETTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(std::max<LRESULT>(0, n)));
    }
    m_settingText = true;
    SetWindowText(m_edit, text.c_str());
    if (m_focused)
        SendMessage(m_edit, EM_SETSEL, 0, -1);
    m_settingText = false;
}

void ComboBoxControl::FocusIn()
{
    if (m_focused)
        return;
    m_focused = true;
    InvalidateRect(m_hwnd, nullptr, FALSE);
    Notify(CBN_SETFOCUS);
}

void ComboBoxControl::FocusOut(HWND newFocus)
{
    if (!m_focused || (newFocus && (newFocus == m_hwnd || newFocus == m_edit || newFocus == m_list)))
        return;
    if (m_model.Dropped())
        CloseUp(false);
    m_focused = false;
    InvalidateRect(m_hwnd, nullptr, FALSE);
    Notify(CBN_KILLFOCUS);
}

// ---- Painting ----

void ComboBoxControl::Paint(HDC dc)
{
    if (!m_model.DropsDown())
        return;   // the edit and the list cover a simple combo box
    ComboPaintState state;
    state.field = Field();
    state.text = TextRect();
    state.button = ButtonRect();
    state.disabled = !IsWindowEnabled(m_hwnd);
    state.pushed = m_buttonDown && m_model.Dropped();
    state.highlighted = !m_model.HasEdit() && m_focused && !m_model.Dropped() && !state.disabled;
    state.background = ControlColors(m_hwnd, dc, state.disabled ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT);
    state.textColor = GetTextColor(dc);
    state.font = ControlFont(m_font);
    const int sel = CurSel();
    state.showsItem = !m_model.HasEdit() && !OwnerDrawn();
    state.hasItem = sel >= 0;
    if (state.showsItem && sel >= 0) {
        state.label.resize(static_cast<size_t>(std::max<LRESULT>(0, ToList(LB_GETTEXTLEN, static_cast<WPARAM>(sel), 0))) + 1);
        state.label.resize(static_cast<size_t>(
            std::max<LRESULT>(0, ToList(LB_GETTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(state.label.data())))));
    }
    PaintComboField(dc, state);
    if (m_model.HasEdit() || !OwnerDrawn())
        return;
    // The owner draws the chosen item of an owner-drawn drop-down list in the field.
    SelectObject(dc, state.font);
    DRAWITEMSTRUCT dis{ODT_COMBOBOX, static_cast<UINT>(GetDlgCtrlID(m_hwnd)), static_cast<UINT>(sel), ODA_DRAWENTIRE,
                       ODS_COMBOBOXEDIT, m_hwnd, dc, ComboItemRect(state.text),
                       sel >= 0 ? static_cast<ULONG_PTR>(ToList(LB_GETITEMDATA, static_cast<WPARAM>(sel), 0)) : 0};
    if (state.highlighted)
        dis.itemState |= ODS_SELECTED | ODS_FOCUS;
    if (state.disabled)
        dis.itemState |= ODS_DISABLED;
    int saved = SaveDC(dc);
    SendMessage(GetParent(m_hwnd), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    RestoreDC(dc, saved);
}

// ---- Messages ----

LRESULT ComboBoxControl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    const int index = static_cast<int>(static_cast<LONG>(wParam));
    switch (message) {
    case WM_CREATE:
        OnCreate(*reinterpret_cast<CREATESTRUCT*>(lParam));
        return 0;
    case WM_DESTROY:
        if (m_list && m_model.DropsDown())
            DestroyWindow(m_list);
        m_list = nullptr;
        return 0;
    case WM_WINDOWPOSCHANGING: {
        // The height given to a drop-down combo box is the field and its dropped list together.
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (m_model.DropsDown() && m_list && !(pos->flags & SWP_NOSIZE) && pos->cy != m_fieldHeight) {
            if (pos->cy > m_fieldHeight)
                m_droppedHeight = pos->cy - m_fieldHeight;
            pos->cy = m_fieldHeight;
        }
        return DefWindowProc(m_hwnd, message, wParam, lParam);
    }
    case WM_SIZE:
        Layout();
        InvalidateRect(m_hwnd, nullptr, FALSE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hwnd, &ps);
        if (dc)
            Paint(dc);
        EndPaint(m_hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        if (!m_model.DropsDown()) {
            RECT client;
            GetClientRect(m_hwnd, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
        }
        return 1;
    case WM_SETFONT:
        m_font = reinterpret_cast<HFONT>(wParam);
        if (m_edit)
            SendMessage(m_edit, WM_SETFONT, wParam, FALSE);
        if (m_list)
            SendMessage(m_list, WM_SETFONT, wParam, FALSE);
        MeasureField();
        if (m_model.DropsDown()) {
            RECT window;
            GetWindowRect(m_hwnd, &window);
            SetWindowPos(m_hwnd, nullptr, 0, 0, window.right - window.left, m_fieldHeight,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        Layout();
        if (LOWORD(lParam))
            InvalidateRect(m_hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m_font);
    case WM_ENABLE:
        if (m_edit)
            EnableWindow(m_edit, wParam != 0);
        if (m_list && !m_model.DropsDown())
            EnableWindow(m_list, wParam != 0);
        if (!wParam)
            CloseUp(false);
        InvalidateRect(m_hwnd, nullptr, FALSE);
        return 0;
    case WM_GETDLGCODE: {
        LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
        auto* msg = reinterpret_cast<MSG*>(lParam);
        if (m_model.Dropped() && msg && msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE))
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_SETFOCUS:
        if (m_edit) {
            SetFocus(m_edit);
            SendMessage(m_edit, EM_SETSEL, 0, -1);
        }
        FocusIn();
        return 0;
    case WM_KILLFOCUS:
        FocusOut(reinterpret_cast<HWND>(wParam));
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (KeyDown(static_cast<UINT>(wParam), message == WM_SYSKEYDOWN || GetKeyState(VK_MENU) < 0))
            return 0;
        return DefWindowProc(m_hwnd, message, wParam, lParam);
    case WM_CHAR:
        if (m_model.Dropped() && (wParam == '\r' || wParam == 0x1B))
            return 0;
        if (!m_model.HasEdit())
            ToList(WM_CHAR, wParam, lParam);   // typed letters find items
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (m_model.Dropped()) {
            TrackMouse(WM_LBUTTONDOWN, pt);
            return 0;
        }
        RECT button = ButtonRect();
        RECT field = Field();
        bool onButton = PtInRect(&button, pt) != 0;
        if (!m_model.DropsDown() || !(onButton || (!m_model.HasEdit() && PtInRect(&field, pt))))
            return 0;
        SetFocus(m_hwnd);
        m_buttonDown = true;
        Drop();
        return 0;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        if (m_model.Dropped())
            TrackMouse(message, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_MOUSEWHEEL:
        if (m_model.Dropped()) {
            ToList(message, wParam, lParam);
            return 0;
        }
        return DefWindowProc(m_hwnd, message, wParam, lParam);
    case WM_CAPTURECHANGED:
        if (m_model.Dropped() && !m_handingOver && reinterpret_cast<HWND>(lParam) != m_hwnd)
            CloseUp(false);
        return 0;
    case WM_COMMAND: {
        HWND from = reinterpret_cast<HWND>(lParam);
        const UINT code = HIWORD(wParam);
        if (from && from == m_list) {
            if (code == LBN_SELCHANGE) {
                SelectionToText();
                Notify(CBN_SELCHANGE);
            } else if (code == LBN_DBLCLK) {
                Notify(CBN_DBLCLK);
            }
        } else if (from && from == m_edit) {
            if (code == EN_SETFOCUS)
                FocusIn();
            else if (code == EN_CHANGE && !m_settingText)
                Notify(CBN_EDITCHANGE);
            else if (code == EN_UPDATE && !m_settingText)
                Notify(CBN_EDITUPDATE);
            else if (code == EN_ERRSPACE)
                Notify(static_cast<UINT>(CBN_ERRSPACE));
        }
        return 0;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC: {
        // The combo box's own parent chooses the colours of its parts, told which part asks.
        HWND parent = GetParent(m_hwnd);
        LRESULT brush = parent ? SendMessage(parent, message, wParam, lParam) : 0;
        return brush ? brush : DefWindowProc(m_hwnd, message, wParam, lParam);
    }

    // ---- Text ----
    case WM_SETTEXT: {
        if (m_edit)
            return SendMessage(m_edit, WM_SETTEXT, 0, lParam);
        LRESULT found = ToList(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), lParam);
        if (found < 0)
            return CB_ERR;
        ToList(LB_SETCURSEL, static_cast<WPARAM>(found), 0);
        InvalidateRect(m_hwnd, nullptr, FALSE);
        return TRUE;
    }
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH: {
        if (m_edit)
            return SendMessage(m_edit, message, wParam, lParam);
        int sel = CurSel();
        if (message == WM_GETTEXTLENGTH)
            return sel >= 0 ? ToList(LB_GETTEXTLEN, static_cast<WPARAM>(sel), 0) : 0;
        auto* out = reinterpret_cast<char*>(lParam);
        if (!out || wParam == 0)
            return 0;
        std::string text;
        if (sel >= 0) {
            text.resize(static_cast<size_t>(std::max<LRESULT>(0, ToList(LB_GETTEXTLEN, static_cast<WPARAM>(sel), 0))) + 1);
            text.resize(static_cast<size_t>(std::max<LRESULT>(0, ToList(LB_GETTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(text.data())))));
        }
        size_t n = std::min(text.size(), static_cast<size_t>(wParam) - 1);
        std::memcpy(out, text.data(), n);
        out[n] = '\0';
        return static_cast<LRESULT>(n);
    }

    // ---- CB_ messages ----
    case CB_ADDSTRING:
        return ToList(LB_ADDSTRING, 0, lParam);
    case CB_INSERTSTRING:
        return ToList(LB_INSERTSTRING, wParam, lParam);
    case CB_DELETESTRING: {
        bool wasSelected = index == CurSel();
        LRESULT result = ToList(LB_DELETESTRING, wParam, 0);
        if (wasSelected && result >= 0 && !m_edit)
            InvalidateRect(m_hwnd, nullptr, FALSE);
        return result;
    }
    case CB_RESETCONTENT:
        ToList(LB_RESETCONTENT, 0, 0);
        if (!m_edit)
            InvalidateRect(m_hwnd, nullptr, FALSE);
        return CB_OKAY;
    case CB_GETCOUNT:
        return ToList(LB_GETCOUNT, 0, 0);
    case CB_GETCURSEL:
        return CurSel();
    case CB_SETCURSEL: {
        LRESULT result = ToList(LB_SETCURSEL, wParam, 0);
        SelectionToText();
        return result;
    }
    case CB_SELECTSTRING: {
        LRESULT result = ToList(LB_SELECTSTRING, wParam, lParam);
        if (result >= 0)
            SelectionToText();
        return result;
    }
    case CB_GETLBTEXT:
        return ToList(LB_GETTEXT, wParam, lParam);
    case CB_GETLBTEXTLEN:
        return ToList(LB_GETTEXTLEN, wParam, 0);
    case CB_FINDSTRING:
        return ToList(LB_FINDSTRING, wParam, lParam);
    case CB_FINDSTRINGEXACT:
        return ToList(LB_FINDSTRINGEXACT, wParam, lParam);
    case CB_GETITEMDATA:
        return ToList(LB_GETITEMDATA, wParam, 0);
    case CB_SETITEMDATA:
        return ToList(LB_SETITEMDATA, wParam, lParam);
    case CB_GETTOPINDEX:
        return ToList(LB_GETTOPINDEX, 0, 0);
    case CB_SETTOPINDEX:
        return ToList(LB_SETTOPINDEX, wParam, 0);
    case CB_GETHORIZONTALEXTENT:
        return ToList(LB_GETHORIZONTALEXTENT, 0, 0);
    case CB_SETHORIZONTALEXTENT:
        return ToList(LB_SETHORIZONTALEXTENT, wParam, 0);
    case CB_INITSTORAGE:
        return ToList(LB_INITSTORAGE, wParam, lParam);
    case CB_GETLOCALE:
        return ToList(LB_GETLOCALE, 0, 0);
    case CB_SETLOCALE:
        return ToList(LB_SETLOCALE, wParam, 0);
    case CB_LIMITTEXT:
        if (!m_edit)
            return CB_ERR;
        SendMessage(m_edit, EM_LIMITTEXT, wParam, 0);
        return TRUE;
    case CB_GETEDITSEL:
        if (!m_edit)
            return CB_ERR;
        return SendMessage(m_edit, EM_GETSEL, wParam, lParam);
    case CB_SETEDITSEL:
        if (!m_edit)
            return CB_ERR;
        SendMessage(m_edit, EM_SETSEL, static_cast<WPARAM>(static_cast<LONG>(static_cast<short>(LOWORD(lParam)))),
                    static_cast<LPARAM>(static_cast<short>(HIWORD(lParam))));
        return TRUE;
    case CB_SHOWDROPDOWN:
        if (wParam)
            Drop();
        else
            CloseUp(true);
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return m_model.Dropped() ? TRUE : FALSE;
    case CB_GETDROPPEDCONTROLRECT:
        if (lParam)
            *reinterpret_cast<RECT*>(lParam) = DroppedRect();
        return TRUE;
    case CB_SETEXTENDEDUI:
        m_model.SetExtendedUI(wParam != 0);
        return CB_OKAY;
    case CB_GETEXTENDEDUI:
        return m_model.ExtendedUI() ? TRUE : FALSE;
    case CB_SETDROPPEDWIDTH:
        m_droppedWidth = std::clamp(index, 0, 0x7FFF);
        return m_droppedWidth;
    case CB_GETDROPPEDWIDTH: {
        RECT window;
        GetWindowRect(m_hwnd, &window);
        return std::max(m_droppedWidth, static_cast<int>(window.right - window.left));
    }
    case CB_SETITEMHEIGHT:
        if (index == -1) {
            if (LOWORD(lParam) == 0 || LOWORD(lParam) > 255)
                return CB_ERR;
            m_fieldHeight = LOWORD(lParam) + kFieldChrome;
            if (m_model.DropsDown()) {
                RECT window;
                GetWindowRect(m_hwnd, &window);
                SetWindowPos(m_hwnd, nullptr, 0, 0, window.right - window.left, m_fieldHeight,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            Layout();
            InvalidateRect(m_hwnd, nullptr, FALSE);
            return CB_OKAY;
        }
        return ToList(LB_SETITEMHEIGHT, wParam, lParam);
    case CB_GETITEMHEIGHT:
        if (index == -1)
            return m_fieldHeight - kFieldChrome;
        return ToList(LB_GETITEMHEIGHT, wParam, 0);
    case CB_DIR:
        return CB_ERR;
    default:
        return DefWindowProc(m_hwnd, message, wParam, lParam);
    }
}
