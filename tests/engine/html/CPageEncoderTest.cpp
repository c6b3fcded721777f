#include "engine/html/CPageEncoder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The page written in the charset, given to the encoder in pieces of nPiece bytes cut at
// characters; refused gets the encoder's refusal.
std::string Encoded(const std::string& page, const char* pszCharset, size_t nPiece = 0, CPageEncoder::Place* pPlace = nullptr)
{
    CPageEncoder encoder(CPageCharset::ForWriting(pszCharset));
    std::string out;
    size_t at = 0;
    while (at < page.size()) {
        size_t end = nPiece == 0 ? page.size() : std::min(page.size(), at + nPiece);
        while (end < page.size() && (static_cast<unsigned char>(page[end]) & 0xC0) == 0x80)
            ++end;
        encoder.Encode(std::string_view(page).substr(at, end - at), out);
        at = end;
    }
    encoder.Finish(out);
    if (pPlace != nullptr)
        *pPlace = encoder.GetRefusedPlace();
    return out;
}

const std::string kArrow = "\xE2\x86\x92"; // U+2192

} // namespace

// Each place of a script reads what it can: strings, template literals, regular expressions and
// comments the script's escape, a backslash already before the character taken as its own.
TEST(CPageEncoderTest, AScriptReadsItsOwnEscapeInItsStringsAndLiterals)
{
    const std::string script = "<script>a = b / 2 / c; r = /[" + kArrow + "]\\" + kArrow + "/g; t = `x" + kArrow + "${f({a: \"" +
                               kArrow + "\"})}" + kArrow + "`; /* " + kArrow + " */ s = '\\\\" + kArrow + "';</script>";
    const std::string expected = "<script>a = b / 2 / c; r = /[\\u2192]\\u2192/g; t = `x\\u2192${f({a: \"\\u2192\"})}\\u2192`; "
                                 "/* \\u2192 */ s = '\\\\\\u2192';</script>";
    CPageEncoder::Place place = CPageEncoder::Place::None;
    for (size_t nPiece : {size_t(0), size_t(1), size_t(7)})
        EXPECT_EQ(Encoded(script, "windows-1252", nPiece, &place), expected) << nPiece;
    EXPECT_EQ(place, CPageEncoder::Place::None);
    // JSON reads the same escape; a division is no regular expression, and after it the code
    // goes on, where a character stands in no string.
    EXPECT_EQ(Encoded("<script type=\"application/ld+json\">{\"a\": \"" + kArrow + "\"}</script>", "latin1"),
              "<script type=\"application/ld+json\">{\"a\": \"\\u2192\"}</script>");
    Encoded("<script>x = a / b; " + kArrow + "</script>", "latin1", 0, &place);
    EXPECT_EQ(place, CPageEncoder::Place::ScriptCode);
    Encoded("<script language=\"vbscript\">x = \"" + kArrow + "\"</script>", "latin1", 0, &place);
    EXPECT_EQ(place, CPageEncoder::Place::OtherScript);
}

// A style sheet reads its escape anywhere; a blank ends it where a hex digit or a blank follows,
// and a backslash already before the character is its own.
TEST(CPageEncoderTest, AStyleSheetReadsItsEscapeEndedWhereItMustBe)
{
    EXPECT_EQ(Encoded("<STYLE>a:after{content:\"" + kArrow + "b" + kArrow + "x" + kArrow + " " + kArrow + "\\" + kArrow +
                          "\"} /* \xE2\x80\x94 */</STYLE>" + kArrow,
                      "iso-8859-1", 3),
              "<STYLE>a:after{content:\"\\2192 b\\2192x\\2192  \\2192\\2192\"} /* \\2014 */</STYLE>&#8594;");
}

// HTML text, attribute values and the elements that read references get references; the text
// of SVG reads them too, even in its own STYLE; <xmp> and <plaintext> read none.
TEST(CPageEncoderTest, HtmlReadsReferencesAndSomeElementsReadNothing)
{
    EXPECT_EQ(Encoded("<p title=\"" + kArrow + "\">" + kArrow + "<!-- <script> -->" + kArrow + "<title><script>" + kArrow +
                          "</title><svg><style>" + kArrow + "</style></svg><textarea>" + kArrow + "</textarea>",
                      "latin1"),
              "<p title=\"&#8594;\">&#8594;<!-- <script> -->&#8594;<title><script>&#8594;</title><svg><style>&#8594;"
              "</style></svg><textarea>&#8594;</textarea>");
    CPageEncoder::Place place = CPageEncoder::Place::None;
    Encoded("<xmp>" + kArrow + "</xmp>", "latin1", 0, &place);
    EXPECT_EQ(place, CPageEncoder::Place::RawText);
    Encoded("<p>a<plaintext>" + kArrow, "latin1", 0, &place);
    EXPECT_EQ(place, CPageEncoder::Place::RawText);
    // A character the charset has needs nothing anywhere.
    EXPECT_EQ(Encoded("<xmp>\xC3\xA9</xmp><script>var \xC3\xA9;</script>", "latin1", 0, &place), "<xmp>\xE9</xmp><script>var \xE9;</script>");
    EXPECT_EQ(place, CPageEncoder::Place::None);
}

// A page written in ISO-2022-JP in pieces is the page written whole: a piece that ends among
// kanji does not go back to ASCII only for the next to leave it again, two shifts together that
// readers take for a fault.
TEST(CPageEncoderTest, APageWrittenInPiecesInIso2022JpIsThePageWrittenWhole)
{
    const std::string page = "<title>日本語の文書</title><p>漢字 ¥100 é</p>";
    const std::string whole = Encoded(page, "iso-2022-jp");
    EXPECT_EQ(Encoded(page, "iso-2022-jp", 4), whole);
    CPageDecoder decoder(CPageCharset::FromName("iso-2022-jp"));
    std::string read;
    decoder.Decode(whole.data(), whole.size(), read);
    decoder.Finish(read);
    EXPECT_TRUE(decoder.IsReadWhole());
    EXPECT_EQ(read, "<title>日本語の文書</title><p>漢字 ¥100 &#233;</p>");
}
