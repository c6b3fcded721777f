#include "engine/html/HtmlEntities.h"

#include "platform/core/CodePage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

struct EntityRow {
    char text[3];       // the character in UTF-8 and its terminator
    const char* name;   // null: the character has no name
    int code;
};

// Names of the Latin-1 characters 161 to 255, in code order.
constexpr const char* kLatin1Names[] = {
    "iexcl", "cent", "pound", "curren", "yen", "brvbar", "sect", "uml", "copy", "ordf",
    "laquo", "not", "shy", "reg", "macr", "deg", "plusmn", "sup2", "sup3", "acute",
    "micro", "para", "middot", "cedil", "sup1", "ordm", "raquo", "frac14", "frac12", "frac34",
    "iquest", "Agrave", "Aacute", "Acirc", "Atilde", "Auml", "Aring", "AElig", "Ccedil", "Egrave",
    "Eacute", "Ecirc", "Euml", "Igrave", "Iacute", "Icirc", "Iuml", "ETH", "Ntilde", "Ograve",
    "Oacute", "Ocirc", "Otilde", "Ouml", "times", "Oslash", "Ugrave", "Uacute", "Ucirc", "Uuml",
    "Yacute", "THORN", "szlig", "agrave", "aacute", "acirc", "atilde", "auml", "aring", "aelig",
    "ccedil", "egrave", "eacute", "ecirc", "euml", "igrave", "iacute", "icirc", "iuml", "eth",
    "ntilde", "ograve", "oacute", "ocirc", "otilde", "ouml", "divide", "oslash", "ugrave", "uacute",
    "ucirc", "uuml", "yacute", "thorn", "yuml",
};
static_assert(std::size(kLatin1Names) == 255 - 161 + 1);

// Older names that pages still use, each a second row after the standard name of its code.
struct Alias {
    int code;
    const char* name;
};
constexpr Alias kAliases[] = {{166, "brkbar"}, {168, "die"}, {175, "hibar"}};

// Codes 9, 10, 13, 32 to 126 and 160 to 255, and the aliases.
constexpr size_t kRowCount = 3 + (126 - 32 + 1) + (255 - 160 + 1) + std::size(kAliases);
static_assert(kRowCount == 197);

using EntityTable = std::array<EntityRow, kRowCount>;

constexpr EntityTable BuildTable()
{
    EntityTable rows{};
    size_t n = 0;
    auto add = [&](int code, const char* name) {
        if (code < 0x80) {
            rows[n].text[0] = static_cast<char>(code);
            rows[n].text[1] = '\0';
        } else {
            rows[n].text[0] = static_cast<char>(0xC0 | (code >> 6));
            rows[n].text[1] = static_cast<char>(0x80 | (code & 0x3F));
        }
        rows[n].name = name;
        rows[n].code = code;
        ++n;
    };
    add(9, nullptr);
    add(10, nullptr);
    add(13, nullptr);
    for (int code = 32; code <= 126; ++code) {
        const char* name = nullptr;
        switch (code) {
        case '"': name = "quot"; break;
        case '&': name = "amp"; break;
        case '<': name = "lt"; break;
        case '>': name = "gt"; break;
        default: break;
        }
        add(code, name);
    }
    add(160, nullptr);
    for (int code = 161; code <= 255; ++code) {
        add(code, kLatin1Names[code - 161]);
        for (const Alias& alias : kAliases) {
            if (alias.code == code)
                add(code, alias.name);
        }
    }
    return rows;
}

constexpr EntityTable g_entities = BuildTable();

// The named rows in an open-addressed hash table built at compile time, so that a name costs a
// hash and usually one comparison: pages full of references look names up all the time. Names
// are unique, so the order in which the table used to be searched (from its end) gives the same
// answers.
constexpr size_t kSlots = 512; // a power of two, well above twice the number of names

constexpr uint32_t HashName(const char* p, size_t n)
{
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < n; ++i)
        h = (h ^ static_cast<unsigned char>(p[i])) * 16777619u;
    return h;
}

constexpr size_t NameLength(const char* p)
{
    size_t n = 0;
    while (p[n] != '\0')
        ++n;
    return n;
}

struct NameSlot {
    const EntityRow* row = nullptr;
    unsigned char length = 0;
};

constexpr std::array<NameSlot, kSlots> BuildIndex()
{
    std::array<NameSlot, kSlots> slots{};
    for (const EntityRow& row : g_entities) {
        if (row.name == nullptr)
            continue;
        const size_t n = NameLength(row.name);
        size_t i = HashName(row.name, n) & (kSlots - 1);
        while (slots[i].row != nullptr)
            i = (i + 1) & (kSlots - 1);
        slots[i] = NameSlot{&row, static_cast<unsigned char>(n)};
    }
    return slots;
}

