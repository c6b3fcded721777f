// A pane of the change preview.
#include "app/dialogs/CFileContentsWnd.h"

#include "platform/afx/bars/CStatusBar.h"
#include "platform/controls/MessageBox.h"
#include "platform/core/CException.h"
#include "platform/core/CFile.h"
#include "platform/core/CFileException.h"
#include "toolkit/editor/SECEditDoc.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <unistd.h>

IMPLEMENT_DYNAMIC(CFileContentsWnd, CWnd)

BEGIN_MESSAGE_MAP(CFileContentsWnd, CWnd)
ON_WM_CREATE()
ON_WM_SIZE()
ON_WM_DRAWITEM()
END_MESSAGE_MAP()

namespace {

// How the caption is drawn: broken between words, and inside a word that is wider than a line.
constexpr UINT kCaptionFormat = DT_LEFT | DT_TOP | DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL;
// What the caption bar draws around the text: the gap above its pane, the pane's raised edge and
// the text's inner margin (the same as the bar leaves around a text of its own).
constexpr int kTextMarginX = 1 + 2;
constexpr int kTextMarginTop = 2 + 1 + 1;
constexpr int kTextMarginBottom = 1 + 1;
// The height of the editor that a caption of any length leaves: a few of its lines.
constexpr int kLeastEditorHeight = 64;
// The take button: its least size, the room around its text and the gap around it.
constexpr int kLeastTakeWidth = 75;
constexpr int kLeastTakeHeight = 23;
constexpr int kTakePaddingX = 12;
constexpr int kTakePaddingY = 5;
constexpr int kTakeGap = 4;
// A file is read into the pane a piece of this size at a time.
constexpr size_t kReadPiece = 1 << 20;

// The text's box in the window's font: its width, and its height at the width given (0 for
// one line).
CSize MeasureText(HWND hWnd, const CString& strText, int nWidth, UINT nFormat)
{
    if (hWnd == nullptr)
        return CSize(0, 0);
    HDC hDC = ::GetDC(hWnd);
    auto hFont = reinterpret_cast<HFONT>(::SendMessage(hWnd, WM_GETFONT, 0, 0));
    if (hFont == nullptr)
        hFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    const HGDIOBJ hOld = ::SelectObject(hDC, hFont);
    CRect text(0, 0, nWidth, 0);
    ::DrawText(hDC, strText, strText.GetLength(), &text, nFormat | DT_CALCRECT);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(hWnd, hDC);
    return CSize(text.Width(), text.Height());
}

} // namespace

void CFileContentsWnd::SetFile(const CString& strCaption, const CString& strPath)
{
    m_strCaption = strCaption;
    m_strPath = strPath;
}

BOOL CFileContentsWnd::Create(const RECT& rect, CWnd* pParent)
{
    if (!m_bTextRead) {
        try {
            CFile file(m_strPath, CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary);
            ReadText(static_cast<int>(file.m_hFile), {});
        } catch (CException* e) {
            e->ReportError(MB_ICONEXCLAMATION);
            e->Delete();
        }
    }
    // A control parent: the dialog's Tab order goes through the pane to its editor.
    if (!CWnd::CreateEx(WS_EX_CONTROLPARENT, nullptr, "Hello There!", WS_CHILD | WS_VISIBLE, rect, pParent, kPaneId))
        return FALSE;
    if (SECEditDoc* pDoc = m_wndEdit.GetDocument())
        pDoc->SetReadOnly(TRUE);
    // The caret goes back to the first line, so that both panes show the page's start.
    m_wndEdit.TopOfFile(FALSE);
    return TRUE;
}

bool CFileContentsWnd::ReadText(int fd, const std::function<bool(ULONGLONG)>& goOn)
{
    m_bTextRead = true;
    SECEditDoc* pDoc = m_wndEdit.GetDocument();
    pDoc->BeginLoad();
    // The editor shows UTF-8: the page's characters are shown as its charset reads them, the
    // byte order mark, which no browser shows, left out.
    CPageDecoder decoder(m_charset);
    // The parts taken out lie in the head: the bytes up to the last of them, and one more to
    // tell a line's end, are kept to find their lines.
    ULONGLONG nPartsEnd = 0;
    for (const auto& part : m_removedParts)
        nPartsEnd = std::max(nPartsEnd, part.second + 1);
    std::string head;
    std::string piece(kReadPiece, '\0');
    std::string text;
    bool bMarkLooked = false;
    int rc = 0;
    ULONGLONG nRead = 0;
    for (;;) {
        if (goOn && !goOn(nRead))
            return false;
        const ssize_t n = ::pread(fd, piece.data(), piece.size(), static_cast<off_t>(nRead));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            CFileException::ThrowErrno(errno, m_strPath);
        if (n == 0)
            break;
        if (nRead < nPartsEnd)
            head.append(piece.data(), static_cast<size_t>(std::min<ULONGLONG>(static_cast<ULONGLONG>(n), nPartsEnd - nRead)));
        nRead += static_cast<ULONGLONG>(n);
        decoder.Decode(piece.data(), static_cast<size_t>(n), text);
        if (!bMarkLooked && text.size() >= 3) {
            bMarkLooked = true;
            if (CPageCharset::HasUtf8Mark(text))
                text.erase(0, 3);
        }
        if (rc == 0)
            rc = pDoc->LoadPiece(text.data(), static_cast<int>(text.size()));
        text.clear();
    }
    decoder.Finish(text);
    if (!bMarkLooked && CPageCharset::HasUtf8Mark(text))
        text.erase(0, 3);
    if (rc == 0)
        rc = pDoc->LoadPiece(text.data(), static_cast<int>(text.size()));
    if (rc == 0)
        rc = pDoc->FinishLoad();
    if (rc != 0)
        m_wndEdit.ReportError(rc, TRUE);
    // The parts are places in the file's bytes, which the editor shows cut into lines.
    if (!m_removedParts.empty())
        m_wndEdit.SetRemovedLines(LinesOfParts(head, m_removedParts));
    return true;
}

