// The main frame: its bars and panes, the enabling rule, closing, help and the web links.
#include "app/frame/CMainFrame.h"

#include "app/frame/CVostrelApp.h"
#include "app/frame/AppMessages.h"
#include "app/frame/CEditCommandRoute.h"
#include "app/views/CGroupDoc.h"
#include "app/views/CGroupView.h"
#include "app/res/AppRes.h"
#include "engine/project/CPageNodeCol.h"
#include "platform/controls/MessageBox.h"
#include "platform/afx/wnd/CCmdUI.h"
#include "platform/afx/gdi/CMenu.h"
#include "platform/win/VirtualKeys.h"
#include "app/panes/CFileViewControlBar.h"
#include "app/panes/COutputAreaControlBar.h"
#include "app/dialogs/CMetaSettingDlg.h"
#include "app/frame/UnsavedSettingEdits.h"
#include "app/dialogs/CProjSettingsSheet.h"
#include "app/sysinfo/CSysInfoDlg.h"
#include "toolkit/docking/SECControlBar.h"
#include "toolkit/toolbars/SECCustomToolBar.h"
#include "toolkit/toolbars/SECStdBtn.h"
#include "toolkit/toolbars/SECToolBarManager.h"
#include "toolkit/toolbars/SECToolBarsDlg.h"
#include "toolkit/res/CustomizeRes.h"

#include <algorithm>
#include <utility>

IMPLEMENT_DYNCREATE(CMainFrame, SECMDIFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, SECMDIFrameWnd)
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_MESSAGE(WM_HELP, &CMainFrame::OnHelpInfo)
    ON_WM_CONTEXTMENU()
    ON_COMMAND(ID_VIEW_PROJECT_AREA, &CMainFrame::OnToggleProjectArea)
    ON_UPDATE_COMMAND_UI(ID_VIEW_PROJECT_AREA, &CMainFrame::OnUpdateProjectArea)
    ON_COMMAND(ID_VIEW_OUTPUT_AREA, &CMainFrame::OnToggleOutputArea)
    ON_UPDATE_COMMAND_UI(ID_VIEW_OUTPUT_AREA, &CMainFrame::OnUpdateOutputArea)
    ON_COMMAND(ID_NEXT_PANE, &CMainFrame::OnNextPane)
    ON_COMMAND(ID_PREV_PANE, &CMainFrame::OnPrevPane)
    ON_COMMAND(ID_VIEW_TOOLBARS, &CMainFrame::OnToolbars)
    ON_COMMAND(ID_CUSTOMIZE_TOOLBAR, &CMainFrame::OnCustomizeToolbar)
    ON_UPDATE_COMMAND_UI(ID_CUSTOMIZE_TOOLBAR, &CMainFrame::OnUpdateCustomizeToolbar)
    ON_COMMAND(ID_METATAG_SETTINGS, &CMainFrame::OnMetatagSettings)
    ON_UPDATE_COMMAND_UI(ID_METATAG_SETTINGS, &CMainFrame::OnUpdateCommand)
    ON_COMMAND(ID_PROJECT_SETTINGS, &CMainFrame::OnProjectSettings)
    ON_UPDATE_COMMAND_UI(ID_PROJECT_SETTINGS, &CMainFrame::OnUpdateCommand)
    ON_COMMAND(ID_SYSTEM_INFO, &CMainFrame::OnSystemInfo)
    ON_COMMAND_RANGE(ID_WEB_HOME, ID_WEB_FEEDBACK, &CMainFrame::OnWebLink)
    ON_COMMAND(ID_NEW_PROJECT, &CMainFrame::OnNewProject)
    ON_UPDATE_COMMAND_UI(ID_NEW_PROJECT, &CMainFrame::OnUpdateCommand)
    ON_COMMAND(ID_OPEN_PROJECT, &CMainFrame::OnOpenProject)
    ON_UPDATE_COMMAND_UI(ID_OPEN_PROJECT, &CMainFrame::OnUpdateCommand)
    ON_COMMAND(ID_CLOSE_PROJECT, &CMainFrame::OnCloseProject)
    ON_UPDATE_COMMAND_UI(ID_CLOSE_PROJECT, &CMainFrame::OnUpdateCommand)
    ON_COMMAND(ID_SAVE_PROJECT, &CMainFrame::OnSaveProject)
    ON_UPDATE_COMMAND_UI(ID_SAVE_PROJECT, &CMainFrame::OnUpdateCommand)
    ON_COMMAND(ID_SAVE_PROJECT_AS, &CMainFrame::OnSaveProjectAs)
    ON_UPDATE_COMMAND_UI(ID_SAVE_PROJECT_AS, &CMainFrame::OnUpdateCommand)
    ON_COMMAND(ID_SAVE_EDITED_FILES, &CMainFrame::OnSaveEditedFiles)
    ON_UPDATE_COMMAND_UI(ID_SAVE_EDITED_FILES, &CMainFrame::OnUpdateCommand)
    ON_COMMAND(ID_START_SCAN, &CMainFrame::OnStartScan)
    ON_UPDATE_COMMAND_UI(ID_START_SCAN, &CMainFrame::OnUpdateCommand)
    ON_COMMAND(ID_STOP_SCAN, &CMainFrame::OnStopScan)
    ON_UPDATE_COMMAND_UI(ID_STOP_SCAN, &CMainFrame::OnUpdateCommand)
    ON_MESSAGE(kMsgFileScanned, &CMainFrame::OnScanProgress)
    ON_MESSAGE(kMsgScanPageProgress, &CMainFrame::OnScanPageProgress)
    ON_MESSAGE(kMsgScanFinished, &CMainFrame::OnScanDone)
    ON_MESSAGE(kMsgShowSetting, &CMainFrame::OnSyncPageUpdate)
    ON_MESSAGE(kMsgProgramFailed, &CMainFrame::OnProgramFailed)
    ON_MESSAGE(kMsgExtensionsChanged, &CMainFrame::OnExtensionsChanged)
    ON_MESSAGE(kMsgGiveBackMemory, &CMainFrame::OnGiveBackMemory)
