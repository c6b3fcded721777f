#include "engine/html/CHtmlParser.h"
#include "engine/html/CPageCharset.h"
#include "engine/html/CPageCharsetJudge.h"
#include "engine/html/CTranslatingFile.h"
#include "HtmlLexerTestSupport.h"
#include "support/IconvProgram.h"
#include "support/LegacySitePages.h"
#include "support/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <string>

using htmltest::ChunkFile;

namespace {

// The charset a translating file reads the page in.
CPageCharset Detect(const std::string& page)
{
    ChunkFile source(page, 4096);
    CTranslatingFile file(&source);
    char ch = 0;
    file.Read(&ch, 1);
    return file.GetCharset();
}

// Everything a translating file delivers over the page, read from a source that hands out
// nSourceChunk bytes at a time.
std::string Delivered(const std::string& page, size_t nSourceChunk)
{
    ChunkFile source(page, nSourceChunk);
    CTranslatingFile file(&source);
    std::string out;
    char buffer[7];
    for (UINT n; (n = file.Read(buffer, sizeof buffer)) > 0;)
        out.append(buffer, n);
    return out;
}

const std::string kHangul = "\xED\x95\x9C\xEA\xB8\x80"; // two Hangul syllables in UTF-8
const std::string kHangulEucKr = "\xC7\xD1\xB1\xDB";

} // namespace

TEST(CPageCharsetTest, TheDeclaredCharsetWinsOverTheGuess)
{
    EXPECT_EQ("euc-kr", CPageCharset::FindDeclaredName(reinterpret_cast<const BYTE*>(
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=EUC-KR\">"), 66));
    EXPECT_EQ("ISO-8859-1", Detect("<meta charset='ISO-8859-1'>").GetWriteName());
    // Korean text alone looks like EUC-JP to the Japanese guess; its declaration says otherwise.
    std::string korean = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=euc-kr\">";
    for (int i = 0; i < 10; ++i)
        korean += kHangulEucKr;
    const CPageCharset charset = Detect(korean);
    EXPECT_EQ(CPageCharset::Kind::Iconv, charset.GetKind());
    EXPECT_EQ("EUC-KR", charset.GetWriteName());
    // An unknown name is no declaration: the guess decides.
    EXPECT_EQ(CPageCharset::Kind::Utf8, Detect("<meta charset=\"x-nonsense\">" + kHangul).GetKind());
    // Undeclared: UTF-8 by its sequences, other 8-bit text Windows-1252, ASCII undecided.
    EXPECT_EQ(CPageCharset::Kind::Utf8, Detect("caf\xC3\xA9").GetKind());
    EXPECT_EQ(CPageCharset::Kind::Windows1252, Detect("caf\xE9 au lait").GetKind());
    EXPECT_EQ(CPageCharset::Kind::Undeclared, Detect("<p>plain").GetKind());
    std::string eucJp;
    for (int i = 0; i < 10; ++i)
        eucJp += "\xA4\xA2";
    EXPECT_EQ("EUC-JP", Detect(eucJp).GetWriteName());
}

// The translations of a guide declare no charset: each is read in what the charset detector takes
// its text for, and its title and text come out in their own characters. A title of a few letters
// is too little to judge by, and is said to be so.
TEST(CPageCharsetTest, APageThatDeclaresNothingIsReadInWhatItsTextIsIn)
{
    using namespace legacy_site;
    ScopedTempDir dir;
    const auto iconv = [&](const std::string& text, const char* pszTo) {
        return iconv_program::Convert(text, "UTF-8", pszTo, dir.Path() + "/page");
    };
    const struct {
        const GuidePage& page;
        const char* pszBytes;
        const char* pszRead;
    } pages[] = {{kFrench, "WINDOWS-1252", "windows-1252"}, {kRussian, "WINDOWS-1251", "windows-1251"},
                 {kChinese, "GBK", "gb18030"},                {kJapanese, "SHIFT_JIS", "Shift_JIS"},
                 {kJapanese, "EUC-JP", "EUC-JP"},            {kJapanese, "ISO-2022-JP", "ISO-2022-JP"}};
    for (const auto& page : pages) {
        SCOPED_TRACE(page.pszBytes);
        const std::string text = Page(page.page);
        const std::string bytes = iconv(text, page.pszBytes);
        EXPECT_EQ(Detect(bytes).GetName(), page.pszRead);
        EXPECT_EQ(Delivered(bytes, 3), text);
    }
    // A few Chinese letters in a title alone: what the detector says of them is no more than a
    // hint, and the page is read as browsers read one they cannot judge.
    const std::string title = iconv("<html><head><title>网络设置</title></head><body><p>See the next chapter.</p>", "GBK");
    CPageCharsetJudge judge(CPageCharsetJudge::ReadStart(reinterpret_cast<const BYTE*>(title.data()),
                                                         static_cast<UINT>(title.size())),
                            CPageCharset(), CPageCharsetJudge::Look::Start);
    judge.Add(title.data(), title.size());
    judge.Finish();
    EXPECT_EQ(judge.GetReading().evidence, CharsetEvidence::WeakGuess);
    EXPECT_EQ(judge.GetReading().charset.GetName(), "windows-1252");
}

