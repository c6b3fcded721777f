// Find and replace from the editor window's side: opening the dialogs, the search options and
// histories in the profile, the dialogs' requests, F3, Mark All, and the context menu.
#include "toolkit/editor/wnd/SECEditCtrl.h"

#include "platform/core/ResourceTable.h"

#include "platform/afx/AfxRes.h"
#include "platform/afx/gdi/CMenu.h"
#include "platform/win/Caret.h"
#include "platform/win/Clipboard.h"
#include "toolkit/editor/wnd/SECEditFindReplaceDlg.h"
#include "toolkit/res/EditorRes.h"

#include <cstring>

namespace {

CString Str(UINT nID)
{
    CString s;
    s.LoadString(nID);
    return s;
}

CString HistoryKey(UINT nFormatID, int n)
{
    CString key;
    key.Format(Str(nFormatID), n);
    return key;
}

} // namespace

void SECEditCtrl::LoadFindSettings(SECEditFindReplaceDlg* pDlg)
{
    CString word;
    GetSelectedWord(word);
    pDlg->m_strFind = word;
    const CString section = Str(IDS_SECEDIT_FIND_SECTION);
    pDlg->m_bRegExp = static_cast<int>(GetEditProfileInt(section, Str(IDS_SECEDIT_FIND_REGEXP), 0));
    pDlg->m_bMatchCase = static_cast<int>(GetEditProfileInt(section, Str(IDS_SECEDIT_FIND_MATCHCASE), 0));
    pDlg->m_nDirection = static_cast<int>(GetEditProfileInt(section, Str(IDS_SECEDIT_FIND_FORWARD), 1));
    pDlg->m_bWrap = static_cast<int>(GetEditProfileInt(section, Str(IDS_SECEDIT_FIND_WRAP), 1));
}

void SECEditCtrl::OnEditFind()
{
    if (m_bReplaceOpen && m_pReplaceDlg != nullptr) {
        m_pReplaceDlg->SetFocus();
        return;
    }
    if (m_bFindOpen && m_pFindDlg != nullptr) {
        m_pFindDlg->SetFocus();
        return;
    }
    auto* dlg = new SECEditFindReplaceDlg;
    dlg->m_bReplaceMode = 0;
    LoadFindSettings(dlg);
    dlg->m_fr.hInstance = AfxFindResourceHandle(MAKEINTRESOURCE(IDD_SECEDIT_FIND), RT_DIALOG);
    dlg->m_fr.lpTemplateName = MAKEINTRESOURCE(IDD_SECEDIT_FIND);
    if (!dlg->Create(TRUE, dlg->m_strFind, nullptr, FR_DOWN | FR_ENABLETEMPLATE, this)) {
        delete dlg;
        return;
    }
    m_pFindDlg = dlg;
    m_bFindOpen = TRUE;
    dlg->OnInitDialog();
    dlg->PlaceNear(this);
    dlg->SetActiveWindow();
    dlg->ShowWindow(SW_SHOW);
}

void SECEditCtrl::OnEditReplace()
{
    if (m_bFindOpen && m_pFindDlg != nullptr) {
        m_pFindDlg->SetFocus();
        return;
    }
    if (m_bReplaceOpen && m_pReplaceDlg != nullptr) {
        m_pReplaceDlg->SetFocus();
        return;
    }
    auto* dlg = new SECEditFindReplaceDlg;
    dlg->m_bReplaceMode = 1;
    LoadFindSettings(dlg);
    dlg->m_fr.hInstance = AfxFindResourceHandle(MAKEINTRESOURCE(IDD_SECEDIT_REPLACE), RT_DIALOG);
    dlg->m_fr.lpTemplateName = MAKEINTRESOURCE(IDD_SECEDIT_REPLACE);
    if (!dlg->Create(FALSE, dlg->m_strFind, "", FR_DOWN | FR_ENABLETEMPLATE, this)) {
        delete dlg;
        return;
    }
    m_pReplaceDlg = dlg;
    m_bReplaceOpen = TRUE;
    dlg->OnInitDialog();
    dlg->PlaceNear(this);
    dlg->SetActiveWindow();
    dlg->ShowWindow(SW_SHOW);
}

void SECEditCtrl::CloseFindDialogs()
{
    SECEditFindReplaceDlg* dialogs[2] = {m_pFindDlg, m_pReplaceDlg};
    m_pFindDlg = m_pReplaceDlg = nullptr;
    m_bFindOpen = m_bReplaceOpen = FALSE;
    s_bReplacing = FALSE;
    m_strSearchBuffer.clear();
    for (SECEditFindReplaceDlg* dlg : dialogs)
        if (dlg != nullptr && dlg->m_hWnd != nullptr)
            dlg->DestroyWindow();   // the object deletes itself with its window
}

