#include "engine/html/CPageCharsetJudge.h"

#include "platform/core/CodePage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace {

// What is sought in a one-byte charset's reading: a control character of the range U+0080 to
// U+009F, what such a charset makes of bytes that hold no text of it, or the sign ¤.
enum class Sought { Control, Sign };

// Where the first character sought stands in UTF-8 text, counted in characters; -1 when none does.
long long FindCharacter(const std::string& text, Sought sought)
{
    long long nCharacter = 0;
    for (size_t at = 0; at + 1 < text.size(); ++at) {
        const auto ch = static_cast<unsigned char>(text[at]);
        const auto next = static_cast<unsigned char>(text[at + 1]);
        if (ch == 0xC2 && (sought == Sought::Control ? next <= 0x9F : next == 0xA4))
            return nCharacter;
        nCharacter += (ch & 0xC0) != 0x80 ? 1 : 0;
    }
    return -1;
}

} // namespace

// A charset's decoder over all of the page's bytes, keeping where the first stands that it reads
// as no text, a byte it leaves unread or, for a one-byte charset, one it reads as a control, and
// where the first stands that it reads as the sign ¤.
struct CPageCharsetJudge::WholeReader {
    explicit WholeReader(const CPageCharset& charset) : decoder(charset), bOneByte(!charset.IsMultiByte()) {}

    void Add(const char* pBytes, size_t nLength)
    {
        scratch.clear();
        decoder.Decode(pBytes, nLength, scratch);
        if (bOneByte) {
            Note(Sought::Control, pBytes, nFirstControl, byFirstControl);
            Note(Sought::Sign, pBytes, nFirstSign, byFirstSign);
        }
        nRead += static_cast<long long>(nLength);
    }
    // Where the first character stands that the piece just decoded holds, unless one stood before.
    void Note(Sought sought, const char* pBytes, long long& nAt, BYTE& by) const
    {
        if (nAt >= 0)
            return;
        // A one-byte charset reads one character of each byte.
        if (const long long nCharacter = FindCharacter(scratch, sought); nCharacter >= 0) {
            nAt = nRead + nCharacter;
            by = static_cast<BYTE>(pBytes[nCharacter]);
        }
    }
    void Finish()
    {
        scratch.clear();
        decoder.Finish(scratch);
        scratch.clear();
        scratch.shrink_to_fit();
    }
    // Whether every byte read as text; if not, the first that did not.
    bool ReadsWhole(long long& nAt, BYTE& by) const
    {
        nAt = -1;
        if (!decoder.IsReadWhole()) {
            nAt = decoder.GetFirstUnread();
            by = decoder.GetFirstUnreadByte();
        }
        if (nFirstControl >= 0 && (nAt < 0 || nFirstControl < nAt)) {
            nAt = nFirstControl;
            by = byFirstControl;
        }
        return nAt < 0;
    }

    CPageDecoder decoder;
    bool bOneByte;
    long long nRead = 0;
    long long nFirstControl = -1;
    BYTE byFirstControl = 0;
    long long nFirstSign = -1;
    BYTE byFirstSign = 0;
    std::string scratch;
};

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
    return {CPageCharset(), CharsetEvidence::Guess};
}

CPageCharsetJudge::CPageCharsetJudge(const PageCharsetReading& start, const CPageCharset& target, Look look)
    : m_start(start), m_target(target), m_look(look),
      m_census(look == Look::Whole ? CUtf8Census::Look::Whole : CUtf8Census::Look::ToFirstMultibyte),
      m_detector(look == Look::Whole ? CCharsetDetector::Look::Whole : CCharsetDetector::Look::Sample)
{
    // The detector is asked of a page that declares nothing, and, looked at whole, of any page
    // but one a byte order mark decides.
    m_bDetect = start.charset.GetKind() == CPageCharset::Kind::Undeclared
        || (look == Look::Whole && start.evidence != CharsetEvidence::ByteOrderMark);
    if (look != Look::Whole)
        return;
    const CPageCharset& declared = start.charset;
    if (start.evidence == CharsetEvidence::Declaration && declared.GetKind() != CPageCharset::Kind::Utf8)
        m_pDeclared = std::make_unique<WholeReader>(declared);
    if (target.GetKind() == CPageCharset::Kind::Iconv || target.GetKind() == CPageCharset::Kind::Windows1252)
        m_pTarget = std::make_unique<WholeReader>(target);
}