std::vector<int> CFileContentsWnd::LinesOfParts(const std::string& text,
                                                const std::vector<std::pair<ULONGLONG, ULONGLONG>>& parts)
{
    // A line ends at a line feed, or at a carriage return that no line feed follows.
    std::vector<size_t> ends;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            ends.push_back(i);
    }
    std::vector<int> lines;
    for (const auto& [nFrom, nTo] : parts) {
        if (nFrom >= nTo || nFrom >= text.size())
            continue;
        const auto first = std::lower_bound(ends.begin(), ends.end(), static_cast<size_t>(nFrom));
        const auto last = std::lower_bound(ends.begin(), ends.end(), static_cast<size_t>(nTo - 1));
        for (auto at = first; at <= last; ++at)
            lines.push_back(static_cast<int>(at - ends.begin()) + 1);
    }
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    return lines;
}

int CFileContentsWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!m_wndCaption.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, kCaptionBarId))
        return -1;
    static const UINT indicators[] = {0};
    if (!m_wndCaption.SetIndicators(indicators, 1))
        return -1;
    // The caption is drawn here, where it may take as many lines as it needs.
    m_wndCaption.SetPaneInfo(0, 0, SBPS_STRETCH | SBPS_POPOUT | SBPS_OWNERDRAW, 0);
    m_wndCaption.SetPaneText(0, m_strCaption);
    if (!m_wndEdit.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(0, 0, 0, 0), this, kEditorId))
        return -1;
    // After the editor, so that Tab reaches the button from the text it takes.
    if (!m_strTake.IsEmpty()) {
        if (!m_wndTake.Create(m_strTake, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, CRect(0, 0, 0, 0), this,
                              m_nTakeID))
            return -1;
        // In the dialog's font, as its own buttons would be.
        if (const HWND hDialog = ::GetAncestor(m_hWnd, GA_ROOT); hDialog != nullptr)
            m_wndTake.SendMessage(WM_SETFONT, ::SendMessage(hDialog, WM_GETFONT, 0, 0), FALSE);
        m_wndTake.EnableWindow(m_bTakeEnabled ? TRUE : FALSE);
    }
    if (!m_strTakeNote.IsEmpty()) {
        if (!m_wndTakeNote.Create(m_strTakeNote, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, CRect(0, 0, 0, 0), this))
            return -1;
        m_wndTakeNote.SendMessage(WM_SETFONT, m_wndTake.SendMessage(WM_GETFONT, 0, 0), FALSE);
    }
    return 0;
}

BOOL CFileContentsWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // The button's press is the dialog's to act on.
    if (m_nTakeID != 0 && LOWORD(wParam) == m_nTakeID) {
        if (const HWND hDialog = ::GetAncestor(m_hWnd, GA_ROOT); hDialog != nullptr && hDialog != m_hWnd) {
            ::SendMessage(hDialog, WM_COMMAND, wParam, lParam);
            return TRUE;
        }
    }
    return CWnd::OnCommand(wParam, lParam);
}

CSize CFileContentsWnd::TakeButtonSize()
{
    if (m_wndTake.GetSafeHwnd() == nullptr)
        return CSize(0, 0);
    const CSize text = MeasureText(m_wndTake.GetSafeHwnd(), m_strTake, 0, DT_SINGLELINE);
    // As wide as the dialogs' buttons at least, with room around the text for the pressed look
    // and the focus frame.
    return CSize(std::max(kLeastTakeWidth, text.cx + 2 * kTakePaddingX),
                 std::max(kLeastTakeHeight, text.cy + 2 * kTakePaddingY));
}

int CFileContentsWnd::TakeBandHeightFor(int cx)
{
    const CSize button = TakeButtonSize();
    if (button.cy == 0)
        return 0;
    const int nNote = TakeNoteHeight(cx - (kTakeGap + button.cx + 2 * kTakeGap) - kTakeGap);
    return std::max(button.cy, nNote) + 2 * kTakeGap;
}

