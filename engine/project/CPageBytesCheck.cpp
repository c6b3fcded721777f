#include "engine/project/CPageBytesCheck.h"

#include "engine/project/PageReadability.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <unistd.h>

namespace {

// What files of these formats begin with. Each holds a byte no page begins with, or a text no
// page begins with ("%PDF-"), so that no page is taken for one.
constexpr std::string_view kHeaders[] = {
    {"\x89PNG\r\n\x1A\n", 8},          // PNG
    {"GIF87a", 6},                     // GIF
    {"GIF89a", 6},
    {"\xFF\xD8\xFF", 3},               // JPEG
    {"%PDF-", 5},                      // PDF, which may hold no NUL at all
    {"PK\x03\x04", 4},                 // ZIP and the formats built on it (office files, jars)
    {"PK\x05\x06", 4},                 // an empty ZIP
    {"PK\x07\x08", 4},                 // a ZIP of several parts
    {"\x1F\x8B", 2},                   // gzip
    {"\xFD" "7zXZ\0", 6},              // xz
    {"7z\xBC\xAF\x27\x1C", 6},         // 7z
    {"\x7F" "ELF", 4},                 // ELF programs and libraries
    {"\x28\xB5\x2F\xFD", 4},           // Zstandard
    {"Rar!\x1A\x07", 6},               // RAR
    {"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8}, // older office files
    {"wOFF", 4},                       // web fonts
    {"wOF2", 4},
    {"\xCA\xFE\xBA\xBE", 4},           // Java classes
};

// RIFF files (WebP pictures, WAVE sounds, AVI films) name their form after the size.
constexpr std::string_view kRiffForms[] = {"WEBP", "WAVE", "AVI "};

bool IsAsciiText(unsigned char by)
{
    return by == '\t' || by == '\n' || by == '\r' || (by >= 0x20 && by < 0x7F);
}

} // namespace

void CPageBytesCheck::Add(const char* pBytes, size_t nCount)
{
    m_checksum.Add(pBytes, nCount);
    if (m_nLength < kHeadBytes) {
        const size_t nHead = std::min<size_t>(nCount, kHeadBytes - static_cast<size_t>(m_nLength));
        std::memcpy(m_head + m_nLength, pBytes, nHead);
    }
    // Only the NULs are looked at one by one; the rest goes by at memchr's pace.
    const char* p = pBytes;
    const char* pEnd = pBytes + nCount;
    while (p < pEnd) {
        const auto* pNul = static_cast<const char*>(std::memchr(p, '\0', static_cast<size_t>(pEnd - p)));
        if (pNul == nullptr)
            break;
        const uint64_t nAt = m_nLength + static_cast<uint64_t>(pNul - pBytes);
        ++m_nNuls[nAt & 1];
        if ((nAt & 1) == 1 && m_nLastNul == nAt - 1)
            m_bZeroUnit = true;
        m_nLastNul = nAt;
        p = pNul + 1;
    }
    m_nLength += nCount;
}

const char* CPageBytesCheck::MarkedCharset() const
{
    return MarkedWideCharset(Head());
}

const char* CPageBytesCheck::WideCharset() const
{
    // Without a mark only UTF-16 is told by its NULs.
    const char* pszMarked = MarkedCharset();
    return pszMarked != nullptr ? pszMarked : "UTF-16";
}

bool CPageBytesCheck::HasBinaryHeader() const
{
    const std::string_view head = Head();
    for (const std::string_view header : kHeaders) {
        if (head.substr(0, header.size()) == header)
            return true;
    }
    if (head.substr(0, 4) == "RIFF" && head.size() >= 12) {
        for (const std::string_view form : kRiffForms) {
            if (head.substr(8, 4) == form)
                return true;
        }
    }
    // bzip2: its name and block size, then the mark of its first block or of its end.
    if (head.size() >= 10 && head.substr(0, 3) == "BZh" && head[3] >= '1' && head[3] <= '9')
        return head.substr(4, 6) == "1AY&SY" || head.substr(4, 6) == "\x17\x72\x45\x38\x50\x90";
    return false;
}

int CPageBytesCheck::WideHighParity() const
{
    if (m_nLength < 2)
        return -1;
    for (const int nHigh : {1, 0}) {
        if (m_head[nHigh] == 0 && IsAsciiText(m_head[1 - nHigh]))
            return nHigh;
    }
    return -1;
}

bool CPageBytesCheck::IsSettled() const
{
    if (!HeadComplete())
        return false;
    if (MarkedCharset() != nullptr || HasBinaryHeader())
        return true;
    // NULs that no UTF-16 text holds: a whole code unit of them, or any after a start that is
    // no character.
    return m_nNuls[0] + m_nNuls[1] > 0 && (m_bZeroUnit || WideHighParity() < 0);
}

CPageBytesCheck::Kind CPageBytesCheck::GetKind() const
{
    if (MarkedCharset() != nullptr)
        return Kind::Wide;
    if (HasBinaryHeader())
        return Kind::Binary;
    if (m_nNuls[0] + m_nNuls[1] == 0)
        return Kind::Text;
    // UTF-16 without a mark begins with a character (markup or a blank), and its units are
    // whole. The ASCII characters its markup is made of have a NUL for their high byte; a low
    // byte is NUL only in the few characters U+xx00 (the ideographic space of Japanese text
    // among them), so most of its NULs stand on one side. A binary file's fall on both alike.
    const int nHigh = WideHighParity();
    if (nHigh >= 0 && !m_bZeroUnit && m_nLength % 2 == 0 && m_nNuls[1 - nHigh] * 4 < m_nNuls[nHigh])
        return Kind::Wide;
    return Kind::Binary;
}

CString CPageBytesCheck::GetText() const
{
    return Told(&WideCharsetText, &BinaryPageText);
}

CString CPageBytesCheck::GetReason() const
{
    return Told(&WideCharsetReason, &BinaryPageReason);
}

CString CPageBytesCheck::Told(CString (*pfnWide)(const char*), CString (*pfnBinary)()) const
{
    switch (GetKind()) {
    case Kind::Text:
        break;
    case Kind::Wide:
        return pfnWide(WideCharset());
    case Kind::Binary:
        return pfnBinary();
    }
    return CString();
}

CPageBytesCheck CPageBytesCheck::OfFile(int fd, const std::function<bool()>& stopRequested, bool& bStopped)
{
    bStopped = false;
    CPageBytesCheck check;
    char buffer[kFilePiece];
    off_t nOffset = 0;
    while (!check.IsSettled()) {
        if (stopRequested && stopRequested()) {
            bStopped = true;
            break;
        }
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, nOffset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        check.Add(buffer, static_cast<size_t>(n));
        nOffset += n;
    }
    return check;
}

CPageBytesCheck CPageBytesCheck::OfFile(int fd)
{
    bool bStopped = false;
    return OfFile(fd, {}, bStopped);
}