END_MESSAGE_MAP()

CMainFrame::CMainFrame()
{
    m_pToolBarManager = std::make_unique<SECToolBarManager>(this, nullptr);
    // The saved layout brings the toolbars back with their buttons only through the manager.
    SetControlBarManager(m_pToolBarManager.get());
    EnableBmpMenus(TRUE, TRUE);
}

CMainFrame::~CMainFrame()
{
    SetControlBarManager(nullptr);
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    return SECMDIFrameWnd::PreCreateWindow(cs);
}

void CMainFrame::ActivateFrame(int nCmdShow)
{
    SECMDIFrameWnd::ActivateFrame(nCmdShow);
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (SECMDIFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_programFailures->Bind(m_hWnd, kMsgProgramFailed);
    if (!CreateToolBars())
        return -1;

    static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
    if (!m_wndStatusBar.Create(this, 0x50008200, 59393) ||
        !m_wndStatusBar.SetIndicators(indicators, static_cast<int>(std::size(indicators))))
        return -1;

    EnableDocking(CBRS_ALIGN_ANY);
    if (!CreatePanes())
        return -1;

    LoadBarState(kMainToolbarProfile);
    m_pToolBarManager->LoadState(kMainToolbarProfile);
    LoadBarState(kGridToolbarProfile);
    m_pToolBarManager->LoadState(kGridToolbarProfile);

    // The panes appear when a project is opened.
    ShowControlBar(m_pProjectArea, FALSE, TRUE);
    ShowControlBar(m_pOutputArea, FALSE, TRUE);
    return 0;
}

namespace {

// The buttons that show a caption under their picture, with the caption's string.
constexpr SECBtnMapEntry TextButton(UINT nID, UINT nString)
{
    return {&SECTBTextButton::classSECTBTextButton, nID, 0, {nString, 0, 0, 0, 0}};
}

const SECBtnMapEntry kTextButtons[] = {
    TextButton(ID_NEW_PROJECT, 63124),       TextButton(ID_OPEN_PROJECT, 63125),
    TextButton(ID_EDIT_CUT, 63126),          TextButton(ID_EDIT_COPY, 63127),
    TextButton(ID_EDIT_PASTE, 63128),        TextButton(ID_FILE_PRINT, 63129),
    TextButton(ID_SAVE_EDITED_FILES, 63130), TextButton(ID_UNDO_ALL, 63131),
    TextButton(ID_EDIT_UNDO, 63132),         TextButton(ID_ZOOM_IN, 63133),
    TextButton(ID_ZOOM_OUT, 63134),          TextButton(ID_ZOOM_100, 63135),
    TextButton(ID_STOP_SCAN, 63136),         TextButton(ID_METATAG_SETTINGS, 63137),
    TextButton(ID_START_SCAN, 63138),        TextButton(ID_EDIT_REDO, 63139),
    TextButton(ID_EDIT_FIND, 63140),         TextButton(ID_SORT_ASCENDING, 63141),
    TextButton(ID_SORT_DESCENDING, 63142),   TextButton(ID_VIEW_CHANGES, 63143),
    TextButton(ID_HELP_FINDER, 63144),       TextButton(ID_PROJECT_SETTINGS, 63145),
    TextButton(ID_CONTEXT_HELP, 63146),      {nullptr, 0, 0, {0, 0, 0, 0, 0}},
};

} // namespace

const UINT CMainFrame::kMainToolbarButtons[12] = {
    ID_NEW_PROJECT, ID_OPEN_PROJECT, ID_FILE_PRINT,  ID_EDIT_CUT,  ID_EDIT_COPY,        ID_EDIT_PASTE,
    ID_EDIT_UNDO,   ID_EDIT_REDO,    ID_START_SCAN,  ID_STOP_SCAN, ID_METATAG_SETTINGS, ID_CONTEXT_HELP,
};
const UINT CMainFrame::kGridToolbarButtons[8] = {
    ID_SAVE_EDITED_FILES, ID_VIEW_CHANGES, ID_ZOOM_IN,         ID_ZOOM_OUT,
    ID_ZOOM_100,          ID_EDIT_FIND,    ID_SORT_ASCENDING, ID_SORT_DESCENDING,
};

BOOL CMainFrame::CreateToolBars()
{
    if (!m_pToolBarManager->LoadToolBarResource(IDR_MAINFRAME, IDR_LARGEBUTTONS))
        return FALSE;
    m_pToolBarManager->SetButtonMap(kTextButtons);
    CString strTitle;
    strTitle.LoadString(IDS_MAIN_TOOLBAR);
    m_pToolBarManager->DefineDefaultToolBar(ID_VIEW_TOOLBARS, strTitle, 12, kMainToolbarButtons, CBRS_ALIGN_ANY,
                                            AFX_IDW_DOCKBAR_TOP, 0, TRUE, TRUE);
    strTitle.LoadString(IDS_GRID_TOOLBAR);
    m_pToolBarManager->DefineDefaultToolBar(ID_GRID_TOOLBAR, strTitle, 8, kGridToolbarButtons, CBRS_ALIGN_ANY,
                                            AFX_IDW_DOCKBAR_RIGHT, 0, TRUE, TRUE);
    m_pToolBarManager->EnableCoolLook(TRUE, 0xF00);
    m_pToolBarManager->EnableLargeButtons(TRUE);
    return TRUE;
}

// The two panes, docked on the left and at the bottom; their contents (the project tree, the
// output text) are made by the panes themselves.
BOOL CMainFrame::CreatePanes()
{
    auto makePane = [this](SECControlBar* pBar, UINT nCaption, UINT nID, UINT nDockBar) -> bool {
        CString strCaption;
        strCaption.LoadString(nCaption);
        // Ours until its window stands: a window that was made and then refused goes through
        // PostNcDestroy, which must not delete the pane as well.
        pBar->m_bAutoDelete = FALSE;
        if (!pBar->Create(this, strCaption, 33300, 3856, nID)) {
            delete pBar;
            return false;
        }
        pBar->m_bAutoDelete = TRUE;
        pBar->EnableDocking(CBRS_ALIGN_ANY);
        DockControlBar(pBar, nDockBar);
        return true;
    };
    auto* pProject = new CFileViewControlBar;
    if (!makePane(pProject, IDS_PROJECT_AREA, IDW_PROJECT_AREA, AFX_IDW_DOCKBAR_LEFT))
        return FALSE;
    m_pProjectArea = pProject;
    m_pProjectArea->SetHost(this);
    auto* pOutput = new COutputAreaControlBar;
    if (!makePane(pOutput, IDS_OUTPUT_AREA, IDW_OUTPUT_AREA, AFX_IDW_DOCKBAR_BOTTOM))
        return FALSE;
    m_pOutputArea = pOutput;
    return TRUE;
}

UINT CMainFrame::GetOutputAreaBar(COutputAreaControlBar*& pBar) const
{
    pBar = (m_pOutputArea && m_pOutputArea->m_hWnd) ? m_pOutputArea : nullptr;
    return pBar ? 0 : 1;
}

CString CMainFrame::GetCurrentFolderTitle() const
{
    CString strTitle;
    CVostrelApp* pApp = GetVostrelApp();
    if (m_pProjectArea && pApp)
        m_pProjectArea->MakeTitle(pApp->GetSelectedNodes().GetCurrentFolder(), strTitle);
    return strTitle;
}

BOOL CMainFrame::ShowPagesOfNode(CPageNode* pNode)
{
    return m_pProjectArea != nullptr && m_pProjectArea->GetSafeHwnd() != nullptr && m_pProjectArea->GetTree().PickNode(pNode);
}

void CMainFrame::ShowSelectedPages(const CSelNodesCol& pages, CPageNode* pNode, BOOL bFullPath,
                                   const CString& strTitle)
{
    CVostrelApp* pApp = GetVostrelApp();
    if (!pApp)
        return;
    pApp->GetSelectedNodes().SetCurrentFolder(pNode);
    // A grid window made anew takes the keys as it opens: a user walking the tree by its arrows
    // keeps them there, as when the window stood open.
    const HWND hTree = m_pProjectArea != nullptr ? m_pProjectArea->GetTree().GetSafeHwnd() : nullptr;
    const bool bKeysInTree = hTree != nullptr && ::GetFocus() == hTree;
    CGroupView* pView = pApp->ShowGroupView(strTitle, 0);
    if (bKeysInTree && ::GetFocus() != hTree && ::IsWindowVisible(hTree))
        ::SetFocus(hTree);
    if (!pView)
        return;
    pView->SetFullPath(bFullPath);
    pView->LoadPages(const_cast<CSelNodesCol&>(pages));
}

BOOL CMainFrame::GiveKeysToShownPages()
{
    CVostrelApp* pApp = GetVostrelApp();
    CGroupView* pView = nullptr;
    if (pApp == nullptr || pApp->ActivateGroupView(pView) != 0 || pView == nullptr || pView->GetSafeHwnd() == nullptr)
        return FALSE;
    pView->SetFocus();
    return TRUE;
}

void CMainFrame::TakeKeysOutOf(SECControlBar* pBar)
{
    const HWND hFocus = ::GetFocus();
    if (pBar == nullptr || pBar->m_hWnd == nullptr || hFocus == nullptr ||
        (hFocus != pBar->m_hWnd && !::IsChild(pBar->m_hWnd, hFocus)))
        return;
    if (!GiveKeysToShownPages())
        SetFocus();
}

HWND CMainFrame::GetOutputPane()
{
    return (m_pOutputArea && m_pOutputArea->m_hWnd) ? m_pOutputArea->m_hWnd : nullptr;
}

void CMainFrame::ShowPane(SECControlBar* pBar, BOOL bShow)
{
    if (pBar && pBar->m_hWnd)
        ShowControlBar(pBar, bShow, TRUE);
}

BOOL CMainFrame::IsProjectOpen() const
{
    CVostrelApp* pApp = GetVostrelApp();
    CProjectSettings* pSettings = nullptr;
    return pApp && pApp->GetProjectSettings(pSettings) == 0;
}

// ---- Enabling ----

BOOL CMainFrame::IsCommandEnabled(UINT nID) const
{
    CVostrelApp* pApp = GetVostrelApp();
    if (!pApp)
        return FALSE;
    const UINT nRun = pApp->GetRunState();
    switch (nID) {
    case ID_SAVE_EDITED_FILES:
        // Text typed into a cell and not yet stored is an edit too: the save stores it first.
        return nRun == 0 && (pApp->IsEdited() == 2 || GridHoldsPendingEdit());
    case ID_OPEN_PROJECT:
        return nRun == 0;
    case ID_CLOSE_PROJECT:
    case ID_SAVE_PROJECT:
    case ID_SAVE_PROJECT_AS:
    case ID_METATAG_SETTINGS:
    case ID_PROJECT_SETTINGS:
        return nRun == 0 && IsProjectOpen();
    case ID_STOP_SCAN:
        return nRun == 1;
    case ID_START_SCAN:
        return nRun == 0 && !pApp->GetSelectedNodes().IsEmpty();
    default:
        return nRun == 0;
    }
}

BOOL CMainFrame::GridHoldsPendingEdit() const
{
    CGroupDoc* pDoc = nullptr;
    CGroupView* pView = nullptr;
    CVostrelApp* pApp = GetVostrelApp();
    return pApp != nullptr && pApp->FindGroupDocument(pDoc) == 0 && pDoc->GetGroupView(pView) == 0 && pView != nullptr &&
           pView->HoldsPendingEdit();
}

void CMainFrame::OnUpdateCommand(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(IsCommandEnabled(pCmdUI->m_nID));
}

BOOL CMainFrame::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The grid's frame, when one is active, is where the commands go first.
    CFrameWnd* pFirst = GetActiveFrame();
    if (pHandlerInfo == nullptr &&
        CEditCommandRoute::Route(*this, pFirst != this ? pFirst : nullptr, nID, nCode, pExtra))
        return TRUE;
    return SECMDIFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CMainFrame::PreTranslateMessage(MSG* pMsg)
{
    // Escape is Stop Scan's key only while a scan runs. Otherwise it belongs to the window with
    // the focus, so that a cell's editor, the value field and the other in-place editors can
    // back out of an edit with it: the accelerators are passed over for it, and nothing else.
    if (pMsg->message != WM_KEYDOWN || pMsg->wParam != VK_ESCAPE || IsCommandEnabled(ID_STOP_SCAN))
        return SECMDIFrameWnd::PreTranslateMessage(pMsg);
    struct AccelsPassedOver {
        HACCEL& hAccel;
        HACCEL hKept;
        explicit AccelsPassedOver(HACCEL& h) : hAccel(h), hKept(std::exchange(h, nullptr)) {}
        ~AccelsPassedOver() { hAccel = hKept; }
        AccelsPassedOver(const AccelsPassedOver&) = delete;
        AccelsPassedOver& operator=(const AccelsPassedOver&) = delete;
    } passedOver(m_hAccelTable);
    return SECMDIFrameWnd::PreTranslateMessage(pMsg);
}

void CMainFrame::OnUpdateProjectArea(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_pProjectArea && m_pProjectArea->m_hWnd && m_pProjectArea->IsWindowVisible());
}

