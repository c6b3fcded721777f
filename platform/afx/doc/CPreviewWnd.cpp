// Print preview: each page is drawn by the view's OnPrint on a printer device context at a low
// resolution, kept as a bitmap, and shown on a grey desk as a sheet with its margins.
#include "platform/afx/doc/CPreviewWnd.h"

#include "platform/afx/dlg/CPrintDialog.h"
#include "platform/afx/doc/CView.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/controls/Button.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/StandardControls.h"
#include "platform/core/SystemServices.h"
#include "platform/win/Cursor.h"
#include "platform/win/Gdi.h"
#include "platform/win/VirtualKeys.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

IMPLEMENT_DYNAMIC(CPreviewWnd, CWnd)

const int CPreviewWnd::nPreviewDpi = 72;

namespace {

constexpr int kBarHeight = 34;
constexpr int kPreviewButtonWidth = 90;
constexpr int kPreviewMargin = 12;

int Scale(int value, int num, int den)
{
    return den == 0 ? 0 : static_cast<int>(static_cast<long long>(value) * num / den);
}

} // namespace

CPreviewWnd::CPreviewWnd(CView* pView) : m_pView(pView), m_hWndView(pView ? pView->GetSafeHwnd() : nullptr)
{
    m_info.m_bPreview = TRUE;
}

CPreviewWnd::~CPreviewWnd()
{
    if (m_pPrinter) {
        m_pPrinter->Detach();
    }
    if (m_hPrinter) {
        ::AbortDoc(m_hPrinter);
        ::DeleteDC(m_hPrinter);
    }
    if (m_hPage) {
        ::SelectObject(m_hPage, m_hOldBitmap);
        ::DeleteDC(m_hPage);
    }
    if (m_hPageBitmap) {
        ::DeleteObject(m_hPageBitmap);
    }
}

bool CPreviewWnd::ViewAlive() const
{
    return m_hWndView && ::IsWindow(m_hWndView) && CWnd::FromHandlePermanent(m_hWndView) == m_pView;
}

BOOL CPreviewWnd::Open()
{
    if (!ViewAlive() || !m_pView->OnPreparePrinting(&m_info)) {
        return FALSE;
    }
    CPrintDialog* dlg = m_info.m_pPD;
    if (!dlg->m_pd.hDevNames && !dlg->GetDefaults()) {
        return FALSE;
    }
    // The same printer and paper as the printout, at the preview's resolution.
    DEVMODE mode{};
    if (DEVMODE* chosen = dlg->GetDevMode()) {
        mode = *chosen;
        ::GlobalUnlock(dlg->m_pd.hDevMode);
    }
    mode.dmFields |= DM_PRINTQUALITY;
    mode.dmPrintQuality = static_cast<short>(nPreviewDpi);
    m_hPrinter = ::CreateDC(dlg->GetDriverName(), dlg->GetDeviceName(), nullptr, &mode);
    if (!m_hPrinter) {
        return FALSE;
    }
    m_pPrinter = std::make_unique<CDC>();
    m_pPrinter->Attach(m_hPrinter);
    m_pPrinter->m_bPrinting = TRUE;
    m_pView->OnBeginPrinting(m_pPrinter.get(), &m_info);
    m_begun = true;

    int width = m_pPrinter->GetDeviceCaps(HORZRES);
    int height = m_pPrinter->GetDeviceCaps(VERTRES);
    m_hPage = ::CreateCompatibleDC(nullptr);
    m_hPageBitmap = ::CreateBitmap(width, height, 1, 32, nullptr);
    m_hOldBitmap = ::SelectObject(m_hPage, m_hPageBitmap);

    if (!RenderPage(m_info.GetFromPage())) {
        return FALSE;
    }
    LPCTSTR cls = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_ARROW));
    if (CFrameWnd* host = m_pView->GetTopLevelFrame(); host && !host->IsInPreview()) {
        // In the frame, in place of its pane.
        m_state.lpfnCloseProc = &CPreviewWnd::CloseFromFrame;
        host->OnSetPreviewMode(TRUE, &m_state);
        if (!CreateEx(0, cls, "Print Preview", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, CRect(0, 0, 0, 0), host,
                      AFX_IDW_PANE_FIRST)) {
            host->OnSetPreviewMode(FALSE, &m_state);
            return FALSE;
        }
        m_pFrame = host;
        m_hWndFrame = host->m_hWnd;
    } else {
        // A sheet's shape, as tall as the screen allows.
        int tall = std::min(820, ::GetSystemMetrics(SM_CYSCREEN) - 40);
        CRect frame(40, 20, 40 + tall * 640 / 820, 20 + tall);
        if (!CreateEx(0, cls, "Print Preview", WS_OVERLAPPEDWINDOW | WS_VISIBLE, frame,
                      // Owned by the view's top-level window, so that it goes when that window goes.
                      CWnd::FromHandle(::GetAncestor(m_hWndView, GA_ROOT)), 0)) {
            return FALSE;
        }
    }
    HINSTANCE instance = nullptr;
    auto button = [&](const char* text, UINT id) {
        return ::CreateWindowEx(0, WC_BUTTON, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0,
                                kPreviewButtonWidth, kBarHeight - 10, m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                instance, nullptr);
    };
    m_hNext = button("&Next Page", AFX_ID_PREVIEW_NEXT);
    m_hPrev = button("Pre&v Page", AFX_ID_PREVIEW_PREV);
    m_hClose = button("&Close", AFX_ID_PREVIEW_CLOSE);
    if (m_pFrame) {
        m_pFrame->RecalcLayout();
        SetFocus();   // Escape and the page keys reach it
    }
    Layout();
    UpdateButtons();
    return TRUE;
}

