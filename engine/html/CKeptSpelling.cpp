#include "engine/html/CKeptSpelling.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// The whitespace the page's reader trims, as CString trims it.
bool IsTrimmed(char ch)
{
    return ch == ' ' || (ch >= '\t' && ch <= '\r');
}

bool IsAlnum(char ch)
{
    return (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
}

bool IsContinuation(std::string_view text, size_t at)
{
    return at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
}

// Whether letters written after the bytes would be read with them: an "&" that a name or digits
// may still follow, or a "<" that may still open a tag.
bool EndsOpen(std::string_view bytes)
{
    size_t i = bytes.size();
    while (i > 0 && IsAlnum(bytes[i - 1]))
        --i;
    if (i > 0 && bytes[i - 1] == '#')
        --i;
    if (i > 0 && bytes[i - 1] == '&')
        return true;
    const size_t n = bytes.size();
    return (n >= 1 && bytes[n - 1] == '<') || (n >= 2 && bytes[n - 2] == '<' && std::string_view("/!?").find(bytes[n - 1]) != std::string_view::npos);
}

// One character of the old text (or a reference, or a whitespace run): its bytes in the page and
// where what it reads as stands in the text the reader makes of it.
struct Unit {
    size_t nFrom;
    size_t nLength;
    size_t nTextFrom;
    size_t nTextTo;
};

} // namespace

void CKeptSpelling::AddDecoded(int nFrom, int nLength, std::string_view utf8)
{
    m_pieces.push_back(Piece{nFrom, nLength, Kind::Decoded, std::string(utf8)});
}

void CKeptSpelling::Save(std::string& out) const
{
    // Each piece: where it starts, its length, its kind and the length of what it reads as, then
    // that.
    for (const Piece& piece : m_pieces) {
        const int32_t fields[4] = {piece.nFrom, piece.nLength, static_cast<int32_t>(piece.kind),
                                   static_cast<int32_t>(piece.decoded.size())};
        out.append(reinterpret_cast<const char*>(fields), sizeof fields);
        out += piece.decoded;
    }
}

bool CKeptSpelling::AddSaved(std::string_view saved)
{
    while (!saved.empty()) {
        int32_t fields[4] = {};
        if (saved.size() < sizeof fields)
            return false;
        std::memcpy(fields, saved.data(), sizeof fields);
        saved.remove_prefix(sizeof fields);
        if (fields[3] < 0 || saved.size() < static_cast<size_t>(fields[3]) || fields[2] < 0
            || fields[2] > static_cast<int32_t>(Kind::Silent))
            return false;
        m_pieces.push_back(Piece{fields[0], fields[1], static_cast<Kind>(fields[2]),
                                 std::string(saved.substr(0, static_cast<size_t>(fields[3])))});
        saved.remove_prefix(static_cast<size_t>(fields[3]));
    }
    return true;
}

