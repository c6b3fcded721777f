#include "toolkit/editor/Utf8Cells.h"

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace editor {
namespace {

// Whether eight bytes are all ASCII and none a tab: then they are eight cells.
bool PlainWord(const char* p)
{
    uint64_t w;
    std::memcpy(&w, p, sizeof w);
    constexpr uint64_t kHigh = 0x8080808080808080ull;
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    uint64_t tabs = w ^ (kOnes * '\t');
    return (w & kHigh) == 0 && ((tabs - kOnes) & ~tabs & kHigh) == 0;
}

bool IsWide(char32_t cp)
{
    // The East Asian wide and full-width blocks, and the pictographs drawn two cells wide.
    return (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0x303E)
        || (cp >= 0x3041 && cp <= 0x33FF) || (cp >= 0x3400 && cp <= 0x4DBF)
        || (cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0xA000 && cp <= 0xA4CF)
        || (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF)
        || (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60)
        || (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x1F300 && cp <= 0x1F64F)
        || (cp >= 0x1F900 && cp <= 0x1F9FF) || (cp >= 0x20000 && cp <= 0x3FFFD);
}

constexpr char32_t kNoCharacter = 0xFFFFFFFF;

// The character of the valid UTF-8 sequence at p and its length; 1 and no character for a byte
// that starts none.
int Decode(const char* p, const char* end, char32_t& cp)
{
    cp = kNoCharacter;
    const auto b0 = static_cast<unsigned char>(p[0]);
    int n;
    char32_t value;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    if (b0 < 0xC2)
        return 1;   // a stray continuation byte or an over-long lead
    if (b0 < 0xE0) {
        n = 2;
        value = b0 & 0x1Fu;
    } else if (b0 < 0xF0) {
        n = 3;
        value = b0 & 0x0Fu;
    } else if (b0 < 0xF5) {
        n = 4;
        value = b0 & 0x07u;
    } else {
        return 1;
    }
    if (end - p < n)
        return 1;
    for (int i = 1; i < n; ++i) {
        if (!IsContinuation(p[i]))
            return 1;
        value = (value << 6) | (static_cast<unsigned char>(p[i]) & 0x3Fu);
    }
    if ((n == 3 && value < 0x800) || (n == 4 && (value < 0x10000 || value > 0x10FFFF))
        || (value >= 0xD800 && value <= 0xDFFF))
        return 1;
    cp = value;
    return n;
}

struct MarkRange {
    char32_t first;
    char32_t last;
    int cells;
};

constexpr MarkRange kMarks[] = {
#include "toolkit/editor/Utf8Marks.inc"
};

// The marks of the Basic Multilingual Plane, and those of them that take a cell, one bit a
// character: every character of a line is asked whether it is one, and whether the next is.
struct PlaneMarks {
    std::bitset<0x10000> mark;
    std::bitset<0x10000> spacing;
    PlaneMarks()
    {
        for (const MarkRange& range : kMarks)
            for (char32_t c = range.first; c <= range.last && c < 0x10000; ++c) {
                mark.set(c);
                spacing.set(c, range.cells > 0);
            }
    }
};

const PlaneMarks kPlaneMarks;

// The cells of a mark drawn with the character before it; -1 for any other character.
int MarkCells(char32_t cp)
{
    if (cp < kMarks[0].first)
        return -1;
    if (cp < 0x10000)
        return kPlaneMarks.mark[cp] ? static_cast<int>(kPlaneMarks.spacing[cp]) : -1;
    const auto* it = std::upper_bound(std::begin(kMarks), std::end(kMarks), cp,
                                      [](char32_t c, const MarkRange& range) { return c < range.first; });
    --it;
    return cp <= it->last ? it->cells : -1;
}

int WidthOf(char32_t cp)
{
    if (cp == kNoCharacter)
        return 1;
    const int mark = MarkCells(cp);
    if (mark >= 0)
        return mark;
    return IsWide(cp) ? 2 : 1;
}

constexpr char32_t kJoiner = 0x200D;

bool IsRegionalLetter(char32_t cp)
{
    return cp >= 0x1F1E6 && cp <= 0x1F1FF;
}

} // namespace

int SequenceAt(const char* p, const char* end, int* cells)
{
    char32_t cp;
    const int n = Decode(p, end, cp);
    if (cells != nullptr)
        *cells = n == 1 ? 1 : WidthOf(cp);
    return n;
}

int ClusterAt(const char* p, const char* end, int* cells)
{
    // Most of any page: ASCII that no mark follows.
    if (static_cast<unsigned char>(p[0]) < 0x80 && (p + 1 == end || static_cast<unsigned char>(p[1]) < 0xC2)) {
        if (cells != nullptr)
            *cells = 1;
        return 1;
    }
    char32_t cp;
    int n = Decode(p, end, cp);
    int width = n == 1 ? 1 : WidthOf(cp);
    // Only a character beyond ASCII is ever drawn with the one before it.
    bool joined = cp == kJoiner;
    bool flag = IsRegionalLetter(cp);
    while (p + n < end && static_cast<unsigned char>(p[n]) >= 0xC2) {
        char32_t next;
        const int length = Decode(p + n, end, next);
        const int mark = length == 1 ? -1 : MarkCells(next);
        if (!joined && mark < 0 && !(flag && IsRegionalLetter(next)))
            break;
        width += mark >= 0 ? mark : WidthOf(next);
        n += length;
        joined = next == kJoiner;
        flag = false;
    }
    if (cells != nullptr)
        *cells = width;
    return n;
}

int CellsAt(const char* p, const char* end, int col, int tabSize, int* bytes)
{
    if (*p == '\t') {
        *bytes = 1;
        return tabSize > 0 ? tabSize - col % tabSize : 1;
    }
    int cells;
    *bytes = ClusterAt(p, end, &cells);
    return cells;
}

void ColumnCounter::Feed(const char* p, int length)
{
    const char* end = p + length;
    while (end - p >= 8 && PlainWord(p)) {
        column += 8;
        p += 8;
    }
    while (p < end) {
        if (end - p >= 8 && PlainWord(p)) {
            column += 8;
            p += 8;
            continue;
        }
        // Plain ASCII, most of any page, takes one cell a byte.
        if (static_cast<unsigned char>(*p) < 0x80 && *p != '\t') {
            ++column;
            ++p;
            continue;
        }
        int bytes;
        column += CellsAt(p, end, column, tabSize, &bytes);
        p += bytes;
    }
}

int FitColumns(const char* p, int length, int startCol, int maxCol, int tabSize)
{
    const char* begin = p;
    const char* end = p + length;
    int col = startCol;
    while (p < end) {
        if (end - p >= 8 && col + 8 <= maxCol && PlainWord(p)) {
            col += 8;
            p += 8;
            continue;
        }
        if (static_cast<unsigned char>(*p) < 0x80 && *p != '\t') {
            if (col + 1 > maxCol)
                break;
            ++col;
            ++p;
            continue;
        }
        int bytes;
        int w = CellsAt(p, end, col, tabSize, &bytes);
        if (col + w > maxCol)
            break;
        col += w;
        p += bytes;
    }
    return static_cast<int>(p - begin);
}

} // namespace editor
