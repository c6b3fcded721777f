// CDocManager: the application's document templates, and the file commands that choose among
// them.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CString.h"

#include <memory>
#include <vector>

class CDocTemplate;
class CDocument;

class CDocManager : public CObject {
public:
    CDocManager() = default;
    ~CDocManager() override;
    CDocManager(const CDocManager&) = delete;
    CDocManager& operator=(const CDocManager&) = delete;

    // The manager owns the templates added.
    void AddDocTemplate(CDocTemplate* pTemplate);
    const std::vector<CDocTemplate*>& GetTemplates() const { return m_templateList; }
    int GetOpenDocumentCount() const;

    // A new document of the only template; with several, a dialog lists their file-new names
    // and the one chosen makes it (Cancel makes none).
    void OnFileNew();
    // The template that suits the file best opens it; a document that has it open already is
    // activated instead.
    CDocument* OpenDocumentFile(LPCTSTR lpszFileName);
    BOOL SaveAllModified();
    void CloseAllDocuments(BOOL bEndSession);
    // File > Open: asks for a file and opens it.
    void OnFileOpen();
    // Asks for a file name with the open or save dialog; FALSE when the user cancelled. The
    // filter offers pTemplate's kind (or every template's) and all files.
    virtual BOOL DoPromptFileName(CString& fileName, BOOL bOpenFileDialog, DWORD lFlags, CDocTemplate* pTemplate);
    // The dialog's filter for one template or all: "Note Files (*.note)|*.note|All Files (*)|*||".
    CString BuildFilter(CDocTemplate* pTemplate, CString* pDefaultExt = nullptr) const;

private:
    std::vector<CDocTemplate*> m_templateList;
};
