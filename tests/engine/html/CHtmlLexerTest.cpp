#include "engine/html/CHtmlLexer.h"
#include "HtmlLexerTestSupport.h"

#include "platform/core/CMemFile.h"

#include <gtest/gtest.h>

using htmltest::ChunkFile;
using htmltest::LexEvents;
using htmltest::RecordingLexer;
using Events = std::vector<std::string>;

TEST(CHtmlLexerTest, EmptyInputRaisesNothing)
{
    ChunkFile file("");
    RecordingLexer lexer(&file);
    EXPECT_EQ(0, lexer.Lex());
    EXPECT_TRUE(lexer.events.empty());
}

TEST(CHtmlLexerTest, NamedReferencesDecodeCaseSensitively)
{
    EXPECT_EQ((Events{"Text:a", "Text:&", "Text:b"}), LexEvents("a&amp;b"));
    EXPECT_EQ((Events{"Text:&", "Whitespace: ", "Text:x"}), LexEvents("&amp x"));
    EXPECT_EQ((Events{"Text:&Amp;"}), LexEvents("&Amp;"));
    // Every reference decodes to UTF-8, the engine's text, whatever page it came from.
    EXPECT_EQ((Events{"Text:\xC3\xA9"}), LexEvents("&eacute;"));
    EXPECT_EQ((Events{"Text:Endere", "Text:\xC3\xA7", "Text:os"}), LexEvents("Endere&ccedil;os"));
    // Names HTML does not have stay as they are.
    EXPECT_EQ((Events{"Text:\xC2\xA6", "Text:&brkbar;", "Text:\xC2\xA8", "Text:&hibar;"}),
              LexEvents("&brvbar;&brkbar;&die;&hibar;"));
    // A line feed ends a reference and is taken into it.
    EXPECT_EQ((Events{"Text:<", "Text:x"}), LexEvents("&lt\nx"));
    EXPECT_EQ((Events{"Text:&bogus;"}), LexEvents("&bogus;"));
}

TEST(CHtmlLexerTest, NumericReferences)
{
    EXPECT_EQ((Events{"Text:A"}), LexEvents("&#65;"));
    EXPECT_EQ((Events{"Text:A"}), LexEvents("&#65"));
    // Codes above 255, in decimal or hexadecimal, decode to their UTF-8 too.
    EXPECT_EQ((Events{"Text:\xE2\x80\x94"}), LexEvents("&#8212;"));
    EXPECT_EQ((Events{"Text:\xD3\x92"}), LexEvents("&#1234;"));
    EXPECT_EQ((Events{"Text:A"}), LexEvents("&#x41;"));
    EXPECT_EQ((Events{"Text:\xF0\x9F\x98\x80"}), LexEvents("&#X1F600;"));
    EXPECT_EQ((Events{"Text:\xC3\xA9"}), LexEvents("&#00000233;"));
    // 128 to 159 are the Windows-1252 characters pages mean by them.
    EXPECT_EQ((Events{"Text:\xE2\x82\xAC"}), LexEvents("&#128;"));
    // Codes that name no character stay as written.
    EXPECT_EQ((Events{"Text:&#0;"}), LexEvents("&#0;"));
    EXPECT_EQ((Events{"Text:&#129;"}), LexEvents("&#129;"));
    EXPECT_EQ((Events{"Text:&#55296;"}), LexEvents("&#55296;"));
    EXPECT_EQ((Events{"Text:&#1114112;"}), LexEvents("&#1114112;"));
    EXPECT_EQ((Events{"Text:&#xZ1;"}), LexEvents("&#xZ1;"));
    EXPECT_EQ((Events{"Text:&#65a;"}), LexEvents("&#65a;"));
    EXPECT_EQ((Events{"Text:&", "Text:#;"}), LexEvents("&#;"));
}

TEST(CHtmlLexerTest, StartTagWithTokenValue)
{
    EXPECT_EQ((Events{"StartTag:A", "Markup: ", "AttrName:HREF", "AttrTokenValue:x", "TagEnd"}),
              LexEvents("<a href=x>"));
}

