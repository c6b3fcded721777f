// ReadingChange: how a page's bytes, kept as they are under a new declaration, read otherwise
// than they did: a relabel that changes a letter is a change of the page's text, and is shown so.
#pragma once

#include "engine/html/CPageCharset.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct ReadingChange {
    size_t nCount = 0;  // the characters that read otherwise; 0 when the text reads alike
    std::string before; // the first of them, as the old charset reads it, in UTF-8
    std::string after;  // and as the new one does
    // The first few that read otherwise, each once, as the old charset and the new one read them.
    static constexpr size_t kKinds = 4;
    std::vector<std::pair<std::string, std::string>> kinds;
    bool bMoreKinds = false; // others read otherwise besides

    // "6 characters read otherwise: ñ → ń, ¡ → Ą, ¢ → ą", and "and others" after the first few;
    // empty when the text reads alike.
    std::string Describe() const;
};

// Compares the readings of bytes given in pieces, in the order of the page, however they are
// cut: a page of any size is compared a piece at a time.
class CReadingComparer {
public:
    CReadingComparer(const CPageCharset& before, const CPageCharset& after);
    CReadingComparer(const CReadingComparer&) = delete;
    CReadingComparer& operator=(const CReadingComparer&) = delete;

    void Add(std::string_view bytes);
    // What the pieces given so far read otherwise; a character cut off at their end is left out.
    const ReadingChange& GetChange() const { return m_change; }

private:
    void Note(const std::string& before, const std::string& after);

    CPageCharset m_before;
    CPageDecoder m_after;
    bool m_bAlike;         // both charsets write alike: nothing to compare
    // Of two one-byte charsets, what each reads every byte beyond ASCII as: a page of any size is
    // compared a byte at a time by the table. Empty for other charsets.
    std::vector<std::pair<std::string, std::string>> m_bytesRead;
    // Of each such byte, whether the two read it alike, or otherwise and noted already, which
    // counts it alone.
    enum class Byte : unsigned char { Alike, Otherwise, Noted };
    std::vector<Byte> m_bytes;
    std::string m_pending; // the bytes of a character the new charset has not read whole yet
    std::string m_read;
    ReadingChange m_change;
};

// The bytes read in the charset they were read in and in the one they are declared now.
ReadingChange CompareReadings(std::string_view bytes, const CPageCharset& before, const CPageCharset& after);
