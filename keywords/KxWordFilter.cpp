#include "keywords/KxWordFilter.h"

#include "keywords/KxCharUtil.h"
#include "keywords/KxEngine.h"
#include "keywords/KxWordTables.h"

#include <vector>

namespace kx {
namespace {

constexpr std::string_view kDetection = "().,;:[]{}!?<>~\"`*&^%#$@|+=_\xAB\xBB";
constexpr std::string_view kEnglishPunct = "().,;:[]{}!?<>~\"`*&^%#$@|+=_\xAB\xBB'\x91\x92\x93\x94";
constexpr std::string_view kFrenchPunct = "().,;:[]{}!?<>~\"`*&^%#$@|+=_\xAB\xBB\x91\x93\x94";
constexpr CharSet kDetectionTable(kDetection);
constexpr CharSet kEnglishPunctTable(kEnglishPunct);
constexpr CharSet kFrenchPunctTable(kFrenchPunct);

bool IsDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

bool EndsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// Steps common to both filters: lower-case, refuse odd tokens, delete the punctuation. Answers
// false when the token is refused; nDeleted is the number of punctuation characters removed.
bool CleanToken(std::string_view token, const CharSet& punct, std::string& word, size_t& nDeleted)
{
    // One pass: lower-case, check and drop the punctuation, which lower-casing never touches.
    word.clear();
    nDeleted = 0;
    int digits = 0;
    bool seenWord = false;
    bool punctAfterWord = false;
    for (char raw : token) {
        const char ch = ToLower(raw);
        auto c = static_cast<unsigned char>(ch);
        if (IsDigit(c) && ++digits > 2)
            return false;
        if (IsWordChar(c)) {
            // Punctuation inside a word, such as "e.g" or "a,b", refuses it.
            if (punctAfterWord)
                return false;
            seenWord = true;
        } else if (punct.Has(ch)) {
            if (seenWord)
                punctAfterWord = true;
        } else {
            return false;
        }
        // The apostrophe is both a word character and English punctuation: it is deleted.
        if (punct.Has(ch))
            ++nDeleted;
        else
            word.push_back(ch);
    }
    return true;
}

// The shape tests that both languages apply to a cleaned word.
bool HasWordShape(const std::string& w)
{
    if (w.size() < 3)
        return false;
    if (!IsWordLetter(static_cast<unsigned char>(w.front())))
        return false;
    if (w.back() == '-' || w.back() == '/')
        return false;
    if (w.find("--") != std::string::npos)
        return false;
    if (w.size() == 3 && IsDigit(static_cast<unsigned char>(w[1]))
        && IsWordLetter(static_cast<unsigned char>(w[2])))
        return false;
    if (w.find_first_not_of(w.front()) == std::string::npos)
        return false;
    return true;
}

struct EndingRule {
    std::string ending;
    size_t minLength;
    std::string excluded;   // letters that may not stand before the ending
};

const std::vector<EndingRule>& FrenchEndingRules()
{
    static const std::vector<EndingRule> rules = [] {
        struct Raw { size_t minLength; const char* ending; const char* excluded; };
        static constexpr Raw raw[] = {
            {4, "ez", ""}, {6, "ra", "é"}, {7, "iens", "dv"}, {6, "re", "aiouèébvpt"},
            {6, "er", "iug"}, {6, "ons", "is"}, {7, "ent", "mgr"}, {7, "res", "aiouèébvpt"},
            {5, "ont", ""}, {6, "is", "otns"}, {7, "ise", "otnrmd"}, {6, "it", "ulr"},
            {7, "its", "ulr"}, {7, "ite", "uacsl"}, {8, "ites", "uacsl"}, {4, "u", "eadnt"},
            {5, "ue", "qgs"}, {6, "ues", "qgs"}, {4, "ir", ""}, {5, "rt", "eo"},
            {6, "rte", "eo"}, {7, "rtes", "eo"}, {5, "end", ""}, {6, "ends", ""},
            {6, "and", "l"}, {7, "ands", "l"}, {4, "li", ""}, {5, "lie", ""}, {6, "lies", ""}};
        std::vector<EndingRule> out;
        for (const Raw& r : raw)
            out.push_back({Latin1FromUtf8(r.ending), r.minLength, Latin1FromUtf8(r.excluded)});
        return out;
    }();
    return rules;
}

const std::vector<std::string>& FrenchAdjectiveEndings()
{
    static const std::vector<std::string> endings = WordsOf(
        "al if el en als ale ant ifs ive eux els ens ales ante able ible uble ives euse elle "
        "enne ente ables ibles ubles euses elles ennes");
    return endings;
}

} // namespace

std::string_view DetectionSet()
{
    return kDetection;
}

std::string_view PunctuationSet(int language)
{
    return language == kLangFrench ? kFrenchPunct : kEnglishPunct;
}

const CharSet& DetectionTable()
{
    return kDetectionTable;
}

const CharSet& PunctuationTable(int language)
{
    return language == kLangFrench ? kFrenchPunctTable : kEnglishPunctTable;
}

bool EnglishWordFilterInto(const KxEngine& engine, std::string_view token, std::string& word)
{
    size_t nDeleted = 0;
    if (!CleanToken(token, kEnglishPunctTable, word, nDeleted) || nDeleted > 2 || !HasWordShape(word)
        || engine.englishStop.Contains(word) == kHashOk) {
        word.clear();
        return false;
    }
    return true;
}

bool FrenchWordFilterInto(const KxEngine& engine, std::string_view token, std::string& word)
{
    size_t nDeleted = 0;
    if (!CleanToken(token, kFrenchPunctTable, word, nDeleted) || nDeleted > 2) {
        word.clear();
        return false;
    }
    // The particles join phrases ("pomme d api"), so they are kept however short.
    if (!word.empty() && engine.frenchParticles.Contains(word) == kHashOk)
        return true;
    bool kept = HasWordShape(word) && engine.frenchStop.Contains(word) != kHashOk;
    if (kept) {
        size_t dash = word.rfind('-');
        kept = dash == std::string::npos || dash + 1 >= word.size()
            || engine.frenchPronouns.Contains(std::string_view(word).substr(dash + 1)) != kHashOk;
    }
    if (!kept)
        word.clear();
    return kept;
}

bool WordFilterInto(const KxEngine& engine, int language, std::string_view token, std::string& word)
{
    return language == kLangFrench ? FrenchWordFilterInto(engine, token, word)
                                   : EnglishWordFilterInto(engine, token, word);
}

std::string EnglishWordFilter(const KxEngine& engine, std::string_view token)
{
    std::string word;
    EnglishWordFilterInto(engine, token, word);
    return word;
}

std::string FrenchWordFilter(const KxEngine& engine, std::string_view token)
{
    std::string word;
    FrenchWordFilterInto(engine, token, word);
    return word;
}

std::string WordFilter(const KxEngine& engine, int language, std::string_view token)
{
    std::string word;
    WordFilterInto(engine, language, token, word);
    return word;
}

bool MatchesFrenchVerbEnding(std::string_view word)
{
    if (word.empty() || IsCapital(static_cast<unsigned char>(word.front())))
        return false;
    for (const EndingRule& rule : FrenchEndingRules()) {
        if (word.size() < rule.minLength || !EndsWith(word, rule.ending))
            continue;
        size_t before = word.size() - rule.ending.size();
        if (before > 0 && rule.excluded.find(word[before - 1]) != std::string::npos)
            continue;
        return true;
    }
    return false;
}

bool FailsEndingTest(int language, std::string_view phrase)
{
    if (language == kLangFrench) {
        std::string_view first = phrase.substr(0, phrase.find(' '));
        for (const std::string& e : FrenchAdjectiveEndings()) {
            if (EndsWith(first, e))
                return true;
        }
        return false;
    }
    static constexpr std::string_view english[] = {"al", "ic", "ly", "ed", "en", "ous",
                                                   "ive", "ary", "ist", "able", "ible"};
    for (std::string_view e : english) {
        if (EndsWith(phrase, e))
            return true;
    }
    return false;
}

std::string FrenchElision(std::string_view phrase)
{
    size_t first = phrase.find(' ');
    if (first == std::string_view::npos)
        return std::string(phrase);
    size_t second = phrase.find(' ', first + 1);
    if (second == std::string_view::npos || phrase.find(' ', second + 1) != std::string_view::npos)
        return std::string(phrase);
    std::string_view middle = phrase.substr(first + 1, second - first - 1);
    if (middle != "d" && middle != "l" && middle != "D" && middle != "L")
        return std::string(phrase);
    std::string out(phrase.substr(0, first));
    out += ' ';
    out += middle;
    out += '\'';
    out += phrase.substr(second + 1);
    return out;
}

} // namespace kx
