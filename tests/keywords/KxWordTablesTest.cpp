#include "KxTestSupport.h"

#include "keywords/KxCharUtil.h"

#include <set>
#include <tuple>

using namespace kx;

namespace {

struct TableCase {
    const char* name;
    std::vector<std::string> (*table)();
    size_t distinct;
    std::vector<const char*> first;
    std::vector<const char*> last;
};

} // namespace

TEST(KxWordTables, EachTableHasItsSizeAndItsEnds)
{
    const TableCase cases[] = {
        {"English stop words", EnglishStopWords, 876, {"a", "about", "above"}, {"zip", "zip/postal"}},
        {"English general words", EnglishGeneralWords, 646, {"abstract", "abstracts", "access"},
         {"workshop", "yellow", "young"}},
        {"English verbs", EnglishVerbs, 620, {"accept", "accepts", "achieve"}, {"write", "writes", "wrote"}},
        {"French stop words", FrenchStopWords, 674, {"abord", "accueil", "acord"}, {"with", "workshop", "y"}},
        {"French general words", FrenchGeneralWords, 812, {"absolu", "absolue", "absolues"},
         {"volumes", "vue", "web"}},
        {"French verb forms", FrenchVerbForms, 8245, {"a", "abaisse", "abaissé"}, {"voyons", "vu", "vus"}},
    };
    for (const TableCase& c : cases) {
        const std::vector<std::string> words = c.table();
        EXPECT_EQ(std::set<std::string>(words.begin(), words.end()).size(), c.distinct) << c.name;
        ASSERT_GE(words.size(), c.first.size() + c.last.size()) << c.name;
        for (size_t i = 0; i < c.first.size(); ++i)
            EXPECT_EQ(words[i], L1(c.first[i])) << c.name;
        for (size_t i = 0; i < c.last.size(); ++i)
            EXPECT_EQ(words[words.size() - c.last.size() + i], L1(c.last[i])) << c.name;
        // Every entry is a lower-case word the filters can meet: no capital, blank or byte the
        // engine cannot read.
        for (const std::string& w : words) {
            EXPECT_FALSE(w.empty()) << c.name;
            for (char ch : w) {
                const auto u = static_cast<unsigned char>(ch);
                EXPECT_TRUE(IsWordChar(u) && !IsCapital(u)) << c.name << ": " << w;
            }
        }
    }
    // The engine holds each table once per distinct word.
    EXPECT_EQ(TestEngine().englishStop.EntryCount(), 876);
    EXPECT_EQ(TestEngine().frenchGeneral.EntryCount(), 812);
    EXPECT_EQ(TestEngine().frenchVerbs.EntryCount(), 8245);
}

TEST(KxWordTables, LargerTablesStillTellTheLanguages)
{
    // Common words of either language, not in the old short tables, now weigh as evidence.
    auto evidence = [](const char* text) {
        DocumentPtr d = NewDocument();
        EXPECT_EQ(Feed(d.get(), L1(text)), KX_OK);
        return std::make_pair(d->englishEvidence, d->frenchEvidence);
    };
    auto [en, fr] = evidence("actually certainly usually obviously ");
    EXPECT_EQ(en, 4);
    EXPECT_EQ(fr, 0);
    std::tie(en, fr) = evidence("auparavant désormais notamment davantage ");
    EXPECT_EQ(en, 0);
    EXPECT_EQ(fr, 4);
}
