// The preview of a page's changes.
#include "app/dialogs/CPreviewDlg.h"

#include "platform/win/Keyboard.h"
#include "platform/win/SystemParameters.h"
#include "platform/win/UserApi.h"
#include "platform/win/VirtualKeys.h"
#include "toolkit/editor/SECEditDoc.h"
#include "toolkit/editor/Utf8Cells.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string_view>
#include <utility>
#include <vector>

void CPreviewDlg::SetFiles(const CString& strPathOnDisk, const CString& strPathRewritten)
{
    m_strPathOnDisk = strPathOnDisk;
    m_strPathRewritten = strPathRewritten;
}

void CPreviewDlg::SetCharsetChoice(const CharsetChoices& choices, const CharsetWay& taken)
{
    // A way that would lose text is not offered: its button stands greyed, with the reason. The
    // way taken has its button take it back.
    const auto note = [](const CString& strWhyNot) {
        CString strNote;
        if (!strWhyNot.IsEmpty())
            strNote.Format(IDS_PREVIEW_WOULD_LOSE, strWhyNot.GetString());
        return strNote;
    };
    const bool bTaken = choices.IsTakenOn(taken);
    // A way on says beside its button what its reading changes: where the page's own reading is
    // odd, and which characters the other reads otherwise.
    const auto place = [&](CFileContentsWnd& pane, UINT nID, bool bThis, const CString& strTake, const CString& strBack,
                           bool bCan, const CString& strWhyNot, const CString& strSaid) {
        if (bTaken && bThis)
            pane.SetTakeButton(IDC_PREVIEW_TAKE_BACK, strBack, true);
        else
            pane.SetTakeButton(nID, strTake, bCan, bCan ? strSaid : note(strWhyNot));
    };
    CString strTake, strBack;
    strTake.Format(IDS_PREVIEW_TAKE_CONVERT, choices.strSource.GetString());
    strBack.Format(IDS_PREVIEW_TAKE_BACK_CONVERT, choices.strSource.GetString());
    place(m_wndLeft, IDC_PREVIEW_CONVERT, taken.choice == CharsetChoice::Convert && taken.strSource == choices.strSource,
          strTake, strBack, choices.CanConvert(), choices.strWhyNotConvert, choices.OddWordNote());
    if (choices.second == CharsetChoices::Second::ConvertOther) {
        strTake.Format(IDS_PREVIEW_TAKE_CONVERT_OTHER, choices.strOther.GetString());
        strBack.Format(IDS_PREVIEW_TAKE_BACK_CONVERT, choices.strOther.GetString());
        place(m_wndRight, IDC_PREVIEW_CONVERT_OTHER,
              taken.choice == CharsetChoice::Convert && taken.strSource == choices.strOther, strTake, strBack,
              choices.CanConvertOther(), choices.strWhyNotConvertOther, choices.WayChange());
    } else {
        strTake.Format(IDS_PREVIEW_TAKE_KEEP, choices.strTarget.GetString());
        strBack.LoadString(IDS_PREVIEW_TAKE_BACK_KEEP);
        place(m_wndRight, IDC_PREVIEW_KEEP, taken.choice == CharsetChoice::KeepBytes, strTake, strBack, choices.CanKeep(),
              choices.strWhyNotKeep, choices.WayChange());
    }
    m_bNeitherWay = !choices.CanTakeAny();
}

