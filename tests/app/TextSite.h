// Sites of pages of English text, which the scan finds key phrases in, with keywords of their own
// in other scripts; and the large one of a hundred thousand short pages that the long-work tests
// share: written once for the whole test program, each of them scans it.
#pragma once

#include "tests/support/SharedFolder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace text_site {

// The pages of the large site; every other one holds no keywords.
inline constexpr int kLargePages = 100000;

// Writes nPages pages of nWords words into the folder, page0.htm to page<nPages - 1>.htm, titled
// "Page <n>"; with bSomeWithout, every other page has no keywords.
inline void WritePages(const std::string& folder, int nPages, bool bSomeWithout, int nWords)
{
    static const char* const kWords[] = {"the",     "garden", "of",     "our",    "village", "and",    "its",
                                         "orchard", "apple",  "trees",  "grow",   "in",      "spring", "with",
                                         "fresh",   "water",  "from",   "river",  "where",   "children",
                                         "play",    "summer", "market", "bridge", "mill",    "harvest"};
    std::filesystem::create_directories(folder);
    for (int n = 0; n < nPages; ++n) {
        std::string text;
        for (int w = 0; w < nWords; ++w)
            text += std::string(kWords[(w * 7 + n + w / 13) % std::size(kWords)]) + (w % 12 == 11 ? ". " : " ");
        const bool bWithout = bSomeWithout && n % 2 == 1;
        std::ofstream(folder + "/page" + std::to_string(n) + ".htm")
            << "<html><head><title>Page " << n << "</title>\n"
            << (bWithout ? "" : "<meta name=\"KEYWORDS\" content=\"Stra\xC3\x9F\x65,caf\xC3\xA9,\xCE\xB1\xCE\xB2\xCE\xB3\">\n")
            << "</head><body><p>" << text << "</p></body></html>\n";
    }
}

// The folder of the large site: kLargePages short pages, which still have suggestions (their
// scan costs the less), every other one without keywords.
inline const std::string& Large()
{
    return shared_folder::Get("large-text-site", [](const std::string& folder) { WritePages(folder, kLargePages, true, 24); });
}

}   // namespace text_site