TEST(CHtmlLexerTest, AttributeForms)
{
    EXPECT_EQ((Events{"StartTag:IMG", "Markup: ", "AttrName:WIDTH", "Markup: ", "AttrTokenValue:100", "Markup: ",
                      "AttrNoValue:ISMAP", "Markup: ", "AttrName:BGCOLOR", "AttrValue:#ffffff", "TagEnd"}),
              LexEvents("<img width = 100 ismap bgcolor=#ffffff>"));
    EXPECT_EQ((Events{"StartTag:P", "Markup: ", "AttrName:A", "TagEnd"}), LexEvents("<p a=>"));
    EXPECT_EQ((Events{"StartTag:BR", "Markup:/", "TagEnd"}), LexEvents("<br/>"));
    EXPECT_EQ((Events{"StartTag:P", "Markup: ", "Stray:\"", "AttrName:X", "TagEnd"}),
              LexEvents("<p \"x=>"));
}

TEST(CHtmlLexerTest, AttrNameTokenKeepsBlanksAndEquals)
{
    ChunkFile file("<meta name\n = \"k\">");
    RecordingLexer lexer(&file);
    lexer.Lex();
    // The name part of the token was upper-cased in place by MakeUpper.
    EXPECT_EQ("NAME\n =", lexer.lastAttrToken);
    EXPECT_EQ((Events{"StartTag:META", "Markup: ", "AttrName:NAME", "Markup: ", "AttrValue:k", "TagEnd"}),
              lexer.events);
}

TEST(CHtmlLexerTest, QuotedValues)
{
    EXPECT_EQ((Events{"StartTag:A", "Markup: ", "AttrName:TITLE", "AttrValue:It's > x", "TagEnd"}),
              LexEvents("<a title=\"It's &gt; x\">"));
    EXPECT_EQ((Events{"StartTag:A", "Markup: ", "AttrName:TITLE", "AttrValue:say \"hi\" > 1", "TagEnd"}),
              LexEvents("<a title='say \"hi\" > 1'>"));
    // A line break disappears from the value.
    EXPECT_EQ((Events{"StartTag:A", "Markup: ", "AttrName:B", "Markup:\r\n", "AttrValue:onetwo", "TagEnd"}),
              LexEvents("<a b=\"one\r\ntwo\">"));
    EXPECT_EQ((Events{"StartTag:A", "Markup: ", "AttrName:B", "AttrValue:", "TagEnd"}), LexEvents("<a b=\"\">"));
}

TEST(CHtmlLexerTest, AClosedQuotedValueRunsToItsQuote)
{
    EXPECT_EQ((Events{"StartTag:META", "Markup: ", "AttrName:CONTENT", "AttrValue:Home > Products < Shoes", "TagEnd",
                      "Text:x"}),
              LexEvents("<meta content=\"Home > Products < Shoes\">x"));
    EXPECT_EQ((Events{"StartTag:IMG", "Markup: ", "AttrName:ALT", "AttrValue:a<b>c", "Markup: ", "AttrName:X",
                      "AttrValue:'", "TagEnd"}),
              LexEvents("<img alt='a<b>c' x=\"'\">"));
    // A quote left open still ends at the next ">", the rest being text.
    EXPECT_EQ((Events{"StartTag:IMG", "Markup: ", "AttrName:ALT", "AttrValue:x ", "TagEnd", "Whitespace: ", "Text:y>"}),
              LexEvents("<img alt=\"x > y>"));
}

TEST(CHtmlLexerTest, LessThanEndsATagAndIsConsumed)
{
    EXPECT_EQ((Events{"StartTag:A", "Markup: ", "AttrName:HREF", "AttrTokenValue:x", "Markup: ", "TagEnd", "Text:B>"}),
              LexEvents("<A HREF=x <B>"));
    EXPECT_EQ((Events{"StartTag:A", "Markup: ", "AttrName:B", "AttrValue:x", "TagEnd", "Text:p>"}),
              LexEvents("<a b=\"x<p>"));
}

TEST(CHtmlLexerTest, EndTags)
{
    EXPECT_EQ((Events{"EndTag:TITLE"}), LexEvents("</title >"));
    EXPECT_EQ((Events{"Text:<", "Text:/a", "Whitespace: ", "Text:b>"}), LexEvents("</a b>"));
    EXPECT_EQ((Events{"Text:<", "Text:/", "Whitespace: ", "Text:a>"}), LexEvents("</ a>"));
    EXPECT_EQ((Events{"Stray:</>", "Markup:<>", "Markup:<!>"}), LexEvents("</><><!>"));
    // The end of an element read as text may carry attributes, a quoted ">" among them, or a
    // "/"; without its ">" it is text.
    EXPECT_EQ((Events{"StartTag:STYLE", "TagEnd", "Text:a", "EndTag:STYLE", "Text:b"}),
              LexEvents("<style>a</style x=\">\" y>b"));
    EXPECT_EQ((Events{"ScriptStart", "StartTag:SCRIPT", "TagEnd", "ScriptText:a", "ScriptEnd", "EndTag:SCRIPT", "Text:b"}),
              LexEvents("<script>a</script/>b", 3));
    EXPECT_EQ((Events{"StartTag:XMP", "TagEnd", "Text:a", "Text:<", "Text:/xmp x"}), LexEvents("<xmp>a</xmp x"));
}

