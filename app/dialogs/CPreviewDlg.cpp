// The preview of a page's changes.
#include "app/dialogs/CPreviewDlg.h"

void CPreviewDlg::SetFiles(const CString& strPathOnDisk, const CString& strPathRewritten)
{
    m_strPathOnDisk = strPathOnDisk;
    m_strPathRewritten = strPathRewritten;
}

BOOL CPreviewDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // Both captions name the page on disk: the right pane shows what it would become.
    CString strFormat, strCaption;
    strFormat.LoadString(IDS_PREVIEW_CURRENT);
    strCaption.Format(strFormat, static_cast<LPCTSTR>(m_strPathOnDisk));
    m_wndLeft.SetFile(strCaption, m_strPathOnDisk);
    strFormat.LoadString(IDS_PREVIEW_MODIFIED);
    strCaption.Format(strFormat, static_cast<LPCTSTR>(m_strPathOnDisk));
    m_wndRight.SetFile(strCaption, m_strPathRewritten);
    const CRect empty(0, 0, 0, 0);
    if (!m_wndLeft.Create(empty, this) || !m_wndRight.Create(empty, this))
        return TRUE;

    CRect client;
    GetClientRect(&client);
    m_pSplitter = static_cast<SECLayoutNodeSplitter*>(m_factory.CreateNode(m_splitterFactory));
    if (m_pSplitter == nullptr || !m_pSplitter->Create(this, client, WS_CHILD | WS_VISIBLE, IDC_PREVIEW_SPLITTER, 0))
        return TRUE;
    m_pSplitter->SetPane(0, 0, m_factory.CreateNodeWnd(&m_wndLeft, this));
    m_pSplitter->SetPane(0, 1, m_factory.CreateNodeWnd(&m_wndRight, this));
    m_pSplitter->SetSplitPos((client.Width() - SECSplitterBase::kBarThickness) / 2, 0);
    // The listener keeps the splitter filling the dialog as it is resized.
    if (SECLayoutWndListener* pListener = m_factory.CreateWndListener())
        pListener->AutoInit(m_pSplitter, this, TRUE, TRUE, FALSE);
    return TRUE;
}
