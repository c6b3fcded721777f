// The main window as the user meets it on a real X server: started with a project, the current
// cell, the value field, zoom, panes shown and hidden, and what comes back after a restart.
#include "MainWindowX11Fixture.h"

namespace fs = std::filesystem;

TEST_F(MainWindowX11Test, AProjectNamedOnTheCommandLineOpensWithoutTheChooser)
{
    MakeSite(3);
    WriteProject({"Description", "Keywords"});
    const std::string seen = dir.Path() + "/chooser-seen";
    WatchForWindow("^New$", seen);

    ASSERT_TRUE(StartWithProject(3));
    CString strTitle;
    Frame().GetWindowText(strTitle);
    EXPECT_NE(std::string(strTitle).find("site.vsp"), std::string::npos) << strTitle.GetString();
    EXPECT_TRUE(Xdo("search --sync --onlyvisible --name 'site.vsp'")) << "the main window shows the project's name";
    EXPECT_FALSE(fs::exists(seen)) << "the File New chooser was shown";
}
