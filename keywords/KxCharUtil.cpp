#include "keywords/KxCharUtil.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace kx {

void LowerInPlace(std::string& text)
{
    for (char& c : text)
        c = ToLower(c);
}

size_t DeleteChars(std::string& text, std::string_view set)
{
    size_t before = text.size();
    std::erase_if(text, [set](char c) { return set.find(c) != std::string_view::npos; });
    return before - text.size();
}

size_t DeleteChars(std::string& text, const CharSet& set)
{
    size_t before = text.size();
    std::erase_if(text, [&set](char c) { return set.Has(c); });
    return before - text.size();
}

void TrimTrailingWhite(std::string& text)
{
    while (!text.empty() && IsWhite(static_cast<unsigned char>(text.back())))
        text.pop_back();
}

size_t CopyUntil(std::string_view text, std::string_view separators, char* pOut, size_t cbOut)
{
    size_t end = text.find_first_of(separators);
    size_t len = end == std::string_view::npos ? text.size() : end;
    if (pOut != nullptr && cbOut > 0) {
        size_t n = std::min(len, cbOut - 1);
        std::memcpy(pOut, text.data(), n);
        pOut[n] = '\0';
    }
    return end == std::string_view::npos ? text.size() : end + 1;
}

std::string NarrowUcs2(const unsigned char* pBytes, size_t cbBytes)
{
    std::string out;
    out.reserve(cbBytes / 2);
    for (size_t i = 0; i + 1 < cbBytes; i += 2) {
        unsigned unit = pBytes[i] | (static_cast<unsigned>(pBytes[i + 1]) << 8);
        out.push_back(unit > 255 ? '?' : static_cast<char>(unit));
    }
    return out;
}

std::string WidenToUcs2(std::string_view text)
{
    std::string out;
    out.reserve(text.size() * 2 + 2);
    for (char c : text) {
        out.push_back(c);
        out.push_back('\0');
    }
    out.push_back('\0');
    out.push_back('\0');
    return out;
}

size_t Ucs2Length(const char16_t* text)
{
    size_t n = 0;
    while (text != nullptr && text[n] != 0)
        ++n;
    return n;
}

int CountCapitals(std::string_view text)
{
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) {
        return IsCapital(static_cast<unsigned char>(c));
    }));
}

bool BeginsWithTwoCapitals(std::string_view text)
{
    return text.size() >= 2 && IsCapital(static_cast<unsigned char>(text[0]))
        && IsCapital(static_cast<unsigned char>(text[1]));
}

bool IsCapitalised(std::string_view word)
{
    return word.size() >= 2 && IsCapital(static_cast<unsigned char>(word[0]))
        && IsSmall(static_cast<unsigned char>(word[1]));
}

} // namespace kx

namespace kx {
namespace {

// The length of the well-formed UTF-8 sequence at the start of text: 0 when it is not one, -1
// when the text ends inside what may still become one.
int SequenceLength(std::string_view text)
{
    auto at = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = at(0);
    int length = 0;
    unsigned char low = 0x80, high = 0xBF;   // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;          // no overlong forms
        else if (lead == 0xED)
            high = 0x9F;         // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;         // nothing above U+10FFFF
    } else {
        return 0;
    }
    for (int i = 1; i < length; ++i) {
        if (static_cast<size_t>(i) >= text.size())
            return -1;
        const unsigned char c = at(static_cast<size_t>(i));
        if (i == 1 ? (c < low || c > high) : (c < 0x80 || c > 0xBF))
            return 0;
    }
    return length;
}

char Latin1OfCodePoint(unsigned cp)
{
    if (cp == 0xA0)
        return ' ';
    if (cp <= 0xFF)
        return static_cast<char>(cp);
    if (cp >= 0x2018 && cp <= 0x2019)
        return static_cast<char>(0x91 + (cp - 0x2018));
    if (cp >= 0x201C && cp <= 0x201D)
        return static_cast<char>(0x93 + (cp - 0x201C));
    return ' ';
}

} // namespace

namespace {

// Writes the character at text[i] (not ASCII) and answers the bytes it took; 0 when the text
// ends inside a sequence that may still be completed.
size_t DecodeAt(std::string_view text, size_t i, std::string& out)
{
    const int length = SequenceLength(text.substr(i));
    if (length < 0)
        return 0;
    if (length == 0) {
        out.push_back(text[i]);   // not UTF-8: a Latin-1 character
        return 1;
    }
    unsigned cp = static_cast<unsigned char>(text[i]) & (0x7Fu >> length);
    for (int k = 1; k < length; ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(text[i + static_cast<size_t>(k)]) & 0x3Fu);
    out.push_back(Latin1OfCodePoint(cp));
    return static_cast<size_t>(length);
}

} // namespace

void Utf8ToLatin1(std::string_view text, std::string& carry, bool bFinal, std::string& out)
{
    out.reserve(out.size() + text.size() + carry.size());
    size_t i = 0;
    if (!carry.empty()) {
        // The sequence cut at the end of the last piece is read on from the head of this one.
        // A sequence is at most 4 bytes, so 4 more bytes settle every one that starts in the
        // carry, unless the piece is shorter.
        std::string head = std::move(carry);
        carry.clear();
        const size_t carried = head.size();
        head.append(text.substr(0, 4));
        size_t h = 0;
        while (h < carried) {
            size_t used = DecodeAt(head, h, out);
            if (used == 0) {
                // The whole piece is inside the head and still ends inside the sequence.
                if (bFinal)
                    out.append(head, h, std::string::npos);
                else
                    carry = head.substr(h);
                return;
            }
            h += used;
        }
        i = h - carried;
    }
    const size_t n = text.size();
    while (i < n) {
        // Runs of ASCII are copied as they stand, found eight bytes at a time.
        const size_t start = i;
        while (i + 8 <= n) {
            uint64_t chunk;
            std::memcpy(&chunk, text.data() + i, sizeof chunk);
            if ((chunk & 0x8080808080808080ull) != 0)
                break;
            i += 8;
        }
        while (i < n && static_cast<unsigned char>(text[i]) < 0x80)
            ++i;
        out.append(text.data() + start, i - start);
        if (i >= n)
            break;
        const size_t used = DecodeAt(text, i, out);
        if (used == 0) {
            if (bFinal)
                out.append(text.substr(i));
            else
                carry.assign(text.substr(i));
            return;
        }
        i += used;
    }
}

std::string Latin1ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        unsigned cp = c;
        if (c >= 0x91 && c <= 0x92)
            cp = 0x2018 + (c - 0x91);
        else if (c >= 0x93 && c <= 0x94)
            cp = 0x201C + (c - 0x93);
        if (cp < 0x80) {
            out.push_back(ch);
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

} // namespace kx
