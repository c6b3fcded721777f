// CFileContentsWnd: one pane of the change preview: a caption bar naming the file above a
// read-only, line-numbered view of its text.
#pragma once

#include "app/dialogs/CEditCtrlWrapper.h"
#include "platform/afx/bars/CStatusBar.h"
#include "platform/afx/wnd/CWnd.h"

class CFileContentsWnd : public CWnd {
    DECLARE_DYNAMIC(CFileContentsWnd)
public:
    static constexpr UINT kPaneId = 2000;
    static constexpr UINT kEditorId = 2001;
    static constexpr UINT kCaptionBarId = 59393;
    static constexpr int kCaptionHeight = 20;
    static constexpr int kEditorTop = 23;

    CFileContentsWnd() = default;

    // The caption and the file the pane shows; set before Create.
    void SetFile(const CString& strCaption, const CString& strPath);
    // Makes the pane, reads the whole file into its editor and makes the text read-only. A file
    // that cannot be read is told and leaves the pane empty.
    BOOL Create(const RECT& rect, CWnd* pParent);

    CEditCtrlWrapper& GetEditor() { return m_wndEdit; }
    CStatusBar& GetCaptionBar() { return m_wndCaption; }
    const CString& GetCaption() const { return m_strCaption; }

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    CString m_strCaption;
    CString m_strPath;
    CStatusBar m_wndCaption;
    CEditCtrlWrapper m_wndEdit;
};
