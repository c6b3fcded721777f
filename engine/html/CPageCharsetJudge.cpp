#include "engine/html/CPageCharsetJudge.h"

#include "engine/html/CTranslatingFile.h"
#include "platform/core/CodePage.h"

#include <algorithm>

namespace {

// The escape that begins every shift of ISO-2022-JP, the one Japanese encoding in 7 bits.
constexpr BYTE kEscape = 0x1B;

bool InRange(BYTE ch, BYTE lo, BYTE hi)
{
    return ch >= lo && ch <= hi;
}

// Whether bytes the Japanese guess took for EUC-JP or Shift-JIS are Korean: pairs of the Korean
// charset throughout, most of them Hangul syllables (leads 0xB0 to 0xC8), few of them kana (leads
// 0xA4 and 0xA5), which Japanese text is full of.
bool LooksKorean(const BYTE* pText, UINT nLength)
{
    UINT nPairs = 0, nHangul = 0, nKana = 0;
    for (UINT i = 0; i < nLength;) {
        const BYTE lead = pText[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (i + 1 >= nLength)
            break; // cut off at the end of the start
        const BYTE trail = pText[i + 1];
        if (!InRange(lead, 0x81, 0xFE)
            || !(InRange(trail, 0x41, 0x5A) || InRange(trail, 0x61, 0x7A) || InRange(trail, 0x81, 0xFE)))
            return false;
        ++nPairs;
        if (trail >= 0xA1) {
            nHangul += InRange(lead, 0xB0, 0xC8) ? 1 : 0;
            nKana += InRange(lead, 0xA4, 0xA5) ? 1 : 0;
        }
        i += 2;
    }
    return nPairs > 0 && 2 * nHangul > nPairs && 5 * nKana < nPairs;
}

// A byte that no ASCII text holds: one of 8 bits, or the escape of ISO-2022-JP.
bool IsBeyondAscii(BYTE ch)
{
    return ch >= 0x80 || ch == kEscape;
}

const char* JapaneseName(int nJapanese)
{
    return nJapanese == CTranslatingFile::encodingJis ? "ISO-2022-JP"
         : nJapanese == CTranslatingFile::encodingEucJp ? "EUC-JP"
                                                         : "Shift_JIS";
}

} // namespace

PageCharsetReading CPageCharsetJudge::ReadStart(const BYTE* pText, UINT nLength)
{
    if (pText == nullptr)
        nLength = 0;
    nLength = std::min(nLength, kStartSize);
    const std::string_view start(reinterpret_cast<const char*>(pText), nLength);
    if (CPageCharset::HasUtf8Mark(start))
        return {CPageCharset::FromName("utf-8"), CharsetEvidence::ByteOrderMark};
    if (const std::string declared = CPageCharset::FindDeclaredName(pText, nLength); !declared.empty()) {
        if (CPageCharset charset = CPageCharset::FromName(declared); charset.GetKind() != CPageCharset::Kind::Undeclared)
            return {charset, CharsetEvidence::Declaration};
    }
    // Most pages are plain ASCII: neither Japanese, UTF-8 nor Windows-1252 can be told in them,
    // and the weighing below would only say so after several passes.
    if (std::none_of(pText, pText + nLength, IsBeyondAscii))
        return {CPageCharset(), CharsetEvidence::Guess};
    CUtf8Census census(CUtf8Census::Look::Whole);
    census.Add(start.data(), start.size());
    census.FinishStart();
    if (census.IsUtf8())
        return {CPageCharset::FromName("utf-8"), CharsetEvidence::Bytes};
    return Guess(pText, nLength);
}

PageCharsetReading CPageCharsetJudge::Guess(const BYTE* pText, UINT nLength)
{
    const int nJapanese = CTranslatingFile::PickEncoding(pText, nLength, GetACP());
    if (nJapanese != CTranslatingFile::encodingNone) {
        if (nJapanese != CTranslatingFile::encodingJis && LooksKorean(pText, nLength))
            return {CPageCharset::FromName("euc-kr"), CharsetEvidence::Guess};
        // The page is read through the Japanese converters into Shift-JIS; it is written in the
        // encoding it came in.
        CPageCharset charset;
        charset.m_kind = CPageCharset::Kind::Iconv;
        charset.m_nJapanese = nJapanese;
        charset.m_bMultiByte = true;
        charset.m_readName = "CP932";
        charset.m_name = JapaneseName(nJapanese);
        charset.m_writeName = nJapanese == CTranslatingFile::encodingShiftJis ? "CP932" : charset.m_name;
        return {charset, CharsetEvidence::Guess};
    }
    if (std::any_of(pText, pText + nLength, [](BYTE ch) { return ch >= 0x80; }))
        return {CPageCharset::FromName("windows-1252"), CharsetEvidence::Guess};
    return {CPageCharset(), CharsetEvidence::Guess};
}

CPageCharsetJudge::CPageCharsetJudge(const PageCharsetReading& start, const CPageCharset& target, Look look)
    : m_start(start), m_target(target), m_look(look),
      m_census(look == Look::Whole ? CUtf8Census::Look::Whole : CUtf8Census::Look::ToFirstMultibyte)
{
    if (look != Look::Whole)
        return;
    const CPageCharset& declared = start.charset;
    if (start.evidence == CharsetEvidence::Declaration && declared.IsMultiByte()
        && declared.GetKind() == CPageCharset::Kind::Iconv)
        m_pDeclared = std::make_unique<CPageDecoder>(declared);
    if (target.GetKind() == CPageCharset::Kind::Iconv)
        m_pTarget = std::make_unique<CPageDecoder>(target);
}

CPageCharsetJudge::~CPageCharsetJudge() = default;

void CPageCharsetJudge::Add(const char* pBytes, size_t nLength)
{
    if (m_look == Look::Start && m_start.charset.GetKind() != CPageCharset::Kind::Utf8)
        return;
    m_census.Add(pBytes, nLength);
    // The guess of a page whose start is ASCII alone is made from the bytes beyond it.
    if (m_look == Look::Whole && m_laterStart.size() < kStartSize) {
        const auto* p = reinterpret_cast<const BYTE*>(pBytes);
        const BYTE* pFrom = m_laterStart.empty() ? std::find_if(p, p + nLength, IsBeyondAscii) : p;
        const size_t nTaken = std::min<size_t>(static_cast<size_t>(p + nLength - pFrom), kStartSize - m_laterStart.size());
        m_laterStart.append(reinterpret_cast<const char*>(pFrom), nTaken);
    }
    // Only whether they read is looked for: what they read as goes.
    for (CPageDecoder* pDecoder : {m_pDeclared.get(), m_pTarget.get()}) {
        if (pDecoder != nullptr && pDecoder->IsReadWhole()) {
            m_scratch.clear();
            pDecoder->Decode(pBytes, nLength, m_scratch);
        }
    }
}

void CPageCharsetJudge::Finish()
{
    m_bFinished = true;
    m_census.Finish();
    for (CPageDecoder* pDecoder : {m_pDeclared.get(), m_pTarget.get()}) {
        if (pDecoder != nullptr) {
            m_scratch.clear();
            pDecoder->Finish(m_scratch);
        }
    }
    m_scratch.clear();
    m_scratch.shrink_to_fit();
}

bool CPageCharsetJudge::IsSettled() const
{
    if (m_look == Look::Whole)
        return m_bFinished;
    return m_start.charset.GetKind() != CPageCharset::Kind::Utf8 || m_census.IsSettled();
}

PageCharsetReading CPageCharsetJudge::GetReading() const
{
    return GetReadingWithStart(m_start);
}

PageCharsetReading CPageCharsetJudge::GetReadingWithStart(const PageCharsetReading& start) const
{
    // Browsers read a page declaring UTF-8 whose bytes are no UTF-8 in their own charset, and so
    // does the scan.
    if (start.charset.GetKind() == CPageCharset::Kind::Utf8 && m_census.HasInvalid() && !m_census.HasMultibyte())
        return {CPageCharset::FromName("windows-1252"), CharsetEvidence::Guess};
    if (start.charset.GetKind() == CPageCharset::Kind::Undeclared && m_look == Look::Whole && m_census.HasNonAscii()) {
        if (m_census.IsUtf8())
            return {CPageCharset::FromName("utf-8"), CharsetEvidence::Bytes};
        return Guess(reinterpret_cast<const BYTE*>(m_laterStart.data()), static_cast<UINT>(m_laterStart.size()));
    }
    return start;
}

bool CPageCharsetJudge::ReadsWholeInDeclared() const
{
    if (m_start.charset.GetKind() == CPageCharset::Kind::Utf8)
        return m_census.ReadsWhole();
    return m_pDeclared != nullptr && m_pDeclared->IsReadWhole();
}

bool CPageCharsetJudge::ReadsWholeInTarget() const
{
    switch (m_target.GetKind()) {
    case CPageCharset::Kind::Utf8: return m_census.ReadsWhole();
    case CPageCharset::Kind::Windows1252: return true; // every byte is a character of it
    case CPageCharset::Kind::Iconv: return m_pTarget != nullptr && m_pTarget->IsReadWhole();
    default: return false;
    }
}

CPageCharsetJudge::Verdict CPageCharsetJudge::Decide() const
{
    const PageCharsetReading reading = GetReading();
    if (m_target.WritesAs(reading.charset))
        return {Change::Relabel, reading};
    // A charset that is known: the bytes are in it.
    const bool bDeclaredMultiByte = reading.evidence == CharsetEvidence::Declaration && reading.charset.IsMultiByte();
    if (reading.evidence == CharsetEvidence::ByteOrderMark || (bDeclaredMultiByte && ReadsWholeInDeclared()))
        return {Change::Convert, reading};
    if (m_census.IsUtf8()) {
        const PageCharsetReading utf8{CPageCharset::FromName("utf-8"), CharsetEvidence::Bytes};
        return {m_target.WritesAs(utf8.charset) ? Change::Relabel : Change::Convert, utf8};
    }
    // The label cannot tell: a one-byte charset, or a guess. The user's charset is taken when the
    // bytes read whole in it; UTF-8 characters beside bytes that are none are in two charsets.
    if (!bDeclaredMultiByte) {
        if (ReadsWholeInTarget())
            return {Change::Relabel, reading};
        const bool bOneByteReading = !reading.charset.IsMultiByte() || reading.charset.GetKind() == CPageCharset::Kind::Utf8;
        if (bOneByteReading && m_census.IsMixed())
            return {Change::Mixed, reading};
    }
    return {Change::Convert, reading};
}
