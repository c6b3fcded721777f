#include "platform/core/Trash.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/FileOperations.h"

#include "support/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>

namespace {

class TrashTest : public ::testing::Test {
protected:
    std::string TrashDir() const { return m_data.File("Trash"); }

    ScopedTempDir m_data;
    ScopedTempDir m_work;
    ScopedEnv m_env{"XDG_DATA_HOME", m_data.Path()};
};

std::string ReadTrashedFile(const std::string& path)
{
    std::string text;
    EXPECT_EQ(0, ReadWholeFile(path, text));
    return text;
}

} // namespace

TEST_F(TrashTest, EntryHasFileAndInfo)
{
    const std::string page = m_work.File("my page%.html");
    std::ofstream(page) << "<html>";
    TrashResult result = MoveToTrash(page);
    ASSERT_TRUE(result.Succeeded()) << result.message;
    EXPECT_FALSE(std::filesystem::exists(page));
    EXPECT_EQ(TrashDir() + "/files/my page%.html", result.trashedPath);
    EXPECT_EQ(TrashDir() + "/info/my page%.html.trashinfo", result.infoPath);
    EXPECT_EQ("<html>", ReadTrashedFile(result.trashedPath));

    const std::string info = ReadTrashedFile(result.infoPath);
    const std::string expectedPath = "Path=" + EncodeTrashPath(page) + "\n";
    EXPECT_EQ(0u, info.find("[Trash Info]\n"));
    EXPECT_NE(std::string::npos, info.find(expectedPath));
    EXPECT_NE(std::string::npos, expectedPath.find("my%20page%25.html"));
    size_t date = info.find("\nDeletionDate=");
    ASSERT_NE(std::string::npos, date);
    const std::string stamp = info.substr(date + 14);
    const std::string shape = "dddd-dd-ddTdd:dd:dd\n";
    ASSERT_EQ(shape.size(), stamp.size());
    for (size_t i = 0; i < shape.size(); ++i)
        EXPECT_TRUE(shape[i] == 'd' ? std::isdigit(static_cast<unsigned char>(stamp[i])) != 0 : shape[i] == stamp[i])
            << stamp;
}

TEST_F(TrashTest, NamesAreMadeUnique)
{
    for (int i = 0; i < 3; ++i) {
        const std::string page = m_work.File("index.html");
        std::ofstream(page) << i;
        TrashResult result = MoveToTrash(page);
        ASSERT_TRUE(result.Succeeded()) << result.message;
    }
    EXPECT_EQ("0", ReadTrashedFile(TrashDir() + "/files/index.html"));
    EXPECT_EQ("1", ReadTrashedFile(TrashDir() + "/files/index.2.html"));
    EXPECT_EQ("2", ReadTrashedFile(TrashDir() + "/files/index.3.html"));
    EXPECT_TRUE(std::filesystem::exists(TrashDir() + "/info/index.3.html.trashinfo"));
}

TEST_F(TrashTest, MissingFileFailsAndLeavesNoInfo)
{
    TrashResult result = MoveToTrash(m_work.File("missing.html"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), result.error);
    EXPECT_FALSE(result.message.empty());
    EXPECT_FALSE(std::filesystem::exists(TrashDir() + "/info/missing.html.trashinfo"));
}

TEST_F(TrashTest, ShellDeleteWithUndoUsesTheTrash)
{
    const std::string page = m_work.File("old.html");
    std::ofstream(page) << "x";
    std::string list = page + '\0' + '\0';
    SHFILEOPSTRUCT op{};
    op.wFunc = FO_DELETE;
    op.pFrom = list.c_str();
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    EXPECT_EQ(0, SHFileOperation(&op));
    EXPECT_FALSE(std::filesystem::exists(page));
    EXPECT_TRUE(std::filesystem::exists(TrashDir() + "/files/old.html"));
}
