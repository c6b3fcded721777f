#include "engine/html/CPageTextFilter.h"
#include "engine/html/CTextReading.h"

#include <gtest/gtest.h>

#include <string>

// What a page says to its readers is its text, the values of attributes among it; of comments,
// style sheets and scripts, whose code tells nothing of the language, the words that hold bytes
// beyond ASCII, which a change of charset converts like any other. Tags are not, and the 7-bit
// Japanese charset's letters, whose bytes may be those of markup, go with the text whole, and so
// does a CDATA section's text outside scripts (an SVG's). The charset a META tag declares is read
// wherever it stands, but not in a comment or a script.
TEST(CTextReadingTest, APagesTextIsItsWordsWhereverTheyStandWithoutTheMarkup)
{
    const std::string page = "<html><head><meta name=\"description\" content='Caf\xE9'><!-- <b>no</b> \xD3\xEF\xF0 -->"
                             "<style>p:before{content:\"\xA7\"} p { color: red }</style><title>T\xEAte</title>"
                             "<script>var s = \"</p>\xA7\"; // <meta charset=koi8-r>\n</script>"
                             "<meta http-equiv=Content-Type content=\"text/html; charset=windows-1251\"></head><body>"
                             "<p class=x>\x1B$B<%>'\x1B(B 1 < 2</p><meta charset=\"utf-8\">"
                             "<svg><text><![CDATA[\xD0\xF3 ]] > a]b]]></text></svg><![if !IE]>";
    for (const size_t nPiece : {size_t(1), size_t(7), page.size()}) {
        CPageTextFilter filter;
        std::string text;
        for (size_t at = 0; at < page.size(); at += nPiece)
            filter.Add(page.data() + at, std::min(nPiece, page.size() - at), text);
        EXPECT_EQ(text, "  description Caf\xE9   \xD3\xEF\xF0   p:before{content:\"\xA7\"}    T\xEAte  \"</p>\xA7\";   "
                        "Content-Type text/html; charset=windows-1251    x \x1B$B<%>'\x1B(B 1 < 2 utf-8     "
                        "\xD0\xF3 ]] > a]b    ")
            << nPiece;
        EXPECT_EQ(filter.GetDeclaredName(), "windows-1251") << nPiece;
    }
}

// Text read in the wrong charset shows oddities each reading is weighed by; text of no oddity, in
// any script, is text, the sign ¤ too, and so is a control character of ASCII, the same byte in
// every charset; a character the charset leaves undefined makes a reading no text at all, but a
// byte it gives no character, a stray, is an oddity only in a word. Letters
// of no one alphabet together count once each.
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
        {"Ãëàâà 6. Ñåòåâûå ïðèëîæåíèÿ", 9, false},      {"Розділ ╕ мережа", 1, true},
        {"iPhone, McDonald, Síťové", 0, true},          {"15 ¤ im Monat, ¤ 20", 1, true},
        {"Chương 6. Các ứng dụng mạng", 0, true},       {"Łódź, Żółć", 0, true},
        {"Řečiště", 0, true},                           {"Çağrı", 0, true},
        // Signs glued to a word's edge, but for quotation marks and what follows names and units.
        {"Sí»ové, ¦okolaadi, ¸ürii, c½ur", 4, false},   {"Rozdzia³ co¶", 2, false},
        {"»zitat« ¿qué? 20 m², 5 km³, NESTLÉ®, Café™", 0, true},
        // Signs in a row between letters (Chinese read as Mac OS Roman), not after a word.
        {"Õ¯¬Á”¶”√≥Ã", 2, false},                       {"NESTLÉ®™ coffee, Müller©® 2004", 0, true},
        // Letters of no one alphabet: Hungarian and Turkish read in Latin-1.
        {"működése első", 0, true},                     {"mûködése elsõ", 1, true},
        {"Bölüm 6. Ağ uygulamaları", 0, true},          {"Bölüm 6. Að uygulamalarý", 1, true},
        {"caf\u0081e", 1, true},                        {"Ref. R-\u0081\u008D-12", 0, true},
        {"caf\uFFFDe", 0, false},                        {"caf\x01e", 0, true},
        // Each byte a rival reads otherwise is judged in its context by the same rules in both
        // readings: an acute accent for an apostrophe against a quotation mark inside a word, a
        // fraction beside a unit against a letter alone, a sign glued to a word against the
        // letter of another alphabet, a copyright sign against a lone capital.
        {"Don´t, it´s, L´école", 0, true},              {"Don“t, it“s, L“école", 3, false},
        {"½kg Mehl, ¼ l Milch, ¾ Tasse, 1½ Löffel Öl für Äpfel", 1, true},
        {"œkg Mehl, Œ l Milch, Ÿ Tasse, 1œ Löffel Öl für Äpfel", 5, true},
        {"Exposición¢, año", 1, true},                  {"© 2004 Müller", 0, true},
        {"Š 2004 Müller", 1, true},                     {"Ő itt van, ők ott, ő és én", 0, true},
        {"à la gare, 5ª, 2º", 0, true},                 {"į namus, į darbą", 0, true},
        // Marks and controls inside words: Italian read with Vietnamese tones, Turkish with
        // Arabic vowel marks and direction marks, Portuguese Mac OS Roman read in Latin-1, Latin
        // text read in a CJK charset.
        {"cos\u0301 pu\u0323 aprire", 1, false},        {"A\u064Ba\u00E7 \u200Fehir", 2, false},
        {"Gest‹o da p‡gina", 2, false},                 {"Gr鲞e, Linuxの設定", 1, true},
        {"così può aprire", 0, true},                   {"Ağaç şehir", 0, true},
        {"Gestão da página", 0, true},                  {"Größe, Linuxの設定", 0, true},
    };
    for (const auto& row : rows) {
        bool bText = false;
        EXPECT_EQ(CTextReading::CountOddities(row.pszText, bText), row.nOdd) << row.pszText;
        EXPECT_EQ(bText, row.bText) << row.pszText;
    }
}

