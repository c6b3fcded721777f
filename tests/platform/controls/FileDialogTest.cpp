// The open and save dialogs: filters in both forms, what a folder lists, what a typed name
// means, the checks and prompts of the flags, and folders gone through by keyboard.
#include "platform/controls/FileDialog.h"
#include "platform/controls/FileDialogModel.h"
#include "tests/platform/controls/ControlsFixture.h"
#include "tests/support/CommonDialogAutomation.h"
#include "tests/support/ScopedTempDir.h"

#include <cstring>
#include <filesystem>

namespace {

const char kProjectFilter[] = "Metatag Project Files (*.vsp)|*.vsp|All Files (*.*)|*.*||";

// A folder of a project: files of two kinds, a hidden file and folder, and sub-folders.
void MakeProjectFolder(const ScopedTempDir& dir)
{
    dir.WriteFile("site.vsp", "v");
    dir.WriteFile("old.vsp", "v");
    dir.WriteFile("notes.txt", "t");
    dir.WriteFile(".hidden.vsp", "h");
    std::filesystem::create_directories(dir.File("pages/archive"));
    std::filesystem::create_directories(dir.File(".cache"));
    dir.WriteFile("pages/index.vsp", "v");
}

class FileDialogTest : public ControlsTest {
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        m_cwd = std::filesystem::current_path();
        MakeProjectFolder(dir);
        filter = FileFiltersFromBars(kProjectFilter);
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = parent;
        ofn.lpstrFilter = filter.c_str();
        ofn.lpstrFile = file;
        ofn.nMaxFile = sizeof file;
        ofn.lpstrInitialDir = dir.Path().c_str();
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_cwd);
        ControlsTest::TearDown();
    }

    ScopedTempDir dir;
    std::string filter;
    char file[512] = {};
    OPENFILENAME ofn{};
    std::filesystem::path m_cwd;
};

} // namespace

TEST(FileDialogModelTest, ReadsBothFilterFormsAndMatchesPatterns)
{
    const std::string raw = FileFiltersFromBars("Web Pages (*.htm;*.html)|*.htm; *.html|All Files (*.*)|*.*||");
    const char expected[] = "Web Pages (*.htm;*.html)\0*.htm; *.html\0All Files (*.*)\0*.*\0";
    EXPECT_EQ(raw, std::string(expected, sizeof expected));
    const std::vector<FileFilter> filters = ParseFileFilters(raw.c_str());
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].text, "Web Pages (*.htm;*.html)");
    EXPECT_EQ(filters[0].patterns, (std::vector<std::string>{"*.htm", "*.html"}));
    EXPECT_EQ(filters[1].patterns, (std::vector<std::string>{"*.*"}));
    // The raw form as a caller writes it, and a list cut after a text.
    EXPECT_EQ(ParseFileFilters("Text\0*.txt\0Dangling\0\0").size(), 1u);
    EXPECT_TRUE(ParseFileFilters(nullptr).empty());
    // A list given without its closing bars still ends with two NULs.
    EXPECT_EQ(FileFiltersFromBars("A|*.a"), std::string("A\0*.a\0\0", 7));

    EXPECT_TRUE(MatchesFilePattern("README", "*.*"));
    EXPECT_TRUE(MatchesFilePattern("site.vsp", "*.vsp"));
    EXPECT_FALSE(MatchesFilePattern("site.vsp.bak", "*.vsp"));
    EXPECT_TRUE(MatchesFilePattern("SITE.VSP", "*.vsp"));
    EXPECT_TRUE(MatchesFilePattern("VOSTREL.VSL", "*.vsl"));
    EXPECT_FALSE(MatchesFilePattern("VOSTREL.VSL.damaged", "*.vsl"));
    EXPECT_TRUE(MatchesFilePattern("a1.txt", "a?.txt"));
}

