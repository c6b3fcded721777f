#include "HtmlParserTestSupport.h"

#include "engine/html/CAction.h"
#include "engine/html/CTagTable.h"

#include <gtest/gtest.h>

using namespace htmltest;
using Lines = std::vector<std::string>;

namespace {

TEST(ActionTest, AnAreaWithoutDescriptionTakesTheDefault)
{
    EXPECT_EQ(Reports("<AREA HREF=map.htm>"), Lines({"link map.htm | Image map | 0 0 -1 -1"}));
    EXPECT_EQ(Reports("<AREA HREF=map.htm SHAPE=rect>"), Lines({"link map.htm | rect | 0 0 -1 -1"}));
    EXPECT_EQ(Reports("<AREA HREF=map.htm SHAPE=rect ALT=Home>"), Lines({"link map.htm | Home | 0 0 -1 -1"}));
    EXPECT_EQ(Reports("<AREA SHAPE=rect>"), Lines());
}

TEST(ActionTest, AFrameIsDescribedByItsName)
{
    EXPECT_EQ(Reports("<FRAME SRC=left.htm NAME=nav>"), Lines({"link left.htm | nav | 10 0 -1 -1"}));
    EXPECT_EQ(Reports("<IFRAME SRC=i.htm></IFRAME>"), Lines({"link i.htm | <IFRAME> | 10 0 -1 -1"}));
}

TEST(ActionTest, ADivReportsAtOnceAndNeverCollectsText)
{
    EXPECT_EQ(Reports("<DIV HREF=d.htm>text</DIV>"), Lines({"link d.htm | <DIV> | 1 0 -1 -1"}));
    EXPECT_EQ(Reports("<DIV HREF=d.htm TITLE=t>text</DIV>"), Lines({"link d.htm | t | 1 0 -1 -1"}));
    EXPECT_EQ(Reports("<DIV>text</DIV>"), Lines());
}

TEST(ActionTest, AnEmptyDescriptionFallsBackToTheLink)
{
    EXPECT_EQ(Reports("<FRAME SRC=f.htm NAME=\"  \">"), Lines({"link f.htm | f.htm | 10 0 -1 -1"}));
    EXPECT_EQ(Reports("<A HREF=x></A>"), Lines({"link x | x | 0 0 -1 -1"}));
}

TEST(ActionTest, CollectingStopsAfterTheLimitButKeepsTheLastPieceWhole)
{
    std::string first(60, 'a');
    std::string second(20, 'b');
    EXPECT_EQ(Reports("<A HREF=x>" + first + " " + second + " more words</A>"),
        Lines({"link x | " + first + " " + second + " | 0 0 -1 -1"}));
}

TEST(ActionTest, AHugeWordIsCutWhenCollected)
{
    std::string word(100000, 'w');
    EXPECT_EQ(Reports("<A HREF=x>" + word + "</A>"),
        Lines({"link x | " + std::string(CAction::MAX_TEXT_PIECE, 'w') + " | 0 0 -1 -1"}));
}

TEST(ActionTest, AServerMapAnchorReportsAClickAtTheOrigin)
{
    EXPECT_EQ(Reports("<A HREF=x><IMG SRC=i.gif ISMAP></A>"),
        Lines({"link i.gif | i.gif | 2 0 -1 -1", "link x?0,0 | Server Map: i.gif | 0 256 -1 -1"}));
    EXPECT_EQ(Reports("<A HREF=\"map.cgi?x=1#t\"><IMG SRC=i.gif ALT=Map ISMAP></A>"),
        Lines({"link i.gif | Map | 2 4 -1 -1", "link map.cgi?0,0 | Server Map: Map | 0 256 -1 -1"}));
    EXPECT_EQ(Reports("<A HREF=\"map.cgi#t?y\"><IMG SRC=i.gif ISMAP></A>").back(),
        "link map.cgi?0,0 | Server Map: i.gif | 0 256 -1 -1");
    // Without SRC the image marks nothing.
    EXPECT_EQ(Reports("<A HREF=x><IMG ISMAP></A>"), Lines({"link x | x | 0 0 -1 -1"}));
}

TEST(ActionTest, AnImageInsideAnAnchorGivesItsDescription)
{
    EXPECT_EQ(Reports("<A HREF=x>before <IMG SRC=i.gif ALT=Logo> after</A>"),
        Lines({"link i.gif | Logo | 2 4 -1 -1", "link x | Logo | 0 0 -1 -1"}));
}

TEST(ActionTest, ARepeatedAttributeKeepsItsLastValue)
{
    EXPECT_EQ(Reports("<FRAME SRC=a SRC=b NAME=n>"), Lines({"link b | n | 10 0 -1 -1"}));
}

TEST(ActionTest, AnAttributeWithoutValueIsPresentAndEmpty)
{
    EXPECT_EQ(Reports("<FRAME SRC NAME=n>"), Lines({"link  | n | 10 0 -1 -1"}));
}

TEST(ActionTest, IsSameTagComparesRows)
{
    CAction action;
    action.Attach(nullptr, FindTagEntry("A", 1));
    EXPECT_TRUE(action.IsSameTag("a", 1));
    EXPECT_FALSE(action.IsSameTag("ABBR", 4));
    EXPECT_FALSE(action.IsSameTag("XYZ", 3));
}

TEST(ActionTest, AppendTextAndSeparatorsOnlyWhileCollecting)
{
    CAction action;
    action.AppendText("x", 1);
    action.AddTextSeparator();
    EXPECT_TRUE(action.GetDescription().IsEmpty());
    EXPECT_EQ(action.GetMaxDescriptionLength(), 70);
    action.Attach(nullptr, FindTagEntry("A", 1));
    action.SetDescription("given");
    EXPECT_FALSE(action.IsCollectingText());
    EXPECT_STREQ(action.GetDescription(), "given");
}

TEST(ActionTest, KeepsAtMostTheCapOfDistinctAttributes)
{
    CAction action;
    for (int i = 0; i < CAction::MAX_ATTRIBUTES + 10; ++i) {
        std::string name = "N" + std::to_string(i);
        action.AddAttrNoValue(name.c_str(), static_cast<int>(name.size()));
    }
    EXPECT_EQ(action.GetAttrCount(), CAction::MAX_ATTRIBUTES);
    // A name already kept still takes a new value.
    action.SetAttrName("N0", 2);
    action.SetAttrValue("v", 1);
    CString value;
    EXPECT_TRUE(action.GetAttr("N0", value));
    EXPECT_STREQ(value, "v");
}

} // namespace

TEST(ActionTest, ManyAndLongAttributesAreAllKeptAndARepeatKeepsTheLastValue)
{
    // More attributes and more text than a tag keeps inside its action: the link still comes
    // from the right attribute, with its NUL bytes dropped, after the repeat.
    std::string tag = "<AREA";
    for (int i = 0; i < 30; ++i)
        tag += " DATA" + std::to_string(i) + "=\"" + std::string(40, static_cast<char>('a' + i % 26)) + "\"";
    const std::string page = tag + " HREF=first.htm ALT=\"x" + std::string(1, '\0') + "y\" HREF=\"" + std::string(300, 'z') + ".htm\">";
    EXPECT_EQ(Reports(page), Lines({"link " + std::string(300, 'z') + ".htm | xy | 0 0 -1 -1"}));
}
