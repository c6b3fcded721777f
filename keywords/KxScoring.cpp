// Scoring of the counted phrases and the choice of the key phrases.
#include "keywords/KxCharUtil.h"
#include "keywords/KxDocument.h"
#include "keywords/KxEngine.h"
#include "keywords/KxWordFilter.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

using namespace kx;

namespace kx {

namespace {

struct Row {
    double p[12];
};

// The rows the tables are anchored on; rows between two anchors of the short English table
// are interpolated, and the other tables keep their one anchor row for every index (only the
// phrase limits P0 and P1 follow the index everywhere).
constexpr Row kEnglishShort3 = {{3, 15, 2.058824, 2.913725, 1.485882, 16, 95, 20, 1.768627, 0.646706, 6, 0}};
constexpr Row kEnglishShort8 = {{8, 40, 2.058824, 2.898039, 1.337647, 5, 30, 194, 1.494118, 0.704941, 6, 0}};
constexpr Row kEnglishShort30 = {{30, 150, 1.67451, 1.752941, 0.3, 20, 398, 1937, 1.164706, 0.530235, 6, 0}};
constexpr Row kEnglishLong8 = {{8, 40, 2.788235, 3.494118, 0.607059, 4, 249, 2179, 2.866667, 0.677765, 8, 0}};
constexpr Row kFrenchShort8 = {{8, 40, 2.380392, 2.427451, 2.650588, 11, 57, 866, 3.415686, 0.188588, 8, 0}};
constexpr Row kFrenchLong8 = {{8, 40, 2.396078, 4.811765, 0.585882, 1, 935, 2190, 4.513725, 0.848588, 9, 1}};

Row Interpolate(const Row& a, int ia, const Row& b, int ib, int index)
{
    Row r{};
    double t = static_cast<double>(index - ia) / (ib - ia);
    for (int i = 0; i < 12; ++i)
        r.p[i] = a.p[i] + (b.p[i] - a.p[i]) * t;
    return r;
}

} // namespace

KxParameters ParameterRow(int language, bool longDocument, int index)
{
    index = std::clamp(index, 3, 30);
    Row row{};
    if (language == kLangFrench)
        row = longDocument ? kFrenchLong8 : kFrenchShort8;
    else if (longDocument)
        row = kEnglishLong8;
    else if (index <= 8)
        row = Interpolate(kEnglishShort3, 3, kEnglishShort8, 8, index);
    else
        row = Interpolate(kEnglishShort8, 8, kEnglishShort30, 30, index);
    row.p[0] = index;
    row.p[1] = 5.0 * index;
    KxParameters p;
    p.set = true;
    p.maxPhrases = static_cast<int>(row.p[0]);
    p.candidateWords = static_cast<int>(row.p[1]);
    p.twoWordFactor = row.p[2];
    p.threeWordFactor = row.p[3];
    p.lengthRatio = row.p[4];
    p.rankLimit = static_cast<int>(row.p[5]);
    p.earlyLimit = static_cast<int>(row.p[6]);
    p.lateLimit = static_cast<int>(row.p[7]);
    p.earlyFactor = row.p[8];
    p.lateFactor = row.p[9];
    p.stemLength = static_cast<int>(row.p[10]);
    p.capitalsFilter = static_cast<int>(row.p[11]);
    return p;
}

} // namespace kx

namespace {

std::vector<std::string> SplitWords(std::string_view phrase)
{
    std::vector<std::string> words;
    ForEachWord(phrase, [&](std::string_view w) { words.emplace_back(w); });
    return words;
}

std::string JoinWords(const std::vector<std::string>& words)
{
    std::string out;
    for (const std::string& w : words) {
        if (!out.empty())
            out += ' ';
        out += w;
    }
    return out;
}

// Each word cut to the stem length, or else stripped of one final "s", into key.
void StemKeyInto(std::string_view phrase, int stemLength, std::string& key)
{
    key.clear();
    ForEachWord(phrase, [&](std::string_view w) {
        if (stemLength > 0 && w.size() > static_cast<size_t>(stemLength))
            w = w.substr(0, static_cast<size_t>(stemLength));
        else if (!w.empty() && w.back() == 's')
            w.remove_suffix(1);
        if (!key.empty())
            key += ' ';
        key += w;
    });
}

// A stem key's summed count and earliest position, the chain of its phrases in the order of
// the phrase list, and its place among the ranked words.
struct StemInfo {
    int count = 0;
    int firstPosition = 0;
    uint32_t firstPhrase = KxStringIndex::kNone;
    uint32_t lastPhrase = KxStringIndex::kNone;
    int rank = -1;
    bool taken = false;
};

} // namespace