TEST(FileDialogModelTest, ListsAFolderAndInterpretsTypedNames)
{
    ScopedTempDir dir;
    MakeProjectFolder(dir);
    FileDialogModel save(FileDialogModel::Mode::Save, OFN_OVERWRITEPROMPT | OFN_CREATEPROMPT,
                         ParseFileFilters(FileFiltersFromBars(kProjectFilter).c_str()), ".vsp");
    ASSERT_TRUE(save.SetFolder(dir.Path()));
    EXPECT_EQ(save.Folders(), (std::vector<std::string>{"pages"}));
    EXPECT_EQ(save.Files(), (std::vector<std::string>{"old.vsp", "site.vsp"}));
    save.SetFilterIndex(1);
    EXPECT_EQ(save.Files(), (std::vector<std::string>{"notes.txt", "old.vsp", "site.vsp"}));
    EXPECT_FALSE(save.SetFolder(dir.File("missing")));
    EXPECT_EQ(save.Folder(), dir.Path());

    // A name without an extension gets the default one in a save dialog.
    FileDialogModel::Typed t = save.Interpret("new");
    EXPECT_EQ(t.intent, FileDialogModel::Intent::Choose);
    EXPECT_EQ(t.path, dir.File("new.vsp"));
    EXPECT_EQ(save.Interpret("new.txt").path, dir.File("new.txt"));
    EXPECT_EQ(save.Interpret("  ").intent, FileDialogModel::Intent::Nothing);
    t = save.Interpret("pages/../pages");
    EXPECT_EQ(t.intent, FileDialogModel::Intent::GoTo);
    EXPECT_EQ(t.path, dir.File("pages"));
    t = save.Interpret("pages/*.vsp");
    EXPECT_EQ(t.intent, FileDialogModel::Intent::Filter);
    EXPECT_EQ(t.path, dir.File("pages"));
    EXPECT_EQ(t.pattern, "*.vsp");
    EXPECT_EQ(save.Interpret("/").intent, FileDialogModel::Intent::GoTo);

    // The checks: overwrite asks, a new name asks to create, a missing folder refuses.
    EXPECT_EQ(save.Validate(dir.File("site.vsp")), FileDialogModel::Check::AskOverwrite);
    EXPECT_EQ(save.Validate(dir.File("new.vsp")), FileDialogModel::Check::AskCreate);
    EXPECT_EQ(save.Validate(dir.File("none/new.vsp")), FileDialogModel::Check::PathMissing);

    // An open dialog keeps a name that exists as typed, and refuses what must exist.
    dir.WriteFile("Makefile", "m");
    FileDialogModel open(FileDialogModel::Mode::Open, OFN_FILEMUSTEXIST, {}, "vsp");
    ASSERT_TRUE(open.SetFolder(dir.Path()));
    EXPECT_EQ(open.Interpret("Makefile").path, dir.File("Makefile"));
    EXPECT_EQ(open.Interpret("site").path, dir.File("site.vsp"));
    EXPECT_EQ(open.Validate(dir.File("gone.vsp")), FileDialogModel::Check::FileMissing);
    EXPECT_EQ(open.Validate(dir.File("site.vsp")), FileDialogModel::Check::Accept);
    FileDialogModel loose(FileDialogModel::Mode::Save, 0, {}, "");
    EXPECT_EQ(loose.Validate(dir.File("none/new.vsp")), FileDialogModel::Check::Accept);
}