// A reading takes the text in pieces of any size, characters cut between them, and keeps no
// copy of it: read in pieces, it is the reading of the whole, and a Mixed reading forked from a
// one-byte one is the Mixed reading of the whole text.
TEST(CTextReadingTest, AReadingInPiecesIsTheReadingOfTheWhole)
{
    const struct {
        const char* pszCharset;
        std::string text;
    } rows[] = {
        {"windows-1251", "\xC3\xEB\xE0\xE2\xE0 6. \xD1\xE5\xF2\xE5\xE2\xFB\xE5 \xEF\xF0\xE8\xEB\xEE\xE6\xE5\xED\xE8\xFF"},
        {"KOI8-R", "\xC3\xEB\xE0\xE2\xE0 6. \xD1\xE5\xF2\xE5\xE2\xFB\xE5 \xEF\xF0\xE8\xEB\xEE\xE6\xE5\xED\xE8\xFF"},
        {"Shift_JIS", "\x82\xA0\x82\xA2 \x93\xFA\x96\x7B\x8C\xEA, Linux\x82\xCC \x90\xDD\x92\xE8"},
        {"ISO-2022-JP", "\x1B$B$\"$$\x1B(B Linux \x1B$BF|K\\\x1B(B"},
        {"EUC-JP", "\xA4\xA2\xA4\xA4 \xC6\xFC\xCB\xDC \xA4\xA2\xFF"},
        {"utf-8", "Gr\xC3\xB6\xC3\x9F" "e caf\xE9 \xE2\x82\xAC 15"},
    };
    for (const auto& row : rows) {
        const CPageCharset charset = CPageCharset::FromName(row.pszCharset);
        const CTextReading whole(charset, row.text);
        for (const size_t nPiece : {size_t(1), size_t(2), size_t(5)}) {
            CTextReading pieces(charset);
            for (size_t at = 0; at < row.text.size(); at += nPiece)
                pieces.Add(std::string_view(row.text).substr(at, nPiece));
            pieces.Finish();
            EXPECT_EQ(pieces.IsText(), whole.IsText()) << row.pszCharset << " " << nPiece;
            EXPECT_EQ(pieces.GetOddities(), whole.GetOddities()) << row.pszCharset << " " << nPiece;
            EXPECT_TRUE(pieces.ReadsAs(whole) || !whole.IsText()) << row.pszCharset << " " << nPiece;
        }
    }
    // A page of Latin-1 text under a UTF-8 title: read as Mixed from where the title starts.
    const CPageCharset latin1 = CPageCharset::FromName("ISO-8859-1");
    const std::string text = "Caf\xE9 cr\xE8me, ";
    const std::string title = "Gr\xC3\xB6\xC3\x9F" "e: ";
    CTextReading forked(latin1);
    forked.Add(text);
    CTextReading mixed = forked.MixedFromHere();
    for (const char ch : title + text)
        mixed.Add(std::string_view(&ch, 1));
    mixed.Finish();
    const CTextReading whole = CTextReading::Mixed(latin1, text + title + text);
    EXPECT_EQ(mixed.GetOddities(), whole.GetOddities());
    EXPECT_TRUE(mixed.IsText());
    EXPECT_LT(mixed.GetOddities(), CTextReading(latin1, text + title + text).GetOddities());
}

