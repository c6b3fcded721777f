// The named character references of HTML as the lexer reads them and as edited text is written
// back: every name HTML has reads as its character, any other stays as the page has it.
#include "engine/html/HtmlEntities.h"
#include "HtmlLexerTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using htmltest::LexEvents;
using Events = std::vector<std::string>;

namespace {

std::string Lookup(const char* pszName, HtmlRefEnd end = HtmlRefEnd::Semicolon)
{
    LPCSTR pszText = LookupHtmlEntity(pszName, static_cast<int>(std::strlen(pszName)), end);
    return pszText != nullptr ? pszText : "(none)";
}

} // namespace

TEST(HtmlNamedReferencesTest, EveryNameOfHtmlIsKnownAndNoOther)
{
    EXPECT_EQ(Lookup("mdash"), "\xE2\x80\x94");
    EXPECT_EQ(Lookup("ndash"), "\xE2\x80\x93");
    EXPECT_EQ(Lookup("hellip"), "\xE2\x80\xA6");
    EXPECT_EQ(Lookup("euro"), "\xE2\x82\xAC");
    EXPECT_EQ(Lookup("rsquo"), "\xE2\x80\x99");
    EXPECT_EQ(Lookup("nbsp"), "\xC2\xA0");
    EXPECT_EQ(Lookup("Omega"), "\xCE\xA9");
    EXPECT_EQ(Lookup("alpha"), "\xCE\xB1");
    // The first and last names of the table, and names that stand for two characters.
    EXPECT_EQ(Lookup("AElig"), "\xC3\x86");
    EXPECT_EQ(Lookup("zwnj"), "\xE2\x80\x8C");
    EXPECT_EQ(Lookup("acE"), "\xE2\x88\xBE\xCC\xB3");
    EXPECT_EQ(Lookup("NotEqualTilde"), "\xE2\x89\x82\xCC\xB8");
    // Names are compared byte for byte over their whole length.
    EXPECT_EQ(Lookup("AMP"), "&");
    EXPECT_EQ(Lookup("Amp"), "(none)");
    EXPECT_EQ(Lookup("MDASH"), "(none)");
    EXPECT_EQ(Lookup("mdas"), "(none)");
    EXPECT_EQ(Lookup("mdashx"), "(none)");
    EXPECT_STREQ(LookupHtmlEntity("ampersand", 3), "&");
    EXPECT_EQ(LookupHtmlEntity("", 0), nullptr);
    // Names some old pages used that HTML never had.
    EXPECT_EQ(Lookup("brkbar"), "(none)");
    EXPECT_EQ(Lookup("hibar"), "(none)");
}

TEST(HtmlNamedReferencesTest, OnlyTheOldNamesAreReadWithoutTheirSemicolon)
{
    EXPECT_EQ(Lookup("amp", HtmlRefEnd::Open), "&");
    EXPECT_EQ(Lookup("nbsp", HtmlRefEnd::Open), "\xC2\xA0");
    EXPECT_EQ(Lookup("eacute", HtmlRefEnd::Open), "\xC3\xA9");
    EXPECT_EQ(Lookup("COPY", HtmlRefEnd::Open), "\xC2\xA9");
    EXPECT_EQ(Lookup("mdash", HtmlRefEnd::Open), "(none)");
    EXPECT_EQ(Lookup("euro", HtmlRefEnd::Open), "(none)");
}

TEST(HtmlNamedReferencesTest, TheLexerReadsEveryHtmlNameAsItsCharacter)
{
    EXPECT_EQ((Events{"Text:add_test", "Whitespace: ", "Text:\xE2\x80\x94", "Whitespace: ", "Text:CMake",
                      "Text:\xC2\xA0", "Text:3"}),
              LexEvents("add_test &mdash; CMake&nbsp;3"));
    EXPECT_EQ((Events{"Text:\xE2\x82\xAC", "Text:\xCE\xA9", "Text:\xE2\x89\x82\xCC\xB8"}),
              LexEvents("&euro;&Omega;&NotEqualTilde;"));
    // In a value too.
    EXPECT_EQ((Events{"StartTag:META", "Markup: ", "AttrName:CONTENT", "AttrValue:a \xE2\x80\x93 b\xE2\x80\xA6", "TagEnd"}),
              LexEvents("<meta content=\"a &ndash; b&hellip;\">"));
    // A name HTML does not know stays as it is, and so does a newer name without its ";".
    EXPECT_EQ((Events{"Text:&nosuch;"}), LexEvents("&nosuch;"));
    EXPECT_EQ((Events{"Text:&mdash", "Whitespace: ", "Text:x"}), LexEvents("&mdash x"));
    EXPECT_EQ((Events{"Text:\xC2\xA0", "Text:x"}), LexEvents("&nbsp\nx"));
    // An old name without its ";" before "=" in a value is a URL's parameter.
    EXPECT_EQ((Events{"StartTag:META", "Markup: ", "AttrName:CONTENT", "AttrValue:0; url=a?b=1&copy=2", "TagEnd"}),
              LexEvents("<meta content=\"0; url=a?b=1&copy=2\">"));
    EXPECT_EQ((Events{"Text:\xC2\xA9", "Text:=2"}), LexEvents("&copy=2"));
}

TEST(HtmlNamedReferencesTest, WrittenTextReadsBackAsItWasAndKeepsUnknownReferences)
{
    // What the user typed that would read as a reference is escaped.
    EXPECT_EQ(EscapeHtml("&mdash; &#8212; &#x41; AT&T & more", HtmlEscape::Text),
              "&amp;mdash; &amp;#8212; &amp;#x41; AT&amp;T &amp; more");
    // A reference that names nothing reads as it stands, and is written so.
    EXPECT_EQ(EscapeHtml("&nosuch; &#0; &#xZ1; &brkbar;", HtmlEscape::Attribute), "&nosuch; &#0; &#xZ1; &brkbar;");
    // Without its ";" it is no reference: the "&" is escaped.
    EXPECT_EQ(EscapeHtml("&nosuch &#", HtmlEscape::Attribute), "&amp;nosuch &amp;#");
    EXPECT_EQ(EscapeHtml("\xE2\x80\x94 \"x\"", HtmlEscape::Attribute), "\xE2\x80\x94 &quot;x&quot;");
}
