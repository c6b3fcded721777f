#include "platform/afx/doc/CDocument.h"

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/doc/CDocManager.h"
#include "platform/afx/doc/CDocTemplate.h"
#include "platform/controls/FileDialog.h"
#include "platform/afx/doc/CView.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/controls/MessageBox.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/CArchive.h"
#include "platform/core/CException.h"
#include "platform/core/CFile.h"
#include "platform/core/CFileException.h"
#include "platform/core/CMemFile.h"

#include <algorithm>
#include <string>

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
    ON_COMMAND(ID_FILE_CLOSE, &CDocument::OnFileClose)
    ON_COMMAND(ID_FILE_SAVE, &CDocument::OnFileSave)
    ON_COMMAND(ID_FILE_SAVE_AS, &CDocument::OnFileSaveAs)
END_MESSAGE_MAP()

CDocument::CDocument() = default;

CDocument::~CDocument()
{
    // Views outliving their document must not call into it.
    for (CView* view : m_viewList)
        view->m_pDocument = nullptr;
    m_viewList.clear();
    if (m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(LPCTSTR lpszTitle)
{
    m_strTitle = lpszTitle ? lpszTitle : "";
    // Frames show the title at the next idle time.
    for (CView* view : m_viewList)
        if (CFrameWnd* frame = view->GetParentFrame())
            frame->m_nIdleFlags |= CFrameWnd::idleTitle;
}

void CDocument::SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU)
{
    m_strPathName = lpszPathName ? lpszPathName : "";
    const int slash = m_strPathName.ReverseFind('/');
    SetTitle(slash >= 0 ? m_strPathName.Mid(slash + 1) : m_strPathName);
    if (bAddToMRU && !m_strPathName.IsEmpty())
        if (CWinApp* app = AfxGetApp())
            app->AddToRecentFileList(m_strPathName);
}

void CDocument::AddView(CView* pView)
{
    if (!pView || std::find(m_viewList.begin(), m_viewList.end(), pView) != m_viewList.end())
        return;
    m_viewList.push_back(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView)
{
    auto it = std::find(m_viewList.begin(), m_viewList.end(), pView);
    if (it == m_viewList.end())
        return;
    m_viewList.erase(it);
    pView->m_pDocument = nullptr;
    // May delete the document: nothing of it is used afterwards.
    OnChangedViewList();
}

POSITION CDocument::GetFirstViewPosition() const
{
    return m_viewList.empty() ? nullptr : reinterpret_cast<POSITION>(static_cast<uintptr_t>(1));
}

CView* CDocument::GetNextView(POSITION& rPosition) const
{
    const auto index = reinterpret_cast<uintptr_t>(rPosition) - 1;
    if (!rPosition || index >= m_viewList.size()) {
        rPosition = nullptr;
        return nullptr;
    }
    rPosition = index + 1 < m_viewList.size() ? reinterpret_cast<POSITION>(index + 2) : nullptr;
    return m_viewList[index];
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    // A view's OnUpdate may add or remove views: walk a copy.
    const std::vector<CView*> views = m_viewList;
    for (CView* view : views)
        if (view != pSender && std::find(m_viewList.begin(), m_viewList.end(), view) != m_viewList.end())
            view->OnUpdate(pSender, lHint, pHint);
}

void CDocument::OnChangedViewList()
{
    // A document nobody shows any more goes, unless it is being closed already.
    if (m_viewList.empty() && m_bAutoDelete) {
        OnCloseDocument();
        return;
    }
    for (CView* view : m_viewList)
        if (CFrameWnd* frame = view->GetParentFrame())
            frame->m_nIdleFlags |= CFrameWnd::idleTitle;
    UpdateFrameCounts();
}

void CDocument::UpdateFrameCounts()
{
    // A frame counts once however many views (splitter panes) it holds; hidden views don't.
    std::vector<CFrameWnd*> frames;
    for (CView* view : m_viewList) {
        if (!view->m_hWnd || !(view->GetStyle() & WS_VISIBLE))
            continue;
        CFrameWnd* frame = view->GetParentFrame();
        if (frame && std::find(frames.begin(), frames.end(), frame) == frames.end())
            frames.push_back(frame);
    }
    int number = 0;
    for (CFrameWnd* frame : frames) {
        const int nWindow = frames.size() > 1 ? ++number : 0;
        if (frame->m_nWindow != nWindow) {
            frame->m_nWindow = nWindow;
            frame->m_nIdleFlags |= CFrameWnd::idleTitle;   // the title shows it at the next idle time
        }
    }
}

void CDocument::DeleteContents() {}

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::ReportSaveLoadException(LPCTSTR lpszPathName, CException* e, BOOL bSaving, UINT)
{
    CString message;
    TCHAR reason[512] = "";
    if (e)
        e->GetErrorMessage(reason, sizeof reason);
    message.Format(bSaving ? "Could not save %s.\n%s" : "Could not open %s.\n%s", lpszPathName ? lpszPathName : "",
                   reason);
    message.TrimRight();
    AfxMessageBox(message, MB_ICONEXCLAMATION | MB_OK);
}

BOOL CDocument::OnOpenDocument(LPCTSTR lpszPathName)
{
    CFile file;
    CFileException* error = new CFileException;
    if (!file.Open(lpszPathName, CFile::modeRead | CFile::shareDenyWrite, error)) {
        ReportSaveLoadException(lpszPathName, error, FALSE, AFX_IDP_FILE_NOT_FOUND);
        error->Delete();
        return FALSE;
    }
    error->Delete();
    DeleteContents();
    SetModifiedFlag(TRUE);   // dirty while loading, in case it fails half-way
    try {
        CArchive archive(&file, CArchive::load | CArchive::bNoFlushOnDelete);
        archive.m_pDocument = this;
        Serialize(archive);
        archive.Close();
    } catch (CException* e) {
        file.Abort();
        DeleteContents();   // nothing half-read stays
        ReportSaveLoadException(lpszPathName, e, FALSE, 0);
        e->Delete();
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(LPCTSTR lpszPathName)
{
    std::string data;
    try {
        CMemFile memory;
        {
            CArchive archive(&memory, CArchive::store);
            archive.m_pDocument = this;
            Serialize(archive);
            archive.Close();
        }
        data.resize(static_cast<size_t>(memory.GetLength()));
        memory.SeekToBegin();
        if (!data.empty())
            memory.Read(data.data(), static_cast<UINT>(data.size()));
    } catch (CException* e) {
        ReportSaveLoadException(lpszPathName, e, TRUE, 0);
        e->Delete();
        return FALSE;
    }
    // The old file stays until the new one is whole.
    if (const int error = WriteFileAtomically(lpszPathName, data, 0666)) {
        CFileException failure(CFileException::OsErrorToException(error), error, lpszPathName);
        failure.m_bAutoDelete = FALSE;
        ReportSaveLoadException(lpszPathName, &failure, TRUE, 0);
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::PreCloseFrame(CFrameWnd*) {}

BOOL CDocument::CanCloseFrame(CFrameWnd* pFrame)
{
    // Another frame showing the document keeps it open: no question then.
    for (CView* view : m_viewList)
        if (view->GetParentFrame() != pFrame)
            return TRUE;
    return SaveModified();
}

void CDocument::OnCloseDocument()
{
    // Closing the frames must not delete the document under this loop.
    const BOOL autoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE;
    while (!m_viewList.empty()) {
        CView* view = m_viewList.front();
        CFrameWnd* frame = view->GetParentFrame();
        if (frame) {
            PreCloseFrame(frame);
            frame->DestroyWindow();   // takes the view with it
        } else {
            view->DestroyWindow();
        }
        // A view that did not leave the list (no window) is taken out by hand.
        if (!m_viewList.empty() && m_viewList.front() == view)
            RemoveView(view);
    }
    m_bAutoDelete = autoDelete;
    DeleteContents();
    if (m_bAutoDelete)
        delete this;
}

BOOL CDocument::SaveModified()
{
    if (!IsModified())
        return TRUE;
    CString name = m_strPathName.IsEmpty() ? m_strTitle : m_strPathName;
    CString prompt;
    prompt.Format("Save changes to %s?", name.GetString());
    switch (AfxMessageBox(prompt, MB_YESNOCANCEL)) {
    case IDYES: return DoFileSave();
    case IDNO: return TRUE;
    default: return FALSE;
    }
}

BOOL CDocument::DoSave(LPCTSTR lpszPathName, BOOL bReplace)
{
    CString path = lpszPathName ? lpszPathName : "";
    if (path.IsEmpty()) {
        // Save As, or a document never saved: the user names the file, the title proposed.
        CWinApp* app = AfxGetApp();
        if (!app || !app->m_pDocManager)
            return FALSE;
        path = m_strPathName.IsEmpty() ? m_strTitle : m_strPathName;
        CString ext;
        if (m_pDocTemplate && m_pDocTemplate->GetDocString(ext, CDocTemplate::filterExt) && !ext.IsEmpty()) {
            const CString all = ext;
            AfxExtractSubString(ext, all, 0, ';');
            if (path.Find('.') < 0)
                path += ext;
        }
        if (!app->m_pDocManager->DoPromptFileName(path, FALSE, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, m_pDocTemplate))
            return FALSE;
    }
    if (!OnSaveDocument(path))
        return FALSE;
    if (bReplace)
        SetPathName(path);
    return TRUE;
}

BOOL CDocument::DoFileSave()
{
    return DoSave(m_strPathName.IsEmpty() ? nullptr : m_strPathName.GetString());
}

void CDocument::Serialize(CArchive&) {}

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return m_pDocTemplate && m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CDocument::OnFileClose()
{
    if (!SaveModified())
        return;
    OnCloseDocument();
}

void CDocument::OnFileSave()
{
    DoFileSave();
}

void CDocument::OnFileSaveAs()
{
    DoSave(nullptr);
}
