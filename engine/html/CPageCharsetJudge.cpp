#include "engine/html/CPageCharsetJudge.h"

#include "platform/core/CodePage.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

// The scripts of letters beyond ASCII, as far as one-byte charsets hold them.
enum class Script { None, Latin, Greek, Cyrillic, Hebrew, Arabic, Thai, Other };

Script ScriptOf(char32_t ch)
{
    if ((ch >= 0xC0 && ch <= 0x24F && ch != 0xD7 && ch != 0xF7) || (ch >= 0x1E00 && ch <= 0x1EFF))
        return Script::Latin;
    if (ch >= 0x370 && ch <= 0x3FF)
        return Script::Greek;
    if (ch >= 0x400 && ch <= 0x52F)
        return Script::Cyrillic;
    if (ch >= 0x5D0 && ch <= 0x5EA)
        return Script::Hebrew;
    if (ch >= 0x620 && ch <= 0x64A)
        return Script::Arabic;
    if (ch >= 0xE01 && ch <= 0xE4E)
        return Script::Thai;
    // Signs, punctuation and the letters of scripts no one-byte charset holds.
    return ch >= 0x3040 ? Script::Other : Script::None;
}

// The script most of the text's letters beyond ASCII are of; None when it has none.
Script ScriptOfText(const std::string& text)
{
    std::array<size_t, static_cast<size_t>(Script::Other) + 1> counts{};
    for (size_t at = 0; at < text.size();) {
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            ++at;
            continue;
        }
        ++counts[static_cast<size_t>(ScriptOf(CPageCharset::NextCharacter(text, at)))];
    }
    counts[static_cast<size_t>(Script::None)] = 0;
    const auto most = std::max_element(counts.begin(), counts.end());
    return *most == 0 ? Script::None : static_cast<Script>(most - counts.begin());
}

// Whether UTF-8 text holds a control character of the range U+0080 to U+009F: what a one-byte
// charset makes of bytes that hold no text of it. Where the first stands, counted in characters.
bool FindControl(const std::string& text, size_t& nCharacter)
{
    nCharacter = 0;
    for (size_t at = 0; at + 1 < text.size(); ++at) {
        const auto ch = static_cast<unsigned char>(text[at]);
        if (ch == 0xC2 && static_cast<unsigned char>(text[at + 1]) <= 0x9F)
            return true;
        nCharacter += (ch & 0xC0) != 0x80 ? 1 : 0;
    }
    return false;
}

// How a charset reads a piece of text alone.
struct PieceReading {
    bool bText = false; // every byte reads, and none as a control character
    std::string text;
};

PieceReading ReadPiece(const CPageCharset& charset, const std::string& bytes)
{
    PieceReading reading;
    if (charset.GetKind() == CPageCharset::Kind::Undeclared)
        return reading;
    if (charset.GetKind() == CPageCharset::Kind::Utf8) {
        CUtf8Census census(CUtf8Census::Look::Whole);
        census.Add(bytes.data(), bytes.size());
        census.FinishPart();
        reading.bText = census.ReadsWhole();
        reading.text = bytes;
        return reading;
    }
    // A character cut off at the piece's end stays with the decoder: it may read whole.
    CPageDecoder decoder(charset);
    decoder.Decode(bytes.data(), bytes.size(), reading.text);
    size_t nControl = 0;
    reading.bText = decoder.IsReadWhole() && (charset.IsMultiByte() || !FindControl(reading.text, nControl));
    return reading;
}

} // namespace

// A charset's decoder over all of the page's bytes, keeping where the first stands that it reads
// as no text: a byte it leaves unread, or, for a one-byte charset, one it reads as a control.
struct CPageCharsetJudge::WholeReader {
    explicit WholeReader(const CPageCharset& charset) : decoder(charset), bOneByte(!charset.IsMultiByte()) {}