bool CPreviewWnd::RenderPage(UINT nPage)
{
    if (!ViewAlive() || nPage < m_info.GetMinPage() || nPage > m_info.GetMaxPage()) {
        return false;
    }
    // The page is drawn into a document that is never finished, so nothing is written.
    char folder[4096] = {};
    ::GetTempPath(sizeof(folder), folder);
    std::string scratch = std::string(folder) + "/vostrel-preview.pdf";
    DOCINFO doc{sizeof(DOCINFO), "Print Preview", scratch.c_str(), nullptr, 0};
    UINT previous = m_info.m_nCurPage;
    m_info.m_nCurPage = nPage;
    m_info.m_bContinuePrinting = TRUE;
    m_pView->OnPrepareDC(m_pPrinter.get(), &m_info);
    if (!m_info.m_bContinuePrinting || m_pPrinter->StartDoc(&doc) <= 0) {
        m_info.m_nCurPage = previous;
        m_info.m_bContinuePrinting = TRUE;
        return false;
    }
    m_info.m_rectDraw.SetRect(0, 0, m_pPrinter->GetDeviceCaps(HORZRES), m_pPrinter->GetDeviceCaps(VERTRES));
    m_pPrinter->DPtoLP(&m_info.m_rectDraw);
    bool drawn = m_pPrinter->StartPage() > 0;
    if (drawn) {
        int saved = m_pPrinter->SaveDC();
        m_pView->OnPrint(m_pPrinter.get(), &m_info);
        m_pPrinter->RestoreDC(saved);
        // The printer's page is read back in device units.
        int mode = ::SetMapMode(m_hPrinter, MM_TEXT);
        POINT org;
        ::SetViewportOrgEx(m_hPrinter, 0, 0, &org);
        ::SetWindowOrgEx(m_hPrinter, 0, 0, nullptr);
        ::BitBlt(m_hPage, 0, 0, m_pPrinter->GetDeviceCaps(HORZRES), m_pPrinter->GetDeviceCaps(VERTRES), m_hPrinter, 0,
                 0, SRCCOPY);
        ::SetMapMode(m_hPrinter, mode);
    }
    m_pPrinter->AbortDoc();
    m_nextKnownMissing = false;
    if (m_hWnd) {
        Invalidate(FALSE);
        UpdateButtons();
    }
    return drawn;
}

