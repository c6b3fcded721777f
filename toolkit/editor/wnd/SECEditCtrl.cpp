// The editor window's object: creation, the view's reset on its document, focus and caret, the
// message table, the settings store and how refusals are shown.
#include "toolkit/editor/wnd/SECEditCtrl.h"

#include "platform/afx/AfxRes.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/ole/COleDataSource.h"
#include "platform/controls/EditDefs.h"
#include "platform/core/CProfileStore.h"
#include "platform/core/ResourceTable.h"
#include "platform/win/Caret.h"
#include "platform/win/Cursor.h"
#include "platform/win/MenuApi.h"
#include "platform/win/ResourceImages.h"
#include "platform/win/SystemParameters.h"
#include "toolkit/editor/wnd/SECEditDropTarget.h"
#include "toolkit/editor/wnd/SECEditFindReplaceDlg.h"
#include "toolkit/editor/wnd/ZRPageSetupDlg.h"
#include "toolkit/res/EditorRes.h"

#include <cstring>

IMPLEMENT_DYNAMIC(SECEditHint, CObject)
IMPLEMENT_DYNCREATE(SECEditCtrl, CWnd)

CProfileStore* SECEditCtrl::s_pProfile = nullptr;
SECEditCtrl* SECEditCtrl::s_pDragSource = nullptr;
BOOL SECEditCtrl::s_bReplacing = FALSE;

namespace {

// The registered message, taken once when the program starts.
const UINT g_nFindReplaceMsg = RegisterWindowMessage(FINDMSGSTRING);

HINSTANCE ResourceModule(UINT nID, LPCSTR lpszType)
{
    return AfxFindResourceHandle(MAKEINTRESOURCE(nID), lpszType);
}

} // namespace

BEGIN_MESSAGE_MAP(SECEditCtrl, CWnd)
    ON_WM_GETDLGCODE()
    ON_WM_DESTROY()
    ON_COMMAND_RANGE(ID_SECEDIT_DOWN, ID_SECEDIT_SELECTALL, &SECEditCtrl::OnCommandRange)
    ON_COMMAND(ID_EDIT_COPY, &SECEditCtrl::OnEditCopy)
    ON_COMMAND(ID_EDIT_CUT, &SECEditCtrl::OnEditCut)
    ON_COMMAND(ID_EDIT_PASTE, &SECEditCtrl::OnEditPaste)
    ON_COMMAND(ID_EDIT_CLEAR, &SECEditCtrl::OnEditClear)
    ON_COMMAND(ID_EDIT_UNDO, &SECEditCtrl::OnEditUndo)
    ON_COMMAND(ID_EDIT_REDO, &SECEditCtrl::OnEditRedo)
    ON_COMMAND(ID_INDICATOR_OVR, &SECEditCtrl::OnToggleInsert)
    ON_COMMAND(ID_EDIT_FIND, &SECEditCtrl::OnEditFind)
    ON_COMMAND(ID_EDIT_REPLACE, &SECEditCtrl::OnEditReplace)
    ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, &SECEditCtrl::OnUpdateNeedSel)
    ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, &SECEditCtrl::OnUpdateNeedSelWritable)
    ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE, &SECEditCtrl::OnUpdateNeedClip)
    ON_UPDATE_COMMAND_UI(ID_EDIT_UNDO, &SECEditCtrl::OnUpdateUndo)
    ON_UPDATE_COMMAND_UI(ID_EDIT_REDO, &SECEditCtrl::OnUpdateRedo)
    ON_UPDATE_COMMAND_UI(ID_SECEDIT_NEXTBOOKMARK, &SECEditCtrl::OnUpdateBookmarks)
    ON_UPDATE_COMMAND_UI(ID_SECEDIT_PREVBOOKMARK, &SECEditCtrl::OnUpdateBookmarks)
    ON_UPDATE_COMMAND_UI(ID_SECEDIT_CLEARBOOKMARKS, &SECEditCtrl::OnUpdateBookmarks)
    // Find Next is never disabled here: F3 before any search opens the Find dialog, and a
    // disabled command would not reach the window.
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_OVR, &SECEditCtrl::OnUpdateInsert)
    ON_REGISTERED_MESSAGE(g_nFindReplaceMsg, &SECEditCtrl::OnFindReplaceCmd)