BOOL CPreviewDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    if (IsTakeId(nID) && HIWORD(wParam) == BN_CLICKED) {
        CEditCtrlWrapper& editor = m_wndLeft.GetEditor();
        if (editor.GetSafeHwnd() != nullptr) {
            m_taken.nLine = editor.GetCaretLineNo();
            m_taken.nColumn = editor.GetCaretColumn();
        }
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        if (::GetWindowPlacement(m_hWnd, &placement)) {
            m_taken.rectWindow = placement.rcNormalPosition;
            m_taken.bMaximised = placement.showCmd == SW_SHOWMAXIMIZED;
        }
        EndDialog(static_cast<int>(nID));
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

BOOL CPreviewDlg::PressTakeButtonOf(const MSG& msg)
{
    if ((msg.message != WM_SYSKEYDOWN && msg.message != WM_KEYDOWN) || ::GetKeyState(VK_MENU) >= 0
        || ::GetKeyState(VK_CONTROL) < 0 || !((msg.wParam >= 'A' && msg.wParam <= 'Z') || (msg.wParam >= '0' && msg.wParam <= '9')))
        return FALSE;
    for (CFileContentsWnd* pPane : {&m_wndLeft, &m_wndRight}) {
        CButton& button = pPane->GetTakeButton();
        if (button.GetSafeHwnd() == nullptr || !button.IsWindowEnabled() || !button.IsWindowVisible())
            continue;
        CString strText;
        button.GetWindowText(strText);
        // The letter after a single "&" is the button's; "&&" stands for the sign itself.
        for (int i = 0; i + 1 < strText.GetLength(); ++i) {
            if (strText[i] != '&')
                continue;
            if (strText[i + 1] == '&') {
                ++i;
                continue;
            }
            if (std::toupper(static_cast<unsigned char>(strText[i + 1])) == static_cast<int>(msg.wParam)) {
                button.SetFocus();
                SendMessage(WM_COMMAND, MAKEWPARAM(button.GetDlgCtrlID(), BN_CLICKED),
                            reinterpret_cast<LPARAM>(button.GetSafeHwnd()));
                return TRUE;
            }
            break;
        }
    }
    return FALSE;
}

namespace {

// What a charset rests on, in the caption's words.
CString EvidenceText(CharsetEvidence evidence)
{
    CString strText;
    switch (evidence) {
    case CharsetEvidence::ByteOrderMark: strText.LoadString(IDS_CHARSET_BY_MARK); break;
    case CharsetEvidence::Declaration: strText.LoadString(IDS_CHARSET_DECLARED); break;
    case CharsetEvidence::Bytes: strText.LoadString(IDS_CHARSET_BY_BYTES); break;
    case CharsetEvidence::Guess: strText.LoadString(IDS_CHARSET_GUESSED); break;
    case CharsetEvidence::WeakGuess: strText.LoadString(IDS_CHARSET_WEAK_GUESS); break;
    case CharsetEvidence::Given: strText.LoadString(IDS_CHARSET_GIVEN); break;
    }
    return strText;
}

std::string NameOf(const PageCharsetReading& reading)
{
    return reading.charset.GetName();
}

} // namespace

BOOL CPreviewDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // Both captions name the page on disk: the right pane shows what it would become.
    CString strFormat, strCaption;
    strFormat.LoadString(IDS_PREVIEW_CURRENT);
    strCaption.Format(strFormat, static_cast<LPCTSTR>(m_strPathOnDisk));
    if (!m_removedTags.empty()) {
        // The tags the rewrite takes out are not in the right pane: the left one says where they
        // were, ahead of the path, which a narrow pane cuts short.
        const CString strPlain = strCaption;
        strFormat.LoadString(IDS_PREVIEW_REPEATS_TAKEN_OUT);
        strCaption.Format(strFormat, static_cast<UINT>(m_removedTags.size()), static_cast<LPCTSTR>(strPlain));
    }
    if (m_bInDoubt) {
        // The page's bytes as they are, the one way and the other: the user sees which is meant.
        const CString strPlain = strCaption;
        strFormat.LoadString(IDS_PREVIEW_READ_AS);
        strCaption.Format(strFormat, NameOf(m_charsetOnDisk).c_str(), EvidenceText(m_charsetOnDisk.evidence).GetString(),
                          strPlain.GetString());
        m_wndLeft.SetFile(strCaption, m_strPathOnDisk);
        strFormat.LoadString(m_bNeitherWay ? IDS_PREVIEW_NEITHER : IDS_PREVIEW_IN_DOUBT);
        strCaption.Format(strFormat, NameOf(m_charsetRewritten).c_str(),
                          EvidenceText(m_charsetRewritten.evidence).GetString(), strPlain.GetString());
        m_wndRight.SetFile(strCaption, m_strPathOnDisk);
    } else {
        m_wndLeft.SetFile(strCaption, m_strPathOnDisk);
        strFormat.LoadString(IDS_PREVIEW_MODIFIED);
        strCaption.Format(strFormat, static_cast<LPCTSTR>(m_strPathOnDisk));
        m_wndRight.SetFile(CharsetCaption(strCaption), m_strPathRewritten);
    }
    m_wndLeft.SetPartner(&m_wndRight);
    m_wndRight.SetPartner(&m_wndLeft);
    const CRect empty(0, 0, 0, 0);
    if (!m_wndLeft.Create(empty, this) || !m_wndRight.Create(empty, this))
        return TRUE;
    // Both panes hold the page: lines too long for them are told once, before the Preview shows.
    for (CFileContentsWnd* pPane : {&m_wndLeft, &m_wndRight}) {
        if (pPane->GetEditor().HasLinesCut()) {
            pPane->GetEditor().TellLinesCut();
            break;
        }
    }
    // The Preview that comes again after a way was taken in the one before stands as the user
    // left that one, the captions taking more lines where they need them.
    if (m_kept.rectWindow.IsRectEmpty())
        FitCaptions();
    else
        KeepWindow();

    CRect client;
    GetClientRect(&client);
    m_pSplitter = static_cast<SECLayoutNodeSplitter*>(m_factory.CreateNode(m_splitterFactory));
    if (m_pSplitter == nullptr || !m_pSplitter->Create(this, client, WS_CHILD | WS_VISIBLE, IDC_PREVIEW_SPLITTER, 0))
        return TRUE;
    m_pSplitter->SetPane(0, 0, m_factory.CreateNodeWnd(&m_wndLeft, this));
    m_pSplitter->SetPane(0, 1, m_factory.CreateNodeWnd(&m_wndRight, this));
    m_pSplitter->SetSplitPos((client.Width() - SECSplitterBase::kBarThickness) / 2, 0);
    // The listener keeps the splitter filling the dialog as it is resized.
    if (SECLayoutWndListener* pListener = m_factory.CreateWndListener())
        pListener->AutoInit(m_pSplitter, this, TRUE, TRUE, FALSE);
    // After a way was taken, the Preview comes again at the place it showed.
    if (m_kept.nLine > 0)
        ShowLine(m_kept.nLine, m_kept.nColumn);
    else if (m_bInDoubt)
        ShowFirstDifference();
    // The keys start in the page as it is on disk.
    m_wndLeft.GetEditor().SetFocus();
    return FALSE;
}

