#include "platform/core/COleDateTime.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The parsed value as "yyyy-mm-dd hh:mm:ss", or "rejected".
std::string Parse(const char* text, DWORD flags = 0)
{
    COleDateTime d(12345.5);
    if (!d.ParseDateTime(text, flags)) {
        EXPECT_EQ(d.GetStatus(), COleDateTime::invalid) << text;
        EXPECT_EQ(d.m_dt, 0.0) << text;
        return "rejected";
    }
    EXPECT_EQ(d.GetStatus(), COleDateTime::valid) << text;
    return std::string(d.Format("%Y-%m-%d %H:%M:%S").GetString());
}

} // namespace

TEST(COleDateTimeParse, IsoForms)
{
    EXPECT_EQ(Parse("1999/06/24"), "1999-06-24 00:00:00");
    EXPECT_EQ(Parse("1999-06-24"), "1999-06-24 00:00:00");
    EXPECT_EQ(Parse("1999.6.24"), "1999-06-24 00:00:00");
    EXPECT_EQ(Parse("1999-06-24 13:45"), "1999-06-24 13:45:00");
    EXPECT_EQ(Parse("1999-06-24 13:45:10"), "1999-06-24 13:45:10");
    EXPECT_EQ(Parse("1999-06-24T13:45:10"), "1999-06-24 13:45:10");
    EXPECT_EQ(Parse("  1999 / 06 / 24  "), "1999-06-24 00:00:00");
    EXPECT_EQ(Parse("0100-01-01"), "100-01-01 00:00:00"); // %Y does not pad
    EXPECT_EQ(Parse("9999-12-31 23:59:59"), "9999-12-31 23:59:59");
}

TEST(COleDateTimeParse, MonthDayYearForms)
{
    EXPECT_EQ(Parse("6/24/1999"), "1999-06-24 00:00:00");
    EXPECT_EQ(Parse("6-24-1999"), "1999-06-24 00:00:00");
    EXPECT_EQ(Parse("06/24/99"), "1999-06-24 00:00:00");
    EXPECT_EQ(Parse("1/2/05"), "2005-01-02 00:00:00");
    // Two-digit years fall in 1930..2029.
    EXPECT_EQ(Parse("1/2/29"), "2029-01-02 00:00:00");
    EXPECT_EQ(Parse("1/2/30"), "1930-01-02 00:00:00");
    EXPECT_EQ(Parse("1/2/0999"), "999-01-02 00:00:00");
    EXPECT_EQ(Parse("6/24/1999 1:45 PM"), "1999-06-24 13:45:00");
    EXPECT_EQ(Parse("12/31/1999 11 pm"), "1999-12-31 23:00:00");
    EXPECT_EQ(Parse("2/29/2000"), "2000-02-29 00:00:00");
}

TEST(COleDateTimeParse, MonthNameForms)
{
    EXPECT_EQ(Parse("24 Jun 1999"), "1999-06-24 00:00:00");
    EXPECT_EQ(Parse("24-Jun-1999"), "1999-06-24 00:00:00");
    EXPECT_EQ(Parse("24-JUN-99"), "1999-06-24 00:00:00");
    EXPECT_EQ(Parse("June 24, 1999"), "1999-06-24 00:00:00");
    EXPECT_EQ(Parse("Jun. 24 1999"), "1999-06-24 00:00:00");
    EXPECT_EQ(Parse("Sept 1, 2001"), "2001-09-01 00:00:00");
    EXPECT_EQ(Parse("June 1999"), "1999-06-01 00:00:00");
    EXPECT_EQ(Parse("1999 June 24"), "1999-06-24 00:00:00");
    EXPECT_EQ(Parse("Thursday, June 24, 1999 1:45:10 p.m."), "1999-06-24 13:45:10");
    EXPECT_EQ(Parse("Thu, 24 Jun 1999 13:45:10"), "1999-06-24 13:45:10");
    // The weekday is not checked against the date.
    EXPECT_EQ(Parse("Friday 6/24/1999"), "1999-06-24 00:00:00");
}

TEST(COleDateTimeParse, DatesWithoutYearTakeTheCurrentOne)
{
    const int year = COleDateTime::GetCurrentTime().GetYear();
    COleDateTime d;
    ASSERT_TRUE(d.ParseDateTime("6/24"));
    EXPECT_EQ(d.GetYear(), year);
    EXPECT_EQ(d.GetMonth(), 6);
    EXPECT_EQ(d.GetDay(), 24);
    ASSERT_TRUE(d.ParseDateTime("24 June"));
    EXPECT_EQ(d.GetYear(), year);
    ASSERT_TRUE(d.ParseDateTime("Jun 24"));
    EXPECT_EQ(d.GetDay(), 24);
}

