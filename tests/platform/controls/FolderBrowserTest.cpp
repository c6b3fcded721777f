// The folder browser: a folder picked by opening the tree with the mouse and keyboard, the
// callback's notifications and messages, and the ID lists it hands out.
#include "platform/controls/FolderBrowser.h"
#include "platform/core/WinError.h"
#include "tests/platform/controls/ControlsFixture.h"
#include "tests/support/CommonDialogAutomation.h"
#include "tests/support/ScopedTempDir.h"

#include <filesystem>

namespace {

struct BrowseLog {
    std::vector<std::string> changes;
    std::string initialSelection;   // a path to select on BFFM_INITIALIZED
    BOOL selectionResult = -1;
    BOOL outsideResult = -1;
    std::string outside;
    std::string tree;               // the tree's entries after initialisation, one per line
};

int CALLBACK BrowseCallback(HWND hwnd, UINT message, LPARAM lParam, LPARAM data)
{
    auto* log = reinterpret_cast<BrowseLog*>(data);
    if (message == BFFM_SELCHANGED) {
        char path[MAX_PATH];
        if (SHGetPathFromIDList(reinterpret_cast<LPCITEMIDLIST>(lParam), path))
            log->changes.push_back(path);
    } else if (message == BFFM_INITIALIZED) {
        SendMessage(hwnd, BFFM_SETSTATUSTEXT, 0, reinterpret_cast<LPARAM>("Choose the project's folder"));
        if (!log->outside.empty())
            log->outsideResult = static_cast<BOOL>(
                SendMessage(hwnd, BFFM_SETSELECTION, TRUE, reinterpret_cast<LPARAM>(log->outside.c_str())));
        if (!log->initialSelection.empty()) {
            LPITEMIDLIST pidl = ILCreateFromPath(log->initialSelection.c_str());
            log->selectionResult = static_cast<BOOL>(SendMessage(hwnd, BFFM_SETSELECTION, FALSE, reinterpret_cast<LPARAM>(pidl)));
            ILFree(pidl);
        }
        HWND list = GetDlgItem(hwnd, lst2);
        char text[256];
        for (int i = 0; i < SendMessage(list, LB_GETCOUNT, 0, 0); ++i) {
            SendMessage(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            log->tree += std::string(text) + "\n";
        }
    }
    return 0;
}

class FolderBrowserTest : public ControlsTest {
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        std::filesystem::create_directories(dir.File("site/pages/archive"));
        std::filesystem::create_directories(dir.File("site/images"));
        std::filesystem::create_directories(dir.File(".git"));
        dir.WriteFile("site/index.html", "x");
        info.hwndOwner = parent;
        info.pszDisplayName = name;
        info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
        info.lpfn = BrowseCallback;
        info.lParam = reinterpret_cast<LPARAM>(&log);
    }
    std::string PathOf(LPITEMIDLIST pidl)
    {
        char path[MAX_PATH] = "unchanged";
        const BOOL ok = SHGetPathFromIDList(pidl, path);
        CoTaskMemFree(pidl);
        return ok ? path : "";
    }

    ScopedTempDir dir;
    char name[MAX_PATH] = {};
    BrowseLog log;
    BROWSEINFO info{};
};

} // namespace

TEST_F(FolderBrowserTest, PicksAFolderByOpeningTheTreeDownToIt)
{
    LPITEMIDLIST root = ILCreateFromPath(dir.Path().c_str());
    info.pidlRoot = root;
    info.lpszTitle = "Project directory:";
    PickFolder(*backend, dir.File("site/pages/archive"));
    LPITEMIDLIST picked = SHBrowseForFolder(&info);
    char path[MAX_PATH] = {};
    ASSERT_TRUE(SHGetPathFromIDList(picked, path));
    EXPECT_EQ(std::string(path), dir.File("site/pages/archive"));
    EXPECT_STREQ(name, "archive");
    // Callers free the list with the shell's allocator.
    LPMALLOC shell = nullptr;
    ASSERT_EQ(SHGetMalloc(&shell), S_OK);
    shell->Free(picked);
    shell->Release();
    // The tree starts at the root with its visible sub-folders; each step was reported.
    EXPECT_EQ(log.tree, dir.Path() + "\nsite\n");
    EXPECT_EQ(log.changes, (std::vector<std::string>{dir.File("site"), dir.File("site/pages"),
                                                     dir.File("site/pages/archive")}));

    // Cancel gives nothing and leaves the name alone.
    name[0] = '\0';
    PickFolder(*backend, "");
    EXPECT_EQ(SHBrowseForFolder(&info), nullptr);
    EXPECT_STREQ(name, "");
    ILFree(root);
}

TEST_F(FolderBrowserTest, TheCallbackSelectsAFolderAndOnlyOneUnderTheRoot)
{
    LPITEMIDLIST root = ILCreateFromPath(dir.File("site").c_str());
    info.pidlRoot = root;
    log.initialSelection = dir.File("site/images");
    log.outside = dir.Path();
    std::string status, shownPath, tree;
    dialog_automation::WhenWindowOpens(
        *backend, [] { return dialog_automation::OpenFolderBrowser(); },
        [&](HWND dlg) {
            status = dialog_automation::TextOf(GetDlgItem(dlg, stc3));
            shownPath = dialog_automation::TextOf(GetDlgItem(dlg, stc1));
            backend->Key(VK_RETURN, "\r");   // the selected folder is already open: Enter chooses it
        },
        nullptr);
    EXPECT_EQ(PathOf(SHBrowseForFolder(&info)), dir.File("site/images"));
    EXPECT_EQ(log.selectionResult, TRUE);
    EXPECT_EQ(log.outsideResult, FALSE);
    EXPECT_EQ(status, "Choose the project's folder");
    EXPECT_EQ(shownPath, dir.File("site/images"));
    ILFree(root);

    // A hidden folder is left out of the tree, but one asked for is opened and chosen.
    info.pidlRoot = nullptr;
    log.initialSelection = dir.File(".git");
    log.outside.clear();
    dialog_automation::WhenWindowOpens(
        *backend, [] { return dialog_automation::OpenFolderBrowser(); },
        [&](HWND) { backend->Key(VK_RETURN, "\r"); }, nullptr);
    EXPECT_EQ(PathOf(SHBrowseForFolder(&info)), dir.File(".git"));
    EXPECT_EQ(log.selectionResult, TRUE);

    // ID lists: only absolute paths, and a path too long for MAX_PATH is refused, not cut.
    EXPECT_EQ(ILCreateFromPath("relative/path"), nullptr);
    const std::string longPath = "/" + std::string(MAX_PATH, 'x');
    LPITEMIDLIST tooLong = ILCreateFromPath(longPath.c_str());
    char out[MAX_PATH] = "old";
    EXPECT_FALSE(SHGetPathFromIDList(tooLong, out));
    EXPECT_STREQ(out, "");
    ILFree(tooLong);
    EXPECT_FALSE(SHGetPathFromIDList(nullptr, out));
}