TEST(CHtmlLexerTest, Comments)
{
    EXPECT_EQ((Events{"Markup:<!--", "Markup: a ", "Stray:-", "Stray:-", "Markup: b ", "Markup:-->", "Text:x"}),
              LexEvents("<!-- a -- b -->x"));
    const Events open = LexEvents("<!-- a -- >x");
    EXPECT_EQ("Markup: >x", open.back());
    // An unterminated comment swallows the rest and lexing still ends.
    EXPECT_EQ((Events{"Markup:<!--", "Markup:<p>never"}), LexEvents("<!--<p>never"));
}

TEST(CHtmlLexerTest, DeclarationsAndProcessingInstructions)
{
    EXPECT_EQ((Events{"Markup:<!DOCTYPE ", "Markup:HTML PUBLIC ", "Markup:\"a>b\"", "Markup:>", "Text:x"}),
              LexEvents("<!DOCTYPE HTML PUBLIC \"a>b\">x"));
    EXPECT_EQ((Events{"Markup:<!X", "Markup:-- > --", "Markup:>"}), LexEvents("<!X-- > -->"));
    EXPECT_EQ((Events{"Markup:<!X ", "Markup:\"", "Markup:open", "Markup:>", "Text:t"}), LexEvents("<!X \"open>t"));
    EXPECT_EQ((Events{"Markup:<?", "Markup:xml v", "Markup:>", "StartTag:P", "TagEnd"}), LexEvents("<?xml v><p>"));
}

TEST(CHtmlLexerTest, ScriptEventsInOrder)
{
    EXPECT_EQ((Events{"ScriptStart", "StartTag:SCRIPT", "Markup: ", "AttrName:LANGUAGE", "AttrTokenValue:JavaScript",
                      "TagEnd", "ScriptText:x", "ScriptEnd", "EndTag:SCRIPT"}),
              LexEvents("<SCRIPT LANGUAGE=JavaScript>x</SCRIPT>"));
    EXPECT_EQ((Events{"ScriptStart", "StartTag:SCRIPT", "TagEnd", "ScriptText:if (a", "ScriptText:<", "ScriptText:b)",
                      "ScriptEnd", "EndTag:SCRIPT", "Text:t"}),
              LexEvents("<script>if (a<b)</script >t"));
}

TEST(CHtmlLexerTest, PlainTextContent)
{
    EXPECT_EQ((Events{"StartTag:PLAINTEXT", "TagEnd", "Unmatched:a", "Text:<", "Unmatched:b", "EndTag:PLAINTEXT",
                      "StartTag:P", "TagEnd"}),
              LexEvents("<plaintext>a<b</PlainText ><p>"));
}

TEST(CHtmlLexerTest, TextRunsAndWhitespace)
{
    EXPECT_EQ((Events{"Text:a>b=\"c\"", "Whitespace: \t\r\n", "Text:d"}), LexEvents("a>b=\"c\" \t\r\nd"));
    EXPECT_EQ((Events{"Text:<", "Text:1"}), LexEvents("<1"));
}

class SkippingLexer : public RecordingLexer {
public:
    using RecordingLexer::RecordingLexer;
    void OnStartTag(LPCSTR p, int n) override
    {
        RecordingLexer::OnStartTag(p, n);
        if (n == 4 && std::memcmp(p, "BODY", 4) == 0)
            SkipRestAfterTag();
    }
};

TEST(CHtmlLexerTest, SkipRestGivesTheRestAsOneToken)
{
    std::string rest = "\r\n<p>&amp; <!-- x";
    rest += std::string(5000, 'z');
    ChunkFile file("<body bgcolor=red>" + rest, 700);
    SkippingLexer lexer(&file);
    lexer.Lex();
    ASSERT_EQ(6u, lexer.events.size());
    EXPECT_EQ("AttrTokenValue:red", lexer.events[3]);
    EXPECT_EQ("TagEnd", lexer.events[4]);
    EXPECT_EQ("Markup:" + rest, lexer.events[5]);
}

