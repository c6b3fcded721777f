// CPageBytesCheck: tells, from all of a file's bytes, a file that is no text (a picture, an
// archive, a program saved under a page's name) from a page, and a page in UTF-16 from both.
#pragma once

#include "engine/project/CPageChecksum.h"
#include "platform/core/CString.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

class CPageBytesCheck {
public:
    enum class Kind {
        Text,   // a page in a charset of single bytes or of several (no NUL anywhere)
        Wide,   // UTF-16 or UTF-32: by its byte order mark, or UTF-16 by where its NULs stand
        Binary, // the header of a picture, archive or program, or NUL bytes no text has
    };

    // Takes the file's next bytes, its first ones first.
    void Add(const char* pBytes, size_t nCount);
    // Whether the bytes given so far settle what the file is, whatever follows (a mark, a
    // header, NULs no text has): the rest need not be read.
    bool IsSettled() const;
    // After the whole file was given.
    Kind GetKind() const;
    // The checksum of the bytes given: of the whole file, once it was given whole.
    uint64_t GetChecksum() const { return m_checksum.Get(); }
    // Why a file of that kind is left alone, in the user's words, as the Output Area and the
    // grid's row tell it; empty for text.
    CString GetText() const;
    // The same as a clause that goes after "Not saved:" or the Preview's "with its edits:".
    CString GetReason() const;

    // Reads the open file from its first byte to its end, or until the bytes settle it, without
    // moving its offset. A failed read ends the look where it failed: what was read is judged,
    // and the reader of the page meets the failure itself. bStopped is set when the stop asked
    // for it first; the check is then incomplete. The stop is asked before each read of
    // kFilePiece bytes.
    static constexpr size_t kFilePiece = 65536;
    static CPageBytesCheck OfFile(int fd, const std::function<bool()>& stopRequested, bool& bStopped);
    static CPageBytesCheck OfFile(int fd);

private:
    static constexpr size_t kHeadBytes = 16;
    // The header of a known binary format, read from the first bytes.
    bool HasBinaryHeader() const;
    // The byte order mark's charset ("UTF-16", "UTF-32"), or null; the charset of a wide page.
    const char* MarkedCharset() const;
    const char* WideCharset() const;
    // When the first two bytes are an ASCII character of UTF-16, the offset (0 or 1) of its
    // high byte, which tells the byte order; -1 for any other start.
    int WideHighParity() const;
    // The kind's text in one of its two wordings; empty for text.
    CString Told(CString (*pfnWide)(const char*), CString (*pfnBinary)()) const;
    bool HeadComplete() const { return m_nLength >= kHeadBytes; }
    std::string_view Head() const
    {
        return std::string_view(reinterpret_cast<const char*>(m_head), std::min<uint64_t>(m_nLength, kHeadBytes));
    }

    unsigned char m_head[kHeadBytes] = {};
    uint64_t m_nLength = 0;
    uint64_t m_nNuls[2] = {0, 0};       // NUL bytes at even and at odd offsets
    uint64_t m_nLastNul = UINT64_MAX;   // the offset of the last NUL seen
    bool m_bZeroUnit = false;           // two NULs at an even offset: no UTF-16 code unit
    CPageChecksum m_checksum;
};
