// CMemFile: growth, positions past the end, attached buffers and Detach.
#include "platform/core/CMemFile.h"

#include "platform/core/CException.h"
#include "platform/core/CFileException.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

TEST(CMemFileTest, GrowsAsItIsWrittenAndReadsBack)
{
    CMemFile file(16);
    std::string expected;
    for (int i = 0; i < 1000; ++i) {
        const std::string piece = std::to_string(i) + ",";
        file.Write(piece.data(), static_cast<UINT>(piece.size()));
        expected += piece;
    }
    EXPECT_EQ(file.GetLength(), expected.size());
    file.SeekToBegin();
    std::string read(expected.size() + 10, '\0');
    EXPECT_EQ(file.Read(read.data(), static_cast<UINT>(read.size())), expected.size());
    read.resize(expected.size());
    EXPECT_EQ(read, expected);
}

TEST(CMemFileTest, WritingPastTheEndFillsTheGapWithZeros)
{
    CMemFile file;
    file.Write("ab", 2);
    EXPECT_EQ(file.Seek(3, CFile::current), 5u);
    EXPECT_EQ(file.GetLength(), 2u); // seeking alone does not grow the file
    file.Write("c", 1);
    EXPECT_EQ(file.GetLength(), 6u);
    char buffer[6];
    file.SeekToBegin();
    ASSERT_EQ(file.Read(buffer, 6), 6u);
    EXPECT_EQ(std::memcmp(buffer, "ab\0\0\0c", 6), 0);
    EXPECT_EQ(file.Read(buffer, 6), 0u);
}

TEST(CMemFileTest, SetLengthTruncatesAndExtends)
{
    CMemFile file;
    file.Write("abcdef", 6);
    file.SetLength(3);
    EXPECT_EQ(file.GetLength(), 3u);
    EXPECT_EQ(file.GetPosition(), 3u); // pulled back to the new end
    file.SetLength(5);
    char buffer[5];
    file.SeekToBegin();
    ASSERT_EQ(file.Read(buffer, 5), 5u);
    EXPECT_EQ(std::memcmp(buffer, "abc\0\0", 5), 0);
}

TEST(CMemFileTest, SeekBeforeTheStartIsABadSeek)
{
    CMemFile file;
    try {
        file.Seek(-1, CFile::begin);
        ADD_FAILURE();
    } catch (CFileException* e) {
        EXPECT_EQ(e->m_cause, CFileException::badSeek);
        e->Delete();
    }
}

TEST(CMemFileTest, AFixedAttachedBufferIsTheFileAndCannotGrow)
{
    BYTE buffer[4] = {'w', 'x', 'y', 'z'};
    CMemFile file(buffer, sizeof(buffer));
    EXPECT_EQ(file.GetLength(), 4u);
    char ch;
    file.Seek(1, CFile::begin);
    file.Read(&ch, 1);
    EXPECT_EQ(ch, 'x');
    file.SeekToBegin();
    file.Write("W", 1); // in place
    EXPECT_EQ(buffer[0], 'W');
    file.SeekToEnd();
    try {
        file.Write("!", 1);
        ADD_FAILURE();
    } catch (CMemoryException* e) {
        e->Delete();
    }
}

TEST(CMemFileTest, AGrowingAttachedBufferMovesOutAndStaysTheCallers)
{
    BYTE buffer[4] = {};
    CMemFile file(buffer, sizeof(buffer), 8);
    EXPECT_EQ(file.GetLength(), 0u);
    file.Write("abcd", 4);
    EXPECT_EQ(std::memcmp(buffer, "abcd", 4), 0); // still the caller's buffer
    file.Write("efgh", 4);                        // moves to a buffer of its own
    EXPECT_EQ(std::memcmp(buffer, "abcd", 4), 0);
    BYTE* pDetached = file.Detach();
    ASSERT_NE(pDetached, nullptr);
    EXPECT_NE(pDetached, buffer);
    EXPECT_EQ(std::memcmp(pDetached, "abcdefgh", 8), 0);
    std::free(pDetached);
    EXPECT_EQ(file.GetLength(), 0u);
}

TEST(CMemFileTest, DetachHandsOverTheBuffer)
{
    CMemFile file;
    file.Write("xyz", 3);
    BYTE* p = file.Detach();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::memcmp(p, "xyz", 3), 0);
    std::free(p);
    file.Write("1", 1); // usable again, with a buffer of its own
    EXPECT_EQ(file.GetLength(), 1u);
}

TEST(CMemFileTest, OperationsMemoryCannotDoAreNotSupported)
{
    CMemFile file;
    int refused = 0;
    try {
        file.Duplicate();
    } catch (CNotSupportedException* e) {
        ++refused;
        e->Delete();
    }
    try {
        file.LockRange(0, 1);
    } catch (CNotSupportedException* e) {
        ++refused;
        e->Delete();
    }
    EXPECT_EQ(refused, 2);
    CFileStatus status;
    file.Write("12", 2);
    EXPECT_TRUE(file.GetStatus(status));
    EXPECT_EQ(status.m_size, 2u);
}

namespace {

// Keeps count of the memory it hands out, as a file over a shared block would.
class CCountingMemFile : public CMemFile {
public:
    CCountingMemFile() : CMemFile(4) {}
    ~CCountingMemFile() override { Close(); }
    int m_nAllocs = 0;
    int m_nReallocs = 0;
    int m_nFrees = 0;

protected:
    BYTE* Alloc(SIZE_T nBytes) override
    {
        ++m_nAllocs;
        return CMemFile::Alloc(nBytes);
    }
    BYTE* Realloc(BYTE* lpMem, SIZE_T nBytes) override
    {
        ++m_nReallocs;
        return CMemFile::Realloc(lpMem, nBytes);
    }
    void Free(BYTE* lpMem) override
    {
        ++m_nFrees;
        CMemFile::Free(lpMem);
    }
};

} // namespace

TEST(CMemFileTest, DerivedFilesChooseTheirAllocator)
{
    CCountingMemFile file;
    file.Write("abc", 3);
    file.Write("defgh", 5);
    EXPECT_EQ(file.m_nAllocs, 1);
    EXPECT_GE(file.m_nReallocs, 1);
    file.Close();
    EXPECT_EQ(file.m_nFrees, 1);
    EXPECT_EQ(file.GetLength(), 0u);
}
