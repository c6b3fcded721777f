// A search request of the editor's find and replace: pattern, options, and the replacement.
#pragma once

#include "platform/core/Types.h"

#include <string>

// Flags of SECEditSearch::nFlags.
constexpr int SECEDIT_SEARCH_WHOLEWORD = 2;
constexpr int SECEDIT_SEARCH_MATCHCASE = 4;
constexpr int SECEDIT_SEARCH_FORWARD = 8;
constexpr int SECEDIT_SEARCH_REGEXP = 64;

struct SECEditSearch {
    int nFlags = SECEDIT_SEARCH_FORWARD;
    int nMatchLength = 0;           // set by a successful search
    std::string strPattern;
    // The replacement template; after a regular-expression match strExpanded holds it with
    // "&" and the group references filled in.
    std::string strReplace;
    std::string strExpanded;
};
