// The mask over bytes of a charset that shifts by escapes: taken off again by the same pass however
// the text is cut into pieces, and leaving no byte of markup inside a shift.
#include "engine/meta/CShiftMask.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

TEST(ShiftMaskTest, TakesItselfOffAndLeavesNoMarkupInsideAShift)
{
    struct Run {
        const char* pszBytes;
        int nShift; // 1: shifts in, 0: shifts out, -1: leaves the shift as it is
    };
    const Run kRuns[] = {{"\x1B$B", 1}, {"\x1B$@", 1}, {"\x1B$(D", 1}, {"\x1B(I", 1}, {"\x1B(B", 0}, {"\x1B(J", 0},
                         {"<a href=\"x\">", -1}, {"F~<j", -1}, {"$\"$&", -1}, {"\n", -1}, {"\xA4\xA2", -1},
                         {"\x1B$)C", -1}, {"\x1B", -1}};
    std::mt19937 random(74);
    for (int nText = 0; nText < 300; ++nText) {
        std::string text;
        // Of each byte: whether it stands inside a shift, escapes aside; bytes beyond ASCII there, which
        // no such text holds, are only given back.
        enum class Place { Out, In, Stray };
        std::vector<Place> places;
        bool bShifted = false;
        for (int i = 0; i < 40; ++i) {
            const Run& run = kRuns[random() % std::size(kRuns)];
            // A lone escape is followed by text that is no escape sequence.
            const bool bLoneEsc = std::string(run.pszBytes) == "\x1B";
            const bool bEscape = run.pszBytes[0] == '\x1B' && !bLoneEsc;
            if (run.nShift >= 0)
                bShifted = run.nShift == 1;
            for (const char* p = run.pszBytes; *p != '\0'; ++p) {
                text += *p;
                places.push_back(!bShifted || bEscape || bLoneEsc ? Place::Out
                                 : static_cast<unsigned char>(*p) >= 0x80 ? Place::Stray : Place::In);
            }
            if (bLoneEsc) {
                text += "x";
                places.push_back(Place::Out);
            }
        }
        std::string masked = text;
        CShiftMask lexed;
        lexed.Apply(masked.data(), masked.size());
        for (size_t at = 0; at < masked.size(); ++at) {
            if (places[at] == Place::In) {
                EXPECT_EQ(std::string("<>\"'&=").find(masked[at]), std::string::npos) << nText << " at " << at;
            } else if (places[at] == Place::Out) {
                EXPECT_EQ(masked[at], text[at]) << nText << " at " << at;
            }
        }
        // Unmasked in pieces of any length.
        CShiftMask written;
        std::string unmasked = masked;
        for (size_t at = 0; at < unmasked.size();) {
            const size_t n = std::min<size_t>(1 + random() % 7, unmasked.size() - at);
            written.Apply(unmasked.data() + at, n);
            at += n;
        }
        EXPECT_EQ(unmasked, text) << nText;
    }
}
