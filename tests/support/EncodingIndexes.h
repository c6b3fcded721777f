// The tables of the charsets as browsers read and write them, as Debian ships them for scripts:
// a reader of charsets independent of the program's own, for the tests to check what the program
// reads and writes against.
#pragma once

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace encoding_indexes {

// Each table a name and a list of numbers (-1 where a place holds no character).
using Tables = std::map<std::string, std::vector<long>>;

// The tables, read once.
inline const Tables& BrowserTables()
{
    static const Tables tables = [] {
        Tables read;
        std::ifstream file("/usr/share/javascript/text-encoding/encoding-indexes.js");
        const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        for (size_t at = text.find("\n  \""); at != std::string::npos; at = text.find("\n  \"", at + 1)) {
            const size_t nNameEnd = text.find('"', at + 4);
            std::vector<long>& numbers = read[text.substr(at + 4, nNameEnd - at - 4)];
            const size_t nEnd = text.find('\n', nNameEnd); // a table a line
            for (size_t i = text.find('[', nNameEnd); i < nEnd; ++i) {
                if (text.compare(i, 4, "null") == 0)
                    numbers.push_back(-1);
                else if (std::isdigit(static_cast<unsigned char>(text[i])) != 0)
                    numbers.push_back(std::strtol(text.c_str() + i, nullptr, 10));
                else
                    continue;
                i = text.find_first_of(",]", i);
            }
        }
        return read;
    }();
    return tables;
}

// The characters of a one-byte charset's bytes (its table's name: "windows-1258"), as code
// points; false when a byte holds none, or the charset has no table.
inline bool ReadOneByte(const std::string& table, const std::string& bytes, std::u32string& text)
{
    const auto found = BrowserTables().find(table);
    if (found == BrowserTables().end() || found->second.size() != 128)
        return false;
    text.clear();
    for (const char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        const long value = byte < 0x80 ? byte : found->second[byte - 0x80];
        if (value < 0)
            return false;
        text += static_cast<char32_t>(value);
    }
    return true;
}

// The same in UTF-8: a tone mark that the charset holds apart from its letter stays apart, as
// browsers read it. Empty when a byte holds no character.
inline std::string ReadOneByteAsUtf8(const std::string& table, const std::string& bytes)
{
    std::u32string text;
    std::string utf8;
    if (!ReadOneByte(table, bytes, text))
        return utf8;
    for (const char32_t ch : text) {
        if (ch < 0x80) {
            utf8 += static_cast<char>(ch);
        } else if (ch < 0x800) {
            utf8 += static_cast<char>(0xC0 | (ch >> 6));
            utf8 += static_cast<char>(0x80 | (ch & 0x3F));
        } else {
            utf8 += static_cast<char>(0xE0 | (ch >> 12));
            utf8 += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (ch & 0x3F));
        }
    }
    return utf8;
}

} // namespace encoding_indexes