END_MESSAGE_MAP()

// ---- Settings ---------------------------------------------------------------------------------

UINT SECEditCtrl::GetEditProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault)
{
    if (CWinApp* app = AfxGetApp())
        return app->GetProfileInt(lpszSection, lpszEntry, nDefault);
    if (s_pProfile != nullptr)
        return s_pProfile->GetProfileInt(lpszSection, lpszEntry, nDefault);
    return static_cast<UINT>(nDefault);
}

CString SECEditCtrl::GetEditProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault)
{
    if (CWinApp* app = AfxGetApp())
        return app->GetProfileString(lpszSection, lpszEntry, lpszDefault);
    if (s_pProfile != nullptr)
        return s_pProfile->GetProfileString(lpszSection, lpszEntry, lpszDefault);
    return CString(lpszDefault != nullptr ? lpszDefault : "");
}

void SECEditCtrl::WriteEditProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue)
{
    if (CWinApp* app = AfxGetApp())
        app->WriteProfileInt(lpszSection, lpszEntry, nValue);
    else if (s_pProfile != nullptr)
        s_pProfile->WriteProfileInt(lpszSection, lpszEntry, nValue);
}

void SECEditCtrl::WriteEditProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue)
{
    if (CWinApp* app = AfxGetApp())
        app->WriteProfileString(lpszSection, lpszEntry, lpszValue);
    else if (s_pProfile != nullptr)
        s_pProfile->WriteProfileString(lpszSection, lpszEntry, lpszValue);
}

UINT SECEditCtrl::FindReplaceMessage()
{
    return g_nFindReplaceMsg;
}

// ---- Construction and creation ------------------------------------------------------------------

SECEditCtrl::SECEditCtrl() = default;

SECEditCtrl::~SECEditCtrl()
{
    CloseFindDialogs();
    if (m_hWnd != nullptr)
        DestroyWindow();
}

BOOL SECEditCtrl::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.lpszClass = AfxRegisterWndClass(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC | CS_BYTEALIGNCLIENT
                                           | CS_BYTEALIGNWINDOW,
                                       LoadCursor(nullptr, IDC_IBEAM), nullptr, nullptr);
    return CWnd::PreCreateWindow(cs);
}

BOOL SECEditCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(nullptr, "SECEdit", dwStyle, rect, pParentWnd, nID);
}

BOOL SECEditCtrl::CreateFromControl(UINT nID, CWnd* pParent, DWORD dwExStyle)
{
    if (pParent == nullptr)
        return FALSE;
    CWnd* pHolder = pParent->GetDlgItem(static_cast<int>(nID));
    if (pHolder == nullptr)
        return FALSE;
    CRect rect;
    pHolder->GetWindowRect(&rect);
    pParent->ScreenToClient(&rect);
    if (!Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect, pParent, nID))
        return FALSE;
    SetWindowPos(pHolder, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    pHolder->DestroyWindow();
    if (dwExStyle != 0)
        ModifyStyleEx(0, dwExStyle, SWP_FRAMECHANGED);
    return TRUE;
}

int SECEditCtrl::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    RegisterDropTarget();
    // The page setup is read as the window is made and written back as it goes, so that a
    // first run stores the defaults even when Page Setup was never opened.
    if (!m_pPageSetup)
        m_pPageSetup = std::make_unique<ZRPageSetupDlg>(this);
    m_pPageSetup->LoadPageSetup();
    InitView();
    SetScrollRange(SB_VERT, 0, 32000, TRUE);
    SetScrollRange(SB_VERT, 0, 0, TRUE);
    return 0;
}

void SECEditCtrl::OnDestroy()
{
    CloseFindDialogs();
    if (m_pPageSetup)
        m_pPageSetup->SavePageSetup();
    if (m_pDropTarget)
        m_pDropTarget->Revoke();
    if (m_bCaretCreated) {
        DestroyCaret();
        m_bCaretCreated = FALSE;
    }
    if (m_bTimer) {
        KillTimer(SECEDIT_TIMER_SCROLL);
        m_bTimer = FALSE;
    }
    if (s_pDragSource == this)
        s_pDragSource = nullptr;
    CWnd::OnDestroy();
}

