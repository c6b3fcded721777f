#include "engine/html/HtmlEntities.h"

#include "platform/core/CodePage.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace {

// The characters a decimal reference of up to three digits may name: 9, 10, 13, 32 to 126 and
// 160 to 255, each with its UTF-8 text.
struct EntityRow {
    char text[3];       // the character in UTF-8 and its terminator
    int code;
};

constexpr size_t kRowCount = 3 + (126 - 32 + 1) + (255 - 160 + 1);

using EntityTable = std::array<EntityRow, kRowCount>;

constexpr EntityTable BuildTable()
{
    EntityTable rows{};
    size_t n = 0;
    auto add = [&](int code) {
        if (code < 0x80) {
            rows[n].text[0] = static_cast<char>(code);
            rows[n].text[1] = '\0';
        } else {
            rows[n].text[0] = static_cast<char>(0xC0 | (code >> 6));
            rows[n].text[1] = static_cast<char>(0x80 | (code & 0x3F));
        }
        rows[n].code = code;
        ++n;
    };
    add(9);
    add(10);
    add(13);
    for (int code = 32; code <= 126; ++code)
        add(code);
    for (int code = 160; code <= 255; ++code)
        add(code);
    return rows;
}

constexpr EntityTable g_entities = BuildTable();

struct NamedReference {
    const char* name;   // without the ";"
    int length;         // of the name
    const char* text;   // UTF-8; two code points for a few names
    int bare;           // 1: also read without the ";", as pages written for old browsers have it

    constexpr std::string_view Name() const { return std::string_view(name, static_cast<size_t>(length)); }
};

constexpr NamedReference g_named[] = {
#include "engine/html/HtmlEntityNames.inc"
};

constexpr bool SortedByName()
{
    for (size_t i = 1; i < std::size(g_named); ++i) {
        if (!(g_named[i - 1].Name() < g_named[i].Name()) || g_named[i].Name() != g_named[i].name)
            return false;
    }
    return true;
}
static_assert(SortedByName(), "the names are looked up by binary search, by their lengths as given");

// Where the names of each first byte begin in the table, and (at 128) its end: a search looks
// only at the names that start as the name looked for does.
constexpr std::array<unsigned short, 129> BuildFirstByteIndex()
{
    std::array<unsigned short, 129> at{};
    size_t i = 0;
    for (size_t ch = 0; ch <= 128; ++ch) {
        while (i < std::size(g_named) && static_cast<unsigned char>(g_named[i].name[0]) < ch)
            ++i;
        at[ch] = static_cast<unsigned short>(i);
    }
    return at;
}
constexpr std::array<unsigned short, 129> g_firstByteAt = BuildFirstByteIndex();
static_assert(g_firstByteAt[128] == std::size(g_named), "every name begins with an ASCII byte");

const EntityRow* RowOfCode(int code)
{
    // Rows are in ascending code order.
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

LPCSTR LookupHtmlEntity(LPCSTR pszName, int nLength, HtmlRefEnd end)
{
    if (pszName == nullptr || nLength <= 0)
        return nullptr;
    const std::string_view name(pszName, static_cast<size_t>(nLength));
    const auto first = static_cast<unsigned char>(name[0]);
    if (first >= 128)
        return nullptr;
    const NamedReference* pEnd = g_named + g_firstByteAt[first + 1];
    const NamedReference* it = std::lower_bound(g_named + g_firstByteAt[first], pEnd, name,
        [](const NamedReference& row, std::string_view value) { return row.Name() < value; });
    if (it == pEnd || it->Name() != name)
        return nullptr;
    if (end == HtmlRefEnd::Open && it->bare == 0)
        return nullptr;
    return it->text;
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

namespace {

bool IsAsciiAlnum(char ch)
{
    return (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
}

// Whether the text, which starts with "&", begins with a whole reference ("&name;", "&#digits;",
// "&#xhex;") that names no character, and so reads as it stands.
bool StartsUnknownReference(std::string_view text)
{
    const bool bNumeric = text.size() > 1 && text[1] == '#';
    const size_t nFirst = bNumeric ? 2 : 1;
    size_t i = nFirst;
    while (i < text.size() && IsAsciiAlnum(text[i]))
        ++i;
    if (i == nFirst || i >= text.size() || text[i] != ';')
        return false;
    const std::string_view body = text.substr(nFirst, i - nFirst);
    if (!bNumeric)
        return LookupHtmlEntity(body.data(), static_cast<int>(body.size())) == nullptr;
    char decoded[4];
    const bool bHex = body[0] == 'x' || body[0] == 'X';
    if (bHex)
        return body.size() == 1 || DecodeNumericCharRef(body.data() + 1, static_cast<int>(body.size() - 1), true, decoded) == 0;
    return DecodeNumericCharRef(body.data(), static_cast<int>(body.size()), false, decoded) == 0;
}

} // namespace

std::string EscapeHtml(std::string_view text, HtmlEscape kind)
{
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        switch (ch) {
        case '&':
            // A reference that names nothing ("&nosuch;") was read as it stands and is written so;
            // every other "&" is escaped, so that it reads back as itself.
            if (StartsUnknownReference(text.substr(i)))
                out += ch;
            else
                out += "&amp;";
            break;
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