void CPreviewDlg::KeepWindow()
{
    const CRect& rect = m_kept.rectWindow;
    SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    // A dialog is shown at its normal size once it is made: a maximised one is maximised then,
    // as its caption's box maximises it, and restores to the size the user gave the one before.
    if (m_kept.bMaximised)
        PostMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
}

void CPreviewDlg::ShowLine(int nLine, int nColumn)
{
    SECEditDoc* pLeft = m_wndLeft.GetEditor().GetDocument();
    SECEditDoc* pRight = m_wndRight.GetEditor().GetDocument();
    if (pLeft == nullptr || pRight == nullptr || pLeft->GetLineCount() == 0 || pRight->GetLineCount() == 0)
        return;
    SECEditLine* pOne = pLeft->GetLine(std::min(nLine, pLeft->GetLineCount()));
    if (pOne == nullptr)
        return;
    // The other text may hold a line more or less before it (a declaration put in or taken out),
    // and read the place's line otherwise: its place is found by the text around it, or stands
    // on the line of the same number.
    SECEditLine* pAround = pRight->GetLine(std::min(pLeft->LineNo(pOne), pRight->GetLineCount()));
    int nPlace = -1;
    SECEditLine* pTwo = SamePlace(pOne, pLeft->OffsetFromColumn(pOne, nColumn), pAround, nPlace);
    m_wndLeft.GetEditor().ShowPlace(pOne, nColumn);
    if (pTwo != nullptr)
        m_wndRight.GetEditor().ShowPlace(pTwo, pRight->ColumnFromOffset(pTwo, nPlace));
    else
        m_wndRight.GetEditor().ShowPlace(pAround, nColumn);
}

