// Counting, language decision and scoring, on small composed texts.
#include "KxTestSupport.h"

#include <algorithm>

using namespace kx;

namespace {

DocumentPtr EnglishDocument()
{
    DocumentPtr d = NewDocument();
    d->languageSetting = kLangEnglish;
    return d;
}

std::string Repeat(std::string_view text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

bool Holds(const std::vector<std::string>& phrases, std::string_view phrase)
{
    return std::find(phrases.begin(), phrases.end(), phrase) != phrases.end();
}

} // namespace

TEST(KxCounting, StopWordsAndPunctuationBlockPhrases)
{
    DocumentPtr d = EnglishDocument();
    ASSERT_EQ(Feed(d.get(), "Cats and dogs. Cats, dogs.\n"), KX_OK);
    EXPECT_EQ(CountOf(d.get(), "cats"), 2);
    EXPECT_EQ(CountOf(d.get(), "dogs"), 2);
    EXPECT_EQ(CountOf(d.get(), "cats dogs"), 0);
    EXPECT_EQ(CountOf(d.get(), "dogs cats"), 0);
    EXPECT_EQ(d->distinctCount, 2);
}

TEST(KxCounting, TwoAndThreeWordPhrases)
{
    DocumentPtr d = EnglishDocument();
    ASSERT_EQ(Feed(d.get(), "red garden hose (green garden hose)\n"), KX_OK);
    EXPECT_EQ(CountOf(d.get(), "garden hose"), 2);
    EXPECT_EQ(CountOf(d.get(), "red garden hose"), 1);
    // An opening bracket at the start of the earlier word and a closing one at the end of the
    // later word keep a phrase whole; an opening bracket on the later word starts a new one.
    EXPECT_EQ(CountOf(d.get(), "green garden hose"), 1);
    EXPECT_EQ(CountOf(d.get(), "hose green"), 0);
}

TEST(KxCounting, WordSplitAcrossPiecesIsCountedOnce)
{
    DocumentPtr d = EnglishDocument();
    ASSERT_EQ(Feed(d.get(), "some text key"), KX_OK);
    ASSERT_EQ(Feed(d.get(), "word more\n"), KX_OK);
    EXPECT_EQ(CountOf(d.get(), "keyword"), 1);
    EXPECT_EQ(CountOf(d.get(), "key"), 0);
    EXPECT_EQ(CountOf(d.get(), "word"), 0);
}

TEST(KxCounting, PieceStartingWithASeparatorEndsThePendingWord)
{
    DocumentPtr d = EnglishDocument();
    ASSERT_EQ(Feed(d.get(), "garden"), KX_OK);
    ASSERT_EQ(Feed(d.get(), " hose\n"), KX_OK);
    EXPECT_EQ(CountOf(d.get(), "garden"), 1);
    EXPECT_EQ(CountOf(d.get(), "garden hose"), 1);
}

TEST(KxCounting, PhraseBreakEmptiesTheHistory)
{
    DocumentPtr d = EnglishDocument();
    ASSERT_EQ(Feed(d.get(), "garden\n\nhose\n"), KX_OK);
    EXPECT_EQ(CountOf(d.get(), "garden hose"), 0);
}

TEST(KxCounting, FrenchParticlesJoinButNeverStandAlone)
{
    DocumentPtr d = NewDocument();
    d->languageSetting = kLangFrench;
    ASSERT_EQ(Feed(d.get(), L1("une pomme d'api et des pommes de terre\n")), KX_OK);
    EXPECT_EQ(CountOf(d.get(), "d"), 0);
    EXPECT_EQ(CountOf(d.get(), "de"), 0);
    EXPECT_EQ(CountOf(d.get(), "pomme d api"), 1);
    EXPECT_EQ(CountOf(d.get(), "pomme d"), 0);
    EXPECT_EQ(CountOf(d.get(), "pommes de terre"), 1);
}

TEST(KxCounting, KeptWordsStopAtTheLimit)
{
    DocumentPtr d = EnglishDocument();
    std::string text = Repeat("alpha bravo charlie delta echo ", 7000);
    ASSERT_EQ(Feed(d.get(), text), KX_OK);
    EXPECT_EQ(d->keptWords, kMaxKeptWords);
}

TEST(KxLanguage, MarkerWordsDecideDuringFeeding)
{
    DocumentPtr d = NewDocument();
    ASSERT_EQ(Feed(d.get(), Repeat("the zebra ", 11)), KX_OK);
    EXPECT_EQ(d->detectedLanguage, kLangEnglish);
    // The pieces held back while undecided are counted once the language is known.
    ASSERT_EQ(kxExtract(d.get(), &TestEngine()), KX_OK);
    EXPECT_EQ(CountOf(d.get(), "zebra"), 11);

    DocumentPtr f = NewDocument();
    ASSERT_EQ(Feed(f.get(), Repeat(L1("les zèbres "), 11)), KX_OK);
    EXPECT_EQ(f->detectedLanguage, kLangFrench);
}

TEST(KxLanguage, TenIsNotEnoughWhileFeedingButFiveIsAtTheEnd)
{
    DocumentPtr d = NewDocument();
    ASSERT_EQ(Feed(d.get(), Repeat("the zebra ", 10)), KX_OK);
    EXPECT_EQ(d->detectedLanguage, kLangUndecided);
    ASSERT_EQ(kxExtract(d.get(), &TestEngine()), KX_OK);
    EXPECT_EQ(d->detectedLanguage, kLangEnglish);
    EXPECT_EQ(CountOf(d.get(), "zebra"), 10);
    EXPECT_FALSE(Phrases(d.get()).empty());
}

TEST(KxLanguage, UndecidedTextGivesNoPhrases)
{
    DocumentPtr four = NewDocument();
    ASSERT_EQ(Feed(four.get(), "the zebra the zebra the zebra the zebra crossing"), KX_OK);
    ASSERT_EQ(kxExtract(four.get(), &TestEngine()), KX_OK);
    EXPECT_TRUE(Phrases(four.get()).empty());
    EXPECT_EQ(four->detectedLanguage, kLangUndecided);

    DocumentPtr five = NewDocument();
    ASSERT_EQ(Feed(five.get(), "the zebra the zebra the zebra the zebra the zebra crossing"), KX_OK);
    ASSERT_EQ(kxExtract(five.get(), &TestEngine()), KX_OK);
    EXPECT_TRUE(Holds(Phrases(five.get()), "zebra"));

    // English and French marker words that balance each other decide nothing.
    DocumentPtr mixed = NewDocument();
    ASSERT_EQ(Feed(mixed.get(), Repeat("the les zebra ", 20)), KX_OK);
    ASSERT_EQ(kxExtract(mixed.get(), &TestEngine()), KX_OK);
    EXPECT_TRUE(Phrases(mixed.get()).empty());
}

TEST(KxScoring, FrequentPhraseComesFirst)
{
    DocumentPtr d = EnglishDocument();
    std::string text = Repeat("The zebra crossing.\n", 6) + Repeat("A lantern by the river.\n", 2)
                       + "One harbour.\n";
    ASSERT_EQ(Feed(d.get(), text), KX_OK);
    ASSERT_EQ(kxExtract(d.get(), &TestEngine()), KX_OK);
    std::vector<std::string> phrases = Phrases(d.get());
    ASSERT_FALSE(phrases.empty());
    EXPECT_EQ(phrases.front(), "zebra crossing");
    auto at = [&](std::string_view p) { return std::find(phrases.begin(), phrases.end(), p) - phrases.begin(); };
    EXPECT_LT(at("zebra crossing"), at("lantern"));
}

TEST(KxScoring, SmallLettersWinTheDisplay)
{
    DocumentPtr d = EnglishDocument();
    std::string text = "Garden Hose reels are here.\nthe garden hose is long.\nA garden hose.\n";
    ASSERT_EQ(Feed(d.get(), text), KX_OK);
    ASSERT_EQ(kxExtract(d.get(), &TestEngine()), KX_OK);
    std::vector<std::string> phrases = Phrases(d.get());
    EXPECT_TRUE(Holds(phrases, "garden hose"));
    EXPECT_FALSE(Holds(phrases, "Garden Hose"));
}

TEST(KxScoring, NamesKeepTheirCapitals)
{
    DocumentPtr d = EnglishDocument();
    ASSERT_EQ(Feed(d.get(), Repeat("We went to Paris by train.\n", 4)), KX_OK);
    ASSERT_EQ(kxExtract(d.get(), &TestEngine()), KX_OK);
    EXPECT_TRUE(Holds(Phrases(d.get()), "Paris"));
}

TEST(KxScoring, PluralSharesTheStemAndTheMoreFrequentFormRepresentsIt)
{
    DocumentPtr d = EnglishDocument();
    ASSERT_EQ(Feed(d.get(), "flowers.\nflower.\nflowers.\nlantern.\n"), KX_OK);
    ASSERT_EQ(kxExtract(d.get(), &TestEngine()), KX_OK);
    std::vector<std::string> phrases = Phrases(d.get());
    ASSERT_FALSE(phrases.empty());
    EXPECT_EQ(phrases.front(), "flowers");
    EXPECT_FALSE(Holds(phrases, "flower"));
}

TEST(KxScoring, VerbsAdverbsAndGeneralWordsAreNotKeyPhrases)
{
    DocumentPtr d = EnglishDocument();
    ASSERT_EQ(Feed(d.get(), Repeat("quickly.\nwrites.\ninformation.\nlantern.\n", 3)), KX_OK);
    ASSERT_EQ(kxExtract(d.get(), &TestEngine()), KX_OK);
    std::vector<std::string> phrases = Phrases(d.get());
    EXPECT_TRUE(Holds(phrases, "lantern"));
    EXPECT_FALSE(Holds(phrases, "quickly"));
    EXPECT_FALSE(Holds(phrases, "writes"));
    EXPECT_FALSE(Holds(phrases, "information"));
}

TEST(KxScoring, AtMostIndexPhrasesAndFewerForShortTexts)
{
    // Fifteen two-word phrases of equal weight, more than either limit lets through.
    static const char* const pairs[] = {
        "lantern festival", "harbour master", "zebra crossing", "violin bow", "meadow grass",
        "falcon nest", "pebble beach", "tunnel entrance", "orchard tree", "canyon wall",
        "pillow case", "rocket engine", "walnut shell", "ferry port", "tiger stripe"};
    std::string text;
    for (int round = 0; round < 3; ++round) {
        for (const char* p : pairs)
            text += std::string(p) + ".\n";
    }
    DocumentPtr d = EnglishDocument();
    ASSERT_EQ(kxSetBeta(d.get(), 7.5), KX_OK);
    ASSERT_EQ(Feed(d.get(), text), KX_OK);
    ASSERT_EQ(kxExtract(d.get(), &TestEngine()), KX_OK);
    EXPECT_EQ(Phrases(d.get()).size(), 8u);

    DocumentPtr seven = EnglishDocument();
    ASSERT_EQ(Feed(seven.get(), text), KX_OK);
    ASSERT_EQ(kxExtract(seven.get(), &TestEngine()), KX_OK);
    EXPECT_EQ(Phrases(seven.get()).size(), 7u);

    DocumentPtr few = EnglishDocument();
    ASSERT_EQ(Feed(few.get(), "lantern and harbour"), KX_OK);
    ASSERT_EQ(kxExtract(few.get(), &TestEngine()), KX_OK);
    EXPECT_EQ(Phrases(few.get()).size(), 2u);
}

TEST(KxScoring, LongDocumentsUseTheLongTable)
{
    DocumentPtr shortDoc = EnglishDocument();
    ASSERT_EQ(Feed(shortDoc.get(), Repeat("lantern ", 2999)), KX_OK);
    ASSERT_EQ(kxExtract(shortDoc.get(), &TestEngine()), KX_OK);
    EXPECT_EQ(shortDoc->wordPosition, 2999);
    EXPECT_EQ(shortDoc->params.stemLength, ParameterRow(kLangEnglish, false, 7).stemLength);

    DocumentPtr longDoc = EnglishDocument();
    ASSERT_EQ(Feed(longDoc.get(), Repeat("lantern ", 3000)), KX_OK);
    ASSERT_EQ(kxExtract(longDoc.get(), &TestEngine()), KX_OK);
    EXPECT_EQ(longDoc->params.stemLength, ParameterRow(kLangEnglish, true, 7).stemLength);
    EXPECT_NE(ParameterRow(kLangEnglish, false, 7).stemLength, ParameterRow(kLangEnglish, true, 7).stemLength);
}

TEST(KxScoring, ParameterRowsFollowTheIndex)
{
    for (int language : {kLangEnglish, kLangFrench}) {
        for (bool isLong : {false, true}) {
            for (int index = 3; index <= 30; ++index) {
                KxParameters p = ParameterRow(language, isLong, index);
                EXPECT_EQ(p.maxPhrases, index);
                EXPECT_EQ(p.candidateWords, 5 * index);
                EXPECT_GE(p.twoWordFactor, 1.6);
                EXPECT_LE(p.threeWordFactor, 5.0);
                EXPECT_GE(p.stemLength, 5);
                EXPECT_LE(p.stemLength, 10);
            }
        }
    }
    EXPECT_EQ(ParameterRow(kLangEnglish, false, 1).maxPhrases, 3);
    EXPECT_EQ(ParameterRow(kLangEnglish, false, 99).maxPhrases, 30);
    KxParameters frenchLong = ParameterRow(kLangFrench, true, 8);
    EXPECT_EQ(frenchLong.capitalsFilter, 1);
    EXPECT_EQ(frenchLong.lateLimit, 2190);
}

TEST(KxScoring, FrenchElisionIsShown)
{
    DocumentPtr d = NewDocument();
    d->languageSetting = kLangFrench;
    ASSERT_EQ(Feed(d.get(), Repeat(L1("Une pomme d'api.\n"), 4)), KX_OK);
    ASSERT_EQ(kxExtract(d.get(), &TestEngine()), KX_OK);
    EXPECT_TRUE(Holds(Phrases(d.get()), "pomme d'api"));
}
