// The status bar control: model, layout, painter and window procedure.
#include "platform/controls/StatusBar.h"

#include "platform/controls/ControlSupport.h"
#include "platform/core/CRect.h"
#include "platform/win/Cursor.h"
#include "platform/win/Gdi.h"

#include <algorithm>
#include <cstring>

// ---- Model ----

bool StatusBarModel::SetParts(int count, const int* rightEdges)
{
    if (count <= 0 || count > kMaxParts || !rightEdges)
        return false;
    m_parts.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        m_parts[static_cast<size_t>(i)].right = rightEdges[i];
    return true;
}

bool StatusBarModel::SetText(int part, UINT type, LPARAM value)
{
    Part* target = nullptr;
    if (part == SB_SIMPLEID)
        target = &m_simple;
    else if (part >= 0 && part < PartCount())
        target = &m_parts[static_cast<size_t>(part)];
    if (!target)
        return false;
    target->type = type;
    if (type & SBT_OWNERDRAW) {
        target->data = value;
        target->text.clear();
    } else {
        target->data = 0;
        const char* text = reinterpret_cast<const char*>(value);
        target->text = text ? text : "";
    }
    return true;
}

DWORD StatusBarModel::TextInfo(int part) const
{
    if (part != SB_SIMPLEID && (part < 0 || part >= PartCount()))
        return 0;
    const Part& p = PartAt(part);
    return MAKELONG(static_cast<WORD>(p.text.size()), static_cast<WORD>(p.type));
}

RECT StatusBarModel::PartRect(int i, const RECT& client, int gripWidth) const
{
    RECT r{client.left + kHorzBorder, client.top + kVertBorder, client.right - kHorzBorder, client.bottom};
    if (m_simpleMode || i == SB_SIMPLEID) {
        r.right -= gripWidth;
        return r;
    }
    const int n = PartCount();
    int left = r.left;
    for (int k = 0; k <= i && k < n; ++k) {
        const int edge = m_parts[static_cast<size_t>(k)].right;
        int right = edge < 0 ? client.right - kHorzBorder : std::min(static_cast<int>(client.left) + edge,
                                                                     static_cast<int>(client.right));
        if (k == n - 1 || edge < 0)
            right = std::min(right, static_cast<int>(client.right) - gripWidth);
        if (k == i)
            return RECT{left, r.top, std::max(left, right), r.bottom};
        left = right + kGap;
    }
    return RECT{0, 0, 0, 0};
}

int StatusBarModel::PartAt(POINT pt, const RECT& client, int gripWidth) const
{
    if (m_simpleMode)
        return PtInRect(&client, pt) ? SB_SIMPLEID : -1;
    for (int i = 0; i < PartCount(); ++i) {
        RECT r = PartRect(i, client, gripWidth);
        if (PtInRect(&r, pt))
            return i;
    }
    return -1;
}

// ---- Painter and window procedure ----

namespace {

bool HasGrip(HWND hwnd)
{
    if (!(GetWindowLong(hwnd, GWL_STYLE) & SBARS_SIZEGRIP))
        return false;
    // A maximised frame cannot be sized: no grip then.
    HWND top = GetAncestor(hwnd, GA_ROOT);
    return !(top && IsZoomed(top));
}

int GripWidth(HWND hwnd)
{
    if (!HasGrip(hwnd))
        return 0;
    RECT client;
    GetClientRect(hwnd, &client);
    return client.bottom - client.top;
}

int IdealHeight(HWND hwnd, const StatusBarModel& model)
{
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, ControlFont(model.font));
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    const int text = tm.tmHeight + 2 * StatusBarModel::kVertBorder + 4;
    return std::max(text, model.minHeight + 2 * StatusBarModel::kVertBorder);
}

