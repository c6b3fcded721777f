#include "app/dialogs/CMetaSettingDlg.h"

#include "app/dialogs/DialogHelp.h"
#include "app/dialogs/DialogToolbar.h"
#include "app/frame/CVostrelApp.h"
#include "engine/meta/CMetaDateSetting.h"
#include "engine/meta/CMetaEditSetting.h"
#include "engine/meta/IMetaDialogs.h"
#include "engine/project/CVostrelAppModel.h"
#include "grid/core/CGXControl.h"
#include "grid/data/CGXRangeList.h"
#include "grid/data/CGXStylesMap.h"
#include "grid/data/CGXUserAttribute.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/gdi/CMenu.h"
#include "platform/controls/MessageBox.h"
#include "platform/controls/ToolTip.h"
#include "platform/core/CArchive.h"
#include "platform/core/CException.h"
#include "platform/core/CMemFile.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {
constexpr UINT kIdsTitle = 63046;           // "Metatag Settings - [%s]"
constexpr UINT kIdsDefaultName = 63047;     // "default"
constexpr UINT kIdsNewTagName = 63206;      // "NewTag"
constexpr UINT kIdsOverwrite = 62505;
constexpr UINT kIdsSelectRowsToDelete = 62517;
constexpr UINT kIdsDeleteCurrentRow = 63318;   // name, row
constexpr UINT kIdsCannotSaveSettings = 62523;
constexpr UINT kIdsNotASettingsFile = 62530;
constexpr UINT kIdsNoName = 63300;          // row
constexpr UINT kIdsNotATagName = 63301;     // name, row
constexpr UINT kIdsNameTaken = 63302;       // name, row, other row
constexpr UINT kIdsBadDateFormat = 63303;   // format, row, name, the part
constexpr UINT kIdsDropEdits = 63327;       // the settings' lines
constexpr UINT kIdsEditedOnePage = 63328;   // name
constexpr UINT kIdsEditedPages = 63329;     // name, count
constexpr UINT kIdCommandMenu = 186;
constexpr UINT kIdSaveNote = 1091;
constexpr UINT kIdsSavesToUserFile = 63307;    // path
constexpr UINT kIdsSavesToProjectFile = 63308; // path, user's file
constexpr UINT kIdsSavesToNoFile = 63309;      // user's file
constexpr LPCTSTR kSettingsFilter = "Metatag Setting Files (*.vsl)|*.vsl|All Files (*.*)|*.*||";
// The size range the dialog may be given.
const CSize kMinimumSize(150, 225);
const CSize kMaximumSize(1280, 1024);

// The settings file form of the list: two lists that store alike hold the same settings, with
// their option lists and trees, which the settings' own comparison leaves out.
std::string StoredForm(CMetaSettingList& list)
{
    try {
        CMemFile memFile;
        CArchive ar(&memFile, CArchive::store);
        list.Serialize(ar);
        ar.Close();
        std::string data(static_cast<size_t>(memFile.GetLength()), '\0');
        memFile.SeekToBegin();
        if (!data.empty())
            memFile.Read(data.data(), static_cast<UINT>(data.size()));
        return data;
    } catch (CException* e) {
        e->Delete();
        return {};
    }
}

BOOL SameSettings(CMetaSettingList& first, CMetaSettingList& second)
{
    if (!first.IsEqual(second))
        return FALSE;
    const std::string firstForm = StoredForm(first);
    return !firstForm.empty() && firstForm == StoredForm(second);
}
} // namespace

BEGIN_MESSAGE_MAP(CMetaSettingDlg, CDialog)
    ON_COMMAND(CMetaSettingDlg::kIdOpen, &CMetaSettingDlg::OnOpen)
    ON_COMMAND(CMetaSettingDlg::kIdSave, &CMetaSettingDlg::OnSave)
    ON_COMMAND(CMetaSettingDlg::kIdAdd, &CMetaSettingDlg::OnAdd)
    ON_COMMAND(CMetaSettingDlg::kIdDelete, &CMetaSettingDlg::OnDelete)
    ON_COMMAND(CMetaSettingDlg::kIdRestoreDefaults, &CMetaSettingDlg::OnRestoreDefaults)
    ON_COMMAND(CMetaSettingDlg::kIdDisableAll, &CMetaSettingDlg::OnDisableAll)
    ON_BN_CLICKED(9, &CMetaSettingDlg::OnHelp)
    ON_MESSAGE(WM_HELP, &CMetaSettingDlg::OnHelpInfo)
    ON_WM_SIZE()
    ON_WM_CONTEXTMENU()
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXT, 0, 0xFFFF, &CMetaSettingDlg::OnToolTipText)
END_MESSAGE_MAP()