CPageCharsetJudge::~CPageCharsetJudge() = default;

void CPageCharsetJudge::Add(const char* pBytes, size_t nLength)
{
    if (m_bDetect && !m_detector.IsSettled()) {
        m_textPiece.clear();
        m_textFilter.Add(pBytes, nLength, m_textPiece);
        m_detector.Add(m_textPiece.data(), m_textPiece.size());
        m_nLookedAt += nLength;
    }
    if (m_look == Look::Start && m_start.charset.GetKind() != CPageCharset::Kind::Utf8)
        return;
    m_census.Add(pBytes, nLength);
    if (m_look == Look::Whole)
        m_pageBytes.Add(std::string_view(pBytes, nLength));
    if (!m_bBeyondAscii) {
        const auto* p = reinterpret_cast<const unsigned char*>(pBytes);
        m_bBeyondAscii = std::any_of(p, p + nLength, CCharsetDetector::IsBeyondAscii);
    }
    for (WholeReader* pReader : {m_pDeclared.get(), m_pTarget.get()}) {
        if (pReader != nullptr)
            pReader->Add(pBytes, nLength);
    }
}

void CPageCharsetJudge::Finish()
{
    m_bFinished = true;
    m_detector.Finish();
    m_census.Finish();
    for (WholeReader* pReader : {m_pDeclared.get(), m_pTarget.get()}) {
        if (pReader != nullptr)
            pReader->Finish();
    }
}

bool CPageCharsetJudge::IsSettled() const
{
    if (m_look == Look::Whole)
        return m_bFinished;
    switch (m_start.charset.GetKind()) {
    case CPageCharset::Kind::Undeclared:
        return m_detector.IsSettled() || (m_detector.GetBytesBeyondAscii() == 0 && m_nLookedAt >= kReach);
    case CPageCharset::Kind::Utf8: return m_census.IsSettled();
    default: return true;
    }
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
    if (start.charset.GetKind() == CPageCharset::Kind::Undeclared)
        return Guessed();
    return start;
}

const CTextReading& CPageCharsetJudge::TextIn(const CPageCharset& charset) const
{
    for (const CTextReading& reading : m_readings) {
        if (reading.GetCharset().GetName() == charset.GetName() && reading.GetCharset().GetKind() == charset.GetKind())
            return reading;
    }
    m_readings.emplace_back(charset, m_detector.GetSample());
    return m_readings.back();
}

PageCharsetReading CPageCharsetJudge::Detected() const
{
    const CCharsetDetector::Answer& answer = m_detector.GetAnswer();
    CPageCharset charset = answer.charset;
    // The detector names KOI8-R for Ukrainian text too, whose letters the Ukrainian variant has
    // where KOI8-R has box drawing: of the two, the one that reads the text likelier is meant.
    if (charset.GetName() == "KOI8-R") {
        if (const CPageCharset ukrainian = CPageCharset::FromName("KOI8-U"); TextIn(ukrainian).Compare(TextIn(charset)) > 0)
            charset = ukrainian;
    }
    if (charset.GetKind() == CPageCharset::Kind::Undeclared || !TextIn(charset).IsText())
        return {CPageCharset(), CharsetEvidence::WeakGuess};
    return {charset, answer.bSure ? CharsetEvidence::Guess : CharsetEvidence::WeakGuess};
}

bool CPageCharsetJudge::DetectorSaysUtf8() const
{
    return m_detector.GetAnswer().charset.GetKind() == CPageCharset::Kind::Utf8;
}

