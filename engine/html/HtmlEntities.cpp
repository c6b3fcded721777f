#include "engine/html/HtmlEntities.h"

#include <array>
#include <cstring>

namespace {

struct EntityRow {
    char text[2];       // the character and its terminator
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

// Codes 9, 10, 13, 32 to 126 and 160 to 255.
constexpr size_t kRowCount = 3 + (126 - 32 + 1) + (255 - 160 + 1);

using EntityTable = std::array<EntityRow, kRowCount>;

constexpr EntityTable BuildTable()
{
    EntityTable rows{};
    size_t n = 0;
    auto add = [&](int code, const char* name) {
        rows[n].text[0] = static_cast<char>(static_cast<unsigned char>(code));
        rows[n].text[1] = '\0';
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
    for (int code = 161; code <= 255; ++code)
        add(code, kLatin1Names[code - 161]);
    return rows;
}

constinit const EntityTable g_entities = BuildTable();

} // namespace

LPCSTR LookupHtmlEntity(LPCSTR pszName, int nLength)
{
    if (pszName == nullptr || nLength <= 0)
        return nullptr;
    // From the last row to the first, as the table has always been searched.
    for (size_t i = g_entities.size(); i-- > 0;) {
        const EntityRow& row = g_entities[i];
        if (row.name != nullptr && std::strlen(row.name) == static_cast<size_t>(nLength)
            && std::memcmp(row.name, pszName, static_cast<size_t>(nLength)) == 0)
            return row.text;
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
    for (const EntityRow& row : g_entities) {
        if (row.code == value)
            return row.text;
    }
    return nullptr;
}
