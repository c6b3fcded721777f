#include "keywords/KxWordFilter.h"

#include "KxTestSupport.h"

#include <set>

using namespace kx;

TEST(KxWordTables, TablesHoldTheirKnownEntries)
{
    const KxEngine& e = TestEngine();
    for (const char* w : {"a", "about", "above", "zip", "zip/postal", "the"})
        EXPECT_EQ(e.englishStop.Contains(w), kHashOk) << w;
    for (const char* w : {"abstract", "workshop", "yellow", "young"})
        EXPECT_EQ(e.englishGeneral.Contains(w), kHashOk) << w;
    for (const char* w : {"accept", "accepts", "achieve", "write", "writes", "wrote"})
        EXPECT_EQ(e.englishVerbs.Contains(w), kHashOk) << w;
    for (const char* w : {"abord", "accueil", "acord", "with", "workshop", "y"})
        EXPECT_EQ(e.frenchStop.Contains(w), kHashOk) << w;
    for (std::string w : {L1("absolu"), L1("absolue"), L1("vue"), L1("web")})
        EXPECT_EQ(e.frenchGeneral.Contains(w.c_str()), kHashOk) << w;
    for (std::string w : {L1("a"), L1("abaisse"), L1("abaissé"), L1("voyons"), L1("vu"),
                          L1("vus"), L1("finissent"), L1("mangeons"), L1("commençons")})
        EXPECT_EQ(e.frenchVerbs.Contains(w.c_str()), kHashOk) << w;
    EXPECT_EQ(e.frenchParticles.EntryCount(), 10);
    EXPECT_EQ(e.frenchPronouns.EntryCount(), 31);
    EXPECT_EQ(e.mailHeaders.EntryCount(), 34);
    EXPECT_EQ(e.charRefs.EntryCount(), 391);
}

TEST(KxWordTables, EveryTableEntryIsLowerCaseLatin1)
{
    // A capital or a UTF-8 lead byte left in a table would never match a normalised word.
    for (const auto& table : {EnglishStopWords(), EnglishGeneralWords(), EnglishVerbs(),
                              FrenchStopWords(), FrenchGeneralWords(), FrenchVerbForms(),
                              FrenchParticles(), FrenchPronouns()}) {
        for (const std::string& w : table) {
            for (char c : w) {
                auto u = static_cast<unsigned char>(c);
                EXPECT_FALSE(u >= 'A' && u <= 'Z') << w;
                EXPECT_FALSE(u == 0xC2 || u == 0xC3) << w;
            }
        }
    }
}

TEST(KxWordTables, CharacterReferences)
{
    const KxEngine& e = TestEngine();
    EXPECT_EQ(*e.charRefs.Lookup("#169"), "\xA9");
    EXPECT_EQ(*e.charRefs.Lookup("#65"), "A");
    EXPECT_EQ(*e.charRefs.Lookup("#065"), "A");
    EXPECT_EQ(e.charRefs.Lookup("#31"), nullptr);
    EXPECT_EQ(*e.charRefs.Lookup("AElig"), "\xC6");
    EXPECT_EQ(*e.charRefs.Lookup("Aacute"), "\xC1");
    EXPECT_EQ(*e.charRefs.Lookup("eacute"), "\xE9");
    EXPECT_EQ(*e.charRefs.Lookup("yuml"), "\xFF");
    EXPECT_EQ(*e.charRefs.Lookup("amp"), "&");
    EXPECT_EQ(*e.charRefs.Lookup("nbsp"), " ");
    for (const char* n : {"copy", "gt", "lt", "quot"})
        EXPECT_EQ(*e.charRefs.Lookup(n), ". ") << n;
}

TEST(KxWordFilter, English)
{
    const KxEngine& e = TestEngine();
    EXPECT_EQ(EnglishWordFilter(e, "(Keyword)"), "keyword");
    EXPECT_EQ(EnglishWordFilter(e, "(Keyword),"), "");
    EXPECT_EQ(EnglishWordFilter(e, "12345"), "");
    EXPECT_EQ(EnglishWordFilter(e, "a1b"), "");
    EXPECT_EQ(EnglishWordFilter(e, "zzz"), "");
    EXPECT_EQ(EnglishWordFilter(e, "the"), "");
    EXPECT_EQ(EnglishWordFilter(e, "co--op"), "");
    EXPECT_EQ(EnglishWordFilter(e, "e.g.x"), "");
    EXPECT_EQ(EnglishWordFilter(e, "abc-"), "");
    EXPECT_EQ(EnglishWordFilter(e, "ab"), "");
    EXPECT_EQ(EnglishWordFilter(e, "1abc"), "");
    EXPECT_EQ(EnglishWordFilter(e, "mp3s"), "mp3s");
    EXPECT_EQ(EnglishWordFilter(e, "\xC9t\xE9"), "\xE9t\xE9");
    EXPECT_EQ(EnglishWordFilter(e, "caf\xA9"), "");
}

TEST(KxWordFilter, French)
{
    const KxEngine& e = TestEngine();
    EXPECT_EQ(FrenchWordFilter(e, "de"), "de");
    EXPECT_EQ(FrenchWordFilter(e, "d"), "d");
    EXPECT_EQ(FrenchWordFilter(e, L1("À")), L1("à"));
    EXPECT_EQ(FrenchWordFilter(e, "dit-il"), "");
    EXPECT_EQ(FrenchWordFilter(e, "dans"), "");
    EXPECT_EQ(FrenchWordFilter(e, "(Jardin)"), "jardin");
}

TEST(KxWordFilter, FrenchVerbEndings)
{
    EXPECT_TRUE(MatchesFrenchVerbEnding("parlez"));
    EXPECT_TRUE(MatchesFrenchVerbEnding("finissent"));
    EXPECT_FALSE(MatchesFrenchVerbEnding("Parlez"));
    EXPECT_FALSE(MatchesFrenchVerbEnding("ment"));
    // The letter before the ending can exclude it: "serment" has m before "ent".
    EXPECT_FALSE(MatchesFrenchVerbEnding("serment"));
    EXPECT_TRUE(MatchesFrenchVerbEnding(L1("mangera")));
    EXPECT_FALSE(MatchesFrenchVerbEnding(L1("arrivéra")));
}

TEST(KxWordFilter, EndingTestsAndElision)
{
    EXPECT_TRUE(FailsEndingTest(kLangEnglish, "very quickly"));
    EXPECT_TRUE(FailsEndingTest(kLangEnglish, "electronic"));
    EXPECT_FALSE(FailsEndingTest(kLangEnglish, "electronic mail"));
    // French looks at the first word.
    EXPECT_TRUE(FailsEndingTest(kLangFrench, "national jardin"));
    EXPECT_FALSE(FailsEndingTest(kLangFrench, "jardin national"));
    EXPECT_EQ(FrenchElision("pomme d api"), "pomme d'api");
    EXPECT_EQ(FrenchElision("pomme de terre"), "pomme de terre");
    EXPECT_EQ(FrenchElision("jardin d"), "jardin d");
}
