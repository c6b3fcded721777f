// CFile: open modes, sharing, reading and writing, locks, status and the static operations.
#include "platform/core/CFile.h"

#include "platform/core/CFileException.h"
#include "platform/core/WinError.h"

#include "support/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs an operation expected to raise a CFileException and returns its cause (-1 if none).
template <class F>
int FileErrorCause(F&& operation)
{
    try {
        operation();
    } catch (CFileException* e) {
        const int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    return -1;
}

int OpenCause(const std::string& path, UINT nFlags)
{
    CFile file;
    CFileException error;
    if (file.Open(path.c_str(), nFlags, &error))
        return -1;
    return error.m_cause;
}

} // namespace

TEST(CFileTest, WritesReadsSeeksAndSizes)
{
    ScopedTempDir folder;
    const std::string path = folder.File("data.bin");
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeReadWrite));
    EXPECT_NE(file.m_hFile, CFile::hFileNull);
    file.Write("hello world", 11);
    EXPECT_EQ(file.GetLength(), 11u);
    EXPECT_EQ(file.GetPosition(), 11u);
    EXPECT_EQ(file.Seek(-5, CFile::end), 6u);
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, sizeof(buffer)), 5u); // fewer only at the end
    EXPECT_STREQ(buffer, "world");
    EXPECT_EQ(file.Read(buffer, sizeof(buffer)), 0u);
    file.SeekToBegin();
    EXPECT_EQ(file.Seek(2, CFile::current), 2u);
    EXPECT_EQ(file.SeekToEnd(), 11u);
    file.SetLength(4);
    EXPECT_EQ(file.GetLength(), 4u);
    file.Flush();
    file.Close();
    EXPECT_EQ(file.m_hFile, CFile::hFileNull);
    EXPECT_EQ(folder.ReadFile("data.bin"), "hell");
}

TEST(CFileTest, SeekBeforeTheStartIsABadSeek)
{
    ScopedTempDir folder;
    CFile file(folder.File("s").c_str(), CFile::modeCreate | CFile::modeReadWrite);
    EXPECT_EQ(FileErrorCause([&] { file.Seek(-1, CFile::begin); }), CFileException::badSeek);
    EXPECT_EQ(file.GetPosition(), 0u);
}

TEST(CFileTest, CreateTruncatesUnlessToldNotTo)
{
    ScopedTempDir folder;
    folder.WriteFile("a.txt", "old content");
    {
        CFile file(folder.File("a.txt").c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite);
        EXPECT_EQ(file.GetLength(), 11u);
    }
    {
        CFile file(folder.File("a.txt").c_str(), CFile::modeCreate | CFile::modeWrite);
        EXPECT_EQ(file.GetLength(), 0u);
    }
    // Without modeCreate a missing file is an error.
    EXPECT_EQ(OpenCause(folder.File("missing.txt"), CFile::modeRead), CFileException::fileNotFound);
    EXPECT_EQ(OpenCause(folder.File("no/such/dir.txt"), CFile::modeRead), CFileException::badPath);
    EXPECT_EQ(OpenCause(folder.File("a.txt/x"), CFile::modeRead), CFileException::badPath);
    EXPECT_EQ(OpenCause("", CFile::modeRead), CFileException::badPath);
    EXPECT_EQ(OpenCause(folder.Path(), CFile::modeRead), CFileException::accessDenied);
}

