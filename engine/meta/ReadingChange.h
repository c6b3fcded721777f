// ReadingChange: how a page's bytes, kept as they are under a new declaration, read otherwise
// than they did: a relabel that changes a letter is a change of the page's text, and is shown so.
#pragma once

#include "engine/html/CPageCharset.h"

#include <cstddef>
#include <string>
#include <string_view>

struct ReadingChange {
    size_t nCount = 0;  // the characters that read otherwise; 0 when the text reads alike
    std::string before; // the first of them, as the old charset reads it, in UTF-8
    std::string after;  // and as the new one does
};

// The bytes read in the charset they were read in and in the one they are declared now.
ReadingChange CompareReadings(std::string_view bytes, const CPageCharset& before, const CPageCharset& after);
