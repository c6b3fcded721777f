#include "platform/core/FileOperations.h"
#include "platform/core/AtomicFile.h"

#include "support/RequiredTools.h"
#include "support/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <cstring>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadFile(const std::string& path)
{
    std::string text;
    EXPECT_EQ(0, ReadWholeFile(path, text));
    return text;
}

mode_t ModeOf(const std::string& path)
{
    struct stat st{};
    EXPECT_EQ(0, stat(path.c_str(), &st));
    return st.st_mode & 07777;
}

} // namespace

TEST(FileOperationsTest, AttributesMapOntoModesAndNames)
{
    ScopedTempDir dir;
    const std::string file = dir.File("page.html");
    WriteFile(file, "x");
    chmod(file.c_str(), 0644);
    EXPECT_EQ(FILE_ATTRIBUTE_ARCHIVE, GetFileAttributes(file.c_str()));
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, GetFileAttributes(dir.Path().c_str()));
    WriteFile(dir.File(".hidden"), "x");
    EXPECT_TRUE(GetFileAttributes(dir.File(".hidden").c_str()) & FILE_ATTRIBUTE_HIDDEN);

    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributes(dir.File("missing").c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributes(dir.File("nodir/missing").c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
}

TEST(FileOperationsTest, ReadOnlyClearsEveryWriteBitAndComesBackForTheOwner)
{
    ScopedTempDir dir;
    const std::string file = dir.File("page.html");
    WriteFile(file, "x");
    chmod(file.c_str(), 0666);
    ASSERT_TRUE(SetFileAttributes(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(0444u, ModeOf(file));
    EXPECT_TRUE(GetFileAttributes(file.c_str()) & FILE_ATTRIBUTE_READONLY);

    // A read-only file is neither deleted nor replaced.
    EXPECT_FALSE(DeleteFile(file.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    WriteFile(dir.File("other"), "y");
    EXPECT_FALSE(MoveFileEx(dir.File("other").c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());

    ASSERT_TRUE(SetFileAttributes(file.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(0644u, ModeOf(file));
    EXPECT_TRUE(DeleteFile(file.c_str()));
}

TEST(FileOperationsTest, CopyKeepsModeAndHonoursFailIfExists)
{
    ScopedTempDir dir;
    const std::string from = dir.File("a.txt");
    const std::string to = dir.File("b.txt");
    WriteFile(from, "content");
    chmod(from.c_str(), 0640);
    ASSERT_TRUE(CopyFile(from.c_str(), to.c_str(), TRUE));
    EXPECT_EQ("content", ReadFile(to));
    EXPECT_EQ(0640u, ModeOf(to));

    WriteFile(from, "newer");
    EXPECT_FALSE(CopyFile(from.c_str(), to.c_str(), TRUE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_EXISTS), GetLastError());
    EXPECT_EQ("content", ReadFile(to));
    ASSERT_TRUE(CopyFile(from.c_str(), to.c_str(), FALSE));
    EXPECT_EQ("newer", ReadFile(to));

    EXPECT_FALSE(CopyFile(dir.File("missing").c_str(), to.c_str(), FALSE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    // No temporary files are left behind.
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(2, entries);
}

TEST(FileOperationsTest, MoveRules)
{
    ScopedTempDir dir;
    WriteFile(dir.File("a"), "1");
    WriteFile(dir.File("b"), "2");
    EXPECT_FALSE(MoveFile(dir.File("a").c_str(), dir.File("b").c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    ASSERT_TRUE(MoveFileEx(dir.File("a").c_str(), dir.File("b").c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ("1", ReadFile(dir.File("b")));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributes(dir.File("a").c_str()));
    ASSERT_TRUE(MoveFile(dir.File("b").c_str(), dir.File("c").c_str()));
    EXPECT_FALSE(MoveFileEx(dir.File("c").c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));

    ASSERT_TRUE(CreateDirectory(dir.File("sub").c_str(), nullptr));
    EXPECT_FALSE(MoveFileEx(dir.File("c").c_str(), dir.File("sub").c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
}

TEST(FileOperationsTest, Directories)
{
    ScopedTempDir dir;
    const std::string sub = dir.File("sub");
    ASSERT_TRUE(CreateDirectory(sub.c_str(), nullptr));
    EXPECT_FALSE(CreateDirectory(sub.c_str(), nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    EXPECT_FALSE(CreateDirectory(dir.File("x/y").c_str(), nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    WriteFile(sub + "/f", "x");
    EXPECT_FALSE(RemoveDirectory(sub.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_DIR_NOT_EMPTY), GetLastError());
    EXPECT_FALSE(DeleteFile(sub.c_str()));
    ASSERT_TRUE(DeleteFile((sub + "/f").c_str()));
    EXPECT_TRUE(RemoveDirectory(sub.c_str()));
}

TEST(FileOperationsTest, FullPathNames)
{
    ScopedTempDir dir;
    char saved[PATH_MAX];
    ASSERT_GT(GetCurrentDirectory(sizeof saved, saved), 0u);
    ASSERT_TRUE(SetCurrentDirectory(dir.Path().c_str()));
    char buffer[PATH_MAX];
    LPSTR part = nullptr;
    DWORD length = GetFullPathName("a/./b/../c.txt", sizeof buffer, buffer, &part);
    EXPECT_EQ(dir.Path() + "/a/c.txt", std::string(buffer));
    EXPECT_EQ(std::strlen(buffer), length);
    EXPECT_STREQ("c.txt", part);
    EXPECT_EQ(length + 1, GetFullPathName("a/./b/../c.txt", 4, buffer, &part));
    GetFullPathName("/x//y/", sizeof buffer, buffer, &part);
    EXPECT_STREQ("/x/y/", buffer);
    EXPECT_EQ(nullptr, part);
    EXPECT_EQ("/", MakeFullPath("/../.."));
    ASSERT_TRUE(SetCurrentDirectory(saved));
}

TEST(FileOperationsTest, ShellDeleteWithoutUndoRemovesFilesAndFolders)
{
    ScopedTempDir dir;
    WriteFile(dir.File("a"), "1");
    std::filesystem::create_directories(dir.File("d/e"));
    WriteFile(dir.File("d/e/f"), "1");
    std::string list = dir.File("a") + '\0' + dir.File("d") + '\0' + dir.File("missing") + '\0' + '\0';
    SHFILEOPSTRUCT op{};
    op.wFunc = FO_DELETE;
    op.pFrom = list.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, SHFileOperation(&op));
    EXPECT_FALSE(std::filesystem::exists(dir.File("a")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("d")));
}

TEST(FileOperationsTest, MoveAcrossFileSystemsCopiesWhenAllowed)
{
    ScopedTempDir dir;
    struct stat tmp{}, shm{};
    if (stat(dir.Path().c_str(), &tmp) != 0 || stat("/dev/shm", &shm) != 0 || tmp.st_dev == shm.st_dev
        || access("/dev/shm", W_OK) != 0) {
        VOSTREL_REQUIRE("a second writable file system (/dev/shm)");
    }
    const std::string from = dir.File("page.html");
    const std::string to = "/dev/shm/vostrel-move-test-" + std::to_string(getpid());
    WriteFile(from, "moved");
    EXPECT_FALSE(MoveFileEx(from.c_str(), to.c_str(), 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_SAME_DEVICE), GetLastError());
    ASSERT_TRUE(MoveFileEx(from.c_str(), to.c_str(), MOVEFILE_COPY_ALLOWED));
    EXPECT_EQ("moved", ReadFile(to));
    EXPECT_FALSE(std::filesystem::exists(from));
    unlink(to.c_str());
}