void CMainFrame::OnUpdateOutputArea(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_pOutputArea && m_pOutputArea->m_hWnd && m_pOutputArea->IsWindowVisible());
}

void CMainFrame::OnToggleProjectArea()
{
    TogglePane(m_pProjectArea);
}

void CMainFrame::OnToggleOutputArea()
{
    TogglePane(m_pOutputArea);
}

void CMainFrame::TogglePane(SECControlBar* pBar)
{
    if (!pBar || !pBar->m_hWnd)
        return;
    const BOOL bShow = !pBar->IsWindowVisible();
    if (!bShow)
        TakeKeysOutOf(pBar);
    ShowControlBar(pBar, bShow, TRUE);
}

void CMainFrame::OnUpdateCustomizeToolbar(CCmdUI*)
{
    // Left alone on purpose: customising is always possible.
}

// ---- Closing ----

void CMainFrame::OnClose()
{
    CVostrelApp* pApp = GetVostrelApp();
    if (pApp && pApp->GetRunState() != CVostrelAppModel::runIdle) {
        AfxMessageBox(IDS_NO_EXIT_WHILE_SCANNING, MB_ICONINFORMATION);
        return;
    }
    // Closing the project hides the panes: what the user had is noted first.
    NoteOutputAreaAtClose();
    if (CloseProject() == 0)
        return;
    SaveLayout();
    SaveWindowState();
    SECMDIFrameWnd::OnClose();
}

