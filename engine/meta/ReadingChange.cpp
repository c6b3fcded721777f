#include "engine/meta/ReadingChange.h"

#include <algorithm>
#include <cstdio>

namespace {

bool IsOneByteCharset(const CPageCharset& charset)
{
    return !charset.IsMultiByte() && charset.GetKind() != CPageCharset::Kind::Utf8
        && charset.GetKind() != CPageCharset::Kind::Undeclared;
}

} // namespace

CReadingComparer::CReadingComparer(const CPageCharset& before, const CPageCharset& after)
    : m_before(before), m_after(after), m_bAlike(before.WritesAs(after))
{
    if (m_bAlike || !IsOneByteCharset(before) || !IsOneByteCharset(after))
        return;
    m_bytesRead.resize(0x80);
    m_bytes.resize(0x80);
    for (size_t i = 0; i < m_bytesRead.size(); ++i) {
        const char byte = static_cast<char>(0x80 + i);
        m_bytesRead[i] = {before.Decode(std::string_view(&byte, 1)), after.Decode(std::string_view(&byte, 1))};
        m_bytes[i] = m_bytesRead[i].first == m_bytesRead[i].second ? Byte::Alike : Byte::Otherwise;
    }
}

void CReadingComparer::Note(const std::string& before, const std::string& after)
{
    if (m_change.nCount++ == 0) {
        m_change.before = before;
        m_change.after = after;
    }
    if (std::find_if(m_change.kinds.begin(), m_change.kinds.end(), [&](const auto& kind) {
            return kind.first == before && kind.second == after;
        }) != m_change.kinds.end())
        return;
    if (m_change.kinds.size() < ReadingChange::kKinds)
        m_change.kinds.emplace_back(before, after);
    else
        m_change.bMoreKinds = true;
}

void CReadingComparer::Add(std::string_view bytes)
{
    if (m_bAlike)
        return;
    if (!m_bytesRead.empty()) {
        for (const char byte : bytes) {
            if (static_cast<unsigned char>(byte) < 0x80)
                continue;
            const size_t i = static_cast<unsigned char>(byte) - 0x80;
            if (m_bytes[i] == Byte::Noted) {
                ++m_change.nCount;
            } else if (m_bytes[i] == Byte::Otherwise) {
                Note(m_bytesRead[i].first, m_bytesRead[i].second);
                m_bytes[i] = Byte::Noted;
            }
        }
        return;
    }
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
        const std::string readBefore = m_before.Decode(m_pending);
        m_pending.clear();
        if (readBefore != m_read)
            Note(readBefore, m_read);
    }
}

namespace {

// A character as a line can show it: a combining mark on a dotted circle, a mark of direction or a
// control by its number, none as "nothing".
std::string Shown(const std::string& utf8)
{
    if (utf8.empty())
        return "nothing";
    size_t at = 0;
    const char32_t ch = CPageCharset::NextCharacter(utf8, at);
    const bool bMark = (ch >= 0x300 && ch <= 0x36F) || (ch >= 0x483 && ch <= 0x489) || (ch >= 0x591 && ch <= 0x5C7)
        || (ch >= 0x610 && ch <= 0x61A) || (ch >= 0x64B && ch <= 0x65F) || ch == 0x670 || ch == 0xE31
        || (ch >= 0xE34 && ch <= 0xE3A) || (ch >= 0xE47 && ch <= 0xE4E);
    if (bMark)
        return "\u25CC" + utf8;
    if ((ch >= 0x80 && ch <= 0x9F) || (ch >= 0x200B && ch <= 0x200F) || (ch >= 0x202A && ch <= 0x202E) || ch < 0x20) {
        char szCode[16];
        std::snprintf(szCode, sizeof(szCode), "U+%04X", static_cast<unsigned>(ch));
        return szCode;
    }
    return utf8;
}

} // namespace

std::string ReadingChange::Describe() const
{
    if (nCount == 0)
        return std::string();
    std::string words = std::to_string(nCount) + (nCount == 1 ? " character reads" : " characters read") + " otherwise: ";
    for (size_t i = 0; i < kinds.size(); ++i)
        words += (i == 0 ? "" : ", ") + Shown(kinds[i].first) + " \u2192 " + Shown(kinds[i].second);
    return bMoreKinds ? words + ", and others" : words;
}

ReadingChange CompareReadings(std::string_view bytes, const CPageCharset& before, const CPageCharset& after)
{
    CReadingComparer comparer(before, after);
    comparer.Add(bytes);
    return comparer.GetChange();
}