TEST_F(FileDialogTest, OpensAChosenFileShowingOnlyMatchingVisibleFiles)
{
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    SeenFileDialog seen;
    PickFile(*backend, "site", &seen);
    ofn.lpstrDefExt = "vsp";
    char title[64] = {};
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = sizeof title;
    ASSERT_TRUE(GetOpenFileName(&ofn));
    EXPECT_EQ(std::string(file), dir.File("site.vsp"));
    EXPECT_EQ(std::string(title), "site.vsp");
    EXPECT_EQ(std::string(file + ofn.nFileOffset), "site.vsp");
    EXPECT_EQ(std::string(file + ofn.nFileExtension), "vsp");
    EXPECT_EQ(ofn.nFilterIndex, 1u);
    EXPECT_FALSE(ofn.Flags & OFN_EXTENSIONDIFFERENT);
    ASSERT_TRUE(seen.seen);
    EXPECT_EQ(seen.caption, "Open");
    EXPECT_EQ(seen.folder, dir.Path());
    EXPECT_EQ(seen.files, (std::vector<std::string>{"old.vsp", "site.vsp"}));
    EXPECT_EQ(seen.types, (std::vector<std::string>{"Metatag Project Files (*.vsp)", "All Files (*.*)"}));
    // The process's current folder stays; without OFN_NOCHANGEDIR the next dialog that names no
    // folder opens where the choice was.
    EXPECT_EQ(std::filesystem::current_path(), m_cwd);
    SeenFileDialog next;
    PickFile(*backend, "", &next);
    OPENFILENAME nameless = ofn;
    nameless.lpstrInitialDir = nullptr;
    file[0] = '\0';
    EXPECT_FALSE(GetOpenFileName(&nameless));
    EXPECT_EQ(next.folder, dir.Path());

    // Esc cancels with no error; a record of the wrong size is refused before anything shows.
    PickFile(*backend, "");
    EXPECT_FALSE(GetOpenFileName(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    OPENFILENAME wrong = ofn;
    wrong.lStructSize = 12;
    EXPECT_FALSE(GetOpenFileName(&wrong));
    EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(CDERR_STRUCTSIZE));
}

TEST_F(FileDialogTest, MustExistRulesKeepTheDialogOpenUntilANameIsGood)
{
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;
    SeenMessageBox missing, noPath;
    PickFile(*backend, "gone.vsp");
    AnswerMessageBox(*backend, IDOK, &missing);
    PickFile(*backend, dir.File("nowhere/site.vsp"));
    AnswerMessageBox(*backend, IDOK, &noPath);
    PickFile(*backend, "old.vsp");
    ASSERT_TRUE(GetOpenFileName(&ofn));
    EXPECT_EQ(std::string(file), dir.File("old.vsp"));
    EXPECT_EQ(missing.text, "gone.vsp\nFile not found.\nCheck the file name and try again.");
    EXPECT_EQ(missing.caption, "Open");
    EXPECT_EQ(noPath.text, dir.File("nowhere/site.vsp") + "\nPath does not exist.\nCheck the path and try again.");
    EXPECT_EQ(std::filesystem::current_path(), m_cwd);

    // A buffer too small for the path says how much it needs.
    char small[8] = {};
    ofn.lpstrFile = small;
    ofn.nMaxFile = sizeof small;
    PickFile(*backend, "site.vsp");
    EXPECT_FALSE(GetOpenFileName(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
    WORD needed = 0;
    std::memcpy(&needed, small, sizeof needed);
    EXPECT_EQ(needed, dir.File("site.vsp").size() + 1);
}

TEST_F(FileDialogTest, SavePromptsBeforeReplacingOrCreatingAndAddsTheDefaultExtension)
{
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_CREATEPROMPT | OFN_NOCHANGEDIR;
    ofn.lpstrDefExt = ".vsp";
    ofn.lpstrTitle = "Save Project As";
    SeenMessageBox replace, create;
    PickFile(*backend, "site");                 // exists once the extension is added
    AnswerMessageBox(*backend, IDNO, &replace);  // keeps the old file: the dialog stays
    PickFile(*backend, "fresh");
    AnswerMessageBox(*backend, IDYES, &create);
    ASSERT_TRUE(GetSaveFileName(&ofn));
    EXPECT_EQ(std::string(file), dir.File("fresh.vsp"));
    EXPECT_EQ(replace.text, "site.vsp already exists.\nDo you want to replace it?");
    EXPECT_EQ(replace.caption, "Save Project As");
    EXPECT_EQ(replace.buttons, (std::vector<std::string>{"&Yes", "&No"}));
    EXPECT_EQ(create.text, "fresh.vsp\nThis file does not exist.\nDo you want to create it?");

    // Yes to the replace prompt takes the existing file; another extension is reported.
    PickFile(*backend, "notes.txt");
    AnswerMessageBox(*backend, IDYES);
    ASSERT_TRUE(GetSaveFileName(&ofn));
    EXPECT_EQ(std::string(file), dir.File("notes.txt"));
    EXPECT_TRUE(ofn.Flags & OFN_EXTENSIONDIFFERENT);
    EXPECT_EQ(ofn.nFilterIndex, 1u);
}

TEST_F(FileDialogTest, GoesThroughFoldersByKeyboardAndListsByATypedPattern)
{
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    std::vector<std::string> afterPattern, afterDown, tree;
    std::string folderAfterUp, folderAfterTyped;
    auto files = [](HWND dlg) {
        std::vector<std::string> names;
        char text[256];
        HWND list = GetDlgItem(dlg, lst1);
        for (int i = 0; i < SendMessage(list, LB_GETCOUNT, 0, 0); ++i) {
            SendMessage(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            names.push_back(text);
        }
        return names;
    };
    using namespace dialog_automation;
    // Typing a folder and Enter goes there; a pattern lists by it.
    PickFile(*backend, "pages");
    backend->WhenIdle([&] {
        HWND dlg = OpenFileDialog();
        folderAfterTyped = TextOf(GetDlgItem(dlg, stc1));
        Type(*backend, "*.*");
        backend->Key(VK_RETURN, "\r");
    });
    // Tab to the folder tree, Up selects the parent, Enter opens it.
    backend->WhenIdle([&] {
        HWND dlg = OpenFileDialog();
        afterPattern = files(dlg);
        SetFocus(GetDlgItem(dlg, edt1));
        backend->Key(VK_TAB);   // the file list
        backend->Key(VK_TAB);   // the folder tree
        backend->Key(VK_UP);
        backend->Key(VK_RETURN, "\r");
    });
    // Down then Enter opens the first sub-folder of the one shown.
    backend->WhenIdle([&] {
        HWND dlg = OpenFileDialog();
        folderAfterUp = TextOf(GetDlgItem(dlg, stc1));
        HWND list = GetDlgItem(dlg, lst2);
        char text[256];
        for (int i = 0; i < SendMessage(list, LB_GETCOUNT, 0, 0); ++i) {
            SendMessage(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            tree.push_back(text);
        }
        backend->Key(VK_DOWN);
        backend->Key(VK_RETURN, "\r");
    });
    backend->WhenIdle([&] {
        HWND dlg = OpenFileDialog();
        afterDown = {TextOf(GetDlgItem(dlg, stc1))};
        backend->Key(VK_ESCAPE, "\x1b");
    });
    EXPECT_FALSE(GetOpenFileName(&ofn));
    EXPECT_EQ(folderAfterTyped, dir.File("pages"));
    EXPECT_EQ(afterPattern, (std::vector<std::string>{"index.vsp"}));
    EXPECT_EQ(folderAfterUp, dir.Path());
    // The tree shows the way down from the root, then the folder's own sub-folders.
    ASSERT_GE(tree.size(), 3u);
    EXPECT_EQ(tree.front(), "/");
    EXPECT_EQ(tree[tree.size() - 2], std::filesystem::path(dir.Path()).filename().string());
    EXPECT_EQ(tree.back(), "pages");
    EXPECT_EQ(afterDown, (std::vector<std::string>{dir.File("pages")}));
}
