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

CReadingComparer::CReadingComparer(const CPageCharset& before, const CPageCharset& after)
    : m_before(before), m_after(after), m_bAlike(before.WritesAs(after))
{
}

void CReadingComparer::Add(std::string_view bytes)
{
    if (m_bAlike)
        return;
    // The bytes are walked by the characters the new declaration reads, each compared with what
    // the old one reads the same bytes as: "é" of UTF-8 is "Ã©" of Latin-1, one character read
    // otherwise. ASCII reads alike in both between characters.
    for (const char byte : bytes) {
        if (m_pending.empty() && static_cast<unsigned char>(byte) < 0x80)
            continue;
        m_read.clear();
        m_after.Decode(&byte, 1, m_read);
        m_pending += byte;
        if (m_read.empty())
            continue;
        const std::string readBefore = ReadIn(m_before, m_pending);
        m_pending.clear();
        if (readBefore == m_read)
            continue;
        if (m_change.nCount++ == 0) {
            m_change.before = readBefore;
            m_change.after = m_read;
        }
    }
}

ReadingChange CompareReadings(std::string_view bytes, const CPageCharset& before, const CPageCharset& after)
{
    CReadingComparer comparer(before, after);
    comparer.Add(bytes);
    return comparer.GetChange();
}