BOOL CMainFrame::DestroyWindow()
{
    if (CVostrelApp* pApp = GetVostrelApp(); pApp != nullptr && pApp->m_pMainWnd == this)
        pApp->CloseStartupPicture();
    return SECMDIFrameWnd::DestroyWindow();
}

void CMainFrame::SaveLayout()
{
    SaveBarState(kMainToolbarProfile);
    m_pToolBarManager->SaveState(kMainToolbarProfile);
    SaveBarState(kGridToolbarProfile);
    m_pToolBarManager->SaveState(kGridToolbarProfile);
}

// ---- Help and menus ----

LRESULT CMainFrame::OnHelpInfo(WPARAM, LPARAM lParam)
{
    auto* pInfo = reinterpret_cast<HELPINFO*>(lParam);
    DWORD_PTR dwContext = m_nIDTracking;
    if (pInfo) {
        if (pInfo->iContextType == HELPINFO_MENUITEM)
            dwContext = HID_BASE_COMMAND + static_cast<DWORD_PTR>(pInfo->iCtrlId);
        else if (pInfo->iContextType == HELPINFO_WINDOW)
            dwContext = WindowHelpContext(static_cast<HWND>(pInfo->hItemHandle), pInfo->iCtrlId);
    }
    if (CWinApp* pApp = AfxGetApp())
        pApp->WinHelp(dwContext, HELP_CONTEXT);
    return TRUE;
}