void SECEditCtrl::AddHistory(LPCSTR lpszKey, const CString& text)
{
    const bool replace = std::strcmp(lpszKey, "Replace") == 0;
    CString value = text;
    if (value.IsEmpty()) {
        if (!replace)
            return;
        value = SECEDIT_EMPTY_REPLACE;
    }
    const UINT format = replace ? IDS_SECEDIT_REPLACE_HISTORY : IDS_SECEDIT_FIND_HISTORY;
    const CString section = Str(IDS_SECEDIT_FIND_SECTION);
    CString carry = GetEditProfileString(section, HistoryKey(format, 1), "");
    if (carry == value)
        return;
    WriteEditProfileString(section, HistoryKey(format, 1), value);
    for (int n = 2; n <= 10 && !carry.IsEmpty() && carry != value; ++n) {
        CString old = GetEditProfileString(section, HistoryKey(format, n), "");
        WriteEditProfileString(section, HistoryKey(format, n), carry);
        carry = old;
    }
}

BOOL SECEditCtrl::DoSearch(SECEditSearch& request, BOOL bWrap, BOOL bFromSelection)
{
    SECEditDoc* pDoc = GetDocument();
    const bool forward = (request.nFlags & SECEDIT_SEARCH_FORWARD) != 0;
    SECEditPos from = CaretPos();
    if (bFromSelection && m_bSelection && m_selStart.pLine != nullptr)
        from = PosOf(forward ? m_selEnd : m_selStart);
    if (m_bSelection)
        ClearSelection(TRUE);
    SECEditLine* last = pDoc->GetLine(pDoc->GetLineCount());
    const SECEditPos end{last, last->nLength};
    const SECEditPos start{pDoc->GetFirstLine(), 0};
    SECEditPos pos = from;
    BOOL found = pDoc->Search(pos, forward ? end : start, request);
    if (!found && bWrap) {
        pos = forward ? start : end;
        found = pDoc->Search(pos, forward ? from : from, request);
    }
    if (!found)
        return FALSE;
    const int columns = pDoc->ColumnFromOffset(pos.pLine, pos.nOffset + request.nMatchLength)
        - pDoc->ColumnFromOffset(pos.pLine, pos.nOffset);
    SelectText(pos, columns, TRUE);
    m_strSearchBuffer.assign(pos.pLine->pText + pos.nOffset, static_cast<size_t>(request.nMatchLength));
    return TRUE;
}

void SECEditCtrl::OnFindNext()
{
    const CString section = Str(IDS_SECEDIT_FIND_SECTION);
    const CString text = GetEditProfileString(section, HistoryKey(IDS_SECEDIT_FIND_HISTORY, 1), "");
    if (text.IsEmpty()) {
        OnEditFind();
        return;
    }
    SECEditSearch request;
    request.strPattern = static_cast<LPCSTR>(text);
    request.nFlags = 0;
    if (GetEditProfileInt(section, Str(IDS_SECEDIT_FIND_REGEXP), 0))
        request.nFlags |= SECEDIT_SEARCH_REGEXP;
    if (GetEditProfileInt(section, Str(IDS_SECEDIT_FIND_MATCHCASE), 0))
        request.nFlags |= SECEDIT_SEARCH_MATCHCASE;
    if (GetEditProfileInt(section, Str(IDS_SECEDIT_FIND_FORWARD), 1))
        request.nFlags |= SECEDIT_SEARCH_FORWARD;
    const BOOL wrap = GetEditProfileInt(section, Str(IDS_SECEDIT_FIND_WRAP), 1) != 0;
    if (!DoSearch(request, wrap, TRUE))
        ReportErrorArg(SECEDIT_NOT_FOUND, text, m_bRedraw);
}

void SECEditCtrl::OnUpdateFindNext(CCmdUI* pCmdUI)
{
    const CString text = GetEditProfileString(Str(IDS_SECEDIT_FIND_SECTION), HistoryKey(IDS_SECEDIT_FIND_HISTORY, 1), "");
    pCmdUI->Enable(!text.IsEmpty());
}

int SECEditCtrl::MarkAllMatches(SECEditSearch& request)
{
    SECEditDoc* pDoc = GetDocument();
    request.nFlags |= SECEDIT_SEARCH_FORWARD;
    SECEditLine* last = pDoc->GetLine(pDoc->GetLineCount());
    const SECEditPos end{last, last->nLength};
    SECEditPos pos{pDoc->GetFirstLine(), 0};
    int marked = 0;
    while (pDoc->Search(pos, end, request)) {
        if (!(pos.pLine->dwFlags & SECEDIT_LINE_BOOKMARK)) {
            pos.pLine->dwFlags |= SECEDIT_LINE_BOOKMARK;
            ++pDoc->m_nBookmarks;
            ++marked;
        }
        // One mark per line: go on with the next line.
        if (pos.pLine->pNext == nullptr)
            break;
        pos = SECEditPos{pos.pLine->pNext, 0};
    }
    return marked;
}