BOOL CPreviewWnd::CanGoNext() const
{
    return !m_nextKnownMissing && m_info.m_nCurPage < m_info.GetMaxPage() && m_info.m_nCurPage < m_info.GetToPage();
}

BOOL CPreviewWnd::CanGoPrev() const
{
    return m_info.m_nCurPage > m_info.GetMinPage() && m_info.m_nCurPage > m_info.GetFromPage();
}

BOOL CPreviewWnd::GoToPage(UINT nPage)
{
    if (nPage == m_info.m_nCurPage) {
        return TRUE;
    }
    if (RenderPage(nPage)) {
        return TRUE;
    }
    // The view has no such page: the current one stays, and Next stops at it.
    if (nPage > m_info.m_nCurPage) {
        m_nextKnownMissing = true;
        UpdateButtons();
    }
    return FALSE;
}

CRect CPreviewWnd::GetSheetRect() const
{
    CRect client;
    GetClientRect(&client);
    CRect desk(client.left + kPreviewMargin, client.top + kBarHeight + kPreviewMargin, client.right - kPreviewMargin,
               client.bottom - kPreviewMargin);
    if (!m_pPrinter || desk.Width() <= 0 || desk.Height() <= 0) {
        return CRect();
    }
    int sheetW = m_pPrinter->GetDeviceCaps(PHYSICALWIDTH);
    int sheetH = m_pPrinter->GetDeviceCaps(PHYSICALHEIGHT);
    // The whole sheet fits the desk, keeping its shape.
    int w = desk.Width();
    int h = Scale(w, sheetH, sheetW);
    if (h > desk.Height()) {
        h = desk.Height();
        w = Scale(h, sheetW, sheetH);
    }
    int x = desk.left + (desk.Width() - w) / 2;
    int y = desk.top + (desk.Height() - h) / 2;
    return CRect(x, y, x + w, y + h);
}

void CPreviewWnd::Layout()
{
    int x = kPreviewMargin;
    for (HWND button : {m_hPrev, m_hNext, m_hClose}) {
        ::MoveWindow(button, x, 5, kPreviewButtonWidth, kBarHeight - 10, TRUE);
        x += kPreviewButtonWidth + 8;
    }
}

void CPreviewWnd::UpdateButtons()
{
    if (m_hNext) {
        ::EnableWindow(m_hNext, CanGoNext());
        ::EnableWindow(m_hPrev, CanGoPrev());
    }
}

