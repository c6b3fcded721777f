// The Metatag Settings dialog as the user reaches it, from Options and from New Project: rows
// added, deleted in any selection order, retyped keeping what was typed, hidden all at once,
// the defaults restored, saved to and opened from files, and OK writing the settings file.
#include "tests/app/GroupViewFixture.h"

#include "app/dialogs/CMetaSettingDlg.h"
#include "app/dialogs/CNewProjectDlg.h"
#include "app/res/AppRes.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CProjectSettings.h"
#include "grid/data/CGXRange.h"
#include "tests/support/CommonDialogAutomation.h"

#include <functional>

namespace {

using namespace dialog_automation;

HWND DialogOf(UINT nTemplate)
{
    for (HWND dlg : ShownDialogs())
        if (reinterpret_cast<uintptr_t>(GetProp(dlg, DIALOG_TEMPLATE_ID_PROP)) == nTemplate)
            return dlg;
    return nullptr;
}

// Runs `act` in the dialog made from the template once it shows; it must close by itself then.
void WhenDialog(HeadlessBackend& backend, UINT nTemplate, std::function<void(HWND)> act)
{
    WhenWindowOpens(
        backend, [nTemplate] { return DialogOf(nTemplate); },
        [&backend, act](HWND dlg) {
            act(dlg);
            EnsureClosed(backend, dlg);
        },
        [nTemplate] { ADD_FAILURE() << "dialog " << nTemplate << " never opened"; });
}

void Press(HWND dlg, UINT nId)
{
    SendMessage(dlg, WM_COMMAND, nId, reinterpret_cast<LPARAM>(GetDlgItem(dlg, nId)));
    PostMessage(dlg, WM_NULL, 0, 0);
}

CMetaSettingDlg& DialogObject(HWND dlg)
{
    auto* pDlg = dynamic_cast<CMetaSettingDlg*>(CWnd::FromHandlePermanent(dlg));
    EXPECT_NE(pDlg, nullptr);
    return *pDlg;
}

std::vector<std::string> Names(const CMetaSettingList& list)
{
    std::vector<std::string> names;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
        names.emplace_back(list.GetNext(pos)->Name().GetString());
    return names;
}

std::vector<std::string> GridNames(CMetaSettingGridCtrl& grid)
{
    std::vector<std::string> names;
    for (ROWCOL r = 1; r <= grid.GetRowCount(); ++r) {
        CString text;
        grid.GetCellText(r, CMetaSettingGridCtrl::kColName, text);
        names.emplace_back(text.GetString());
    }
    return names;
}

void SelectRows(CMetaSettingGridCtrl& grid, ROWCOL nTop, ROWCOL nBottom)
{
    grid.SelectRange(CGXRange().SetRows(nTop, nBottom), TRUE, TRUE);
}

void ClearSelection(CMetaSettingGridCtrl& grid)
{
    grid.SelectRange(CGXRange().SetTable(), FALSE, TRUE);
}

class MetaSettingDlgTest : public VostrelAppTest {
protected:
    CMetaSettingList& Catalogue()
    {
        CMetaSettingList* pList = nullptr;
        app->GetMetaSettingList(pList);
        return *pList;
    }
    void OpenProject()
    {
        CProjectSettings* pSettings = nullptr;
        app->NewProjectSettings(pSettings);
    }
};

} // namespace