constexpr std::array<NameSlot, kSlots> g_byName = BuildIndex();

constexpr size_t kLongestName = [] {
    size_t longest = 0;
    for (const EntityRow& row : g_entities)
        longest = row.name != nullptr && NameLength(row.name) > longest ? NameLength(row.name) : longest;
    return longest;
}();
static_assert(kLongestName <= 8);

const EntityRow* RowOfCode(int code)
{
    // Rows are in ascending code order; an alias row repeats its code after the standard one.
    const auto it = std::lower_bound(g_entities.begin(), g_entities.end(), code,
        [](const EntityRow& row, int value) { return row.code < value; });
    return (it != g_entities.end() && it->code == code) ? &*it : nullptr;
}

int HexValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

} // namespace

LPCSTR LookupHtmlEntity(LPCSTR pszName, int nLength)
{
    if (pszName == nullptr || nLength <= 0)
        return nullptr;
    if (static_cast<size_t>(nLength) > kLongestName)
        return nullptr;
    const auto n = static_cast<size_t>(nLength);
    for (size_t i = HashName(pszName, n) & (kSlots - 1); g_byName[i].row != nullptr; i = (i + 1) & (kSlots - 1)) {
        if (g_byName[i].length == n && std::memcmp(g_byName[i].row->name, pszName, n) == 0)
            return g_byName[i].row->text;
    }
    return nullptr;
}

LPCSTR ParseNumericCharRef(LPCSTR pszDigits, int nLength)
{
    if (pszDigits == nullptr || nLength <= 0 || nLength > 3)
        return nullptr;
    int value = 0;
    for (int i = 0; i < nLength; ++i) {
        const char ch = pszDigits[i];
        if (ch < '0' || ch > '9')
            return nullptr;
        value = value * 10 + (ch - '0');
    }
    if (value < 1 || value > 255)
        return nullptr;
    const EntityRow* pRow = RowOfCode(value);
    return pRow != nullptr ? pRow->text : nullptr;
}

int DecodeNumericCharRef(LPCSTR pszDigits, int nLength, bool bHex, char* pOut)
{
    if (pszDigits == nullptr || nLength <= 0 || pOut == nullptr)
        return 0;
    char32_t value = 0;
    for (int i = 0; i < nLength; ++i) {
        const int digit = bHex ? HexValue(pszDigits[i]) : ((pszDigits[i] >= '0' && pszDigits[i] <= '9') ? pszDigits[i] - '0' : -1);
        if (digit < 0)
            return 0;
        value = value * (bHex ? 16 : 10) + static_cast<char32_t>(digit);
        // Leading zeros may be many; a value past the last code point names nothing.
        if (value > 0x10FFFF)
            return 0;
    }
    if (value >= 0x80 && value < 0xA0) {
        value = kCp1252High[value - 0x80];
        if (value < 0xA0) // the five codes Windows-1252 leaves unassigned
            return 0;
    } else if (value < 0x100) {
        const EntityRow* pRow = value > 0 ? RowOfCode(static_cast<int>(value)) : nullptr;
        if (pRow == nullptr)
            return 0;
    } else if (value >= 0xD800 && value <= 0xDFFF) {
        return 0;
    }
    if (value < 0x80) {
        pOut[0] = static_cast<char>(value);
        return 1;
    }
    if (value < 0x800) {
        pOut[0] = static_cast<char>(0xC0 | (value >> 6));
        pOut[1] = static_cast<char>(0x80 | (value & 0x3F));
        return 2;
    }
    if (value < 0x10000) {
        pOut[0] = static_cast<char>(0xE0 | (value >> 12));
        pOut[1] = static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        pOut[2] = static_cast<char>(0x80 | (value & 0x3F));
        return 3;
    }
    pOut[0] = static_cast<char>(0xF0 | (value >> 18));
    pOut[1] = static_cast<char>(0x80 | ((value >> 12) & 0x3F));
    pOut[2] = static_cast<char>(0x80 | ((value >> 6) & 0x3F));
    pOut[3] = static_cast<char>(0x80 | (value & 0x3F));
    return 4;
}

std::string EscapeHtml(std::string_view text, HtmlEscape kind)
{
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (const char ch : text) {
        switch (ch) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"':
            if (kind == HtmlEscape::Attribute)
                out += "&quot;";
            else
                out += ch;
            break;
        // Readers fold a raw line break or tab inside an attribute value away; written as a
        // reference it reads back as the character itself.
        case '\n': out += kind == HtmlEscape::Attribute ? "&#10;" : "\n"; break;
        case '\r': out += kind == HtmlEscape::Attribute ? "&#13;" : "\r"; break;
        case '\t': out += kind == HtmlEscape::Attribute ? "&#9;" : "\t"; break;
        default: out += ch; break;
        }
    }
    return out;
}
