#include "HtmlParserTestSupport.h"

#include "engine/html/CAction.h"
#include "engine/html/CFormContext.h"
#include "engine/html/HtmlLinkTypes.h"
#include "platform/core/CFileException.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace htmltest;
using Lines = std::vector<std::string>;

namespace {

// The form hash written out independently: h = c + h * 3113 + 17 over signed bytes from 9141.
DWORD Hash(const char* text)
{
    DWORD h = 9141;
    for (const char* p = text; *p != '\0'; ++p)
        h = static_cast<DWORD>(static_cast<int>(static_cast<signed char>(*p))) + h * 3113u + 17u;
    return h;
}

TEST(HtmlParserTest, ReportsAnAnchorAtItsEndWithItsText)
{
    EXPECT_EQ(Reports("<A HREF=x>text</A>"), Lines({"link x | text | 0 0 -1 -1"}));
    EXPECT_EQ(Reports("<a href=\"x.htm\">some  more\ntext </a>"), Lines({"link x.htm | some more text | 0 0 -1 -1"}));
}

TEST(HtmlParserTest, ANewOpenElementFinishesThePreviousOne)
{
    EXPECT_EQ(Reports("<A HREF=x>one<A HREF=y>two</A>"),
        Lines({"link x | one | 0 0 -1 -1", "link y | two | 0 0 -1 -1"}));
}

TEST(HtmlParserTest, AnOtherEndTagLeavesTheOpenElementAlone)
{
    EXPECT_EQ(Reports("<A HREF=x><B>bold</B> text</A>"), Lines({"link x | bold text | 0 0 -1 -1"}));
}

TEST(HtmlParserTest, AnElementOpenAtTheEndIsDroppedWithoutReporting)
{
    EXPECT_EQ(Reports("<A HREF=x>never closed"), Lines());
    EXPECT_EQ(Reports("<TITLE>unfinished"), Lines());
}

TEST(HtmlParserTest, AnUnknownTagRaisesNoActionAndLeavesTheOpenElement)
{
    EXPECT_EQ(Reports("<A HREF=x>a<FOO BAR=1 HREF=z>b</A>"), Lines({"link x | ab | 0 0 -1 -1"}));
}

TEST(HtmlParserTest, JavaScriptUrlsAreNeverLinks)
{
    RecordingSink sink;
    std::string html = "<A HREF=\"JavaScript:go()\">x</A><AREA HREF=\"javascript:\" ALT=a>";
    std::vector<BYTE> bytes(html.begin(), html.end());
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    ScriptRecordingParser parser(&sink, &file, TRUE, TRUE, 1);
    parser.Parse();
    EXPECT_TRUE(sink.With("link").empty());
    EXPECT_EQ(parser.m_javaScripts, Lines({"go()", ""}));
}

TEST(HtmlParserTest, TellsTheSinkTheBytesItReads)
{
    RecordingSink sink;
    std::string html = "<P>plain words</P>";
    std::vector<BYTE> bytes(html.begin(), html.end());
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CHtmlParser parser(&sink, &file, TRUE, TRUE, 1);
    parser.Parse();
    EXPECT_EQ(sink.m_keywordText, html);
    EXPECT_EQ(parser.GetBytesRead(), html.size());
}

TEST(HtmlParserTest, AStopRequestEndsTheInputWithoutReports)
{
    RecordingSink sink;
    sink.m_nStopAfterPolls = 0;
    Parse("<TITLE>t</TITLE><A HREF=x>y</A>", sink);
    EXPECT_TRUE(sink.m_reports.empty());
    EXPECT_TRUE(sink.m_keywordText.empty());
}

TEST(HtmlParserTest, AReadFailureLeavesParseAsAFileException)
{
    // A file that fails on reading.
    class BrokenFile : public CMemFile {
    public:
        UINT Read(void*, UINT) override { AfxThrowFileException(CFileException::genericException, 5); return 0; }
    };
    RecordingSink sink;
    BrokenFile file;
    CHtmlParser parser(&sink, &file, TRUE, TRUE, 1);
    bool bThrown = false;
    try {
        parser.Parse();
    } catch (CFileException* e) {
        bThrown = true;
        e->Delete();
    }
    EXPECT_TRUE(bThrown);
}

TEST(HtmlParserTest, ReportsTwoFormsAndEndsAFormAtTheNextFormStart)
{
    RecordingSink sink;
    Parse("<FORM NAME=f><INPUT TYPE=text></FORM><FORM></FORM>", sink);
    auto forms = sink.With("form ");
    ASSERT_EQ(forms.size(), 2u);
    EXPECT_EQ(forms[0].substr(0, 9), "form f | ");
    EXPECT_EQ(forms[1].substr(0, 8), "form  | ");

    RecordingSink nested;
    Parse("<FORM ID=a><FORM NAME=b></FORM>", nested);
    auto nestedForms = nested.With("form ");
    ASSERT_EQ(nestedForms.size(), 2u);
    EXPECT_EQ(nestedForms[0].substr(0, 9), "form a | ");
    EXPECT_EQ(nestedForms[1].substr(0, 9), "form b | ");
}

TEST(HtmlParserTest, AnEmptyFormsChecksumHasTheDefaultTexts)
{
    DWORD expected = 42 + Hash("application/x-www-form-urlencoded") + 9141 + 9141 + Hash("unknown");
    EXPECT_EQ(Reports("<FORM></FORM>"), Lines({"form  | " + std::to_string(expected)}));
}

TEST(HtmlParserTest, FormFieldsGrowTheChecksum)
{
    DWORD expected = 42 + Hash("multipart/form-data") + Hash("/cgi/x") + Hash("POST") + Hash("utf-8")
        + Hash("INPUT") + Hash("TYPE") + Hash("Text") + Hash("SELECT") + Hash("NAME") + Hash("s")
        + Hash("OPTION") + Hash("TEXTAREA") + Hash("BUTTON") + Hash("TYPE") + Hash("submit");
    EXPECT_EQ(Reports("<FORM ENCTYPE=Multipart/Form-Data ACTION=/cgi/x METHOD=post ACCEPT-CHARSET=UTF-8>"
                      "<INPUT TYPE=Text><SELECT NAME=s><OPTION>o</SELECT><TEXTAREA></TEXTAREA>"
                      "<BUTTON TYPE=submit>b</BUTTON></FORM>"),
        Lines({"form  | " + std::to_string(expected)}));
    // Outside a form fields count nothing and report nothing.
    EXPECT_EQ(Reports("<INPUT TYPE=text><SELECT NAME=s>"), Lines());
}

TEST(HtmlParserTest, FormHashTakesBytesAsSigned)
{
    EXPECT_EQ(CFormContext::HashText("", 0), 9141u);
    EXPECT_EQ(CFormContext::HashText(nullptr, -1), 9141u);
    EXPECT_EQ(CFormContext::HashText("\xE9", 1), static_cast<DWORD>(-23) + 9141u * 3113u + 17u);
    CFormContext form("f");
    form.AddField("ab", -1);
    form.AddField("abc", 2);
    EXPECT_EQ(form.GetChecksum(), 42u + 2u * Hash("ab"));
}

TEST(HtmlParserTest, PassesScriptContentToTheHookOfItsLanguage)
{
    RecordingSink sink;
    std::string html = "<SCRIPT LANGUAGE=JavaScript>if (a<b) go();</SCRIPT>"
                       "<SCRIPT TYPE=text/vbscript>msgbox 1</script >"
                       "<SCRIPT LANGUAGE=tcl>puts x</SCRIPT><SCRIPT>plain</SCRIPT>";
    std::vector<BYTE> bytes(html.begin(), html.end());
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    ScriptRecordingParser parser(&sink, &file, TRUE, TRUE, 1);
    parser.Parse();
    // A SCRIPT without language takes the event-script mode, JavaScript here.
    EXPECT_EQ(parser.m_javaScripts, Lines({"if (a<b) go();", "plain"}));
    EXPECT_EQ(parser.m_vbScripts, Lines({"msgbox 1"}));
}

TEST(HtmlParserTest, ScriptsOfADisabledLanguageAreNotExamined)
{
    RecordingSink sink;
    std::string html = "<SCRIPT LANGUAGE=JavaScript>x</SCRIPT><SCRIPT LANGUAGE=VBScript>y</SCRIPT>";
    std::vector<BYTE> bytes(html.begin(), html.end());
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    ScriptRecordingParser parser(&sink, &file, FALSE, TRUE, 1);
    parser.Parse();
    EXPECT_TRUE(parser.m_javaScripts.empty());
    EXPECT_EQ(parser.m_vbScripts, Lines({"y"}));
}

TEST(HtmlParserTest, EventAttributesGoToScriptExamination)
{
    RecordingSink sink;
    std::string html = "<BODY onLoad=\"init()\" ONFOO=x><META HTTP-EQUIV=Content-Script-Type CONTENT=text/vbscript>"
                       "<P ONCLICK=\"vb()\">";
    std::vector<BYTE> bytes(html.begin(), html.end());
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    ScriptRecordingParser parser(&sink, &file, TRUE, TRUE, 1);
    parser.Parse();
    EXPECT_EQ(parser.m_javaScripts, Lines({"init()"}));
    EXPECT_EQ(parser.m_vbScripts, Lines({"vb()"}));
    EXPECT_EQ(parser.GetEventScriptMode(), SCRIPT_KIND_VBSCRIPT);
}

TEST(HtmlParserTest, TagsWithIdsReportAnchors)
{
    EXPECT_EQ(Reports("<H1 ID=top>x</H1><META ID=m><A NAME=n ID=i>"), Lines({"anchor top", "anchor i", "anchor n"}));
}

TEST(HtmlParserTest, SurvivesManyAttributesAndHugeValues)
{
    std::string html = "<A";
    for (int i = 0; i < 5000; ++i)
        html += " A" + std::to_string(i) + "=" + std::to_string(i);
    html += " HREF=x>t</A>";
    // The HREF comes after the cap on distinct attributes and is dropped with the rest.
    EXPECT_EQ(Reports(html), Lines());

    std::string value(1 << 20, 'v');
    EXPECT_EQ(Reports("<FRAME NAME=n SRC=\"" + value + "\">"), Lines({"link " + value + " | n | 10 0 -1 -1"}));
}

TEST(HtmlParserTest, SurvivesDeepNesting)
{
    std::string html;
    for (int i = 0; i < 20000; ++i)
        html += "<DIV><A HREF=a" + std::to_string(i % 3) + "><TABLE><TD>";
    RecordingSink sink;
    Parse(html, sink);
    // Each anchor is finished by the next one; the last one stays open and is dropped.
    EXPECT_EQ(sink.With("link").size(), 19999u);
}

} // namespace