DWORD_PTR CMainFrame::WindowHelpContext(HWND hWnd, int nCtrlId) const
{
    // A window inside a pane, a child frame or the frame's client answers with the help of the
    // bar or frame it belongs to: the grid's view with the grid's, the empty client with the
    // main window's.
    if (hWnd != nullptr && ::IsWindow(hWnd)) {
        CRect rect;
        ::GetWindowRect(hWnd, &rect);
        return HelpContextAt(hWnd, rect.CenterPoint());
    }
    return HID_BASE_RESOURCE + static_cast<DWORD_PTR>(nCtrlId);
}

void CMainFrame::OnContextMenu(CWnd*, CPoint point)
{
    if (point.x == -1 && point.y == -1) {
        // Asked for from the keyboard: the menu opens at the window the keys go to, not at the
        // screen's corner.
        HWND hFocus = ::GetFocus();
        if (hFocus == nullptr || (hFocus != m_hWnd && !::IsChild(m_hWnd, hFocus)))
            hFocus = m_hWnd;
        CRect client;
        ::GetClientRect(hFocus, &client);
        point = CPoint(std::min<LONG>(client.Width() / 4, 40), std::min<LONG>(client.Height() / 2, 10));
        ::ClientToScreen(hFocus, &point);
    }
    ShowPopupMenu(IDR_POPUP_NEWPROJECT, point.x, point.y);
}