PageCharsetReading CPageCharsetJudge::Guessed() const
{
    // ASCII alone reads alike in every charset: no guess is made.
    if (m_detector.GetBytesBeyondAscii() == 0)
        return {CPageCharset(), CharsetEvidence::Guess};
    const std::string& text = m_detector.GetSample();
    CUtf8Census census(CUtf8Census::Look::Whole);
    census.Add(text.data(), text.size());
    census.FinishPart();
    const PageCharsetReading utf8{CPageCharset::FromName("utf-8"), CharsetEvidence::Bytes};
    const PageCharsetReading windows1252{CPageCharset::FromName("windows-1252"), CharsetEvidence::WeakGuess};
    const PageCharsetReading detected = Detected();
    switch (detected.charset.GetKind()) {
    case CPageCharset::Kind::Utf8: return utf8;
    // The detector cannot tell; the bytes are UTF-8 all the same, or read as browsers read them.
    case CPageCharset::Kind::Undeclared: return census.IsUtf8() ? utf8 : windows1252;
    default: break;
    }
    if (detected.evidence == CharsetEvidence::Guess || detected.charset.IsMultiByte())
        return detected;
    // Too little text: UTF-8 of characters the charset guessed holds is UTF-8 indeed.
    if (census.IsUtf8() && WritesOwnInUtf8(census, detected.charset))
        return utf8;
    // From a few letters the detector may take Western text for another charset: the page is
    // read as browsers read one they cannot judge when that reads it as the same text, or
    // likelier text.
    const CTextReading& guess = TextIn(detected.charset);
    const CTextReading& browsers = TextIn(windows1252.charset);
    if (guess.ReadsAs(browsers) || browsers.Compare(guess) > 0)
        return windows1252;
    return detected;
}

bool CPageCharsetJudge::ReadsWhole(const CPageCharset& charset, const WholeReader* pReader, long long& nAt,
                                   BYTE& by) const
{
    nAt = -1;
    if (charset.GetKind() == CPageCharset::Kind::Utf8) {
        nAt = m_census.GetFirstInvalid();
        by = m_census.GetFirstInvalidByte();
        return m_census.ReadsWhole();
    }
    return pReader != nullptr && pReader->ReadsWhole(nAt, by);
}

bool CPageCharsetJudge::WritesOwnInUtf8(const CUtf8Census& census, const CPageCharset& charset)
{
    if (census.HoldsMoreCharacters())
        return true;
    // Pages labelled Latin-1 are read as Windows-1252, which holds more.
    const CPageCharset reader = charset.GetKind() == CPageCharset::Kind::Windows1252 ? CPageCharset::FromName("windows-1252")
                                                                                       : charset;
    std::string text;
    for (const char32_t ch : census.GetCharacters())
        Utf8Encode(ch, text);
    size_t nLacking = 0;
    reader.Encode(text, [&nLacking](char32_t, size_t, std::string&) { ++nLacking; });
    return nLacking < census.GetCharacters().size();
}

CPageCharsetJudge::Weighing CPageCharsetJudge::Weigh(const CTextReading& reading, const CTextReading& rival,
                                                     bool bRivalSure) const
{
    if (reading.ReadsAs(rival))
        return Weighing::Holds;
    if (const int nBetter = reading.Compare(rival); nBetter != 0)
        return nBetter > 0 ? Weighing::Holds : Weighing::Outweighed;
    // As likely: bytes that read whole as text of a multi-byte charset are rarely in another, and
    // a guess of a one-byte charset from a few letters does not outweigh them.
    const CPageCharset& one = reading.GetCharset();
    const CPageCharset& two = rival.GetCharset();
    if (!bRivalSure && one.IsMultiByte() && one.GetKind() != CPageCharset::Kind::Utf8 && !two.IsMultiByte())
        return Weighing::Holds;
    // A detector's judgement of the language rests on much of the text; where the two differ in a
    // few letters it cannot tell them apart.
    const bool bOneByte = !one.IsMultiByte() && !two.IsMultiByte() && one.GetKind() != CPageCharset::Kind::Utf8
        && two.GetKind() != CPageCharset::Kind::Utf8;
    if (bOneByte) {
        const CByteCounts counts(m_detector.GetSample());
        if (counts.CountReadOtherwise(one, two) * 8 <= counts.GetTotal())
            return Weighing::Holds;
    }
    return bRivalSure ? Weighing::Outweighed : Weighing::InDoubt;
}

