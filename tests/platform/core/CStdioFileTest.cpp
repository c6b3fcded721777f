// CStdioFile: lines in text and binary mode, and appending.
#include "platform/core/CStdioFile.h"

#include "platform/core/CFileException.h"

#include "support/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <string>

TEST(CStdioFileTest, TextModeWritesCrLfAndReadsLf)
{
    ScopedTempDir folder;
    const std::string path = folder.File("t.txt");
    {
        CStdioFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        file.WriteString("one\ntwo\n");
        file.Write("three", 5);
    }
    EXPECT_EQ(folder.ReadFile("t.txt"), "one\r\ntwo\r\nthree");

    CStdioFile file(path.c_str(), CFile::modeRead | CFile::typeText);
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_STREQ(line, "one");
    char buffer[16];
    EXPECT_STREQ(file.ReadString(buffer, sizeof(buffer)), "two\n");
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_STREQ(line, "three"); // a last line without a break still counts
    EXPECT_FALSE(file.ReadString(line));
    EXPECT_EQ(file.ReadString(buffer, sizeof(buffer)), nullptr);
}

TEST(CStdioFileTest, TheDefaultIsTextAndBinaryLeavesBytesAlone)
{
    ScopedTempDir folder;
    {
        CStdioFile file(folder.File("d.txt").c_str(), CFile::modeCreate | CFile::modeWrite);
        file.WriteString("a\n");
    }
    EXPECT_EQ(folder.ReadFile("d.txt"), "a\r\n");
    {
        CStdioFile file(folder.File("b.bin").c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
        file.WriteString("a\n");
    }
    EXPECT_EQ(folder.ReadFile("b.bin"), "a\n");

    folder.WriteFile("crlf.txt", "x\r\ny\r\n");
    CStdioFile binary(folder.File("crlf.txt").c_str(), CFile::modeRead | CFile::typeBinary);
    CString line;
    ASSERT_TRUE(binary.ReadString(line));
    EXPECT_STREQ(line, "x\r"); // binary mode keeps the carriage return
    char buffer[8];
    EXPECT_EQ(binary.Read(buffer, sizeof(buffer)), 3u);
}

TEST(CStdioFileTest, ALoneCarriageReturnIsKept)
{
    ScopedTempDir folder;
    folder.WriteFile("cr.txt", "a\rb\r\n");
    CStdioFile file(folder.File("cr.txt").c_str(), CFile::modeRead);
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_STREQ(line, "a\rb");
}

TEST(CStdioFileTest, LongLinesAndShortBuffers)
{
    ScopedTempDir folder;
    const std::string longLine(10000, 'L');
    folder.WriteFile("long.txt", longLine + "\r\nend");
    CStdioFile file(folder.File("long.txt").c_str(), CFile::modeRead);
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line.GetLength(), 10000);
    char small[3];
    EXPECT_STREQ(file.ReadString(small, sizeof(small)), "en"); // nMax - 1 characters
    EXPECT_STREQ(file.ReadString(small, sizeof(small)), "d");
}

TEST(CStdioFileTest, WritingWithoutTruncatingAppends)
{
    ScopedTempDir folder;
    folder.WriteFile("log.txt", "first\r\n");
    {
        CStdioFile file(folder.File("log.txt").c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite);
        file.SeekToBegin(); // appending ignores the position
        file.WriteString("second\n");
    }
    EXPECT_EQ(folder.ReadFile("log.txt"), "first\r\nsecond\r\n");
    {
        CStdioFile file(folder.File("log.txt").c_str(), CFile::modeCreate | CFile::modeWrite);
        file.WriteString("new\n");
        EXPECT_EQ(file.GetLength(), 5u);
    }
    EXPECT_EQ(folder.ReadFile("log.txt"), "new\r\n");
}

TEST(CStdioFileTest, OpenFailuresAndWrongDirections)
{
    ScopedTempDir folder;
    CStdioFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(folder.File("none.txt").c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);

    folder.WriteFile("r.txt", "r");
    CStdioFile reader(folder.File("r.txt").c_str(), CFile::modeRead | CFile::shareDenyWrite);
    try {
        reader.WriteString("x");
        ADD_FAILURE();
    } catch (CFileException* e) {
        EXPECT_EQ(e->m_cause, CFileException::accessDenied);
        e->Delete();
    }
    // The sharing rules are those of CFile.
    CStdioFile other;
    EXPECT_FALSE(other.Open(folder.File("r.txt").c_str(), CFile::modeWrite | CFile::shareDenyNone, &error));
    EXPECT_TRUE(other.Open(folder.File("r.txt").c_str(), CFile::modeRead | CFile::shareDenyNone, &error));
    other.Close();
    EXPECT_EQ(other.m_pStream, nullptr);
}
