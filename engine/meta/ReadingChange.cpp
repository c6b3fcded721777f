#include "engine/meta/ReadingChange.h"

#include <array>

namespace {

std::string ReadIn(const CPageCharset& charset, std::string_view bytes)
{
    CPageDecoder decoder(charset);
    std::string text;
    decoder.Decode(bytes.data(), bytes.size(), text);
    decoder.Finish(text);
    return text;
}

// The next character of UTF-8 text, as its bytes.
std::string_view NextOf(std::string_view text, size_t& at)
{
    const size_t nFrom = at;
    CPageCharset::NextCharacter(text, at);
    return text.substr(nFrom, at - nFrom);
}

} // namespace

ReadingChange CompareReadings(std::string_view bytes, const CPageCharset& before, const CPageCharset& after)
{
    ReadingChange change;
    if (before.WritesAs(after))
        return change;
    if (!before.IsMultiByte() && !after.IsMultiByte()) {
        // One byte, one character: each byte beyond ASCII reads one way or the other.
        std::array<std::string, 128> readBefore, readAfter;
        std::array<bool, 128> known{};
        for (const char ch : bytes) {
            const auto by = static_cast<unsigned char>(ch);
            if (by < 0x80)
                continue;
            if (!known[by - 0x80]) {
                readBefore[by - 0x80] = ReadIn(before, std::string_view(&ch, 1));
                readAfter[by - 0x80] = ReadIn(after, std::string_view(&ch, 1));
                known[by - 0x80] = true;
            }
            if (readBefore[by - 0x80] == readAfter[by - 0x80])
                continue;
            if (change.nCount++ == 0) {
                change.before = readBefore[by - 0x80];
                change.after = readAfter[by - 0x80];
            }
        }
        return change;
    }
    // Characters of more than one byte: the two texts side by side, a character at a time.
    const std::string one = ReadIn(before, bytes), two = ReadIn(after, bytes);
    size_t nOne = 0, nTwo = 0;
    while (nOne < one.size() && nTwo < two.size()) {
        const std::string_view a = NextOf(one, nOne), b = NextOf(two, nTwo);
        if (a == b)
            continue;
        if (change.nCount++ == 0) {
            change.before = std::string(a);
            change.after = std::string(b);
        }
    }
    change.nCount += (one.size() - nOne > 0 || two.size() - nTwo > 0) ? 1 : 0;
    return change;
}