// Each measure a reading is weighed by tells one way bytes read in the wrong charset show, and
// each is counted alone: signs read between letters, alone or in a row, or glued to a word
// ("Sí»ové", "c½ur", the "‚l‚r ‚oƒSƒVƒbƒN" of Japanese font names read as Latin, Chinese read as
// Mac OS Roman), a combining mark after no letter
// (Chinese read as Thai), UTF-8 letters read as a Latin letter and a sign ("cafÃ©"), bytes the
// charset gives no character in a word, letters of no one alphabet in a word ("Chýõng") or in the
// text, a sign ¤ after a number, letters of the rarer part of a CJK charset's table (Chinese read
// as Japanese or as Big5, Korean hanja, Latin letters read as half-width katakana), and the letters
// of the words. A character reference is read as the character it stands for.
TEST(CTextReadingTest, EachMeasureCountsOneWayBytesReadWrong)
{
    // A chapter's title in Chinese, in GBK.
    const std::string chinese = "\xB5\xDA\xC1\xF9\xD5\xC2 \xCD\xF8\xC2\xE7\xD3\xA6\xD3\xC3\xB3\xCC\xD0\xF2";
    const struct {
        const char* pszCharset;
        std::string bytes;
        size_t nMisreadings, nPairs, nStrays, nForeign, nCurrency, nLetters, nRare;
    } rows[] = {
        {"utf-8", "Síťové aplikace, srdce", 0, 0, 0, 0, 0, 3, 0},
        {"utf-8", "Sí»ové aplikace, c½ur", 2, 0, 0, 0, 0, 2, 0},
        {"utf-8", "Font: ‚l‚r ‚oƒSƒVƒbƒN", 5, 0, 0, 0, 0, 0, 0},
        {"utf-8", "„Fuß“ und ‚so‘", 0, 0, 0, 0, 0, 1, 0},
        {"windows-1252", "caf\xC3\xA9 na\xC3\xAFve", 5, 2, 0, 0, 0, 2, 0},
        {"windows-1252", "NESTL\xC9\xAE, CAF\xC9\x99", 0, 0, 0, 0, 0, 2, 0},
        {"windows-1252", "Ref. R-\x81\x8D-12, caf\x81" "e", 0, 0, 1, 0, 0, 0, 0},
        {"utf-8", "José Muñoz, Jürgen Müller, Björn Ångström", 0, 0, 0, 2, 0, 7, 0},
        {"utf-8", "Chýõng 6. Các ýìng", 2, 0, 0, 2, 0, 5, 0},
        {"utf-8", "Prix : 5 ¤, 15¤, ¤ 20", 0, 0, 0, 0, 2, 0, 0},
        {"windows-1251", "&#1084;\xE8\xF0, &#x41C;\xE8\xF0", 0, 0, 0, 0, 0, 6, 0},
        {"KOI8-R", "&#1084;\xE8\xF0, &#x41C;\xE8\xF0", 1, 0, 0, 0, 0, 6, 0},
        {"KOI8-R", "&#1084\xE8\xF0, &#;\xE8\xF0 &", 0, 0, 0, 0, 0, 4, 0},
        {"gb18030", chinese, 0, 0, 0, 0, 0, 9, 0},
        {"EUC-JP", chinese, 0, 0, 0, 0, 0, 9, 4},
        {"Big5", chinese, 0, 0, 0, 0, 0, 9, 5},
        {"EUC-JP", "\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\xC0\xE2\xCC\xC0", 0, 0, 0, 0, 0, 6, 0},
        {"EUC-KR", "\xC7\xD1\xB1\xB9\xBE\xEE \xBC\xB3\xB8\xED\xBC\xAD", 0, 0, 0, 0, 0, 6, 0},
        {"EUC-KR", "\xF9\xDB\xCF\xD0\xE5\xDE \xE0\xE3\xD9\xA5", 0, 0, 0, 0, 0, 5, 5},
        {"Shift_JIS", "Rozdzia\xB3 6", 0, 0, 0, 0, 0, 1, 1},
        {"windows-874", "\xCA\xC7\xD1\xCA\xB4\xD5", 0, 0, 0, 0, 0, 4, 0},
        {"windows-874", chinese, 1, 0, 0, 0, 0, 12, 0},
        {"macintosh", chinese, 2, 0, 0, 0, 0, 5, 0},
        {"macintosh", "Gest\x8Bo da p\x87gina", 0, 0, 0, 0, 0, 2, 0},
        {"ISO-8859-2", "V\x92tejte, S\x92\xE9ov\x8E", 0, 0, 3, 0, 0, 1, 0},
        {"macintosh", "V\x92tejte, na\x9A" "e", 0, 0, 0, 0, 0, 2, 0},
    };
    for (const auto& row : rows) {
        const CTextReading reading(CPageCharset::FromName(row.pszCharset), row.bytes);
        const std::string what = std::string(row.pszCharset) + ": " + row.bytes;
        EXPECT_EQ(reading.GetMisreadings(), row.nMisreadings) << what;
        EXPECT_EQ(reading.GetUtf8Pairs(), row.nPairs) << what;
        EXPECT_EQ(reading.GetStrays(), row.nStrays) << what;
        EXPECT_EQ(reading.GetForeignLetters(), row.nForeign) << what;
        EXPECT_EQ(reading.GetSignsForCurrency(), row.nCurrency) << what;
        EXPECT_EQ(reading.GetLettersInWords(), row.nLetters) << what;
        EXPECT_EQ(reading.GetRareLetters(), row.nRare) << what;
        EXPECT_EQ(reading.GetOddities(), row.nMisreadings + row.nStrays + row.nForeign + row.nCurrency + row.nRare) << what;
    }
}

