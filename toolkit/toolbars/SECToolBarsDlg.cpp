#include "toolkit/toolbars/SECToolBarsDlg.h"

#include <algorithm>
#include <string_view>

#include "platform/afx/AfxMessages.h"
#include "platform/afx/bars/CDockBar.h"
#include "platform/afx/dlg/CDataExchange.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/EditDefs.h"
#include "platform/win/Gdi.h"
#include "toolkit/res/CustomizeRes.h"
#include "toolkit/toolbars/SECCommandList.h"
#include "toolkit/toolbars/SECToolBarManager.h"

IMPLEMENT_DYNAMIC(SECToolBarsDlg, CDialog)
IMPLEMENT_DYNAMIC(SECToolBarsPage, CPropertyPage)
IMPLEMENT_DYNAMIC(SECNewToolBar, CDialog)
IMPLEMENT_DYNAMIC(SECToolBarSheet, CPropertySheet)
IMPLEMENT_DYNAMIC(SECBtnGroup, CObject)
IMPLEMENT_DYNAMIC(SECTBBtnGroup, SECBtnGroup)
IMPLEMENT_DYNAMIC(SECToolBarCmdPage, CPropertyPage)

namespace {

constexpr int kMaxNameLength = 128;

bool IsUserToolBar(UINT nID) { return nID >= SEC_IDW_FIRST_USER_TOOLBAR && nID != SEC_IDW_MENUBAR; }

CString LoadDialogText(UINT nID, LPCTSTR fallback)
{
    CString text;
    if (!text.LoadString(nID))
        text = fallback;
    return text;
}

// The menu bar is known by its class, which lives with the frames.
bool IsMenuBar(const CObject* bar)
{
    for (const CRuntimeClass* c = bar ? bar->GetRuntimeClass() : nullptr; c != nullptr; c = c->m_pBaseClass) {
        if (std::string_view(c->m_lpszClassName) == "SECMenuBar")
            return true;
    }
    return false;
}

// Cuts a name to the longest whole UTF-8 prefix of at most 128 bytes.
CString CutName(const CString& name)
{
    if (name.GetLength() <= kMaxNameLength)
        return name;
    int n = kMaxNameLength;
    while (n > 0 && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80)
        --n;
    return name.Left(n);
}

}   // namespace

// ---- Manager operations of the customisation ------------------------------------------------

int SECToolBarManager::ExecViewToolBarsDlg()
{
    SECToolBarsDlg dlg(m_pFrameWnd);
    dlg.SetManager(this);
    return static_cast<int>(dlg.DoModal());
}

const std::vector<UINT>* SECToolBarManager::GetDefaultButtons(UINT nID) const
{
    for (const DefaultToolBar& def : m_defaults) {
        if (def.nID == nID)
            return &def.ids;
    }
    return nullptr;
}

// ---- Shared logic of the Toolbars dialog and page -------------------------------------------

void SECToolBarsBase::SetManager(SECToolBarManager* pManager)
{
    m_pManager = pManager;
    if (pManager == nullptr)
        return;
    m_bToolTips = m_bInitToolTips = pManager->IsToolTips();
    m_bCoolLook = m_bInitCoolLook = pManager->IsCoolLook();
    m_bLargeButtons = m_bInitLargeButtons = pManager->IsLargeButtons();
}

void SECToolBarsBase::AddItem(int nAt, SECCustomToolBar* pBar)
{
    CString title;
    pBar->GetWindowText(title);
    const int index = static_cast<int>(m_toolBarList.InsertString(nAt, title));
    m_toolBarList.SetItemData(index, static_cast<DWORD_PTR>(pBar->GetDlgCtrlID()));
    m_toolBarList.SetCheck(index, pBar->IsWindowVisible() ? 1 : 0);
}

void SECToolBarsBase::FillToolBarList()
{
    m_toolBarList.ResetContent();
    CFrameWnd* frame = m_pManager ? m_pManager->GetFrameWnd() : nullptr;
    if (frame == nullptr)
        return;
    for (CControlBar* bar : frame->m_listControlBars) {
        if (auto* toolBar = dynamic_cast<SECCustomToolBar*>(bar); toolBar && toolBar->GetSafeHwnd())
            AddItem(-1, toolBar);
    }
    if (m_toolBarList.GetCount() > 0)
        m_toolBarList.SetCurSel(0);
    UpdateControls();
}

