#include "engine/meta/ReadingChange.h"

namespace {

std::string ReadIn(const CPageCharset& charset, std::string_view bytes)
{
    CPageDecoder decoder(charset);
    std::string text;
    decoder.Decode(bytes.data(), bytes.size(), text);
    decoder.Finish(text);
    return text;
}

} // namespace

ReadingChange CompareReadings(std::string_view bytes, const CPageCharset& before, const CPageCharset& after)
{
    ReadingChange change;
    if (before.WritesAs(after))
        return change;
    // The bytes are walked by the characters the new declaration reads, each compared with what
    // the old one reads the same bytes as: "é" of UTF-8 is "Ã©" of Latin-1, one character read
    // otherwise. ASCII reads alike in both between characters.
    CPageDecoder decoder(after);
    std::string read;
    size_t nStart = 0;
    bool bPending = false;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (!bPending && static_cast<unsigned char>(bytes[i]) < 0x80) {
            nStart = i + 1;
            continue;
        }
        read.clear();
        decoder.Decode(bytes.data() + i, 1, read);
        bPending = read.empty();
        if (bPending)
            continue;
        const std::string_view piece = bytes.substr(nStart, i + 1 - nStart);
        nStart = i + 1;
        const std::string readBefore = ReadIn(before, piece);
        if (readBefore == read)
            continue;
        if (change.nCount++ == 0) {
            change.before = readBefore;
            change.after = read;
        }
    }
    return change;
}
