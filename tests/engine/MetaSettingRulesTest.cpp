// What a catalogue entry may hold so that the pages it writes come out right: a name a META tag
// can carry, and a date format the date field writes and reads back.
#include "engine/meta/CMetaDateSetting.h"
#include "engine/meta/CMetaSettingList.h"

#include <gtest/gtest.h>

TEST(MetaSettingRulesTest, ANameIsAnyNameAPageCanCarry)
{
    // Pages carry quotes, angle brackets and ampersands in names (written escaped), and tabs
    // or line breaks inside them.
    for (const char* pszName : {"Keywords", "DC.Title", "og:title", "X-UA-Compatible", "my tag", "Überschrift",
                                "Ωμέγα", "中文", "it's", "Q&A", "say \"hi\"", "a<b>c", "a&amp;", "tab\there",
                                "line\nbreak", "del\x7F"})
        EXPECT_TRUE(CMetaSetting::IsTagName(pszName)) << pszName;
    // A page read back keeps no blank at either end of a name.
    for (const char* pszName : {"", " ", " lead", "trail ", "\ttab", "break\n", "\r\n"})
        EXPECT_FALSE(CMetaSetting::IsTagName(pszName)) << pszName;
}

TEST(MetaSettingRulesTest, ADateFormatIsMadeOfPatternLettersAndQuotedText)
{
    // The built-in catalogue's formats are all usable.
    CMetaSettingList defaults;
    defaults.SetDefaults();
    int nDates = 0;
    for (POSITION pos = defaults.GetHeadPosition(); pos != nullptr;)
        if (const auto* pDate = dynamic_cast<const CMetaDateSetting*>(defaults.GetNext(pos))) {
            ++nDates;
            EXPECT_STREQ(CMetaDateSetting::FindUnusablePart(pDate->m_strFormat), "") << pDate->m_strFormat.GetString();
        }
    EXPECT_GT(nDates, 1);
    for (const char* pszFormat : {"yyyy/MM/dd", "dd.MM.yy", "dddd, d MMMM yyyy", "h:mm tt", "HH:mm:ss",
                                  "yyyy-MM-dd'T'HH:mm", "\"Jahr\" yyyy", "d. MMMM yyyy, é", "gg yyyy/MM/dd", ""})
        EXPECT_STREQ(CMetaDateSetting::FindUnusablePart(pszFormat), "") << pszFormat;
    // The first unknown letter, the text of a quote never closed, or a format of no field at all.
    EXPECT_STREQ(CMetaDateSetting::FindUnusablePart("%Y-%m-%d qq"), "Y");
    EXPECT_STREQ(CMetaDateSetting::FindUnusablePart("yyyy-MM-dd qq"), "q");
    EXPECT_STREQ(CMetaDateSetting::FindUnusablePart("yyyy 'GMT"), "'GMT");
    EXPECT_STREQ(CMetaDateSetting::FindUnusablePart("'at' --"), "'at' --");
}