TEST_F(MetaSettingDlgTest, OptionsEditsTheCatalogueAndOkWritesTheSettingsFile)
{
    ASSERT_TRUE(Start());
    OpenProject();
    std::vector<std::string> before = Names(Catalogue());
    ASSERT_GE(before.size(), 8u);
    ASSERT_EQ(std::string(Catalogue().GetFilePath().GetString()), SettingsPath());

    std::string title;
    std::vector<std::string> loaded, afterCellRange, afterDelete;
    SeenMessageBox noRows;
    UINT bShowOfNew = 0;
    CString typeOfNew;
    WhenDialog(*backend, CMetaSettingDlg::IDD, [&](HWND hwnd) {
        CMetaSettingDlg& dlg = DialogObject(hwnd);
        CMetaSettingGridCtrl& grid = dlg.GetGrid();
        title = TextOf(hwnd);
        loaded = GridNames(grid);
        // A block of cells is no row: nothing goes, and the user is told how to pick rows.
        grid.SelectRange(CGXRange(2, 1, 3, 2), TRUE, TRUE);
        AnswerBox(*backend, IDOK, &noRows);
        Press(hwnd, CMetaSettingDlg::kIdDelete);
        afterCellRange = GridNames(grid);
        ClearSelection(grid);
        // Rows 5 and 3 picked in that order, and rows 3 to 4 over them: three settings go, once each.
        SelectRows(grid, 5, 5);
        SelectRows(grid, 3, 3);
        SelectRows(grid, 3, 4);
        Press(hwnd, CMetaSettingDlg::kIdDelete);
        afterDelete = GridNames(grid);
        ClearSelection(grid);
        // A name and a description typed into row 1, not yet read back, survive a type change.
        grid.SetCellValue(1, CMetaSettingGridCtrl::kColName, "Typed Name");
        grid.SetCellValue(1, CMetaSettingGridCtrl::kColDescription, "Typed description");
        grid.SetCheckValue(1, CMetaSettingGridCtrl::kColShow, TRUE);
        EXPECT_TRUE(grid.ChangeRowType(1, "date / time"));
        EXPECT_FALSE(grid.ChangeRowType(1, "Date / Time")) << "the row's own type changes nothing";
        EXPECT_FALSE(grid.ChangeRowType(1, "No Such Type"));
        // Back and forth, on a row far below the first screen too: each change replaces the
        // setting the last one made.
        EXPECT_TRUE(grid.ChangeRowType(1, "Edit"));
        EXPECT_TRUE(grid.ChangeRowType(1, "Date / Time"));
        const ROWCOL nFar = grid.GetRowCount() - 1;
        grid.Redraw();
        for (const char* type : {"Date / Time", "Edit", "Date / Time", "Edit"})
            EXPECT_TRUE(grid.ChangeRowType(nFar, type)) << type;
        Press(hwnd, CMetaSettingDlg::kIdAdd);
        CMetaSetting* pNew = nullptr;
        ASSERT_EQ(grid.GetSettingOfRow(grid.GetRowCount(), pNew), 0u);
        pNew->GetShow(bShowOfNew);
        pNew->GetTypeName(typeOfNew);
        Press(hwnd, IDOK);
    });
    Frame().SendMessage(WM_COMMAND, ID_METATAG_SETTINGS);

    EXPECT_EQ(title, "Metatag Settings - [VOSTREL.VSL]");
    EXPECT_EQ(loaded, before);
    EXPECT_TRUE(noRows.seen);
    EXPECT_EQ(noRows.text, "To delete a metatag setting, you must first select the row containing those settings. "
                           "Click on the row header to select the row, or press Shift+Space to select the rows of "
                           "the current cell or the chosen cells.");
    EXPECT_EQ(afterCellRange, before);
    std::vector<std::string> expected = before;
    expected.erase(expected.begin() + 2, expected.begin() + 5);
    EXPECT_EQ(afterDelete, expected);
    EXPECT_EQ(bShowOfNew, 1u);
    EXPECT_EQ(std::string(typeOfNew.GetString()), "Edit");

    // The catalogue holds the grid's rows in row order: the retyped row first, where it stood.
    CMetaSettingList& catalogue = Catalogue();
    expected[0] = "Typed Name";
    expected.push_back("NewTag");
    EXPECT_EQ(Names(catalogue), expected);
    CMetaSetting* pFirst = catalogue.GetHead();
    EXPECT_EQ(pFirst->Type(), static_cast<UINT>(kMetaTypeDate));
    CString description;
    pFirst->GetDescription(description);
    EXPECT_EQ(std::string(description.GetString()), "Typed description");
    EXPECT_EQ(pFirst->IsShown(), 1u);
    EXPECT_EQ(catalogue.GetTail()->Type(), static_cast<UINT>(kMetaTypeEdit));
    EXPECT_EQ(catalogue.IsModified(), 1u);

    // OK wrote the settings file: it reads back as the catalogue.
    CMetaSettingList reread;
    ASSERT_EQ(reread.LoadFromFile(CString(SettingsPath().c_str())), 0u);
    EXPECT_TRUE(reread.IsEqual(catalogue));
}