    void Add(const char* pBytes, size_t nLength)
    {
        scratch.clear();
        decoder.Decode(pBytes, nLength, scratch);
        size_t nCharacter = 0;
        if (bOneByte && nFirstControl < 0 && FindControl(scratch, nCharacter)) {
            // A one-byte charset reads one character of each byte.
            nFirstControl = nRead + static_cast<long long>(nCharacter);
            byFirstControl = static_cast<BYTE>(pBytes[nCharacter]);
        }
        nRead += static_cast<long long>(nLength);
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
      // Looked at whole, a page is read to its end anyway: its text is sought however far in.
      m_detector(look == Look::Whole ? SIZE_MAX : CCharsetDetector::kReach)
{
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
    // The detector is asked of a page that declares nothing, and, looked at whole, of any page
    // but one a byte order mark decides.
    const bool bUndeclared = m_start.charset.GetKind() == CPageCharset::Kind::Undeclared;
    if (bUndeclared || (m_look == Look::Whole && m_start.evidence != CharsetEvidence::ByteOrderMark))
        m_detector.Add(pBytes, nLength);
    if (m_look == Look::Start && m_start.charset.GetKind() != CPageCharset::Kind::Utf8)
        return;
    m_census.Add(pBytes, nLength);
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
    case CPageCharset::Kind::Undeclared: return m_detector.IsSettled();
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

PageCharsetReading CPageCharsetJudge::Detected() const
{
    const CCharsetDetector::Answer& answer = m_detector.GetAnswer();
    if (!ReadPiece(answer.charset, m_detector.GetSample()).bText)
        return {CPageCharset(), CharsetEvidence::WeakGuess};
    return {answer.charset, answer.bSure ? CharsetEvidence::Guess : CharsetEvidence::WeakGuess};
}

PageCharsetReading CPageCharsetJudge::Guessed() const
{
    const std::string& sample = m_detector.GetSample();
    // ASCII alone reads alike in every charset: no guess is made.
    if (m_detector.GetBytesBeyondAscii() == 0)
        return {CPageCharset(), CharsetEvidence::Guess};
    CUtf8Census census(CUtf8Census::Look::Whole);
    census.Add(sample.data(), sample.size());
    census.FinishPart();
    const PageCharsetReading detected = Detected();
    const CPageCharset::Kind kind = detected.charset.GetKind();
    if (kind == CPageCharset::Kind::Utf8)
        return {detected.charset, CharsetEvidence::Bytes};
    if (kind == CPageCharset::Kind::Undeclared) {
        // The detector cannot tell; the bytes are UTF-8 all the same.
        if (census.IsUtf8())
            return {CPageCharset::FromName("utf-8"), CharsetEvidence::Bytes};
    } else {
        if (detected.evidence == CharsetEvidence::Guess)
            return detected;
        // Too little text: UTF-8 of characters the charset guessed holds is UTF-8 indeed.
        if (census.IsUtf8() && !detected.charset.IsMultiByte() && WritesOwnInUtf8(census, detected.charset))
            return {CPageCharset::FromName("utf-8"), CharsetEvidence::Bytes};
        if (detected.charset.IsMultiByte())
            return detected;
        // From a few letters the detector tells scripts apart, but not the charsets of Western
        // text: those are read as browsers read a page they cannot judge.
        const Script script = ScriptOfText(ReadPiece(detected.charset, sample).text);
        if (script != Script::Latin && script != Script::None)
            return detected;
    }
    return {CPageCharset::FromName("windows-1252"), CharsetEvidence::WeakGuess};
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

bool CPageCharsetJudge::ReadAlike(const CPageCharset& first, const CPageCharset& second) const
{
    if (first.WritesAs(second))
        return true;
    const std::string& sample = m_detector.GetSample();
    const PieceReading one = ReadPiece(first, sample);
    const PieceReading two = ReadPiece(second, sample);
    if (one.bText && two.bText && one.text == two.text)
        return true;
    if (first.IsMultiByte() || second.IsMultiByte())
        return false;
    const Script scriptOne = ScriptOfText(one.text);
    const Script scriptTwo = ScriptOfText(two.text);
    return scriptOne == scriptTwo || scriptOne == Script::None || scriptTwo == Script::None;
}

namespace {

CPageCharsetJudge::Verdict MakeVerdict(CPageCharsetJudge::Change change, const PageCharsetReading& source,
                                       const PageCharsetReading& other = {}, long long nFirstUnreadable = -1,
                                       BYTE byFirstUnreadable = 0)
{
    return {change, source, other, nFirstUnreadable, byFirstUnreadable};
}

} // namespace

CPageCharsetJudge::Verdict CPageCharsetJudge::Decide() const
{
    const PageCharsetReading reading = GetReading();
    // ASCII alone reads alike in every charset.
    if (!m_census.HasNonAscii() || m_target.WritesAs(reading.charset))
        return MakeVerdict(Change::Relabel, reading);
    if (reading.evidence == CharsetEvidence::ByteOrderMark)
        return MakeVerdict(Change::Convert, reading);
    // A multi-byte label is right when its bytes read whole in it.
    const bool bDeclared = m_start.evidence == CharsetEvidence::Declaration;
    const CPageCharset& label = m_start.charset;
    const bool bMultiByteLabel = bDeclared && label.IsMultiByte() && reading.evidence == CharsetEvidence::Declaration;
    long long nAt = -1;
    BYTE by = 0;
    if (bMultiByteLabel && ReadsWhole(label, m_pDeclared.get(), nAt, by))
        return MakeVerdict(Change::Convert, reading);
    const PageCharsetReading utf8{CPageCharset::FromName("utf-8"), CharsetEvidence::Bytes};
    const PageCharsetReading detected = Detected();
    // The detector's word for UTF-8 counts also where some bytes are none: UTF-8 text beside them.
    const bool bDetectedUtf8 = m_detector.GetAnswer().charset.GetKind() == CPageCharset::Kind::Utf8;
    const bool bTargetUtf8 = m_target.GetKind() == CPageCharset::Kind::Utf8;
    // UTF-8 by its sequences, which the detector takes for UTF-8 text: no chance.
    if (m_census.IsUtf8() && bDetectedUtf8)
        return MakeVerdict(bTargetUtf8 ? Change::Relabel : Change::Convert, utf8);
    // When they do not, the conversion names the first that does not.
    if (bMultiByteLabel)
        return MakeVerdict(Change::Convert, reading);

    const bool bTargetReads = ReadsWhole(m_target, m_pTarget.get(), nAt, by);
    // UTF-8 characters beside bytes that are none, which the detector takes for UTF-8 text;
    // or bytes that all read as UTF-8, which it takes for other text: either reading may be
    // the one meant.
    const bool bOwnUtf8 = m_census.HasMultibyte() && !reading.charset.IsMultiByte() && WritesOwnInUtf8(m_census, reading.charset);
    const bool bMixed = m_census.HasMultibyte() && m_census.HasInvalid() && (bDetectedUtf8 || bOwnUtf8);
    const bool bOrUtf8 = m_census.IsUtf8();
    const bool bSureDetected = detected.evidence == CharsetEvidence::Guess;
    if (bDeclared) {
        // A one-byte label (or UTF-8 whose bytes are no UTF-8) holds unless its bytes read as
        // no text of it, or the detector is sure they are text of another kind.
        long long nUnreadable = -1;
        BYTE byUnreadable = 0;
        const bool bLabelReads = ReadsWhole(label, m_pDeclared.get(), nUnreadable, byUnreadable);
        if (bLabelReads && !(bSureDetected && !ReadAlike(label, detected.charset))) {
            // The user's one-byte charset of the same script is taken: a label cannot tell
            // apart the charsets of one script.
            if (bTargetReads && !m_target.IsMultiByte() && ReadAlike(m_target, label))
                return MakeVerdict(Change::Relabel, reading);
            // Pairs that read as characters the label has bytes of are UTF-8 indeed; the others are
            // chance, of letters and signs that happen to stand so.
            if (bMixed || (bOrUtf8 && bOwnUtf8))
                return MakeVerdict(Change::Doubt, reading, utf8);
            return MakeVerdict(Change::Convert, reading);
        }
        // A label its bytes contradict has no characters of its own: only the detector tells
        // UTF-8 beside other bytes.
        const bool bMixedText = m_census.HasMultibyte() && m_census.HasInvalid() && bDetectedUtf8;
        if (bMixedText || (bOrUtf8 && bTargetUtf8))
            return MakeVerdict(Change::Doubt, reading, utf8);
        if (bTargetReads && (!bSureDetected || ReadAlike(m_target, detected.charset)))
            return MakeVerdict(Change::Relabel, reading);
        return MakeVerdict(Change::Unknown, m_start, detected, nUnreadable, byUnreadable);
    }
    // No label: the bytes are kept under the target when they read in it as the detector reads
    // them; they are never converted from a guess.
    if (bMixed || (bOrUtf8 && bTargetUtf8))
        return MakeVerdict(Change::Doubt, reading, utf8);
    if (bTargetReads && (!bSureDetected || ReadAlike(m_target, detected.charset)))
        return MakeVerdict(Change::Relabel, reading);
    return MakeVerdict(Change::Unknown, reading, detected);
}