int SECToolBarsBase::FindItem(UINT nID) const
{
    for (int i = 0; i < m_toolBarList.GetCount(); ++i) {
        if (m_toolBarList.GetItemData(i) == nID)
            return i;
    }
    return -1;
}

void SECToolBarsBase::UpdateControls()
{
    if (m_pHolder == nullptr)
        return;
    CWnd* name = m_pHolder->GetDlgItem(SEC_IDC_TOOLBARNAME);
    CWnd* label = m_pHolder->GetDlgItem(SEC_IDC_NAMELABEL);
    CWnd* reset = m_pHolder->GetDlgItem(SEC_IDC_RESET);
    const int sel = m_toolBarList.GetCurSel();
    if (sel < 0) {
        if (name)
            name->SetWindowText("");
    } else {
        CString title;
        m_toolBarList.GetText(sel, title);
        if (name)
            name->SetWindowText(title);
    }
    const bool user = sel >= 0 && IsUserToolBar(static_cast<UINT>(m_toolBarList.GetItemData(sel)));
    if (reset)
        reset->SetWindowText(user ? LoadDialogText(SEC_IDS_DELETE, "&Delete") : LoadDialogText(SEC_IDS_RESET, "&Reset"));
    if (name) {
        name->EnableWindow(user);
        name->SendMessage(EM_SETMODIFY, FALSE, 0);
    }
    if (label)
        label->EnableWindow(user);
}

void SECToolBarsBase::OnToolBarChecked()
{
    CFrameWnd* frame = m_pManager ? m_pManager->GetFrameWnd() : nullptr;
    if (frame == nullptr)
        return;
    for (int i = 0; i < m_toolBarList.GetCount(); ++i) {
        auto* bar = dynamic_cast<SECCustomToolBar*>(frame->GetControlBar(static_cast<UINT>(m_toolBarList.GetItemData(i))));
        if (bar == nullptr)
            continue;
        const BOOL want = m_toolBarList.GetCheck(i) == 1;
        if (IsMenuBar(bar)) {
            m_toolBarList.SetCheck(i, 1);   // the menu bar stays
            continue;
        }
        if (want != (bar->IsWindowVisible() != FALSE))
            frame->ShowControlBar(bar, want, FALSE);
    }
    frame->RecalcLayout();
}

void SECToolBarsBase::RenameSelected()
{
    CWnd* edit = m_pHolder ? m_pHolder->GetDlgItem(SEC_IDC_TOOLBARNAME) : nullptr;
    const int sel = m_toolBarList.GetCurSel();
    if (edit == nullptr || sel < 0 || !edit->IsWindowEnabled() || !edit->SendMessage(EM_GETMODIFY, 0, 0))
        return;
    CString name;
    edit->GetWindowText(name);
    const CString cut = CutName(name);
    if (cut != name)
        edit->SetWindowText(cut);
    edit->SendMessage(EM_SETMODIFY, FALSE, 0);
    CFrameWnd* frame = m_pManager ? m_pManager->GetFrameWnd() : nullptr;
    const UINT id = static_cast<UINT>(m_toolBarList.GetItemData(sel));
    CControlBar* bar = frame ? frame->GetControlBar(id) : nullptr;
    if (bar == nullptr)
        return;
    bar->SetWindowText(cut);
    if (bar->IsFloating()) {
        if (CFrameWnd* floating = bar->GetParentFrame())
            floating->SetWindowText(cut);
    }
    const int check = m_toolBarList.GetCheck(sel);
    m_toolBarList.DeleteString(static_cast<UINT>(sel));
    const int index = static_cast<int>(m_toolBarList.InsertString(sel, cut));
    m_toolBarList.SetItemData(index, id);
    m_toolBarList.SetCheck(index, check);
    m_toolBarList.SetCurSel(index);
}

