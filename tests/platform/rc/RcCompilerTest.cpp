// The compiler's errors, each naming its file and line, the build failing on a duplicate, and
// the built-in names agreeing with the window layer's headers.
#include "platform/rc/RcCompiler.h"

#include "platform/win/VirtualKeys.h"
#include "platform/win/WinUser.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;

namespace {

class RcCompilerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("rc_test_" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        fs::copy_file(fs::path(VOSTREL_TESTS_DIR) / "platform/rc/data/drag.png", m_dir / "drag.png",
                      fs::copy_options::overwrite_existing);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    void Write(const std::string& name, const std::string& text)
    {
        std::ofstream(m_dir / name, std::ios::binary) << text;
    }

    // Compiles a script; the error's "file:line: message" with the file's name only, or "" on success.
    std::string Error(const std::string& script, const std::map<std::string, std::string>& others = {})
    {
        for (const auto& [name, text] : others)
            Write(name, text);
        Write("test.rc", script);
        try {
            m_result = rc::CompileResourceScript(m_dir / "test.rc", {});
        } catch (const rc::RcError& error) {
            EXPECT_EQ(std::string(error.what()).find(error.File() + ":" + std::to_string(error.Line()) + ": error: "), 0u);
            return fs::path(error.File()).filename().string() + ":" + std::to_string(error.Line()) + ": "
                + error.Message();
        }
        return "";
    }

    fs::path m_dir;
    rc::CompileResult m_result;
};

} // namespace

TEST_F(RcCompilerTest, ErrorsNameTheFileAndLine)
{
    struct Case {
        const char* script;
        const char* error;
    };
    const Case cases[] = {
        {"1 DIALOG 0, 0, 10, 10\nBEGIN\n  LTEXT \"a\", IDC_NOPE, 0, 0, 5, 5\nEND\n",
         "test.rc:3: undefined symbol 'IDC_NOPE'"},
        {"1 DIALOG 0, 0, 10, 10\nBEGIN\n  BUTTONX \"a\", 1, 0, 0, 5, 5\nEND\n",
         "test.rc:3: expected a control statement (CONTROL, LTEXT, EDITTEXT, ...), found 'BUTTONX'"},
        {"STRINGTABLE\nBEGIN\n  1 \"one\"\n  2 \"two\n  END\n", "test.rc:4: string is not closed"},
        {"STRINGTABLE\nBEGIN\n  1 \"one\"\n", "test.rc:3: expected END or } before the end of the input"},
        {"\n\n/* never\n closed", "test.rc:3: comment is not closed"},
        {"#include \"missing.h\"\n", "test.rc:1: cannot find the included file \"missing.h\""},
        {"#include \"bad.h\"\n", "bad.h:3: #error broken header"},
        {"#if 1\n1 RCDATA { 1 }\n", "test.rc:2: #if without #endif"},
        {"#define F(x) x\n1 RCDATA { F(2) }\n",
         "test.rc:2: the macro F(...) takes arguments, which scripts do not support"},
        {"1 MENU\nBEGIN\n  POPUP \"&File\"\n  BEGIN\n  END\nEND\n", "test.rc:3: the pop-up \"&File\" has no items"},
        {"1 ACCELERATORS\nBEGIN\n  \"a\", 5, SHIFT\nEND\n", "test.rc:3: SHIFT and CONTROL apply to VIRTKEY accelerators only"},
        {"1 ACCELERATORS\nBEGIN\n  \"ab\", 5\nEND\n",
         "test.rc:3: an accelerator key is one character or ^ and a letter, not \"ab\""},
        {"1 BITMAP \"test.rc\"\n", "test.rc:1: \"test.rc\" is not a PNG image"},
        {"1 CURSOR \"drag.png\" 16, 2\n", "test.rc:1: the hot spot 16, 2 lies outside the 16x16 image"},
        {"1 ICON \"nothere.png\"\n", "test.rc:1: cannot find the file \"nothere.png\""},
        {"1 DLGINIT\nBEGIN\n 1000, 0x403, 9, 0, 0x41\nEND\n",
         "test.rc:1: the DLGINIT data of 1 is not a list of control id, message, length and data ended by 0"},
        {"70000 RCDATA { 1 }\n", "test.rc:1: resource id 70000 is out of range (0 to 65535)"},
        {"1 TOOLBAR 16, 15\nBEGIN\n  BUTTON 0\nEND\n", "test.rc:3: toolbar button id 0 is out of range (1 to 65535)"},
        {"1 DIALOG 0, 0, 10, 10\nBEGIN\n  EDITTEXT 70000, 0, 0, 5, 5\nEND\n",
         "test.rc:3: control id 70000 does not fit in a DIALOG's 16 bits"},
        {"1 RCDATA { 1 / (2 - 2) }\n", "test.rc:1: division by zero"},
        // A device would never end: only regular files are read.
        {"\n1 RCDATA \"/dev/zero\"\n", "test.rc:2: cannot find the file \"/dev/zero\""},
        {"#include \"/dev/zero\"\n", "test.rc:1: cannot find the included file \"/dev/zero\""},
    };
    const std::map<std::string, std::string> headers = {{"bad.h", "#define A 1\n#if A\n#error broken header\n#endif\n"}};
    for (const Case& c : cases)
        EXPECT_EQ(Error(c.script, headers), c.error) << c.script;

    // Each macro naming the one before twice: the line would double at every level.
    std::string doubling = "#define A0 1\n";
    for (int i = 1; i <= 30; ++i)
        doubling += "#define A" + std::to_string(i) + " A" + std::to_string(i - 1) + " A" + std::to_string(i - 1) + "\n";
    EXPECT_EQ(Error(doubling + "1 RCDATA { A30 }\n"), "test.rc:32: the macros on this line expand to more than 100000 tokens");
}

