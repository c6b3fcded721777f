#include "toolkit/frames/SECCustomStatusBar.h"

#include "platform/afx/gdi/CDC.h"
#include "platform/afx/gdi/GdiObjects.h"
#include "platform/controls/StatusBar.h"
#include "platform/core/TickCount.h"
#include "platform/win/Cursor.h"
#include "platform/win/Gdi.h"
#include "platform/win/WinUser.h"
#include "toolkit/controls/SECProgressCtrl.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(SECCustomStatusBar, SECStatusBar)

BEGIN_MESSAGE_MAP(SECCustomStatusBar, SECStatusBar)
    ON_MESSAGE(WM_SETCURSOR, &SECCustomStatusBar::OnSetCursorCustom)
    ON_MESSAGE(WM_SIZE, &SECCustomStatusBar::OnSizeCustom)
    ON_MESSAGE(WM_SETFONT, &SECCustomStatusBar::OnSetFontCustom)
    ON_MESSAGE(WM_SETTEXT, &SECCustomStatusBar::OnSetTextCustom)
    ON_MESSAGE(SB_SETMINHEIGHT, &SECCustomStatusBar::OnSetMinHeightCustom)
END_MESSAGE_MAP()

namespace {

// The most parts the status control keeps.
constexpr int kMaxParts = 256;

} // namespace

SECCustomStatusBar::SECCustomStatusBar() = default;

SECCustomStatusBar::~SECCustomStatusBar()
{
    if (m_pProgressCtrl && m_pProgressCtrl->m_hWnd)
        m_pProgressCtrl->DestroyWindow();
}

BOOL SECCustomStatusBar::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= 0x00001000;
    return SECStatusBar::PreCreateWindow(cs);
}

SECCustomStatusBar::PaneExtra* SECCustomStatusBar::Extra(int nIndex) const
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_extras.size()))
        return nullptr;
    return const_cast<PaneExtra*>(&m_extras[static_cast<size_t>(nIndex)]);
}

BOOL SECCustomStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    const BOOL result = SECStatusBar::SetIndicators(lpIDArray, nIDCount);
    m_extras.assign(static_cast<size_t>(std::max(nIDCount, 0)), PaneExtra{});
    // Every pane is drawn here, so that its extras show.
    if (m_hWnd)
        for (int i = 0; i < GetPaneCount(); ++i)
            SendMessage(SB_SETTEXT, static_cast<WPARAM>((GetPaneStyle(i) & 0xFFFF) | SBT_OWNERDRAW | UINT(i)), 0);
    return result;
}

void SECCustomStatusBar::GetPaneInfoEx(SECPaneInfo* pInfo) const
{
    if (!pInfo)
        return;
    GetPaneInfo(pInfo->iIndex, pInfo->nID, pInfo->nStyle, pInfo->cxWidth);
    GetPaneText(pInfo->iIndex, pInfo->strText);
    if (const PaneExtra* extra = Extra(pInfo->iIndex)) {
        pInfo->crTextForeground = extra->crTextForeground;
        pInfo->crTextBackground = extra->crTextBackground;
        pInfo->pBitmap = extra->pBitmap;
        pInfo->hCursor = extra->hCursor;
        pInfo->nTextAlign = extra->nTextAlign;
        pInfo->fMask = extra->fActive;
    }
}

void SECCustomStatusBar::SetPaneInfoEx(const SECPaneInfo* pInfo, BOOL bFit)
{
    if (!pInfo || !Extra(pInfo->iIndex))
        return;
    const int index = pInfo->iIndex;
    UINT nID = 0, nStyle = 0;
    int cxWidth = 0;
    GetPaneInfo(index, nID, nStyle, cxWidth);
    if (pInfo->fMask & SBP_ID)
        nID = pInfo->nID;
    if (pInfo->fMask & SBP_STYLE)
        nStyle = pInfo->nStyle;
    int bitmapHeight = 0;
    if (pInfo->fMask & SBP_WIDTH) {
        cxWidth = pInfo->cxWidth;
    } else if (bFit && (pInfo->fMask & SBP_BITMAP) && pInfo->pBitmap && pInfo->pBitmap->GetSafeHandle()) {
        BITMAP bm{};
        pInfo->pBitmap->GetBitmap(&bm);
        cxWidth = bm.bmWidth;
        bitmapHeight = std::max(bm.bmHeight, 0);
    }
    nStyle |= SBT_OWNERDRAW;
    SetPaneInfo(index, nID, nStyle, cxWidth);
    if (pInfo->fMask & SBP_TEXT)
        SetPaneText(index, pInfo->strText, FALSE);
    PaneExtra& extra = *Extra(index);
    if (pInfo->fMask & SBP_TEXTALIGN)
        extra.nTextAlign = pInfo->nTextAlign;
    if (pInfo->fMask & SBP_FOREGROUND)
        extra.crTextForeground = pInfo->crTextForeground;
    if (pInfo->fMask & SBP_BACKGROUND)
        extra.crTextBackground = pInfo->crTextBackground;
    if (pInfo->fMask & SBP_BITMAP)
        extra.pBitmap = pInfo->pBitmap;
    if (pInfo->fMask & SBP_CURSOR)
        extra.hCursor = pInfo->hCursor;
    extra.fActive = pInfo->fMask & 0x1F0;
    if (bFit && bitmapHeight > 0) {
        int borders[3];
        GetControlBorders(borders);
        m_nMinHeight = bitmapHeight + 2 * borders[1];
        ResizeParent();
    }
    if (m_hWnd) {
        CRect rect;
        GetPaneRect(index, &rect);
        InvalidateRect(&rect, TRUE);
    }
}

