// The sweep of the copies interrupted saves left: which copies and which backup names it takes,
// and which it leaves to the saves that still run.
#include "engine/project/SaveCopies.h"

#include "engine/EngineTestSupport.h"
#include "support/RequiredTools.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace enginetest;
namespace fs = std::filesystem;

namespace {

const std::string kSweepPage = "<html><head><title>T</title></head><body>text</body></html>";

class SaveCopiesSweepTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        VOSTREL_REQUIRE(MarksMissingIn(TempDir()));
    }

    // A copy of the folder with the mark; the backup name the mark notes follows the page's name.
    void Copy(const std::string& name, const std::string& strMark, const std::string& page = std::string())
    {
        const fs::path copy = TempDir() / name;
        WriteFileBytes(copy, "the copy's text");
        std::string strValue = strMark;
        if (!page.empty())
            strValue += std::string(1, '\0') + page + std::string(1, '\0') + page + ".old";
        ASSERT_EQ(setxattr(copy.c_str(), "user.vostrel.save-copy", strValue.data(), strValue.size(), 0), 0);
    }

    // A page whose backup name is a second name of the page itself, as a save makes it just
    // before it puts its copy in the page's place.
    void PageWithItselfAsBackup(const std::string& page)
    {
        WriteFileBytes(TempDir() / page, kSweepPage);
        fs::create_hard_link(TempDir() / page, TempDir() / (page + ".old"));
    }

    bool BackupIsThePage(const std::string& page)
    {
        std::error_code error;
        return fs::equivalent(TempDir() / page, TempDir() / (page + ".old"), error);
    }
};

// The mark of a process that has ended and been reaped.
std::string GoneProcessMark()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    int nStatus = 0;
    waitpid(child, &nStatus, 0);
    return std::to_string(child) + " 1";
}

TEST_F(SaveCopiesSweepTest, ABackupNameARunningSaveNotesStaysTheRunningSavesBackup)
{
    // A save was killed after it gave "a.htm.old" to a.htm; a sweep took that name back and
    // removed its copy, and a save begun since has just given the same name to the page again.
    // Another sweep, which listed the killed save's copy before it went, comes to it now.
    PageWithItselfAsBackup("a.htm");
    ASSERT_NO_FATAL_FAILURE(Copy("SAV11.tmp", GoneProcessMark(), "a.htm"));
    ASSERT_NO_FATAL_FAILURE(Copy("SAV12.tmp", LiveCopyMark(), "a.htm"));
    // The same state of a page no running save notes: its name goes.
    PageWithItselfAsBackup("b.htm");
    ASSERT_NO_FATAL_FAILURE(Copy("SAV21.tmp", GoneProcessMark(), "b.htm"));

    EXPECT_EQ(RemoveLeftSaveCopiesIn(TempDir().c_str()), 2u);
    EXPECT_FALSE(fs::exists(TempDir() / "SAV11.tmp"));
    EXPECT_FALSE(fs::exists(TempDir() / "SAV21.tmp"));
    EXPECT_TRUE(fs::exists(TempDir() / "SAV12.tmp"));
    EXPECT_TRUE(BackupIsThePage("a.htm")) << "the running save lost its backup";
    EXPECT_FALSE(fs::exists(TempDir() / "b.htm.old"));
    EXPECT_EQ(ReadFileBytes(TempDir() / "b.htm"), kSweepPage);
}

TEST_F(SaveCopiesSweepTest, ASweepThatCannotRemoveALeftCopyLeavesItsBackupName)
{
    // A folder shared by two users, where only a file's owner removes it (the sticky bit): one
    // user's save was killed there, and the other user's sweep finds its copy. The copy stays,
    // and so does the name it notes: the sweep that removes the copy takes it back.
    VOSTREL_REQUIRE(geteuid() == 0 ? std::string() : std::string("root, to sweep as another user"));
    fs::permissions(TempDir(), fs::perms::all | fs::perms::sticky_bit);
    PageWithItselfAsBackup("a.htm");
    ASSERT_NO_FATAL_FAILURE(Copy("SAV11.tmp", GoneProcessMark(), "a.htm"));
    ASSERT_EQ(chmod((TempDir() / "SAV11.tmp").c_str(), 0644), 0);
    const uid_t nobody = 65534;
    ASSERT_EQ(lchown((TempDir() / "a.htm").c_str(), nobody, nobody), 0);
    ASSERT_EQ(lchown((TempDir() / "a.htm.old").c_str(), nobody, nobody), 0);

    const pid_t sweeper = fork();
    if (sweeper == 0) {
        if (setgid(nobody) != 0 || setuid(nobody) != 0)
            _exit(100);
        _exit(static_cast<int>(RemoveLeftSaveCopiesIn(TempDir().c_str())));
    }
    int nStatus = -1;
    ASSERT_EQ(waitpid(sweeper, &nStatus, 0), sweeper);
    ASSERT_TRUE(WIFEXITED(nStatus));
    ASSERT_NE(WEXITSTATUS(nStatus), 100) << "could not become another user";
    EXPECT_EQ(WEXITSTATUS(nStatus), 0);
    EXPECT_TRUE(fs::exists(TempDir() / "SAV11.tmp"));
    EXPECT_TRUE(BackupIsThePage("a.htm"));

    // Its owner's sweep takes both.
    EXPECT_EQ(RemoveLeftSaveCopiesIn(TempDir().c_str()), 1u);
    EXPECT_FALSE(fs::exists(TempDir() / "a.htm.old"));
}

TEST_F(SaveCopiesSweepTest, ACopyOfAProcessWhoseIdIsInUseAgainIsRemoved)
{
    // The machine was started again since a save was killed, and the killed save's process id
    // now belongs to a running process, one that started at another time.
    const std::string strLive = LiveCopyMark();
    const unsigned long long nStart = std::stoull(strLive.substr(strLive.find(' ') + 1));
    ASSERT_NO_FATAL_FAILURE(Copy("SAV1.tmp", std::to_string(getpid()) + " " + std::to_string(nStart + 1)));
    ASSERT_NO_FATAL_FAILURE(Copy("SAV2.tmp", std::to_string(getpid()) + " " + std::to_string(nStart - 1)));
    ASSERT_NO_FATAL_FAILURE(Copy("SAV3.tmp", strLive));

    EXPECT_EQ(RemoveLeftSaveCopiesIn(TempDir().c_str()), 2u);
    EXPECT_FALSE(fs::exists(TempDir() / "SAV1.tmp"));
    EXPECT_FALSE(fs::exists(TempDir() / "SAV2.tmp"));
    EXPECT_TRUE(fs::exists(TempDir() / "SAV3.tmp"));
}

} // namespace
