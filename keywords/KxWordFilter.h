// The word filters that turn a token into a normalised word, the language's punctuation sets,
// the French verb-ending rules, the phrase ending tests and the French elision.
#pragma once

#include "keywords/KxCharUtil.h"

#include <string>
#include <string_view>

struct KxEngine;

namespace kx {

// Language ids of a document.
inline constexpr int kLangUndecided = 0;
inline constexpr int kLangEnglish = 1;
inline constexpr int kLangFrench = 2;

// Characters removed from a token before it is looked up as language evidence.
std::string_view DetectionSet();
// The punctuation of a language: the detection set plus its quotation marks.
std::string_view PunctuationSet(int language);
// The same sets as tables, for the tests made on every character.
const CharSet& DetectionTable();
const CharSet& PunctuationTable(int language);

// a-z and the Latin-1 small letters the filters accept.
inline bool IsWordLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xF6) || (c >= 0xF9 && c <= 0xFD);
}
// Word letters, digits, "-", "/" and the apostrophe.
inline bool IsWordChar(unsigned char c)
{
    return IsWordLetter(c) || (c >= '0' && c <= '9') || c == '-' || c == '/' || c == '\'';
}

// The normalised word of a token, or an empty string when the token is not kept.
std::string EnglishWordFilter(const KxEngine& engine, std::string_view token);
std::string FrenchWordFilter(const KxEngine& engine, std::string_view token);
std::string WordFilter(const KxEngine& engine, int language, std::string_view token);
// The same into a buffer the caller reuses; false (and the buffer empty) when not kept.
bool WordFilterInto(const KxEngine& engine, int language, std::string_view token, std::string& word);

bool MatchesFrenchVerbEnding(std::string_view word);
// True when the phrase ends like an adjective or adverb of the language (English: the end of
// the phrase; French: the end of its first word).
bool FailsEndingTest(int language, std::string_view phrase);
// "pomme d api" is shown as "pomme d'api".
std::string FrenchElision(std::string_view phrase);

} // namespace kx
