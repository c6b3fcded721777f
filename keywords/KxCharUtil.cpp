#include "keywords/KxCharUtil.h"

#include <algorithm>
#include <cstring>

namespace kx {

bool IsCapital(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xD6) || (c >= 0xD9 && c <= 0xDD);
}

bool IsSmall(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xF6) || (c >= 0xF9 && c <= 0xFD);
}

bool IsWhite(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\b';
}

char ToLower(char c)
{
    auto u = static_cast<unsigned char>(c);
    return IsCapital(u) ? static_cast<char>(u + 0x20) : c;
}

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
