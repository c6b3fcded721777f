#include "engine/html/CPageTextFilter.h"
#include "engine/html/CTextReading.h"

#include <gtest/gtest.h>

// Only what a page says to its readers is its text: the values of attributes, not tags, comments,
// style sheets or scripts; and the 7-bit Japanese charset's letters, whose bytes may be those of
// markup, go with it whole.
TEST(CTextReadingTest, APagesTextIsWhatStandsBetweenItsTagsAndInItsValues)
{
    const std::string page = "<html><head><meta name=\"description\" content='Caf\xE9'><!-- <b>no</b> -->"
                             "<style>p:before{content:\"\xA7\"}</style><title>T\xEAte</title></head><body>"
                             "<script>var s = \"</p>\xA7\";</script><p class=x>\x1B$B<%>'\x1B(B 1 < 2</p>";
    for (const size_t nPiece : {size_t(1), size_t(7), page.size()}) {
        CPageTextFilter filter;
        std::string text;
        for (size_t at = 0; at < page.size(); at += nPiece)
            filter.Add(page.data() + at, std::min(nPiece, page.size() - at), text);
        EXPECT_EQ(text, "  description Caf\xE9     T\xEAte     x \x1B$B<%>'\x1B(B 1 < 2 ") << nPiece;
    }
}

// Text read in the wrong charset shows oddities each reading is weighed by; text of no oddity, in
// any script, is text, the sign ¤ too, and a control character makes a reading no text at all.
TEST(CTextReadingTest, TextReadInTheWrongCharsetShowsItsOddities)
{
    const struct {
        const char* pszText;
        size_t nOdd;
        bool bText;
    } rows[] = {
        {"Specyficzności dużych domen, 20°C", 0, true}, {"Specyficzno¶ci du¿ych domen", 2, false},
        {"Глава 6. Сетевые приложения", 0, true},        {"зМБЧБ 6. уЕФЕЧЩЕ", 2, false},
        {"Applications réseau, Linuxの設定, Apache를", 0, true}, {"Applications rщseau", 2, false},
        {"Ãëàâà 6. Ñåòåâûå ïðèëîæåíèÿ", 3, false},      {"Розділ ╕ мережа", 1, true},
        {"iPhone, McDonald, Chương, Síťové", 0, true},  {"15 ¤ im Monat", 0, true},
        {"caf\u0081e", 0, false},
    };
    for (const auto& row : rows) {
        bool bText = false;
        EXPECT_EQ(CTextReading::CountOddities(row.pszText, bText), row.nOdd) << row.pszText;
        const CTextReading reading(CPageCharset::FromName("utf-8"), row.pszText);
        EXPECT_EQ(reading.IsText(), row.bText) << row.pszText;
    }
}