CPageCharsetJudge::Weighing CPageCharsetJudge::WeighLabel() const
{
    const CPageCharset& label = m_start.charset;
    // A page labelled UTF-8 that holds UTF-8 characters is UTF-8: bytes beside them that are none
    // are strays, which refuse its conversion by name.
    if (label.GetKind() == CPageCharset::Kind::Utf8)
        return m_census.HasMultibyte() ? Weighing::Holds : Weighing::Outweighed;
    // A one-byte charset reads any bytes: those it reads as no text are not in it. Bytes that read
    // as text of a multi-byte charset are rarely in another, and a few that do not are strays.
    const CTextReading& reading = TextIn(label);
    long long nAt = -1;
    BYTE by = 0;
    if (!label.IsMultiByte() && (!ReadsWhole(label, m_pDeclared.get(), nAt, by) || !reading.IsText()))
        return Weighing::Outweighed;
    // From a few letters the detector takes text of any script for Western text: its guess weighs
    // against a multi-byte label only when it is sure, or multi-byte itself.
    const PageCharsetReading detected = Detected();
    const bool bSure = detected.evidence == CharsetEvidence::Guess;
    if (detected.charset.GetKind() != CPageCharset::Kind::Undeclared
        && (bSure || !label.IsMultiByte() || detected.charset.IsMultiByte())) {
        if (const Weighing weighing = Weigh(reading, TextIn(detected.charset), bSure); weighing != Weighing::Holds)
            return weighing;
    }
    // Bytes that are all UTF-8 and read likelier so are not in the label; pairs that only happen
    // to read as UTF-8 read no likelier. Nor are bytes the charset given reads as likelier text.
    if (m_census.IsUtf8() && TextIn(CPageCharset::FromName("utf-8")).Compare(reading) > 0)
        return Weighing::Outweighed;
    if (ReadsWhole(m_target, m_pTarget.get(), nAt, by) && TextIn(m_target).Compare(reading) > 0)
        return Weighing::Outweighed;
    return Weighing::Holds;
}

bool CPageCharsetJudge::IsMixedText(const PageCharsetReading& own) const
{
    const CPageCharset& charset = own.charset;
    if (!m_census.HasMultibyte() || !m_census.HasInvalid() || charset.IsMultiByte())
        return false;
    // The detector's word for UTF-8 counts also where some bytes are none: UTF-8 text beside them.
    if (DetectorSaysUtf8())
        return true;
    if (charset.GetKind() == CPageCharset::Kind::Undeclared)
        return false;
    // Read so, the text is much likelier than in the charset alone, and no less likely than in
    // the detector's charset: garbled text of another charset reads no better with a few pairs
    // taken for UTF-8.
    const CTextReading mixed = CTextReading::Mixed(charset, m_detector.GetSample());
    const CTextReading& alone = TextIn(charset);
    if (mixed.Compare(alone) <= 0 || mixed.GetOddities() * 2 >= alone.GetOddities())
        return false;
    const PageCharsetReading detected = Detected();
    return detected.charset.GetKind() == CPageCharset::Kind::Undeclared || TextIn(detected.charset).Compare(mixed) <= 0;
}

