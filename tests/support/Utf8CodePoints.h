// The characters of a UTF-8 text as code points, for tests that type or look for them one by one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

inline std::vector<std::uint32_t> Utf8CodePoints(const std::string& text)
{
    std::vector<std::uint32_t> out;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t n = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::uint32_t cp = n == 1 ? lead : lead & (0x7Fu >> n);
        for (size_t k = 1; k < n && i + k < text.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        out.push_back(cp);
        i += n;
    }
    return out;
}

// The text as a page that names no character set holds it: what ASCII lacks as numeric
// character references.
inline std::string NumericReferences(const std::string& text)
{
    std::string out;
    for (std::uint32_t cp : Utf8CodePoints(text))
        out += cp < 0x80 ? std::string(1, static_cast<char>(cp)) : "&#" + std::to_string(cp) + ";";
    return out;
}
