// The title the parser reports for a page whose body carries inline pictures and formulas.
#include "HtmlParserTestSupport.h"

#include <gtest/gtest.h>

using namespace htmltest;
using Lines = std::vector<std::string>;

namespace {

Lines Titles(const std::string& html)
{
    RecordingSink sink;
    Parse(html, sink);
    return sink.With("title ");
}

TEST(HtmlParserTitleTest, TheTitlesOfInlinePicturesAndFormulasAreNotThePages)
{
    // A page as today's sites write them: icons drawn inline, each with a tooltip title.
    const std::string page =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>Getting started</title>"
        "<link rel=\"stylesheet\" href=\"site.css\"></head><body><header><button class=\"menu\">"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 24 24\" aria-labelledby=\"m\">"
        "<title id=\"m\">Open menu</title><path d=\"M3 6h18M3 12h18M3 18h18\"/></svg></button>"
        "<a href=\"search.html\"><SVG viewBox=\"0 0 16 16\"><g><title>Search</title>"
        "<circle cx=\"7\" cy=\"7\" r=\"5\"/></g></SVG></a></header>"
        "<p>The area is <math><title>Area</title><mi>&pi;</mi><msup><mi>r</mi><mn>2</mn></msup></math>.</p>"
        "<svg width=\"8\" height=\"8\"><svg x=\"1\"><title>Inner</title></svg><title>Outer</title></svg>"
        "</body></html>\n";
    EXPECT_EQ(Titles(page), Lines({"title Getting started"}));
    // The links within pictures are still links of the page.
    RecordingSink sink;
    Parse(page, sink);
    EXPECT_EQ(sink.With("link search.html").size(), 1u);
}

TEST(HtmlParserTitleTest, APictureThatClosesItselfHidesNoTitleAfterIt)
{
    // An empty picture has no end tag: what follows it is the page's again.
    EXPECT_EQ(Titles("<svg width=\"1\" height=\"1\"/><title>After an empty picture</title>"),
                     Lines({"title After an empty picture"}));
    EXPECT_EQ(Titles("<math / ><title>After an empty formula</title>"), Lines({"title After an empty formula"}));
    // A "/" inside the tag that an attribute follows closes nothing.
    EXPECT_EQ(Titles("<svg / class=\"icon\"><title>Icon</title></svg><title>Page</title>"), Lines({"title Page"}));
    // A picture whose end is missing keeps its titles to itself up to the page's end.
    EXPECT_EQ(Titles("<title>Page</title><svg><title>Cut</title>"), Lines({"title Page"}));
}

TEST(HtmlParserTitleTest, ThePagesFirstTitleIsItsTitle)
{
    // The save rewrites the first TITLE element: the grid shows the same one.
    EXPECT_EQ(Titles("<head><title>First</title></head><body><div><title>Second</title></div>"),
              Lines({"title First"}));
    EXPECT_EQ(Titles("<svg><title>Icon</title></svg><title>Page</title><title>Later</title>"), Lines({"title Page"}));
    // An empty first title leaves the page untitled, as a browser shows it.
    EXPECT_EQ(Titles("<title> </title><title>Later</title>"), Lines());
}

} // namespace
