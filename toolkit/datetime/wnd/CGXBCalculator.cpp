#include "toolkit/datetime/wnd/CGXBCalculator.h"

#include "platform/afx/gdi/CDC.h"
#include "platform/controls/Dialog.h"
#include "platform/win/Cursor.h"
#include "platform/win/Gdi.h"
#include "platform/win/Keyboard.h"
#include "platform/win/UserApi.h"
#include "toolkit/datetime/wnd/DTSupport.h"
#include "toolkit/datetime/wnd/DTTraits.h"
#include "toolkit/res/DateTimeRes.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr COLORREF kLookA = 0x800000;   // dark blue: operators and clearing
constexpr COLORREF kLookB = 0x000080;   // dark red: digits and the point

// a * b / c rounded half away from zero, as dialog units are scaled.
int ScaleUnits(int a, int b, int c)
{
    const long long p = static_cast<long long>(a) * b;
    return static_cast<int>((p >= 0 ? p + c / 2 : p - c / 2) / c);
}

COLORREF Cache(DTColor c)
{
    return CGXBDTTraits::Color(c);
}

LOGFONT SourceLogFont(CWnd* pSource)
{
    LOGFONT lf{};
    HFONT font = nullptr;
    if (pSource && pSource->GetSafeHwnd())
        font = reinterpret_cast<HFONT>(pSource->SendMessage(WM_GETFONT));
    if (!font)
        font = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
    ::GetObject(font, sizeof lf, &lf);
    return lf;
}

void Edge(CDC* pDC, CRect& rc, COLORREF topLeft, COLORREF bottomRight)
{
    pDC->Draw3dRect(&rc, topLeft, bottomRight);
    rc.DeflateRect(1, 1);
}

} // namespace

// ---- CGXBCalcBtn ----

