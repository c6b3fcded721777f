#include "keywords/KxTextPrep.h"

#include "KxTestSupport.h"

using namespace kx;

namespace {

std::string Html(std::initializer_list<std::string_view> pieces)
{
    KxHtmlScanner scanner;
    scanner.references = &TestEngine().charRefs;
    std::string out;
    for (std::string_view p : pieces)
        out += PrepareHtml(scanner, p);
    return out;
}

struct Token {
    int result;
    std::string text;
};

std::vector<Token> Tokens(std::string_view text, int language, KxBreakState& breaks)
{
    std::vector<Token> out;
    size_t pos = 0;
    for (;;) {
        std::string token;
        int r = NextToken(text, pos, language, breaks, kMaxToken, token);
        out.push_back({r, token});
        if (r == kTokenTextEnded)
            return out;
    }
}

// Whether a phrase break is pending once the second word starts.
bool BreakBetweenWords(std::string_view text)
{
    KxBreakState breaks;
    size_t pos = 0;
    std::string token;
    EXPECT_EQ(NextToken(text, pos, kLangEnglish, breaks, kMaxToken, token), kTokenComplete);
    NextToken(text, pos, kLangEnglish, breaks, kMaxToken, token);
    return breaks.breakPending;
}

} // namespace

TEST(KxTextPrep, BlockTagsBreakSentencesAndInlineTagsDoNot)
{
    EXPECT_EQ(Html({"<title>Hose</title><p>Reels"}), "Hose. . Reels");
    EXPECT_EQ(Html({"a <b>bold</b> word"}), "a bold word");
    EXPECT_EQ(Html({"one</body>two"}), "onetwo");   // a closing body tag counts as "/b"
    EXPECT_EQ(Html({"one<pre>two"}), "one. two");  // and a pre tag as "p"
    EXPECT_EQ(Html({"one</DIV>two"}), "one. two");
    EXPECT_EQ(Html({"x<br/>y<LI>z"}), "x. y. z");
}

TEST(KxTextPrep, LessThanBeforeWhiteSpaceIsText)
{
    EXPECT_EQ(Html({"a < b"}), "a < b");
    EXPECT_EQ(Html({"a <", " b"}), "a < b");
}

TEST(KxTextPrep, WhiteSpaceRunsCollapse)
{
    EXPECT_EQ(Html({"a \t\r\n  b\n"}), "a b ");
}

TEST(KxTextPrep, References)
{
    EXPECT_EQ(Html({"&#169;"}), "\xA9");
    EXPECT_EQ(Html({"&#xA9;"}), "&#xA9;");
    EXPECT_EQ(Html({"a&copy;b"}), "a. b");
    EXPECT_EQ(Html({"a&nbsp;b"}), "a b");
    EXPECT_EQ(Html({"caf&eacute; au lait"}), "caf\xE9 au lait");
    EXPECT_EQ(Html({"&unknown;x"}), "&unknown;x");
    EXPECT_EQ(Html({"R&D "}), "R&D ");
    EXPECT_EQ(Html({"a & b"}), "a & b");
    EXPECT_EQ(Html({"&amp&lt;"}), "&. ");
    EXPECT_EQ(Html({"&eac", "ute;"}), "\xE9");
}

TEST(KxTextPrep, ScriptsAreSkippedAcrossPieces)
{
    EXPECT_EQ(Html({"before<script type=\"x\">var a = 1;", "more code</scr", "ipt>after"}),
              "beforeafter");
    EXPECT_EQ(Html({"<SCRIPT>if (a < b && c) x();</SCRIPT>ok"}), "ok");
}

TEST(KxTextPrep, StyleSheetsAreNotText)
{
    EXPECT_EQ(Html({"before<style type=\"text/css\">h1 { margin-top: 2em }", "p.note { font-si",
                    "ze: 90% }</sty", "le>after"}),
              "beforeafter");
    EXPECT_EQ(Html({"<STYLE>td { padding-bottom: 4px }</Style >ok"}), "ok");
    // Rules hidden in a comment, with child selectors and quoted markup, do not end the sheet
    // before its own end tag.
    EXPECT_EQ(Html({"<style><!-- ul > li { border: 1px solid silver } "
                    "a:after { content: \"<\" } q:before { content: \"</q> \" } --></style>"
                    "<p>text"}),
              ". text");
    // Only a style sheet's own end tag ends it; other tags are still tags after it.
    EXPECT_EQ(Html({"<style>x</styles>y</style>one</div>two"}), "one. two");
    EXPECT_EQ(Html({"<stylish>a</stylish>b"}), "a. b");
}

