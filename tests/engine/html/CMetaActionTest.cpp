#include "HtmlParserTestSupport.h"

#include "engine/html/CMetaAction.h"

#include <gtest/gtest.h>

using namespace htmltest;
using Lines = std::vector<std::string>;

namespace {

TEST(MetaActionTest, KeywordsAreReportedOneByOne)
{
    EXPECT_EQ(Reports("<META NAME=\"keywords\" CONTENT=\"html, parser; lexer\">"),
        Lines({"namedmeta keywords | html, parser; lexer | (null)", "keyword html", "keyword parser", "keyword lexer"}));
    EXPECT_EQ(Reports("<META NAME=KEYWORDS CONTENT=\"(x), ,;; 'y z'.\">"),
        Lines({"namedmeta KEYWORDS | (x), ,;; 'y z'. | (null)", "keyword x", "keyword y z"}));
}

TEST(MetaActionTest, NamesAndContentAreTrimmed)
{
    EXPECT_EQ(Reports("<META NAME=\" Author \" CONTENT=\"  Ann  \" SCHEME=\" s \">"),
        Lines({"namedmeta Author | Ann |  s ", "author Ann"}));
    EXPECT_EQ(Reports("<META NAME=description CONTENT=\"About it\">"),
        Lines({"namedmeta description | About it | (null)", "description About it"}));
    EXPECT_EQ(Reports("<META NAME=robots CONTENT=noindex SCHEME=x>"),
        Lines({"namedmeta robots | noindex | x", "othermeta robots | noindex | x"}));
    // An empty name is reported as named, but as nothing more.
    EXPECT_EQ(Reports("<META NAME=\" \" CONTENT=c>"), Lines({"namedmeta  | c | (null)"}));
}

TEST(MetaActionTest, WithoutContentNothingIsReported)
{
    EXPECT_EQ(Reports("<META NAME=author><META HTTP-EQUIV=refresh>"), Lines());
}

TEST(MetaActionTest, HttpEquivAndNameAreBothReported)
{
    EXPECT_EQ(Reports("<META HTTP-EQUIV=Expires NAME=n CONTENT=0>"),
        Lines({"httpequiv Expires | 0", "namedmeta n | 0 | (null)", "othermeta n | 0 | (null)"}));
}

// "<meta charset>" declares what a Content-Type does, and is reported as that Content-Type.
TEST(MetaActionTest, AMetaCharsetIsReportedAsTheContentTypeItStandsFor)
{
    EXPECT_EQ(Reports("<meta charset=\" utf-8 \"><META CHARSET=\"\"><meta name=n charset=x content=c>"),
        Lines({"httpequiv Content-Type | text/html; charset=utf-8", "namedmeta n | c | (null)", "othermeta n | c | (null)"}));
}

TEST(MetaActionTest, RefreshReportsTheClientPullTarget)
{
    EXPECT_EQ(Reports("<META HTTP-EQUIV=\"refresh\" CONTENT=\"10; url='next.htm'\">"),
        Lines({"httpequiv refresh | 10; url='next.htm'", "link next.htm | Client pull | 1 0 -1 -1"}));
    EXPECT_EQ(Reports("<META HTTP-EQUIV=REFRESH CONTENT=\"5;URL=x.htm\">").back(), "link x.htm | Client pull | 1 0 -1 -1");
    EXPECT_EQ(Reports("<META HTTP-EQUIV=Refresh CONTENT=\"10\">"), Lines({"httpequiv Refresh | 10"}));
}

TEST(MetaActionTest, ReadsRefreshContents)
{
    CString url;
    EXPECT_TRUE(CMetaAction::ParseRefreshUrl("0; URL = 'a b.htm'", url));
    EXPECT_STREQ(url, "a b.htm");
    EXPECT_TRUE(CMetaAction::ParseRefreshUrl("3;url=x.htm more", url));
    EXPECT_STREQ(url, "x.htm");
    EXPECT_FALSE(CMetaAction::ParseRefreshUrl("3; target=x.htm", url));
    EXPECT_FALSE(CMetaAction::ParseRefreshUrl("3; url=", url));
    EXPECT_FALSE(CMetaAction::ParseRefreshUrl("url=x.htm", url));
    EXPECT_FALSE(CMetaAction::ParseRefreshUrl("3 ; url=x.htm", url));  // no blank before the ";"
    EXPECT_FALSE(CMetaAction::ParseRefreshUrl("", url));
    // A target of any length is read whole.
    std::string longUrl(100000, 'u');
    EXPECT_TRUE(CMetaAction::ParseRefreshUrl(("1; URL='" + longUrl + "'").c_str(), url));
    EXPECT_EQ(url.GetLength(), 100000);
    EXPECT_TRUE(CMetaAction::ParseRefreshUrl("99999999999999999999; URL=x", url));
}

TEST(MetaActionTest, ReadsTheThreeHttpDateFormats)
{
    const char* dates[] = {"Sun, 06 Nov 1994 08:49:37 GMT", "Sunday, 06-Nov-94 08:49:37 GMT", "Sun Nov  6 08:49:37 1994",
        "sun, 06 nov 1994 08:49:37 gmt"};
    for (const char* date : dates) {
        SCOPED_TRACE(date);
        LONG t = 0;
        EXPECT_TRUE(CMetaAction::ParseHttpDate(date, t));
        EXPECT_EQ(t, 784111777);
    }
    LONG t = 0;
    EXPECT_TRUE(CMetaAction::ParseHttpDate("Friday, 01-Jan-10 00:00:00 GMT", t));
    EXPECT_EQ(t, 1262304000);  // two-digit years below 57 are in the 2000s
}

TEST(MetaActionTest, RefusesOtherZonesAndBadDates)
{
    LONG t = 0;
    EXPECT_FALSE(CMetaAction::ParseHttpDate("Sun, 06 Nov 1994 08:49:37 PST", t));
    EXPECT_FALSE(CMetaAction::ParseHttpDate("Sunday, 06-Nov-94 08:49:37 PST", t));
    EXPECT_FALSE(CMetaAction::ParseHttpDate("Sun, 06 Foo 1994 08:49:37 GMT", t));
    EXPECT_FALSE(CMetaAction::ParseHttpDate("Sun, 31 Feb 1994 08:49:37 GMT", t));
    EXPECT_FALSE(CMetaAction::ParseHttpDate("Sun Nov  6 08:49:37 2040", t));
    EXPECT_FALSE(CMetaAction::ParseHttpDate("Sun Nov 99999999999 08:49:37 1994", t));
    EXPECT_FALSE(CMetaAction::ParseHttpDate("yesterday", t));
    EXPECT_FALSE(CMetaAction::ParseHttpDate("", t));
}

TEST(MetaActionTest, LastModifiedIsReportedInSeconds)
{
    EXPECT_EQ(Reports("<META HTTP-EQUIV=Last-Modified CONTENT=\"Sun, 06 Nov 1994 08:49:37 GMT\">").back(),
        "lastmodified 784111777");
    EXPECT_EQ(Reports("<META HTTP-EQUIV=last-modified CONTENT=\"Sun, 06 Nov 1994 08:49:37 PST\">"),
        Lines({"httpequiv last-modified | Sun, 06 Nov 1994 08:49:37 PST"}));
}

} // namespace