BOOL SECEditCtrl::RegisterDropTarget()
{
    if (!m_pDropTarget)
        m_pDropTarget = std::make_unique<SECEditDropTarget>();
    return m_pDropTarget->Register(this);
}

namespace {

// A window's document: what the document has to tell the user goes through its window.
class SECEditWindowDoc : public SECEditDoc {
public:
    SECEditWindowDoc(CProfileStore* pProfile, SECEditCtrl& wnd) : SECEditDoc(pProfile), m_wnd(wnd) {}

protected:
    void OnLinesCut(int nMaxWidth) override { m_wnd.OnLinesCut(nMaxWidth); }

private:
    SECEditCtrl& m_wnd;
};

} // namespace

SECEditDoc* SECEditCtrl::CreateDocument()
{
    if (!m_pDoc)
        m_pDoc = std::make_unique<SECEditWindowDoc>(s_pProfile, *this);
    return m_pDoc.get();
}

void SECEditCtrl::OnLinesCut(int nMaxWidth)
{
    CString format;
    if (!format.LoadString(IDS_SECEDIT_LINES_WRAPPED))
        return;
    CString text;
    text.Format(format, nMaxWidth);
    AfxMessageBox(text, MB_OK);
}

SECEditDoc* SECEditCtrl::GetDocument()
{
    if (!m_pDoc)
        CreateDocument();
    return m_pDoc.get();
}

void SECEditCtrl::InitView()
{
    SECEditDoc* pDoc = GetDocument();
    m_pTopLine = m_pCaretLine = pDoc->GetFirstLine();
    m_nTopLineNo = m_nCaretLineNo = 1;
    m_nCaretColumn = 0;
    int bookmarks = 0;
    for (SECEditLine* line = pDoc->GetFirstLine(); line != nullptr; line = line->pNext) {
        if (line->dwFlags & SECEDIT_LINE_BOOKMARK)
            ++bookmarks;
        line->dwFlags &= ~(SECEDIT_LINE_HLSTART | SECEDIT_LINE_HLEND);
    }
    pDoc->m_nBookmarks = bookmarks;
    m_nLeftColumn = 0;
    m_nSelMode = SECEDIT_SEL_STREAM;
    m_bSelection = FALSE;
    m_selStart = m_selEnd = m_anchor = SECEditCell{};
    m_bCaptured = m_bTimer = m_bFirstTick = FALSE;
    if (m_hWnd != nullptr)
        GetClientRect(&m_rectText);
    m_bCaretCreated = FALSE;
    m_rectAvoid.SetRectEmpty();
    m_bRedraw = TRUE;
    m_pFindDlg = m_pReplaceDlg = nullptr;
    m_bFindOpen = m_bReplaceOpen = FALSE;
    m_nLastLineCount = pDoc->GetLineCount();

    // The font from the document's settings, measured on the screen.
    LOGFONT lf{};
    CClientDC screen(nullptr);
    const int dpi = screen.GetDeviceCaps(LOGPIXELSY);
    lf.lfHeight = -((pDoc->GetFontSize() * dpi + 36) / 72);
    lf.lfWeight = pDoc->GetFontWeight();
    lf.lfItalic = static_cast<BYTE>(pDoc->GetFontItalic() ? 1 : 0);
    lf.lfCharSet = static_cast<BYTE>(pDoc->GetCharSet());
    lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    CString face = pDoc->GetFontName();
    std::strncpy(lf.lfFaceName, face, sizeof lf.lfFaceName - 1);
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&lf);
    if (m_hWnd != nullptr) {
        CClientDC dc(this);
        CFont* old = dc.SelectObject(&m_font);
        TEXTMETRIC tm{};
        dc.GetTextMetrics(&tm);
        dc.SelectObject(old);
        m_nLineHeight = tm.tmHeight + tm.tmExternalLeading;
        m_nCharWidth = tm.tmAveCharWidth;
        m_nMarginWidth = m_nLineHeight;
    }
    SetScrollRange(SB_VERT, 0, pDoc->GetLineCount() - 1, m_bRedraw);
    SetScrollRange(SB_HORZ, 0, SECEDIT_MAX_WIDTH, m_bRedraw);

    if (m_hAccel == nullptr)
        m_hAccel = LoadAccelerators(ResourceModule(IDR_SECEDIT_ACCEL, RT_ACCELERATOR),
                                    MAKEINTRESOURCE(IDR_SECEDIT_ACCEL));
    m_brushMargin.DeleteObject();
    if (auto hBitmap = static_cast<HBITMAP>(LoadImage(ResourceModule(IDB_SECEDIT_MARGIN, RT_BITMAP),
                                                      MAKEINTRESOURCE(IDB_SECEDIT_MARGIN), IMAGE_BITMAP, 0, 0,
                                                      LR_MONOCHROME))) {
        CBitmap bitmap;
        bitmap.Attach(hBitmap);
        m_brushMargin.CreatePatternBrush(&bitmap);
    } else {
        m_brushMargin.CreateSysColorBrush(COLOR_SCROLLBAR);
    }
    SetScrollPos(SB_VERT, m_nTopLineNo - 1, TRUE);
}

