#include "engine/html/CTranslatingFile.h"

#include "platform/core/CodePage.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CPendingQueue, CObject)
IMPLEMENT_DYNAMIC(CTranslatingFile, CFile)

namespace {

constexpr BYTE kEsc = 27;

bool InRange(int ch, int lo, int hi)
{
    return ch >= lo && ch <= hi;
}

} // namespace

// CPendingQueue

BOOL CPendingQueue::Put(BYTE ch)
{
    // A full ring would wrap onto its oldest byte; refuse rather than lose it.
    if (m_nCount >= kCapacity)
        return FALSE;
    m_ring[m_nWrite] = ch;
    m_nWrite = (m_nWrite + 1) & 0xFF;
    ++m_nCount;
    return TRUE;
}

void CPendingQueue::DropLast(int n)
{
    n = std::clamp(n, 0, m_nCount);
    m_nWrite = (m_nWrite - n) & 0xFF;
    m_nCount -= n;
}

BYTE CPendingQueue::PopLast()
{
    if (m_nCount == 0)
        return 0;
    m_nWrite = (m_nWrite - 1) & 0xFF;
    --m_nCount;
    return m_ring[m_nWrite];
}

BYTE CPendingQueue::PeekLast(int i) const
{
    if (i < 0 || i >= m_nCount)
        return 0;
    return m_ring[(m_nWrite - 1 - i) & 0xFF];
}

BYTE CPendingQueue::GetFirst()
{
    if (m_nCount == 0)
        return 0;
    const BYTE ch = m_ring[m_nRead];
    m_nRead = (m_nRead + 1) & 0xFF;
    --m_nCount;
    return ch;
}

int CPendingQueue::ReadInto(BYTE* pBuffer, int nMax)
{
    int n = 0;
    while (n < nMax && m_nCount > 0)
        pBuffer[n++] = GetFirst();
    return n;
}

// CTranslatingFile

CTranslatingFile::CTranslatingFile(CFile* pWrapped) : m_pWrapped(pWrapped) {}

CTranslatingFile::CTranslatingFile(CFile* pWrapped, const CPageCharset& known)
    : m_pWrapped(pWrapped), m_charset(known), m_bCharsetKnown(true)
{
}

CTranslatingFile::~CTranslatingFile() = default;

int CTranslatingFile::ScoreJis(const BYTE* pText, UINT nLength)
{
    int nSequences = 0;
    int state = 0; // 0 idle, 1 after ESC, 2 after ESC "$", 3 after ESC "("
    for (UINT i = 0; i < nLength; ++i) {
        const BYTE ch = pText[i];
        if (ch >= 128)
            return 0;
        if (ch == kEsc) {
            state = 1;
        } else if (state == 1 && (ch == '$' || ch == '(')) {
            state = ch == '$' ? 2 : 3;
        } else if (state == 2 && (ch == '@' || ch == 'B')) {
            ++nSequences;
            state = 0;
        } else if (state == 3 && (ch == '@' || ch == 'B' || ch == 'I' || ch == 'J')) {
            ++nSequences;
            state = 0;
        } else {
            state = 0;
        }
    }
    if (nSequences >= 5)
        return 4;
    if (nSequences >= 3)
        return 3;
    return nSequences >= 1 ? 1 : 0;
}

int CTranslatingFile::ScoreEucJp(const BYTE* pText, UINT nLength)
{
    int nChars = 0;
    for (UINT i = 0; i < nLength;) {
        const BYTE ch = pText[i];
        if (ch < 128) {
            ++i;
            continue;
        }
        // The sample may end inside a character; what is there so far is judged.
        auto follower = [&](UINT k, int lo, int hi) { return i + k >= nLength || InRange(pText[i + k], lo, hi); };
        UINT nSize = 0;
        if (ch == 0x8E) {
            if (!follower(1, 0xA1, 0xDF))
                return 0;
            nSize = 2;
        } else if (ch == 0x8F) {
            if (!follower(1, 0xA1, 0xFE) || !follower(2, 0xA1, 0xFE))
                return 0;
            nSize = 3;
        } else if (InRange(ch, 0xA1, 0xFE)) {
            if (!follower(1, 0xA1, 0xFE))
                return 0;
            nSize = 2;
        } else {
            return 0;
        }
        ++nChars;
        i += nSize;
    }
    if (nChars >= 10)
        return 4;
    return nChars >= 3 ? 3 : 1;
}

int CTranslatingFile::ScoreShiftJis(const BYTE* pText, UINT nLength)
{
    int d = 0, s = 0, o = 0;
    for (UINT i = 0; i < nLength;) {
        const BYTE ch = pText[i];
        if (InRange(ch, 0x81, 0x9F) || InRange(ch, 0xE0, 0xFC)) {
            if (i + 1 < nLength) {
                const BYTE trail = pText[i + 1];
                if (!InRange(trail, 0x40, 0x7E) && !InRange(trail, 0x80, 0xFC))
                    return 0;
            }
            ++d;
            i += 2;
            continue;
        }
        if (ch == 0x7F || ch == 0xA0)
            ++o;
        else
            ++s;
        ++i;
    }
    const int p = std::max(0, o - (d + s) / 50);
    if (d >= 11 && p == 0)
        return 4;
    if (d >= 5 && s >= 5 && p <= 5)
        return 3;
    if (p == 0 && d >= 1)
        return 1;
    return 0;
}