TEST(KxTextPrep, EmptyStyleAndScriptElementsOfXhtmlHideNothingAfterThem)
{
    EXPECT_EQ(Html({"<head><style/></head><body>Hose reels"}), ". Hose reels");
    EXPECT_EQ(Html({"a<STYLE type=\"text/css\" />b"}), "ab");
    EXPECT_EQ(Html({"a<script src=\"menu.js\"/>b<script type=\"x\" />c"}), "abc");
    // The "/" and the ">" in pieces of their own, and a tag longer than the name room.
    EXPECT_EQ(Html({"a<style /", ">b"}), "ab");
    EXPECT_EQ(Html({"a<style", "/", ">b"}), "ab");
    EXPECT_EQ(Html({"a<style media=\"" + std::string(300, 'x') + "\"/>b"}), "ab");
    // A sheet that is not empty still hides its rules, whatever they end with.
    EXPECT_EQ(Html({"a<style>p { x: url(a/) } /</style>b"}), "ab");
    EXPECT_EQ(Html({"a<style media=\"a/\">p {}</style>b"}), "ab");
}

TEST(KxTextPrep, AmpersandRunsDoNotOverrunTheOutput)
{
    // Each lone "&" writes two bytes; a fixed buffer of the input's length plus 3000 would
    // overflow here.
    std::string ampersands(20000, '&');
    std::string out = Html({ampersands});
    EXPECT_EQ(out.size(), 2 * ampersands.size() - 2);
}

TEST(KxTextPrep, NulEndsThePiece)
{
    std::string piece("ab\0cd", 5);
    EXPECT_EQ(Html({piece}), "ab");
}

TEST(KxTokeniser, SeparatorRunsMakePhraseBreaks)
{
    EXPECT_TRUE(BreakBetweenWords("one" + std::string(14, ' ') + "two"));
    EXPECT_FALSE(BreakBetweenWords("one" + std::string(13, ' ') + "two"));
    EXPECT_TRUE(BreakBetweenWords("one\t\t\ttwo"));
    EXPECT_FALSE(BreakBetweenWords("one\t\ttwo"));
    EXPECT_TRUE(BreakBetweenWords("one\n\ntwo"));
    EXPECT_TRUE(BreakBetweenWords("one\n  \ntwo"));
    EXPECT_FALSE(BreakBetweenWords("one\ntwo"));
}

TEST(KxTokeniser, ResultsAndLongWords)
{
    KxBreakState breaks;
    std::string word(300, 'w');
    std::vector<Token> tokens = Tokens(word + " end", kLangEnglish, breaks);
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[0].result, kTokenRoomFull);
    EXPECT_EQ(tokens[0].text.size(), 254u);
    EXPECT_EQ(tokens[1].result, kTokenComplete);
    EXPECT_EQ(tokens[1].text.size(), 46u);
    EXPECT_EQ(tokens[2].result, kTokenTextEnded);
    EXPECT_EQ(tokens[2].text, "end");
}

TEST(KxTokeniser, ApostropheSeparatesOnlyOutsideEnglish)
{
    KxBreakState breaks;
    std::vector<Token> french = Tokens("l'homme ", kLangFrench, breaks);
    ASSERT_EQ(french.size(), 3u);
    EXPECT_EQ(french[0].text, "l");
    EXPECT_EQ(french[1].text, "homme");
    std::vector<Token> english = Tokens("don't ", kLangEnglish, breaks);
    ASSERT_EQ(english.size(), 2u);
    EXPECT_EQ(english[0].text, "don't");
}

TEST(KxTextPrep, MailCleanUp)
{
    KxMailScanner scanner;
    const KxHashSet& headers = TestEngine().mailHeaders;
    std::string out = PrepareMail(scanner, headers, "Received: by host\nSubject: Garden hoses\nDear John,\n");
    out += PrepareMail(scanner, headers, "Content-Transfer-Encoding: quoted-printable\nThe hose costs =3D 5 doll");
    // A line waits for its end before it is judged.
    out += PrepareMail(scanner, headers, "ars=\nBest wishes\n");
    EXPECT_EQ(out, ". Garden hoses.\nThe hose costs = 5 dollars\n");
}