void SECToolBarsBase::ResetOrDeleteSelected()
{
    const int sel = m_toolBarList.GetCurSel();
    CFrameWnd* frame = m_pManager ? m_pManager->GetFrameWnd() : nullptr;
    if (sel < 0 || frame == nullptr)
        return;
    const UINT id = static_cast<UINT>(m_toolBarList.GetItemData(sel));
    auto* bar = dynamic_cast<SECCustomToolBar*>(frame->GetControlBar(id));
    if (bar == nullptr)
        return;
    if (IsUserToolBar(id)) {
        bar->DestroyWindow();   // the manager tells the list (code 3) as the bar goes
        frame->RecalcLayout();
    } else if (id == SEC_IDW_MENUBAR) {
        bar->SendMessage(WM_COMMAND, SEC_IDC_RESET, 0);   // the menu bar restores its own default
    } else if (const std::vector<UINT>* ids = m_pManager->GetDefaultButtons(id)) {
        bar->SetButtons(ids->data(), static_cast<int>(ids->size()));
        frame->RecalcLayout();
        bar->Invalidate();
    }
    UpdateControls();
}

BOOL SECToolBarsBase::NewToolBar()
{
    CFrameWnd* frame = m_pManager ? m_pManager->GetFrameWnd() : nullptr;
    if (frame == nullptr)
        return FALSE;
    m_pManager->EndCustomize();
    SECNewToolBar ask(m_pHolder);
    const INT_PTR answer = ask.DoModal();
    m_pManager->BeginCustomize();
    if (answer != IDOK)
        return FALSE;
    SECCustomToolBar* bar = m_pManager->CreateUserToolBar(ask.m_strName);
    if (bar == nullptr)
        return FALSE;
    CRect place;
    if (CWnd* top = frame->GetControlBar(AFX_IDW_DOCKBAR_TOP))
        top->GetWindowRect(&place);
    else {
        frame->GetClientRect(&place);
        frame->ClientToScreen(&place);
    }
    frame->FloatControlBar(bar, CPoint(place.left + 5, place.top + 5), CBRS_ALIGN_TOP);
    return TRUE;
}

LRESULT SECToolBarsBase::OnBarNotifyCode(WPARAM wParam, LPARAM lParam)
{
    const UINT id = static_cast<UINT>(wParam);
    const int at = FindItem(id);
    switch (static_cast<int>(lParam)) {
    case kBarShown:
    case kBarHidden:
        if (at >= 0)
            m_toolBarList.SetCheck(at, lParam == kBarShown ? 1 : 0);
        break;
    case kBarCreated: {
        CFrameWnd* frame = m_pManager ? m_pManager->GetFrameWnd() : nullptr;
        auto* bar = frame ? dynamic_cast<SECCustomToolBar*>(frame->GetControlBar(id)) : nullptr;
        if (bar == nullptr || at >= 0)
            break;
        int before = m_toolBarList.GetCount();
        for (int i = 0; i < m_toolBarList.GetCount(); ++i) {
            if (m_toolBarList.GetItemData(i) > id) {
                before = i;
                break;
            }
        }
        AddItem(before, bar);
        m_toolBarList.SetCheck(before, 1);
        break;
    }
    case kBarDestroyed:
        if (at >= 0) {
            const bool wasSelected = m_toolBarList.GetCurSel() == at;
            m_toolBarList.DeleteString(static_cast<UINT>(at));
            if (wasSelected) {
                const int count = m_toolBarList.GetCount();
                m_toolBarList.SetCurSel(at < count ? at : count - 1);
            }
        }
        break;
    default: return 0;
    }
    UpdateControls();
    return 0;
}

void SECToolBarsBase::ApplySwitches()
{
    if (m_pManager == nullptr)
        return;
    m_pManager->EnableToolTips(m_bToolTips);
    m_pManager->EnableCoolLook(m_bCoolLook);
    m_pManager->EnableLargeButtons(m_bLargeButtons);
}

// ---- The Toolbars dialog ----------------------------------------------------------------------

SECToolBarsDlg::SECToolBarsDlg(CWnd* pParent) : CDialog(SEC_IDD_TOOLBARSDLG, pParent)
{
    m_pHolder = this;
}

SECToolBarsDlg::~SECToolBarsDlg()
{
    if (m_pManager != nullptr) {
        m_pManager->UnregisterNotifyWnd(this);
        if (m_pManager->GetCustomizeWnd() == this)
            m_pManager->SetCustomizeWnd(nullptr);
    }
}