TEST(CHtmlLexerTest, MakeUpperTouchesOnlyAsciiLetters)
{
    CHtmlLexer lexer(nullptr, nullptr);
    char text[] = "ab\xe9z-1";
    lexer.MakeUpper(text, 5);
    EXPECT_STREQ("AB\xe9Z-1", text);
}

TEST(CHtmlLexerTest, CheckSpecialTagSetsThePendingCondition)
{
    CHtmlLexer lexer(nullptr, nullptr);
    lexer.CheckSpecialTag("SCRIPT", 6);
    EXPECT_EQ(CHtmlLexer::condScript, lexer.GetPendingState());
    lexer.CheckSpecialTag("PLAINTEXT", 9);
    EXPECT_EQ(CHtmlLexer::condPlainText, lexer.GetPendingState());
    lexer.CheckSpecialTag("script", 6);
    EXPECT_EQ(CHtmlLexer::condText, lexer.GetPendingState());
    lexer.SkipRestAfterTag();
    EXPECT_EQ(CHtmlLexer::condSkipRest, lexer.GetPendingState());
    lexer.BeginState(42);
    EXPECT_EQ(CHtmlLexer::condText, lexer.GetCurrentState());
}

TEST(CHtmlLexerTest, TokensLongerThanTheBufferAndByteWiseReads)
{
    const std::string value(20000, 'v');
    const std::string html = "<meta content=\"" + value + "\"><p>" + std::string(9000, 't');
    ChunkFile whole(html, 8192);
    RecordingLexer a(&whole);
    a.Lex();
    EXPECT_EQ(value, a.Joined("AttrValue"));
    EXPECT_EQ(std::string(9000, 't'), a.Joined("Text"));
    // Reads never ask for more than 8192 bytes, and the first one at most the first buffer.
    for (UINT n : whole.reads)
        EXPECT_LE(n, 8192u);
    EXPECT_LE(whole.reads.front(), 2048u);

    ChunkFile bytes(html, 1);
    RecordingLexer b(&bytes);
    b.Lex();
    EXPECT_EQ(a.events, b.events);
}

// Runs of any length (a word without blanks, a comment, a script, a text area's text, a quoted
// value) are raised in pieces no longer than the lexer holds, in the same condition, each byte
// once: the markup after the run is still lexed as markup, and a value whose quote closes within
// the look ahead runs to that quote, a ">" in it included.
TEST(CHtmlLexerTest, LongRunsAreRaisedInPiecesWithNothingLost)
{
    const size_t nRun = 3 * CHtmlLexer::kLongestRun + 7;
    const std::string run(nRun, 'w');
    const std::string valueWithTagEnd = std::string(CHtmlLexer::kLongestRun + 5, 'v') + ">" + run;
    const struct {
        const char* name;
        std::string html;
        const char* kind;     // the event the run's pieces come in
        std::string expected; // their text joined
        bool bWhole;          // the value is collected and raised whole
    } rows[] = {
        {"a word", "<p>" + run + "<b>", "Text", run, false},
        {"a comment", "<!--" + run + "--><b>", "Markup", "<!--" + run + "-->", false},
        {"a script", "<script>" + run + "</script><b>", "ScriptText", run, false},
        {"a text area", "<textarea>" + run + "</textarea><b>", "Text", run, false},
        {"blanks", "<p>" + std::string(nRun, ' ') + "<b>", "Whitespace", std::string(nRun, ' '), false},
        {"a quoted value", "<img alt=\"" + valueWithTagEnd + "\"><b>", "AttrValue", valueWithTagEnd, true},
    };
    for (const auto& row : rows) {
        ChunkFile file(row.html, 65536);
        RecordingLexer lexer(&file);
        lexer.Lex();
        const std::string prefix = std::string(row.kind) + ":";
        size_t nPieces = 0, nLongest = 0;
        for (const std::string& event : lexer.events) {
            if (event.compare(0, prefix.size(), prefix) != 0)
                continue;
            ++nPieces;
            nLongest = std::max(nLongest, event.size() - prefix.size());
        }
        EXPECT_TRUE(lexer.Joined(row.kind) == row.expected) << row.name;
        if (!row.bWhole) {
            EXPECT_GE(nPieces, 3u) << row.name;
            EXPECT_LE(nLongest, CHtmlLexer::kLongestRun) << row.name;
        }
        ASSERT_GE(lexer.events.size(), 2u) << row.name;
        EXPECT_EQ(lexer.events[lexer.events.size() - 2], "StartTag:B") << row.name;
    }
    // A quote that closes only past the look ahead is taken as left open: the value ends at its
    // first ">", and what follows is text.
    const std::string farValue = std::string(CHtmlLexer::kLongestLookAhead, 'f');
    const Events far = LexEvents("<img alt=\"a>" + farValue + "\"><b>", 65536);
    ASSERT_GE(far.size(), 6u);
    EXPECT_EQ(far[3], "AttrValue:a");
    EXPECT_EQ(far[4], "TagEnd");
    EXPECT_EQ(far[far.size() - 2], "StartTag:B");
}