TEST(CPageCharsetTest, PagesAreDeliveredInUtf8WhateverTheirCharset)
{
    const std::string latin = "<meta charset=iso-8859-1><title>Endere\xE7os \x80</title>";
    EXPECT_EQ("<meta charset=iso-8859-1><title>Endere\xC3\xA7os \xE2\x82\xAC</title>", Delivered(latin, 3));
    std::string korean = "<meta charset=euc-kr>";
    std::string expected = korean;
    for (int i = 0; i < 600; ++i) {
        korean += kHangulEucKr;
        expected += kHangul;
    }
    // Characters cut between two reads of the source come out whole.
    EXPECT_EQ(expected, Delivered(korean, 3));
    EXPECT_EQ(expected, Delivered(korean, 1));
    const std::string sjis = "<meta charset=shift_jis>\x93\xFA\x96\x7B";
    EXPECT_EQ("<meta charset=shift_jis>\xE6\x97\xA5\xE6\x9C\xAC", Delivered(sjis, 2));
    // A stray byte in a UTF-8 page reads as its Windows-1252 character.
    EXPECT_EQ("a\xC3\xA9 \xC3\xA9", Delivered("a\xC3\xA9 \xE9", 1));
}

TEST(CPageCharsetTest, WritingUsesThePagesBytesAndReferencesForTheRest)
{
    const std::string text = "caf\xC3\xA9 \xE2\x82\xAC " + kHangul + " \xE6\x97\xA5";
    EXPECT_EQ(text, CPageCharset::FromName("utf-8").Encode(text));
    EXPECT_EQ("caf\xE9 &#8364; &#54620;&#44544; &#26085;", CPageCharset::FromName("iso-8859-1").Encode(text));
    EXPECT_EQ("caf\xE9 \x80 &#54620;&#44544; &#26085;", CPageCharset::FromName("windows-1252").Encode(text));
    EXPECT_EQ("caf&#233; \xA2\xE6 " + kHangulEucKr + " \xEC\xED", CPageCharset::FromName("euc-kr").Encode(text));
    EXPECT_EQ("caf&#233; &#8364; &#54620;&#44544; \x93\xFA", CPageCharset::FromName("shift_jis").Encode(text));
    // A page that declares nothing and holds only ASCII gets references, readable in any charset.
    EXPECT_EQ("caf&#233; &#8364; &#54620;&#44544; &#26085;", Detect("<p>").Encode(text));
    // A stateful charset is back in ASCII before each reference and at the end.
    EXPECT_EQ("\x1b$BF|\x1b(B&#233;", CPageCharset::FromName("iso-2022-jp").Encode("\xE6\x97\xA5\xC3\xA9"));
}

TEST(CPageCharsetTest, TheParserCountsThePagesOwnBytes)
{
    // The UTF-8 the lexer is given is longer than the Latin-1 page; the page's size is what counts.
    const std::string latin = "<meta charset=iso-8859-1><p>" + std::string(3000, '\xE9');
    ChunkFile source(latin, 100);
    CTranslatingFile file(&source);
    CHtmlParser parser(nullptr, &file, FALSE, FALSE, 1);
    parser.Parse();
    EXPECT_EQ(static_cast<DWORD>(latin.size()), parser.GetBytesRead());
}

// A UTF-8 byte order mark decides the charset, as it does for browsers: a page labelled
// ISO-8859-1 behind one is read as UTF-8, the mark no text of the page.
TEST(CPageCharsetTest, AByteOrderMarkDecidesTheCharsetAPageIsReadIn)
{
    const std::string page = "\xEF\xBB\xBF<meta http-equiv=\"Content-Type\" content=\"text/html; charset=ISO-8859-1\">"
                             "<title>Caf\xC3\xA9</title>";
    EXPECT_EQ(CPageCharset::Kind::Utf8, Detect(page).GetKind());
    const std::string delivered = Delivered(page, 5);
    EXPECT_NE(delivered.find("<title>Caf\xC3\xA9</title>"), std::string::npos) << delivered;
    EXPECT_EQ(delivered.find("\xC3\xAF\xC2\xBB\xC2\xBF"), std::string::npos) << delivered;
}

