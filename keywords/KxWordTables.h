// The keyword engine's built-in word tables, in Latin-1, and the character references of its
// HTML preparation.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kx {

// The tables are kept in the sources as UTF-8 text; the engine works on Latin-1 bytes, so
// every entry is converted once when the engine is built.
std::string Latin1FromUtf8(std::string_view text);
// Splits a blank-separated list and converts each word.
std::vector<std::string> WordsOf(std::string_view list);

std::vector<std::string> EnglishStopWords();
std::vector<std::string> EnglishGeneralWords();
std::vector<std::string> EnglishVerbs();
std::vector<std::string> FrenchStopWords();
std::vector<std::string> FrenchGeneralWords();
// Common forms of French verbs, none of them also a noun, an adjective or an English word.
std::vector<std::string> FrenchVerbForms();
std::vector<std::string> FrenchParticles();
std::vector<std::string> FrenchPronouns();
std::vector<std::string> MailHeaderNames();
// Reference name (as written after "&") to its replacement text.
std::vector<std::pair<std::string, std::string>> CharacterReferences();

} // namespace kx