INT_PTR SECToolBarsDlg::DoModal()
{
    const INT_PTR result = CDialog::DoModal();
    if (m_pManager != nullptr && m_pManager->InCustomizeMode())
        EndCustomizing(static_cast<int>(result));   // ended by a path that skipped the buttons
    return result;
}

void SECToolBarsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, SEC_IDC_TOOLTIPS, m_bToolTips);
    DDX_Check(pDX, SEC_IDC_COOLLOOK, m_bCoolLook);
    DDX_Check(pDX, SEC_IDC_LARGEBUTTONS, m_bLargeButtons);
}

BOOL SECToolBarsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_toolBarList.SubclassDlgItem(SEC_IDC_TOOLBARLIST, this);
    CenterWindow();
    FillToolBarList();
    if (m_pManager != nullptr) {
        m_pManager->BeginCustomize();
        m_pManager->SetCustomizeMode(TRUE);
        m_pManager->SetCustomizeWnd(this);
        m_pManager->RegisterNotifyWnd(this);
    }
    return TRUE;
}

void SECToolBarsDlg::EndCustomizing(int nResult)
{
    if (m_pManager == nullptr)
        return;
    m_pManager->EndCustomize();
    m_pManager->SetCustomizeMode(FALSE);
    m_pManager->UnregisterNotifyWnd(this);
    m_pManager->SetCustomizeWnd(nullptr);
    if (nResult != IDCANCEL)
        ApplySwitches();
}

void SECToolBarsDlg::OnOK()
{
    RenameSelected();
    UpdateData(TRUE);
    EndCustomizing(IDOK);
    EndDialog(IDOK);
}

void SECToolBarsDlg::OnCancel()
{
    EndCustomizing(IDCANCEL);
    EndDialog(IDCANCEL);
}

BOOL SECToolBarsDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam), code = HIWORD(wParam);
    switch (id) {
    case SEC_IDC_TOOLBARLIST:
        if (code == CLBN_CHKCHANGE)
            OnToolBarChecked();
        else if (code == LBN_SELCHANGE) {
            RenameSelected();
            UpdateControls();
        }
        return TRUE;
    case SEC_IDC_TOOLBARNAME:
        if (code == EN_KILLFOCUS)
            RenameSelected();
        return TRUE;
    case SEC_IDC_RESET:
        ResetOrDeleteSelected();
        return TRUE;
    case SEC_IDC_NEWTOOLBAR:
        if (NewToolBar()) {
            UpdateData(TRUE);
            EndCustomizing(SEC_IDC_CUSTOMIZE);
            EndDialog(SEC_IDC_CUSTOMIZE);
        }
        return TRUE;
    case SEC_IDC_CUSTOMIZE:
        UpdateData(TRUE);
        EndCustomizing(SEC_IDC_CUSTOMIZE);
        EndDialog(SEC_IDC_CUSTOMIZE);
        return TRUE;
    case SEC_IDC_TOOLTIPS:
    case SEC_IDC_COOLLOOK:
    case SEC_IDC_LARGEBUTTONS:
        if (code == BN_CLICKED) {
            UpdateData(TRUE);
            ApplySwitches();
        }
        return TRUE;
    default: break;
    }
    return CDialog::OnCommand(wParam, lParam);
}

