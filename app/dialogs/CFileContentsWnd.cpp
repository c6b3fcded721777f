// A pane of the change preview.
#include "app/dialogs/CFileContentsWnd.h"

#include "platform/afx/bars/CStatusBar.h"
#include "platform/controls/MessageBox.h"
#include "platform/core/CException.h"
#include "platform/core/CFile.h"
#include "toolkit/editor/SECEditDoc.h"

#include <algorithm>
#include <string>

IMPLEMENT_DYNAMIC(CFileContentsWnd, CWnd)

BEGIN_MESSAGE_MAP(CFileContentsWnd, CWnd)
ON_WM_CREATE()
ON_WM_SIZE()
END_MESSAGE_MAP()

void CFileContentsWnd::SetFile(const CString& strCaption, const CString& strPath)
{
    m_strCaption = strCaption;
    m_strPath = strPath;
}

BOOL CFileContentsWnd::Create(const RECT& rect, CWnd* pParent)
{
    // A control parent: the dialog's Tab order goes through the pane to its editor.
    if (!CWnd::CreateEx(WS_EX_CONTROLPARENT, nullptr, "Hello There!", WS_CHILD | WS_VISIBLE, rect, pParent, kPaneId))
        return FALSE;
    std::string bytes = std::move(m_bytes);
    bool bRead = m_bBytesGiven;
    if (!bRead) {
        try {
            CFile file(m_strPath, CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary);
            bytes.resize(static_cast<size_t>(file.GetLength()));
            if (!bytes.empty())
                bytes.resize(file.Read(bytes.data(), static_cast<UINT>(bytes.size())));
            bRead = true;
        } catch (CException* e) {
            e->ReportError(MB_ICONEXCLAMATION);
            e->Delete();
        }
    }
    if (bRead) {
        // The editor shows UTF-8: the page's characters are shown as its charset reads them, the
        // byte order mark, which no browser shows, left out.
        std::string text;
        CPageDecoder decoder(m_charset);
        decoder.Decode(bytes.data(), bytes.size(), text);
        decoder.Finish(text);
        if (CPageCharset::HasUtf8Mark(text))
            text.erase(0, 3);
        m_wndEdit.InsertText(text);
    }
    if (SECEditDoc* pDoc = m_wndEdit.GetDocument())
        pDoc->SetReadOnly(TRUE);
    // The parts are places in the file's bytes, which the editor shows cut into lines.
    if (!m_removedParts.empty())
        m_wndEdit.SetRemovedLines(LinesOfParts(bytes, m_removedParts));
    // The caret goes back to the first line, so that both panes show the page's start.
    m_wndEdit.TopOfFile(FALSE);
    return TRUE;
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
    m_wndCaption.SetPaneInfo(0, 0, SBPS_STRETCH | SBPS_POPOUT, 0);
    m_wndCaption.SetPaneText(0, m_strCaption);
    if (!m_wndEdit.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(0, 0, 0, 0), this, kEditorId))
        return -1;
    return 0;
}

void CFileContentsWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    const UINT nFlags = SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE;
    if (m_wndCaption.GetSafeHwnd() != nullptr)
        m_wndCaption.SetWindowPos(nullptr, 2, 0, cx - 2, kCaptionHeight, nFlags);
    if (m_wndEdit.GetSafeHwnd() != nullptr)
        m_wndEdit.SetWindowPos(nullptr, 0, kEditorTop, cx, cy - kEditorTop, nFlags);
    Invalidate();
}
