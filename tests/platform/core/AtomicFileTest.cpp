// Atomic replacement of a settings file: a failed write leaves the old file as it was and no
// temporary file beside it.
#include "platform/core/AtomicFile.h"

#include "support/FileSizeLimitChild.h"
#include "support/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <tuple>
#include <filesystem>
#include <string>

namespace {

int EntriesIn(const std::string& folder)
{
    int n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++n;
    return n;
}

} // namespace

TEST(AtomicFileTest, AFailedWriteKeepsTheOldFileAndLeavesNoTemporaryFile)
{
    ScopedTempDir folder;
    folder.WriteFile("settings.txt", "old settings");
    const std::string path = folder.File("settings.txt");
    // A file size limit below the new text: the write fails part-way, with EFBIG rather than a
    // signal that would kill the program.
    const int nExit = RunWithFileSizeLimit(4096, [&] {
        const int nError = WriteFileAtomically(path, std::string(64 << 10, 'n'), 0600);
        std::string text;
        if (nError != EFBIG)
            return 1;
        if (ReadWholeFile(path, text) != 0 || text != "old settings")
            return 2;
        return EntriesIn(folder.Path()) == 1 ? 0 : 3;
    });
    EXPECT_EQ(nExit, 0);
    EXPECT_EQ(folder.ReadFile("settings.txt"), "old settings");

    // Within the limit the file is replaced and keeps its mode.
    ASSERT_EQ(WriteFileAtomically(path, "new settings", 0600), 0);
    EXPECT_EQ(folder.ReadFile("settings.txt"), "new settings");
    EXPECT_EQ(EntriesIn(folder.Path()), 1);
}

// A new file is made as open() makes one: the mode asked for less the umask, never wider; a
// rewrite keeps whatever mode the user gave the existing file.
TEST(AtomicFileTest, ANewFileTakesTheUmaskAndARewriteKeepsTheMode)
{
    ScopedTempDir folder;
    const mode_t old = ::umask(027);
    EXPECT_EQ(CurrentUmask(), 027u);
    const std::string path = folder.File("VOSTREL.VSL");
    const int nError = WriteFileAtomically(path, "catalogue", 0666);
    const std::string other = folder.File("other.vsl");
    std::ignore = WriteFileAtomically(other, "x", 0666);
    ::umask(old);
    ASSERT_EQ(nError, 0);
    struct stat st{};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    ASSERT_EQ(::chmod(other.c_str(), 0604), 0);
    ASSERT_EQ(WriteFileAtomically(other, "rewritten", 0666), 0);
    ASSERT_EQ(::stat(other.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    EXPECT_EQ(folder.ReadFile("other.vsl"), "rewritten");
}
