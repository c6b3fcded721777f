// The recent projects in the File menu on the X server: a project under a path of thousands of
// characters shows with its path shortened in the middle, the menu within the screen and the
// project's name in sight, and choosing it by mouse opens that project.
#include "platform/afx/AfxRes.h"
#include "platform/afx/gdi/CMenu.h"

#include "tests/app/UserStepsX11Fixture.h"

#include <filesystem>
#include <string>

namespace {

// A folder path of exactly nBytes under the base, of folders named in several scripts and
// padded to 200 bytes each; the last folder takes what is left.
std::string DeepFolder(const std::string& base, size_t nBytes)
{
    std::string path = base;
    for (int n = 1; nBytes - path.size() > 202; ++n) {
        std::string part = "Ordner-" + std::to_string(n) + "-Straße-Ωμέγα-日本語-";
        part.append(200 - part.size(), 'x');
        path += "/" + part;
    }
    path += "/" + std::string(nBytes - path.size() - 1, 'z');
    return path;
}

class RecentProjectsX11Test : public MainWindowStepsX11Test {};

} // namespace

TEST_F(RecentProjectsX11Test, ARecentProjectUnderAVeryLongPathFitsTheMenuAndOpensByMouse)
{
    MakeSite(2);
    WriteProject({"Description"});
    const std::string name = "Gärten-Ωμέγα-日本.vsp";
    const std::string folder = DeepFolder(dir.Path(), 4037 - 1 - name.size());
    const std::string deep = folder + "/" + name;
    ASSERT_EQ(deep.size(), 4037u);
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(ProjectPath(), deep);

    ASSERT_TRUE(Start());
    app->AddToRecentFileList(deep.c_str());
    app->AddToRecentFileList(ProjectPath().c_str());

    ASSERT_TRUE(ClickAt(MenuBarItemOnScreen("File"), 1, 1));
    CRect popup, item;
    std::string text;
    When("the File menu shows the recent projects",
         [&] {
             for (HWND hPopup : MenuDriver::OpenMenus())
                 if (GetMenuState(MenuDriver::MenuOf(hPopup), ID_FILE_MRU_FILE2, MF_BYCOMMAND) != static_cast<UINT>(-1))
                     return ShowsNow();
             return false;
         },
         [&] {
             for (HWND hPopup : MenuDriver::OpenMenus()) {
                 HMENU menu = MenuDriver::MenuOf(hPopup);
                 for (int i = 0; i < GetMenuItemCount(menu); ++i)
                     if (GetMenuItemID(menu, i) == ID_FILE_MRU_FILE2) {
                         CString strText;
                         CMenu::FromHandle(menu)->GetMenuString(static_cast<UINT>(i), strText, MF_BYPOSITION);
                         text = strText.GetString();
                         GetMenuItemRect(nullptr, menu, static_cast<UINT>(i), &item);
                         ::GetWindowRect(hPopup, &popup);
                     }
             }
             cairo_surface_destroy(Shot("recent-projects-menu"));
             ClickAt(item.CenterPoint(), 1, 1);
         });
    ASSERT_TRUE(StepsTaken());
    CProjectSettings* pSettings = nullptr;
    CString strOpened;
    ASSERT_TRUE(RunUntil([&] {
        return app->GetProjectSettings(pSettings) == 0 && pSettings->GetProjectFilePath(strOpened) == 0 &&
               strOpened == deep.c_str() && View() != nullptr && View()->GetRowCount() == 2;
    })) << "the project opened is " << strOpened.GetString();

    EXPECT_GE(popup.left, 0);
    EXPECT_LE(popup.right, GetSystemMetrics(SM_CXSCREEN)) << "the menu is wider than the screen: " << popup.Width();
    EXPECT_LE(item.right, popup.right);
    // The item names the project whole after the start of its path, the middle left out.
    EXPECT_EQ(text.substr(0, 3), "&2 ");
    EXPECT_EQ(text.substr(3, 12), dir.Path().substr(0, 12));
    EXPECT_NE(text.find("..."), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - name.size() - 1), "/" + name) << text;
    EXPECT_LT(text.size(), 200u) << text;
}