void SECCustomStatusBar::ResizeParent()
{
    CWnd* parent = m_hWnd ? GetParent() : nullptr;
    if (!parent)
        return;
    CRect rect;
    parent->GetWindowRect(&rect);
    parent->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(rect.Width(), rect.Height()));
}

void SECCustomStatusBar::GetPaneRect(int nIndex, LPRECT lpRect) const
{
    ::SetRectEmpty(lpRect);
    if (!m_hWnd || nIndex < 0 || nIndex >= GetPaneCount())
        return;
    int rights[kMaxParts] = {};
    const int parts = std::min(static_cast<int>(SendMessage(SB_GETPARTS, kMaxParts, reinterpret_cast<LPARAM>(rights))),
                               kMaxParts);
    // A pane the control holds no part for has no rectangle: the edges read stop at the parts
    // that exist.
    if (nIndex >= parts)
        return;
    CRect client;
    GetClientRect(&client);
    int borders[3];
    GetControlBorders(borders);
    lpRect->left = nIndex == 0 ? borders[0] : rights[nIndex - 1] + borders[2];
    lpRect->right = rights[nIndex] == -1 ? client.right - borders[0] : rights[nIndex];
    lpRect->top = borders[1];
    lpRect->bottom = std::max<LONG>(client.bottom - borders[1] + 1, 0);
}

