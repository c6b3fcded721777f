// Reads the attributes of a start tag from its text, as browsers read them before the page is
// parsed: for a look at a few tags (the charset a page declares, the kind of a script).
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The attributes from text[at] on, where the tag's name ended, up to the tag's ">" or the text's
// end, as (lower-cased name, value) pairs in the tag's order; at gets where the tag ends.
std::vector<std::pair<std::string, std::string>> ReadTagAttributes(std::string_view text, size_t& at);

// The text without the blanks around it.
std::string TrimBlanks(std::string_view text);