SECEditLine* CPreviewDlg::SamePlace(SECEditLine* pOne, int nAt, SECEditLine* pAround, int& nPlace)
{
    nPlace = -1;
    if (pOne == nullptr || pAround == nullptr)
        return nullptr;
    const auto textOf = [](const SECEditLine* pLine) {
        return std::string_view(pLine->pText, static_cast<size_t>(pLine->nLength));
    };
    // The lines on either side of the one of the same number, the nearest first.
    std::vector<SECEditLine*> lines{pAround};
    SECEditLine* pBefore = pAround->pPrev;
    SECEditLine* pAfter = pAround->pNext;
    for (int n = 0; n < kLinesSought && (pBefore != nullptr || pAfter != nullptr); ++n) {
        if (pAfter != nullptr)
            lines.push_back(std::exchange(pAfter, pAfter->pNext));
        if (pBefore != nullptr)
            lines.push_back(std::exchange(pBefore, pBefore->pPrev));
    }
    const std::string_view text = textOf(pOne);
    nAt = std::clamp(nAt, 0, static_cast<int>(text.size()));
    for (SECEditLine* pLine : lines) {
        if (textOf(pLine) == text) {
            nPlace = nAt;
            return pLine;
        }
    }
    // What leads to the place reads alike in both texts up to the first character they read
    // otherwise; a shorter lead still fits a line cut elsewhere in the other text.
    for (int nLead = std::min(kLeadBytes, nAt); nLead > 0; nLead = nLead > kLeadBytes / 8 ? nLead / 2 : 0) {
        size_t nFrom = static_cast<size_t>(nAt - nLead);
        while (nFrom < static_cast<size_t>(nAt) && editor::IsContinuation(text[nFrom]))
            ++nFrom;
        const std::string_view lead = text.substr(nFrom, static_cast<size_t>(nAt) - nFrom);
        if (lead.empty())
            continue;
        for (SECEditLine* pLine : lines) {
            const std::string_view other = textOf(pLine);
            for (size_t nFound = other.find(lead); nFound != std::string_view::npos; nFound = other.find(lead, nFound + 1)) {
                const int nEnd = static_cast<int>(nFound + lead.size());
                if (nPlace < 0 || std::abs(nEnd - nAt) < std::abs(nPlace - nAt))
                    nPlace = nEnd;
            }
            if (nPlace >= 0)
                return pLine;
        }
    }
    return nullptr;
}

void CPreviewDlg::ShowFirstDifference()
{
    SECEditDoc* pLeft = m_wndLeft.GetEditor().GetDocument();
    SECEditDoc* pRight = m_wndRight.GetEditor().GetDocument();
    if (pLeft == nullptr || pRight == nullptr)
        return;
    SECEditLine* pOne = pLeft->GetFirstLine();
    SECEditLine* pTwo = pRight->GetFirstLine();
    while (pOne != nullptr && pTwo != nullptr && std::string_view(pOne->pText, static_cast<size_t>(pOne->nLength))
                                                     == std::string_view(pTwo->pText, static_cast<size_t>(pTwo->nLength))) {
        pOne = pOne->pNext;
        pTwo = pTwo->pNext;
    }
    if (pOne == nullptr || pTwo == nullptr)
        return;
    // The lines agree up to the first character that differs, which both show in one column.
    const int nLength = std::min(pOne->nLength, pTwo->nLength);
    int nAt = 0;
    while (nAt < nLength && pOne->pText[nAt] == pTwo->pText[nAt])
        ++nAt;
    while (nAt > 0 && editor::IsContinuation(pOne->pText[nAt]))
        --nAt;
    const int nColumn = pLeft->ColumnFromOffset(pOne, nAt);
    m_wndLeft.GetEditor().ShowPlace(pOne, nColumn);
    m_wndRight.GetEditor().ShowPlace(pTwo, nColumn);
}

