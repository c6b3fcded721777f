#include "app/dialogs/CProjSettingsSheet.h"

CProjSettingsSheet::CProjSettingsSheet(UINT nIDCaption, CWnd* pParent, UINT iSelectPage, DWORD dwCaller)
    : CPropertySheet(nIDCaption, pParent, iSelectPage), m_dwCaller(dwCaller)
{
    // No Apply: the record goes back to the caller only with OK. Help shows the page's topic.
    m_psh.dwFlags |= PSH_NOAPPLYNOW | PSH_HASHELP;
}

void CProjSettingsSheet::SetSettings(const CProjectSettings& settings)
{
    m_Settings.CopyFrom(settings);
    m_Settings.SetModified(0);
    m_page4.Load(m_Settings);
    m_page2.Load(m_Settings);
    m_page3.Load(m_Settings);
    m_page1.Load(m_Settings);
    if (GetPageCount() == 0) {
        AddPage(&m_page4);
        AddPage(&m_page2);
        AddPage(&m_page3);
        AddPage(&m_page1);
    }
}

void CProjSettingsSheet::GetSettings(CProjectSettings& settings) const
{
    settings.CopyFrom(m_Settings);
    // Only ever set: a sheet closed with nothing changed must not clear the mark of changes
    // made before it was opened, or closing the project would no longer offer to save them.
    if (m_Settings.IsModified())
        settings.SetModified(1);
}

void CProjSettingsSheet::OnOK()
{
    CProjectSettings before;
    before.CopyFrom(m_Settings);
    // Pages never opened have no controls: their fields stay as they were.
    CProjSettingsPage* const pages[] = {&m_page1, &m_page2, &m_page3, &m_page4};
    for (CProjSettingsPage* pPage : pages) {
        if (pPage->GetSafeHwnd() == nullptr)
            continue;
        if (!pPage->UpdateData(TRUE)) {
            SetActivePage(pPage);
            return;
        }
        pPage->Store(m_Settings);
    }
    if (!m_Settings.IsEqual(before))
        m_Settings.SetModified(1);
    CPropertySheet::OnOK();
}