namespace {

// The whole literal, NUL bytes included.
template <size_t N>
std::string Bytes(const char (&text)[N])
{
    return std::string(text, N - 1);
}

TEST(HtmlParserTest, NulBytesInTextAndValuesAreDropped)
{
    // Once reported an empty title: the text began with NUL bytes.
    EXPECT_EQ(Reports(Bytes("<title>\0\0\x01" "Cmp</title>")), Lines({"title \x01" "Cmp"}));
    EXPECT_EQ(Reports(Bytes("<title>\0</title>")), Lines());
    EXPECT_EQ(Reports(Bytes("<FRAME SRC=\"a\0b\" NAME=n>")), Lines({"link ab | n | 10 0 -1 -1"}));
}

} // namespace

#include "HtmlLexerTestSupport.h"

namespace {

TEST(HtmlParserTest, AStopMidwayDropsTheOpenElement)
{
    std::string html = "<TITLE>t</TITLE><A HREF=x>some text</A>";
    size_t nStop = html.find("text");
    RecordingSink sink;
    sink.m_nStopAfterPolls = static_cast<int>(nStop);  // one byte per read
    ChunkFile file(html, 1);
    CHtmlParser parser(&sink, &file, TRUE, TRUE, 1);
    EXPECT_EQ(parser.Parse(), 0);
    EXPECT_EQ(sink.m_reports, Lines({"title t"}));
    EXPECT_EQ(sink.m_keywordText, html.substr(0, nStop));
    EXPECT_EQ(parser.GetBytesRead(), nStop);
}

TEST(HtmlParserTest, ReadsInPiecesLikeAtOnce)
{
    std::string html = "<HTML><TITLE>A &amp; B</TITLE><META NAME=keywords CONTENT=\"x, y\">"
                       "<A HREF=\"a.htm\" ID=i>link <B>text</B></A><IMG SRC=i.gif ALT=\"pic\"></HTML>";
    RecordingSink whole;
    Parse(html, whole);
    RecordingSink pieces;
    ChunkFile file(html, 3);
    CHtmlParser parser(&pieces, &file, TRUE, TRUE, 1);
    parser.Parse();
    EXPECT_EQ(pieces.m_reports, whole.m_reports);
    EXPECT_EQ(whole.m_reports, Lines({"title A & B", "namedmeta keywords | x, y | (null)", "keyword x", "keyword y",
                                   "anchor i", "link a.htm | link text | 0 0 -1 -1", "link i.gif | pic | 2 4 -1 -1"}));
}

// A picture written into an IMG tag: a stop is heard while its value is read, and while the tag
// completes (asked when its link is reported); the rest of the page is not read either way.
TEST(HtmlParserTest, AStopIsHeardInEachPhaseOfAPictureWrittenIntoTheTag)
{
    struct StopAtLinkSink : RecordingSink {
        bool bStopAtLink = false;
        bool bLinked = false;
        BOOL IsStopRequested() override { return RecordingSink::IsStopRequested() || (bStopAtLink && bLinked); }
        void ReportLink(LPCSTR url, LPCSTR desc, int, DWORD, int, int) override
        {
            m_reports.push_back(std::to_string(std::strlen(url)) + " | " + desc);
            bLinked = true;
        }
    };
    const std::string value = "data:image/png;base64," + std::string(4u << 20, 'Q');
    const std::string head = "<TITLE>Plan</TITLE><IMG ALT=Plan SRC=\"" + value + "\">";
    const std::string html = head + std::string(1u << 20, 'x') + "<META NAME=author CONTENT=after>";
    const struct {
        int nStopAfterPolls; // reads of 8 KB at most
        bool bStopAtLink;
        Lines expected;
    } rows[] = {{100, false, {"title Plan"}}, {-1, true, {"title Plan", std::to_string(value.size()) + " | Plan"}}};
    for (const auto& row : rows) {
        StopAtLinkSink sink;
        sink.m_nStopAfterPolls = row.nStopAfterPolls;
        sink.bStopAtLink = row.bStopAtLink;
        ChunkFile file(html, html.size());
        CHtmlParser parser(&sink, &file, TRUE, TRUE, 1);
        EXPECT_EQ(parser.Parse(), 0);
        EXPECT_EQ(sink.m_reports, row.expected);
        EXPECT_LT(parser.GetBytesRead(), head.size() + (64u << 10));
    }
}

} // namespace