TEST(CHtmlLexerTest, NulBytesAreOrdinaryBytes)
{
    const std::string html("a\0b<p x=\"\0\">", 12);
    const Events events = LexEvents(html);
    EXPECT_EQ((Events{std::string("Text:a\0b", 8), "StartTag:P", "Markup: ", "AttrName:X", std::string("AttrValue:\0", 11),
                      "TagEnd"}),
              events);
}

TEST(CHtmlLexerTest, ReadFailureRaisesFileExceptionAfterEarlierEvents)
{
    ChunkFile file("<p>hello world", 4, 6);
    RecordingLexer lexer(&file);
    int nCause = -1;
    LONG lOsError = 0;
    try {
        lexer.Lex();
    } catch (CFileException* e) {
        nCause = e->m_cause;
        lOsError = e->m_lOsError;
        e->Delete();
    }
    // The file's own failure comes out, not a generic one.
    EXPECT_EQ(CFileException::hardIO, nCause);
    EXPECT_EQ(5, lOsError);
    ASSERT_FALSE(lexer.events.empty());
    EXPECT_EQ("StartTag:P", lexer.events.front());
}

class QuietLexer : public RecordingLexer {
public:
    using RecordingLexer::RecordingLexer;
    void OnFatalError(LPCSTR pszMessage) override { errors.push_back(pszMessage); }
    std::vector<std::string> errors;
};

TEST(CHtmlLexerTest, FatalErrorThatReturnsStopsTheScan)
{
    ChunkFile file("<p>hello world", 4, 6);
    QuietLexer lexer(&file);
    EXPECT_EQ(0, lexer.Lex());
    EXPECT_EQ((std::vector<std::string>{"input in flex scanner failed"}), lexer.errors);
}

TEST(CHtmlLexerTest, MemFileInput)
{
    std::string html = "<title>A &amp; B</title>";
    CMemFile file(reinterpret_cast<BYTE*>(html.data()), static_cast<UINT>(html.size()));
    RecordingLexer lexer(&file);
    lexer.Lex();
    EXPECT_EQ((Events{"StartTag:TITLE", "TagEnd", "Text:A", "Whitespace: ", "Text:&", "Whitespace: ", "Text:B",
                      "EndTag:TITLE"}),
              lexer.events);
}

TEST(CHtmlLexerTest, HostileInputEndsCleanly)
{
    // A tag with a hundred thousand attributes is lexed as a stream.
    std::string many = "<p";
    for (int i = 0; i < 100000; ++i)
        many += " a=1";
    many += ">";
    ChunkFile file(many, 4096);
    RecordingLexer lexer(&file);
    EXPECT_EQ(0, lexer.Lex());
    EXPECT_EQ(1u + 100000u * 3u + 1u, lexer.events.size());
    EXPECT_EQ("TagEnd", lexer.events.back());

    // Unclosed constructs at the end of the input end the scan without further events.
    EXPECT_EQ((Events{"StartTag:A", "Markup: ", "AttrName:B"}), LexEvents("<a b=\"open"));
    EXPECT_EQ((Events{"Markup:<!X ", "Markup:\"", "Markup:q ", "Markup:-", "Markup:-", "Markup:-"}),
              LexEvents("<!X \"q ---"));
    EXPECT_EQ((Events{"Markup:<?", "Markup:pi"}), LexEvents("<?pi"));
    EXPECT_EQ((Events{"ScriptStart", "StartTag:SCRIPT", "TagEnd", "ScriptText:a", "ScriptText:<", "ScriptText:/scr"}),
              LexEvents("<script>a</scr"));
}

TEST(CHtmlLexerTest, UnterminatedDeclarationStringsDoNotHideLaterMarkup)
{
    // A quote or "--" without its partner is one character, so the declaration still ends at
    // the next ">".
    EXPECT_EQ((Events{"Markup:<!X ", "Markup:-", "Markup:-", "Markup:a", "Markup:>", "StartTag:P", "TagEnd"}),
              LexEvents("<!X --a><p>"));
}