// ---- Caret and focus ----------------------------------------------------------------------------

void SECEditCtrl::UpdateCaretPos()
{
    if (m_nCharWidth == 0 || m_nLineHeight == 0 || m_hWnd == nullptr)
        return;
    int x = (m_nCaretColumn - m_nLeftColumn) * m_nCharWidth + m_nMarginWidth;
    if (x < m_nMarginWidth)
        x = -10;
    const int y = (m_nCaretLineNo - m_nTopLineNo) * m_nLineHeight;
    if (m_bCaretCreated)
        SetCaretPos(x, y);
}

void SECEditCtrl::OnCaretMoved() {}

void SECEditCtrl::OnSetFocus(CWnd* pOldWnd)
{
    GetDocument()->m_pActiveWnd = this;
    CWnd::OnSetFocus(pOldWnd);
    if (!m_bCaretCreated && !m_bSelection) {
        CreateCaret(m_hWnd, nullptr, 2, m_nLineHeight);
        ShowCaret(m_hWnd);
        m_bCaretCreated = TRUE;
    }
    if (m_bSelection)
        Invalidate(FALSE);
    UpdateCaretPos();
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), EN_SETFOCUS), reinterpret_cast<LPARAM>(m_hWnd));
}

void SECEditCtrl::OnKillFocus(CWnd* pNewWnd)
{
    CWnd::OnKillFocus(pNewWnd);
    if (m_bCaretCreated) {
        DestroyCaret();
        m_bCaretCreated = FALSE;
    }
    if (m_bSelection && m_selStart.pLine != nullptr && m_selEnd.pLine != nullptr) {
        const int a = m_pDoc->LineNo(m_selStart.pLine) - m_nTopLineNo;
        const int b = m_pDoc->LineNo(m_selEnd.pLine) - m_nTopLineNo;
        InvalidateRows(std::min(a, b), std::max(a, b));
    }
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), EN_KILLFOCUS), reinterpret_cast<LPARAM>(m_hWnd));
}

int SECEditCtrl::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
    const int result = CWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
    if (result == MA_ACTIVATE || (result == MA_ACTIVATEANDEAT && GetFocus() != this))
        SetFocus();
    return result;
}

// ---- Messages -----------------------------------------------------------------------------------

BOOL SECEditCtrl::PreTranslateMessage(MSG* pMsg)
{
    return CWnd::PreTranslateMessage(pMsg);
}