// A sign ¤ after a number stands for a currency, and the words a reading is given keep the number
// before it; the sign tells against a reading only beside a rival that reads its byte as a
// currency: against one that reads a sign ¤ there too, or another character, it tells nothing.
TEST(CTextReadingTest, ASignAfterANumberTellsOnlyAgainstACurrency)
{
    CWordsBeyondAscii words;
    std::string text;
    words.Add("Prix : 5 \xA4. Total: 12 items, 3 \xE9t\xE9s, 2004 ", text);
    words.Finish(text);
    EXPECT_EQ(text, "5 \xA4. 3 \xE9t\xE9s, ");
    const auto reading = [&text](const char* pszCharset) { return CTextReading(CPageCharset::FromName(pszCharset), text); };
    const CTextReading latin1 = reading("ISO-8859-1");
    EXPECT_EQ(latin1.GetSignsForCurrency(), 1u);
    EXPECT_EQ(latin1.GetScoreAgainst(reading("ISO-8859-15")), latin1.GetScore());
    EXPECT_EQ(latin1.GetScoreAgainst(reading("windows-1255")), latin1.GetScore());
    EXPECT_EQ(latin1.GetScoreAgainst(reading("ISO-8859-9")), latin1.GetScore() - 1);
    EXPECT_EQ(latin1.GetLetterOdditiesAgainst(reading("KOI8-R")), 0u);
    EXPECT_EQ(latin1.GetScoreAgainst(reading("utf-8")), latin1.GetScore() - 1);
    EXPECT_EQ(reading("ISO-8859-15").GetScoreAgainst(latin1), 0u);
    EXPECT_EQ(reading("ISO-8859-15").Compare(latin1), 1);
    EXPECT_EQ(reading("ISO-8859-9").Compare(latin1), 0);
}

