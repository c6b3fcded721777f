// The help pages beside the program: every context the program asks for reaches a page and a
// place on it that exist; a dialog's Help button and Help Topics open them in the browser as
// file addresses; a missing page or a browser that cannot start is told with the file named.
#include "tests/app/VostrelAppFixture.h"

#include "app/launch/CHelpTopics.h"
#include "app/values/CKeywordsDlg.h"
#include "app/res/AppRes.h"
#include "engine/meta/CMetaContent.h"
#include "platform/afx/AfxRes.h"

#include <cerrno>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kHelpFolder = std::string(VOSTREL_TESTS_DIR) + "/../app/help";

std::string PageText(const std::string& name)
{
    std::ifstream in(kHelpFolder + "/" + name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class HelpTest : public VostrelAppTest {
protected:
    bool StartWithHelp()
    {
        if (!Start())
            return false;
        app->SetHelpFolder(kHelpFolder.c_str());
        Frame().GetUrlLauncher().SetRunner([this](const std::vector<std::string>& argv, CUrlLauncher::Finished finished) {
            opened.push_back(argv);
            finished(next);
        });
        return true;
    }
    std::vector<std::vector<std::string>> opened;
    CUrlLauncher::Outcome next;
};

} // namespace

// The contexts the dialogs, windows and commands ask for: each reaches a page of its own, and
// the place named on it is there.
TEST(HelpTopicsTest, EveryContextReachesAPageAndAPlaceThatExist)
{
    const DWORD contexts[] = {
        // Dialogs' Help buttons and the property pages.
        0x20082, 0x20086, 0x20087, 0x20088, 0x2008D, 0x2008F, 0x20092, 0x20094, 0x20097, 0x20098, 0x200B0,
        0x2010C,
        // The toolbar customisation: the Toolbars dialog, the Customize sheet's pages, New Toolbar.
        0x2501E, 0x25021, 0x2501D, 0x2501F,
        // Windows: the main window, the grid, the panes, the toolbars, the status bar.
        0x20080, 0x20081, 0x2041A, 0x2041D, 0x2E800, 0x2E805, 0x2E801,
        // Commands, one or more of each group.
        0x10000 + ID_NEW_PROJECT, 0x10000 + ID_SAVE_EDITED_FILES, 0x10000 + ID_FILE_PRINT, 0x10000 + ID_EDIT_FIND,
        0x10000 + ID_FILL_DOWN, 0x10000 + ID_VIEW_WEB_PAGE, 0x10000 + ID_ZOOM_IN, 0x10000 + ID_START_SCAN,
        0x10000 + ID_STOP_SCAN, 0x10000 + ID_METATAG_SETTINGS, 0x10000 + ID_CONTEXT_HELP, 0x10000 + ID_WEB_HOME,
        0x10000 + ID_SYSTEM_INFO};
    for (DWORD dwContext : contexts) {
        const CHelpTopics::Topic topic = CHelpTopics::ForContext(dwContext);
        EXPECT_STRNE(topic.pszFile, "index.html") << std::hex << dwContext << " has no page of its own";
        const std::string text = PageText(topic.pszFile);
        ASSERT_FALSE(text.empty()) << topic.pszFile << " is missing";
        if (topic.pszAnchor[0] != '\0') {
            EXPECT_NE(text.find(std::string("id=\"") + topic.pszAnchor + "\""), std::string::npos)
                << topic.pszFile << " has no place " << topic.pszAnchor;
        }
    }
    EXPECT_STREQ(CHelpTopics::ForContext(0x2FFFF).pszFile, "index.html");
    // Every link between the pages leads to a page that is there.
    for (const char* name : {"index.html", "main-window.html", "keywords.html", "file-commands.html"}) {
        const std::string text = PageText(name);
        for (size_t at = text.find("href=\""); at != std::string::npos; at = text.find("href=\"", at + 1)) {
            const std::string target = text.substr(at + 6, text.find_first_of("\"#", at + 6) - at - 6);
            EXPECT_FALSE(PageText(target).empty()) << name << " links to " << target;
        }
    }
}

// A dialog's Help button opens the dialog's page in the browser; so does Help Topics the
// contents, all without waiting.
TEST_F(HelpTest, TheHelpButtonAndHelpTopicsOpenTheirPagesInTheBrowser)
{
    ASSERT_TRUE(StartWithHelp());
    CMetaContent content;
    content.SetContent("wind");
    CKeywordsDlg dlg;
    dlg.SetContent("Keywords", content);
    bool shown = false;
    FillDialog(*backend, CKeywordsDlg::IDD,
               DialogFill{{}, {}, IDCANCEL, [&](HWND hwnd) { backend->Click(1, dialog_automation::CentreOf(GetDlgItem(hwnd, 9))); }},
               &shown);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(shown);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], (std::vector<std::string>{"xdg-open", "file://" + kHelpFolder + "/keywords.html"}));

    Frame().SendMessage(WM_COMMAND, ID_HELP_FINDER);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[1][1], "file://" + kHelpFolder + "/index.html");
}

// No browser: the user is told the page's file, to open by hand. No page: said with its path.
TEST_F(HelpTest, WithoutABrowserOrAPageTheFileIsNamed)
{
    ASSERT_TRUE(StartWithHelp());
    next = CUrlLauncher::Outcome{ENOENT, 0};
    SeenMessageBox seen;
    AnswerBox(*backend, IDOK, &seen);
    app->WinHelp(0x20000 + 151, HELP_CONTEXT);
    backend->ProcessMessages();
    ASSERT_TRUE(seen.seen);
    EXPECT_NE(seen.text.find("No browser could be started"), std::string::npos) << seen.text;
    EXPECT_NE(seen.text.find(kHelpFolder + "/date.html"), std::string::npos) << seen.text;

    app->SetHelpFolder("/nonexistent/help");
    SeenMessageBox missing;
    AnswerBox(*backend, IDOK, &missing);
    app->WinHelp(0x20000 + 151, HELP_CONTEXT);
    backend->ProcessMessages();
    ASSERT_TRUE(missing.seen);
    EXPECT_EQ(missing.text, "The help page '/nonexistent/help/date.html' is not installed.");
    EXPECT_EQ(opened.size(), 1u);
}
