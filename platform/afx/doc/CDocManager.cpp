#include "platform/afx/doc/CDocManager.h"

#include "platform/afx/doc/CDocTemplate.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/doc/CView.h"
#include "platform/afx/frame/CFrameWnd.h"

#include "platform/afx/dlg/CFileDialog.h"

#include <filesystem>

CDocManager::~CDocManager()
{
    for (CDocTemplate* tmpl : m_templateList)
        delete tmpl;
}

void CDocManager::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (pTemplate)
        m_templateList.push_back(pTemplate);
}

int CDocManager::GetOpenDocumentCount() const
{
    int count = 0;
    for (CDocTemplate* tmpl : m_templateList)
        for (POSITION pos = tmpl->GetFirstDocPosition(); pos; tmpl->GetNextDoc(pos))
            ++count;
    return count;
}

void CDocManager::OnFileNew()
{
    if (!m_templateList.empty())
        m_templateList.front()->OpenDocumentFile(nullptr);
}

CDocument* CDocManager::OpenDocumentFile(LPCTSTR lpszFileName)
{
    if (!lpszFileName || !*lpszFileName || m_templateList.empty())
        return nullptr;
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(lpszFileName, ec).lexically_normal();
    const std::string path = ec ? std::string(lpszFileName) : full.string();

    CDocTemplate* best = nullptr;
    CDocument* open = nullptr;
    CDocTemplate::Confidence bestMatch = CDocTemplate::noAttempt;
    for (CDocTemplate* tmpl : m_templateList) {
        CDocument* match = nullptr;
        const CDocTemplate::Confidence confidence = tmpl->MatchDocType(path.c_str(), match);
        if (confidence > bestMatch) {
            bestMatch = confidence;
            best = tmpl;
            open = match;
        }
        if (confidence == CDocTemplate::yesAlreadyOpen)
            break;
    }
    if (open) {
        // Already open: its frame comes forward instead of a second copy.
        if (!open->GetViews().empty())
            if (CFrameWnd* frame = open->GetViews().front()->GetParentFrame())
                frame->ActivateFrame();
        return open;
    }
    return best ? best->OpenDocumentFile(path.c_str()) : nullptr;
}

BOOL CDocManager::SaveAllModified()
{
    for (CDocTemplate* tmpl : m_templateList)
        if (!tmpl->SaveAllModified())
            return FALSE;
    return TRUE;
}

void CDocManager::CloseAllDocuments(BOOL bEndSession)
{
    for (CDocTemplate* tmpl : m_templateList)
        tmpl->CloseAllDocuments(bEndSession);
}

CString CDocManager::BuildFilter(CDocTemplate* pTemplate, CString* pDefaultExt) const
{
    CString filter;
    for (CDocTemplate* tmpl : m_templateList) {
        if (pTemplate && tmpl != pTemplate)
            continue;
        CString name, extensions;
        if (!tmpl->GetDocString(name, CDocTemplate::filterName) || name.IsEmpty() ||
            !tmpl->GetDocString(extensions, CDocTemplate::filterExt) || extensions.IsEmpty())
            continue;
        // ".note;.txt" becomes "*.note;*.txt".
        CString patterns;
        for (int i = 0;; ++i) {
            CString one;
            if (!AfxExtractSubString(one, extensions, i, ';'))
                break;
            one.Trim();
            if (one.IsEmpty())
                continue;
            if (pDefaultExt && pDefaultExt->IsEmpty())
                *pDefaultExt = one[0] == '.' ? one.Mid(1) : one;
            if (!patterns.IsEmpty())
                patterns += ';';
            patterns += (one[0] == '.' ? CString("*") + one : one);
        }
        filter += name + "|" + patterns + "|";
    }
    filter += "All Files (*)|*||";
    return filter;
}

BOOL CDocManager::DoPromptFileName(CString& fileName, BOOL bOpenFileDialog, DWORD lFlags, CDocTemplate* pTemplate)
{
    CString defaultExt;
    const CString filter = BuildFilter(pTemplate, &defaultExt);
    CFileDialog dialog(bOpenFileDialog, defaultExt.IsEmpty() ? nullptr : defaultExt.GetString(),
                       fileName.IsEmpty() ? nullptr : fileName.GetString(), lFlags, filter);
    if (dialog.DoModal() != IDOK)
        return FALSE;
    fileName = dialog.GetPathName();
    return TRUE;
}

void CDocManager::OnFileOpen()
{
    CString path;
    if (DoPromptFileName(path, TRUE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, nullptr))
        OpenDocumentFile(path);
}