LRESULT SECToolBarsDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == SECCustomToolBar::BarNotifyMessage())
        return OnBarNotifyCode(wParam, lParam);
    if (message == WM_FLOATSTATUS) {
        if (wParam & (FS_ACTIVATE | FS_DEACTIVATE))
            SendMessage(WM_NCACTIVATE, (wParam & FS_ACTIVATE) ? TRUE : FALSE, 0);
        return 0;
    }
    if (message == WM_ACTIVATE) {
        const LRESULT result = CDialog::WindowProc(message, wParam, lParam);
        if (CFrameWnd* frame = GetTopLevelFrame())
            frame->NotifyFloatingWindows(LOWORD(wParam) != WA_INACTIVE ? FS_ACTIVATE : FS_DEACTIVATE);
        return result;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

// ---- The Toolbars page ------------------------------------------------------------------------

SECToolBarsPage::SECToolBarsPage() : CPropertyPage(SEC_IDD_TOOLBARSPAGE)
{
    m_pHolder = this;
}

SECToolBarsPage::~SECToolBarsPage()
{
    if (m_pManager != nullptr) {
        m_pManager->UnregisterNotifyWnd(this);
        if (GetSheet() != nullptr && m_pManager->GetCustomizeWnd() == GetSheet())
            m_pManager->SetCustomizeWnd(nullptr);
    }
}

void SECToolBarsPage::SetManager(SECToolBarManager* pManager)
{
    SECToolBarsBase::SetManager(pManager);
}

void SECToolBarsPage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Check(pDX, SEC_IDC_TOOLTIPS, m_bToolTips);
    DDX_Check(pDX, SEC_IDC_COOLLOOK, m_bCoolLook);
    DDX_Check(pDX, SEC_IDC_LARGEBUTTONS, m_bLargeButtons);
}

BOOL SECToolBarsPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_toolBarList.SubclassDlgItem(SEC_IDC_TOOLBARLIST, this);
    FillToolBarList();
    if (m_pManager != nullptr)
        m_pManager->RegisterNotifyWnd(this);
    return TRUE;
}

BOOL SECToolBarsPage::OnSetActive()
{
    if (m_pManager != nullptr) {
        m_pManager->SetCustomizeMode(TRUE);
        m_pManager->BeginCustomize();
        m_pManager->SetCustomizeWnd(GetSheet());
    }
    return CPropertyPage::OnSetActive();
}

BOOL SECToolBarsPage::OnKillActive()
{
    RenameSelected();
    if (m_pManager != nullptr) {
        m_pManager->SetCustomizeMode(FALSE);
        m_pManager->EndCustomize();
        if (GetSheet() != nullptr)
            GetSheet()->EnableWindow(TRUE);
    }
    return CPropertyPage::OnKillActive();
}

void SECToolBarsPage::OnOK()
{
    ApplySwitches();
    CPropertyPage::OnOK();
}

void SECToolBarsPage::OnCancel()
{
    if (m_pManager != nullptr) {
        m_pManager->SetCustomizeMode(FALSE);
        m_pManager->EndCustomize();
        m_pManager->SetCustomizeWnd(nullptr);
        m_pManager->EnableToolTips(m_bInitToolTips);
        m_pManager->EnableCoolLook(m_bInitCoolLook);
        m_pManager->EnableLargeButtons(m_bInitLargeButtons);
    }
    CPropertyPage::OnCancel();
}

void SECToolBarsPage::TellOtherPages(int nCode)
{
    CPropertySheet* sheet = GetSheet();
    if (sheet == nullptr)
        return;
    for (int i = 0; i < sheet->GetPageCount(); ++i) {
        CPropertyPage* page = sheet->GetPage(i);
        if (page != this && page != nullptr && page->GetSafeHwnd() != nullptr)
            page->SendMessage(SECCustomToolBar::StyleChangingMessage(), 0, nCode);
    }
}

BOOL SECToolBarsPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam), code = HIWORD(wParam);
    switch (id) {
    case SEC_IDC_TOOLBARLIST:
        if (code == CLBN_CHKCHANGE)
            OnToolBarChecked();
        else if (code == LBN_SELCHANGE) {
            RenameSelected();
            UpdateControls();
        }
        return TRUE;
    case SEC_IDC_TOOLBARNAME:
        if (code == EN_KILLFOCUS)
            RenameSelected();
        return TRUE;
    case SEC_IDC_RESET:
        ResetOrDeleteSelected();
        return TRUE;
    case SEC_IDC_NEWTOOLBAR:
        NewToolBar();
        return TRUE;
    case SEC_IDC_TOOLTIPS:
        if (code == BN_CLICKED && m_pManager != nullptr)
            m_pManager->EnableToolTips(IsDlgButtonChecked(SEC_IDC_TOOLTIPS) == BST_CHECKED);
        return TRUE;
    case SEC_IDC_COOLLOOK:
        if (code == BN_CLICKED && m_pManager != nullptr) {
            m_pManager->EnableCoolLook(IsDlgButtonChecked(SEC_IDC_COOLLOOK) == BST_CHECKED, 0x300);
            TellOtherPages(2);
        }
        return TRUE;
    case SEC_IDC_LARGEBUTTONS:
        if (code == BN_CLICKED && m_pManager != nullptr) {
            m_pManager->EnableLargeButtons(IsDlgButtonChecked(SEC_IDC_LARGEBUTTONS) == BST_CHECKED);
            TellOtherPages(1);
        }
        return TRUE;
    default: break;
    }
    return CPropertyPage::OnCommand(wParam, lParam);
}

