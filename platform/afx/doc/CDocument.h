// CDocument: the data a program shows, with its title, path, modified flag and the views that
// show it; it loads and saves itself through Serialize and is a command target after its views.
#pragma once

#include "platform/afx/wnd/CCmdTarget.h"
#include "platform/core/CString.h"

#include <vector>

class CArchive;
class CException;
class CDocTemplate;
class CFrameWnd;
class CView;

class CDocument : public CCmdTarget {
    DECLARE_DYNAMIC(CDocument)
public:
    CDocument();
    ~CDocument() override;

    const CString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(LPCTSTR lpszTitle);
    const CString& GetPathName() const { return m_strPathName; }
    // Also makes the file's name the title; with bAddToMRU the path joins the recent files.
    virtual void SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU = TRUE);
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }
    virtual BOOL IsModified() { return m_bModified; }
    virtual void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }

    // ---- Views ----
    void AddView(CView* pView);
    void RemoveView(CView* pView);
    const std::vector<CView*>& GetViews() const { return m_viewList; }
    POSITION GetFirstViewPosition() const;
    CView* GetNextView(POSITION& rPosition) const;
    // Tells every view but the sender that the document changed (OnUpdate with the hint).
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0L, CObject* pHint = nullptr);
    virtual void OnChangedViewList();
    // Numbers the frames that show the document, 1 to n when there are several (their titles
    // end in ":1", ":2"...), 0 for a lone frame, which needs no number.
    virtual void UpdateFrameCounts();

    // ---- Life ----
    virtual void DeleteContents();
    virtual BOOL OnNewDocument();
    // Reads the file through Serialize; a file that cannot be read is reported, and the
    // document is left empty rather than half-read.
    virtual BOOL OnOpenDocument(LPCTSTR lpszPathName);
    // Writes through Serialize into a temporary file that replaces the old one only once whole.
    virtual BOOL OnSaveDocument(LPCTSTR lpszPathName);
    // Closes every frame that shows the document, then the document itself.
    virtual void OnCloseDocument();
    virtual void PreCloseFrame(CFrameWnd* pFrame);
    virtual BOOL CanCloseFrame(CFrameWnd* pFrame);
    // Asks about unsaved changes: Yes saves (FALSE when saving fails), No drops them, Cancel
    // keeps the document open (FALSE).
    virtual BOOL SaveModified();
    virtual BOOL DoSave(LPCTSTR lpszPathName, BOOL bReplace = TRUE);
    virtual BOOL DoFileSave();
    void Serialize(CArchive& ar) override;
    virtual void ReportSaveLoadException(LPCTSTR lpszPathName, CException* e, BOOL bSaving, UINT nIDPDefault);

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    void OnFileClose();
    void OnFileSave();
    void OnFileSaveAs();

    BOOL m_bAutoDelete = TRUE;   // deleted when its last view goes
    CString m_strTitle;
    CString m_strPathName;
    CDocTemplate* m_pDocTemplate = nullptr;
    std::vector<CView*> m_viewList;
    BOOL m_bModified = FALSE;
    BOOL m_bEmbedded = FALSE;

    DECLARE_MESSAGE_MAP()
};
