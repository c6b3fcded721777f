// Counting of words and phrases, and the language evidence gathered before counting starts.
#include "keywords/KxCharUtil.h"
#include "keywords/KxDocument.h"
#include "keywords/KxEngine.h"
#include "keywords/KxWordFilter.h"

#include <climits>
#include <cstring>

using namespace kx;

namespace {

// A break between an earlier raw token a and a later one b: punctuation from the third
// character of a on, or anywhere in b but its last two characters. An opening mark at the
// start of a and a closing mark at the end of b keep the phrase whole.
bool IsBreak(int language, std::string_view a, std::string_view b)
{
    const CharSet& punct = PunctuationTable(language);
    for (size_t i = 2; i < a.size(); ++i) {
        if (punct.Has(a[i]))
            return true;
    }
    for (size_t i = 0; i + 2 < b.size(); ++i) {
        if (punct.Has(b[i]))
            return true;
    }
    return false;
}

} // namespace

namespace {

// Room made at once for what a page of common size holds: its distinct phrases with their text,
// and its distinct words.
constexpr size_t kPhrasesAtFirst = 1024;
constexpr size_t kPhraseBytesAtFirst = 16384;
constexpr size_t kWordsAtFirst = 512;
constexpr size_t kWordBytesAtFirst = 4096;

} // namespace

int KxDocument::Create()
{
    try {
        phrases.Reserve(kPhrasesAtFirst, kPhraseBytesAtFirst);
        phraseCounts.reserve(kPhrasesAtFirst);
        firstPositions.reserve(kPhrasesAtFirst);
        words.Reserve(kWordsAtFirst, kWordBytesAtFirst);
        plainForms.reserve(kWordsAtFirst);
        secondForms.reserve(kWordsAtFirst);
        hasSecondForm.reserve(kWordsAtFirst);
    } catch (const std::bad_alloc&) {
        return 1;
    }
    return 0;
}

int KxDocument::PhraseCount(std::string_view phrase) const
{
    const uint32_t n = phrases.Find(phrase);
    return n == KxStringIndex::kNone ? 0 : phraseCounts[n];
}

int KxDocument::Language() const
{
    if (languageSetting == kLangEnglish || languageSetting == kLangFrench)
        return languageSetting;
    if (detectedLanguage == kLangEnglish || detectedLanguage == kLangFrench)
        return detectedLanguage;
    return kLangUndecided;
}

int KxDocument::FeedPrepared(const KxEngine& engine, std::string_view piece)
{
    if (Language() != kLangUndecided)
        return CountPiece(engine, piece);
    if (!GatherEvidence(engine, piece)) {
        if (bufferedBytes + piece.size() <= kMaxBufferedBytes) {
            buffered.emplace_back(piece);
            bufferedBytes += piece.size();
        }
        return 0;
    }
    int status = ReplayBuffered(engine);
    if (status != 0)
        return status;
    return CountPiece(engine, piece);
}

bool KxDocument::DecideLanguage(const KxEngine& engine, int margin, int* pStatus)
{
    *pStatus = 0;
    if (Language() != kLangUndecided)
        return true;
    if (frenchEvidence > englishEvidence + margin)
        detectedLanguage = kLangFrench;
    else if (englishEvidence > frenchEvidence + margin)
        detectedLanguage = kLangEnglish;
    else
        return false;
    *pStatus = ReplayBuffered(engine);
    return true;
}

void KxDocument::AddEvidence(const KxEngine& engine, std::string token)
{
    LowerInPlace(token);
    DeleteChars(token, DetectionTable());
    if (token.empty())
        return;
    const char* key = token.c_str();
    if (engine.englishStop.Contains(key) == kHashOk || engine.englishGeneral.Contains(key) == kHashOk
        || engine.englishVerbs.Contains(key) == kHashOk)
        ++englishEvidence;
    if (engine.frenchStop.Contains(key) == kHashOk || engine.frenchParticles.Contains(key) == kHashOk
        || engine.frenchGeneral.Contains(key) == kHashOk || engine.frenchVerbs.Contains(key) == kHashOk)
        ++frenchEvidence;
    if (englishEvidence > frenchEvidence + 10)
        detectedLanguage = kLangEnglish;
    else if (frenchEvidence > englishEvidence + 10)
        detectedLanguage = kLangFrench;
}

bool KxDocument::GatherEvidence(const KxEngine& engine, std::string_view piece)
{
    // Evidence has its own break state: the counting that follows a decision starts afresh.
    KxBreakState scratch;
    size_t pos = 0;
    std::string token;
    if (!pending.empty() && !piece.empty()) {
        if (!IsSeparator(static_cast<unsigned char>(piece[0]), kLangUndecided)
            && pending.size() < kMaxToken) {
            int result = NextToken(piece, pos, kLangUndecided, scratch, kMaxToken - pending.size(), token);
            pending += token;
            if (result == kTokenTextEnded)
                return false;
        }
        AddEvidence(engine, std::move(pending));
        pending.clear();
        if (Language() != kLangUndecided)
            return true;
    }
    for (;;) {
        int result = NextToken(piece, pos, kLangUndecided, scratch, kMaxToken, token);
        if (result == kTokenTextEnded) {
            pending += token;
            return false;
        }
        AddEvidence(engine, token);
        if (Language() != kLangUndecided)
            return true;
    }
}

int KxDocument::ReplayBuffered(const KxEngine& engine)
{
    replay = 1;
    ClearHistory();
    pending.clear();
    breaks.Clear();
    int status = 0;
    for (const std::string& piece : buffered) {
        if ((status = CountPiece(engine, piece)) != 0)
            break;
    }
    buffered.clear();
    buffered.shrink_to_fit();
    bufferedBytes = 0;
    replay = 0;
    return status;
}