LRESULT SECToolBarsPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == SECCustomToolBar::BarNotifyMessage())
        return OnBarNotifyCode(wParam, lParam);
    return CPropertyPage::WindowProc(message, wParam, lParam);
}

// ---- New toolbar ------------------------------------------------------------------------------

SECNewToolBar::SECNewToolBar(CWnd* pParent) : CDialog(SEC_IDD_NEWTOOLBAR, pParent) {}

void SECNewToolBar::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, SEC_IDC_NEWNAME, m_strName);
}

BOOL SECNewToolBar::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->EnableWindow(!m_strName.IsEmpty());
    return TRUE;
}

BOOL SECNewToolBar::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == SEC_IDC_NEWNAME && HIWORD(wParam) == EN_CHANGE) {
        CString text;
        GetDlgItemText(SEC_IDC_NEWNAME, text);
        const CString cut = CutName(text);
        if (cut != text)
            SetDlgItemText(SEC_IDC_NEWNAME, cut);
        if (CWnd* ok = GetDlgItem(IDOK))
            ok->EnableWindow(!cut.IsEmpty());
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

// ---- Sheet ------------------------------------------------------------------------------------

LRESULT SECToolBarSheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_FLOATSTATUS) {
        if (wParam & (FS_ACTIVATE | FS_DEACTIVATE))
            SendMessage(WM_NCACTIVATE, (wParam & FS_ACTIVATE) ? TRUE : FALSE, 0);
        return 0;
    }
    if (message == WM_ACTIVATE) {
        const LRESULT result = CPropertySheet::WindowProc(message, wParam, lParam);
        if (CFrameWnd* frame = GetTopLevelFrame())
            frame->NotifyFloatingWindows(LOWORD(wParam) != WA_INACTIVE ? FS_ACTIVATE : FS_DEACTIVATE);
        return result;
    }
    return CPropertySheet::WindowProc(message, wParam, lParam);
}

// ---- Palettes and the command page ------------------------------------------------------------

SECBtnGroup::SECBtnGroup(LPCTSTR lpszTitle, int nCount, const UINT* pIDs)
    : m_strTitle(lpszTitle ? lpszTitle : ""), m_nBtnCount(std::max(0, nCount))
{
    if (pIDs != nullptr)
        m_btnIDs.assign(pIDs, pIDs + m_nBtnCount);
    else
        m_nBtnCount = 0;
}

SECBtnGroup::~SECBtnGroup()
{
    if (m_pToolBar && m_pToolBar->GetSafeHwnd())
        m_pToolBar->DestroyWindow();
}

BOOL SECTBBtnGroup::CreateGroupBar(CWnd* pParent, SECToolBarManager* pManager, UINT nID)
{
    auto bar = std::make_unique<SECCustomizeToolBar>();
    DWORD style = 0x50000085;
    if (pManager != nullptr && pManager->IsFlyBy())
        style |= 0x20;
    const DWORD exStyle = pManager != nullptr && pManager->IsCoolLook() ? 0x300 : 0;
    if (!bar->CreateEx(exStyle, pParent, style, nID, m_strTitle))
        return FALSE;
    if (pManager != nullptr) {
        pManager->AttachToolBar(bar.get());
        if (CFrameWnd* frame = pManager->GetFrameWnd())
            bar->SetOwner(frame);
    }
    bar->SetButtons(m_btnIDs.data(), static_cast<int>(m_btnIDs.size()));
    m_pToolBar = std::move(bar);
    return TRUE;
}