void CMainFrame::ShowPopupMenu(UINT nMenuID, int x, int y)
{
    CMenu menu;
    if (!menu.LoadMenu(nMenuID))
        return;
    if (CMenu* pPopup = menu.GetSubMenu(0))
        pPopup->TrackPopupMenu(0, x, y, this);
    menu.DestroyMenu();
}

void CMainFrame::OnToolbars()
{
    if (m_pToolBarManager->ExecViewToolBarsDlg() == 43099)
        OnCustomizeToolbar();
}

void CMainFrame::OnCustomizeToolbar()
{
    CString strCaption;
    strCaption.LoadString(SEC_IDS_CUSTOMIZE);
    SECToolBarSheet sheet(strCaption, this);
    SECToolBarsPage toolBars;
    toolBars.SetManager(m_pToolBarManager.get());
    SECToolBarCmdPage commands(SEC_IDD_TOOLBARCMDPAGE, IDS_COMMANDS_PAGE);
    CString strMain;
    CString strGrid;
    strMain.LoadString(IDS_MAIN_TOOLBAR);
    strGrid.LoadString(IDS_GRID_TOOLBAR);
    commands.DefineBtnGroup(strMain, static_cast<int>(std::size(kMainToolbarButtons)), kMainToolbarButtons);
    commands.DefineBtnGroup(strGrid, static_cast<int>(std::size(kGridToolbarButtons)), kGridToolbarButtons);
    commands.SetManager(m_pToolBarManager.get());
    sheet.AddPage(&toolBars);
    sheet.AddPage(&commands);
    sheet.DoModal();
}