int KxDocument::CountPiece(const KxEngine& engine, std::string_view piece)
{
    const int language = Language();
    size_t pos = 0;
    std::string token;
    int status = 0;
    if (keptWords >= kMaxKeptWords)
        return 0;
    if (!pending.empty() && !piece.empty()) {
        // The token cut at the end of the last piece goes on unless this piece starts apart.
        if (!IsSeparator(static_cast<unsigned char>(piece[0]), language) && pending.size() < kMaxToken) {
            int result = NextToken(piece, pos, language, breaks, kMaxToken - pending.size(), token);
            pending += token;
            if (result == kTokenTextEnded)
                return 0;
        } else if (IsSeparator(static_cast<unsigned char>(piece[0]), language)) {
            if (piece[0] == '\n')
                breaks.newlineSeen = true;
            pos = 1;
        }
        std::string whole = std::move(pending);
        pending.clear();
        if ((status = CountToken(engine, whole)) != 0)
            return status;
    }
    while (keptWords < kMaxKeptWords) {
        int result = NextToken(piece, pos, language, breaks, kMaxToken, token);
        if (result == kTokenTextEnded) {
            pending += token;
            break;
        }
        if ((status = CountToken(engine, token)) != 0)
            return status;
    }
    return 0;
}

int KxDocument::CountPhrase(std::string_view phrase)
{
    try {
        // Room first, so that running out of memory leaves the counts matching the phrases.
        RoomForOneMore(phraseCounts);
        RoomForOneMore(firstPositions);
        bool bAdded = false;
        const uint32_t n = phrases.Intern(phrase, bAdded);
        if (!bAdded) {
            ++phraseCounts[n];
            return 0;
        }
        phraseCounts.push_back(1);
        firstPositions.push_back(wordPosition);
    } catch (const std::bad_alloc&) {
        return 1;
    }
    ++distinctCount;
    if (distinctLength <= INT_MAX - static_cast<int>(phrase.size()))
        distinctLength += static_cast<int>(phrase.size());
    return 0;
}

int KxDocument::NoteSurfaceForm(int language, const std::string& token, const std::string& word)
{
    std::string& surface = m_surface;
    surface = token;
    DeleteChars(surface, PunctuationTable(language));
    try {
        RoomForOneMore(plainForms);
        RoomForOneMore(secondForms);
        RoomForOneMore(hasSecondForm);
        bool bAdded = false;
        const uint32_t n = words.Intern(word, bAdded);
        if (bAdded) {
            plainForms.push_back(surface);
            secondForms.emplace_back();
            hasSecondForm.push_back(0);
            return 0;
        }
        std::string& plain = plainForms[n];
        std::string& candidate = m_candidate;
        const int caps = CountCapitals(surface);
        const int plainCaps = CountCapitals(plain);
        if (caps < plainCaps) {
            candidate = plain;
            plain = surface;
        } else if (caps > plainCaps) {
            candidate = surface;
        } else {
            return 0;
        }
        if (hasSecondForm[n] == 0 || CountCapitals(candidate) < CountCapitals(secondForms[n])) {
            secondForms[n] = candidate;
            hasSecondForm[n] = 1;
        }
    } catch (const std::bad_alloc&) {
        return 1;
    }
    return 0;
}

void KxDocument::ClearHistory()
{
    for (std::string& t : tokenRing)
        t.clear();
    for (std::string& w : wordRing)
        w.clear();
}

int KxDocument::CountToken(const KxEngine& engine, const std::string& token)
{
    if (token.empty())
        return 0;
    const int language = Language();
    const bool french = language == kLangFrench;
    if (token != "." && token != "?" && wordPosition < INT_MAX)
        ++wordPosition;
    // The current token and word go into the ring's next slot; Token(1) and Word(1) are the
    // previous ones, Token(2) and Word(2) those before.
    std::string& word = Word(0);
    const bool kept = WordFilterInto(engine, language, token, word);
    if (kept)
        ++keptWords;
    if (breaks.breakPending) {
        for (unsigned back = 1; back <= 2; ++back) {
            Token(back).clear();
            Word(back).clear();
        }
        breaks.breakPending = false;
    }
    const std::string& prevToken = Token(1);
    const std::string& prevPrevToken = Token(2);
    const std::string& prevWord = Word(1);
    const std::string& prevPrevWord = Word(2);
    if (kept) {
        auto isParticle = [&](const std::string& w) {
            return french && engine.frenchParticles.Contains(w) == kHashOk;
        };
        const bool particle = isParticle(word);
        int status = 0;
        if (!particle && (status = CountPhrase(word)) != 0)
            return status;
        if ((status = NoteSurfaceForm(language, token, word)) != 0)
            return status;
        if (!prevWord.empty() && !(particle || isParticle(prevWord))
            && prevWord.size() + 1 + word.size() <= kMaxToken && !IsBreak(language, prevToken, token)) {
            m_phrase.assign(prevWord).append(1, ' ').append(word);
            if ((status = CountPhrase(m_phrase)) != 0)
                return status;
        }
        if (!prevPrevWord.empty() && !prevWord.empty() && !(particle || isParticle(prevPrevWord))
            && prevPrevWord.size() + prevWord.size() + word.size() + 2 <= kMaxToken
            && !IsBreak(language, prevToken, token) && !IsBreak(language, prevPrevToken, prevToken)) {
            m_phrase.assign(prevPrevWord).append(1, ' ').append(prevWord).append(1, ' ').append(word);
            if ((status = CountPhrase(m_phrase)) != 0)
                return status;
        }
    }
    Token(0).assign(token);
    ringAt = (ringAt + 1) & 3;
    return 0;
}