void CGXBCalcBtn::Draw(CDC* pDC)
{
    const COLORREF face = Cache(DTColor::BtnFace);
    const COLORREF shadow = Cache(DTColor::BtnShadow);
    const COLORREF hilite = Cache(DTColor::BtnHilite);
    CRect rc = m_rect;
    Edge(pDC, rc, shadow, hilite);
    Edge(pDC, rc, Cache(DTColor::WindowFrame), Cache(DTColor::WindowFrame));
    int off = 0;
    if (IsPressed()) {
        Edge(pDC, rc, shadow, shadow);
        off = 2;
    } else {
        Edge(pDC, rc, hilite, shadow);
        Edge(pDC, rc, Cache(DTColor::Light3d), shadow);
    }
    pDC->FillSolidRect(&rc, face);
    CRect content = rc;
    content.OffsetRect(off, off);
    if (m_look.phBitmap && *m_look.phBitmap) {
        BITMAP bm{};
        ::GetObject(*m_look.phBitmap, sizeof bm, &bm);
        CDC mem;
        if (mem.CreateCompatibleDC(pDC)) {
            HGDIOBJ old = ::SelectObject(mem.m_hDC, *m_look.phBitmap);
            const int x = m_strLabel.IsEmpty() ? content.left + (content.Width() - bm.bmWidth) / 2 : content.left + 5;
            const int y = content.top + (content.Height() - bm.bmHeight) / 2;
            const int saved = pDC->SaveDC();
            pDC->IntersectClipRect(&rc);
            pDC->BitBlt(x, y, bm.bmWidth, bm.bmHeight, &mem, 0, 0, SRCCOPY);
            pDC->RestoreDC(saved);
            ::SelectObject(mem.m_hDC, old);
            if (!m_strLabel.IsEmpty())
                content.left = x + bm.bmWidth;
        }
    }
    if (!m_strLabel.IsEmpty()) {
        HGDIOBJ oldFont = m_look.hFont ? ::SelectObject(pDC->m_hDC, m_look.hFont) : nullptr;
        pDC->SetTextColor(m_look.textColor);
        pDC->SetBkColor(face);
        pDC->SetBkMode(OPAQUE);
        pDC->DrawText(m_strLabel, &content, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        if (oldFont)
            ::SelectObject(pDC->m_hDC, oldFont);
    }
}

// ---- CGXBCalculator ----

CGXBCalculator::CGXBCalculator() = default;

CGXBCalculator::~CGXBCalculator()
{
    if (m_hEnterBitmap)
        ::DeleteObject(m_hEnterBitmap);
}

void CGXBCalculator::Reset()
{
    if (!((m_flags & FlagValueSet) && !m_hWnd))
        m_engine.Reset();
    m_flags &= ~FlagError;
    InvalidateDisplay();
}

void CGXBCalculator::SetValue(double dValue)
{
    m_engine.SetValue(dValue);
    if (!m_hWnd)
        m_flags |= FlagValueSet;
    InvalidateDisplay();
}

CString CGXBCalculator::GetDisplayText() const
{
    if (m_engine.IsError()) {
        CString error;
        if (!error.LoadString(GX_IDS_CALCERROR))
            error = "Error ";
        return error;
    }
    return m_engine.GetDisplayText();
}

void CGXBCalculator::InvalidateDisplay()
{
    if (m_hWnd)
        InvalidateRect(&m_displayRect, FALSE);
}

CGXBCalcBtn* CGXBCalculator::FindButton(UINT nID) const
{
    for (const auto& b : m_buttons)
        if (b->m_id == nID)
            return b.get();
    return nullptr;
}

void CGXBCalculator::LoadEnterBitmap()
{
    if (m_hEnterBitmap) {
        ::DeleteObject(m_hEnterBitmap);
        m_hEnterBitmap = nullptr;
    }
    CBitmap bitmap;
    if (DTLoadSysColorBitmap(bitmap, GX_IDB_CALCENTER))
        m_hEnterBitmap = static_cast<HBITMAP>(bitmap.Detach());
}

void CGXBCalculator::CreateButtons(CWnd* pFontSource)
{
    LOGFONT lf = SourceLogFont(pFontSource);
    lf.lfWeight = FW_BOLD;
    m_fontButtons.DeleteObject();
    m_fontButtons.CreateFontIndirect(&lf);
    {
        CClientDC dc(nullptr);
        CFont* old = dc.SelectObject(&m_fontButtons);
        const CSize ext = dc.GetTextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52);
        TEXTMETRIC tm{};
        dc.GetTextMetrics(&tm);
        dc.SelectObject(old);
        int width = (ext.cx + 26) / 52;
        int height = tm.tmHeight + tm.tmExternalLeading;
        if (width <= 0 || height <= 0) {
            const LONG units = GetDialogBaseUnits();
            width = LOWORD(units);
            height = HIWORD(units);
        }
        m_unitWidth = ScaleUnits(16, width, 4);
        m_unitHeight = ScaleUnits(14, height, 8);
    }
    struct Row {
        UINT id;
        const char* label;
        const char* keys;
        UINT vKey;
        int units;
        bool newRow;
        char look;
    };
    static const Row kTable[] = {
        {GXCALC_CLEAR, "C", "c", 0, 1, true, 'A'},        {GXCALC_CLEARENTRY, "CE", "e", 0, 1, false, 'A'},
        {GXCALC_BACKSPACE, "<-", "\b", VK_DELETE, 1, false, 'A'}, {GXCALC_PERCENT, "%", "%", 0, 1, false, 'A'},
        {GXCALC_DIGIT0 + 7, "7", "7", 0, 1, true, 'B'},    {GXCALC_DIGIT0 + 8, "8", "8", 0, 1, false, 'B'},
        {GXCALC_DIGIT0 + 9, "9", "9", 0, 1, false, 'B'},   {GXCALC_DIVIDE, "/", "/", 0, 1, false, 'A'},
        {GXCALC_DIGIT0 + 4, "4", "4", 0, 1, true, 'B'},    {GXCALC_DIGIT0 + 5, "5", "5", 0, 1, false, 'B'},
        {GXCALC_DIGIT0 + 6, "6", "6", 0, 1, false, 'B'},   {GXCALC_MULTIPLY, "*", "*", 0, 1, false, 'A'},
        {GXCALC_DIGIT0 + 1, "1", "1", 0, 1, true, 'B'},    {GXCALC_DIGIT0 + 2, "2", "2", 0, 1, false, 'B'},
        {GXCALC_DIGIT0 + 3, "3", "3", 0, 1, false, 'B'},   {GXCALC_SUBTRACT, "-", "-", 0, 1, false, 'A'},
        {GXCALC_DIGIT0, "0", "0", 0, 2, true, 'B'},        {GXCALC_POINT, ".", ".", 0, 1, false, 'B'},
        {GXCALC_ADD, "+", "+", 0, 1, false, 'A'},          {GXCALC_EQUALS, nullptr, "=", VK_RETURN, 4, true, 'C'},
    };
    m_buttons.clear();
    for (const Row& row : kTable) {
        auto b = std::make_unique<CGXBCalcBtn>();
        b->m_id = row.id;
        if (row.label) {
            b->m_strLabel = row.label;
        } else if (!b->m_strLabel.LoadString(GX_IDS_CALCENTER)) {
            b->m_strLabel = "Enter";
        }
        b->m_strKeys = row.keys;
        b->m_vKey = row.vKey;
        b->m_units = row.units;
        b->m_state = row.newRow ? static_cast<UINT>(CGXBCalcBtn::NewRow) : 0u;
        b->m_look.hFont = static_cast<HFONT>(m_fontButtons.GetSafeHandle());
        b->m_look.textColor = row.look == 'A' ? kLookA : row.look == 'B' ? kLookB : 0;
        if (row.look == 'C')
            b->m_look.phBitmap = &m_hEnterBitmap;
        m_buttons.push_back(std::move(b));
    }
    LoadEnterBitmap();
}

