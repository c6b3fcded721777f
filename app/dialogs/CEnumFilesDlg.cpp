#include "app/dialogs/CEnumFilesDlg.h"

#include "app/dialogs/DialogHelp.h"
#include "app/dialogs/DialogStrings.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/EngineMessages.h"
#include "platform/afx/app/CWinApp.h"

BEGIN_MESSAGE_MAP(CEnumFilesDlg, CDialog)
    ON_BN_CLICKED(CEnumFilesDlg::kIdStop, &CEnumFilesDlg::OnStop)
    ON_BN_CLICKED(CEnumFilesDlg::kIdHelp, &CEnumFilesDlg::OnHelp)
    ON_MESSAGE(kMsgEnumPageFound, &CEnumFilesDlg::OnPageFound)
    ON_MESSAGE(kMsgEnumFinished, &CEnumFilesDlg::OnFinished)
    ON_MESSAGE(kMsgEnumStopped, &CEnumFilesDlg::OnStopped)
    ON_MESSAGE(kMsgEnumFailed, &CEnumFilesDlg::OnFailed)
END_MESSAGE_MAP()

CEnumFilesDlg::CEnumFilesDlg(CParserEngine& engine, const CProjectSettings& settings, CWnd* pParent)
    : CDialog(IDD, pParent), m_Engine(engine), m_Settings(settings)
{
}

void CEnumFilesDlg::SetPath(const CString& strFolder, CPageNode* pRoot)
{
    m_strFolder = strFolder;
    m_pRoot = pRoot;
}

BOOL CEnumFilesDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    LoadBitmapButton(m_btnStop, kIdStop, this);
    LoadBitmapButton(m_btnCancel, IDCANCEL, this);
    LoadBitmapButton(m_btnHelp, kIdHelp, this);
    m_nState = stateRunning;
    // No thread means no final message: without this the dialog would wait for ever.
    if (m_pRoot == nullptr || m_Engine.StartEnumeration(m_strFolder, m_pRoot, m_hWnd, m_Settings) != 0) {
        AfxMessageBox(kIdsEnumCannotStart, MB_OK | MB_ICONEXCLAMATION);
        EndDialog(IDCANCEL);
    }
    return TRUE;
}

void CEnumFilesDlg::OnStop()
{
    if (m_nState != stateRunning)
        return;
    m_nState = stateStopRequested;
    m_Engine.StopEnumeration();
}

void CEnumFilesDlg::OnCancel()
{
    if (m_nState != stateRunning)
        return;
    m_nState = stateCancelRequested;
    m_Engine.StopEnumeration();
}

void CEnumFilesDlg::OnHelp() { ShowAppHelp(kHelpContextWindowBase + IDD); }

LRESULT CEnumFilesDlg::OnPageFound(WPARAM, LPARAM lParam)
{
    const auto* pNode = reinterpret_cast<const CPageNode*>(lParam);
    if (pNode != nullptr) {
        SetDlgItemText(kIdName, pNode->GetName());
        SetDlgItemText(kIdPath, pNode->GetFolder());
    }
    return 0;
}

LRESULT CEnumFilesDlg::OnFinished(WPARAM, LPARAM)
{
    // A stop asked for just as the walk ended still ends with the stopper's message.
    if (m_nState == stateRunning)
        EndDialog(IDOK);
    return 0;
}

LRESULT CEnumFilesDlg::OnFailed(WPARAM, LPARAM)
{
    if (m_nState != stateRunning)
        return 0;
    m_bFailed = TRUE;
    CString strFormat;
    CString strMessage;
    strFormat.LoadString(kIdsEnumFailed);
    strMessage.Format(strFormat, m_Engine.GetEnumerationFailure().GetString());
    AfxMessageBox(strMessage, MB_OK | MB_ICONEXCLAMATION);
    EndDialog(IDCANCEL);
    return 0;
}

LRESULT CEnumFilesDlg::OnStopped(WPARAM, LPARAM)
{
    EndDialog(m_nState == stateStopRequested ? static_cast<int>(kIdStop) : IDCANCEL);
    return 0;
}