bool CTranslatingFile::IsMultibyteUtf8(const BYTE* pText, UINT nLength)
{
    bool bMultibyte = false;
    for (UINT i = 0; i < nLength;) {
        const BYTE ch = pText[i];
        if (ch < 0x80) {
            ++i;
            continue;
        }
        UINT nSize = 0;
        BYTE lo = 0x80, hi = 0xBF; // the range of the second byte
        if (InRange(ch, 0xC2, 0xDF)) {
            nSize = 2;
        } else if (InRange(ch, 0xE0, 0xEF)) {
            nSize = 3;
            if (ch == 0xE0)
                lo = 0xA0;
            else if (ch == 0xED)
                hi = 0x9F;
        } else if (InRange(ch, 0xF0, 0xF4)) {
            nSize = 4;
            if (ch == 0xF0)
                lo = 0x90;
            else if (ch == 0xF4)
                hi = 0x8F;
        } else {
            return false;
        }
        for (UINT k = 1; k < nSize && i + k < nLength; ++k) {
            const BYTE next = pText[i + k];
            if (k == 1 ? !InRange(next, lo, hi) : !InRange(next, 0x80, 0xBF))
                return false;
        }
        bMultibyte = true;
        i += nSize;
    }
    return bMultibyte;
}

int CTranslatingFile::PickEncoding(const BYTE* pText, UINT nLength, UINT nCodePage)
{
    // Genuine Shift-JIS and EUC-JP text is never valid UTF-8 (their lead bytes stand where
    // UTF-8 wants continuation bytes), and ISO-2022-JP is 7-bit; but UTF-8 accented Latin text
    // can pass for EUC-JP, and converting it would garble the page. Such pages are copied.
    if (IsMultibyteUtf8(pText, nLength))
        return encodingNone;
    const int baseline = nCodePage == 932 ? 2 : 3;
    const int jis = ScoreJis(pText, nLength);
    const int euc = ScoreEucJp(pText, nLength);
    const int sjis = ScoreShiftJis(pText, nLength);
    const int best = std::max({baseline, jis, euc, sjis});
    if (baseline == best)
        return encodingNone;
    if (sjis == best)
        return encodingShiftJis;
    if (jis == best)
        return encodingJis;
    return encodingEucJp;
}

void CTranslatingFile::JisToShiftJis(BYTE j1, BYTE j2, BYTE& s1, BYTE& s2)
{
    s1 = static_cast<BYTE>((j1 + 1) / 2 + (j1 < 95 ? 112 : 176));
    if (j1 % 2 == 0)
        s2 = static_cast<BYTE>(j2 + 126);
    else
        s2 = static_cast<BYTE>(j2 > 95 ? j2 + 32 : j2 + 31);
}

void CTranslatingFile::PutPair(BYTE j1, BYTE j2)
{
    BYTE s1 = 0, s2 = 0;
    JisToShiftJis(j1, j2, s1, s2);
    m_queue.Put(s1);
    m_queue.Put(s2);
}

void CTranslatingFile::ConvertJis(BYTE ch)
{
    if (m_nHeld > 0 && m_held[0] == kEsc) {
        m_held[m_nHeld++] = ch;
        if (m_nHeld == 2) {
            if (ch == '$' || ch == '(' || ch == '&')
                return;
        } else {
            const BYTE c1 = m_held[1];
            bool bKnown = true;
            if (c1 == '$' && (ch == '@' || ch == 'B'))
                m_bDoubleByte = true;
            else if (c1 == '(' && (ch == 'B' || ch == 'J'))
                m_bDoubleByte = false;
            else if (!(c1 == '&' && ch == '@')) // the announcer goes, the mode stays
                bKnown = false;
            if (bKnown) {
                m_nHeld = 0;
                return;
            }
        }
        // Not a sequence we know: the bytes before the breaking one pass unchanged, and the
        // breaking one is taken afresh (it may start a sequence itself).
        for (int k = 0; k + 1 < m_nHeld; ++k)
            m_queue.Put(m_held[k]);
        m_nHeld = 0;
        ConvertJis(ch);
        return;
    }
    if (m_nHeld == 1) {
        const BYTE j1 = m_held[0];
        m_nHeld = 0;
        if (InRange(ch, 33, 126)) {
            PutPair(j1, ch);
            return;
        }
        m_queue.Put(j1);
    }
    if (ch == kEsc) {
        m_held[0] = ch;
        m_nHeld = 1;
    } else if (m_bDoubleByte && InRange(ch, 33, 126)) {
        m_held[0] = ch;
        m_nHeld = 1;
    } else {
        m_queue.Put(ch);
    }
}