std::string CKeptSpelling::Respell(std::string_view raw, int nBegin, int nEnd, std::string_view text, Reading reading,
                                   const CPageCharset& charset,
                                   const std::function<std::string(std::string_view)>& write) const
{
    // The pieces must be the old text, every byte of it, in order.
    int nAt = nBegin;
    for (const Piece& piece : m_pieces) {
        if (piece.nFrom != nAt || piece.nLength < 0)
            return write(text);
        nAt += piece.nLength;
    }
    if (m_pieces.empty() || nAt != nEnd || nBegin < 0 || static_cast<size_t>(nEnd) > raw.size())
        return write(text);
    const std::string_view old = raw.substr(static_cast<size_t>(nBegin), static_cast<size_t>(nEnd - nBegin));
    // Bytes kept beside new ones must mean the same wherever they stand: not so in a charset
    // whose escapes shift its mode.
    if (old.find_first_of("\x1B\x0E\x0F") != std::string_view::npos)
        return write(text);

    // What the reader makes of the old text, one character at a time.
    std::string read;
    std::vector<Unit> units;
    const auto addUnit = [&](size_t nFrom, size_t nLength, std::string_view decoded) {
        const size_t nTextFrom = read.size();
        for (const char ch : decoded) {
            // The reader drops NUL bytes.
            if (ch != '\0')
                read += ch;
        }
        units.push_back(Unit{nFrom, nLength, nTextFrom, read.size()});
    };
    for (const Piece& piece : m_pieces) {
        const auto nFrom = static_cast<size_t>(piece.nFrom);
        switch (piece.kind) {
        case Kind::Decoded: addUnit(nFrom, static_cast<size_t>(piece.nLength), piece.decoded); break;
        case Kind::Silent: addUnit(nFrom, static_cast<size_t>(piece.nLength), std::string_view()); break;
        case Kind::Space:
            addUnit(nFrom, static_cast<size_t>(piece.nLength), read.empty() ? std::string_view() : std::string_view(" "));
            break;
        case Kind::Text: {
            // A character at a time: whatever bytes the charset reads as one.
            CPageDecoder decoder(charset);
            std::string decoded;
            size_t nUnitFrom = nFrom;
            for (size_t i = nFrom; i < nFrom + static_cast<size_t>(piece.nLength); ++i) {
                decoded.clear();
                decoder.Decode(raw.data() + i, 1, decoded);
                if (!decoded.empty()) {
                    addUnit(nUnitFrom, i + 1 - nUnitFrom, decoded);
                    nUnitFrom = i + 1;
                }
            }
            decoded.clear();
            decoder.Finish(decoded);
            if (nUnitFrom < nFrom + static_cast<size_t>(piece.nLength) || !decoded.empty())
                addUnit(nUnitFrom, nFrom + static_cast<size_t>(piece.nLength) - nUnitFrom, decoded);
            break;
        }
        }
    }
    // The old text as the reader takes it, trimmed, to set against the new one; but where the new
    // text itself begins or ends with what the reader trims, it is set against the old text's
    // whitespace there, which it may share.
    size_t nLeft = 0;
    if (reading == Reading::Value && !(!text.empty() && IsTrimmed(text.front()))) {
        while (nLeft < read.size() && IsTrimmed(read[nLeft]))
            ++nLeft;
    }
    size_t nRight = read.size();
    if (!(!text.empty() && IsTrimmed(text.back()))) {
        while (nRight > nLeft && IsTrimmed(read[nRight - 1]))
            --nRight;
    }
    const std::string_view was = std::string_view(read).substr(nLeft, nRight - nLeft);

    // What the two texts share at their start and end, in whole characters.
    size_t nSame = 0;
    while (nSame < was.size() && nSame < text.size() && was[nSame] == text[nSame])
        ++nSame;
    while (nSame > 0 && (IsContinuation(was, nSame) || IsContinuation(text, nSame)))
        --nSame;
    const size_t nMost = std::min(was.size(), text.size()) - nSame;
    size_t nSameEnd = 0;
    while (nSameEnd < nMost && was[was.size() - 1 - nSameEnd] == text[text.size() - 1 - nSameEnd])
        ++nSameEnd;
    while (nSameEnd > 0 && (IsContinuation(was, was.size() - nSameEnd) || IsContinuation(text, text.size() - nSameEnd)))
        --nSameEnd;

    // The units that read as the shared start, and those that read as the shared end.
    size_t nKept = 0;
    while (nKept < units.size() && units[nKept].nTextTo <= nLeft + nSame)
        ++nKept;
    while (nKept > 0 && EndsOpen(old.substr(0, units[nKept - 1].nFrom + units[nKept - 1].nLength - static_cast<size_t>(nBegin))))
        --nKept;
    size_t nKeptEnd = units.size();
    while (nKeptEnd > nKept && units[nKeptEnd - 1].nTextFrom >= nLeft + was.size() - nSameEnd)
        --nKeptEnd;
    if (nKept == 0 && nKeptEnd == units.size())
        return write(text);

    const size_t nStartRead = nKept > 0 ? std::max(units[nKept - 1].nTextTo, nLeft) - nLeft : 0;
    const size_t nEndRead = nKeptEnd < units.size() ? nLeft + was.size() - std::min(units[nKeptEnd].nTextFrom, nLeft + was.size()) : 0;
    const size_t nStartBytes = nKept > 0 ? units[nKept - 1].nFrom + units[nKept - 1].nLength - static_cast<size_t>(nBegin) : 0;
    const size_t nEndBytes = nKeptEnd < units.size() ? units[nKeptEnd].nFrom - static_cast<size_t>(nBegin) : old.size();
    std::string spelled(old.substr(0, nStartBytes));
    spelled += write(text.substr(nStartRead, text.size() - nEndRead - nStartRead));
    spelled.append(old.substr(nEndBytes));
    return spelled;
}
