#include "engine/html/CHtmlParser.h"
#include "engine/html/CPageCharset.h"
#include "engine/html/CPageCharsetJudge.h"
#include "engine/html/CTranslatingFile.h"
#include "HtmlLexerTestSupport.h"
#include "support/IconvProgram.h"
#include "support/EncodingIndexes.h"
#include "support/LegacySitePages.h"
#include "support/ScopedTempDir.h"

#include "platform/core/CodePage.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <tuple>
#include <vector>

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
// its text for, and its title and text come out in their own characters, also behind a sign in
// the head and a long style sheet. A title of a few letters is too little to judge by, and
// is said to be so.
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
    // Chapters of 7 to 12 KB whose first byte beyond ASCII is a sign in the head, before a style
    // sheet longer than what the detector is given of a page.
    const std::string style = "<style>" + std::string(3000, ' ') + "</style>\n";
    for (const auto& [pPage, pszBytes, pszRead] : {std::tuple{&kPolish, "ISO-8859-2", "ISO-8859-2"},
                                                   std::tuple{&kCzech, "CP1250", "windows-1250"},
                                                   std::tuple{&kTurkish, "ISO-8859-9", "windows-1254"}}) {
        SCOPED_TRACE(pszBytes);
        std::string body;
        while (body.size() < 6000)
            body += pPage->pszBody;
        const GuidePage chapter{pPage->pszTitle, body.c_str()};
        const std::string text = Page(chapter, "<meta name=\"description\" content=\"20\u00B0\">\n" + style);
        const std::string bytes = iconv(text, pszBytes);
        EXPECT_EQ(Detect(bytes).GetName(), pszRead);
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

// A page given another charset is judged by all of its bytes as they come, in pieces of any size
// the save reads, a character cut between two of them, and the judgement is the same whatever the
// pieces, and whether the page's words are few enough to be held or so many that they are read in
// every charset as they come: of a Russian text in a comment alone under a Latin-1 label, which
// that label does not read; of a Hebrew page under a UTF-8 title; of the 7-bit Japanese charset's
// escapes; of the bytes windows-1252 leaves unassigned; and of a declaration that stands after 2 KB
// of head, which labels the page.
TEST(CPageCharsetTest, APageIsJudgedAlikeWhateverThePiecesItComesIn)
{
    using namespace legacy_site;
    ScopedTempDir dir;
    const auto iconv = [&](const std::string& text, const char* pszTo) {
        return iconv_program::Convert(text, "UTF-8", pszTo, dir.Path() + "/page");
    };
    const std::string style = "<style>" + std::string(3000, ' ') + "</style>\n";
    const std::string comment = iconv("<!-- " + std::string(kRussian.pszTitle) + " -->\n", "CP1251");
    const std::string hebrew = iconv(kHebrew.pszBody, "ISO-8859-8");
    const std::string japanese = iconv(kJapanese.pszBody, "ISO-2022-JP");
    const std::string french = iconv(kFrench.pszBody, "CP1252");
    const std::string russian = iconv(kRussian.pszBody, "CP1251");
    const struct {
        std::string bytes;
        std::string more; // what the page holds more of when it is too large to be held
        CPageCharsetJudge::Change change;
        const char* pszSource; // the reading converted from, or kept
    } pages[] = {
        {iconv("<html><head>\n" + ContentType("ISO-8859-1") + "<title>Network</title>\n</head><body>\n", "CP1251") + comment +
             "<p>See the next chapter.</p>\n</body></html>\n",
         comment, CPageCharsetJudge::Change::Unknown, "ISO-8859-1"},
        {"<html><head>\n" + ContentType("ISO-8859-8") + "<title>" + kHebrew.pszTitle + "</title>\n</head><body>\n" + hebrew +
             "</body></html>\n",
         hebrew, CPageCharsetJudge::Change::Doubt, "ISO-8859-8"},
        {iconv(Page(kJapanese, ContentType("ISO-2022-JP")), "ISO-2022-JP"), japanese, CPageCharsetJudge::Change::Convert,
         "ISO-2022-JP"},
        {iconv(Page(kFrench, ContentType("windows-1252")), "CP1252") + "<p>R-\x81\x8D\x8F\x90\x9D</p><p>Cr\xE8me\x01</p>", french,
         CPageCharsetJudge::Change::Convert, "windows-1252"},
        {iconv("<html><head>\n" + style + ContentType("windows-1251") + "<title>" + kRussian.pszTitle + "</title>\n</head>"
                   "<body>\n" + kRussian.pszBody + "</body></html>\n", "CP1251"),
         russian, CPageCharsetJudge::Change::Convert, "windows-1251"},
    };
    const CPageCharset utf8 = CPageCharset::FromName("utf-8");
    for (const auto& page : pages) {
        const std::string& small = page.bytes;
        std::string more;
        while (more.size() < CPageCharsetJudge::kHeldWords * 2)
            more += page.more;
        std::string large = small;
        large.insert(large.rfind("</body>"), more);
        for (const auto& [pBytes, pieces] : {std::pair{&small, std::vector<size_t>{1, 3, 1000, small.size()}},
                                             std::pair{static_cast<const std::string*>(&large), std::vector<size_t>{7, 16384}}}) {
            const std::string& bytes = *pBytes;
            for (const size_t nPiece : pieces) {
                CPageCharsetJudge judge(CPageCharsetJudge::ReadStart(reinterpret_cast<const BYTE*>(bytes.data()),
                                                                     static_cast<UINT>(bytes.size())),
                                        utf8, CPageCharsetJudge::Look::Whole);
                for (size_t at = 0; at < bytes.size(); at += nPiece)
                    judge.Add(bytes.data() + at, std::min(nPiece, bytes.size() - at));
                judge.Finish();
                const CPageCharsetJudge::Verdict verdict = judge.Decide();
                const std::string what = page.pszSource + std::string(", ") + std::to_string(bytes.size()) + " bytes in pieces of "
                    + std::to_string(nPiece);
                EXPECT_EQ(verdict.change, page.change) << what;
                EXPECT_EQ(verdict.source.charset.GetName(), page.pszSource) << what;
            }
        }
    }
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
    // The five bytes windows-1252 leaves unassigned read as the controls of their numbers, which
    // are written back as those bytes.
    for (const char* pszName : {"windows-1252", "iso-8859-1"})
        EXPECT_EQ("\x81\x8D\x8F\x90\x9D", CPageCharset::FromName(pszName).Encode("\u0081\u008D\u008F\u0090\u009D"));
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

namespace {

std::string Utf8Of(char32_t ch)
{
    std::string utf8;
    Utf8Encode(ch, utf8);
    return utf8;
}

std::string Read(const CPageCharset& charset, const std::string& bytes)
{
    CPageDecoder decoder(charset);
    std::string text;
    decoder.Decode(bytes.data(), bytes.size(), text);
    decoder.Finish(text);
    return text;
}

// Checks one charset against its table: the bytes of every place read as its character, or as
// U+FFFD where it holds none; and every character is written as the bytes browsers write for
// it (standard: empty where they write none) or as a reference, and what is written reads back
// as the character.
class TableCheck {
public:
    TableCheck(const char* pszLabel) : m_charset(CPageCharset::ForWriting(pszLabel)), m_label(pszLabel)
    {
        EXPECT_EQ(m_charset.GetKind() == CPageCharset::Kind::Undeclared, false) << pszLabel;
    }
    ~TableCheck()
    {
        EXPECT_EQ(m_nFaults, 0) << m_label << ", the first of them:\n" << m_first;
    }

    void Reads(const std::string& bytes, long ch)
    {
        // A trail byte of ASCII after a lead is read as itself, as in any text.
        const char last = bytes.back();
        const std::string none = "\xEF\xBF\xBD" + (bytes.size() == 2 && last >= 0 ? std::string(1, last) : std::string());
        const std::string text = Read(m_charset, bytes);
        if (text != (ch < 0 ? none : Utf8Of(static_cast<char32_t>(ch))))
            Fault("bytes " + Hex(bytes) + " read as " + Hex(text) + (ch < 0 ? ", no character" : " for U+" + Hex(ch)));
    }

    void Writes(long ch, const std::string& standard)
    {
        const std::string utf8 = Utf8Of(static_cast<char32_t>(ch));
        const std::string written = m_charset.Encode(utf8);
        const std::string reference = "&#" + std::to_string(ch) + ";";
        if (written != standard && written != reference)
            Fault("U+" + Hex(ch) + " written as " + Hex(written) + ", not " + Hex(standard));
        else if (written != reference && Read(m_charset, written) != utf8)
            Fault("U+" + Hex(ch) + " written as " + Hex(written) + " reads back as " + Hex(Read(m_charset, written)));
    }

    const CPageCharset& Charset() const { return m_charset; }

private:
    static std::string Hex(const std::string& bytes)
    {
        std::string hex;
        for (const char ch : bytes)
            hex += Hex(static_cast<unsigned char>(ch)) + " ";
        return hex;
    }
    static std::string Hex(long value)
    {
        char text[16];
        std::snprintf(text, sizeof text, "%02lX", value);
        return text;
    }
    void Fault(const std::string& what)
    {
        if (m_nFaults++ == 0)
            m_first = what;
    }

    CPageCharset m_charset;
    std::string m_label;
    int m_nFaults = 0;
    std::string m_first;
};

// The first pointer of each character in a table, as the writers of browsers take it; a filter
// leaves pointers out.
template <class Keep>
std::map<long, long> FirstPointers(const std::vector<long>& table, Keep keep)
{
    std::map<long, long> first;
    for (long nPointer = 0; nPointer < static_cast<long>(table.size()); ++nPointer) {
        if (table[nPointer] >= 0 && keep(nPointer))
            first.emplace(table[nPointer], nPointer);
    }
    return first;
}

std::string CharsetBytes(std::initializer_list<long> values)
{
    std::string bytes;
    for (const long value : values)
        bytes += static_cast<char>(value);
    return bytes;
}

} // namespace

// Every character of every legacy charset's table goes through the writer and the reader and
// comes back the same; the bytes of every place read as browsers read them, and what is written
// is what browsers write, or a reference where the program keeps to what every reader knows.
TEST(CPageCharsetTest, EveryCharacterOfEachCharsetsTableReadsBackAsWritten)
{
    const encoding_indexes::Tables& tables = encoding_indexes::BrowserTables();
    ASSERT_GE(tables.size(), 33u) << "the tables of the charsets are not installed";
    const auto all = [](long) { return true; };

    for (const char* pszName : {"ibm866", "iso-8859-2", "iso-8859-3", "iso-8859-4", "iso-8859-5", "iso-8859-6",
                                "iso-8859-7", "iso-8859-8", "iso-8859-10", "iso-8859-13", "iso-8859-14", "iso-8859-15",
                                "iso-8859-16", "koi8-r", "koi8-u", "macintosh", "windows-874", "windows-1250",
                                "windows-1251", "windows-1252", "windows-1253", "windows-1254", "windows-1255",
                                "windows-1256", "windows-1257", "windows-1258", "x-mac-cyrillic"}) {
        const std::vector<long>& table = tables.at(pszName);
        TableCheck check(pszName);
        for (const auto& [ch, nPointer] : FirstPointers(table, all))
            check.Writes(ch, CharsetBytes({0x80 + nPointer}));
        for (long nPointer = 0; nPointer < 128; ++nPointer)
            check.Reads(CharsetBytes({0x80 + nPointer}), table[nPointer]);
    }

    // gb18030 and GBK: pairs, GBK's euro sign in one byte, and gb18030's four-byte sequences.
    const std::vector<long>& gb = tables.at("gb18030");
    const auto gbPair = [](long nPointer) {
        const long nTrail = nPointer % 190;
        return CharsetBytes({nPointer / 190 + 0x81, nTrail + (nTrail < 0x3F ? 0x40 : 0x41)});
    };
    const std::map<long, long> gbFirst = FirstPointers(gb, all);
    {
        TableCheck gbk("gbk");
        TableCheck gb18030("gb18030");
        for (const auto& [ch, nPointer] : gbFirst) {
            gbk.Writes(ch, ch == 0x20AC ? "\x80" : gbPair(nPointer));
            gb18030.Writes(ch, gbPair(nPointer));
        }
        for (long nPointer = 0; nPointer < static_cast<long>(gb.size()); ++nPointer) {
            gbk.Reads(gbPair(nPointer), gb[nPointer]);
            gb18030.Reads(gbPair(nPointer), gb[nPointer]);
        }
        gbk.Reads("\x80", 0x20AC);
        const std::vector<long>& ranges = tables.at("gb18030-ranges");
        size_t nRange = 0;
        for (long nPointer = 0; nPointer <= 39419; ++nPointer) {
            while (nRange + 2 < ranges.size() && ranges[nRange + 2] <= nPointer)
                nRange += 2;
            const long ch = nPointer == 7457 ? 0xE7C7 : ranges[nRange + 1] + nPointer - ranges[nRange];
            const std::string bytes = CharsetBytes({nPointer / 12600 + 0x81, nPointer / 1260 % 10 + 0x30,
                                             nPointer / 10 % 126 + 0x81, nPointer % 10 + 0x30});
            gb18030.Reads(bytes, ch);
            if (gbFirst.count(ch) == 0 && ch != 0xE5E5)
                gb18030.Writes(ch, bytes);
        }
        gb18030.Reads("\x90\x30\x81\x30", 0x10000);
        gb18030.Writes(0x1F600, "\x94\x39\xFC\x36");
        gb18030.Reads("\x94\x39\xFC\x36", 0x1F600);
        // The private character whose pair now holds a space has no bytes that read back as it.
        gb18030.Writes(0xE5E5, "");
    }

    // Big5: its Hong Kong places are read but not written; a few characters it holds twice are
    // written by their last place.
    {
        const std::vector<long>& big5 = tables.at("big5");
        const auto big5Pair = [](long nPointer) {
            const long nTrail = nPointer % 157;
            return CharsetBytes({nPointer / 157 + 0x81, nTrail + (nTrail < 0x3F ? 0x40 : 0x62)});
        };
        TableCheck check("big5");
        std::map<long, long> pointers = FirstPointers(big5, [](long nPointer) { return nPointer >= (0xA1 - 0x81) * 157; });
        for (long nPointer = 0; nPointer < static_cast<long>(big5.size()); ++nPointer) {
            const long ch = big5[nPointer];
            if (ch == 0x2550 || ch == 0x255E || ch == 0x2561 || ch == 0x256A || ch == 0x5341 || ch == 0x5345)
                pointers[ch] = nPointer;
        }
        for (const auto& [ch, nPointer] : FirstPointers(big5, all)) {
            const auto written = pointers.find(ch);
            check.Writes(ch, written == pointers.end() ? std::string() : big5Pair(written->second));
        }
        for (long nPointer = 0; nPointer < static_cast<long>(big5.size()); ++nPointer) {
            if (nPointer != 1133 && nPointer != 1135 && nPointer != 1164 && nPointer != 1166)
                check.Reads(big5Pair(nPointer), big5[nPointer]);
        }
        EXPECT_EQ(Read(check.Charset(), "\x88\x62\x88\x64"), "\xC3\x8A\xCC\x84\xC3\x8A\xCC\x8C");
    }

    // The Japanese charsets share one table: Shift_JIS all of it but for NEC's duplicates of
    // IBM's characters when writing, EUC-JP and ISO-2022-JP its first 94 rows. EUC-JP also reads
    // the characters of JIS X 0212, and writes none of them.
    {
        const std::vector<long>& jis = tables.at("jis0208");
        const std::vector<long>& jis0212 = tables.at("jis0212");
        const auto sjisPair = [](long nPointer) {
            const long nLead = nPointer / 188;
            const long nTrail = nPointer % 188;
            return CharsetBytes({nLead + (nLead < 0x1F ? 0x81 : 0xC1), nTrail + (nTrail < 0x3F ? 0x40 : 0x41)});
        };
        const auto rowCell = [](long nPointer, long base) { return CharsetBytes({nPointer / 94 + base, nPointer % 94 + base}); };
        TableCheck sjis("shift_jis");
        TableCheck euc("euc-jp");
        TableCheck iso("iso-2022-jp");
        const std::map<long, long> sjisFirst = FirstPointers(jis, [](long nPointer) { return nPointer < 8272 || nPointer > 8835; });
        const std::map<long, long> jisFirst = FirstPointers(jis, all);
        for (const auto& [ch, nPointer] : jisFirst) {
            const auto written = sjisFirst.find(ch);
            sjis.Writes(ch, written == sjisFirst.end() ? std::string() : sjisPair(written->second));
            euc.Writes(ch, nPointer < 94 * 94 ? rowCell(nPointer, 0xA1) : std::string());
            iso.Writes(ch, nPointer < 94 * 94 ? "\x1B$B" + rowCell(nPointer, 0x21) + "\x1B(B" : std::string());
        }
        for (long nPointer = 0; nPointer < static_cast<long>(jis.size()); ++nPointer) {
            const bool bUserDefined = nPointer >= 8836 && nPointer < 10716;
            sjis.Reads(sjisPair(nPointer), bUserDefined ? 0xE000 + nPointer - 8836 : jis[nPointer]);
            if (nPointer < 94 * 94) {
                euc.Reads(rowCell(nPointer, 0xA1), jis[nPointer]);
                iso.Reads("\x1B$B" + rowCell(nPointer, 0x21) + "\x1B(B", jis[nPointer]);
            }
        }
        for (const auto& [ch, nPointer] : FirstPointers(jis0212, all)) {
            if (jisFirst.count(ch) == 0)
                euc.Writes(ch, std::string());
        }
        for (long nPointer = 0; nPointer < static_cast<long>(jis0212.size()); ++nPointer)
            euc.Reads("\x8F" + rowCell(nPointer, 0xA1), jis0212[nPointer]);
        // Half-width katakana, in one byte, after 0x8E, and in their own mode of ISO-2022-JP,
        // which browsers read but do not write: their full-width twins would read otherwise.
        for (long ch = 0xFF61; ch <= 0xFF9F; ++ch) {
            sjis.Writes(ch, CharsetBytes({ch - 0xFF61 + 0xA1}));
            euc.Writes(ch, CharsetBytes({0x8E, ch - 0xFF61 + 0xA1}));
            sjis.Reads(CharsetBytes({ch - 0xFF61 + 0xA1}), ch);
            euc.Reads(CharsetBytes({0x8E, ch - 0xFF61 + 0xA1}), ch);
            iso.Reads("\x1B(I" + CharsetBytes({ch - 0xFF61 + 0x21}) + "\x1B(B", ch);
            iso.Writes(ch, std::string());
        }
        // The yen sign and the overline: ISO-2022-JP has a mode for them; in the others their
        // bytes read as the backslash and the tilde.
        iso.Writes(0xA5, "\x1B(J\x5C\x1B(B");
        iso.Writes(0x203E, "\x1B(J\x7E\x1B(B");
        sjis.Writes(0xA5, std::string());
        euc.Writes(0x203E, std::string());
        EXPECT_EQ(iso.Charset().Encode("\xC2\xA5\\a\xE6\x97\xA5"), "\x1B(J\x5C\x1B(B\\a\x1B$BF|\x1B(B");
    }

    // EUC-KR writes the pairs every reader of it knows and reads the whole of the Windows
    // superset; a page naming the superset has it written too.
    {
        const std::vector<long>& kr = tables.at("euc-kr");
        const auto krPair = [](long nPointer) { return CharsetBytes({nPointer / 190 + 0x81, nPointer % 190 + 0x41}); };
        TableCheck euc("euc-kr");
        TableCheck windows("windows-949");
        for (const auto& [ch, nPointer] : FirstPointers(kr, all)) {
            const bool bProper = nPointer / 190 + 0x81 >= 0xA1 && nPointer % 190 + 0x41 >= 0xA1;
            euc.Writes(ch, bProper ? krPair(nPointer) : std::string());
            windows.Writes(ch, krPair(nPointer));
        }
        for (long nPointer = 0; nPointer < static_cast<long>(kr.size()); ++nPointer)
            euc.Reads(krPair(nPointer), kr[nPointer]);
    }
}

namespace {

// The judgement of a page given the charset, all of its bytes looked at as the save looks at them.
struct Judged {
    CPageCharsetJudge::Verdict verdict;
    PageCharsetReading reading;
};

Judged JudgeWhole(const std::string& bytes, const char* pszTarget)
{
    CPageCharsetJudge judge(CPageCharsetJudge::ReadStart(reinterpret_cast<const BYTE*>(bytes.data()),
                                                         static_cast<UINT>(bytes.size())),
                            CPageCharset::FromName(pszTarget), CPageCharsetJudge::Look::Whole);
    for (size_t at = 0; at < bytes.size(); at += 4096)
        judge.Add(bytes.data() + at, std::min<size_t>(4096, bytes.size() - at));
    judge.Finish();
    return {judge.Decide(), judge.GetReading()};
}

std::string Repeated(const std::string& text, size_t nTimes)
{
    std::string all;
    for (size_t i = 0; i < nTimes; ++i)
        all += text;
    return all;
}

// Turkish whose only letters beyond ASCII, ğ ı ş, Latin-1 reads as the Icelandic ð ý þ: both
// readings are of one alphabet, and only the language tells them apart.
const char* const kTurkishLetters = "Kullanıcı adı ve şifre. Bağlantı ayarları, dağıtım sayfası, yazılım sağlayıcısı, "
                                    "ağ tanımları, kayıt dosyası, sınır, yanıt ve ışık. Yağmur yağdı, dağlar ağardı. ";
// Icelandic whose ð ý þ ISO-8859-9 reads as the Turkish ğ ı ş, each word of one alphabet, the
// text of none: Turkish letters beside the á and í no Turkish word holds.
const char* const kIcelandicLetters = "það er gott veður, þetta er ýsa og kaffi frá Íslandi í dag.";
// Hungarian whose ő and ű Latin-1 reads as õ and û, after an opening in German of more than 2 KB
// beyond ASCII: the letters of the two readings are of as many alphabets, and only the language
// of the whole page tells them apart.
const char* const kGermanOpening = "Grüße für die Bürger über die Größe der Häuser, Äußerungen zur Qualität, schöne Grüße "
                                   "aus Köln und Düsseldorf. ";
const char* const kHungarianLetters = "Az első tűz után a kő meleg lett, a nő főzött, a fű zöld maradt. Győr felől erős "
                                      "szél jött, de a hűvös idő nem zavart. Később a szőlő is beérett. Ő itt van, ők ott. ";

} // namespace

// How a label's reading stands against a rival's of the same bytes, by what the rival is: the
// bytes' own evidence (signs read inside words, bytes read as no character) outweighs a label
// whoever reads them better; where only letters differ, a sure detector outweighs the label of
// more or as many letter oddities, but for one letter written two ways (ș and ş); a guess from
// too little text only leaves a label of letter oddities in doubt with its own reading of none;
// the charset given leaves a label in doubt only where the label reads the bytes worse, or the two
// read one letter written two ways; one odd byte of a right label (an acute accent for an
// apostrophe, a fraction beside a unit, a sign glued to a word) never gives way to a rival that
// reads other letters or signs there; readings of multi-byte
// charsets that tie are told apart by a sure detector alone; any other candidate (a charset
// beside the label's) never outweighs a label on letters. The user's word alone, the charset given
// a page read otherwise, any reading of fewer letter oddities puts in doubt; of as many, it holds.
TEST(CPageCharsetTest, EachRivalWeighsAgainstALabelByWhatItIs)
{
    using Rival = CPageCharsetJudge::Rival;
    using Weighing = CPageCharsetJudge::Weighing;
    ScopedTempDir dir;
    const struct {
        const char* pszWhat;
        std::string utf8;
        const char* pszConverter; // the bytes' charset
        const char* pszLabel;
        const char* pszRival;
        Weighing sure, guess, given, other, user;
    } rows[] = {
        {"Czech read in Latin-1", "Síťové aplikace a služby", "ISO-8859-2", "ISO-8859-1", "ISO-8859-2", Weighing::Outweighed,
         Weighing::Outweighed, Weighing::Outweighed, Weighing::Outweighed, Weighing::Outweighed},
        {"a right Czech label", "Síťové aplikace a služby", "ISO-8859-2", "ISO-8859-2", "ISO-8859-1", Weighing::Holds,
         Weighing::Holds, Weighing::Holds, Weighing::Holds, Weighing::Holds},
        {"Turkish letters read as Icelandic", kTurkishLetters, "ISO-8859-9", "ISO-8859-1", "ISO-8859-9",
         Weighing::Outweighed, Weighing::Holds, Weighing::Holds, Weighing::Holds, Weighing::Holds},
        {"Icelandic read as Turkish", kIcelandicLetters, "ISO-8859-1", "ISO-8859-9", "ISO-8859-1", Weighing::Outweighed,
         Weighing::InDoubt, Weighing::InDoubt, Weighing::Holds, Weighing::InDoubt},
        {"a Turkish title read in Latin-1", "Bölüm 6. Ağ uygulamaları", "ISO-8859-9", "ISO-8859-1", "ISO-8859-9",
         Weighing::Outweighed, Weighing::InDoubt, Weighing::InDoubt, Weighing::Holds, Weighing::InDoubt},
        {"Hungarian read in Latin-1", std::string(kGermanOpening) + kHungarianLetters, "ISO-8859-2", "ISO-8859-1",
         "ISO-8859-2", Weighing::Outweighed, Weighing::Holds, Weighing::Holds, Weighing::Holds, Weighing::Holds},
        {"Romanian with a comma read with a cedilla", "Știri: și țara, înțelepciune și ușurință", "ISO-8859-16",
         "windows-1250", "ISO-8859-16", Weighing::Holds, Weighing::Holds, Weighing::InDoubt, Weighing::Holds,
         Weighing::Holds},
        {"names of several languages", "José Muñoz, Jürgen Müller, Björn Ångström, Søren Kierkegaard, Zoë Brontë",
         "ISO-8859-1", "ISO-8859-1", "windows-1258", Weighing::Holds, Weighing::Holds, Weighing::Holds, Weighing::Holds,
         Weighing::Holds},
        {"an acute accent for an apostrophe", "Sveiki atvykę į vadovą. Don´t close it: it´s saving.", "CP1257",
         "windows-1257", "ISO-8859-13", Weighing::Holds, Weighing::Holds, Weighing::Holds, Weighing::Holds,
         Weighing::Holds},
        {"fractions beside units", "Größe: ½kg Mehl, ¼ l Milch, ¾ Tasse, 1½ Löffel", "CP1252", "windows-1252",
         "ISO-8859-15", Weighing::Holds, Weighing::Holds, Weighing::Holds, Weighing::Holds, Weighing::Holds},
        {"a sign glued to a word", "Ajuste la Exposición¢ y el tamaño. ¡Atención! España, año, señal", "ISO-8859-1",
         "ISO-8859-1", "ISO-8859-16", Weighing::Holds, Weighing::Holds, Weighing::Holds, Weighing::Holds,
         Weighing::InDoubt},
        {"a Slovene ž given windows-1250", "Dobrodošli, želimo vam lep dan in uživajte v branju", "ISO-8859-2",
         "ISO-8859-2", "windows-1250", Weighing::Holds, Weighing::Holds, Weighing::Holds, Weighing::Holds,
         Weighing::Holds},
        {"a copyright sign read as a lone letter", "Öffnungszeiten und Größe der Räume. © 2004 Müller", "ISO-8859-1",
         "ISO-8859-2", "ISO-8859-1", Weighing::Outweighed, Weighing::Outweighed, Weighing::Outweighed,
         Weighing::Outweighed, Weighing::Outweighed},
        {"Italian read with Vietnamese tones", "Il manuale è pronto: così può aprire le immagini", "CP1252",
         "windows-1258", "windows-1252", Weighing::Outweighed, Weighing::Outweighed, Weighing::Outweighed,
         Weighing::Outweighed, Weighing::Outweighed},
        {"Korean read as Chinese", "한국어 설명서", "EUC-KR", "GBK", "EUC-KR", Weighing::Outweighed, Weighing::InDoubt,
         Weighing::Holds, Weighing::Holds, Weighing::Holds},
    };
    for (const auto& row : rows) {
        const std::string bytes = iconv_program::Convert(row.utf8, "UTF-8", row.pszConverter, dir.Path() + "/text");
        ASSERT_FALSE(bytes.empty()) << row.pszWhat;
        const CTextReading label(CPageCharset::FromName(row.pszLabel), bytes);
        const CTextReading rival(CPageCharset::FromName(row.pszRival), bytes);
        const CByteCounts counts(bytes);
        EXPECT_EQ(CPageCharsetJudge::Weigh(label, rival, Rival::SureDetector, counts), row.sure) << row.pszWhat;
        EXPECT_EQ(CPageCharsetJudge::Weigh(label, rival, Rival::Detector, counts), row.guess) << row.pszWhat;
        EXPECT_EQ(CPageCharsetJudge::Weigh(label, rival, Rival::Target, counts), row.given) << row.pszWhat;
        EXPECT_EQ(CPageCharsetJudge::Weigh(label, rival, Rival::Other, counts), row.other) << row.pszWhat;
        EXPECT_EQ(CPageCharsetJudge::Weigh(label, rival, Rival::Other, counts, CPageCharsetJudge::Word::User), row.user)
            << row.pszWhat;
    }
}

// Two measures that compare readings of the same bytes, each on its own. A one-byte reading that
// takes a byte for the sign ¤ where a rival reads a currency, the rest alike, is in doubt with it;
// not where the rival leaves a byte undefined or reads a control, nor where more of their bytes
// differ, nor the other way round. Of two readings the likelier reads fewer bytes as no letter of
// a text, then is the sure detector's where only letters differ, then reads fewer letter
// oddities, then is named by the page's or the user's word before a charset beside.
TEST(CPageCharsetTest, ASignThatMayBeACurrencyAndTheLikelierOfTwoReadingsAreMeasuredEachOnItsOwn)
{
    using Judge = CPageCharsetJudge;
    ScopedTempDir dir;
    const auto bytesOf = [&](const std::string& utf8, const char* pszConverter) {
        return iconv_program::Convert(utf8, "UTF-8", pszConverter, dir.Path() + "/text");
    };
    const struct {
        const char* pszWhat;
        std::string utf8;
        const char* pszConverter;
        const char* pszReading;
        const char* pszRival;
        bool bInDoubt;
    } signs[] = {
        {"a Latin-1 price", "Prix : 15 ¤ par mois, café compris", "ISO-8859-1", "ISO-8859-1", "ISO-8859-15", true},
        {"the same the other way round", "Prix : 15 ¤ par mois, café compris", "ISO-8859-1", "ISO-8859-15", "ISO-8859-1",
         false},
        {"a Hebrew price", "מחיר: 15 ¤ לחודש", "ISO-8859-8", "ISO-8859-8", "windows-1255", true},
        {"curly quotes the rival reads as controls", "“Prix” : 15 ¤", "CP1252", "windows-1252", "ISO-8859-15", false},
        {"letters that differ besides", "Šokolaadi e-poe näidis: žürii, 30 €", "ISO-8859-15", "ISO-8859-1", "ISO-8859-15",
         false},
        {"no sign at all", "Café crème", "ISO-8859-1", "ISO-8859-1", "ISO-8859-15", false},
    };
    for (const auto& row : signs) {
        const std::string bytes = bytesOf(row.utf8, row.pszConverter);
        ASSERT_FALSE(bytes.empty()) << row.pszWhat;
        const CTextReading reading(CPageCharset::FromName(row.pszReading), bytes);
        const CTextReading rival(CPageCharset::FromName(row.pszRival), bytes);
        long long nAt = -1;
        BYTE by = 0;
        EXPECT_EQ(Judge::ReadsSignAsCurrency(reading, rival, CByteCounts(bytes), nAt, by), row.bInDoubt) << row.pszWhat;
        if (row.bInDoubt) {
            EXPECT_EQ(nAt, static_cast<long long>(bytes.find('\xA4'))) << row.pszWhat;
            EXPECT_EQ(by, 0xA4) << row.pszWhat;
        }
    }

    const std::string turkish = bytesOf(kTurkishLetters, "ISO-8859-9");
    const std::string icelandic = bytesOf(kIcelandicLetters, "ISO-8859-1");
    const std::string czech = bytesOf("Síťové aplikace", "ISO-8859-2");
    const struct {
        const char* pszWhat;
        std::string bytes;
        const char* pszOne;
        unsigned rolesOne;
        const char* pszTwo;
        unsigned rolesTwo;
        int nRank;
    } ranks[] = {
        {"fewer misread bytes", czech, "ISO-8859-2", Judge::OfScript, "ISO-8859-1", Judge::SureDetector, 1},
        {"fewer letter oddities", icelandic, "ISO-8859-1", Judge::OfScript, "ISO-8859-9", Judge::Read, 1},
        {"a sure detector where only letters differ", turkish, "ISO-8859-1", Judge::SureDetector, "ISO-8859-9",
         Judge::OfScript, 1},
        {"the label before a charset beside", turkish, "ISO-8859-9", Judge::Label, "windows-1254", Judge::OfScript, 1},
        {"how the page reads before a guess from too little text", turkish, "windows-1254", Judge::OfScript | Judge::Read,
         "ISO-8859-9", Judge::Detector, 1},
        {"alike", turkish, "ISO-8859-9", Judge::OfScript, "windows-1254", Judge::OfScript, 0},
    };
    for (const auto& row : ranks) {
        const CTextReading one(CPageCharset::FromName(row.pszOne), row.bytes);
        const CTextReading two(CPageCharset::FromName(row.pszTwo), row.bytes);
        EXPECT_EQ(Judge::Rank(one, row.rolesOne, two, row.rolesTwo), row.nRank) << row.pszWhat;
        EXPECT_EQ(Judge::Rank(two, row.rolesTwo, one, row.rolesOne), -row.nRank) << row.pszWhat;
    }
}

// What giving a page a charset does, judged over all of its bytes by the table of candidates: a
// wrong label whose letters the detector, sure over the whole page, reads otherwise is not
// converted from, also where the page opens with more than 2 KB beyond ASCII in another language
// or where both readings are of one alphabet; a Latin-1 label's sign ¤ is in doubt with
// ISO-8859-15's €, and ISO-8859-15 is what a Latin-1 label's Estonian looks like; the charset
// given that reads a label's letters as other letters puts the page to the user; Japanese font
// names read in a Latin label, letters between character references and text in a CDATA section
// count against a wrong label; an undeclared page's "5 ¤" is read as ISO-8859-15's "5 €". A page
// left alone has its own text among the readings it is shown with, where nothing sure tells it:
// a short title in Chinese, also after a sign that reads as Thai, or in Japanese, as the charset
// of its script whose rarer letters it holds none of; a Korean title as its own reading, not as
// the Chinese or Japanese that nothing points to and that reads it only as well; a price in the sign ¤ beside the charset
// that reads a currency, also under a wrong label, and a German price in euros in a script, in
// doubt between the two, an undeclared page's own reading, the one the scan shows, first; an
// Estonian title, beside the Latin charsets it reads alike in but for a letter; and Portuguese
// written on a Mac under a Latin-1 or windows-1252 label, and Serbian in windows-1251 and in
// x-mac-cyrillic under each other's label, as the charset they are in, a right label of either
// converted from; Czech written on a Mac is not converted from the ISO-8859-2 it declares, whose
// reading puts control characters inside its words, though no charset of the table reads it, and
// a right ISO-8859-2 label of the same text is.
TEST(CPageCharsetTest, AWrongLabelIsToldFromARightOneByTheTableOfCandidates)
{
    using Change = CPageCharsetJudge::Change;
    ScopedTempDir dir;
    const auto page = [](const char* pszLabel, const std::string& head, const std::string& body) {
        return "<html><head>\n" + (*pszLabel == '\0' ? std::string() : legacy_site::ContentType(pszLabel)) + head +
               "<title>Page</title>\n</head><body>\n" + body + "</body></html>\n";
    };
    const std::string fonts = "<style>body { font-family: \"ＭＳ Ｐゴシック\", \"メイリオ\", sans-serif; }</style>\n";
    // Portuguese whose ã and á Latin-1 reads as "‹" and "‡" between letters; Serbian whose
    // capitals and ђ, љ, њ x-mac-cyrillic reads as other letters.
    const std::string portuguese = "<h1>Gestão da página</h1>\n<p>Gestão de conteúdo: cada página tem um título, uma "
                                   "descrição e as palavras-chave que a descrevem.</p>\n";
    const std::string serbian = "<h1>Управљање садржајем</h1>\n<p>Добро дошли на нашу страницу. Овде ћете наћи "
                                "информације о производима, радном времену и ценама. Ђорђе, Љубиша и Његош су овде.</p>\n";
    // Czech written on a Mac, whose í, á and Č ISO-8859-2 reads as control characters inside words,
    // and no charset a page is read in as letters.
    const std::string czech = "<h1>Kapitola 6. Síťové aplikace</h1>\n<p>Vítejte na našich stránkách. Najdete zde "
                              "informace o výrobcích, otevírací době a cenách. Těšíme se na vaši návštěvu.</p>\n";
    const struct {
        const char* pszWhat;
        std::string utf8;
        const char* pszConverter;
        const char* pszTarget;
        Change change;
        const char* pszSource; // the reading converted from, or, in doubt or unknown, the label's
        const char* pszOther;  // in doubt or unknown: the other reading; empty for none looked at
    } rows[] = {
        {"Hungarian after a German opening", page("ISO-8859-1", "", "<p>" + Repeated(kGermanOpening, 150) + "</p><p>" +
                                                                Repeated(kHungarianLetters, 300) + "</p>\n"),
         "ISO-8859-2", "UTF-8", Change::Unknown, "ISO-8859-1", "ISO-8859-2"},
        {"the same given its charset", page("ISO-8859-1", "", "<p>" + Repeated(kGermanOpening, 150) + "</p><p>" +
                                                                  Repeated(kHungarianLetters, 300) + "</p>\n"),
         "ISO-8859-2", "ISO-8859-2", Change::Relabel, "ISO-8859-1", ""},
        {"Turkish letters under Latin-1", page("ISO-8859-1", "", "<p>" + Repeated(kTurkishLetters, 4) + "</p>\n"),
         "ISO-8859-9", "UTF-8", Change::Unknown, "ISO-8859-1", "windows-1254"},
        {"a right Latin-1 label over a sign ¤", page("ISO-8859-1", "", "<p>Prix : 15 ¤ par mois.</p>\n"), "ISO-8859-1",
         "UTF-8", Change::Doubt, "ISO-8859-1", "ISO-8859-15"},
        {"Estonian under Latin-1", page("ISO-8859-1", "", "<p>Šokolaadi e-poe näidis: žürii hindas lehte.</p>\n"),
         "ISO-8859-15", "UTF-8", Change::Unknown, "ISO-8859-1", "ISO-8859-15"},
        {"names of several languages", page("ISO-8859-1", "", "<p>José Muñoz, Jürgen Müller, Björn Ångström, Søren "
                                                              "Kierkegaard, Zoë Brontë</p>\n"),
         "ISO-8859-1", "UTF-8", Change::Convert, "ISO-8859-1", ""},
        {"Romanian under windows-1250 given its charset",
         page("windows-1250", "", "<p>Bine ați venit pe site-ul nostru. Aici găsiți informații despre produse, programul "
                                  "de lucru și prețuri. Așteptăm întrebările dumneavoastră.</p>\n"),
         "ISO-8859-16", "ISO-8859-16", Change::Doubt, "windows-1250", "ISO-8859-16"},
        {"Romanian under windows-1250 given UTF-8",
         page("windows-1250", "", "<p>Bine ați venit pe site-ul nostru. Aici găsiți informații despre produse, programul "
                                  "de lucru și prețuri. Așteptăm întrebările dumneavoastră.</p>\n"),
         "ISO-8859-16", "UTF-8", Change::Convert, "windows-1250", ""},
        {"Japanese font names under a Latin label", page("windows-1252", fonts, "<p>Products</p>\n"), "CP932", "UTF-8",
         Change::Unknown, "windows-1252", "Shift_JIS"},
        {"the same given Shift_JIS", page("windows-1252", fonts, "<p>Products</p>\n"), "CP932", "Shift_JIS", Change::Relabel,
         "windows-1252", ""},
        {"letters between references", page("KOI8-R", "", "<p>&#1055;ривет, &#1084;ир! &#1069;то &#1089;траница о "
                                                           "&#1085;ашей &#1089;ети.</p>\n"),
         "CP1251", "UTF-8", Change::Unknown, "KOI8-R", ""},
        {"Cyrillic in a CDATA section", page("windows-1252", "", "<svg><text><![CDATA[Глава 6. Сетевые приложения и "
                                                                  "почтовые серверы]]></text></svg>\n"),
         "CP1251", "UTF-8", Change::Unknown, "windows-1252", ""},
        {"a Chinese title", page("", "", "<h1>第六章 网络应用程序</h1>\n"), "GBK", "UTF-8", Change::Unknown, "windows-1252",
         "gb18030"},
        {"a Chinese title under a Latin-1 label", page("ISO-8859-1", "", "<h1>第六章 网络应用程序</h1>\n"), "GBK", "UTF-8",
         Change::Unknown, "ISO-8859-1", "gb18030"},
        {"a Chinese title after a sign", page("", "<meta name=\"description\" content=\"20°\">\n",
                                              "<h1>第六章 网络应用程序</h1>\n"),
         "GBK", "UTF-8", Change::Unknown, "windows-874", "gb18030"},
        {"a short Japanese page", page("", "", "<h1>はじめに</h1>\n"), "CP932", "UTF-8", Change::Unknown, "windows-1252",
         "Shift_JIS"},
        {"a Korean title that reads as Chinese and Japanese as well",
         page("", "", "<h1>제6장 네트워크 응용 프로그램</h1>\n<p>See the next chapter.</p>\n"), "EUC-KR", "UTF-8",
         Change::Unknown, "EUC-KR", "EUC-KR"},
        {"a Hebrew price", page("", "", "<h1>פרק 6. יישומי רשת</h1><p>Price: 15 ¤ a month.</p>\n"), "ISO-8859-8", "UTF-8",
         Change::Doubt, "windows-1255", "ISO-8859-8"},
        {"a Hebrew price under a Latin-1 label",
         page("ISO-8859-1", "", "<h1>פרק 6. יישומי רשת</h1><p>Price: 15 ¤ a month.</p>\n"), "ISO-8859-8", "UTF-8",
         Change::Doubt, "windows-1255", "ISO-8859-8"},
        {"a German price in a script", page("", "<script>var s = \"Ein Server für Büros kostet 15 € im Monat.\";</script>\n",
                                            "<p>Prices</p>\n"),
         "ISO-8859-15", "UTF-8", Change::Doubt, "ISO-8859-15", "windows-1252"},
        {"an Estonian title", page("", "", "<h1>Peatükk 6. Võrgurakendused</h1>\n"), "ISO-8859-15", "UTF-8", Change::Unknown,
         "ISO-8859-2", "windows-1252"},
        {"Portuguese in Mac OS Roman under a Latin-1 label", page("ISO-8859-1", "", portuguese), "MACINTOSH", "UTF-8",
         Change::Unknown, "ISO-8859-1", "macintosh"},
        {"the same under windows-1252", page("windows-1252", "", portuguese), "MACINTOSH", "UTF-8", Change::Unknown,
         "windows-1252", "macintosh"},
        {"the same given windows-1252", page("ISO-8859-1", "", portuguese), "MACINTOSH", "windows-1252", Change::Unknown,
         "ISO-8859-1", "macintosh"},
        {"a right Mac OS Roman label", page("macintosh", "", portuguese), "MACINTOSH", "UTF-8", Change::Convert,
         "macintosh", ""},
        {"Serbian under x-mac-cyrillic", page("x-mac-cyrillic", "", serbian), "CP1251", "UTF-8", Change::Unknown,
         "x-mac-cyrillic", "windows-1251"},
        {"Serbian in x-mac-cyrillic under windows-1251", page("windows-1251", "", serbian), "MAC-CYRILLIC", "UTF-8",
         Change::Unknown, "windows-1251", "x-mac-cyrillic"},
        {"a right x-mac-cyrillic label", page("x-mac-cyrillic", "", serbian), "MAC-CYRILLIC", "UTF-8", Change::Convert,
         "x-mac-cyrillic", ""},
        {"Czech in x-mac-ce under ISO-8859-2", page("ISO-8859-2", "", czech), "MAC-CENTRALEUROPE", "UTF-8", Change::Unknown,
         "ISO-8859-2", ""},
        {"the same given windows-1250", page("ISO-8859-2", "", czech), "MAC-CENTRALEUROPE", "windows-1250", Change::Unknown,
         "ISO-8859-2", ""},
        {"a right ISO-8859-2 label", page("ISO-8859-2", "", czech), "ISO-8859-2", "UTF-8", Change::Convert, "ISO-8859-2", ""},
    };
    for (const auto& row : rows) {
        const std::string bytes = iconv_program::Convert(row.utf8, "UTF-8", row.pszConverter, dir.Path() + "/page");
        ASSERT_FALSE(bytes.empty()) << row.pszWhat;
        const Judged judged = JudgeWhole(bytes, row.pszTarget);
        EXPECT_EQ(judged.verdict.change, row.change) << row.pszWhat;
        EXPECT_EQ(judged.verdict.source.charset.GetName(), row.pszSource) << row.pszWhat;
        if (*row.pszOther != '\0') {
            EXPECT_EQ(judged.verdict.other.charset.GetName(), row.pszOther) << row.pszWhat;
        }
    }
    // An undeclared page's price in euros is read as ISO-8859-15, by the scan and the save alike.
    const std::string euro = iconv_program::Convert(page("", "", "<p>Prix : 5 €.</p>\n"), "UTF-8", "ISO-8859-15",
                                                    dir.Path() + "/page");
    EXPECT_EQ(Detect(euro).GetName(), "ISO-8859-15");
    EXPECT_EQ(JudgeWhole(euro, "ISO-8859-15").verdict.change, Change::Relabel);
    EXPECT_EQ(JudgeWhole(euro, "UTF-8").reading.charset.GetName(), "ISO-8859-15");
    EXPECT_EQ(JudgeWhole(euro, "UTF-8").verdict.source.charset.GetName(), "ISO-8859-15");
    EXPECT_NE(JudgeWhole(euro, "windows-1252").verdict.change, Change::Relabel);
}