void SECTBBtnGroup::LayoutGroup(const CRect& rect)
{
    if (!m_pToolBar || !m_pToolBar->GetSafeHwnd())
        return;
    m_pToolBar->SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_FRAMECHANGED);
    m_pToolBar->m_nMRUWidth = rect.Width();
    m_pToolBar->CalcDynamicLayout(rect.Width(), LM_COMMIT | LM_MRUWIDTH | LM_HORZ);
}

void SECTBBtnGroup::ActivateGroup(BOOL bActivate)
{
    if (!m_pToolBar || !m_pToolBar->GetSafeHwnd())
        return;
    m_pToolBar->SetCustomizeMode(bActivate);
    m_pToolBar->ShowWindow(bActivate ? SW_SHOWNA : SW_HIDE);
}

SECToolBarCmdPage::SECToolBarCmdPage(UINT nIDTemplate, UINT nIDCaption) : CPropertyPage(nIDTemplate, nIDCaption) {}

SECToolBarCmdPage::~SECToolBarCmdPage()
{
    if (m_pManager != nullptr) {
        m_pManager->UnregisterNotifyWnd(this);
        if (GetSheet() != nullptr && m_pManager->GetCustomizeWnd() == GetSheet())
            m_pManager->SetCustomizeWnd(nullptr);
    }
}

void SECToolBarCmdPage::DefineBtnGroup(LPCTSTR lpszTitle, int nCount, const UINT* pIDs)
{
    m_groups.push_back(std::make_unique<SECTBBtnGroup>(lpszTitle, nCount, pIDs));
}

void SECToolBarCmdPage::SetManager(SECToolBarManager* pManager)
{
    m_pManager = pManager;
}

CRect SECToolBarCmdPage::PaletteRect()
{
    CRect rect;
    if (CWnd* box = GetDlgItem(SEC_IDC_BTNGROUP)) {
        box->GetWindowRect(&rect);
        ScreenToClient(&rect);
    }
    // 6 horizontal and 8 vertical dialog units in, measured with the page's font.
    int cxChar = 0, cyChar = 0;
    HDC dc = ::GetDC(m_hWnd);
    HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT, 0, 0));
    if (font != nullptr) {
        HGDIOBJ old = ::SelectObject(dc, font);
        SIZE size{};
        static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        ::GetTextExtentPoint32(dc, kAlphabet, 52, &size);
        TEXTMETRIC tm{};
        ::GetTextMetrics(dc, &tm);
        cxChar = (size.cx + 26) / 52;
        cyChar = tm.tmHeight + tm.tmExternalLeading;
        ::SelectObject(dc, old);
    } else {
        const LONG base = ::GetDialogBaseUnits();
        cxChar = LOWORD(base);
        cyChar = HIWORD(base);
    }
    ::ReleaseDC(m_hWnd, dc);
    // Dialog units to pixels, rounded as the dialog manager rounds them.
    rect.DeflateRect((6 * cxChar + 2) / 4, (8 * cyChar + 4) / 8);
    return rect;
}

BOOL SECToolBarCmdPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    // The palettes lie on the group box: it must not paint over them.
    if (CWnd* box = GetDlgItem(SEC_IDC_BTNGROUP))
        box->ModifyStyle(0, WS_CLIPSIBLINGS);
    m_rcPalette = PaletteRect();
    HWND list = ::GetDlgItem(m_hWnd, SEC_IDC_TOOLBARLIST);
    UINT id = 59567;
    for (auto& group : m_groups) {
        if (!group->CreateGroupBar(this, m_pManager, id--))
            return FALSE;
        group->LayoutGroup(m_rcPalette);
        group->m_pToolBar->ShowWindow(SW_HIDE);
        if (list != nullptr)
            ::SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCSTR>(group->m_strTitle)));
    }
    if (m_pManager != nullptr)
        m_pManager->RegisterNotifyWnd(this);
    if (!m_groups.empty()) {
        if (list != nullptr)
            ::SendMessage(list, LB_SETCURSEL, 0, 0);
        ShowGroup(0);
    }
    return TRUE;
}

