#include "app/dialogs/CSaveHTMLFilesDlg.h"

#include "app/frame/CVostrelApp.h"
#include "app/dialogs/DialogHelp.h"
#include "app/dialogs/DialogStrings.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/EngineMessages.h"
#include "engine/project/OutputAreaLine.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/dlg/CDataExchange.h"
#include "platform/core/TickCount.h"

#include <algorithm>

BEGIN_MESSAGE_MAP(CSaveHTMLFilesDlg, CDialog)
    ON_MESSAGE(kMsgSavePageBegin, &CSaveHTMLFilesDlg::OnPageBegin)
    ON_MESSAGE(kMsgSavePageProgress, &CSaveHTMLFilesDlg::OnPageProgress)
    ON_MESSAGE(kMsgSavePageDone, &CSaveHTMLFilesDlg::OnPageDone)
    ON_MESSAGE(kMsgSaveFinished, &CSaveHTMLFilesDlg::OnFinished)
    ON_MESSAGE(kMsgSaveStopped, &CSaveHTMLFilesDlg::OnStopped)
END_MESSAGE_MAP()

CSaveHTMLFilesDlg::CSaveHTMLFilesDlg(CParserEngine& engine, const CPageNodeCol& tree, HWND hOutputPane, CWnd* pParent)
    : CDialog(IDD, pParent), m_Engine(engine), m_Tree(tree), m_hOutputPane(hOutputPane)
{
}

void CSaveHTMLFilesDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, kIdName, m_strName);
    DDX_Text(pDX, kIdPath, m_strPath);
}

BOOL CSaveHTMLFilesDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    LoadBitmapButton(m_btnCancel, IDCANCEL, this);
    m_Pages.RemoveAll();
    // With nothing to save no thread starts, so no final message would ever close the dialog.
    if (m_Tree.CollectEditedPages(m_Pages) != 0) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    m_wndProgress.SubclassDlgItem(kIdProgress, this);
    m_wndProgress.SetRange(0, static_cast<UINT>(m_Pages.GetCount()) * kPartsPerPage);
    if (m_Engine.StartSave(m_Pages, m_hWnd, m_hOutputPane) != 0) {
        AfxMessageBox(kIdsSaveCannotStart, MB_OK | MB_ICONEXCLAMATION);
        EndDialog(IDCANCEL);
    }
    return TRUE;
}

void CSaveHTMLFilesDlg::OnCancel()
{
    // The dialog stays until the save thread has ended and said so.
    if (m_bStopping)
        return;
    m_bStopping = TRUE;
    m_Engine.StopSave();
}

LRESULT CSaveHTMLFilesDlg::OnPageBegin(WPARAM, LPARAM lParam)
{
    if (const auto* pNode = reinterpret_cast<const CPageNode*>(lParam)) {
        ShowPage(*pNode);
        ++m_nBegun;
        MoveMeterTo(m_nBegun * kPartsPerPage);
    }
    return 0;
}

LRESULT CSaveHTMLFilesDlg::OnPageProgress(WPARAM wParam, LPARAM lParam)
{
    // A large page is named as soon as its rewrite begins, long before it is put in its place.
    if (const auto* pNode = reinterpret_cast<const CPageNode*>(lParam)) {
        ShowPage(*pNode);
        MoveMeterTo(static_cast<UINT>(std::min<WPARAM>(wParam, static_cast<WPARAM>(m_Pages.GetCount()) * kPartsPerPage)));
    }
    return 0;
}

void CSaveHTMLFilesDlg::ShowPage(const CPageNode& page)
{
    if (m_pShown == &page)
        return;
    m_pShown = &page;
    m_strName = page.GetName();
    m_strPath = page.GetFolder();
    UpdateData(FALSE);
}

void CSaveHTMLFilesDlg::MoveMeterTo(UINT nPos)
{
    if (nPos <= m_wndProgress.GetPos())
        return;
    // Painting the dialog at once for every page would cost more than the page itself when the
    // save refuses pages as fast as it can read their marks: the meter is drawn at once only every
    // kPaintIntervalMs, and in between when the program has time.
    const DWORD dwNow = ::GetTickCount();
    const BOOL bPaint = dwNow - m_dwLastPaint >= kPaintIntervalMs;
    if (bPaint)
        m_dwLastPaint = dwNow;
    m_wndProgress.SetPos(nPos, bPaint);
}

LRESULT CSaveHTMLFilesDlg::OnPageDone(WPARAM wParam, LPARAM lParam)
{
    // A page that held its edits already is done, but nothing was written to it.
    if (wParam == kSavedUnchanged)
        ++m_nUnchanged;
    else
        ++m_nWritten;
    m_written.push_back(reinterpret_cast<CPageNode*>(lParam));
    if (auto* pApp = dynamic_cast<CVostrelApp*>(AfxGetApp()))
        pApp->RefreshPageInView(reinterpret_cast<CPageNode*>(lParam));
    return 0;
}

LRESULT CSaveHTMLFilesDlg::OnFinished(WPARAM, LPARAM)
{
    if (!m_bStopping) {
        TellCount(kIdsSaveCount);
        EndDialog(IDOK);
    }
    return 0;
}

LRESULT CSaveHTMLFilesDlg::OnStopped(WPARAM, LPARAM)
{
    TellCount(kIdsSaveCountStopped);
    EndDialog(IDCANCEL);
    return 0;
}

void CSaveHTMLFilesDlg::TellCount(UINT nFormat)
{
    // The last line of the save, after the lines of the pages that failed: how it went as a
    // whole, with the pages a stop left unsaved counted as not written.
    const auto nPages = static_cast<UINT>(m_Pages.GetCount());
    const UINT nWritten = std::min(m_nWritten, nPages);
    const UINT nUnchanged = std::min(m_nUnchanged, nPages - nWritten);
    CString strLine;
    if (nUnchanged == 0)
        strLine.Format(nFormat, nWritten, nPages, nPages - nWritten);
    else
        strLine.Format(nFormat == kIdsSaveCount ? kIdsSaveCountUnchanged : kIdsSaveCountStoppedUnchanged, nWritten,
                       nPages, nUnchanged, nPages - nWritten - nUnchanged);
    PostOutputAreaLine(m_hOutputPane, CString(), strLine);
}
