#include "engine/html/CTranslatingFile.h"
#include "HtmlLexerTestSupport.h"
#include "platform/core/CodePage.h"

#include <gtest/gtest.h>

#include <string>

using htmltest::ChunkFile;

namespace {

const BYTE* Bytes(const std::string& s)
{
    return reinterpret_cast<const BYTE*>(s.data());
}

UINT Len(const std::string& s)
{
    return static_cast<UINT>(s.size());
}

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

// The UTF-8 of Shift-JIS text, by the platform's own code page 932 tables: Japanese pages are
// brought to Shift-JIS and delivered in UTF-8.
std::string FromShiftJis(const std::string& sjis)
{
    const int nWide = MultiByteToWideChar(932, 0, sjis.data(), static_cast<int>(sjis.size()), nullptr, 0);
    std::u16string wide(static_cast<size_t>(nWide), u'\0');
    MultiByteToWideChar(932, 0, sjis.data(), static_cast<int>(sjis.size()), wide.data(), nWide);
    const int nUtf8 = WideCharToMultiByte(CP_UTF8, 0, wide.data(), nWide, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(nUtf8), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), nWide, utf8.data(), nUtf8, nullptr, nullptr);
    return utf8;
}

const std::string kJisOn = "\x1b$B";
const std::string kJisOff = "\x1b(B";

// A JIS page with the code 0x3021 five times, each in its own escape pair: ten sequences.
std::string JisPage()
{
    std::string page = "<p>";
    for (int i = 0; i < 5; ++i)
        page += kJisOn + "0!" + kJisOff + "x";
    return page;
}

} // namespace

TEST(CPendingQueueTest, RingOperations)
{
    CPendingQueue queue;
    EXPECT_TRUE(queue.IsEmpty());
    for (BYTE b = 1; b <= 5; ++b)
        EXPECT_TRUE(queue.Put(b));
    EXPECT_EQ(5, queue.PeekLast(0));
    EXPECT_EQ(3, queue.PeekLast(2));
    EXPECT_EQ(0, queue.PeekLast(5));
    EXPECT_EQ(5, queue.PopLast());
    queue.DropLast(2);
    EXPECT_EQ(2, queue.GetCount());
    EXPECT_EQ(1, queue.GetFirst());
    BYTE out[4] = {};
    EXPECT_EQ(1, queue.ReadInto(out, 4));
    EXPECT_EQ(2, out[0]);
    EXPECT_EQ(0, queue.ReadInto(out, 4));
    EXPECT_EQ(0, queue.GetFirst());
    EXPECT_EQ(0, queue.PopLast());
    queue.DropLast(3);
    EXPECT_EQ(0, queue.GetCount());
}

TEST(CPendingQueueTest, HoldsAtMost255BytesAndWraps)
{
    CPendingQueue queue;
    for (int i = 0; i < 255; ++i)
        ASSERT_TRUE(queue.Put(static_cast<BYTE>(i)));
    EXPECT_FALSE(queue.Put(0xAA));
    EXPECT_EQ(254, queue.PeekLast(0));
    BYTE out[300] = {};
    ASSERT_EQ(255, queue.ReadInto(out, 300));
    for (int i = 0; i < 255; ++i)
        ASSERT_EQ(i, out[i]);
    // Past the end of the ring the indices wrap.
    for (int i = 0; i < 10; ++i)
        queue.Put(static_cast<BYTE>(100 + i));
    EXPECT_EQ(100, queue.GetFirst());
    EXPECT_EQ(109, queue.PeekLast(0));
}

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
    EXPECT_EQ(0, CTranslatingFile::ScoreJis(Bytes(text), Len(text)));
    EXPECT_EQ(1, CTranslatingFile::ScoreEucJp(Bytes(text), Len(text)));
    EXPECT_EQ(0, CTranslatingFile::ScoreShiftJis(Bytes(text), Len(text)));
    EXPECT_EQ(CTranslatingFile::encodingNone, CTranslatingFile::PickEncoding(Bytes(text), Len(text), 65001));
    EXPECT_EQ(text, Translate(text));
}

TEST(CTranslatingFileTest, JisScores)
{
    const std::string five = JisPage();
    EXPECT_EQ(4, CTranslatingFile::ScoreJis(Bytes(five), Len(five)));
    const std::string one = "a" + kJisOn + "0!";
    EXPECT_EQ(1, CTranslatingFile::ScoreJis(Bytes(one), Len(one)));
    const std::string three = kJisOn + kJisOff + "\x1b(J";
    EXPECT_EQ(3, CTranslatingFile::ScoreJis(Bytes(three), Len(three)));
    const std::string high = five + "\xA4";
    EXPECT_EQ(0, CTranslatingFile::ScoreJis(Bytes(high), Len(high)));
    // A byte inside a sequence breaks it.
    const std::string broken = "\x1b$xB";
    EXPECT_EQ(0, CTranslatingFile::ScoreJis(Bytes(broken), Len(broken)));
}

