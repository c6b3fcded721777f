// The New Project dialog's folder checks: no folder, a file and a missing folder keep the dialog
// open with their messages, which name the path; a relative folder is taken as an absolute one,
// an absolute one as typed.
#include "app/dialogs/CNewProjectDlg.h"
#include "tests/app/PanesFixture.h"
#include "tests/support/DialogAutomation.h"
#include "tests/support/ScopedTempDir.h"

#include <filesystem>
#include <fstream>

namespace {

using namespace dialog_automation;

class NewProjectDlgTest : public PanesTest {
protected:
    // Types the text into the folder edit and presses OK; what message box came, if any.
    SeenMessageBox TryFolder(HWND dlg, const std::string& text)
    {
        SeenMessageBox seen;
        SetDlgItemText(dlg, CNewProjectDlg::kIdDirectory, text.c_str());
        AnswerMessageBox(*backend, IDOK, &seen);
        SendMessage(dlg, WM_COMMAND, IDOK, 0);
        return seen;
    }

    ScopedTempDir temp;
};

TEST_F(NewProjectDlgTest, FolderIsCheckedAndMadeAbsolute)
{
    std::ofstream(std::filesystem::path(temp.Path()) / "page.htm") << "x";
    std::filesystem::create_directories(std::filesystem::path(temp.Path()) / "site");
    std::filesystem::current_path(temp.Path());

    CNewProjectDlg dlg;
    CProjectSettings settings;
    settings.m_strProjectDirectory = "/nowhere";
    CMetaSettingList list;
    dlg.SetData(settings, list);
    SeenMessageBox empty, file, missing;
    bool stayedOpen = false;
    WhenWindowOpens(
        *backend, [] { auto d = ShownDialogs(); return d.empty() ? HWND{} : d.front(); },
        [&](HWND d) {
            char shown[256] = {};
            GetDlgItemText(d, CNewProjectDlg::kIdDirectory, shown, sizeof shown);
            EXPECT_STREQ(shown, "/nowhere");
            empty = TryFolder(d, "");
            file = TryFolder(d, temp.Path() + "/page.htm");
            missing = TryFolder(d, temp.Path() + "/gone");
            stayedOpen = IsWindowVisible(d);
            TryFolder(d, "site/");
        },
        [] { ADD_FAILURE() << "the dialog never opened"; });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(empty.text, "You must specify a project directory!");
    EXPECT_EQ(file.text, "The specified project directory is invalid!\n\n'" + temp.Path() + "/page.htm' is not a folder.");
    EXPECT_EQ(missing.text, "The specified project directory is invalid!\n\nThe folder '" + temp.Path() +
                                "/gone' does not exist.");

    CProjectSettings result;
    dlg.GetProjectSettings(result);
    const std::string folder = static_cast<LPCTSTR>(result.m_strProjectDirectory);
    EXPECT_EQ(folder, (std::filesystem::path(temp.Path()) / "site/").lexically_normal().string());
    EXPECT_EQ(folder.front(), '/');

    // An absolute folder is kept as typed, trailing slash and all.
    const std::string typed = temp.Path() + "/site/";
    EXPECT_STREQ(CNewProjectDlg::MakeAbsolute(typed.c_str()), typed.c_str());
    EXPECT_STREQ(CNewProjectDlg::MakeAbsolute(""), "");
}

} // namespace