TEST(CFileTest, OpenFailureFillsTheExceptionAndTheConstructorThrows)
{
    ScopedTempDir folder;
    const std::string path = folder.File("missing.htm");
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(path.c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(error.m_lOsError, ERROR_FILE_NOT_FOUND);
    EXPECT_STREQ(error.m_strFileName, path.c_str());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(file.Open(path.c_str(), CFile::modeRead)); // no exception object needed

    EXPECT_EQ(FileErrorCause([&] { CFile thrown(path.c_str(), CFile::modeRead); }), CFileException::fileNotFound);
}

TEST(CFileTest, AccessModesAreEnforced)
{
    ScopedTempDir folder;
    folder.WriteFile("r.txt", "abc");
    CFile reader(folder.File("r.txt").c_str(), CFile::modeRead | CFile::shareDenyNone);
    EXPECT_EQ(FileErrorCause([&] { reader.Write("x", 1); }), CFileException::accessDenied);
    CFile writer(folder.File("r.txt").c_str(), CFile::modeWrite | CFile::shareDenyNone);
    char ch;
    EXPECT_EQ(FileErrorCause([&] { writer.Read(&ch, 1); }), CFileException::accessDenied);

    chmod(folder.File("r.txt").c_str(), 0444);
    if (geteuid() != 0) { // root ignores permission bits
        EXPECT_EQ(OpenCause(folder.File("r.txt"), CFile::modeWrite | CFile::shareDenyNone), CFileException::accessDenied);
    }
}

TEST(CFileTest, ClosedFilesRaiseInvalidFileAndAbortNeverThrows)
{
    CFile file;
    char ch;
    EXPECT_EQ(FileErrorCause([&] { file.Read(&ch, 1); }), CFileException::invalidFile);
    EXPECT_EQ(FileErrorCause([&] { file.GetLength(); }), CFileException::invalidFile);
    file.Abort();
    file.Abort();
}

TEST(CFileTest, SharingIsCheckedWithinTheProcess)
{
    ScopedTempDir folder;
    const std::string path = folder.File("shared.vsp");
    folder.WriteFile("shared.vsp", "content");
    {
        CFile exclusive(path.c_str(), CFile::modeRead | CFile::shareExclusive);
        EXPECT_EQ(OpenCause(path, CFile::modeRead | CFile::shareDenyNone), CFileException::sharingViolation);
    }
    {
        // The default share mode is exclusive.
        CFile compat(path.c_str(), CFile::modeRead);
        EXPECT_EQ(OpenCause(path, CFile::modeRead | CFile::shareDenyNone), CFileException::sharingViolation);
    }
    {
        CFile denyWrite(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
        EXPECT_EQ(OpenCause(path, CFile::modeRead | CFile::shareDenyWrite), -1);
        EXPECT_EQ(OpenCause(path, CFile::modeReadWrite | CFile::shareDenyNone), CFileException::sharingViolation);
        // A file being written cannot be opened by someone who denies writing.
        EXPECT_EQ(OpenCause(path, CFile::modeWrite | CFile::shareDenyWrite), CFileException::sharingViolation);
    }
    {
        CFile writer(path.c_str(), CFile::modeWrite | CFile::shareDenyNone);
        EXPECT_EQ(OpenCause(path, CFile::modeRead | CFile::shareDenyWrite), CFileException::sharingViolation);
        EXPECT_EQ(OpenCause(path, CFile::modeRead | CFile::shareDenyNone), -1);
        EXPECT_EQ(OpenCause(path, CFile::modeRead | CFile::shareDenyRead), -1);
    }
    {
        CFile denyRead(path.c_str(), CFile::modeWrite | CFile::shareDenyRead);
        EXPECT_EQ(OpenCause(path, CFile::modeRead | CFile::shareDenyNone), CFileException::sharingViolation);
        EXPECT_EQ(OpenCause(path, CFile::modeWrite | CFile::shareDenyNone), -1);
    }
    // Closing releases the file.
    EXPECT_EQ(OpenCause(path, CFile::modeReadWrite | CFile::shareExclusive), -1);
}

TEST(CFileTest, ARefusedCreateDoesNotEmptyTheFile)
{
    ScopedTempDir folder;
    const std::string path = folder.File("keep.txt");
    folder.WriteFile("keep.txt", "precious");
    CFile reader(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
    EXPECT_EQ(OpenCause(path, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone),
              CFileException::sharingViolation);
    EXPECT_EQ(folder.ReadFile("keep.txt"), "precious");
}

TEST(CFileTest, SharingHoldsAgainstAnotherProcess)
{
    ScopedTempDir folder;
    const std::string path = folder.File("project.vsp");
    folder.WriteFile("project.vsp", "x");
    CFile exclusive(path.c_str(), CFile::modeReadWrite | CFile::shareExclusive);
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        // A fresh process has no table entry: only the advisory lock can refuse it.
        CFile other;
        CFileException error;
        const BOOL opened = other.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite, &error);
        _exit(!opened && error.m_cause == CFileException::sharingViolation ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(CFileTest, RangeLocksConflictBetweenOpenFiles)
{
    ScopedTempDir folder;
    const std::string path = folder.File("locked.dat");
    folder.WriteFile("locked.dat", std::string(100, 'x'));
    CFile first(path.c_str(), CFile::modeReadWrite | CFile::shareDenyNone);
    CFile second(path.c_str(), CFile::modeReadWrite | CFile::shareDenyNone);
    first.LockRange(10, 20);
    EXPECT_EQ(FileErrorCause([&] { second.LockRange(25, 10); }), CFileException::lockViolation);
    second.LockRange(30, 10); // adjacent, not overlapping
    first.UnlockRange(10, 20);
    second.LockRange(25, 5);
    first.LockRange(0, 0); // an empty range locks nothing
}

TEST(CFileTest, DuplicateSharesThePosition)
{
    ScopedTempDir folder;
    folder.WriteFile("d.txt", "abcdef");
    CFile file(folder.File("d.txt").c_str(), CFile::modeRead | CFile::shareDenyWrite);
    std::unique_ptr<CFile> copy(file.Duplicate());
    EXPECT_STREQ(copy->GetFilePath(), file.GetFilePath());
    char ch;
    file.Read(&ch, 1);
    copy->Read(&ch, 1);
    EXPECT_EQ(ch, 'b');
    file.Close();
    // The duplicate keeps the file open, and its sharing with it.
    EXPECT_EQ(OpenCause(folder.File("d.txt"), CFile::modeWrite | CFile::shareDenyNone), CFileException::sharingViolation);
    copy->Close();
    EXPECT_EQ(OpenCause(folder.File("d.txt"), CFile::modeWrite | CFile::shareDenyNone), -1);
}

TEST(CFileTest, NamesComeFromTheFullPath)
{
    ScopedTempDir folder;
    const std::string path = folder.File("page.index.html");
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
    EXPECT_STREQ(file.GetFilePath(), path.c_str());
    EXPECT_STREQ(file.GetFileName(), "page.index.html");
    EXPECT_STREQ(file.GetFileTitle(), "page.index");
    file.SetFilePath("/somewhere/.hidden");
    EXPECT_STREQ(file.GetFileName(), ".hidden");
    EXPECT_STREQ(file.GetFileTitle(), ".hidden");
}

TEST(CFileTest, StatusDescribesTheFile)
{
    ScopedTempDir folder;
    folder.WriteFile("s.txt", "12345");
    const std::string path = folder.File("s.txt");
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(path.c_str(), status));
    EXPECT_EQ(status.m_size, 5u);
    EXPECT_STREQ(status.m_szFullName, path.c_str());
    EXPECT_EQ(status.m_attribute, CFile::archive);
    EXPECT_GT(status.m_mtime.GetTime(), 0);
    EXPECT_FALSE(CFile::GetStatus(folder.File("nothing").c_str(), status));

    // Read-only is the absence of every write bit, both ways.
    status.m_attribute = CFile::readOnly;
    status.m_mtime = CTime(static_cast<time_t>(1000000000));
    status.m_atime = CTime();
    CFile::SetStatus(path.c_str(), status);
    CFileStatus after;
    ASSERT_TRUE(CFile::GetStatus(path.c_str(), after));
    EXPECT_EQ(after.m_attribute & CFile::readOnly, CFile::readOnly);
    EXPECT_EQ(after.m_mtime.GetTime(), 1000000000);
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0222, 0u);
    after.m_attribute = CFile::normal;
    CFile::SetStatus(path.c_str(), after);
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_NE(st.st_mode & 0200, 0u);

    ASSERT_TRUE(CFile::GetStatus(folder.Path().c_str(), status));
    EXPECT_EQ(status.m_attribute & CFile::directory, CFile::directory);
    folder.WriteFile(".dot", "");
    ASSERT_TRUE(CFile::GetStatus(folder.File(".dot").c_str(), status));
    EXPECT_EQ(status.m_attribute & CFile::hidden, CFile::hidden);

    CFile open(path.c_str(), CFile::modeRead | CFile::shareDenyNone);
    ASSERT_TRUE(open.GetStatus(status));
    EXPECT_EQ(status.m_size, 5u);
    EXPECT_STREQ(status.m_szFullName, path.c_str());
}

TEST(CFileTest, RenameRefusesToReplaceAndRemoveRefusesFolders)
{
    ScopedTempDir folder;
    folder.WriteFile("a", "A");
    folder.WriteFile("b", "B");
    EXPECT_EQ(FileErrorCause([&] { CFile::Rename(folder.File("a").c_str(), folder.File("b").c_str()); }),
              CFileException::accessDenied);
    EXPECT_EQ(folder.ReadFile("b"), "B");
    CFile::Rename(folder.File("a").c_str(), folder.File("c").c_str());
    EXPECT_EQ(folder.ReadFile("c"), "A");
    EXPECT_EQ(FileErrorCause([&] { CFile::Rename(folder.File("a").c_str(), folder.File("d").c_str()); }),
              CFileException::fileNotFound);

    CFile::Remove(folder.File("c").c_str());
    EXPECT_EQ(FileErrorCause([&] { CFile::Remove(folder.File("c").c_str()); }), CFileException::fileNotFound);
    EXPECT_EQ(FileErrorCause([&] { CFile::Remove(folder.Path().c_str()); }), CFileException::accessDenied);
}

TEST(CFileTest, AttachedDescriptorsStayOpen)
{
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    {
        CFile writer(fds[1]);
        writer.Write("ok", 2);
    }
    char buffer[2];
    ASSERT_EQ(read(fds[0], buffer, 2), 2);
    // The descriptor was not closed by the destructor.
    EXPECT_EQ(write(fds[1], "x", 1), 1);
    close(fds[0]);
    close(fds[1]);
}

// Opening in a child process, so that an open that blocks fails the test (by the alarm) instead
// of hanging it: the exit code is the error the open gave, 0 when it opened.
static int OpenErrorInChild(const std::string& path, UINT nFlags)
{
    const pid_t pid = fork();
    if (pid == 0) {
        alarm(5);
        CFile file;
        CFileException error;
        _exit(file.Open(path.c_str(), nFlags, &error) ? 0 : static_cast<int>(error.m_lOsError & 0xFF));
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

TEST(CFileTest, OnlyRegularFilesOpenAndNoneBlocks)
{
    ScopedTempDir folder;
    const std::string fifo = folder.File("pipe.htm");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    const std::string zero = folder.File("zero.htm");
    ASSERT_EQ(symlink("/dev/zero", zero.c_str()), 0);
    EXPECT_EQ(OpenErrorInChild(fifo, CFile::modeRead | CFile::shareDenyNone), ERROR_BAD_FILE_TYPE);
    EXPECT_EQ(OpenErrorInChild(zero, CFile::modeRead | CFile::shareDenyWrite), ERROR_BAD_FILE_TYPE);

    // A regular file reads as before: the descriptor is not left non-blocking.
    folder.WriteFile("page.htm", "text");
    CFile file;
    ASSERT_TRUE(file.Open(folder.File("page.htm").c_str(), CFile::modeRead));
    char buffer[8] = {};
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 4u);
    EXPECT_EQ(fcntl(static_cast<int>(file.m_hFile), F_GETFL) & O_NONBLOCK, 0);
}