int CFileContentsWnd::TakeNoteHeight(int nWidth)
{
    if (m_wndTakeNote.GetSafeHwnd() == nullptr || nWidth <= 0)
        return 0;
    return MeasureText(m_wndTakeNote.GetSafeHwnd(), m_strTakeNote, nWidth,
                       DT_LEFT | DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL).cy;
}

void CFileContentsWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    Arrange(cx, cy);
    // The partner's caption follows this one's height, and the other way round.
    if (m_pPartner != nullptr && m_pPartner->GetSafeHwnd() != nullptr) {
        CRect partner;
        m_pPartner->GetClientRect(&partner);
        if (m_pPartner->m_nCaptionHeight != m_nCaptionHeight || m_pPartner->m_nBandHeight != m_nBandHeight)
            m_pPartner->Arrange(partner.Width(), partner.Height());
    }
}

void CFileContentsWnd::Arrange(int cx, int cy)
{
    int nHeight = CaptionHeightFor(cx);
    int nButtonBand = TakeBandHeightFor(cx);
    if (m_pPartner != nullptr && m_pPartner->GetSafeHwnd() != nullptr) {
        CRect partner;
        m_pPartner->GetClientRect(&partner);
        // A partner not laid out yet follows when it is.
        if (partner.Width() > 0) {
            nHeight = std::max(nHeight, m_pPartner->CaptionHeightFor(partner.Width()));
            nButtonBand = std::max(nButtonBand, m_pPartner->TakeBandHeightFor(partner.Width()));
        }
    }
    m_nBandHeight = nButtonBand;
    // Past what the pane can hold, the caption leaves the editor a few lines at least.
    nHeight = std::max(kCaptionHeight, std::min(nHeight, cy - kEditorTop - kLeastEditorHeight + kCaptionHeight));
    m_nCaptionHeight = nHeight;
    const UINT nFlags = SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE;
    if (m_wndCaption.GetSafeHwnd() != nullptr)
        m_wndCaption.SetWindowPos(nullptr, 2, 0, cx - 2, nHeight, nFlags);
    const int nEditorTop = nHeight + (kEditorTop - kCaptionHeight);
    // The take button stands below the text, at the pane's left, with a gap around it; its note
    // beside it, as many lines high as it needs.
    const CSize button = TakeButtonSize();
    const int nNoteLeft = kTakeGap + button.cx + 2 * kTakeGap;
    const int nNoteWidth = cx - nNoteLeft - kTakeGap;
    const int nNote = TakeNoteHeight(nNoteWidth);
    const int nBandTop = std::max(nEditorTop, cy - nButtonBand);
    if (m_wndTake.GetSafeHwnd() != nullptr)
        m_wndTake.SetWindowPos(nullptr, kTakeGap, nBandTop + kTakeGap, button.cx, button.cy, nFlags);
    if (m_wndTakeNote.GetSafeHwnd() != nullptr)
        m_wndTakeNote.SetWindowPos(nullptr, nNoteLeft, nBandTop + kTakeGap + std::max(0, (button.cy - nNote) / 2),
                                   std::max(0, nNoteWidth), nNote, nFlags);
    if (m_wndEdit.GetSafeHwnd() != nullptr)
        m_wndEdit.SetWindowPos(nullptr, 0, nEditorTop, cx, std::max(0, cy - nEditorTop - nButtonBand), nFlags);
    Invalidate();
}

CSize CFileContentsWnd::MeasureCaption(int nTextWidth, UINT nFormat)
{
    HWND hBar = m_wndCaption.GetSafeHwnd() != nullptr ? m_wndCaption.GetSafeHwnd() : GetSafeHwnd();
    return MeasureText(hBar, m_strCaption, std::max(1, nTextWidth), nFormat);
}

int CFileContentsWnd::CaptionHeightFor(int cx)
{
    // The bar stands 2 pixels in from the pane's left edge.
    const int nTextWidth = cx - 2 - 2 * kTextMarginX;
    if (nTextWidth <= 0)
        return kCaptionHeight;
    const int nText = MeasureCaption(nTextWidth, kCaptionFormat).cy;
    return std::max(kCaptionHeight, nText + kTextMarginTop + kTextMarginBottom);
}

int CFileContentsWnd::CaptionWidthOnOneLine()
{
    // A few pixels to spare, so that the text does not end against the bar's edge.
    return MeasureCaption(0, DT_LEFT | DT_NOPREFIX | DT_SINGLELINE).cx + 2 + 2 * kTextMarginX + kTextMarginX;
}

void CFileContentsWnd::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (nIDCtl != static_cast<int>(kCaptionBarId) || lpDrawItemStruct == nullptr) {
        CWnd::OnDrawItem(nIDCtl, lpDrawItemStruct);
        return;
    }
    // The bar gives the pane inside its edge, in its font and colours.
    CRect text(lpDrawItemStruct->rcItem);
    text.DeflateRect(2, 1);
    ::DrawText(lpDrawItemStruct->hDC, m_strCaption, m_strCaption.GetLength(), &text, kCaptionFormat);
}