void CGXBCalculator::CreateDisplayFont(CWnd* pFontSource)
{
    LOGFONT lf = SourceLogFont(pFontSource);
    lf.lfWeight = FW_NORMAL;
    m_fontDisplay.DeleteObject();
    m_fontDisplay.CreateFontIndirect(&lf);
    CClientDC dc(nullptr);
    CFont* old = dc.SelectObject(&m_fontDisplay);
    CRect rc(0, 0, 0, 0);
    dc.DrawText("T", 1, &rc, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    dc.SelectObject(old);
    m_displayRect.SetRect(0, 0, 0, rc.Height() + 4);
}

CSize CGXBCalculator::Layout()
{
    const int height = m_displayRect.Height();
    const DWORD style = m_hWnd ? GetStyle() : 0;
    const int top = (style & GXCALC_STYLE_ETCHED) ? 2 * m_topMargin + 6 : m_topMargin;
    m_displayRect.SetRect(m_leftMargin, top, m_leftMargin, top + height);
    int x = m_leftMargin;
    int y = m_displayRect.bottom + m_rowGap;
    int right = m_leftMargin;
    int bottom = y;
    bool first = true;
    for (auto& b : m_buttons) {
        if ((b->m_state & CGXBCalcBtn::NewRow) && !first) {
            x = m_leftMargin;
            y += m_rowGap + m_unitHeight;
        } else if (!first) {
            x += m_columnGap;
        }
        first = false;
        b->m_rect.SetRect(x, y, x + b->m_units * m_unitWidth, y + m_unitHeight);
        x = b->m_rect.right;
        right = std::max(right, static_cast<int>(b->m_rect.right));
        bottom = std::max(bottom, static_cast<int>(b->m_rect.bottom));
    }
    m_displayRect.right = right;
    // How many digits the display holds.
    CClientDC dc(nullptr);
    CFont* old = dc.SelectObject(&m_fontDisplay);
    const int point = dc.GetTextExtent(".", 1).cx;
    const int zero = std::max(1, static_cast<int>(dc.GetTextExtent("0", 1).cx));
    dc.SelectObject(old);
    m_engine.SetMaxDigits((m_displayRect.Width() - 4 - point) / zero - 1);
    return CSize(right + m_leftMargin, bottom + m_topMargin);
}

CSize CGXBCalculator::AdjustedSize(DWORD dwStyle, DWORD dwExStyle)
{
    const CSize content = Layout();
    CRect frame(0, 0, 0, 0);
    ::AdjustWindowRectEx(&frame, dwStyle, FALSE, dwExStyle);
    CSize size(content.cx + frame.Width(), content.cy + frame.Height());
    if (dwStyle & GXCALC_STYLE_RAISED) {
        size.cx += 4;
        size.cy += 4;
    }
    return size;
}

BOOL CGXBCalculator::Create(DWORD dwExStyle, DWORD dwStyle, int x, int y, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    CGXBDTTraits::RefreshColors();
    Reset();
    if (dwStyle & GXCALC_STYLE_RAISED) {
        dwExStyle &= ~(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE);
        dwStyle &= ~WS_BORDER;
    }
    if (m_buttons.empty())
        CreateButtons(pParentWnd);
    if (!m_fontDisplay.GetSafeHandle())
        CreateDisplayFont(pParentWnd);
    const CSize size = AdjustedSize(dwStyle, dwExStyle);
    LPCTSTR cls = AfxRegisterWndClass(GetClassStyle(), ::LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
    if (!CreateEx(dwExStyle, cls, nullptr, dwStyle, x, y, size.cx, size.cy, pParentWnd ? pParentWnd->m_hWnd : nullptr,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam))
        return FALSE;
    m_flags &= ~FlagValueSet;
    Layout();
    return TRUE;
}

BOOL CGXBCalculator::OnCalcCommand(UINT nID)
{
    const CGXBCalcEngine::Outcome outcome = m_engine.OnCalcCommand(nID);
    if (outcome.bBeep)
        MessageBeep(static_cast<UINT>(-1));
    InvalidateDisplay();
    return outcome.bResult;
}

int CGXBCalculator::ButtonAt(POINT pt) const
{
    for (size_t i = 0; i < m_buttons.size(); ++i)
        if (m_buttons[i]->m_rect.PtInRect(pt))
            return static_cast<int>(i);
    return -1;
}

void CGXBCalculator::PressButton(CGXBCalcBtn* pButton)
{
    pButton->m_state |= CGXBCalcBtn::Pressed;
    InvalidateRect(&pButton->m_rect, FALSE);
    UpdateWindow();
    const UINT id = pButton->m_id;
    const HWND self = m_hWnd;
    OnCalcCommand(id);
    // The command may have closed a pop-up; only a window still there is redrawn.
    if (::IsWindow(self) && FromHandlePermanent(self) == this) {
        pButton->m_state &= ~CGXBCalcBtn::Pressed;
        InvalidateRect(&pButton->m_rect, FALSE);
    }
}

BOOL CGXBCalculator::OnChar(UINT nChar)
{
    if (nChar >= 0x80)   // no button answers to a character beyond ASCII
        return FALSE;
    const char c = static_cast<char>(std::tolower(static_cast<int>(nChar)));
    for (auto& b : m_buttons)
        if (b->m_strKeys.Find(c) >= 0) {
            PressButton(b.get());
            return TRUE;
        }
    return FALSE;
}

BOOL CGXBCalculator::OnKeyDown(UINT nChar)
{
    if (nChar == VK_TAB && !IsPopup()) {
        if (CWnd* parent = GetParent())
            parent->PostMessage(WM_NEXTDLGCTL, (::GetKeyState(VK_SHIFT) & 0x8000) ? 1 : 0, 0);
        return TRUE;
    }
    for (auto& b : m_buttons)
        if (b->m_vKey && b->m_vKey == nChar) {
            PressButton(b.get());
            return TRUE;
        }
    return FALSE;
}

void CGXBCalculator::OnLButtonDown(POINT pt)
{
    const int i = ButtonAt(pt);
    if (i < 0)
        return;
    if (::GetFocus() != m_hWnd)
        SetFocus();
    SetCapture();
    m_flags |= FlagTracking;
    m_pressed = i;
    m_buttons[static_cast<size_t>(i)]->m_state |= CGXBCalcBtn::Pressed;
    InvalidateRect(&m_buttons[static_cast<size_t>(i)]->m_rect, FALSE);
}

void CGXBCalculator::OnMouseMove(POINT pt)
{
    if (!(m_flags & FlagTracking) || m_pressed < 0)
        return;
    CGXBCalcBtn* b = m_buttons[static_cast<size_t>(m_pressed)].get();
    const bool over = b->m_rect.PtInRect(pt) != FALSE;
    if (over != (b->IsPressed() != FALSE)) {
        b->m_state ^= CGXBCalcBtn::Pressed;
        InvalidateRect(&b->m_rect, FALSE);
    }
}

void CGXBCalculator::OnLButtonUp(POINT pt)
{
    if (!(m_flags & FlagTracking))
        return;
    m_flags &= ~FlagTracking;
    const int pressed = m_pressed;
    m_pressed = -1;
    ReleaseCapture();
    if (pressed < 0)
        return;
    CGXBCalcBtn* b = m_buttons[static_cast<size_t>(pressed)].get();
    b->m_state &= ~CGXBCalcBtn::Pressed;
    InvalidateRect(&b->m_rect, FALSE);
    if (b->m_rect.PtInRect(pt))
        OnCalcCommand(b->m_id);
}

void CGXBCalculator::OnCancelMode()
{
    if (!(m_flags & FlagTracking))
        return;
    m_flags &= ~FlagTracking;
    if (m_pressed >= 0) {
        m_buttons[static_cast<size_t>(m_pressed)]->m_state &= ~CGXBCalcBtn::Pressed;
        InvalidateRect(&m_buttons[static_cast<size_t>(m_pressed)]->m_rect, FALSE);
    }
    m_pressed = -1;
    if (GetCapture() == this)
        ReleaseCapture();
}

void CGXBCalculator::OnDraw(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(&client, Cache(DTColor::BtnFace));
    if (GetStyle() & GXCALC_STYLE_ETCHED) {
        const int y = client.top + m_topMargin + 2;
        pDC->FillSolidRect(client.left + 1, y, client.Width() - 2, 1, Cache(DTColor::BtnShadow));
        pDC->FillSolidRect(client.left + 1, y + 1, client.Width() - 2, 1, Cache(DTColor::BtnHilite));
    }
    if (pDC->RectVisible(&m_displayRect)) {
        CRect rc = m_displayRect;
        Edge(pDC, rc, Cache(DTColor::BtnShadow), Cache(DTColor::BtnHilite));
        Edge(pDC, rc, Cache(DTColor::WindowFrame), Cache(DTColor::BtnFace));
        pDC->FillSolidRect(&rc, Cache(DTColor::Window));
        CFont* old = pDC->SelectObject(&m_fontDisplay);
        pDC->SetTextColor(Cache(DTColor::WindowText));
        pDC->SetBkColor(Cache(DTColor::Window));
        rc.DeflateRect(2, 0);
        pDC->DrawText(GetDisplayText(), &rc,
                      DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_EXTERNALLEADING | DT_NOPREFIX);
        pDC->SelectObject(old);
    }
    for (auto& b : m_buttons)
        if (pDC->RectVisible(&b->m_rect))
            b->Draw(pDC);
}

void CGXBCalculator::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CRect clip;
    dc.GetClipBox(&clip);
    CDC mem;
    CBitmap bitmap;
    if (mem.CreateCompatibleDC(&dc) && bitmap.CreateCompatibleBitmap(&dc, client.Width(), client.Height())) {
        CBitmap* old = mem.SelectObject(&bitmap);
        mem.IntersectClipRect(&clip);
        OnDraw(&mem);
        dc.BitBlt(clip.left, clip.top, clip.Width(), clip.Height(), &mem, clip.left, clip.top, SRCCOPY);
        mem.SelectObject(old);
    } else {
        OnDraw(&dc);
    }
}

LRESULT CGXBCalculator::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_NCCALCSIZE:
        if (GetStyle() & GXCALC_STYLE_RAISED) {
            const LRESULT r = CWnd::WindowProc(message, wParam, lParam);
            RECT* rc = reinterpret_cast<RECT*>(lParam);
            ::InflateRect(rc, -2, -2);
            return r;
        }
        break;
    case WM_NCPAINT:
        if (GetStyle() & GXCALC_STYLE_RAISED) {
            CWnd::WindowProc(message, wParam, lParam);
            CDC* dc = GetWindowDC();
            CRect rc;
            GetWindowRect(&rc);
            rc.OffsetRect(-rc.left, -rc.top);
            Edge(dc, rc, Cache(DTColor::Light3d), Cache(DTColor::DkShadow3d));
            Edge(dc, rc, Cache(DTColor::BtnHilite), Cache(DTColor::BtnShadow));
            ReleaseDC(dc);
            return 0;
        }
        break;
    case WM_SYSCOLORCHANGE:
        CGXBDTTraits::RefreshColors();
        if (m_hEnterBitmap)
            LoadEnterBitmap();
        break;
    case WM_LBUTTONDOWN:
        OnLButtonDown(pt);
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(pt);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(pt);
        return 0;
    case WM_CANCELMODE:
        OnCancelMode();
        break;
    case WM_CAPTURECHANGED:
        if ((m_flags & FlagTracking) && reinterpret_cast<HWND>(lParam) != m_hWnd)
            OnCancelMode();
        break;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    case WM_CHAR:
        if (OnChar(static_cast<UINT>(wParam)))
            return 0;
        break;
    case WM_KEYDOWN:
        if (OnKeyDown(static_cast<UINT>(wParam)))
            return 0;
        break;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// ---- CGXBPopupCalculator ----

CPoint CGXBPopupCalculator::PlaceBeside(const RECT& rcAnchor, SIZE size, SIZE screen)
{
    CPoint pt;
    pt.x = rcAnchor.left + size.cx < screen.cx ? rcAnchor.left : rcAnchor.right - size.cx;
    pt.y = rcAnchor.bottom + size.cy < screen.cy ? rcAnchor.bottom : rcAnchor.top - size.cy;
    return pt;
}

BOOL CGXBPopupCalculator::Create(DWORD dwStyle, const RECT& rcAnchor, CWnd* pParentWnd, LPVOID lpParam)
{
    DWORD exStyle = 0;
    if (dwStyle & GXCALC_STYLE_RAISED)
        dwStyle &= ~WS_BORDER;
    if (m_buttons.empty())
        CreateButtons(pParentWnd);
    if (!m_fontDisplay.GetSafeHandle())
        CreateDisplayFont(pParentWnd);
    const CSize size = AdjustedSize(dwStyle | WS_POPUP, exStyle);
    const CPoint at =
        PlaceBeside(rcAnchor, size, SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    if (!CGXBCalculator::Create(exStyle, dwStyle | WS_POPUP, at.x, at.y, pParentWnd, 0, lpParam))
        return FALSE;
    SetFocus();
    return TRUE;
}

BOOL CGXBPopupCalculator::OnCalcCommand(UINT nID)
{
    const BOOL result = CGXBCalculator::OnCalcCommand(nID);
    if (nID == GXCALC_EQUALS && (GetStyle() & GXCALC_STYLE_SENDONEQUALS)) {
        SendValue();
        PostMessage(WM_CLOSE);
    }
    return result;
}

void CGXBPopupCalculator::SendValue()
{
    HWND owner = m_hWndOwner ? m_hWndOwner : ::GetWindow(m_hWnd, GW_OWNER);
    if (!owner || !::IsWindow(owner) || m_engine.IsError())
        return;
    const CString text = m_engine.GetEntry();
    ::SendMessage(owner, GXCALC_WM_RESULT, 0, reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(text)));
}

BOOL CGXBPopupCalculator::DestroyWindow()
{
    // Losing the focus while going away asks for the same destruction again: once is enough.
    if (m_bDestroying || !m_hWnd)
        return FALSE;
    m_bDestroying = TRUE;
    return CGXBCalculator::DestroyWindow();
}

void CGXBPopupCalculator::PostNcDestroy()
{
    m_bDestroying = FALSE;
    if (m_bAutoDelete)
        delete this;
}

LRESULT CGXBPopupCalculator::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KILLFOCUS:
        CGXBCalculator::WindowProc(message, wParam, lParam);
        if (reinterpret_cast<HWND>(wParam) != m_hWnd)
            DestroyWindow();
        return 0;
    case WM_CLOSE:
        DestroyWindow();
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            DestroyWindow();
            return 0;
        }
        if (wParam == VK_RETURN) {
            CGXBCalculator::OnCalcCommand(GXCALC_EQUALS);
            SendValue();
            DestroyWindow();
            return 0;
        }
        break;
    case WM_SYSKEYDOWN:
        if (wParam == VK_DOWN) {
            CGXBCalculator::OnCalcCommand(GXCALC_EQUALS);
            SendValue();
            DestroyWindow();
            return 0;
        }
        if (OnKeyDown(static_cast<UINT>(wParam)))
            return 0;
        break;
    default:
        break;
    }
    return CGXBCalculator::WindowProc(message, wParam, lParam);
}