bool CPageCharsetJudge::TargetFits(const PageCharsetReading& own) const
{
    long long nAt = -1;
    BYTE by = 0;
    if (!ReadsWhole(m_target, m_pTarget.get(), nAt, by))
        return false;
    const CTextReading& reading = TextIn(m_target);
    if (!reading.IsText())
        return false;
    const PageCharsetReading detected = Detected();
    if (detected.charset.GetKind() != CPageCharset::Kind::Undeclared
        && Weigh(reading, TextIn(detected.charset), detected.evidence == CharsetEvidence::Guess) != Weighing::Holds)
        return false;
    // The page's own reading, a guess, gives way to the user's word only where that reads the text
    // as well; as well as a one-byte charset, UTF-8 is one of two ways the bytes read.
    const bool bTargetUtf8 = m_target.GetKind() == CPageCharset::Kind::Utf8;
    if (own.charset.GetKind() != CPageCharset::Kind::Undeclared && !own.charset.WritesAs(m_target)) {
        const CTextReading& guess = TextIn(own.charset);
        const int nBetter = guess.Compare(reading);
        if (nBetter > 0 || (nBetter == 0 && bTargetUtf8 && !guess.ReadsAs(reading)))
            return false;
    }
    return bTargetUtf8 || !m_census.IsUtf8() || TextIn(CPageCharset::FromName("utf-8")).Compare(reading) <= 0;
}

namespace {

CPageCharsetJudge::Verdict MakeVerdict(CPageCharsetJudge::Change change, const PageCharsetReading& source,
                                       const PageCharsetReading& other = {})
{
    CPageCharsetJudge::Verdict verdict;
    verdict.change = change;
    verdict.source = source;
    verdict.other = other;
    return verdict;
}

} // namespace

PageCharsetReading CPageCharsetJudge::Beside(const CPageCharset& charset) const
{
    if (charset.IsMultiByte() || charset.GetKind() == CPageCharset::Kind::Undeclared)
        return {};
    // The bytes of the page the charset reads as ¤.
    const std::array<std::string, 128> reading = CByteCounts::ReadingOf(charset);
    std::vector<size_t> signs;
    size_t nSigns = 0;
    for (size_t i = 0; i < reading.size(); ++i) {
        if (const size_t nCount = m_pageBytes.GetCount(static_cast<unsigned char>(0x80 + i)); nCount > 0 && reading[i] == "\xC2\xA4") {
            signs.push_back(i);
            nSigns += nCount;
        }
    }
    if (signs.empty())
        return {};
    // The charsets that write a currency where those beside them have the sign ¤.
    for (const char* pszName : {"ISO-8859-15", "ISO-8859-16", "ISO-8859-7", "windows-1255"}) {
        const CPageCharset beside = CPageCharset::FromName(pszName);
        if (beside.WritesAs(charset) || !m_pageBytes.ReadsAsCharacters(beside))
            continue;
        const std::array<std::string, 128> other = CByteCounts::ReadingOf(beside);
        const bool bCurrency = std::all_of(signs.begin(), signs.end(), [&other](size_t i) {
            size_t at = 0;
            const char32_t ch = CPageCharset::NextCharacter(other[i], at);
            return ch >= 0x20A0 && ch <= 0x20CF;
        });
        if (!bCurrency || (m_pageBytes.CountReadOtherwise(charset, beside) - nSigns) * 8 > m_pageBytes.GetTotal())
            continue;
        const CTextReading& theirs = TextIn(beside);
        if (theirs.IsText() && theirs.Compare(TextIn(charset)) >= 0)
            return {beside, CharsetEvidence::Guess};
    }
    return {};
}

CPageCharsetJudge::Verdict CPageCharsetJudge::InDoubt(const PageCharsetReading& source, const PageCharsetReading& other,
                                                      long long nSignAt, BYTE bySign) const
{
    Verdict verdict = MakeVerdict(Change::Doubt, source, other);
    verdict.nFirstUnreadable = nSignAt;
    verdict.byFirstUnreadable = bySign;
    return verdict;
}

