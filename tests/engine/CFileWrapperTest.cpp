#include "EngineTestSupport.h"

#include "engine/project/CFileWrapper.h"
#include "platform/core/CFileException.h"
#include "support/FileSizeLimitChild.h"

#include <filesystem>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

using namespace enginetest;
namespace fs = std::filesystem;

namespace {

class FileWrapperTest : public EngineTest {};

TEST_F(FileWrapperTest, NamesAndFolders)
{
    CFileWrapper file("/srv/site/page.html");
    CString strText;
    EXPECT_EQ(file.GetFileName(strText), 0u);
    EXPECT_STREQ(strText, "page.html");
    EXPECT_EQ(file.GetFolder(strText), 0u);
    EXPECT_STREQ(strText, "/srv/site/");

    CFileWrapper bare("page.html");
    bare.GetFileName(strText);
    EXPECT_STREQ(strText, "page.html");
    strText = "kept";
    EXPECT_EQ(bare.GetFolder(strText), 1u);
    EXPECT_STREQ(strText, "kept");

    CFileWrapper rooted("/page.html");
    rooted.GetFileName(strText);
    EXPECT_STREQ(strText, "page.html");
}

TEST_F(FileWrapperTest, OpenWriteAndExist)
{
    const fs::path path = TempDir() / "a.txt";
    EXPECT_EQ(CFileWrapper::FileExists(path.c_str()), 3u);
    CFileWrapper file(path.c_str());
    CString strMessage;
    EXPECT_EQ(file.OpenWithMessage(CFile::modeRead, strMessage), 1u);
    EXPECT_FALSE(strMessage.IsEmpty());

    ASSERT_EQ(file.OpenStoredPath(CFile::modeCreate | CFile::modeWrite, nullptr), 0u);
    EXPECT_EQ(file.WriteWithMessage("hello", 5, strMessage), 0u);
    file.Close();
    EXPECT_EQ(CFileWrapper::FileExists(path.c_str()), 2u);
    EXPECT_EQ(ReadFileBytes(path), "hello");
    EXPECT_EQ(CFileWrapper::FileExists(TempDir().c_str()), 3u);

    // Writing a file opened for reading fails with a message rather than an exception.
    ASSERT_EQ(file.OpenWithMessage(CFile::modeRead, strMessage), 0u);
    strMessage.Empty();
    EXPECT_EQ(file.WriteWithMessage("x", 1, strMessage), 1u);
    EXPECT_FALSE(strMessage.IsEmpty());
    file.Close();
}

TEST_F(FileWrapperTest, AccessState)
{
    const fs::path path = TempDir() / "ro.txt";
    CFileWrapper file(path.c_str());
    EXPECT_EQ(file.GetAccessState(), 1u);
    WriteFileBytes(path, "x");
    EXPECT_EQ(file.GetAccessState(), 3u);
    // Read-only is the file's own mark: it holds for root as for anyone.
    ::chmod(path.c_str(), 0444);
    EXPECT_EQ(file.GetAccessState(), 2u);
}

TEST_F(FileWrapperTest, RenameOntoAnExistingFileReplacesIt)
{
    const fs::path from = TempDir() / "new.htm";
    const fs::path to = TempDir() / "page.htm";
    WriteFileBytes(from, "new contents");
    WriteFileBytes(to, "old contents");
    CFileWrapper file(from.c_str());
    CString strMessage;
    ASSERT_EQ(file.Rename(to.c_str(), strMessage), 0u);
    EXPECT_STREQ(file.GetPath(), to.c_str());
    EXPECT_EQ(ReadFileBytes(to), "new contents");
    EXPECT_FALSE(fs::exists(from));

    // The copy goes through a temporary file: a copy that fails part-way (here at a file size
    // limit) leaves the file that was there untouched, the source in place and nothing else.
    const fs::path big = TempDir() / "big.htm";
    WriteFileBytes(big, std::string(64 << 10, 'b'));
    const int nExit = RunWithFileSizeLimit(4096, [&] {
        CFileWrapper bigFile(big.c_str());
        CString strError;
        if (bigFile.Rename(to.c_str(), strError) != 1 || strError.IsEmpty())
            return 1;
        if (ReadFileBytes(to) != "new contents" || !fs::exists(big))
            return 2;
        return std::distance(fs::directory_iterator(TempDir()), fs::directory_iterator()) == 2 ? 0 : 3;
    });
    EXPECT_EQ(nExit, 0);
    EXPECT_EQ(ReadFileBytes(to), "new contents");

    // Renaming a file that does not exist fails both ways and keeps the path.
    CFileWrapper missing((TempDir() / "missing.htm").c_str());
    EXPECT_EQ(missing.Rename((TempDir() / "other.htm").c_str(), strMessage), 1u);
    EXPECT_FALSE(strMessage.IsEmpty());
    EXPECT_STREQ(missing.GetPath(), (TempDir() / "missing.htm").c_str());
}

TEST_F(FileWrapperTest, DeleteReportsThePath)
{
    const fs::path path = TempDir() / "gone.htm";
    WriteFileBytes(path, "x");
    CFileWrapper file(path.c_str());
    CString strMessage;
    EXPECT_EQ(file.Delete(strMessage), 0u);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(file.Delete(strMessage), 1u);
    EXPECT_EQ(std::string(strMessage), "Could not delete file '" + path.string() + "'.");
}

} // namespace
