// The keyword document record behind the opaque document handle: the counts, history and
// results of one text, and the counting and scoring steps that work on it.
#pragma once

#include "keywords/KxStringIndex.h"
#include "keywords/KxStringList.h"
#include "keywords/KxTextPrep.h"

#include <string>
#include <string_view>
#include <vector>

struct KxEngine;

namespace kx {

// The scoring parameters of one document, chosen from the parameter tables by language,
// document length and beta.
struct KxParameters {
    bool set = false;
    int maxPhrases = 0;          // P0
    int candidateWords = 0;      // P1
    double twoWordFactor = 0;    // P2
    double threeWordFactor = 0;  // P3
    double lengthRatio = 0;      // P4
    int rankLimit = 0;           // P5
    int earlyLimit = 0;          // P6
    int lateLimit = 0;           // P7
    double earlyFactor = 0;      // P8
    double lateFactor = 0;       // P9
    int stemLength = 0;          // P10
    int capitalsFilter = 0;      // P11
};

// The row of a parameter table: language, whether the document has 3000 word positions or
// more, and the row index 3 to 30 (clamped).
KxParameters ParameterRow(int language, bool longDocument, int index);

// Counting stops once this many words were kept.
inline constexpr int kMaxKeptWords = 30001;
// Text held back while the language is undecided is limited, so that a long page without
// marker words cannot take unbounded memory; text beyond the limit still gives evidence.
inline constexpr size_t kMaxBufferedBytes = 8u << 20;

} // namespace kx

struct KxDocument {
    int htmlInput = 0;
    int mailInput = 0;
    int extracted = 0;
    int totalLength = 0;
    int wordPosition = 0;
    int keptWords = 0;
    int distinctCount = 0;
    int distinctLength = 0;

    // The word history: the raw tokens and normalised words of the current token and the two
    // before it, in rings of four whose slots are reused rather than copied from slot to slot.
    std::string tokenRing[4];
    std::string wordRing[4];
    unsigned ringAt = 0;   // the slot of the next token
    std::string& Token(unsigned back) { return tokenRing[(ringAt - back) & 3]; }
    std::string& Word(unsigned back) { return wordRing[(ringAt - back) & 3]; }
    void ClearHistory();
    std::string pending;
    kx::KxBreakState breaks;

    // The distinct phrases in order of first appearance, each with its count and the word
    // position of its first occurrence.
    kx::KxStringIndex phrases;
    std::vector<int> phraseCounts;
    std::vector<int> firstPositions;
    // The normalised words, each with the surface form of the fewest capitals and the runner-up
    // with more (none until one is seen).
    kx::KxStringIndex words;
    std::vector<std::string> plainForms;
    std::vector<std::string> secondForms;
    std::vector<char> hasSecondForm;

    kx::KxStringList results;
    kx::KxStringList scores;
    int resultCount = 0;

    kx::KxHtmlScanner html;
    kx::KxMailScanner mail;

    int languageSetting = 0;
    int detectedLanguage = 0;
    int frenchEvidence = 0;
    int englishEvidence = 0;
    std::vector<std::string> buffered;
    size_t bufferedBytes = 0;
    int replay = 0;

    double beta = 7.0;
    int inputCharCode = 0;
    int outputCharCode = 0;
    kx::KxParameters params;

    // Makes room for the counts of a page of common size; answers 0 or 1 when memory runs out.
    [[nodiscard]] int Create();
    // The count of a phrase so far; 0 when it was not counted.
    int PhraseCount(std::string_view phrase) const;
    // The language counting works in: the setting when given, else the detected one.
    int Language() const;

    // Feeds one prepared piece: evidence while the language is undecided, counting once it is.
    [[nodiscard]] int FeedPrepared(const KxEngine& engine, std::string_view piece);
    // Decides the language with the given margin from the evidence so far; on a decision the
    // held-back pieces are counted. Answers true when a language is known afterwards.
    [[nodiscard]] bool DecideLanguage(const KxEngine& engine, int margin, int* pStatus);
    // Scores the counted phrases and fills the result list.
    [[nodiscard]] int Score(const KxEngine& engine);

private:
    int CountPiece(const KxEngine& engine, std::string_view piece);
    int CountToken(const KxEngine& engine, const std::string& token);
    int CountPhrase(std::string_view phrase);
    int NoteSurfaceForm(int language, const std::string& token, const std::string& word);
    bool GatherEvidence(const KxEngine& engine, std::string_view piece);
    void AddEvidence(const KxEngine& engine, std::string token);
    int ReplayBuffered(const KxEngine& engine);

    // Buffers reused from word to word, so that counting does not allocate for each.
    std::string m_phrase;
    std::string m_surface;
    std::string m_candidate;
};