void SECToolBarCmdPage::ShowGroup(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetGroupCount())
        return;
    if (m_nShown >= 0 && m_nShown != nIndex)
        m_groups[static_cast<size_t>(m_nShown)]->ActivateGroup(FALSE);
    for (int i = 0; i < GetGroupCount(); ++i) {
        if (i != nIndex && m_groups[static_cast<size_t>(i)]->m_pToolBar)
            m_groups[static_cast<size_t>(i)]->m_pToolBar->ShowWindow(SW_HIDE);
    }
    m_nShown = nIndex;
    m_groups[static_cast<size_t>(nIndex)]->ActivateGroup(TRUE);
}

BOOL SECToolBarCmdPage::OnSetActive()
{
    if (m_pManager != nullptr) {
        m_pManager->SetCustomizeMode(TRUE);
        m_pManager->BeginCustomize();
        m_pManager->SetCustomizeWnd(GetSheet());
    }
    if (m_nShown >= 0)
        m_groups[static_cast<size_t>(m_nShown)]->ActivateGroup(TRUE);
    return CPropertyPage::OnSetActive();
}

BOOL SECToolBarCmdPage::OnKillActive()
{
    if (m_pManager != nullptr) {
        m_pManager->SetCustomizeMode(FALSE);
        m_pManager->EndCustomize();
        if (GetSheet() != nullptr)
            GetSheet()->EnableWindow(TRUE);
    }
    if (m_nShown >= 0)
        m_groups[static_cast<size_t>(m_nShown)]->m_pToolBar->SetCustomizeMode(FALSE);
    return CPropertyPage::OnKillActive();
}

void SECToolBarCmdPage::OnCancel()
{
    if (m_pManager != nullptr) {
        m_pManager->SetCustomizeMode(FALSE);
        m_pManager->EndCustomize();
        m_pManager->SetCustomizeWnd(nullptr);
    }
    CPropertyPage::OnCancel();
}

BOOL SECToolBarCmdPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == SEC_IDC_TOOLBARLIST && HIWORD(wParam) == LBN_SELCHANGE) {
        if (HWND list = ::GetDlgItem(m_hWnd, SEC_IDC_TOOLBARLIST))
            ShowGroup(static_cast<int>(::SendMessage(list, LB_GETCURSEL, 0, 0)));
        return TRUE;
    }
    return CPropertyPage::OnCommand(wParam, lParam);
}

void SECToolBarCmdPage::ShowDescription(UINT nCmdID)
{
    SetDlgItemText(SEC_IDC_DESCRIPTION, SECCommandList::Description(nCmdID));
}

LRESULT SECToolBarCmdPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == SECCustomToolBar::BarNotifyMessage()) {
        if (lParam == kBarSelChanged) {
            UINT cmd = 0;
            CWnd* source = nullptr;
            for (auto& group : m_groups) {
                if (group->m_pToolBar && static_cast<UINT>(group->m_pToolBar->GetDlgCtrlID()) == wParam)
                    source = group->m_pToolBar.get();
            }
            if (source == nullptr && m_pManager != nullptr && m_pManager->GetFrameWnd() != nullptr)
                source = m_pManager->GetFrameWnd()->GetControlBar(static_cast<UINT>(wParam));
            if (auto* bar = dynamic_cast<SECCustomToolBar*>(source)) {
                const int sel = bar->GetSelectedIndex();
                cmd = sel >= 0 ? bar->GetItemID(sel) : 0;
            }
            ShowDescription(cmd);
        }
        return 0;
    }
    if (message == SECCustomToolBar::StyleChangingMessage()) {
        for (auto& group : m_groups) {
            SECCustomToolBar* bar = group->m_pToolBar.get();
            if (bar == nullptr || m_pManager == nullptr)
                continue;
            if (lParam == 1)
                m_pManager->ApplyButtonSize(bar);
            else if (lParam == 2)
                bar->ModifyBarStyleEx(m_pManager->IsCoolLook() ? 0 : 0x300, m_pManager->IsCoolLook() ? 0x300 : 0, FALSE);
            CRect rect;
            bar->GetWindowRect(&rect);
            group->LayoutGroup(CRect(m_rcPalette.TopLeft(), CSize(rect.Width(), m_rcPalette.Height())));
            bar->Invalidate();
        }
        return 0;
    }
    return CPropertyPage::WindowProc(message, wParam, lParam);
}
