#include "HtmlParserTestSupport.h"

#include <gtest/gtest.h>

using namespace htmltest;
using Lines = std::vector<std::string>;

namespace {

TEST(TagActionsTest, ImageSizesAndAltSetFlags)
{
    EXPECT_EQ(Reports("<IMG SRC=i.gif WIDTH=\"50%\" HEIGHT=20>"), Lines({"link i.gif | i.gif | 2 11 50 20"}));
    EXPECT_EQ(Reports("<IMG SRC=i.gif LOWSRC=l.gif ALT=\"A pic \" WIDTH=0 HEIGHT=10px>"),
        Lines({"link i.gif | A pic | 2 7 0 10", "link l.gif | A pic | 2 7 0 10"}));
    EXPECT_EQ(Reports("<IMG SRC=i.gif WIDTH=-5 HEIGHT=x>"), Lines({"link i.gif | i.gif | 2 0 -1 -1"}));
    EXPECT_EQ(Reports("<IMG SRC=i.gif WIDTH=99999999999>"), Lines({"link i.gif | i.gif | 2 1 2147483647 -1"}));
}

TEST(TagActionsTest, AppletReportsItsClassWithTheCodeBase)
{
    EXPECT_EQ(Reports("<APPLET CODE=Main WIDTH=0 HEIGHT=\"10%\"></APPLET>"),
        Lines({"codebase  | Main.class | Applet | 4 18 -1 10"}));
    EXPECT_EQ(Reports("<APPLET CODE=Main.CLASS CODEBASE=\"classes \" NAME=app>"),
        Lines({"codebase classes/ | Main.CLASS.class | app | 4 0 -1 -1"}));
    EXPECT_EQ(Reports("<APPLET CODE=a.class CODEBASE=c/ ALT=x>"), Lines({"codebase c/ | a.class | x | 4 4 -1 -1"}));
    // Without NAME or ALT its text describes it.
    EXPECT_EQ(Reports("<APPLET CODE=a.class>Get Java</APPLET>"), Lines({"codebase  | a.class | Get Java | 4 0 -1 -1"}));
}

TEST(TagActionsTest, ArchivesAreSplitAtBlanksAndTabs)
{
    EXPECT_EQ(Reports("<APPLET CODE=m ARCHIVE=\"a.jar b.jar\" NAME=n>"),
        Lines({"codebase  | m.class | n | 4 0 -1 -1", "codebase  | a.jar | n | 4 2048 -1 -1",
            "codebase  | b.jar | n | 4 2048 -1 -1"}));
    EXPECT_EQ(Reports("<APPLET ARCHIVE=\"a.jar,b.jar\" NAME=n>"), Lines({"codebase  | a.jar,b.jar | n | 4 2048 -1 -1"}));
    EXPECT_EQ(Reports("<OBJECT ARCHIVE=\" \ta.jar\t \" STANDBY=s>"), Lines({"codebase  | a.jar | s | 7 2048 -1 -1"}));
}

TEST(TagActionsTest, ObjectClassIdsByScheme)
{
    EXPECT_EQ(Reports("<OBJECT CLASSID=\"java:pkg.Main\" CODEBASE=lib TITLE=t WIDTH=5>"),
        Lines({"codebase lib/ | pkg.Main.class | t | 4 1 5 -1"}));
    EXPECT_EQ(Reports("<OBJECT CLASSID=\"clsid:1234\" CODEBASE=\"x.cab \"></OBJECT>"),
        Lines({"link clsid:1234 | <OBJECT> | 7 0 -1 -1", "link x.cab | clsid:1234 | 7 0 -1 -1"}));
    EXPECT_EQ(Reports("<OBJECT CLASSID=\"other.swf\" CODETYPE=video/x STANDBY=s>"),
        Lines({"codebase  | other.swf | s | 2 0 -1 -1"}));
    // "java:" alone is not long enough for the Java form.
    EXPECT_EQ(Reports("<OBJECT CLASSID=\"java:\" STANDBY=s>"), Lines({"codebase  | java: | s | 8 0 -1 -1"}));
}

TEST(TagActionsTest, ObjectDataAndCode)
{
    EXPECT_EQ(Reports("<OBJECT DATA=movie.mpg TYPE=video/mpeg STANDBY=s CODE=C.class>"),
        Lines({"codebase  | C.class | s | 4 0 -1 -1", "codebase  | movie.mpg | s | 2 0 -1 -1"}));
    EXPECT_EQ(Reports("<OBJECT DATA=\"data:image/png;base64,xx\" STANDBY=s>"), Lines());
    EXPECT_EQ(Reports("<OBJECT DATA=\"data:\" STANDBY=s>"), Lines({"codebase  | data: | s | 8 0 -1 -1"}));
}

TEST(TagActionsTest, LinkNeedsRelAndKnowsStyleSheets)
{
    EXPECT_EQ(Reports("<LINK REL=StyleSheet HREF=s.css>"), Lines({"link s.css | StyleSheet | 5 0 -1 -1"}));
    EXPECT_EQ(Reports("<LINK REL=next HREF=n.htm>"), Lines({"link n.htm | next | 1 0 -1 -1"}));
    EXPECT_EQ(Reports("<LINK HREF=n.htm>"), Lines());
}

TEST(TagActionsTest, TypedResources)
{
    EXPECT_EQ(Reports("<USES HREF=u.gif TYPE=image/gif>"), Lines({"link u.gif | <USES> | 2 64 -1 -1"}));
    EXPECT_EQ(Reports("<USES HREF=u COMMENT=c>"), Lines({"link u | c | 8 64 -1 -1"}));
    EXPECT_EQ(Reports("<PARAM NAME=movie VALUE=m.swf VALUETYPE=ref TYPE=audio/x>"), Lines({"link m.swf | movie | 3 64 -1 -1"}));
    EXPECT_EQ(Reports("<PARAM NAME=speed VALUE=10>"), Lines());
    EXPECT_EQ(Reports("<SPAN HREF=s.htm TYPE=text/html>x</SPAN>"), Lines({"link s.htm | <SPAN> | 1 128 -1 -1"}));
}

TEST(TagActionsTest, BackgroundsAndBodyResources)
{
    EXPECT_EQ(Reports("<BGSOUND SRC=s.wav>"), Lines({"link s.wav | Background sound | 3 32 -1 -1"}));
    EXPECT_EQ(Reports("<TABLE BACKGROUND=t.gif><TR><TH BACKGROUND=h.gif><TD BACKGROUND=c.gif>"),
        Lines({"link t.gif | Table Background | 2 32 -1 -1", "link h.gif | Table Heading Background | 2 32 -1 -1",
            "link c.gif | Table Cell Background | 2 32 -1 -1"}));
    EXPECT_EQ(Reports("<BODY BACKGROUND=b.gif CREDITS=c.htm LOGO=l.gif>"),
        Lines({"link b.gif | Background | 2 32 -1 -1", "link c.htm | Credits | 1 128 -1 -1", "link l.gif | Logo | 2 128 -1 -1"}));
    // The row's first present link decides that BODY reports at all.
    EXPECT_EQ(Reports("<BODY LOGO=l.gif>"), Lines({"link l.gif | Logo | 2 128 -1 -1"}));
}

TEST(TagActionsTest, BaseScriptAndTitle)
{
    EXPECT_EQ(Reports("<BASE HREF=\"http://h/d/\" ID=b>"), Lines({"base http://h/d/"}));
    EXPECT_EQ(Reports("<SCRIPT SRC=s.js LANGUAGE=JavaScript></SCRIPT>"), Lines({"link s.js | JavaScript | 6 0 -1 -1"}));
    EXPECT_EQ(Reports("<SCRIPT SRC=s.js></SCRIPT>"), Lines({"link s.js | Script | 6 0 -1 -1"}));
    EXPECT_EQ(Reports("<TITLE ID=x> My  page </TITLE>"), Lines({"title My page"}));
    EXPECT_EQ(Reports("<TITLE> </TITLE>"), Lines());
}

TEST(TagActionsTest, ATitleKeepsItsOwnTextWhole)
{
    EXPECT_EQ(Reports("<TITLE>Shop <IMG SRC=logo.gif ALT=Logo> today</TITLE>"),
        Lines({"link logo.gif | Logo | 2 4 -1 -1", "title Shop  today"}));
    // However long, of many words or of one.
    std::string words;
    for (int i = 0; i < 100; ++i)
        words += "word" + std::to_string(i) + " ";
    words.pop_back();
    const std::string word(1 << 20, 'w');
    EXPECT_EQ(Reports("<TITLE>" + words + "</TITLE>"), Lines({"title " + words}));
    EXPECT_EQ(Reports("<title>" + word + "</title>"), Lines({"title " + word}));
}

TEST(TagActionsTest, InputReportsAnImageButton)
{
    EXPECT_EQ(Reports("<INPUT TYPE=image SRC=go.gif NAME=go>"), Lines({"link go.gif | go | 2 0 -1 -1"}));
    EXPECT_EQ(Reports("<INPUT TYPE=image SRC=go.gif>"), Lines({"link go.gif | Input | 2 0 -1 -1"}));
}

} // namespace
