// Scoring of the counted phrases and the choice of the key phrases.
#include "keywords/KxCharUtil.h"
#include "keywords/KxDocument.h"
#include "keywords/KxEngine.h"
#include "keywords/KxWordFilter.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

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

// Each word cut to the stem length, or else stripped of one final "s".
std::string StemKey(std::string_view phrase, int stemLength)
{
    std::string key;
    ForEachWord(phrase, [&](std::string_view w) {
        if (stemLength > 0 && w.size() > static_cast<size_t>(stemLength))
            w = w.substr(0, static_cast<size_t>(stemLength));
        else if (!w.empty() && w.back() == 's')
            w.remove_suffix(1);
        if (!key.empty())
            key += ' ';
        key += w;
    });
    return key;
}

struct PhraseInfo {
    const std::string* text;   // in the document's phrase list, which outlives the scoring
    int count = 0;
};

// A stem key's summed count, earliest position and phrases, kept together so that each
// phrase's key is hashed once.
struct StemInfo {
    int count = 0;
    int firstPosition = 0;
    std::vector<PhraseInfo> phrases;
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

    // Stems: counts summed and the earliest position kept per key.
    // The key lists point into the map, whose entries stay where they are.
    using StemEntry = std::pair<const std::string, StemInfo>;
    std::unordered_map<std::string, StemInfo> stems;
    stems.reserve(static_cast<size_t>(distinctCount));
    std::vector<StemEntry*> keyList;
    std::vector<StemEntry*> wordKeys;
    phrases.ForEach([&](const std::string& phrase) {
        int count = 0;
        int first = 0;
        (void)phraseCounts.FindInt(phrase.c_str(), &count);
        (void)firstPositions.FindInt(phrase.c_str(), &first);
        auto [it, inserted] = stems.try_emplace(StemKey(phrase, p.stemLength));
        if (inserted) {
            it->second.firstPosition = first;
            keyList.push_back(&*it);
            if (it->first.find(' ') == std::string::npos)
                wordKeys.push_back(&*it);
        }
        it->second.count += count;
        it->second.firstPosition = std::min(it->second.firstPosition, first);
        it->second.phrases.push_back({&phrase, count});
    });
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
        std::string key;
        double score;
    };
    std::vector<Ranked> ranked;
    const size_t limit = static_cast<size_t>(std::max(0, p.candidateWords));
    for (const StemEntry* entry : wordKeys) {
        const std::string& key = entry->first;
        double score = stemScore(entry->second);
        if (ranked.size() >= limit && (ranked.empty() || score <= ranked.back().score))
            continue;
        auto at = std::find_if(ranked.begin(), ranked.end(),
                               [score](const Ranked& r) { return r.score <= score; });
        ranked.insert(at, Ranked{key, score});
        if (ranked.size() > limit)
            ranked.pop_back();
    }

    // Each ranked word is stood for by the best-scoring phrase that holds it.
    std::vector<Ranked> standing = ranked;
    std::unordered_map<std::string_view, size_t> rankIndex;
    for (size_t i = 0; i < ranked.size(); ++i)
        rankIndex.emplace(ranked[i].key, i);
    for (const StemEntry* entry : keyList) {
        const std::string& key = entry->first;
        const size_t blanks = static_cast<size_t>(std::count(key.begin(), key.end(), ' '));
        if (blanks == 0)
            continue;
        double score = stemScore(entry->second) * (blanks == 1 ? p.twoWordFactor : p.threeWordFactor);
        ForEachWord(key, [&](std::string_view w) {
            auto it = rankIndex.find(w);
            if (it != rankIndex.end() && score > standing[it->second].score)
                standing[it->second] = Ranked{key, score};
        });
    }

    std::vector<Ranked> candidates;
    std::unordered_set<std::string> taken;
    for (size_t i = 0; i < standing.size(); ++i) {
        if (taken.insert(standing[i].key).second)
            candidates.push_back(Ranked{standing[i].key, ranked[i].score});
    }

    auto holdsVerb = [&](const std::string& phrase, bool withEndings) {
        bool found = false;
        ForEachWord(phrase, [&](std::string_view w) {
            if (!found && (verbs.Contains(w) == kHashOk || (withEndings && MatchesFrenchVerbEnding(w))))
                found = true;
        });
        return found;
    };

    int accepted = 0;
    for (const Ranked& candidate : candidates) {
        if (accepted >= p.maxPhrases)
            break;
        // The representative: the most frequent phrase of the key that could be a key phrase.
        const std::vector<PhraseInfo>& group = stems[candidate.key].phrases;
        const PhraseInfo* best = nullptr;
        int bestCount = -1;
        for (const PhraseInfo& info : group) {
            int count = FailsEndingTest(language, *info.text) || holdsVerb(*info.text, false) ? 0 : info.count;
            if (count > bestCount) {
                best = &info;
                bestCount = count;
            }
        }
        if (best == nullptr)
            continue;
        const std::string& representative = *best->text;

        // Display text: the least capitalised forms, unless capitals show it is a name.
        std::vector<std::string> words = SplitWords(representative);
        for (std::string& w : words) {
            if (const std::string* plain = plainForms.Lookup(w.c_str()))
                w = *plain;
        }
        size_t capitalised = std::count_if(words.begin(), words.end(),
                                           [](const std::string& w) { return IsCapitalised(w); });
        if (capitalised > 0 && capitalised < words.size()) {
            std::vector<std::string> raised = words;
            bool all = true;
            for (size_t i = 0; i < words.size() && all; ++i) {
                if (IsCapitalised(words[i]))
                    continue;
                std::string key = SplitWords(representative)[i];
                const std::string* second = secondForms.Lookup(key.c_str());
                if (second != nullptr && IsCapitalised(*second))
                    raised[i] = *second;
                else
                    all = false;
            }
            if (all)
                words = std::move(raised);
        }
        std::string display = JoinWords(words);
        if (french)
            display = FrenchElision(display);

        bool everyCapitalised = std::all_of(words.begin(), words.end(),
                                            [](const std::string& w) { return IsCapitalised(w); });
        if (p.capitalsFilter == 1 && everyCapitalised)
            continue;
        if (FailsEndingTest(language, representative) || holdsVerb(representative, french))
            continue;
        if (general.Contains(representative.c_str()) == kHashOk)
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