TEST(COleDateTimeParse, TimesAlone)
{
    COleDateTime d;
    ASSERT_TRUE(d.ParseDateTime("12:00:00 AM"));
    EXPECT_EQ(d.m_dt, 0.0);
    ASSERT_TRUE(d.ParseDateTime("12 PM"));
    EXPECT_EQ(d.m_dt, 0.5);
    ASSERT_TRUE(d.ParseDateTime("18:00"));
    EXPECT_EQ(d.m_dt, 0.75);
    EXPECT_EQ(Parse("6:00 a"), "1899-12-30 06:00:00");
    EXPECT_EQ(Parse("13:45:10.250"), "1899-12-30 13:45:10");
    EXPECT_EQ(Parse("1:45 PM 6/24/1999"), "1999-06-24 13:45:00");
    EXPECT_EQ(Parse("1:45 PM, June 24, 1999"), "1999-06-24 13:45:00");
}

TEST(COleDateTimeParse, ValueOnlyFlags)
{
    EXPECT_EQ(Parse("6/24/1999 13:00", VAR_DATEVALUEONLY), "1999-06-24 00:00:00");
    EXPECT_EQ(Parse("6/24/1999 13:00", VAR_TIMEVALUEONLY), "1899-12-30 13:00:00");
    EXPECT_EQ(Parse("13:00", VAR_DATEVALUEONLY), "1899-12-30 00:00:00");
    EXPECT_EQ(Parse("6/24/1999", VAR_TIMEVALUEONLY), "1899-12-30 00:00:00");
}

TEST(COleDateTimeParse, Rejections)
{
    const char* const bad[] = {
        "", "   ", "hello", "12", "1999", "1.5", "3-4", "1,000", "-5",
        "2/30/2000", "2/29/1900", "13/1/2000", "0/1/2000", "1/0/2000", "1/1/99999",
        "25:00", "10:61", "10:00:60", "13:00 PM", "0 AM", "AM", "10:",
        "6/24/1999 junk", "June July 1999", "1/2/3/4", "1999-06/24", "6 24 1999",
        "99999999999/1/1", "6/24/1999 10:00 11:00", "1999-06-24T", "T10:00",
        "6/24/1999;", "99/1/1", "Jun 32", "0099-12-31", "10000-01-01"};
    for (const char* text : bad)
        EXPECT_EQ(Parse(text), "rejected") << '"' << text << '"';
    COleDateTime d(5.0);
    EXPECT_FALSE(d.ParseDateTime(nullptr));
    EXPECT_EQ(d.GetStatus(), COleDateTime::invalid);
}

TEST(COleDateTimeParse, FormatRoundTrips)
{
    const COleDateTime samples[] = {
        COleDateTime(1999, 6, 24, 13, 45, 10), COleDateTime(1999, 6, 24, 0, 0, 0),
        COleDateTime(0.0),                     COleDateTime(-1.25),
        COleDateTime(-657434.0),               COleDateTime(9999, 12, 31, 23, 59, 59),
        COleDateTime(1900, 2, 28, 12, 0, 0),   COleDateTime(1900, 3, 1, 0, 0, 1),
        COleDateTime(2000, 2, 29, 23, 59, 59), COleDateTime(0.75)};
    for (const COleDateTime& in : samples) {
        const CString text = in.Format();
        COleDateTime out;
        ASSERT_TRUE(out.ParseDateTime(text)) << text.GetString();
        EXPECT_TRUE(out == in) << text.GetString();
        EXPECT_EQ(out.m_dt, in.m_dt) << text.GetString();

        const CString iso = in.Format("%Y-%m-%d %H:%M:%S");
        ASSERT_TRUE(out.ParseDateTime(iso)) << iso.GetString();
        EXPECT_EQ(out.m_dt, in.m_dt) << iso.GetString();
    }
}

TEST(COleDateTimeParse, HttpDateForms)
{
    // What the Expires picture writes reads back, and so do the two older HTTP forms.
    EXPECT_EQ(Parse("Mon, 01 Jan 2024 00:00:00 GMT"), "2024-01-01 00:00:00");
    EXPECT_EQ(Parse("Sun, 06 Nov 1994 08:49:37 GMT"), "1994-11-06 08:49:37");
    EXPECT_EQ(Parse("Sunday, 06-Nov-94 08:49:37 GMT"), "1994-11-06 08:49:37");
    EXPECT_EQ(Parse("Sun Nov  6 08:49:37 1994"), "1994-11-06 08:49:37");
    EXPECT_EQ(Parse("Sun, 06 Nov 1994 08:49:37 utc"), "1994-11-06 08:49:37");
    // The zone only ends a time; anywhere else, or another zone, is refused.
    EXPECT_EQ(Parse("GMT 06 Nov 1994"), "rejected");
    EXPECT_EQ(Parse("06 Nov 1994 GMT"), "rejected");
    EXPECT_EQ(Parse("Sun, 06 Nov 1994 08:49:37 GMT x"), "rejected");
    EXPECT_EQ(Parse("Sun, 06 Nov 1994 08:49:37 PST"), "rejected");
}