TEST_F(RcCompilerTest, DuplicatesAreErrorsAcrossStatementsButNotAcrossTypes)
{
    EXPECT_EQ(Error("#define IDD_A 5\nIDD_A DIALOG 0,0,1,1 BEGIN END\n5 MENU BEGIN MENUITEM \"x\", 1 END\n"
                    "5 ACCELERATORS BEGIN \"a\", 1 END\n5 TOOLBAR 1, 1 BEGIN SEPARATOR END\n"),
              "");
    ASSERT_EQ(m_result.resources.size(), 4u);
    EXPECT_EQ(Error("5 DIALOG 0,0,1,1 BEGIN END\n\n(4 + 1) DIALOGEX 0,0,1,1 BEGIN END\n"),
              "test.rc:3: duplicate DIALOG resource 5 (the first is at " + (m_dir / "test.rc").string() + ":1)");
    EXPECT_EQ(Error("SAMPLE OWN { 1 }\nsample own { 2 }\n"),
              "test.rc:2: duplicate \"OWN\" resource \"SAMPLE\" (the first is at " + (m_dir / "test.rc").string() + ":1)");
    EXPECT_EQ(Error("STRINGTABLE { 16 \"a\" }\n#include \"more.rc\"\n", {{"more.rc", "\nSTRINGTABLE { 17 \"b\" 16 \"c\" }\n"}}),
              "more.rc:2: duplicate string id 16 (the first is at " + (m_dir / "test.rc").string() + ":1)");
    // Strings of several tables share one block; neighbours in a block are not duplicates.
    EXPECT_EQ(Error("STRINGTABLE { 16 \"a\" }\nSTRINGTABLE { 17 \"b\" }\n"), "");
    ASSERT_EQ(m_result.resources.size(), 1u);
    EXPECT_EQ(m_result.resources[0].name.id, 2);
}

