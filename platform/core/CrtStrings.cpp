#include "platform/core/CrtStrings.h"

#include "platform/core/CodePage.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

char CrtLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

void CopyPart(char* out, size_t size, const char* from, size_t length)
{
    if (out == nullptr)
        return;
    if (length >= size)
        length = size - 1;
    std::memcpy(out, from, length);
    out[length] = '\0';
}

// One character of a UTF-8 text: its code point and its length in bytes. Overlong forms,
// surrogates and values past U+10FFFF are not characters: their first byte stands alone and reads
// as its Windows-1252 character.
struct Utf8Char {
    char32_t cp;
    size_t length;
};

Utf8Char DecodeAt(const unsigned char* p, size_t n)
{
    unsigned char b = p[0];
    if (b < 0x80)
        return {b, 1};
    auto stray = [b]() -> Utf8Char {
        if (b >= 0x80 && b <= 0x9F)
            return {kCp1252High[b - 0x80], 1};
        return {b, 1};
    };
    size_t len = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2;
        cp = b & 0x1F;
        min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3;
        cp = b & 0x0F;
        min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4;
        cp = b & 0x07;
        min = 0x10000;
    } else {
        return stray();
    }
    if (len > n)
        return stray();
    for (size_t i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return stray();
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return stray();
    return {cp, len};
}

size_t EncodedLength(char32_t cp)
{
    return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
}

// Lower case of the letters whose pairs are regular: ASCII, Latin-1, Latin Extended-A, Greek and
// Cyrillic. Other characters are their own fold.
char32_t FoldChar(char32_t c)
{
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? c + 0x20 : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return c + 0x20;
    if (c >= 0x100 && c <= 0x17F) {
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F)
            return c;
        if (c == 0x178)
            return 0xFF;
        bool oddPairs = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (oddPairs)
            return (c & 1) != 0 ? c + 1 : c;
        return (c & 1) == 0 ? c + 1 : c;
    }
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2)
        return c + 0x20;
    if (c >= 0x410 && c <= 0x42F)
        return c + 0x20;
    if (c >= 0x400 && c <= 0x40F)
        return c + 0x50;
    return c;
}

// The capital of each small letter that FoldChar knows, found by running the fold backwards.
char32_t UpperChar(char32_t c)
{
    static const std::vector<char32_t> table = [] {
        std::vector<char32_t> t(0x500);
        for (char32_t u = 0; u < t.size(); ++u)
            t[u] = u;
        for (char32_t u = t.size(); u-- > 0;) {
            const char32_t f = FoldChar(u);
            if (f != u && f < t.size())
                t[f] = u;
        }
        return t;
    }();
    return c < table.size() ? table[c] : c;
}

std::string MapKeepingOffsets(std::string_view text, char32_t (*map)(char32_t))
{
    std::string out(text);
    auto* p = reinterpret_cast<const unsigned char*>(text.data());
    size_t i = 0;
    while (i < text.size()) {
        Utf8Char c = DecodeAt(p + i, text.size() - i);
        // A stray byte keeps its byte: its Windows-1252 reading is for display only.
        const bool valid = c.length > 1 || p[i] < 0x80;
        const char32_t m = map(c.cp);
        if (valid && m != c.cp && EncodedLength(m) == c.length) {
            std::string enc;
            Utf8Encode(m, enc);
            out.replace(i, c.length, enc);
        }
        i += c.length;
    }
    return out;
}

int Collate(const unsigned char* a, const unsigned char* b, bool fold)
{
    if (a == nullptr)
        a = reinterpret_cast<const unsigned char*>("");
    if (b == nullptr)
        b = reinterpret_cast<const unsigned char*>("");
    size_t na = std::strlen(reinterpret_cast<const char*>(a));
    size_t nb = std::strlen(reinterpret_cast<const char*>(b));
    size_t ia = 0;
    size_t ib = 0;
    while (ia < na && ib < nb) {
        Utf8Char ca = DecodeAt(a + ia, na - ia);
        Utf8Char cb = DecodeAt(b + ib, nb - ib);
        char32_t xa = fold ? FoldChar(ca.cp) : ca.cp;
        char32_t xb = fold ? FoldChar(cb.cp) : cb.cp;
        if (xa != xb)
            return xa < xb ? -1 : 1;
        ia += ca.length;
        ib += cb.length;
    }
    if (ia < na)
        return 1;
    if (ib < nb)
        return -1;
    return 0;
}

} // namespace

int _mbscoll(const unsigned char* a, const unsigned char* b)
{
    return Collate(a, b, false);
}

int _mbsicoll(const unsigned char* a, const unsigned char* b)
{
    return Collate(a, b, true);
}

std::string FoldCaseKeepOffsets(std::string_view text)
{
    return MapKeepingOffsets(text, &FoldChar);
}

std::string UpperCaseKeepOffsets(std::string_view text)
{
    return MapKeepingOffsets(text, &UpperChar);
}

char* _strlwr(char* str)
{
    for (char* p = str; p != nullptr && *p != '\0'; ++p)
        *p = CrtLower(*p);
    return str;
}

char* _strupr(char* str)
{
    for (char* p = str; p != nullptr && *p != '\0'; ++p)
        *p = Upper(*p);
    return str;
}

int _strnicmp(const char* a, const char* b, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        int ca = static_cast<unsigned char>(CrtLower(a[i]));
        int cb = static_cast<unsigned char>(CrtLower(b[i]));
        if (ca != cb)
            return ca - cb;
        if (ca == 0)
            break;
    }
    return 0;
}

int _stricmp(const char* a, const char* b)
{
    return _strnicmp(a, b, static_cast<size_t>(-1));
}

void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext)
{
    if (path == nullptr)
        path = "";
    CopyPart(drive, _MAX_DRIVE, "", 0);
    const char* slash = std::strrchr(path, '/');
    const char* name = slash != nullptr ? slash + 1 : path;
    CopyPart(dir, _MAX_DIR, path, static_cast<size_t>(name - path));
    const char* dot = std::strrchr(name, '.');
    if (dot == nullptr)
        dot = name + std::strlen(name);
    CopyPart(fname, _MAX_FNAME, name, static_cast<size_t>(dot - name));
    CopyPart(ext, _MAX_EXT, dot, std::strlen(dot));
}

void _makepath(char* path, const char* /*drive*/, const char* dir, const char* fname, const char* ext)
{
    if (path == nullptr)
        return;
    std::string out;
    if (dir != nullptr && *dir != '\0') {
        out = dir;
        if (out.back() != '/')
            out += '/';
    }
    if (fname != nullptr)
        out += fname;
    if (ext != nullptr && *ext != '\0') {
        if (*ext != '.')
            out += '.';
        out += ext;
    }
    CopyPart(path, _MAX_PATH, out.data(), out.size());
}