TEST(CTranslatingFileTest, JisPageIsConvertedOnlyWithEnoughEscapes)
{
    std::string expected = "<p>";
    for (int i = 0; i < 5; ++i)
        expected += "\x88\x9F" "x";
    ChunkFile source(JisPage());
    CTranslatingFile file(&source);
    EXPECT_EQ(FromShiftJis(expected), ReadAll(file));
    EXPECT_EQ(CTranslatingFile::encodingJis, file.GetEncoding());

    const std::string one = "a" + kJisOn + "0!" + kJisOff;
    EXPECT_EQ(one, Translate(one));
}

TEST(CTranslatingFileTest, JisDeliveredOneByteAtATime)
{
    std::string expected = "<p>";
    for (int i = 0; i < 5; ++i)
        expected += "\x88\x9F" "x";
    EXPECT_EQ(FromShiftJis(expected), Translate(JisPage(), 1));
    EXPECT_EQ(FromShiftJis(expected), Translate(JisPage(), 1, 1));
}

TEST(CTranslatingFileTest, JisOtherSequencesAndAnnouncer)
{
    // Pad with recognised sequences so the page is taken as JIS.
    const std::string pad = kJisOff + kJisOff + kJisOff + kJisOff + kJisOff;
    // The announcer goes and a following switch still works; ESC ( I stays.
    const std::string text = pad + "\x1b&@" + kJisOn + "0!" + kJisOff + "\x1b(Ia\x1b" "b";
    EXPECT_EQ("\xE4\xBA\x9C\x1b(Ia\x1b" "b", Translate(text));
    // In double-byte mode a byte outside 33 to 126 passes, and so does a lone first byte.
    const std::string odd = pad + kJisOn + "0\n!" + kJisOff;
    EXPECT_EQ("0\n!", Translate(odd));
    // A sequence cut off by the end of the page is delivered as it stands.
    const std::string cut = pad + kJisOn + "0";
    EXPECT_EQ("0", Translate(cut));
    const std::string cutEsc = pad + "\x1b$";
    EXPECT_EQ("\x1b$", Translate(cutEsc));
}

TEST(CTranslatingFileTest, JisToShiftJisArithmetic)
{
    BYTE s1 = 0, s2 = 0;
    CTranslatingFile::JisToShiftJis(0x30, 0x21, s1, s2);
    EXPECT_EQ(0x88, s1);
    EXPECT_EQ(0x9F, s2);
    CTranslatingFile::JisToShiftJis(0x24, 0x22, s1, s2); // hiragana small a
    EXPECT_EQ(0x82, s1);
    EXPECT_EQ(0xA0, s2);
    CTranslatingFile::JisToShiftJis(0x21, 0x60, s1, s2);
    EXPECT_EQ(0x81, s1);
    EXPECT_EQ(0x80, s2);
    CTranslatingFile::JisToShiftJis(0x60, 0x21, s1, s2);
    EXPECT_EQ(0xE0, s1);
    EXPECT_EQ(0x9F, s2);
}

TEST(CTranslatingFileTest, EucJpIsConverted)
{
    // Ten hiragana (0xA4A2 ...), a half-width katakana and a JIS X 0212 character.
    std::string text = "<p>";
    for (int i = 0; i < 10; ++i)
        text += "\xA4\xA2";
    text += "\x8E\xB1" "\x8F\xA2\xAF" "z";
    EXPECT_EQ(4, CTranslatingFile::ScoreEucJp(Bytes(text), Len(text)));
    std::string expected = "<p>";
    for (int i = 0; i < 10; ++i)
        expected += "\x82\xA0";
    expected += "\xB1" "." "z";
    ChunkFile source(text, 3);
    CTranslatingFile file(&source);
    EXPECT_EQ(FromShiftJis(expected), ReadAll(file, 1));
    EXPECT_EQ(CTranslatingFile::encodingEucJp, file.GetEncoding());
}

TEST(CTranslatingFileTest, EucJpBrokenSequencesPassUnchanged)
{
    std::string text;
    for (int i = 0; i < 10; ++i)
        text += "\xA4\xA2";
    std::string expected;
    for (int i = 0; i < 10; ++i)
        expected += "\x82\xA0";
    // Past the first 2048 bytes a broken sequence no longer changes the choice.
    text += std::string(2048, 'a');
    expected += std::string(2048, 'a');
    text += "\xA4" "q" "\x8E\x41" "\x80" "\xA4";
    // Passed unchanged into Shift-JIS, where they read as a half-width katakana, a kanji, the
    // control character of the byte's number and a half-width katakana again.
    expected = FromShiftJis(expected) + "\xEF\xBD\xA4" "q" "\xE6\x8B\xB6" "\xC2\x80" "\xEF\xBD\xA4";
    EXPECT_EQ(expected, Translate(text));
    const std::string bad = "\xA4\xA2\xA4q";
    EXPECT_EQ(0, CTranslatingFile::ScoreEucJp(Bytes(bad), Len(bad)));
}