void CTranslatingFile::ConvertEucJp(BYTE ch)
{
    if (m_nHeld > 0) {
        const BYTE lead = m_held[0];
        bool bFits = false;
        if (lead == 0x8E)
            bFits = InRange(ch, 0xA1, 0xDF);
        else
            bFits = InRange(ch, 0xA1, 0xFE);
        if (bFits) {
            if (lead == 0x8E) {
                m_queue.Put(ch);
                m_nHeld = 0;
            } else if (lead == 0x8F) {
                m_held[m_nHeld++] = ch;
                if (m_nHeld == 3) {
                    // JIS X 0212 has no Shift-JIS code.
                    m_queue.Put('.');
                    m_nHeld = 0;
                }
            } else {
                PutPair(static_cast<BYTE>(lead - 0x80), static_cast<BYTE>(ch - 0x80));
                m_nHeld = 0;
            }
            return;
        }
        // A sequence that breaks off passes unchanged.
        for (int k = 0; k < m_nHeld; ++k)
            m_queue.Put(m_held[k]);
        m_nHeld = 0;
    }
    if (ch == 0x8E || ch == 0x8F || InRange(ch, 0xA1, 0xFE)) {
        m_held[0] = ch;
        m_nHeld = 1;
    } else {
        m_queue.Put(ch);
    }
}

void CTranslatingFile::Convert(BYTE ch)
{
    if (m_nEncoding == encodingJis)
        ConvertJis(ch);
    else if (m_nEncoding == encodingEucJp)
        ConvertEucJp(ch);
    else
        m_queue.Put(ch);
}

void CTranslatingFile::FinishConverter()
{
    // Whatever an unfinished sequence held is delivered as it stands.
    for (int k = 0; k < m_nHeld; ++k)
        m_queue.Put(m_held[k]);
    m_nHeld = 0;
    m_nState = kEnded;
}

bool CTranslatingFile::FillReadBuffer()
{
    if (m_bEndOfInput || m_pWrapped == nullptr) {
        m_bEndOfInput = TRUE;
        return false;
    }
    const UINT nRead = m_pWrapped->Read(m_readBuffer, kReadSize);
    if (nRead == 0) {
        m_bEndOfInput = TRUE;
        return false;
    }
    m_nValid = static_cast<int>(std::min<UINT>(nRead, kReadSize));
    m_nSourceBytes += static_cast<ULONGLONG>(m_nValid);
    m_nReadPos = 0;
    return true;
}

UINT CTranslatingFile::Read(void* lpBuf, UINT nCount)
{
    if (nCount == 0 || lpBuf == nullptr)
        return 0;
    if (m_bFirstRead) {
        m_bFirstRead = 0;
        if (!FillReadBuffer()) {
            m_nState = kEnded;
            m_bDecodeEnded = true;
            return 0;
        }
        // The guess needs the whole sample; a file that hands out short reads (a network
        // stream) is asked again until the sample is full or the file ends.
        while (m_nValid < kReadSize) {
            const UINT nMore = m_pWrapped->Read(m_readBuffer + m_nValid, static_cast<UINT>(kReadSize - m_nValid));
            if (nMore == 0) {
                m_bEndOfInput = TRUE;
                break;
            }
            const int nTaken = static_cast<int>(std::min<UINT>(nMore, static_cast<UINT>(kReadSize - m_nValid)));
            m_nValid += nTaken;
            m_nSourceBytes += static_cast<ULONGLONG>(nTaken);
        }
        if (!m_bCharsetKnown)
            m_charset = CPageCharset::Detect(m_readBuffer, static_cast<UINT>(m_nValid));
        m_nEncoding = m_charset.GetJapaneseEncoding();
        m_pDecoder = std::make_unique<CPageDecoder>(m_charset);
    }
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
        const UINT nRead = ReadConverted(chunk, sizeof chunk);
        if (nRead == 0) {
            m_pDecoder->Finish(m_decoded);
            m_bDecodeEnded = true;
        } else {
            m_pDecoder->Decode(reinterpret_cast<const char*>(chunk), nRead, m_decoded);
        }
    }
    return nDone;
}

UINT CTranslatingFile::ReadConverted(BYTE* pOut, UINT nCount)
{
    UINT nDone = 0;
    const bool bCopy = m_nEncoding == encodingNone || m_nEncoding == encodingShiftJis;
    while (nDone < nCount) {
        nDone += static_cast<UINT>(m_queue.ReadInto(pOut + nDone, static_cast<int>(std::min<UINT>(nCount - nDone, 0x7FFFFFFF))));
        if (nDone == nCount || m_nState == kEnded)
            break;
        if (m_nReadPos >= m_nValid && !FillReadBuffer()) {
            FinishConverter();
            continue;
        }
        if (bCopy) {
            const UINT n = std::min<UINT>(nCount - nDone, static_cast<UINT>(m_nValid - m_nReadPos));
            std::memcpy(pOut + nDone, m_readBuffer + m_nReadPos, n);
            m_nReadPos += static_cast<int>(n);
            nDone += n;
        } else {
            Convert(m_readBuffer[m_nReadPos++]);
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