TEST_F(RcCompilerTest, TheToolFailsTheBuildAndLeavesNoOutputOnAnError)
{
    const std::string out = (m_dir / "out.cpp").string();
    auto run = [&](const std::string& script) {
        Write("tool.rc", script);
        const std::string command = std::string(VOSTREL_RC_TOOL) + " --module sample -o " + out + " --depfile "
            + out + ".d " + (m_dir / "tool.rc").string() + " 2>" + (m_dir / "stderr.txt").string();
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    ASSERT_EQ(run("1 RCDATA { 1 }\n"), 0);
    ASSERT_TRUE(fs::exists(out));
    EXPECT_TRUE(fs::exists(out + ".d"));
    std::ifstream generated(out);
    std::string source((std::istreambuf_iterator<char>(generated)), std::istreambuf_iterator<char>());
    EXPECT_NE(source.find("vostrel_resources_sample_anchor"), std::string::npos);

    EXPECT_EQ(run("1 RCDATA { 1 }\n\n1 RCDATA { 2 }\n"), 1);
    EXPECT_FALSE(fs::exists(out)); // a stale table must not be linked
    std::ifstream err(m_dir / "stderr.txt");
    std::string message;
    std::getline(err, message);
    EXPECT_EQ(message, (m_dir / "tool.rc").string() + ":3: error: duplicate RCDATA resource 1 (the first is at "
                           + (m_dir / "tool.rc").string() + ":1)");
    EXPECT_EQ(run("1 RCDATA { 1 }\n"), 0);
    EXPECT_EQ(std::system((std::string(VOSTREL_RC_TOOL) + " --module 'not ok' -o " + out + " "
                           + (m_dir / "tool.rc").string() + " 2>/dev/null").c_str()) == 0,
              false);
}

TEST(RcBuiltinSymbols, AgreeWithTheWindowLayersHeaders)
{
    struct Known {
        const char* name;
        unsigned long value;
    };
#define KNOWN(x) {#x, static_cast<unsigned long>(static_cast<DWORD>(x))}
    const Known known[] = {
        KNOWN(WS_POPUP), KNOWN(WS_CHILD), KNOWN(WS_VISIBLE), KNOWN(WS_DISABLED), KNOWN(WS_CLIPSIBLINGS),
        KNOWN(WS_CLIPCHILDREN), KNOWN(WS_CAPTION), KNOWN(WS_BORDER), KNOWN(WS_DLGFRAME), KNOWN(WS_VSCROLL),
        KNOWN(WS_HSCROLL), KNOWN(WS_SYSMENU), KNOWN(WS_THICKFRAME), KNOWN(WS_GROUP), KNOWN(WS_TABSTOP),
        KNOWN(WS_MINIMIZEBOX), KNOWN(WS_MAXIMIZEBOX), KNOWN(WS_OVERLAPPEDWINDOW), KNOWN(WS_POPUPWINDOW),
        KNOWN(WS_EX_DLGMODALFRAME), KNOWN(WS_EX_NOPARENTNOTIFY), KNOWN(WS_EX_TOPMOST), KNOWN(WS_EX_TOOLWINDOW),
        KNOWN(WS_EX_WINDOWEDGE), KNOWN(WS_EX_CLIENTEDGE), KNOWN(WS_EX_STATICEDGE), KNOWN(WS_EX_CONTROLPARENT),
        KNOWN(WS_EX_APPWINDOW), KNOWN(VK_BACK), KNOWN(VK_TAB), KNOWN(VK_RETURN), KNOWN(VK_ESCAPE),
        KNOWN(VK_SPACE), KNOWN(VK_PRIOR), KNOWN(VK_NEXT), KNOWN(VK_END), KNOWN(VK_HOME), KNOWN(VK_LEFT),
        KNOWN(VK_DOWN), KNOWN(VK_INSERT), KNOWN(VK_DELETE), KNOWN(VK_F1), KNOWN(VK_F10), KNOWN(VK_F12),
        KNOWN(VK_ADD), KNOWN(VK_SUBTRACT), KNOWN(VK_MULTIPLY), KNOWN(VK_DIVIDE), KNOWN(VK_NUMPAD0),
    };
#undef KNOWN
    for (const Known& k : known) {
        std::string text;
        ASSERT_TRUE(rc::LookupBuiltinSymbol(k.name, text)) << k.name;
        EXPECT_EQ(std::stoul(text, nullptr, 0), k.value) << k.name;
    }
}