void SECCustomStatusBar::SetPaneControl(int nIndex, CWnd* pWnd, int nFitMode, UINT nFlags)
{
    if (nIndex < 0)
        return;
    if (static_cast<size_t>(nIndex) >= m_paneControls.size()) {
        m_paneControls.resize(static_cast<size_t>(nIndex) + 1, nullptr);
        m_paneControlFlags.resize(static_cast<size_t>(nIndex) + 1, 0);
    }
    m_paneControls[static_cast<size_t>(nIndex)] = pWnd;
    m_paneControlFlags[static_cast<size_t>(nIndex)] = pWnd ? nFlags : 0;
    if (!pWnd || !pWnd->m_hWnd)
        return;
    if (nFitMode == 0) {
        CRect rect;
        GetItemRect(nIndex, &rect);
        pWnd->SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (nFitMode == 1) {
        CRect rect;
        pWnd->GetWindowRect(&rect);
        SetPaneWidth(nIndex, rect.Width());
    }
}

CWnd* SECCustomStatusBar::GetPaneControl(int nIndex) const
{
    return nIndex >= 0 && static_cast<size_t>(nIndex) < m_paneControls.size() ? m_paneControls[static_cast<size_t>(nIndex)]
                                                                                : nullptr;
}

UINT SECCustomStatusBar::GetPaneControlFlags(int nIndex) const
{
    return nIndex >= 0 && static_cast<size_t>(nIndex) < m_paneControlFlags.size()
        ? m_paneControlFlags[static_cast<size_t>(nIndex)]
        : 0;
}

void SECCustomStatusBar::ShowPaneControls(BOOL bShow)
{
    for (CWnd* control : m_paneControls)
        if (control && control->m_hWnd)
            control->ShowWindow(bShow ? SW_SHOW : SW_HIDE);
}

void SECCustomStatusBar::RepositionPaneControls()
{
    for (size_t i = 0; i < m_paneControls.size(); ++i) {
        CWnd* control = m_paneControls[i];
        if (!control || !control->m_hWnd)
            continue;
        const UINT flags = m_paneControlFlags[i];
        CRect pane;
        GetItemRect(static_cast<int>(i), &pane);
        CRect own;
        control->GetWindowRect(&own);
        CRect place = pane;
        if (flags & SBC_KEEPWIDTH) {
            place.right = place.left + own.Width();
        } else if (flags & SBC_INSET) {
            place.left += 1;
            place.right -= 1;
        }
        if (flags & SBC_KEEPHEIGHT) {
            place.bottom = place.top + own.Height();
        } else if (flags & SBC_INSET) {
            place.top += 1;
            place.bottom -= 1;
        }
        control->SetWindowPos(nullptr, place.left, place.top, place.Width(), place.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void SECCustomStatusBar::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (!lpDrawItemStruct)
        return;
    const int index = static_cast<int>(lpDrawItemStruct->itemID);
    // While the meter runs only pane 0 is painted.
    if (m_pProgressCtrl && index != 0)
        return;
    if (GetPaneStyle(index) & SBPS_DISABLED)
        return;
    const PaneExtra* extra = Extra(index);
    CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
    const CRect rect(lpDrawItemStruct->rcItem);
    if (extra && (extra->fActive & SBP_BITMAP) && extra->pBitmap && extra->pBitmap->GetSafeHandle()) {
        BITMAP bm{};
        extra->pBitmap->GetBitmap(&bm);
        CDC memory;
        memory.CreateCompatibleDC(pDC);
        CBitmap* old = memory.SelectObject(extra->pBitmap);
        pDC->BitBlt(rect.left, rect.top, bm.bmWidth, bm.bmHeight, &memory, 0, 0, SRCCOPY);
        memory.SelectObject(old);
        return;
    }
    const CString text = GetPaneText(index);
    const CSize extent = pDC->GetTextExtent(text);
    const int oldMode = pDC->SetBkMode(TRANSPARENT);
    int x = rect.left + 1;
    // A text longer than its pane ends at the pane's edge, not over the panes beside it.
    UINT options = ETO_CLIPPED;
    COLORREF oldText = CLR_INVALID, oldBack = CLR_INVALID;
    UINT oldAlign = GDI_ERROR;
    if (extra && (extra->fActive & SBP_FOREGROUND))
        oldText = pDC->SetTextColor(extra->crTextForeground);
    if (extra && (extra->fActive & SBP_BACKGROUND)) {
        oldBack = pDC->SetBkColor(extra->crTextBackground);
        options |= ETO_OPAQUE;
    }
    if (extra && (extra->fActive & SBP_TEXTALIGN)) {
        if ((extra->nTextAlign & (TA_RIGHT | TA_CENTER)) == TA_RIGHT)
            x = rect.right - 1;
        else if ((extra->nTextAlign & (TA_RIGHT | TA_CENTER)) == TA_CENTER)
            x = rect.left + (rect.right - rect.left) / 2;
        oldAlign = pDC->SetTextAlign(extra->nTextAlign);
    }
    const int y = rect.top + (rect.bottom - extent.cy - rect.top) / 2;
    pDC->ExtTextOut(x, y, options, &rect, text, static_cast<UINT>(text.GetLength()), nullptr);
    if (oldAlign != GDI_ERROR)
        pDC->SetTextAlign(oldAlign);
    if (oldBack != CLR_INVALID)
        pDC->SetBkColor(oldBack);
    if (oldText != CLR_INVALID)
        pDC->SetTextColor(oldText);
    pDC->SetBkMode(oldMode);
}

BOOL SECCustomStatusBar::InitProgressBar(LPCTSTR lpszText, UINT nLower, UINT nUpper, BOOL bReset,
                                         DWORD dwProgressStyle)
{
    if (!m_hWnd)
        return FALSE;
    CRect client;
    GetClientRect(&client);
    CRect meter = client;
    bool created = false;
    if (!m_pProgressCtrl) {
        auto progress = std::make_unique<SECProgressCtrl>();
        if (!progress->Create(WS_CHILD, meter, this, 1, dwProgressStyle))
            return FALSE;
        m_pProgressCtrl = std::move(progress);
        created = true;
    } else {
        m_pProgressCtrl->SetExStyle(dwProgressStyle);
    }
    ShowPaneControls(FALSE);
    if (lpszText && GetPaneCount() > 0) {
        if (!m_pSavedPane0) {
            m_pSavedPane0 = std::make_unique<SECPaneInfo>();
            m_pSavedPane0->iIndex = 0;
            GetPaneInfoEx(m_pSavedPane0.get());
            m_pSavedPane0->fMask |= SBP_STYLE | SBP_WIDTH | SBP_TEXT | SBP_TEXTALIGN;
        }
        SECPaneInfo info;
        info.iIndex = 0;
        info.nID = m_pSavedPane0->nID;
        info.nStyle = SBPS_NOBORDERS;
        info.cxWidth = client.Width();
        info.strText = lpszText;
        info.nTextAlign = TA_LEFT;
        info.crTextForeground = m_pSavedPane0->crTextForeground;
        info.crTextBackground = m_pSavedPane0->crTextBackground;
        info.fMask = (m_pSavedPane0->fMask & (SBP_FOREGROUND | SBP_BACKGROUND)) | SBP_STYLE | SBP_WIDTH | SBP_TEXT
            | SBP_TEXTALIGN;
        SetPaneInfoEx(&info, TRUE);
        CClientDC dc(this);
        HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
        HGDIOBJ old = font ? ::SelectObject(dc.m_hDC, font) : nullptr;
        const CString spaced = CString(lpszText) + " ";
        meter.left = client.left + dc.GetTextExtent(spaced).cx + 1;
        if (old)
            ::SelectObject(dc.m_hDC, old);
    }
    m_pProgressCtrl->SetWindowPos(nullptr, meter.left, meter.top, meter.Width(), meter.Height(),
                                  SWP_NOZORDER | SWP_NOACTIVATE | (created ? SWP_SHOWWINDOW : 0));
    m_pProgressCtrl->SetRange(nLower, nUpper);
    if (bReset)
        m_pProgressCtrl->SetPos(nLower, TRUE);
    return m_pProgressCtrl != nullptr;
}

void SECCustomStatusBar::StepProgress()
{
    if (!m_pProgressCtrl)
        return;
    // The meter alone is painted at once, and at most once a frame: a scan steps it for every
    // file, thousands a second, and painting each step kept the program from the user's keys.
    // A step between two frames stays invalid and is painted with the next one, or as soon as
    // the program has nothing else to do.
    m_pProgressCtrl->StepIt(FALSE);
    const ULONGLONG now = ::GetTickCount64();
    if (m_pProgressCtrl->m_hWnd && now - m_nLastStepPaint >= kStepPaintInterval) {
        m_nLastStepPaint = now;
        m_pProgressCtrl->UpdateWindow();
    }
}

void SECCustomStatusBar::ClearProgressBar()
{
    if (!m_pProgressCtrl)
        return;
    if (m_pProgressCtrl->m_hWnd)
        m_pProgressCtrl->DestroyWindow();
    m_pProgressCtrl.reset();
    if (m_pSavedPane0) {
        SetPaneInfoEx(m_pSavedPane0.get(), TRUE);
        m_pSavedPane0.reset();
    }
    ShowPaneControls(TRUE);
}

LRESULT SECCustomStatusBar::OnSetCursorCustom(WPARAM, LPARAM lParam)
{
    if (LOWORD(lParam) == HTCLIENT) {
        CPoint point;
        ::GetCursorPos(&point);
        ScreenToClient(&point);
        for (int i = 0; i < GetPaneCount(); ++i) {
            CRect rect;
            GetPaneRect(i, &rect);
            if (!rect.PtInRect(point))
                continue;
            const PaneExtra* extra = Extra(i);
            if (extra && (extra->fActive & SBP_CURSOR) && extra->hCursor) {
                ::SetCursor(extra->hCursor);
                return TRUE;
            }
            break;
        }
    }
    return Default();
}

LRESULT SECCustomStatusBar::OnSizeCustom(WPARAM wParam, LPARAM lParam)
{
    // The frame's layout moves the bar after its WM_SIZEPARENT, in one deferred positioning:
    // the panes have their new places only now, and the meter and the pane controls follow
    // them, or a window made larger in one step would keep them at the smaller size.
    const LRESULT result = OnSizeStatus(wParam, lParam);
    PlacePaneControls();
    return result;
}

void SECCustomStatusBar::PlacePaneControls()
{
    if (m_pProgressCtrl && m_pProgressCtrl->m_hWnd) {
        CRect client;
        GetClientRect(&client);
        if (GetPaneCount() > 0)
            SetPaneWidth(0, client.Width());
        CRect meter;
        m_pProgressCtrl->GetWindowRect(&meter);
        ScreenToClient(&meter);
        m_pProgressCtrl->SetWindowPos(nullptr, 0, 0, client.right - meter.left, meter.Height(),
                                      SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        RepositionPaneControls();
    }
}

LRESULT SECCustomStatusBar::OnSetFontCustom(WPARAM, LPARAM)
{
    const LRESULT result = Default();
    ResizeParent();
    return result;
}

LRESULT SECCustomStatusBar::OnSetTextCustom(WPARAM wParam, LPARAM lParam)
{
    // The meter's pane 0 text stays while it runs.
    if (m_pProgressCtrl)
        return 0;
    return OnSetTextStatus(wParam, lParam);
}

LRESULT SECCustomStatusBar::OnSetMinHeightCustom(WPARAM wParam, LPARAM lParam)
{
    return OnSetMinHeightStatus(wParam, lParam);
}