void CMainFrame::OnMetatagSettings()
{
    CVostrelApp* pApp = GetVostrelApp();
    CMetaSettingList* pCatalogue = nullptr;
    if (pApp == nullptr || pApp->GetMetaSettingList(pCatalogue) != 0)
        return;
    CMetaSettingDlg dlg(nullptr, 0);
    dlg.SetSettings(*pCatalogue);
    dlg.SetUnsavedEdits(UnsavedEditsBySetting(pApp->GetPageNodes(), *pCatalogue));
    if (dlg.DoModal() != IDOK)
        return;
    dlg.GetSettings(*pCatalogue);
    // The settings are the catalogue's, not the pages': the edits of a setting deleted or
    // renamed, which the user agreed to let go, leave the pages as they are on disk.
    CGroupDoc* pDoc = nullptr;
    CGroupView* pView = nullptr;
    if (pApp->FindGroupDocument(pDoc) != 0 || pDoc->GetGroupView(pView) != 0)
        pView = nullptr;
    if (DropEditsWithoutSetting(pApp->GetPageNodes(), *pCatalogue, pView) > 0 && pApp->GetPageNodes().HasEdits() == 3)
        pApp->SetEditState(0);
    // A catalogue saved to another file in the dialog is the one the project names from now on.
    CProjectSettings* pSettings = nullptr;
    if (!pCatalogue->GetFilePath().IsEmpty() && pApp->GetProjectSettings(pSettings) == 0) {
        CString strOld;
        pSettings->GetSettingsFilePath(strOld);
        if (strOld != pCatalogue->GetFilePath()) {
            pSettings->SetSettingsFilePath(pCatalogue->GetFilePath());
            pSettings->SetModified(1);
        }
    }
    // The page grid's columns belong to the settings just replaced: it shows the new ones.
    CWaitCursor wait;
    pApp->UpdatePageViews(3, reinterpret_cast<CObject*>(&pApp->GetSelectedNodes()));
}

void CMainFrame::OnProjectSettings()
{
    CVostrelApp* pApp = GetVostrelApp();
    CProjectSettings* pSettings = nullptr;
    if (pApp == nullptr || pApp->GetProjectSettings(pSettings) != 0)
        return;
    CProjSettingsSheet sheet(IDS_PROJECT_SETTINGS_TITLE, this, 0, 0);
    sheet.SetSettings(*pSettings);
    if (sheet.DoModal() != IDOK)
        return;
    CStringList oldExtensions;
    oldExtensions.AddTail(&pSettings->m_FileExtensions);
    sheet.GetSettings(*pSettings);
    // The next new project starts from the same choices.
    pApp->SaveProjectDefaults(*pSettings);
    AfterProjectSettings(oldExtensions);
}

void CMainFrame::OnSystemInfo()
{
    CSysInfoDlg dlg(this);
    dlg.DoModal();
}

// ---- Web links ----

void CMainFrame::OnWebLink(UINT nID)
{
    UINT nString = 0;
    switch (nID) {
    case ID_WEB_HOME: nString = IDS_WEB_HOME; break;
    case ID_WEB_PRODUCT: nString = IDS_WEB_PRODUCT; break;
    case ID_WEB_DOWNLOAD: nString = IDS_WEB_DOWNLOAD; break;
    case ID_WEB_SUPPORT: nString = IDS_WEB_SUPPORT; break;
    case ID_WEB_PURCHASING: nString = IDS_WEB_PURCHASING; break;
    case ID_WEB_FEEDBACK: nString = IDS_WEB_FEEDBACK; break;
    default: return;
    }
    CString strUrl;
    if (strUrl.LoadString(nString))
        OpenUrl(strUrl);
}

UINT CMainFrame::OpenUrl(const CString& strUrl)
{
    // The browser may stay open as long as the user reads: the frame does not wait for it. The
    // message names the address and the reason, so the user can open it by hand.
    CString strPrefix;
    strPrefix.LoadString(IDS_CANNOT_BROWSE_URL);
    m_urlLauncher.Open(strUrl, [failures = m_programFailures, strMessage = strPrefix + strUrl](
                                   const CUrlLauncher::Outcome& outcome) {
        const CString strReason = CUrlLauncher::FailureReason(outcome);
        if (!strReason.IsEmpty())
            failures->Post(strMessage + "\n\n" + strReason);
    });
    return 0;
}

LRESULT CMainFrame::OnProgramFailed(WPARAM, LPARAM)
{
    for (const CString& strText : m_programFailures->TakeAll())
        AfxMessageBox(strText, MB_ICONERROR);
    return 0;
}
