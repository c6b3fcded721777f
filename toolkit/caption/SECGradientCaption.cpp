#include "toolkit/caption/SECGradientCaption.h"

#include <algorithm>

#include "platform/win/Gdi.h"
#include "platform/win/MenuApi.h"
#include "platform/win/SystemParameters.h"

namespace {

bool CaptionHasStyle(HWND hWnd, DWORD bits) { return (::GetWindowLongPtr(hWnd, GWL_STYLE) & bits) != 0; }

// A tool window (a docked or floating document frame) has the small caption: its height, its
// buttons and its font.
bool IsToolWindow(HWND hWnd) { return (::GetWindowLongPtr(hWnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0; }

int ButtonWidth(HWND hWnd) { return ::GetSystemMetrics(IsToolWindow(hWnd) ? SM_CXSMSIZE : SM_CXSIZE); }

bool CloseEnabled(HWND hWnd)
{
    HMENU menu = ::GetSystemMenu(hWnd, FALSE);
    if (menu == nullptr)
        return false;
    const UINT state = ::GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
}

}   // namespace

CRect SECGradientCaption::GetCaptionRect(HWND hWnd)
{
    if (!::IsWindow(hWnd))
        return CRect(0, 0, 0, 0);
    CRect window;
    ::GetWindowRect(hWnd, &window);
    const bool sizable = CaptionHasStyle(hWnd, WS_THICKFRAME);
    CRect rect;
    rect.left = ::GetSystemMetrics(SM_CXFRAME);
    rect.top = ::GetSystemMetrics(SM_CYFRAME) - (sizable ? 0 : 1);
    const int cx = ButtonWidth(hWnd);
    rect.right = window.Width() - cx - 1;
    rect.bottom = rect.top + ::GetSystemMetrics(IsToolWindow(hWnd) ? SM_CYSMSIZE : SM_CYSIZE);
    // Room for the caption buttons.
    const bool boxes = CaptionHasStyle(hWnd, WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
    const int buttons = (boxes ? 2 : 0) + (CloseEnabled(hWnd) ? 1 : 0);
    rect.right -= buttons * cx + (boxes ? ::GetSystemMetrics(SM_CXBORDER) : 0);
    return rect;
}

std::vector<SECCaptionBand> SECGradientCaption::GradientBands(const CRect& rect, COLORREF end)
{
    std::vector<SECCaptionBand> bands;
    const int width = rect.Width();
    if (width <= 0 || rect.Height() <= 0)
        return bands;   // a narrow or minimised frame: nothing to paint, and no division by zero
    const int count = std::min(60, width);
    const int cell = width / count;
    const int endRGB[3] = {GetRValue(end), GetGValue(end), GetBValue(end)};
    int step[3];
    for (int c = 0; c < 3; ++c)
        step[c] = endRGB[c] * 256 / count;   // from black
    int value[3] = {0, 0, 0};
    for (int i = 0; i < count; ++i) {
        const int left = rect.left + i * cell;
        const int right = i == count - 1 ? rect.right : left + cell;
        int rgb[3];
        for (int c = 0; c < 3; ++c)
            rgb[c] = std::min(endRGB[c], value[c] >> 8);
        bands.push_back({CRect(left, rect.top, right, rect.bottom), RGB(rgb[0], rgb[1], rgb[2])});
        for (int c = 0; c < 3; ++c)
            value[c] += step[c];
    }
    return bands;
}

void SECGradientCaption::SplitTitle(const CString& title, CString& app, CString& doc)
{
    const int dash = title.Find('-');
    if (dash < 0) {
        app = title;
        doc.Empty();
        return;
    }
    app = title.Left(dash);
    doc = title.Mid(dash);
}

BOOL SECGradientCaption::CreateDocTitleFont(LOGFONT& font, SECCaptionSize size)
{
    NONCLIENTMETRICS metrics{};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return FALSE;
    font = size == SECCaptionSize::Small ? metrics.lfSmCaptionFont : metrics.lfCaptionFont;
    return TRUE;
}

BOOL SECGradientCaption::CreateAppTitleFont(LOGFONT& font, SECCaptionSize size)
{
    if (!CreateDocTitleFont(font, size))
        return FALSE;
    font.lfItalic = 1;
    font.lfUnderline = 0;
    font.lfStrikeOut = 0;
    font.lfCharSet = 0;
    return TRUE;
}

BOOL SECGradientCaption::DrawCaption(HWND hWnd, BOOL bActive, int nAlign, HFONT hAppFont, HFONT hDocFont)
{
    const CRect caption = GetCaptionRect(hWnd);
    if (caption.Width() <= 0 || caption.Height() <= 0)
        return TRUE;   // nothing to paint; the custom caption stays on
    HDC window = ::GetWindowDC(hWnd);
    if (window == nullptr)
        return FALSE;
    HDC mem = ::CreateCompatibleDC(window);
    HBITMAP bitmap = mem ? ::CreateCompatibleBitmap(window, caption.Width(), caption.Height()) : nullptr;
    if (mem == nullptr || bitmap == nullptr) {
        if (mem)
            ::DeleteDC(mem);
        ::ReleaseDC(hWnd, window);
        return FALSE;
    }
    HGDIOBJ oldBitmap = ::SelectObject(mem, bitmap);
    CRect area(0, 0, caption.Width(), caption.Height());
    const COLORREF activeColour = ::GetSysColor(COLOR_ACTIVECAPTION);
    const COLORREF inactiveColour = ::GetSysColor(COLOR_INACTIVECAPTION);

    // The icon cell.
    CRect text = area;
    if (CaptionHasStyle(hWnd, WS_SYSMENU)) {
        const int cx = ButtonWidth(hWnd);
        CRect cell(area.left, area.top, area.left + cx, area.bottom);
        HBRUSH brush = ::CreateSolidBrush(bActive ? RGB(0, 0, 0) : inactiveColour);
        ::FillRect(mem, &cell, brush);
        ::DeleteObject(brush);
        cell.DeflateRect(2, 1, 0, 1);
        HICON icon = reinterpret_cast<HICON>(::GetClassLongPtr(hWnd, cx >= 30 ? GCLP_HICON : GCLP_HICONSM));
        if (icon != nullptr)
            ::DrawIconEx(mem, cell.left, cell.top + (cell.Height() - 16) / 2, icon, 16, 16, 0, nullptr, DI_NORMAL);
        text.left = area.left + cx;
    }
    // The gradient (or the flat inactive fill) behind the title.
    CRect back(text.left, area.top, area.right, area.bottom);
    if (bActive) {
        for (const SECCaptionBand& band : GradientBands(back, activeColour)) {
            HBRUSH brush = ::CreateSolidBrush(band.colour);
            ::FillRect(mem, &band.rect, brush);
            ::DeleteObject(brush);
        }
    } else {
        HBRUSH brush = ::CreateSolidBrush(inactiveColour);
        ::FillRect(mem, &back, brush);
        ::DeleteObject(brush);
    }
    // The title in two parts.
    char buffer[512] = {};
    ::GetWindowText(hWnd, buffer, sizeof buffer);
    CString app, doc;
    SplitTitle(buffer, app, doc);
    text.left += 3;
    ::SetBkMode(mem, TRANSPARENT);
    auto extent = [&](HFONT font, const CString& part) {
        if (part.IsEmpty())
            return 0;
        HGDIOBJ old = ::SelectObject(mem, font);
        RECT r{0, 0, 0, 0};
        ::DrawText(mem, part, -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        ::SelectObject(mem, old);
        return static_cast<int>(r.right - r.left);
    };
    const int appWidth = extent(hAppFont, app), docWidth = extent(hDocFont, doc);
    int x = text.left;
    if (nAlign == SEC_CAPTION_CENTER)
        x = text.left + (text.Width() - appWidth - docWidth) / 2;
    else if (nAlign == SEC_CAPTION_RIGHT)
        x = text.right - appWidth - docWidth;
    x = std::max<int>(x, text.left);
    auto drawPart = [&](HFONT font, const CString& part, COLORREF colour, int left, int width) {
        if (part.IsEmpty())
            return;
        HGDIOBJ old = ::SelectObject(mem, font);
        ::SetTextColor(mem, colour);
        RECT r{left, text.top, std::min<LONG>(text.right, left + width), text.bottom};
        ::DrawText(mem, part, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        ::SelectObject(mem, old);
    };
    drawPart(hAppFont, app, RGB(255, 255, 255), x, appWidth);
    drawPart(hDocFont, doc, bActive ? RGB(255, 255, 255) : ::GetSysColor(COLOR_INACTIVECAPTIONTEXT), x + appWidth,
             std::max(0, static_cast<int>(text.right) - (x + appWidth)));

    ::BitBlt(window, caption.left, caption.top, caption.Width(), caption.Height(), mem, 0, 0, SRCCOPY);
    ::SelectObject(mem, oldBitmap);
    ::DeleteObject(bitmap);
    ::DeleteDC(mem);
    ::ReleaseDC(hWnd, window);
    return TRUE;
}

// ---- The frame's custom caption ---------------------------------------------------------------

SECCustomCaption::~SECCustomCaption()
{
    DeleteFonts();
}

void SECCustomCaption::DeleteFonts()
{
    for (HFONT font : {m_hAppFont, m_hDocFont}) {
        if (font != nullptr)
            ::DeleteObject(font);
    }
    m_hAppFont = nullptr;
    m_hDocFont = nullptr;
}

BOOL SECCustomCaption::Enable(HWND hWnd, BOOL bEnable, BOOL bRedraw)
{
    const BOOL previous = m_bEnabled;
    m_bEnabled = bEnable ? TRUE : FALSE;
    if (::IsWindow(hWnd)) {
        if (bRedraw)
            ::SendMessage(hWnd, WM_NCPAINT, 1, 0);
        ::PostMessage(hWnd, WM_NCACTIVATE, FALSE, 0);
    }
    return previous;
}

void SECCustomCaption::EnsureFonts(HWND hWnd)
{
    // A window that became a tool window, or stopped being one, needs the other pair.
    const SECCaptionSize size = IsToolWindow(hWnd) ? SECCaptionSize::Small : SECCaptionSize::Normal;
    if (size != m_fontSize) {
        DeleteFonts();
        m_fontSize = size;
    }
    LOGFONT font{};
    if (m_hAppFont == nullptr && SECGradientCaption::CreateAppTitleFont(font, size))
        m_hAppFont = ::CreateFontIndirect(&font);
    if (m_hDocFont == nullptr && SECGradientCaption::CreateDocTitleFont(font, size))
        m_hDocFont = ::CreateFontIndirect(&font);
}

void SECCustomCaption::Draw(HWND hWnd)
{
    if (!m_bEnabled || !::IsWindow(hWnd))
        return;
    EnsureFonts(hWnd);
    if (!SECGradientCaption::DrawCaption(hWnd, m_bActive, m_nAlign, m_hAppFont, m_hDocFont)) {
        // The painting resources cannot be made: the system's caption from now on.
        m_bEnabled = FALSE;
        ::RedrawWindow(hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
    }
}

LRESULT SECCustomCaption::DefaultHidden(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, const DefaultHandler& defProc)
{
    const LONG_PTR style = ::GetWindowLongPtr(hWnd, GWL_STYLE);
    if (style & WS_VISIBLE)
        ::SetWindowLongPtr(hWnd, GWL_STYLE, style & ~WS_VISIBLE);
    const LRESULT result = defProc(msg, wParam, lParam);
    if ((style & WS_VISIBLE) && ::IsWindow(hWnd))
        ::SetWindowLongPtr(hWnd, GWL_STYLE, ::GetWindowLongPtr(hWnd, GWL_STYLE) | WS_VISIBLE);
    return result;
}

BOOL SECCustomCaption::Handle(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, BOOL bActive, const DefaultHandler& defProc,
                              LRESULT* pResult)
{
    if (!m_bEnabled)
        return FALSE;
    switch (msg) {
    case WM_SETTEXT:
        DefaultHidden(hWnd, msg, wParam, lParam, defProc);
        Draw(hWnd);
        *pResult = TRUE;
        return TRUE;
    case WM_NCACTIVATE:
        m_bActive = bActive ? TRUE : FALSE;
        *pResult = DefaultHidden(hWnd, msg, m_bActive, lParam, defProc);
        ::SendMessage(hWnd, WM_NCPAINT, 1, 0);
        return TRUE;
    case WM_NCPAINT: {
        const CRect caption = SECGradientCaption::GetCaptionRect(hWnd);
        CRect window;
        ::GetWindowRect(hWnd, &window);
        CRect onScreen = caption;
        onScreen.OffsetRect(window.left, window.top);
        HRGN update = reinterpret_cast<HRGN>(wParam);
        if (wParam > 1 && !::RectInRegion(update, &onScreen)) {
            *pResult = defProc(msg, wParam, lParam);   // the caption is not touched
            return TRUE;
        }
        // Everything but the caption the default way, then the caption ours.
        HRGN rest = ::CreateRectRgn(window.left, window.top, window.right, window.bottom);
        if (wParam > 1)
            ::CombineRgn(rest, update, nullptr, RGN_COPY);
        HRGN cut = ::CreateRectRgn(onScreen.left, onScreen.top, onScreen.right, onScreen.bottom);
        ::CombineRgn(rest, rest, cut, RGN_DIFF);
        ::DeleteObject(cut);
        *pResult = defProc(msg, reinterpret_cast<WPARAM>(rest), lParam);
        ::DeleteObject(rest);
        Draw(hWnd);
        return TRUE;
    }
    default: return FALSE;
    }
}
