#include "engine/html/CTranslatingFile.h"

#include "engine/html/CPageCharsetJudge.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CTranslatingFile, CFile)

CTranslatingFile::CTranslatingFile(CFile* pWrapped) : m_pWrapped(pWrapped) {}

CTranslatingFile::CTranslatingFile(CFile* pWrapped, const CPageCharset& known)
    : m_pWrapped(pWrapped), m_charset(known), m_bCharsetKnown(true)
{
}

CTranslatingFile::~CTranslatingFile() = default;

UINT CTranslatingFile::ReadSource(BYTE* pBuffer, UINT nCount)
{
    if (m_bSourceEnded || m_pWrapped == nullptr) {
        m_bSourceEnded = true;
        return 0;
    }
    const UINT nRead = std::min(m_pWrapped->Read(pBuffer, nCount), nCount);
    if (nRead == 0)
        m_bSourceEnded = true;
    m_nSourceBytes += nRead;
    return nRead;
}

void CTranslatingFile::ReadStart()
{
    m_bStarted = true;
    // The start must be whole, however short the wrapped file's reads are (a network stream):
    // it is asked again until the start is full or the file ends.
    BYTE buffer[kReadSize];
    while (m_ahead.size() < kReadSize) {
        const UINT nRead = ReadSource(buffer, static_cast<UINT>(kReadSize - m_ahead.size()));
        if (nRead == 0)
            break;
        m_ahead.append(reinterpret_cast<const char*>(buffer), nRead);
    }
    if (!m_bCharsetKnown) {
        // A page that declares no charset is read on as far as the detector wants to see it.
        CPageCharsetJudge judge(CPageCharsetJudge::ReadStart(reinterpret_cast<const BYTE*>(m_ahead.data()),
                                                              static_cast<UINT>(m_ahead.size())),
                                CPageCharset(), CPageCharsetJudge::Look::Start);
        judge.Add(m_ahead.data(), m_ahead.size());
        while (!judge.IsSettled()) {
            const UINT nRead = ReadSource(buffer, kReadSize);
            if (nRead == 0) {
                judge.Finish();
                break;
            }
            m_ahead.append(reinterpret_cast<const char*>(buffer), nRead);
            judge.Add(reinterpret_cast<const char*>(buffer), nRead);
        }
        m_charset = judge.GetReading().charset;
    }
    m_pDecoder = std::make_unique<CPageDecoder>(m_charset);
    m_pDecoder->Decode(m_ahead.data(), m_ahead.size(), m_decoded);
    m_ahead.clear();
    m_ahead.shrink_to_fit();
}

UINT CTranslatingFile::Read(void* lpBuf, UINT nCount)
{
    if (nCount == 0 || lpBuf == nullptr)
        return 0;
    if (!m_bStarted)
        ReadStart();
    BYTE* pOut = static_cast<BYTE*>(lpBuf);
    UINT nDone = 0;
    while (nDone < nCount) {
        if (m_nDecodedPos < m_decoded.size()) {
            const size_t n = std::min<size_t>(nCount - nDone, m_decoded.size() - m_nDecodedPos);
            std::memcpy(pOut + nDone, m_decoded.data() + m_nDecodedPos, n);
            m_nDecodedPos += n;
            nDone += static_cast<UINT>(n);
            continue;
        }
        m_decoded.clear();
        m_nDecodedPos = 0;
        if (m_bDecodeEnded)
            break;
        BYTE chunk[kReadSize * 2];
        const UINT nRead = ReadSource(chunk, sizeof chunk);
        if (nRead == 0) {
            m_pDecoder->Finish(m_decoded);
            m_bDecodeEnded = true;
        } else {
            m_pDecoder->Decode(reinterpret_cast<const char*>(chunk), nRead, m_decoded);
        }
    }
    return nDone;
}

BOOL CTranslatingFile::Open(LPCTSTR, UINT, CFileException*)
{
    return FALSE;
}

void CTranslatingFile::Write(const void*, UINT) {}

ULONGLONG CTranslatingFile::Seek(LONGLONG, UINT)
{
    return 0;
}

ULONGLONG CTranslatingFile::GetPosition() const
{
    return 0;
}

ULONGLONG CTranslatingFile::GetLength() const
{
    return 0;
}

void CTranslatingFile::SetLength(ULONGLONG) {}
void CTranslatingFile::Flush() {}
void CTranslatingFile::Close() {}
void CTranslatingFile::Abort() {}
void CTranslatingFile::LockRange(ULONGLONG, ULONGLONG) {}
void CTranslatingFile::UnlockRange(ULONGLONG, ULONGLONG) {}