TEST_F(MetaSettingDlgTest, DisableAllRestoreSaveAsAndOpenKeepWhatTheUserMeant)
{
    ASSERT_TRUE(Start());
    const std::string saved = config.Path() + "/mine.vsl";
    const std::string notSettings = config.Path() + "/notes.vsl";
    WriteFile(notSettings, "these are no settings");
    SeenMessageBox badFile;
    CMetaSettingList list;
    list.CopyFrom(Catalogue());
    list.SetModified(1);   // unsaved changes made before this opening
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
        list.GetNext(pos)->SetShow(1);
    const INT_PTR nDefaults = Catalogue().GetCount();

    std::string titleAfterRestore, titleAfterSave, titleAfterOpen;
    std::vector<std::string> namesAfterNo, namesAfterOpen;
    std::vector<std::string> showsAfterDisable;
    SeenMessageBox askRestore;
    CMetaSettingDlg dlg;
    dlg.SetSettings(list);
    WhenDialog(*backend, CMetaSettingDlg::IDD, [&](HWND hwnd) {
        CMetaSettingGridCtrl& grid = dlg.GetGrid();
        // A name typed and not yet read back is kept when every setting is hidden.
        grid.SetCellValue(2, CMetaSettingGridCtrl::kColName, "Renamed");
        Press(hwnd, CMetaSettingDlg::kIdDisableAll);
        for (ROWCOL r = 1; r <= grid.GetRowCount(); ++r) {
            CString text;
            grid.GetCellText(r, CMetaSettingGridCtrl::kColShow, text);
            showsAfterDisable.emplace_back(text.GetString());
        }
        EXPECT_EQ(GridNames(grid)[1], "Renamed");
        // Restore answered No keeps the rows.
        grid.SelectRange(CGXRange().SetRows(1, 1), TRUE, TRUE);
        Press(hwnd, CMetaSettingDlg::kIdDelete);
        AnswerBox(*backend, IDNO, &askRestore);
        Press(hwnd, CMetaSettingDlg::kIdRestoreDefaults);
        namesAfterNo = GridNames(grid);
        // Save As writes the rows to the file chosen, which names the dialog from then on.
        PickFile(*backend, saved);
        SeenMessageBox create;
        AnswerBox(*backend, IDYES, &create);   // the file is new: create it
        Press(hwnd, CMetaSettingDlg::kIdSave);
        EXPECT_TRUE(create.seen);
        titleAfterSave = TextOf(hwnd);
        // Yes rebuilds the built-in catalogue, which has no file.
        AnswerBox(*backend, IDYES);
        Press(hwnd, CMetaSettingDlg::kIdRestoreDefaults);
        titleAfterRestore = TextOf(hwnd);
        EXPECT_EQ(static_cast<INT_PTR>(grid.GetRowCount()), nDefaults);
        // A file that holds no settings is said so and changes nothing.
        AnswerBox(*backend, IDYES);
        PickFile(*backend, notSettings);
        AnswerBox(*backend, IDOK, &badFile);
        Press(hwnd, CMetaSettingDlg::kIdOpen);
        EXPECT_EQ(TextOf(hwnd), "Metatag Settings - [default]");
        EXPECT_EQ(static_cast<INT_PTR>(grid.GetRowCount()), nDefaults);
        // Open reads the saved file back over them.
        AnswerBox(*backend, IDYES);
        PickFile(*backend, saved);
        Press(hwnd, CMetaSettingDlg::kIdOpen);
        titleAfterOpen = TextOf(hwnd);
        namesAfterOpen = GridNames(grid);
        Press(hwnd, IDOK);
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);

    EXPECT_EQ(showsAfterDisable, std::vector<std::string>(static_cast<size_t>(nDefaults), "0"));
    EXPECT_EQ(askRestore.text, "This operation shall overwrite your current metatag settings. Proceed?");
    EXPECT_EQ(namesAfterNo.size(), static_cast<size_t>(nDefaults - 1));
    EXPECT_EQ(titleAfterSave, "Metatag Settings - [mine.vsl]");
    EXPECT_EQ(titleAfterRestore, "Metatag Settings - [default]");
    EXPECT_EQ(titleAfterOpen, "Metatag Settings - [mine.vsl]");
    EXPECT_EQ(badFile.text, "The file '" + notSettings +
                                "' holds no metatag settings, or they are damaged. Your metatag settings are unchanged.");
    EXPECT_EQ(namesAfterOpen, namesAfterNo);
    EXPECT_EQ(namesAfterOpen[0], "Renamed");

    CMetaSettingList result;
    dlg.GetSettings(result);
    EXPECT_EQ(Names(result), namesAfterOpen);
    EXPECT_EQ(result.GetShownCount(), 0u);
    EXPECT_EQ(std::string(result.GetFilePath().GetString()), saved);
    EXPECT_EQ(result.IsModified(), 0u) << "the list is what its file holds";

    // A second opening closed with OK and nothing changed keeps the mark of earlier unsaved
    // changes, and a setting's options edited alone count as a change.
    for (int round = 0; round < 2; ++round) {
        CMetaSettingDlg again;
        CMetaSettingList given;
        given.CopyFrom(Catalogue());
        given.SetFilePath("");
        given.SetModified(round == 0 ? 1 : 0);
        again.SetSettings(given);
        WhenDialog(*backend, CMetaSettingDlg::IDD, [&](HWND hwnd) {
            if (round == 1) {
                // Find a list setting and give it one more option through its own dialog.
                CMetaSettingGridCtrl& grid = again.GetGrid();
                for (ROWCOL r = 1; r <= grid.GetRowCount(); ++r) {
                    CMetaSetting* pSetting = nullptr;
                    grid.GetSettingOfRow(r, pSetting);
                    if (pSetting->Type() != kMetaTypeComboSingleSel)
                        continue;
                    WhenDialog(*backend, 148, [&](HWND options) {
                        Press(options, 1031);   // Add
                        auto* pGrid = dynamic_cast<CGridWndWrapper*>(CWnd::FromHandlePermanent(GetDlgItem(options, 1029)));
                        ASSERT_NE(pGrid, nullptr);
                        pGrid->SetCellValue(pGrid->GetRowCount(), 1, "an option");
                        Press(options, IDOK);
                    });
                    grid.OnClickedButtonRowCol(r, CMetaSettingGridCtrl::kColAttributes);
                    break;
                }
            }
            Press(hwnd, IDOK);
        });
        ASSERT_EQ(again.DoModal(), IDOK);
        CMetaSettingList out;
        again.GetSettings(out);
        EXPECT_EQ(out.IsModified(), 1u) << "round " << round;
    }
}

TEST_F(MetaSettingDlgTest, AnUnwritableSettingsFileIsReportedAndNewProjectTakesTheEdits)
{
    ASSERT_TRUE(Start());
    const std::string unwritable = config.Path() + "/no/such/folder/x.vsl";
    CMetaSettingList start;
    start.CopyFrom(Catalogue());
    start.SetFilePath(unwritable.c_str());

    SeenMessageBox fileError;
    SeenMessageBox cannotSave;
    CNewProjectDlg project;
    project.SetData(CProjectSettings(), start);
    WhenDialog(*backend, CNewProjectDlg::IDD, [&](HWND newProject) {
        WhenDialog(*backend, CMetaSettingDlg::IDD, [&](HWND hwnd) {
            EXPECT_EQ(TextOf(hwnd), "Metatag Settings - [x.vsl]");
            Press(hwnd, CMetaSettingDlg::kIdAdd);
            // The file's own error, then what it means for the settings.
            AnswerBox(*backend, IDOK, &fileError);
            AnswerBox(*backend, IDOK, &cannotSave);
            Press(hwnd, IDOK);
        });
        Press(newProject, CNewProjectDlg::kIdMetaSettings);
        Press(newProject, IDCANCEL);
    });
    project.DoModal();

    EXPECT_NE(fileError.text.find(unwritable), std::string::npos) << fileError.text;
    EXPECT_EQ(cannotSave.text, "Unable to save your metatag settings file '" + unwritable +
                                   "'. If you've made changes to your settings, they shall be lost the next "
                                   "time you load your project.");
    CMetaSettingList taken;
    project.GetMetaSettings(taken);
    EXPECT_EQ(taken.GetCount(), start.GetCount() + 1) << "the dialog still closed with the new settings";
    EXPECT_EQ(std::string(taken.GetTail()->Name().GetString()), "NewTag");
}

TEST_F(GroupViewTest, MetatagSettingsChosenInTheDialogBecomeThePageGridsColumns)
{
    OpenSite(true);
    ASSERT_NE(ColumnOf("Author"), 0u);
    ASSERT_EQ(ColumnOf("Robots"), 0u);
    const std::string other = config.Path() + "/other.vsl";
    WhenDialog(*backend, CMetaSettingDlg::IDD, [&](HWND hwnd) {
        CMetaSettingGridCtrl& grid = DialogObject(hwnd).GetGrid();
        for (ROWCOL r = 1; r <= grid.GetRowCount(); ++r) {
            CString name;
            grid.GetCellText(r, CMetaSettingGridCtrl::kColName, name);
            // A click on a Show box sets the setting's flag at once, as the grid tells it.
            if (name == "Author" || name == "Robots") {
                grid.SetCheckValue(r, CMetaSettingGridCtrl::kColShow, name == "Robots");
                grid.OnModifyCell(r, CMetaSettingGridCtrl::kColShow);
            }
        }
        // Saved under another name: the project names that file from now on.
        PickFile(*backend, other);
        AnswerBox(*backend, IDYES);
        Press(hwnd, CMetaSettingDlg::kIdSave);
        Press(hwnd, IDOK);
    });
    Frame().SendMessage(WM_COMMAND, ID_METATAG_SETTINGS);
    EXPECT_EQ(ColumnOf("Author"), 0u);
    EXPECT_NE(ColumnOf("Robots"), 0u);
    EXPECT_NE(ColumnOf("Description"), 0u);
    EXPECT_NE(ColumnOf("Keywords"), 0u);
    EXPECT_EQ(ShownSettings(), (std::vector<std::string>{"Keywords", "Description", "Robots"}));
    CProjectSettings* pSettings = nullptr;
    ASSERT_EQ(app->GetProjectSettings(pSettings), 0u);
    CString path;
    pSettings->GetSettingsFilePath(path);
    EXPECT_EQ(std::string(path.GetString()), other);
    EXPECT_EQ(pSettings->IsModified(), 1u);
}

TEST_F(MetaSettingDlgTest, EachTypesAttributesButtonOpensItsOwnDialog)
{
    ASSERT_TRUE(Start());
    CMetaSettingList list;
    list.CopyFrom(Catalogue());
    CMetaSettingDlg dlg;
    dlg.SetSettings(list);
    std::vector<std::string> opened;
    WhenDialog(*backend, CMetaSettingDlg::IDD, [&](HWND hwnd) {
        CMetaSettingGridCtrl& grid = dlg.GetGrid();
        // One row of each type that has options, retyped, then its button pressed.
        struct Case {
            const char* type;
            UINT dialog;
        };
        for (const Case& c : {Case{"Non-editable Drop List", 148}, Case{"Editable Multi-select List", 150},
                              Case{"Classification", 137}}) {
            ASSERT_TRUE(grid.ChangeRowType(5, c.type)) << c.type;
            WhenDialog(*backend, c.dialog, [&](HWND attributes) {
                opened.push_back(std::string(c.type) + ": " + TextOf(attributes));
                Press(attributes, IDCANCEL);
            });
            grid.OnClickedButtonRowCol(5, CMetaSettingGridCtrl::kColAttributes);
        }
        // A type without options has no dialog: its cell says so and a press opens nothing.
        ASSERT_TRUE(grid.ChangeRowType(5, "Edit"));
        CString text;
        grid.GetCellText(5, CMetaSettingGridCtrl::kColAttributes, text);
        EXPECT_EQ(std::string(text.GetString()), "not applicable");
        grid.OnClickedButtonRowCol(5, CMetaSettingGridCtrl::kColAttributes);
        Press(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(opened, (std::vector<std::string>{"Non-editable Drop List: List Type Attributes",
                                                "Editable Multi-select List: Multiple Selection List Options",
                                                "Classification: Define Classification Metatag Tree"}));
}