// Only a META tag's own declarations name the charset: its CHARSET, or the CONTENT of its
// HTTP-EQUIV="Content-Type"; not the word in another tag's value, nor a tag in a comment.
TEST(CPageCharsetTest, OnlyThePagesOwnDeclarationsNameItsCharset)
{
    const auto declared = [](const std::string& text) {
        return CPageCharset::FindDeclaredName(reinterpret_cast<const BYTE*>(text.data()), static_cast<UINT>(text.size()));
    };
    EXPECT_EQ(declared("<meta property=\"og:note\" content=\"a charset=koi8-r\"><meta charset=\" Windows-1251 \">"),
              "windows-1251");
    EXPECT_EQ(declared("<!-- <meta charset=koi8-r> --><META HTTP-EQUIV='content-type' CONTENT='text/html;charset=EUC-KR'>"),
              "euc-kr");
    EXPECT_EQ(declared("<meta name=\"description\" content=\"charset=latin1\"><metadata charset=x>"), "");
    EXPECT_EQ(declared("<meta charset=utf-8/>"), "utf-8");
}

// Pages are written only in the charsets browsers read them in, named by any of their labels;
// UTF-16 is read as UTF-8 (a META tag could not have been read otherwise) but not written.
TEST(CPageCharsetTest, OnlyCharsetsBrowsersReadPagesInAreWritten)
{
    for (const char* pszName : {"utf-32", "UCS-2", "utf-7", "IBM037", "utf-16", "UTF-16BE", "iso-2022-kr", "cp932", ""})
        EXPECT_EQ(CPageCharset::Kind::Undeclared, CPageCharset::ForWriting(pszName).GetKind()) << pszName;
    EXPECT_EQ(CPageCharset::Kind::Utf8, CPageCharset::FromName("utf-16").GetKind());
    const struct {
        const char* pszLabel;
        const char* pszName;
    } labels[] = {{"latin1", "ISO-8859-1"}, {" Windows-1251 ", "windows-1251"}, {"ms_kanji", "Shift_JIS"},
                  {"gb2312", "GBK"}, {"koi", "KOI8-R"}, {"x-mac-ukrainian", "x-mac-cyrillic"}, {"ks_c_5601-1987", "EUC-KR"},
                  {"sun_eu_greek", "ISO-8859-7"}, {"logical", "ISO-8859-8-I"}, {"tis-620", "windows-874"}};
    for (const auto& label : labels) {
        const CPageCharset charset = CPageCharset::ForWriting(label.pszLabel);
        EXPECT_NE(CPageCharset::Kind::Undeclared, charset.GetKind()) << label.pszLabel;
        EXPECT_EQ(charset.GetName(), label.pszName) << label.pszLabel;
    }
}

// The decoder tells where the first byte that forms no character of the charset stands, also
// when the pieces cut a character in two.
TEST(CPageCharsetTest, TheDecoderTellsTheFirstByteThatDoesNotRead)
{
    const std::string page = "<p>\x93\xFA\x96\x7B \x82\xA0\x82 \x82\xA2</p>";
    for (size_t nPiece : {size_t(1), size_t(4), page.size()}) {
        CPageDecoder decoder(CPageCharset::FromName("shift_jis"));
        std::string out;
        for (size_t at = 0; at < page.size(); at += nPiece)
            decoder.Decode(page.data() + at, std::min(nPiece, page.size() - at), out);
        decoder.Finish(out);
        EXPECT_FALSE(decoder.IsReadWhole());
        EXPECT_EQ(decoder.GetFirstUnread(), static_cast<long long>(page.find("\x82 "))) << nPiece;
        EXPECT_EQ(decoder.GetFirstUnreadByte(), 0x82);
    }
    // A character cut off by the page's end does not read either.
    CPageDecoder utf8(CPageCharset::FromName("utf-8"));
    std::string out;
    utf8.Decode("ab\xE2\x86", 4, out);
    utf8.Finish(out);
    EXPECT_EQ(utf8.GetFirstUnread(), 2);
}