CMetaSettingDlg::CMetaSettingDlg(CWnd* pParent, DWORD dwCaller) : CDialog(IDD, pParent), m_dwCaller(dwCaller) {}

void CMetaSettingDlg::SetSettings(const CMetaSettingList& list)
{
    m_Working.CopyFrom(list);
    // Changes made before this opening and not yet saved stay marked.
    m_Working.SetModified(list.IsModified());
    m_Baseline.CopyFrom(list);
}

void CMetaSettingDlg::GetSettings(CMetaSettingList& list) const
{
    list.CopyFrom(m_Working);
    list.SetModified(m_Working.IsModified());
}

BOOL CMetaSettingDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    LoadBitmapButton(m_btnOk, IDOK, this);
    LoadBitmapButton(m_btnCancel, IDCANCEL, this);
    LoadBitmapButton(m_btnHelp, 9, this);
    const BOOL bToolbar = CreateDialogToolbar(m_toolbar, this, kIdBar, kIdToolbarResource);
    SetTitle();
    if (bToolbar)
        MakeRoomForToolbar(m_toolbar, this);
    m_grid.SetSettingList(&m_Working);
    if (m_grid.SubclassDlgItem(kIdGrid, this)) {
        m_grid.Initialize();
        ReloadGrid();
        // Descriptions longer than their cell show whole in their tool tips.
        if (CGXStylesMap* pMap = m_grid.GetParam() != nullptr ? m_grid.GetParam()->GetStylesMap() : nullptr)
            pMap->AddUserAttribute(GX_IDS_UA_TOOLTIPTEXT);
        m_grid.EnableGridToolTips();
    }
    SetUpLayout();
    return TRUE;
}

void CMetaSettingDlg::SetUpLayout()
{
    SECClassFactory_T<SECLNScale, SECLayoutNode> scaleFactory;
    SECLayoutNode* pRoot = m_layoutFactory.CreateNode(scaleFactory);
    if (pRoot == nullptr)
        return;
    pRoot->SetMinMaxSize(kMinimumSize, kMaximumSize, 0);
    // The toolbar keeps its height and follows the width (OnSize); everything else scales.
    for (CWnd* pChild = GetWindow(GW_CHILD); pChild != nullptr; pChild = pChild->GetWindow(GW_HWNDNEXT))
        if (pChild->GetSafeHwnd() != m_toolbar.GetSafeHwnd())
            m_layoutFactory.CreateNodeWnd(pChild, this, pRoot);
    if (SECLayoutWndListener* pListener = m_layoutFactory.CreateWndListener())
        pListener->AutoInit(pRoot, this, TRUE, TRUE, FALSE);
}