CPageCharsetJudge::Verdict CPageCharsetJudge::KeptUnlessSign(const PageCharsetReading& reading) const
{
    const PageCharsetReading beside = Beside(m_target);
    if (beside.charset.GetKind() == CPageCharset::Kind::Undeclared || m_pTarget == nullptr)
        return MakeVerdict(Change::Relabel, reading);
    const PageCharsetReading kept = m_target.WritesAs(reading.charset) ? reading
                                                                        : PageCharsetReading{m_target, CharsetEvidence::Declaration};
    return InDoubt(beside, kept, m_pTarget->nFirstSign, m_pTarget->byFirstSign);
}

CPageCharsetJudge::Verdict CPageCharsetJudge::Unknown() const
{
    const PageCharsetReading detected = Detected();
    if (m_start.evidence != CharsetEvidence::Declaration)
        return MakeVerdict(Change::Unknown, GetReading(), detected);
    Verdict verdict = MakeVerdict(Change::Unknown, m_start, detected);
    ReadsWhole(m_start.charset, m_pDeclared.get(), verdict.nFirstUnreadable, verdict.byFirstUnreadable);
    return verdict;
}

CPageCharsetJudge::Verdict CPageCharsetJudge::Decide() const
{
    const PageCharsetReading reading = GetReading();
    const Verdict keep = MakeVerdict(Change::Relabel, reading);
    // ASCII alone reads alike in every charset; bytes are kept under the charset they are read
    // in, unless that is only a guess that reads them as no text, or as a sign ¤ that may be
    // a currency.
    const bool bGuess = reading.evidence == CharsetEvidence::Guess || reading.evidence == CharsetEvidence::WeakGuess;
    if (!m_bBeyondAscii || (m_target.WritesAs(reading.charset) && !bGuess))
        return keep;
    if (m_target.WritesAs(reading.charset) && TextIn(reading.charset).IsText())
        return KeptUnlessSign(reading);
    if (reading.evidence == CharsetEvidence::ByteOrderMark)
        return MakeVerdict(Change::Convert, reading);
    const PageCharsetReading utf8{CPageCharset::FromName("utf-8"), CharsetEvidence::Bytes};
    const bool bTargetUtf8 = m_target.GetKind() == CPageCharset::Kind::Utf8;
    // UTF-8 by its sequences, which the detector takes for UTF-8 text: no chance.
    if (m_census.IsUtf8() && DetectorSaysUtf8())
        return MakeVerdict(bTargetUtf8 ? Change::Relabel : Change::Convert,
                           reading.charset.GetKind() == CPageCharset::Kind::Utf8 ? reading : utf8);
    const bool bDeclared = m_start.evidence == CharsetEvidence::Declaration;
    const PageCharsetReading detected = Detected();
    const Weighing label = bDeclared ? WeighLabel() : Weighing::Outweighed;
    if (label == Weighing::Holds) {
        if (IsMixedText(reading))
            return InDoubt(reading, utf8);
        // A sign ¤ of the label's may be the currency of the charset beside it.
        if (const PageCharsetReading beside = Beside(reading.charset); beside.charset.GetKind() != CPageCharset::Kind::Undeclared)
            return InDoubt(reading, beside, m_pDeclared->nFirstSign, m_pDeclared->byFirstSign);
        return MakeVerdict(Change::Convert, reading);
    }

    // The page is not in its label, or has none: it is never converted from a guess. Its bytes
    // are kept under a target that reads them as well as any reading.
    const PageCharsetReading own = bDeclared ? detected : reading;
    if (TargetFits(own))
        return KeptUnlessSign(reading);
    if (IsMixedText(reading) || (bDeclared && reading.charset.IsMultiByte() && IsMixedText(own)))
        return InDoubt(reading.charset.IsMultiByte() ? own : reading, utf8);
    // A label and the detector's guess that read the text two ways, and too little of it to tell.
    if (label == Weighing::InDoubt)
        return InDoubt(reading, detected);
    // Bytes that read as UTF-8 and as the page's own charset alike: either may be meant.
    if (m_census.IsUtf8() && bTargetUtf8)
        return InDoubt(own.charset.GetKind() == CPageCharset::Kind::Undeclared ? reading : own, utf8);
    return Unknown();
}