int SECEditCtrl::ReplaceAllMatches(SECEditSearch& request, const CString& replace)
{
    return GetDocument()->ReplaceAll(request, replace);
}

LRESULT SECEditCtrl::OnFindReplaceCmd(WPARAM, LPARAM lParam)
{
    SECEditFindReplaceDlg* dlg = nullptr;
    if (m_bFindOpen)
        dlg = m_pFindDlg;
    else if (m_bReplaceOpen)
        dlg = m_pReplaceDlg;
    if (dlg == nullptr || CFindReplaceDialog::GetNotifier(lParam) != dlg)
        return 0;
    if (dlg->IsTerminating()) {
        m_pFindDlg = m_pReplaceDlg = nullptr;
        m_bFindOpen = m_bReplaceOpen = FALSE;
        s_bReplacing = FALSE;
        m_strSearchBuffer.clear();
        return 0;
    }
    dlg->UpdateData(TRUE);
    dlg->m_nDirection = dlg->SearchDown() ? 1 : 0;
    const CString section = Str(IDS_SECEDIT_FIND_SECTION);
    WriteEditProfileInt(section, Str(IDS_SECEDIT_FIND_REGEXP), dlg->m_bRegExp);
    WriteEditProfileInt(section, Str(IDS_SECEDIT_FIND_MATCHCASE), dlg->m_bMatchCase);
    WriteEditProfileInt(section, Str(IDS_SECEDIT_FIND_FORWARD), dlg->m_nDirection);
    WriteEditProfileInt(section, Str(IDS_SECEDIT_FIND_WRAP), dlg->m_bWrap);
    const CString findText = dlg->m_strFind;
    AddHistory("Find", findText);
    CString replaceText = dlg->m_strReplace;
    if (dlg->m_bReplaceMode) {
        AddHistory("Replace", replaceText);
        if (replaceText == SECEDIT_EMPTY_REPLACE)
            replaceText.Empty();
    }
    SECEditSearch request;
    request.strPattern = static_cast<LPCSTR>(findText);
    request.nFlags = 0;
    if (dlg->m_bRegExp)
        request.nFlags |= SECEDIT_SEARCH_REGEXP;
    if (dlg->m_nDirection != 0)
        request.nFlags |= SECEDIT_SEARCH_FORWARD;
    if (dlg->m_bMatchCase)
        request.nFlags |= SECEDIT_SEARCH_MATCHCASE;
    if (dlg->MatchWholeWord())
        request.nFlags |= SECEDIT_SEARCH_WHOLEWORD;
    request.strReplace = static_cast<LPCSTR>(replaceText);
    SECEditDoc* pDoc = GetDocument();

    if (dlg->m_bMarkAll) {
        CloseFindDialogs();
        if (MarkAllMatches(request) > 0) {
            TopOfFile(FALSE);
            if (!(m_pCaretLine->dwFlags & SECEDIT_LINE_BOOKMARK))
                NextBookmark(TRUE);
            if (m_bRedraw && m_hWnd != nullptr)
                Invalidate(FALSE);
        }
        return 0;
    }
    // A read-only text is told as such: "not found" would name the wrong cause for text the
    // user sees on the screen.
    if ((dlg->ReplaceAll() || dlg->ReplaceCurrent()) && pDoc->IsReadOnly()) {
        ReportError(SECEDIT_READONLY, m_bRedraw);
        return 0;
    }
    if (dlg->ReplaceAll()) {
        const SECEditCell caret{m_pCaretLine, m_nCaretColumn};
        const int caretLineNo = m_nCaretLineNo;
        if (m_bSelection)
            ClearSelection(TRUE);
        const int count = ReplaceAllMatches(request, replaceText);
        if (count <= 0) {
            SetCaret(pDoc->GetLine(caretLineNo), caret.nColumn);
            ReportErrorArg(SECEDIT_NOT_FOUND, findText, m_bRedraw);
            return 0;
        }
        CloseFindDialogs();
        SetCaret(pDoc->GetFirstLine(), 0);
        FixTopAfterEdit(1);
        MakeCaretVisible();
        if (m_bRedraw && m_hWnd != nullptr)
            Invalidate(FALSE);
        OnUpdate(this, 0, nullptr);
        return 0;
    }
    if (dlg->ReplaceCurrent() && m_bSelection) {
        std::string selected;
        GetClipText(selected);
        if (!m_strSearchBuffer.empty() && selected == m_strSearchBuffer) {
            pDoc->BeginUndoGroup(TRUE);
            const std::string with = (request.nFlags & SECEDIT_SEARCH_REGEXP) != 0 && !m_strExpanded.empty()
                ? m_strExpanded : std::string(static_cast<LPCSTR>(replaceText));
            DeleteSelection(TRUE);
            if (!with.empty())
                InsertClipText(with.data(), static_cast<int>(with.size()));
            pDoc->BeginUndoGroup(FALSE);
            if (m_bRedraw && m_hWnd != nullptr)
                Invalidate(FALSE);
        }
    }
    // Find Next, and the search after a replacement.
    const BOOL wrap = dlg->m_bWrap != 0;
    if (m_bReplaceOpen && m_pReplaceDlg != nullptr && m_pReplaceDlg->m_hWnd != nullptr) {
        CRect avoid;
        m_pReplaceDlg->GetWindowRect(&avoid);
        m_rectAvoid = avoid;
    }
    const BOOL found = DoSearch(request, wrap, TRUE);
    if (found) {
        m_strExpanded = request.strExpanded;
        const SECEditPos matchStart = PosOf(m_selStart);
        if (s_bReplacing && matchStart.pLine == m_replaceStart.pLine && matchStart.nOffset == m_replaceStart.nOffset) {
            ReportErrorArg(SECEDIT_FINISHED, findText, m_bRedraw);
            CloseFindDialogs();
            return 0;
        }
        if (!s_bReplacing) {
            for (int id : {1024, 1025})
                if (m_pReplaceDlg != nullptr && m_bReplaceOpen)
                    if (CWnd* button = m_pReplaceDlg->GetDlgItem(id))
                        button->EnableWindow(TRUE);
            s_bReplacing = TRUE;
            m_replaceStart = matchStart;
        }
        if (m_bFindOpen)
            CloseFindDialogs();
        return 0;
    }
    if (!s_bReplacing) {
        ReportErrorArg(SECEDIT_NOT_FOUND, findText, m_bRedraw);
        if (CWnd* combo = dlg->GetDlgItem(IDC_SECEDIT_FINDCOMBO))
            combo->SetFocus();
        if (m_bReplaceOpen && m_pReplaceDlg != nullptr)
            for (int id : {1024, 1025})
                if (CWnd* button = m_pReplaceDlg->GetDlgItem(id))
                    button->EnableWindow(FALSE);
    } else {
        ReportErrorArg(SECEDIT_FINISHED, findText, m_bRedraw);
        CloseFindDialogs();
    }
    return 0;
}

