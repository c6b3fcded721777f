#include "platform/afx/doc/CDocManager.h"

#include "platform/afx/doc/CDocTemplate.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/doc/CView.h"
#include "platform/afx/frame/CFrameWnd.h"

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/dlg/CDialog.h"
#include "platform/afx/dlg/CFileDialog.h"
#include "platform/controls/ListBoxDefs.h"

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

namespace {

// Lists the templates that name a kind of new document; OK (or a double click) takes the one
// selected.
class CNewTypeDlg : public CDialog {
public:
    explicit CNewTypeDlg(const std::vector<CDocTemplate*>& templates)
        : CDialog(AFX_IDD_NEWTYPEDLG, AfxGetMainWnd()), m_templates(templates)
    {
    }
    CDocTemplate* m_pSelectedTemplate = nullptr;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        HWND list = ::GetDlgItem(m_hWnd, AFX_IDC_LISTBOX);
        for (CDocTemplate* tmpl : m_templates) {
            CString name;
            if (!tmpl->GetDocString(name, CDocTemplate::fileNewName) || name.IsEmpty())
                continue;   // a template without the name is not made from File New
            const auto index = ::SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.GetString()));
            if (index >= 0)
                ::SendMessage(list, LB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(tmpl));
        }
        ::SendMessage(list, LB_SETCURSEL, 0, 0);
        return TRUE;
    }
    void OnOK() override
    {
        HWND list = ::GetDlgItem(m_hWnd, AFX_IDC_LISTBOX);
        const auto index = ::SendMessage(list, LB_GETCURSEL, 0, 0);
        if (index < 0) {
            ::MessageBeep(0);   // nothing chosen: the dialog stays
            return;
        }
        m_pSelectedTemplate =
            reinterpret_cast<CDocTemplate*>(::SendMessage(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
        CDialog::OnOK();
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (LOWORD(wParam) == AFX_IDC_LISTBOX && HIWORD(wParam) == LBN_DBLCLK) {
            OnOK();
            return TRUE;
        }
        return CDialog::OnCommand(wParam, lParam);
    }

private:
    const std::vector<CDocTemplate*>& m_templates;
};

} // namespace

void CDocManager::OnFileNew()
{
    if (m_templateList.empty())
        return;
    CDocTemplate* chosen = m_templateList.front();
    if (m_templateList.size() > 1) {
        // Several kinds of document: the user picks one, or none.
        CNewTypeDlg dlg(m_templateList);
        if (dlg.DoModal() != IDOK || !dlg.m_pSelectedTemplate)
            return;
        chosen = dlg.m_pSelectedTemplate;
    }
    chosen->OpenDocumentFile(nullptr);
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