int KxDocument::Score(const KxEngine& engine)
{
    const int language = Language();
    const bool french = language == kLangFrench;
    results.DeleteAll();
    scores.DeleteAll();
    resultCount = 0;
    if (distinctCount == 0)
        return 0;
    if (!params.set)
        params = ParameterRow(language, wordPosition >= 3000, static_cast<int>(beta + 0.5));
    const KxParameters& p = params;
    const int average = std::max(1, distinctLength / distinctCount);
    const KxHashSet& verbs = french ? engine.frenchVerbs : engine.englishVerbs;
    const KxHashSet& general = french ? engine.frenchGeneral : engine.englishGeneral;

    // Stems: counts summed and the earliest position kept per key, numbered in the order the
    // keys are first met; the keys without a blank are the word keys.
    const uint32_t nPhrases = phrases.Size();
    KxStringIndex stemKeys;
    stemKeys.Reserve(nPhrases, 16 * static_cast<size_t>(nPhrases));
    std::vector<StemInfo> stems;
    stems.reserve(nPhrases);
    std::vector<uint32_t> nextInStem(nPhrases, KxStringIndex::kNone);
    std::vector<uint32_t> wordKeys;
    std::string key;
    for (uint32_t i = 0; i < nPhrases; ++i) {
        StemKeyInto(phrases.Text(i), p.stemLength, key);
        bool bAdded = false;
        const uint32_t s = stemKeys.Intern(key, bAdded);
        if (bAdded) {
            stems.push_back(StemInfo{0, firstPositions[i], i, i});
            if (key.find(' ') == std::string::npos)
                wordKeys.push_back(s);
        } else {
            nextInStem[stems[s].lastPhrase] = i;
            stems[s].lastPhrase = i;
        }
        stems[s].count += phraseCounts[i];
        stems[s].firstPosition = std::min(stems[s].firstPosition, firstPositions[i]);
    }
    auto stemScore = [&](const StemInfo& s) {
        double score = s.count;
        if (s.firstPosition < p.earlyLimit)
            score *= p.earlyFactor;
        if (s.firstPosition > p.lateLimit)
            score *= p.lateFactor;
        return score;
    };

    // The best single words, by descending score; a word goes before the equal scores.
    struct Ranked {
        uint32_t stem;
        double score;
    };
    std::vector<Ranked> ranked;
    const size_t limit = static_cast<size_t>(std::max(0, p.candidateWords));
    ranked.reserve(limit + 1);
    for (const uint32_t s : wordKeys) {
        const double score = stemScore(stems[s]);
        if (ranked.size() >= limit && (ranked.empty() || score <= ranked.back().score))
            continue;
        auto at = std::find_if(ranked.begin(), ranked.end(),
                               [score](const Ranked& r) { return r.score <= score; });
        ranked.insert(at, Ranked{s, score});
        if (ranked.size() > limit)
            ranked.pop_back();
    }

    // Each ranked word is stood for by the best-scoring phrase that holds it.
    std::vector<Ranked> standing = ranked;
    for (size_t i = 0; i < ranked.size(); ++i)
        stems[ranked[i].stem].rank = static_cast<int>(i);
    for (uint32_t k = 0; k < stemKeys.Size(); ++k) {
        const std::string_view stemKey = stemKeys.Text(k);
        const size_t blanks = static_cast<size_t>(std::count(stemKey.begin(), stemKey.end(), ' '));
        if (blanks == 0)
            continue;
        const double score = stemScore(stems[k]) * (blanks == 1 ? p.twoWordFactor : p.threeWordFactor);
        ForEachWord(stemKey, [&](std::string_view w) {
            const uint32_t s = stemKeys.Find(w);
            if (s == KxStringIndex::kNone || stems[s].rank < 0)
                return;
            Ranked& stand = standing[static_cast<size_t>(stems[s].rank)];
            if (score > stand.score)
                stand = Ranked{k, score};
        });
    }

    std::vector<Ranked> candidates;
    for (size_t i = 0; i < standing.size(); ++i) {
        StemInfo& stem = stems[standing[i].stem];
        if (!stem.taken) {
            stem.taken = true;
            candidates.push_back(Ranked{standing[i].stem, ranked[i].score});
        }
    }

    auto holdsVerb = [&](std::string_view phrase, bool withEndings) {
        bool found = false;
        ForEachWord(phrase, [&](std::string_view w) {
            if (!found && (verbs.Contains(w) == kHashOk || (withEndings && MatchesFrenchVerbEnding(w))))
                found = true;
        });
        return found;
    };
    auto plainForm = [&](const std::string& w) -> const std::string* {
        const uint32_t n = words.Find(w);
        return n == KxStringIndex::kNone ? nullptr : &plainForms[n];
    };
    auto secondForm = [&](const std::string& w) -> const std::string* {
        const uint32_t n = words.Find(w);
        return n == KxStringIndex::kNone || hasSecondForm[n] == 0 ? nullptr : &secondForms[n];
    };

    int accepted = 0;
    for (const Ranked& candidate : candidates) {
        if (accepted >= p.maxPhrases)
            break;
        // The representative: the most frequent phrase of the key that could be a key phrase.
        uint32_t best = KxStringIndex::kNone;
        int bestCount = -1;
        for (uint32_t i = stems[candidate.stem].firstPhrase; i != KxStringIndex::kNone; i = nextInStem[i]) {
            const std::string_view text = phrases.Text(i);
            const int count = FailsEndingTest(language, text) || holdsVerb(text, false) ? 0 : phraseCounts[i];
            if (count > bestCount) {
                best = i;
                bestCount = count;
            }
        }
        if (best == KxStringIndex::kNone)
            continue;
        const std::string_view representative = phrases.Text(best);

        // Display text: the least capitalised forms, unless capitals show it is a name.
        const std::vector<std::string> keys = SplitWords(representative);
        std::vector<std::string> shownWords = keys;
        for (std::string& w : shownWords) {
            if (const std::string* plain = plainForm(w))
                w = *plain;
        }
        size_t capitalised = std::count_if(shownWords.begin(), shownWords.end(),
                                           [](const std::string& w) { return IsCapitalised(w); });
        if (capitalised > 0 && capitalised < shownWords.size()) {
            std::vector<std::string> raised = shownWords;
            bool all = true;
            for (size_t i = 0; i < shownWords.size() && all; ++i) {
                if (IsCapitalised(shownWords[i]))
                    continue;
                const std::string* second = secondForm(keys[i]);
                if (second != nullptr && IsCapitalised(*second))
                    raised[i] = *second;
                else
                    all = false;
            }
            if (all)
                shownWords = std::move(raised);
        }
        std::string display = JoinWords(shownWords);
        if (french)
            display = FrenchElision(display);

        bool everyCapitalised = std::all_of(shownWords.begin(), shownWords.end(),
                                            [](const std::string& w) { return IsCapitalised(w); });
        if (p.capitalsFilter == 1 && everyCapitalised)
            continue;
        if (FailsEndingTest(language, representative) || holdsVerb(representative, french))
            continue;
        if (general.Contains(representative) == kHashOk)
            continue;
        bool longEnough = static_cast<double>(display.size()) / average >= p.lengthRatio;
        if (!longEnough && accepted > p.rankLimit && !BeginsWithTwoCapitals(display))
            continue;

        std::string shown = outputCharCode == 2 ? WidenToUcs2(display) : display;
        if (results.InsertAfter(std::move(shown)) != kListOk || scores.AppendPair(candidate.score) != kListOk)
            return 1;
        ++accepted;
        resultCount = accepted;
    }
    return 0;
}
