#include "platform/afx/doc/CDocTemplate.h"

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/doc/CCreateContext.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/doc/CView.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/core/ResourceTable.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)
IMPLEMENT_DYNAMIC(CMultiDocTemplate, CDocTemplate)

namespace {

POSITION PositionOf(size_t index, size_t count)
{
    return index < count ? reinterpret_cast<POSITION>(index + 1) : nullptr;
}

} // namespace

CDocTemplate::CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                           CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass)
{
    LoadTemplate();
}

CDocTemplate::~CDocTemplate()
{
    if (m_hMenuShared)
        ::DestroyMenu(m_hMenuShared);
    if (m_hAccelTable)
        ::DestroyAcceleratorTable(m_hAccelTable);
}

void CDocTemplate::LoadTemplate()
{
    if (m_strDocStrings.IsEmpty())
        m_strDocStrings.LoadString(m_nIDResource);
}

BOOL CDocTemplate::GetDocString(CString& rString, DocStringIndex index) const
{
    return AfxExtractSubString(rString, m_strDocStrings, static_cast<int>(index));
}

void CDocTemplate::AddDocument(CDocument* pDoc)
{
    pDoc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* pDoc)
{
    if (pDoc->m_pDocTemplate == this)
        pDoc->m_pDocTemplate = nullptr;
}

std::vector<CDocument*> CDocTemplate::Documents() const
{
    std::vector<CDocument*> docs;
    for (POSITION pos = GetFirstDocPosition(); pos;)
        docs.push_back(GetNextDoc(pos));
    return docs;
}

CDocument* CDocTemplate::CreateNewDocument()
{
    if (!m_pDocClass)
        return nullptr;
    auto* doc = dynamic_cast<CDocument*>(m_pDocClass->CreateObject());
    if (!doc)
        return nullptr;
    AddDocument(doc);
    return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther)
{
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    if (!m_pFrameClass)
        return nullptr;
    auto* frame = dynamic_cast<CFrameWnd*>(m_pFrameClass->CreateObject());
    if (!frame)
        return nullptr;
    // A frame that fails to load has deleted itself in its PostNcDestroy.
    if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context))
        return nullptr;
    return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
    pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

CDocTemplate::Confidence CDocTemplate::MatchDocType(LPCTSTR lpszPathName, CDocument*& rpDocMatch)
{
    rpDocMatch = nullptr;
    for (CDocument* doc : Documents())
        if (doc->GetPathName() == lpszPathName) {
            rpDocMatch = doc;
            return yesAlreadyOpen;
        }
    // The file's extension against the template's filter extension(s), ";"-separated.
    CString extensions;
    if (GetDocString(extensions, filterExt) && !extensions.IsEmpty()) {
        const char* dot = strrchr(lpszPathName, '.');
        for (int i = 0;; ++i) {
            CString one;
            if (!AfxExtractSubString(one, extensions, i, ';'))
                break;
            one.Trim();
            if (one.Left(1) == "*")
                one = one.Mid(1);
            if (dot && !one.IsEmpty() && strcasecmp(dot, one) == 0)
                return yesAttemptNative;
        }
    }
    return yesAttemptForeign;
}

BOOL CDocTemplate::SaveAllModified()
{
    for (CDocument* doc : Documents())
        if (!doc->SaveModified())
            return FALSE;
    return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL)
{
    for (CDocument* doc : Documents())
        doc->OnCloseDocument();
}

// ---- One document at a time ----

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                       CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass)
{
}

CSingleDocTemplate::~CSingleDocTemplate()
{
    if (m_pOnlyDoc)
        m_pOnlyDoc->OnCloseDocument();
}

void CSingleDocTemplate::AddDocument(CDocument* pDoc)
{
    m_pOnlyDoc = pDoc;
    CDocTemplate::AddDocument(pDoc);
}

void CSingleDocTemplate::RemoveDocument(CDocument* pDoc)
{
    if (m_pOnlyDoc == pDoc)
        m_pOnlyDoc = nullptr;
    CDocTemplate::RemoveDocument(pDoc);
}

POSITION CSingleDocTemplate::GetFirstDocPosition() const
{
    return m_pOnlyDoc ? PositionOf(0, 1) : nullptr;
}

CDocument* CSingleDocTemplate::GetNextDoc(POSITION& rPos) const
{
    CDocument* doc = rPos ? m_pOnlyDoc : nullptr;
    rPos = nullptr;
    return doc;
}

void CSingleDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    CString title;
    if (!GetDocString(title, docName) || title.IsEmpty())
        title.LoadString(AFX_IDS_UNTITLED);
    pDocument->SetTitle(title);
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible)
{
    CDocument* doc = m_pOnlyDoc;
    CFrameWnd* frame = nullptr;
    bool created = false;
    if (doc) {
        // The one document is reused, once its changes are dealt with.
        if (!doc->SaveModified())
            return nullptr;
        if (CView* view = doc->GetViews().empty() ? nullptr : doc->GetViews().front())
            frame = view->GetParentFrame();
    } else {
        doc = CreateNewDocument();
        if (!doc)
            return nullptr;
        created = true;
    }
    if (!frame) {
        // The frame holds the document's view; while it is made, the document must not go when
        // a view fails.
        const BOOL autoDelete = doc->m_bAutoDelete;
        doc->m_bAutoDelete = FALSE;
        frame = CreateNewFrame(doc, nullptr);
        doc->m_bAutoDelete = autoDelete;
        if (!frame) {
            if (created)
                delete doc;
            return nullptr;
        }
    }
    if (!lpszPathName) {
        SetDefaultTitle(doc);
        if (!doc->OnNewDocument()) {
            if (created)
                frame->DestroyWindow();
            return nullptr;
        }
    } else {
        CWaitCursor wait;
        if (!doc->OnOpenDocument(lpszPathName)) {
            // The file was reported; a frame made for it goes, and an old document stays empty.
            if (created)
                frame->DestroyWindow();
            else if (!doc->OnNewDocument())
                return nullptr;
            else
                SetDefaultTitle(doc);
            return nullptr;
        }
        doc->SetPathName(lpszPathName);
    }
    CWinApp* app = AfxGetApp();
    if (created && app && !app->m_pMainWnd)
        app->m_pMainWnd = frame;   // the first frame of a single-document program is its main window
    InitialUpdateFrame(frame, doc, bMakeVisible);
    return doc;
}

// ---- Several documents ----

CMultiDocTemplate::CMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                     CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass)
{
    // The frames of this kind share one menu and one accelerator table.
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCE(nIDResource), RT_MENU);
    m_hMenuShared = module ? ::LoadMenu(module, MAKEINTRESOURCE(nIDResource)) : nullptr;
    module = AfxFindResourceHandle(MAKEINTRESOURCE(nIDResource), RT_ACCELERATOR);
    m_hAccelTable = module ? ::LoadAccelerators(module, MAKEINTRESOURCE(nIDResource)) : nullptr;
}

CMultiDocTemplate::~CMultiDocTemplate()
{
    const std::vector<CDocument*> docs = m_docList;
    for (CDocument* doc : docs)
        doc->OnCloseDocument();
}

void CMultiDocTemplate::AddDocument(CDocument* pDoc)
{
    if (std::find(m_docList.begin(), m_docList.end(), pDoc) == m_docList.end())
        m_docList.push_back(pDoc);
    CDocTemplate::AddDocument(pDoc);
}

void CMultiDocTemplate::RemoveDocument(CDocument* pDoc)
{
    m_docList.erase(std::remove(m_docList.begin(), m_docList.end(), pDoc), m_docList.end());
    CDocTemplate::RemoveDocument(pDoc);
}

POSITION CMultiDocTemplate::GetFirstDocPosition() const
{
    return PositionOf(0, m_docList.size());
}

CDocument* CMultiDocTemplate::GetNextDoc(POSITION& rPos) const
{
    const auto index = reinterpret_cast<uintptr_t>(rPos) - 1;
    if (!rPos || index >= m_docList.size()) {
        rPos = nullptr;
        return nullptr;
    }
    rPos = PositionOf(index + 1, m_docList.size());
    return m_docList[index];
}

void CMultiDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    CString name;
    if (!GetDocString(name, docName) || name.IsEmpty())
        name.LoadString(AFX_IDS_UNTITLED);
    CString title;
    title.Format("%s%u", name.GetString(), ++m_nUntitledCount);
    pDocument->SetTitle(title);
}

CDocument* CMultiDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible)
{
    CDocument* doc = CreateNewDocument();
    if (!doc)
        return nullptr;
    const BOOL autoDelete = doc->m_bAutoDelete;
    doc->m_bAutoDelete = FALSE;
    CFrameWnd* frame = CreateNewFrame(doc, nullptr);
    doc->m_bAutoDelete = autoDelete;
    if (!frame) {
        delete doc;
        return nullptr;
    }
    if (!lpszPathName) {
        SetDefaultTitle(doc);
        if (!doc->OnNewDocument()) {
            frame->DestroyWindow();
            return nullptr;
        }
    } else {
        CWaitCursor wait;
        if (!doc->OnOpenDocument(lpszPathName)) {
            frame->DestroyWindow();   // takes the document with its view
            return nullptr;
        }
        doc->SetPathName(lpszPathName);
    }
    InitialUpdateFrame(frame, doc, bMakeVisible);
    return doc;
}