// The first word a charset reads odder than a rival does, by the same rules in both readings and
// with the word before it, as each reads it, and the byte it turns on: a tone mark after a
// consonant, a letter of another script opening a Latin word, a sign ¤ after a number where the
// rival reads a currency, a CJK letter inside a Latin word, a control character inside a word
// where the rival reads a letter; none where the rival reads the words odder (an acute accent for
// an apostrophe against a quotation mark inside a word, a letter against a control) or alike. The
// word a given byte stands in is held besides.
TEST(CTextReadingTest, TheFirstWordOneReadingHoldsOdderThanAnotherIsFound)
{
    const struct {
        std::string bytes;
        const char* pszOwn;
        const char* pszRival;
        long long nAt;
        const char* pszOwnWord;
        const char* pszRivalWord;
    } rows[] = {
        {"<p>Il manuale \xE8 pronto: cos\xEC pu\xF2 aprire</p>", "windows-1258", "windows-1252", 27, "cos\u0301", "cos\u00EC"},
        {"<title>\xDE" "ehir</title>", "windows-1256", "windows-1254", 7, "\u0642ehir", "\u015Eehir"},
        {"<p>Prix : 5 \xA4.</p>", "ISO-8859-1", "ISO-8859-15", 12, "\u00A4", "\u20AC"},
        {"<td>Gr\xF6\xDF" "e</td>", "GBK", "windows-1252", 6, "Gr\u9C9Ee", "Gr\u00F6\u00DF" "e"},
        {"<p>Don\xB4t close it: it\xB4s saving.</p>", "windows-1257", "ISO-8859-13", -1, "", ""},
        {"<p>Caf\xE9 cr\xE8me</p>", "ISO-8859-1", "ISO-8859-15", -1, "", ""},
        {"<p>Kapitola: V\x92tejte</p>", "ISO-8859-2", "macintosh", 14, "V<U+0092>tejte", "V\u00EDtejte"},
        {"<p>Kapitola: V\x92tejte</p>", "macintosh", "ISO-8859-2", -1, "", ""},
    };
    for (const auto& row : rows) {
        for (const size_t nPiece : {size_t(1), row.bytes.size()}) {
            COddWordFinder finder(CPageCharset::FromName(row.pszOwn), CPageCharset::FromName(row.pszRival));
            for (size_t at = 0; at < row.bytes.size(); at += nPiece)
                finder.Add(std::string_view(row.bytes).substr(at, nPiece));
            finder.Finish();
            const COddWordFinder::OddWord& odd = finder.GetOddWord();
            EXPECT_EQ(odd.nAt, row.nAt) << row.pszOwn << ": " << row.bytes;
            EXPECT_EQ(odd.own, row.pszOwnWord) << row.pszOwn << ": " << row.bytes;
            EXPECT_EQ(odd.rival, row.pszRivalWord) << row.pszOwn << ": " << row.bytes;
        }
    }
    // The word a byte named stands in, as the reading looked at reads it, without the punctuation
    // at its edges: also past the odd word, and where the rival is the reading itself; none for a
    // byte past the text.
    const std::string czech = "<p>Kapitola: V\x92tejte, S\x92\xE9ov\x8E.</p>";
    const struct {
        const char* pszRival;
        long long nWordAt;
        const char* pszWordAt;
        long long nOddAt;
    } held[] = {
        {"ISO-8859-2", 23, "S<U+0092>\u00E9ov<U+008E>", -1},
        {"macintosh", 23, "S<U+0092>\u00E9ov<U+008E>", 14},
        {"macintosh", 14, "V<U+0092>tejte", 14},
        {"ISO-8859-2", 200, "", -1},
    };
    for (const auto& row : held) {
        for (const size_t nPiece : {size_t(1), czech.size()}) {
            COddWordFinder finder(CPageCharset::FromName("ISO-8859-2"), CPageCharset::FromName(row.pszRival), row.nWordAt);
            for (size_t at = 0; at < czech.size(); at += nPiece)
                finder.Add(std::string_view(czech).substr(at, nPiece));
            finder.Finish();
            EXPECT_EQ(finder.GetWordAt(), row.pszWordAt) << row.pszRival << " " << row.nWordAt;
            EXPECT_EQ(finder.GetOddWord().nAt, row.nOddAt) << row.pszRival << " " << row.nWordAt;
        }
    }
}
