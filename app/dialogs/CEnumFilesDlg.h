// The "File Enumeration" dialog: runs while the enumeration thread walks the project folder,
// shows each page found, and ends with 1 (done), 1012 (stopped, keeping what was found) or 2
// (cancelled, or the walk could not start or failed).
#pragma once

#include "platform/afx/dlg/CBitmapButton.h"
#include "platform/afx/dlg/CDialog.h"

class CPageNode;
class CParserEngine;
class CProjectSettings;

class CEnumFilesDlg : public CDialog {
public:
    enum { IDD = 143 };
    static constexpr UINT kIdStop = 1012;
    static constexpr UINT kIdName = 1013;
    static constexpr UINT kIdPath = 1014;
    static constexpr UINT kIdHelp = 1026;
    enum State : UINT { stateRunning = 1, stateStopRequested = 2, stateCancelRequested = 3 };

    CEnumFilesDlg(CParserEngine& engine, const CProjectSettings& settings, CWnd* pParent = nullptr);

    void SetPath(const CString& strFolder, CPageNode* pRoot);
    UINT GetState() const { return m_nState; }

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnStop();
    void OnHelp();
    LRESULT OnPageFound(WPARAM wParam, LPARAM lParam);
    LRESULT OnFinished(WPARAM wParam, LPARAM lParam);
    LRESULT OnStopped(WPARAM wParam, LPARAM lParam);
    LRESULT OnFailed(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    CParserEngine& m_Engine;
    const CProjectSettings& m_Settings;
    CString m_strFolder;
    CPageNode* m_pRoot = nullptr;
    UINT m_nState = stateRunning;
    BOOL m_bFailed = FALSE;
    CBitmapButton m_btnStop;
    CBitmapButton m_btnCancel;
    CBitmapButton m_btnHelp;
};