// ---- Context menu -------------------------------------------------------------------------------

BOOL SECEditCtrl::FillContextMenu(CMenu* pMenu)
{
    SECEditDoc* pDoc = GetDocument();
    auto flag = [](bool on) { return MF_STRING | (on ? MF_ENABLED : MF_GRAYED); };
    pMenu->AppendMenu(flag(pDoc->GetUndoCount() > 0), ID_EDIT_UNDO, "&Undo");
    pMenu->AppendMenu(flag(pDoc->GetRedoCount() > 0), ID_EDIT_REDO, "&Redo");
    pMenu->AppendMenu(MF_SEPARATOR);
    pMenu->AppendMenu(flag(m_bSelection && !pDoc->IsReadOnly()), ID_EDIT_CUT, "Cu&t");
    pMenu->AppendMenu(flag(m_bSelection != FALSE), ID_EDIT_COPY, "&Copy");
    bool paste = false;
    if (OpenClipboard(m_hWnd)) {
        paste = IsClipboardFormatAvailable(CF_TEXT) && !pDoc->IsReadOnly();
        CloseClipboard();
    }
    pMenu->AppendMenu(flag(paste), ID_EDIT_PASTE, "&Paste");
    pMenu->AppendMenu(MF_SEPARATOR);
    pMenu->AppendMenu(MF_STRING, ID_SECEDIT_TOGGLEBOOKMARK, "Toggle &Bookmark");
    return TRUE;
}

void SECEditCtrl::OnContextMenu(CWnd*, CPoint point)
{
    CMenu menu;
    if (!menu.CreatePopupMenu())
        return;
    if (point.x != -1 || point.y != -1) {
        CPoint client = point;
        ScreenToClient(&client);
        const SECEditCell cell = CellFromPoint(client, TRUE);
        if (!m_bSelection)
            SetCaret(cell.pLine, cell.nColumn);
        MakeCaretVisible();
    } else {
        point = CPoint(5, 5);
        ClientToScreen(&point);
    }
    if (m_bCaretCreated)
        HideCaret(m_hWnd);
    if (FillContextMenu(&menu))
        menu.TrackPopupMenu(TPM_RIGHTBUTTON, point.x, point.y, this);
    if (m_bCaretCreated)
        ShowCaret(m_hWnd);
    menu.DestroyMenu();
}