void CPreviewDlg::FitCaptions()
{
    // The captions say what the save does to the page (whether it converts it or only relabels
    // it, and from which charset): the dialog opens wide enough for each on one line, within the
    // screen; what is still too long for its pane takes more lines.
    const int nPane = std::max(m_wndLeft.CaptionWidthOnOneLine(), m_wndRight.CaptionWidthOnOneLine());
    CRect window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    CRect area;
    if (!::SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0))
        area.SetRect(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    const int nFrame = window.Width() - client.Width();
    const int nWanted = 2 * nPane + SECSplitterBase::kBarThickness + nFrame;
    const int nWidth = std::min(std::max(window.Width(), nWanted), area.Width());
    // A caption that still needs more lines makes the dialog taller by as much, so that the
    // panes keep the lines of text they had.
    const int nPaneWidth = (nWidth - nFrame - SECSplitterBase::kBarThickness) / 2;
    const int nCaption = std::max(m_wndLeft.CaptionHeightFor(nPaneWidth), m_wndRight.CaptionHeightFor(nPaneWidth));
    const int nHeight = std::min(window.Height() + nCaption - CFileContentsWnd::kCaptionHeight, area.Height());
    if (nWidth == window.Width() && nHeight == window.Height())
        return;
    SetWindowPos(nullptr, 0, 0, nWidth, nHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CenterWindow();
}

CString CPreviewDlg::CharsetCaption(const CString& strPlain) const
{
    // A page given another charset, or none: whether the save converts its bytes or keeps them,
    // and how they were read before, ahead of the path.
    CString strFormat, strCaption;
    const CString strBefore = EvidenceText(m_charsetOnDisk.evidence);
    switch (m_charsetChange) {
    case CharsetChange::None: return strPlain;
    case CharsetChange::Converted:
        strFormat.LoadString(IDS_PREVIEW_CONVERTED);
        strCaption.Format(strFormat, NameOf(m_charsetOnDisk).c_str(), strBefore.GetString(),
                          NameOf(m_charsetRewritten).c_str(), strPlain.GetString());
        break;
    case CharsetChange::Relabelled:
        if (m_readingChange.nCount > 0) {
            // The bytes are kept, but a letter reads otherwise: the text changes, and the caption
            // says how, the panes showing each reading.
            CString strHow;
            strHow.Format("%zu character%s, the first \"%s\" now \"%s\"", m_readingChange.nCount,
                          m_readingChange.nCount == 1 ? "" : "s", m_readingChange.before.c_str(),
                          m_readingChange.after.c_str());
            strFormat.LoadString(IDS_PREVIEW_RELABELLED_OTHER_TEXT);
            strCaption.Format(strFormat, NameOf(m_charsetRewritten).c_str(), strHow.GetString(),
                              NameOf(m_charsetOnDisk).c_str(), strBefore.GetString(), strPlain.GetString());
            break;
        }
        strFormat.LoadString(IDS_PREVIEW_RELABELLED);
        strCaption.Format(strFormat, NameOf(m_charsetRewritten).c_str(), NameOf(m_charsetOnDisk).c_str(),
                          strBefore.GetString(), strPlain.GetString());
        break;
    case CharsetChange::Undeclared:
        strFormat.LoadString(IDS_PREVIEW_UNDECLARED);
        strCaption.Format(strFormat, NameOf(m_charsetRewritten).c_str(), NameOf(m_charsetOnDisk).c_str(),
                          strBefore.GetString(), strPlain.GetString());
        break;
    }
    return strCaption;
}

BOOL CPreviewDlg::PreTranslateMessage(MSG* pMsg)
{
    if (PressTakeButtonOf(*pMsg))
        return TRUE;
    // F6 goes on to the other pane, as it goes from pane to pane in the main window, and
    // Shift+F6 back; Tab and Ctrl+Tab go round the panes through the dialog's own Tab order.
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_F6 && ::GetKeyState(VK_MENU) >= 0 &&
        ::GetKeyState(VK_CONTROL) >= 0) {
        if (::GetKeyState(VK_SHIFT) < 0)
            PrevDlgCtrl();
        else
            NextDlgCtrl();
        return TRUE;
    }
    if (pMsg->message != WM_KEYDOWN || ::GetKeyState(VK_SHIFT) < 0 || ::GetKeyState(VK_MENU) < 0)
        return CDialog::PreTranslateMessage(pMsg);
    const HWND hFocus = ::GetFocus();
    CEditCtrlWrapper& editor = m_wndRight.GetSafeHwnd() != nullptr &&
                                       (hFocus == m_wndRight.GetSafeHwnd() || ::IsChild(m_wndRight.GetSafeHwnd(), hFocus))
                                   ? m_wndRight.GetEditor()
                                   : m_wndLeft.GetEditor();
    // Each key moves the caret of the pane's editor, which brings the text into sight with it.
    const auto move = [&editor](int (SECEditCtrl::*pMove)(BOOL)) -> BOOL {
        if (editor.GetSafeHwnd() == nullptr)
            return FALSE;
        (editor.*pMove)(FALSE);
        return TRUE;
    };
    switch (pMsg->wParam) {
    case VK_ESCAPE:
        OnCancel();
        return TRUE;
    case VK_PRIOR: return move(&SECEditCtrl::PageUp);
    case VK_NEXT: return move(&SECEditCtrl::PageDown);
    // Home and End keep to the caret's line, as in the editor's own keys; with Ctrl they go to
    // the top and the bottom of the page.
    case VK_HOME: return move(::GetKeyState(VK_CONTROL) < 0 ? &SECEditCtrl::TopOfFile : &SECEditCtrl::Home);
    case VK_END: return move(::GetKeyState(VK_CONTROL) < 0 ? &SECEditCtrl::BottomOfFile : &SECEditCtrl::End);
    default:
        return CDialog::PreTranslateMessage(pMsg);
    }
}
