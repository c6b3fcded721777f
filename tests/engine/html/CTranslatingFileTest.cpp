#include "engine/html/CTranslatingFile.h"
#include "HtmlLexerTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using htmltest::ChunkFile;

namespace {

// Everything the file delivers, read nChunk bytes per call.
std::string ReadAll(CTranslatingFile& file, UINT nChunk = 4096)
{
    std::string out;
    std::string buffer(nChunk, '\0');
    for (;;) {
        const UINT n = file.Read(buffer.data(), nChunk);
        if (n == 0)
            break;
        EXPECT_LE(n, nChunk);
        out.append(buffer.data(), n);
    }
    return out;
}

std::string Translate(const std::string& text, UINT nChunk = 4096, size_t nSourceChunk = 2048)
{
    ChunkFile source(text, nSourceChunk);
    CTranslatingFile file(&source);
    return ReadAll(file, nChunk);
}

} // namespace

TEST(CTranslatingFileTest, EmptyFileReadsNothing)
{
    ChunkFile source("");
    CTranslatingFile file(&source);
    char buffer[16];
    EXPECT_EQ(0u, file.Read(buffer, sizeof buffer));
    EXPECT_EQ(0u, file.Read(buffer, sizeof buffer));
    CTranslatingFile none(nullptr);
    EXPECT_EQ(0u, none.Read(buffer, sizeof buffer));
}

TEST(CTranslatingFileTest, CountZeroReturnsAtOnce)
{
    ChunkFile source("abc");
    CTranslatingFile file(&source);
    char buffer[4];
    EXPECT_EQ(0u, file.Read(buffer, 0));
    EXPECT_TRUE(source.reads.empty());
    EXPECT_EQ(3u, file.Read(buffer, 4));
}

TEST(CTranslatingFileTest, AsciiIsCopied)
{
    const std::string text = "<html><head><title>Plain</title></head></html>";
    EXPECT_EQ(text, Translate(text));
}

TEST(CTranslatingFileTest, LargeCopiedPageIsDeliveredWhole)
{
    std::string text;
    for (int i = 0; i < 10000; ++i)
        text += static_cast<char>('a' + i % 26);
    EXPECT_EQ(text, Translate(text, 777, 300));
}

TEST(CTranslatingFileTest, WrappedReadFailurePassesThrough)
{
    ChunkFile source(std::string(5000, 'a'), 2048, 3000);
    CTranslatingFile file(&source);
    char buffer[8192];
    int nCause = -1;
    try {
        file.Read(buffer, sizeof buffer);
    } catch (CFileException* e) {
        nCause = e->m_cause;
        e->Delete();
    }
    EXPECT_EQ(CFileException::hardIO, nCause);
}

TEST(CTranslatingFileTest, OtherOperationsDoNothing)
{
    ChunkFile source("abc");
    CTranslatingFile file(&source);
    EXPECT_EQ(0u, file.Seek(10, CFile::begin));
    file.SetLength(0);
    file.Write("x", 1);
    file.Flush();
    file.Close();
    char buffer[8];
    EXPECT_EQ(3u, file.Read(buffer, sizeof buffer));
    EXPECT_EQ("abc", std::string(buffer, 3));
}