// Keeps the bar along the bottom of its parent's client area, as wide as it, unless its owner
// places it (a bar docked at the top of a frame stays there).
void Reposition(HWND hwnd, const StatusBarModel& model)
{
    HWND parent = GetParent(hwnd);
    if (!parent || (GetWindowLong(hwnd, GWL_STYLE) & CCS_NOPARENTALIGN) != 0)
        return;
    RECT area;
    GetClientRect(parent, &area);
    const int height = IdealHeight(hwnd, model);
    SetWindowPos(hwnd, nullptr, 0, area.bottom - height, area.right, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// "left\tcentre\tright": up to three runs of a part's text.
void DrawPartText(HDC dc, const RECT& r, const std::string& text)
{
    RECT inner = r;
    InflateRect(&inner, -2, -1);
    const UINT aligns[3] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    size_t start = 0;
    for (int run = 0; run < 3 && start <= text.size(); ++run) {
        size_t tab = run < 2 ? text.find('\t', start) : std::string::npos;
        const std::string piece = text.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
        RECT box = inner;
        DrawText(dc, piece.c_str(), static_cast<int>(piece.size()), &box,
                 aligns[run] | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        if (tab == std::string::npos)
            break;
        start = tab + 1;
    }
}

void PaintPart(HWND hwnd, HDC dc, const StatusBarModel& model, int index, const RECT& r)
{
    const StatusBarModel::Part& part = model.PartAt(index);
    RECT frame = r;
    if (!(part.type & SBT_NOBORDERS))
        DrawEdge(dc, &frame, (part.type & SBT_POPOUT) ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    if (part.type & SBT_OWNERDRAW) {
        DRAWITEMSTRUCT item{};
        item.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
        item.itemID = static_cast<UINT>(index);
        item.itemAction = ODA_DRAWENTIRE;
        item.hwndItem = hwnd;
        item.hDC = dc;
        item.rcItem = frame;
        item.itemData = static_cast<ULONG_PTR>(part.data);
        SendMessage(GetParent(hwnd), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
        return;
    }
    DrawPartText(dc, frame, part.text);
}

void PaintStatusBar(HWND hwnd, HDC dc, const StatusBarModel& model)
{
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ oldFont = SelectObject(dc, ControlFont(model.font));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    const int grip = GripWidth(hwnd);
    if (model.Simple()) {
        PaintPart(hwnd, dc, model, SB_SIMPLEID, model.PartRect(SB_SIMPLEID, client, grip));
    } else {
        for (int i = 0; i < model.PartCount(); ++i) {
            RECT r = model.PartRect(i, client, grip);
            if (r.right > r.left)
                PaintPart(hwnd, dc, model, i, r);
        }
    }
    if (grip) {
        RECT box{client.right - grip, client.top, client.right, client.bottom};
        DrawFrameControl(dc, &box, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    }
    SelectObject(dc, oldFont);
}

bool OnGrip(HWND hwnd, POINT client)
{
    const int grip = GripWidth(hwnd);
    RECT r;
    GetClientRect(hwnd, &r);
    return grip && client.x >= r.right - grip;
}

void NotifyMouse(HWND hwnd, const StatusBarModel& model, UINT code, LPARAM lParam)
{
    NMMOUSE nm{};
    nm.pt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    RECT client;
    GetClientRect(hwnd, &client);
    const int part = model.PartAt(nm.pt, client, GripWidth(hwnd));
    nm.dwItemSpec = static_cast<DWORD_PTR>(part < 0 ? -1 : part);
    NotifyParentHeader(hwnd, nm.hdr, code);
}

LRESULT HandleStatusBarMessage(HWND hwnd, StatusBarModel& model, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        // The window's text is the first part's.
        auto* cs = reinterpret_cast<CREATESTRUCT*>(lParam);
        if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName))
            model.SetText(0, 0, reinterpret_cast<LPARAM>(cs->lpszName));
        Reposition(hwnd, model);
        return 0;
    }
    case WM_SIZE:
        // The parent passes its own WM_SIZE on; the bar finds its place from the parent.
        Reposition(hwnd, model);
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_SETFONT:
        model.font = reinterpret_cast<HFONT>(wParam);
        Reposition(hwnd, model);
        if (LOWORD(lParam))
            InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(model.font);
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
        return PaintOrPrintClient(hwnd, wParam, [&](HDC dc) { PaintStatusBar(hwnd, dc, model); });
    }
    case WM_SETTEXT:
        DefWindowProc(hwnd, message, wParam, lParam);
        model.SetText(0, 0, lParam);
        InvalidateRect(hwnd, nullptr, FALSE);
        return TRUE;
    case WM_SETCURSOR: {
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(hwnd, &pt);
        if (OnGrip(hwnd, pt)) {
            SetCursor(LoadCursor(nullptr, IDC_SIZENWSE));
            return TRUE;
        }
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    case WM_LBUTTONDOWN: {
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (OnGrip(hwnd, pt)) {
            // The grip sizes the frame the bar stands in.
            ClientToScreen(hwnd, &pt);
            SendMessage(GetAncestor(hwnd, GA_ROOT), WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT,
                        MAKELPARAM(pt.x, pt.y));
        }
        return 0;
    }
    case WM_LBUTTONUP:
        NotifyMouse(hwnd, model, NM_CLICK, lParam);
        return 0;
    case WM_LBUTTONDBLCLK:
        NotifyMouse(hwnd, model, NM_DBLCLK, lParam);
        return 0;
    case WM_RBUTTONUP:
        NotifyMouse(hwnd, model, NM_RCLICK, lParam);
        return 0;
    case SB_SETTEXT: {
        const int part = static_cast<int>(wParam & 0xFF);
        if (!model.SetText(part, static_cast<UINT>(wParam & 0xFF00), lParam))
            return FALSE;
        InvalidateRect(hwnd, nullptr, FALSE);
        return TRUE;
    }
    case SB_GETTEXT: {
        const int part = static_cast<int>(wParam);
        const DWORD info = model.TextInfo(part);
        if (lParam && info) {
            const auto& p = model.PartAt(part);
            if (p.type & SBT_OWNERDRAW)
                return static_cast<LRESULT>(p.data);
            std::memcpy(reinterpret_cast<char*>(lParam), p.text.c_str(), p.text.size() + 1);
        }
        return info;
    }
    case SB_GETTEXTLENGTH:
        return model.TextInfo(static_cast<int>(wParam));
    case SB_SETPARTS: {
        const bool ok = model.SetParts(static_cast<int>(wParam), reinterpret_cast<const int*>(lParam));
        InvalidateRect(hwnd, nullptr, FALSE);
        return ok;
    }
    case SB_GETPARTS: {
        const int n = model.PartCount();
        auto* edges = reinterpret_cast<int*>(lParam);
        RECT client;
        GetClientRect(hwnd, &client);
        for (int i = 0; edges && i < n && i < static_cast<int>(wParam); ++i)
            edges[i] = model.PartAt(i).right;
        return n;
    }
    case SB_GETBORDERS:
        if (lParam) {
            auto* borders = reinterpret_cast<int*>(lParam);
            borders[0] = StatusBarModel::kHorzBorder;
            borders[1] = StatusBarModel::kVertBorder;
            borders[2] = StatusBarModel::kGap;
        }
        return TRUE;
    case SB_SETMINHEIGHT:
        model.minHeight = static_cast<int>(wParam);
        Reposition(hwnd, model);
        return 0;
    case SB_SIMPLE:
        model.SetSimple(wParam != 0);
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case SB_ISSIMPLE:
        return model.Simple();
    case SB_GETRECT: {
        const int part = static_cast<int>(wParam);
        if (!lParam || part < 0 || part >= model.PartCount())
            return FALSE;
        RECT client;
        GetClientRect(hwnd, &client);
        *reinterpret_cast<RECT*>(lParam) = model.PartRect(part, client, GripWidth(hwnd));
        return TRUE;
    }
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

} // namespace

LRESULT CALLBACK StatusBarWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchControlMessage<StatusBarModel>(
        hwnd, message, wParam, lParam, [](const CREATESTRUCT&) { return new StatusBarModel; }, HandleStatusBarMessage);
}