void CMetaSettingDlg::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (m_toolbar.GetSafeHwnd() != nullptr) {
        CRect bar;
        m_toolbar.GetWindowRect(&bar);
        m_toolbar.SetWindowPos(nullptr, 0, 0, cx, bar.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The scaled controls have moved as well as grown: each is drawn again whole, frames and
    // scroll bars included, and the face they left is cleared.
    if (GetSafeHwnd() != nullptr && nType != SIZE_MINIMIZED)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void CMetaSettingDlg::SetTitle()
{
    // The file's name alone: what follows the last folder separator of either kind.
    CString strName = m_Working.GetFilePath();
    const int nSlash = std::max(strName.ReverseFind('/'), strName.ReverseFind('\\'));
    if (nSlash >= 0)
        strName = strName.Mid(nSlash + 1);
    if (m_Working.GetFilePath().IsEmpty())
        strName.LoadString(kIdsDefaultName);
    CString strTitle;
    strTitle.Format(kIdsTitle, strName.GetString());
    SetWindowText(strTitle);
    ShowSaveNote();
}

void CMetaSettingDlg::ShowSaveNote()
{
    // The catalogue OK writes is the project's; the one new projects start from is the user's
    // settings file, which OK touches only when it is the same file.
    const CString strPath = m_Working.GetFilePath();
    const CString strUserFile = CVostrelApp::GetUserSettingsFile();
    CString strNote;
    if (strPath.IsEmpty())
        strNote.Format(kIdsSavesToNoFile, strUserFile.GetString());
    else if (strPath == strUserFile)
        strNote.Format(kIdsSavesToUserFile, strPath.GetString());
    else
        strNote.Format(kIdsSavesToProjectFile, strPath.GetString(), strUserFile.GetString());
    SetDlgItemText(kIdSaveNote, strNote);
}

void CMetaSettingDlg::ReloadGrid()
{
    if (m_grid.GetSafeHwnd() == nullptr)
        return;
    m_grid.SetUpColumns();
    m_grid.LoadSettings(m_Working);
}

void CMetaSettingDlg::ReadRowsIntoSettings()
{
    if (m_grid.GetSafeHwnd() == nullptr)
        return;
    m_grid.EndCurrentCellEdit(TRUE);
    for (ROWCOL nRow = 1; nRow <= m_grid.GetRowCount(); ++nRow)
        m_grid.ReadRow(nRow);
}

void CMetaSettingDlg::OnOpen()
{
    if (AfxMessageBox(kIdsOverwrite, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    CString strPath = m_Working.GetFilePath();
    if (!GetAppModel().GetDialogs().AskOpenFileName("Open Metatag Settings", kSettingsFilter, strPath))
        return;
    // Read into a list of its own: a failure leaves the grid and the working list as they were.
    CMetaSettingList loaded;
    if (loaded.LoadFromFile(strPath) != 0) {
        // A file that cannot be opened has been reported by the load; one that opens but holds
        // no settings is said here, or the user would see nothing happen.
        if (std::ifstream(strPath.GetString(), std::ios::binary).good()) {
            CString strMessage;
            strMessage.Format(kIdsNotASettingsFile, strPath.GetString());
            AfxMessageBox(strMessage, MB_ICONEXCLAMATION);
        }
        return;
    }
    m_Working.CopyFrom(loaded);
    // The list is now what its file holds.
    m_Working.SetModified(0);
    m_Baseline.CopyFrom(m_Working);
    ReloadGrid();
    SetTitle();
}

void CMetaSettingDlg::OnSave()
{
    if (m_grid.GetSafeHwnd() == nullptr || !CheckRows())
        return;
    CMetaSettingList saved;
    saved.SetFilePath(m_Working.GetFilePath());
    saved.SetNextOrdinal(m_Working.GetNextOrdinal());
    m_grid.ReadSettings(saved);
    if (saved.SaveAs() != 0)
        return;
    m_Working.CopyFrom(saved);
    m_Working.SetModified(saved.IsModified());
    m_Baseline.CopyFrom(saved);
    ReloadGrid();
    SetTitle();
}

void CMetaSettingDlg::OnAdd()
{
    if (m_grid.GetSafeHwnd() == nullptr)
        return;
    m_grid.EndCurrentCellEdit(TRUE);
    auto pSetting = std::make_unique<CMetaEditSetting>();
    CString strName;
    strName.LoadString(kIdsNewTagName);
    pSetting->SetName(strName);
    pSetting->SetShow(1);
    CMetaSetting* pAdded = pSetting.release();
    m_Working.AddTail(pAdded);
    // The one empty row of an empty catalogue takes the new setting.
    CMetaSetting* pFirst = nullptr;
    const ROWCOL nRow = m_grid.GetRowCount() == 1 && m_grid.GetSettingOfRow(1, pFirst) != 0 ? 1 : m_grid.GetRowCount() + 1;
    m_grid.LoadRow(nRow, pAdded);
    m_grid.SetCurrentCell(nRow, CMetaSettingGridCtrl::kColName, GX_SCROLLINVIEW | GX_UPDATENOW);
    m_grid.SetCurrentCell(nRow, CMetaSettingGridCtrl::kColName, GX_DISPLAYEDITWND);
    // The offered name stands in an open edit as if the user had typed it: Enter takes it and
    // ends the edit, as after any typing, instead of pressing OK over the row just added.
    CGXControl* pControl = m_grid.GetControl(nRow, CMetaSettingGridCtrl::kColName);
    if (pControl != nullptr && pControl->IsActive())
        pControl->SetModify(TRUE);
}

void CMetaSettingDlg::OnDelete()
{
    if (m_grid.GetSafeHwnd() == nullptr)
        return;
    m_grid.EndCurrentCellEdit(TRUE);
    ROWCOL nCurrentRow = 0, nCurrentCol = CMetaSettingGridCtrl::kColName;
    const BOOL bCurrent = m_grid.GetCurrentCell(nCurrentRow, nCurrentCol);
    // Each selected row once, whatever ranges overlap, the highest first, so that the numbers
    // of the rows still to go stay right.
    CGXRangeList ranges;
    std::vector<ROWCOL> rows;
    if (m_grid.GetSelectedRowRanges(ranges) == 0) {
        rows = m_grid.GetSelectedRowsDescending();
    } else {
        // With nothing chosen but the cell the user stands in, its row's metatag goes, as Del
        // there expects; the question names it, since it was not chosen on purpose. A block of
        // cells leaves open which rows are meant: the user is told how to choose them.
        CMetaSetting* pSetting = nullptr;
        if (!bCurrent || nCurrentRow == 0 || !m_grid.ChoosesCurrentCellAlone() ||
            m_grid.GetSettingOfRow(nCurrentRow, pSetting) != 0) {
            AfxMessageBox(kIdsSelectRowsToDelete, MB_ICONINFORMATION);
            return;
        }
        CString strName, strQuestion;
        m_grid.GetCellText(nCurrentRow, CMetaSettingGridCtrl::kColName, strName);
        strQuestion.Format(kIdsDeleteCurrentRow, strName.GetString(), static_cast<unsigned>(nCurrentRow));
        if (AfxMessageBox(strQuestion, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
            return;
        rows.push_back(nCurrentRow);
    }
    ROWCOL nLowest = 0;
    for (ROWCOL nRow : rows) {
        CMetaSetting* pSetting = nullptr;
        if (m_grid.GetSettingOfRow(nRow, pSetting) == 0 && m_Working.RemoveSetting(pSetting) == 0)
            delete pSetting;
        m_grid.RemoveRows(nRow, nRow);
        nLowest = nRow;
    }
    // The chosen rows are gone: no row is chosen now, so that a second Delete deletes nothing
    // the user did not choose.
    m_grid.SetSelection(nullptr);
    // The current row went with them: the row that took its place, or the new last one, is
    // current, so that the keys and the commands' menu go on from where the user was.
    ROWCOL nRow = 0, nCol = 0;
    if (!m_grid.GetCurrentCell(nRow, nCol) && nLowest > 0 && m_grid.GetRowCount() >= 1)
        m_grid.SetCurrentCell(std::min(nLowest, m_grid.GetRowCount()), nCurrentCol, GX_SCROLLINVIEW | GX_UPDATENOW);
}

void CMetaSettingDlg::OnRestoreDefaults()
{
    if (AfxMessageBox(kIdsOverwrite, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    m_Working.SetDefaults();
    ReloadGrid();
    SetTitle();
}

void CMetaSettingDlg::OnDisableAll()
{
    ReadRowsIntoSettings();
    for (POSITION pos = m_Working.GetHeadPosition(); pos != nullptr;)
        m_Working.GetNext(pos)->SetShow(0);
    ReloadGrid();
}

BOOL CMetaSettingDlg::CheckRows()
{
    m_grid.EndCurrentCellEdit(TRUE);
    CString strMessage;
    ROWCOL nCol = 0;
    ROWCOL nRow = 1;
    for (; nRow <= m_grid.GetRowCount() && nCol == 0; ++nRow) {
        CMetaSetting* pSetting = nullptr;
        if (m_grid.ReadRow(nRow) != 0 || m_grid.GetSettingOfRow(nRow, pSetting) != 0)
            continue;
        CString strName;
        pSetting->GetName(strName);
        if (strName.IsEmpty()) {
            strMessage.Format(kIdsNoName, static_cast<unsigned>(nRow));
            nCol = CMetaSettingGridCtrl::kColName;
        } else if (!CMetaSetting::IsTagName(strName)) {
            strMessage.Format(kIdsNotATagName, strName.GetString(), static_cast<unsigned>(nRow));
            nCol = CMetaSettingGridCtrl::kColName;
        } else if (const auto* pDate = dynamic_cast<const CMetaDateSetting*>(pSetting)) {
            const CString strPart = CMetaDateSetting::FindUnusablePart(pDate->m_strFormat);
            if (!strPart.IsEmpty()) {
                strMessage.Format(kIdsBadDateFormat, pDate->m_strFormat.GetString(), static_cast<unsigned>(nRow),
                                  strName.GetString(), strPart.GetString());
                nCol = CMetaSettingGridCtrl::kColAttributes;
            }
        }
        // A second row of the same name would give the page grid two columns of one tag.
        for (ROWCOL nEarlier = 1; nEarlier < nRow && nCol == 0; ++nEarlier) {
            CMetaSetting* pEarlier = nullptr;
            CString strEarlier;
            if (m_grid.GetSettingOfRow(nEarlier, pEarlier) == 0 && pEarlier->GetName(strEarlier) == 0 &&
                strEarlier.CompareNoCase(strName) == 0) {
                strMessage.Format(kIdsNameTaken, strName.GetString(), static_cast<unsigned>(nRow),
                                  static_cast<unsigned>(nEarlier));
                nCol = CMetaSettingGridCtrl::kColName;
            }
        }
    }
    if (nCol == 0)
        return TRUE;
    --nRow;
    AfxMessageBox(strMessage, MB_ICONEXCLAMATION);
    m_grid.SetCurrentCell(nRow, nCol, GX_SCROLLINVIEW | GX_UPDATENOW);
    m_grid.SetFocus();
    return FALSE;
}

void CMetaSettingDlg::TrackCommandMenu(CPoint screen)
{
    CMenu menu;
    if (!menu.LoadMenu(kIdCommandMenu))
        return;
    if (CMenu* pPopup = menu.GetSubMenu(0))
        pPopup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, this);
    menu.DestroyMenu();
}

void CMetaSettingDlg::OnContextMenu(CWnd*, CPoint point)
{
    // From the keys the request has no point: the menu opens at the control with the focus.
    if (point.x == -1 && point.y == -1) {
        CRect rect;
        CWnd* pFocus = GetFocus();
        if (pFocus == nullptr || (pFocus != this && !IsChild(pFocus)))
            pFocus = this;
        pFocus->GetWindowRect(&rect);
        point = CPoint(rect.left + 4, rect.bottom - 1);
    }
    TrackCommandMenu(point);
}

void CMetaSettingDlg::OnOK()
{
    if (m_grid.GetSafeHwnd() == nullptr) {
        EndDialog(IDOK);
        return;
    }
    if (!CheckRows())
        return;
    CMetaSettingList edited;
    edited.SetFilePath(m_Working.GetFilePath());
    edited.SetNextOrdinal(m_Working.GetNextOrdinal());
    m_grid.ReadSettings(edited);
    if (!AgreeToDropEdits(edited))
        return;
    UINT bModified = m_Working.IsModified();
    // Added, deleted and retyped settings are in the working list already, so the edits are
    // measured against the list as it was given or last read or written: otherwise OK after an
    // Add or a Delete alone would neither save the file nor mark the list changed.
    if (!SameSettings(m_Baseline, edited)) {
        bModified = 1;
        const CString strPath = edited.GetFilePath();
        if (!strPath.IsEmpty() && edited.SaveToFile(strPath) != 0) {
            CString strMessage;
            strMessage.Format(kIdsCannotSaveSettings, strPath.GetString());
            AfxMessageBox(strMessage, MB_ICONINFORMATION);
        }
    }
    m_Working.CopyFrom(edited);
    m_Working.SetModified(bModified);
    EndDialog(IDOK);
}

BOOL CMetaSettingDlg::AgreeToDropEdits(const CMetaSettingList& list) const
{
    // A setting deleted or renamed takes its column with it: an edit there could be neither
    // seen nor saved any more. The pages keep their tags; the user may go back and save first.
    CString strLines;
    for (const auto& [strName, nPages] : m_unsavedEdits) {
        CMetaSetting* pKept = nullptr;
        if (list.FindByName(strName, pKept) == 0)
            continue;
        CString strLine;
        if (nPages == 1)
            strLine.Format(kIdsEditedOnePage, strName.GetString());
        else
            strLine.Format(kIdsEditedPages, strName.GetString(), nPages);
        strLines += (strLines.IsEmpty() ? "" : "\n") + strLine;
    }
    if (strLines.IsEmpty())
        return TRUE;
    CString strQuestion;
    strQuestion.Format(kIdsDropEdits, strLines.GetString());
    return AfxMessageBox(strQuestion, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void CMetaSettingDlg::OnHelp()
{
    ShowAppHelp(kHelpContextWindowBase + IDD);
}

LRESULT CMetaSettingDlg::OnHelpInfo(WPARAM, LPARAM lParam)
{
    return HandleHelpRequest(reinterpret_cast<const HELPINFO*>(lParam), kHelpContextWindowBase + IDD);
}

BOOL CMetaSettingDlg::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult)
{
    return FillToolbarTipText(pNMHDR, pResult);
}