void CPreviewWnd::Paint()
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    CRect client;
    GetClientRect(&client);
    HBRUSH desk = ::CreateSolidBrush(RGB(128, 128, 128));
    CRect bar(client.left, client.top, client.right, kBarHeight);
    ::FillRect(dc, &bar, ::GetSysColorBrush(COLOR_BTNFACE));
    CRect deskRect(client.left, kBarHeight, client.right, client.bottom);
    ::FillRect(dc, &deskRect, desk);
    ::DeleteObject(desk);

    CRect sheet = GetSheetRect();
    if (!sheet.IsRectEmpty()) {
        CRect shadow = sheet;
        shadow.OffsetRect(4, 4);
        ::FillRect(dc, &shadow, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::FillRect(dc, &sheet, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::FrameRect(dc, &sheet, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        // The printable area lies inside the sheet by the printer's offsets.
        int sheetW = m_pPrinter->GetDeviceCaps(PHYSICALWIDTH);
        int sheetH = m_pPrinter->GetDeviceCaps(PHYSICALHEIGHT);
        int offX = Scale(m_pPrinter->GetDeviceCaps(PHYSICALOFFSETX), sheet.Width(), sheetW);
        int offY = Scale(m_pPrinter->GetDeviceCaps(PHYSICALOFFSETY), sheet.Height(), sheetH);
        int pageW = Scale(m_pPrinter->GetDeviceCaps(HORZRES), sheet.Width(), sheetW);
        int pageH = Scale(m_pPrinter->GetDeviceCaps(VERTRES), sheet.Height(), sheetH);
        // Shrunk by averaging, so that every line and dash of the page stays in sight.
        const int nOldMode = ::SetStretchBltMode(dc, HALFTONE);
        ::StretchBlt(dc, sheet.left + offX, sheet.top + offY, pageW, pageH, m_hPage, 0, 0,
                     m_pPrinter->GetDeviceCaps(HORZRES), m_pPrinter->GetDeviceCaps(VERTRES), SRCCOPY);
        ::SetStretchBltMode(dc, nOldMode);
    }
    // Which page this is, after the buttons.
    CString text;
    text.Format("Page %u", m_info.m_nCurPage);
    ::SetBkMode(dc, TRANSPARENT);
    ::TextOut(dc, kPreviewMargin + 3 * (kPreviewButtonWidth + 8) + 8, 10, text, text.GetLength());
    ::EndPaint(m_hWnd, &ps);
}

CFrameWnd* CPreviewWnd::GetPreviewFrame() const
{
    return m_hWndFrame && ::IsWindow(m_hWndFrame) && CWnd::FromHandlePermanent(m_hWndFrame) == m_pFrame ? m_pFrame
                                                                                                      : nullptr;
}

BOOL PASCAL CPreviewWnd::CloseFromFrame(CFrameWnd* pFrameWnd)
{
    CWnd* pane = pFrameWnd ? pFrameWnd->GetDlgItem(AFX_IDW_PANE_FIRST) : nullptr;
    if (auto* preview = dynamic_cast<CPreviewWnd*>(pane)) {
        preview->Close();
        return TRUE;
    }
    return FALSE;
}

void CPreviewWnd::Close()
{
    if (m_begun && ViewAlive()) {
        m_pView->OnEndPrinting(m_pPrinter.get(), &m_info);
    }
    m_begun = false;
    // The frame gets its pane back once this window (and this object) is gone.
    CFrameWnd* frame = GetPreviewFrame();
    CPrintPreviewState state = std::move(m_state);
    DestroyWindow();
    if (frame)
        frame->OnSetPreviewMode(FALSE, &state);
}

BOOL CPreviewWnd::PreTranslateMessage(MSG* pMsg)
{
    // The buttons' underlined letters press them, with Alt or without, wherever the focus is in
    // the preview, as in a dialog; a letter none of them carries goes on to the menu bar.
    if ((pMsg->message == WM_CHAR || pMsg->message == WM_SYSCHAR) &&
        (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd)) &&
        ::PressMnemonic(m_hWnd, static_cast<int>(pMsg->wParam))) {
        return TRUE;
    }
    return CWnd::PreTranslateMessage(pMsg);
}

LRESULT CPreviewWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        Layout();
        Invalidate(FALSE);
        return 0;
    case WM_CLOSE:
        Close();
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            Close();
            return 0;
        }
        if (wParam == VK_NEXT && CanGoNext()) {
            GoToPage(m_info.m_nCurPage + 1);
            return 0;
        }
        if (wParam == VK_PRIOR && CanGoPrev()) {
            GoToPage(m_info.m_nCurPage - 1);
            return 0;
        }
        break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case AFX_ID_PREVIEW_NEXT:
            if (CanGoNext()) {
                GoToPage(m_info.m_nCurPage + 1);
            }
            return 0;
        case AFX_ID_PREVIEW_PREV:
            if (CanGoPrev()) {
                GoToPage(m_info.m_nCurPage - 1);
            }
            return 0;
        case AFX_ID_PREVIEW_CLOSE:
            Close();
            return 0;
        default:
            break;
        }
        break;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CPreviewWnd::PostNcDestroy()
{
    // Made with new by the view's Print Preview command.
    delete this;
}