BOOL SECEditCtrl::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT ignored = 0;
    LRESULT& result = pResult != nullptr ? *pResult : ignored;
    if (message >= WM_KEYFIRST && message <= WM_KEYLAST && m_hAccel != nullptr) {
        MSG msg{m_hWnd, message, wParam, lParam, 0, {0, 0}};
        if (TranslateAccelerator(m_hWnd, m_hAccel, &msg)) {
            result = 0;
            return TRUE;
        }
    }
    const CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    const UINT flags = static_cast<UINT>(wParam);
    switch (message) {
    case WM_CREATE:
        result = OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam));
        return TRUE;
    case WM_PAINT:
        OnPaint();
        result = 0;
        return TRUE;
    case WM_SIZE:
        OnSize(flags, LOWORD(lParam), HIWORD(lParam));
        result = 0;
        return TRUE;
    case WM_VSCROLL:
        OnVScroll(LOWORD(wParam), HIWORD(wParam));
        result = 0;
        return TRUE;
    case WM_HSCROLL:
        OnHScroll(LOWORD(wParam), HIWORD(wParam));
        result = 0;
        return TRUE;
    case WM_MOUSEWHEEL:
        if (flags & MK_CONTROL)
            break;
        OnWheel(static_cast<short>(HIWORD(wParam)), (flags & MK_SHIFT) != 0);
        result = TRUE;
        return TRUE;
    case WM_MOUSEHWHEEL:
        OnWheel(-static_cast<short>(HIWORD(wParam)), TRUE);
        result = TRUE;
        return TRUE;
    case WM_SETFOCUS:
        OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)));
        result = 0;
        return TRUE;
    case WM_KILLFOCUS:
        OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)));
        result = 0;
        return TRUE;
    case WM_MOUSEACTIVATE:
        result = OnMouseActivate(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(lParam),
                                 HIWORD(lParam));
        return TRUE;
    case WM_LBUTTONDOWN:
        OnLButtonDown(flags, point);
        result = 0;
        return TRUE;
    case WM_LBUTTONUP:
        OnLButtonUp(flags, point);
        result = 0;
        return TRUE;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(flags, point);
        result = 0;
        return TRUE;
    case WM_MOUSEMOVE:
        OnMouseMove(flags, point);
        result = 0;
        return TRUE;
    case WM_SETCURSOR:
        result = OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(lParam), HIWORD(lParam));
        return TRUE;
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wParam));
        result = 0;
        return TRUE;
    case WM_KEYDOWN:
        OnKeyDown(flags, LOWORD(lParam), HIWORD(lParam));
        result = 0;
        return TRUE;
    case WM_CHAR:
        OnChar(flags, LOWORD(lParam), HIWORD(lParam));
        result = 0;
        return TRUE;
    case WM_CONTEXTMENU:
        OnContextMenu(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), point);
        result = 0;
        return TRUE;
    default:
        break;
    }
    return CWnd::OnWndMsg(message, wParam, lParam, pResult);
}

void SECEditCtrl::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    // Escape also reaches the parent, so that a dialog holding the editor closes.
    if (nChar == VK_ESCAPE) {
        if (CWnd* parent = GetParent())
            parent->PostMessage(WM_KEYDOWN, nChar, MAKELPARAM(nRepCnt, nFlags));
    }
    Default();
}

// ---- Refusals -----------------------------------------------------------------------------------

int SECEditCtrl::ReportErrorArg(int nID, LPCSTR lpszArg, BOOL bShow)
{
    if (bShow && nID != 0) {
        CString format;
        format.LoadString(static_cast<UINT>(nID));
        CString text;
        text.Format(format, lpszArg != nullptr ? lpszArg : "");
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    }
    return nID;
}

int SECEditCtrl::ReportError(int nID, BOOL bShow)
{
    if (bShow && nID != 0) {
        CString text;
        text.LoadString(static_cast<UINT>(nID));
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    }
    return nID;
}

void SECEditCtrl::Reserved1(int) {}

void* SECEditCtrl::GetPaintToken()
{
    return nullptr;
}

COLORREF SECEditCtrl::GetMarginColor(COLORREF)
{
    return GetSysColor(COLOR_SCROLLBAR);
}

COleDataSource* SECEditCtrl::CreateDataSource()
{
    return new COleDataSource;
}

BOOL SECEditCtrl::CacheClipData(COleDataSource* pSource, CLIPFORMAT cfFormat, HGLOBAL hGlobal)
{
    pSource->CacheGlobalData(cfFormat, hGlobal);
    return TRUE;
}