TEST(CTranslatingFileTest, ShiftJisScoresAndIsCopied)
{
    std::string text = "<p>";
    for (int i = 0; i < 11; ++i)
        text += "\x82\xA0";
    EXPECT_EQ(4, CTranslatingFile::ScoreShiftJis(Bytes(text), Len(text)));
    EXPECT_EQ(CTranslatingFile::encodingShiftJis, CTranslatingFile::PickEncoding(Bytes(text), Len(text), 65001));
    EXPECT_EQ(FromShiftJis(text), Translate(text));
    const std::string badTrail = "\x82\x20";
    EXPECT_EQ(0, CTranslatingFile::ScoreShiftJis(Bytes(badTrail), Len(badTrail)));
    const std::string few = "abcde\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0";
    EXPECT_EQ(3, CTranslatingFile::ScoreShiftJis(Bytes(few), Len(few)));
    const std::string oneChar = "\x82\xA0";
    EXPECT_EQ(1, CTranslatingFile::ScoreShiftJis(Bytes(oneChar), Len(oneChar)));
}

TEST(CTranslatingFileTest, JapaneseSystemLowersTheBaseline)
{
    // Three EUC-JP characters score 3: below the baseline elsewhere, enough on code page 932.
    const std::string text = "\xA4\xA2\xA4\xA2\xA4\xA2";
    EXPECT_EQ(3, CTranslatingFile::ScoreEucJp(Bytes(text), Len(text)));
    EXPECT_EQ(0, CTranslatingFile::ScoreShiftJis(Bytes(text), Len(text)));
    EXPECT_EQ(CTranslatingFile::encodingNone, CTranslatingFile::PickEncoding(Bytes(text), Len(text), 65001));
    EXPECT_EQ(CTranslatingFile::encodingEucJp, CTranslatingFile::PickEncoding(Bytes(text), Len(text), 932));
}

TEST(CTranslatingFileTest, TiesGoToTheBaselineThenShiftJis)
{
    // Shift-JIS and EUC-JP both score 4 on this text; Shift-JIS wins the tie.
    std::string text;
    for (int i = 0; i < 12; ++i)
        text += "\xE0\xA1";
    EXPECT_EQ(4, CTranslatingFile::ScoreShiftJis(Bytes(text), Len(text)));
    EXPECT_EQ(4, CTranslatingFile::ScoreEucJp(Bytes(text), Len(text)));
    EXPECT_EQ(CTranslatingFile::encodingShiftJis, CTranslatingFile::PickEncoding(Bytes(text), Len(text), 65001));
}

TEST(CTranslatingFileTest, Utf8AccentedTextIsNotTakenForEucJp)
{
    // "é" in UTF-8 is C3 A9: both bytes fit EUC-JP, so ten of them would score 4 and the page
    // would be garbled by a conversion.
    std::string text = "<p>";
    for (int i = 0; i < 10; ++i)
        text += "caf\xC3\xA9\xC3\xA9 ";
    ASSERT_EQ(4, CTranslatingFile::ScoreEucJp(Bytes(text), Len(text)));
    EXPECT_TRUE(CTranslatingFile::IsMultibyteUtf8(Bytes(text), Len(text)));
    EXPECT_EQ(CTranslatingFile::encodingNone, CTranslatingFile::PickEncoding(Bytes(text), Len(text), 65001));
    EXPECT_EQ(text, Translate(text));
}

TEST(CTranslatingFileTest, Utf8Recognition)
{
    const std::string ascii = "abc";
    EXPECT_FALSE(CTranslatingFile::IsMultibyteUtf8(Bytes(ascii), Len(ascii)));
    const std::string cut = "ab\xE3\x81";
    EXPECT_TRUE(CTranslatingFile::IsMultibyteUtf8(Bytes(cut), Len(cut)));
    const std::string sjis = "\x82\xA0";
    EXPECT_FALSE(CTranslatingFile::IsMultibyteUtf8(Bytes(sjis), Len(sjis)));
    const std::string overlong = "\xC0\xAF";
    EXPECT_FALSE(CTranslatingFile::IsMultibyteUtf8(Bytes(overlong), Len(overlong)));
    const std::string surrogate = "\xED\xA0\x80";
    EXPECT_FALSE(CTranslatingFile::IsMultibyteUtf8(Bytes(surrogate), Len(surrogate)));
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
