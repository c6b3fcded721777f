#include "engine/html/CPageCharsetJudge.h"

#include "platform/core/CodePage.h"

#include <algorithm>

namespace {

// The charsets pages are written in, by script: a page's label, the detector's answer or the
// charset given stands among the others of its script, which may read its bytes likelier. Latin
// text is written in many, and a Hungarian ő is Latin-1's õ; a Cyrillic text's bytes read as
// Cyrillic letters in most of those of its script.
const char* const kLatin[] = {"windows-1252", "ISO-8859-15",  "ISO-8859-2",   "windows-1250", "ISO-8859-13",
                              "windows-1257", "windows-1254", "windows-1258", "ISO-8859-16"};
const char* const kCyrillic[] = {"windows-1251", "KOI8-R", "KOI8-U", "IBM866", "ISO-8859-5", "x-mac-cyrillic"};
const char* const kGreek[] = {"ISO-8859-7", "windows-1253"};
const char* const kHebrew[] = {"windows-1255", "ISO-8859-8"};
const char* const kArabic[] = {"windows-1256", "ISO-8859-6"};
const char* const kThai[] = {"windows-874"};
const char* const kJapanese[] = {"Shift_JIS", "EUC-JP", "ISO-2022-JP"};
const char* const kChinese[] = {"gb18030", "Big5"};
const char* const kKorean[] = {"EUC-KR"};

// Charsets of Latin text fewer pages are in, which a label or the detector may name: a page too
// large to be held is read in them too as it comes.
const char* const kOtherLatin[] = {"ISO-8859-3", "ISO-8859-4", "ISO-8859-10", "ISO-8859-14", "macintosh"};

using Script = std::vector<CPageCharset>;

const std::vector<Script>& Scripts()
{
    static const std::vector<Script> scripts = [] {
        std::vector<Script> all;
        const auto add = [&all](const auto& names) {
            Script& script = all.emplace_back();
            for (const char* pszName : names) {
                if (CPageCharset charset = CPageCharset::FromName(pszName); charset.GetKind() != CPageCharset::Kind::Undeclared)
                    script.push_back(charset);
            }
        };
        add(kLatin);
        add(kCyrillic);
        add(kGreek);
        add(kHebrew);
        add(kArabic);
        add(kThai);
        add(kJapanese);
        add(kChinese);
        add(kKorean);
        return all;
    }();
    return scripts;
}

// Charsets read by the same codec (ISO-8859-1 and windows-1252, GBK and gb18030) read alike; a
// page of no charset is read as UTF-8.
bool ReadAlike(const CPageCharset& one, const CPageCharset& two)
{
    const auto kindOf = [](const CPageCharset& charset) {
        const CPageCharset::Kind kind = charset.GetKind();
        return kind == CPageCharset::Kind::Undeclared ? CPageCharset::Kind::Utf8 : kind;
    };
    const CPageCharset::Kind kind = kindOf(one);
    return kind == kindOf(two) && (kind == CPageCharset::Kind::Utf8 || one.GetReadName() == two.GetReadName());
}

// The charsets of the script a charset is of; none for a charset of no script.
const Script& ScriptOf(const CPageCharset& charset)
{
    static const Script none;
    for (const Script& script : Scripts()) {
        if (std::any_of(script.begin(), script.end(), [&charset](const CPageCharset& c) { return ReadAlike(c, charset); }))
            return script;
    }
    return none;
}

bool IsOneByte(const CPageCharset& charset)
{
    return !charset.IsMultiByte() && charset.GetKind() != CPageCharset::Kind::Utf8
        && charset.GetKind() != CPageCharset::Kind::Undeclared;
}

bool IsUndefinedOrControl(char32_t ch)
{
    return ch == 0xFFFD || (ch >= 0x80 && ch <= 0x9F);
}

const CTextReading& NoReading()
{
    static const CTextReading none(CPageCharset(), "\xFF");
    return none;
}

} // namespace

// A multi-byte charset's decoder over all of the page's bytes, keeping where the first stands
// that it reads as no character.
struct CPageCharsetJudge::WholeReader {
    explicit WholeReader(const CPageCharset& charset) : charset(charset), decoder(charset) {}

    void Add(const char* pBytes, size_t nLength)
    {
        // Once a byte reads as none, more tell nothing.
        if (!decoder.IsReadWhole())
            return;
        scratch.clear();
        decoder.Decode(pBytes, nLength, scratch);
    }
    void Finish()
    {
        scratch.clear();
        if (decoder.IsReadWhole())
            decoder.Finish(scratch);
        scratch.clear();
        scratch.shrink_to_fit();
    }

    CPageCharset charset;
    CPageDecoder decoder;
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
    if (start.evidence == CharsetEvidence::Declaration && declared.IsMultiByte() && declared.GetKind() != CPageCharset::Kind::Utf8)
        m_pDeclared = std::make_unique<WholeReader>(declared);
    if (target.GetKind() == CPageCharset::Kind::Iconv && target.IsMultiByte())
        m_pTarget = std::make_unique<WholeReader>(target);
}

void CPageCharsetJudge::ReadAsItComes()
{
    // Every charset a page is written in reads the text as it comes: which of them are in play is
    // known only once the detector has answered, or a declaration further on has been read.
    m_bReadAsItComes = true;
    const auto read = [this](const CPageCharset& charset) {
        if (charset.GetKind() != CPageCharset::Kind::Undeclared && Find(m_readings, charset) == nullptr)
            m_readings.push_back({charset, CTextReading(charset)});
    };
    read(CPageCharset::FromName("utf-8"));
    for (const Script& script : Scripts()) {
        for (const CPageCharset& charset : script)
            read(charset);
    }
    for (const char* pszName : kOtherLatin)
        read(CPageCharset::FromName(pszName));
    read(m_start.charset);
    read(m_target);
    const std::string held = std::exchange(m_heldWords, std::string());
    m_heldWords.shrink_to_fit();
    ReadText(held, TextEnd::More);
}

CPageCharsetJudge::~CPageCharsetJudge() = default;

void CPageCharsetJudge::Add(const char* pBytes, size_t nLength)
{
    // The page's bytes as UTF-8 first: the readings of its text are forked at its first UTF-8
    // character of more than one byte.
    if (m_look == Look::Whole || m_start.charset.GetKind() == CPageCharset::Kind::Utf8)
        m_census.Add(pBytes, nLength);
    if (m_bDetect && (m_look == Look::Whole || !m_detector.IsSettled())) {
        m_textPiece.clear();
        m_textFilter.Add(pBytes, nLength, m_textPiece);
        m_detector.Add(m_textPiece.data(), m_textPiece.size());
        m_nLookedAt += nLength;
        if (m_look == Look::Whole) {
            m_wordsPiece.clear();
            m_words.Add(m_textPiece, m_wordsPiece);
            ReadText(m_wordsPiece, TextEnd::More);
            // A page whose start declares nothing is labelled by the first declaration further on.
            if (m_start.evidence != CharsetEvidence::Declaration && m_start.evidence != CharsetEvidence::ByteOrderMark
                && !m_textFilter.GetDeclaredName().empty()) {
                if (const CPageCharset declared = CPageCharset::FromName(m_textFilter.GetDeclaredName());
                    declared.GetKind() != CPageCharset::Kind::Undeclared)
                    m_start = {declared, CharsetEvidence::Declaration};
            }
        }
    }
    if (m_look == Look::Start && m_start.charset.GetKind() != CPageCharset::Kind::Utf8)
        return;
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

void CPageCharsetJudge::ReadText(std::string_view words, TextEnd end)
{
    // The words of a page of a usual size are held, and read in the charsets asked of them only.
    if (!m_bReadAsItComes) {
        if (m_heldWords.size() + words.size() <= kHeldWords) {
            m_heldWords.append(words);
            return;
        }
        ReadAsItComes();
    }
    // A UTF-8 character cut off at the piece's end waits for its rest, so that the readings are
    // forked before it whatever pieces the page comes in.
    std::string joined;
    if (!m_wordsHeld.empty()) {
        joined = std::exchange(m_wordsHeld, std::string()) + std::string(words);
        words = joined;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(words.data());
    if (end == TextEnd::More) {
        for (size_t nBack = 1; nBack <= 3 && nBack <= words.size(); ++nBack) {
            if (p[words.size() - nBack] >= 0xC2 && CPageCharset::Utf8SequenceLength(p + words.size() - nBack, nBack) < 0) {
                m_wordsHeld.assign(words.substr(words.size() - nBack));
                words.remove_suffix(nBack);
                break;
            }
        }
    }
    // From the first UTF-8 character of more than one byte on, the one-byte charsets are also
    // read as Mixed: up to it the two readings are alike.
    if (m_mixed.empty() && m_census.HasMultibyte()) {
        size_t at = 0;
        while (at < words.size() && (p[at] < 0x80 || CPageCharset::Utf8SequenceLength(p + at, words.size() - at) <= 1))
            ++at;
        if (at < words.size()) {
            for (Reading& read : m_readings)
                read.reading.Add(words.substr(0, at));
            for (const Reading& read : m_readings) {
                if (IsOneByte(read.charset))
                    m_mixed.push_back({read.charset, read.reading.MixedFromHere()});
            }
            words.remove_prefix(at);
        }
    }
    for (auto* pReadings : {&m_readings, &m_mixed}) {
        for (Reading& read : *pReadings)
            read.reading.Add(words);
    }
}

void CPageCharsetJudge::Finish()
{
    m_bFinished = true;
    if (m_look == Look::Whole && m_bDetect) {
        m_wordsPiece.clear();
        m_words.Finish(m_wordsPiece);
        ReadText(m_wordsPiece, TextEnd::Last);
        for (auto* pReadings : {&m_readings, &m_mixed}) {
            for (Reading& read : *pReadings)
                read.reading.Finish();
        }
    }
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

const CTextReading* CPageCharsetJudge::Find(const std::deque<Reading>& readings, const CPageCharset& charset)
{
    for (const Reading& read : readings) {
        if (ReadAlike(read.charset, charset))
            return &read.reading;
    }
    return nullptr;
}

const CTextReading& CPageCharsetJudge::TextIn(const CPageCharset& charset) const
{
    if (const CTextReading* pFound = Find(m_readings, charset))
        return *pFound;
    // A page too large to be held was read as it came, and is not read again.
    if (m_bReadAsItComes)
        return NoReading();
    if (m_look == Look::Start) {
        m_readings.push_back({charset, CTextReading(charset, m_detector.GetSample())});
    } else {
        CTextReading reading(charset);
        reading.Add(m_heldWords);
        reading.Finish();
        m_readings.push_back({charset, std::move(reading)});
    }
    return m_readings.back().reading;
}

const CTextReading& CPageCharsetJudge::MixedTextIn(const CPageCharset& charset) const
{
    if (const CTextReading* pFound = Find(m_mixed, charset))
        return *pFound;
    // A text of no UTF-8 character of more than one byte reads alike either way.
    if (m_bReadAsItComes)
        return TextIn(charset);
    m_mixed.push_back({charset, CTextReading::Mixed(charset, m_look == Look::Start ? m_detector.GetSample() : m_heldWords)});
    return m_mixed.back().reading;
}

const CByteCounts& CPageCharsetJudge::TextBytes() const
{
    if (m_look == Look::Whole)
        return m_pageBytes;
    if (m_pSampleBytes == nullptr)
        m_pSampleBytes = std::make_unique<CByteCounts>(m_detector.GetSample());
    return *m_pSampleBytes;
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

const std::vector<CPageCharsetJudge::Candidate>& CPageCharsetJudge::Candidates(Guesses guesses) const
{
    // Once the page has ended, the candidates do not change.
    std::vector<Candidate>& candidates = m_candidates[guesses == Guesses::Weigh ? 0 : 1];
    if (m_bFinished && !candidates.empty())
        return candidates;
    candidates.clear();
    const auto add = [&candidates](const PageCharsetReading& reading, unsigned roles) {
        for (Candidate& candidate : candidates) {
            if (ReadAlike(candidate.reading.charset, reading.charset)) {
                candidate.roles |= roles;
                return;
            }
        }
        candidates.push_back({reading, roles});
    };
    std::vector<Candidate> named;
    if (m_start.evidence == CharsetEvidence::Declaration)
        named.push_back({m_start, Label});
    if (const PageCharsetReading detected = Detected();
        guesses == Guesses::Weigh && detected.charset.GetKind() != CPageCharset::Kind::Undeclared)
        named.push_back({detected, detected.evidence == CharsetEvidence::Guess ? SureDetector : Detector});
    if (m_target.GetKind() != CPageCharset::Kind::Undeclared)
        named.push_back({{m_target, CharsetEvidence::Declaration}, Target});
    for (const Candidate& candidate : named)
        add(candidate.reading, candidate.roles);
    for (const Candidate& candidate : named) {
        for (const CPageCharset& charset : ScriptOf(candidate.reading.charset))
            add({charset, CharsetEvidence::Guess}, OfScript);
    }
    add({CPageCharset::FromName("utf-8"), CharsetEvidence::Bytes}, Utf8);
    return candidates;
}

std::vector<CPageCharsetJudge::Candidate> CPageCharsetJudge::GetCandidates() const
{
    return Candidates(Guesses::Weigh);
}

PageCharsetReading CPageCharsetJudge::Likeliest() const
{
    PageCharsetReading likeliest;
    const CTextReading* pBest = nullptr;
    for (const Candidate& candidate : Candidates(Guesses::Weigh)) {
        // UTF-8 is weighed by the census of the bytes, not as a reading of them.
        if (candidate.Is(Utf8) && !candidate.Is(Label) && !candidate.Is(Target) && !candidate.Is(Detector)
            && !candidate.Is(SureDetector))
            continue;
        const CTextReading& text = TextIn(candidate.reading.charset);
        if (text.IsText() && (pBest == nullptr || text.Compare(*pBest) > 0)) {
            pBest = &text;
            likeliest = candidate.reading;
        }
    }
    return likeliest;
}

PageCharsetReading CPageCharsetJudge::Guessed() const
{
    // ASCII alone reads alike in every charset: no guess is made.
    if (m_detector.GetBytesBeyondAscii() == 0)
        return {CPageCharset(), CharsetEvidence::Guess};
    CUtf8Census sampleCensus(CUtf8Census::Look::Whole);
    if (m_look != Look::Whole) {
        const std::string& text = m_detector.GetSample();
        sampleCensus.Add(text.data(), text.size());
        sampleCensus.FinishPart();
    }
    // Looked at whole, the page's markup is ASCII: its bytes are the text's.
    const CUtf8Census& census = m_look == Look::Whole ? m_census : sampleCensus;
    const PageCharsetReading utf8{CPageCharset::FromName("utf-8"), CharsetEvidence::Bytes};
    const PageCharsetReading windows1252{CPageCharset::FromName("windows-1252"), CharsetEvidence::WeakGuess};
    PageCharsetReading detected = Detected();
    switch (detected.charset.GetKind()) {
    case CPageCharset::Kind::Utf8: return utf8;
    // The detector cannot tell; the bytes are UTF-8 all the same, or read as browsers read them.
    case CPageCharset::Kind::Undeclared: return census.IsUtf8() ? utf8 : windows1252;
    default: break;
    }
    // Where the detector's charset reads oddities, a charset of its script that reads the text
    // with fewer is meant.
    if (IsOneByte(detected.charset) && TextIn(detected.charset).GetOddities() > 0) {
        for (const CPageCharset& charset : ScriptOf(detected.charset)) {
            if (TextIn(charset).IsText() && TextIn(charset).Compare(TextIn(detected.charset)) > 0)
                detected.charset = charset;
        }
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

bool CPageCharsetJudge::ReadsWhole(const CPageCharset& charset, long long& nAt, BYTE& by) const
{
    nAt = -1;
    if (charset.GetKind() == CPageCharset::Kind::Utf8) {
        nAt = m_census.GetFirstInvalid();
        by = m_census.GetFirstInvalidByte();
        return m_census.ReadsWhole();
    }
    if (IsOneByte(charset)) {
        nAt = m_pageBytes.FindFirst(charset, [](char32_t ch) { return ch == 0xFFFD; }, by);
        return nAt < 0;
    }
    for (const WholeReader* pReader : {m_pDeclared.get(), m_pTarget.get()}) {
        if (pReader != nullptr && ReadAlike(pReader->charset, charset)) {
            nAt = pReader->decoder.GetFirstUnread();
            by = pReader->decoder.GetFirstUnreadByte();
            return nAt < 0;
        }
    }
    // A declaration read further on has no reader of the page's bytes: its reading of the text
    // tells whether they read.
    return TextIn(charset).IsText();
}

void CPageCharsetJudge::FirstOdd(const CPageCharset& charset, long long& nAt, BYTE& by) const
{
    if (IsOneByte(charset))
        nAt = m_pageBytes.FindFirst(charset, IsUndefinedOrControl, by);
    else
        ReadsWhole(charset, nAt, by);
}

long long CPageCharsetJudge::FirstSign(const CPageCharset& charset, BYTE& by) const
{
    return m_pageBytes.FindFirst(charset, [](char32_t ch) { return ch == 0xA4; }, by);
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

CPageCharsetJudge::Weighing CPageCharsetJudge::Weigh(const CTextReading& reading, const CTextReading& rival, Rival rivalIs,
                                                     const CByteCounts& bytes)
{
    if (reading.ReadsAs(rival))
        return Weighing::Holds;
    const bool bText = reading.IsText();
    if (bText != rival.IsText())
        return bText ? Weighing::Holds : Weighing::Outweighed;
    if (!bText)
        return Weighing::Holds;
    // The bytes' own evidence: what reads as no letter of a text where the two differ.
    const size_t nOwn = reading.GetMisreadings() + reading.GetStrays();
    const size_t nRival = rival.GetMisreadings() + rival.GetStrays();
    if (nOwn != nRival)
        return nOwn < nRival ? Weighing::Holds : Weighing::Outweighed;
    const CPageCharset& one = reading.GetCharset();
    const CPageCharset& two = rival.GetCharset();
    // Bytes that read whole as text of a multi-byte charset are rarely in another, and a guess of
    // a one-byte charset from a few letters does not outweigh them.
    if (rivalIs != Rival::SureDetector && one.IsMultiByte() && one.GetKind() != CPageCharset::Kind::Utf8 && !two.IsMultiByte())
        return Weighing::Holds;
    // Where one reads a letter and the other a sign, their oddities weighed them; only letters for
    // letters are told apart by the language.
    const bool bOneByte = IsOneByte(one) && IsOneByte(two);
    if (rivalIs == Rival::Other || (bOneByte && !bytes.DifferInLettersOnly(one, two)))
        return Weighing::Holds;
    // Text of a multi-byte charset read as another's reads as letters of another script (Korean
    // as Chinese) as often as not: only the detector tells them apart, and a guess from too
    // little text leaves them in doubt.
    if (!bOneByte) {
        switch (rivalIs) {
        case Rival::SureDetector: return Weighing::Outweighed;
        case Rival::Detector: return Weighing::InDoubt;
        default: return Weighing::Holds;
        }
    }
    const size_t nOwnLetters = reading.GetLetterOddities();
    const size_t nRivalLetters = rival.GetLetterOddities();
    switch (rivalIs) {
    case Rival::SureDetector:
        if (nRivalLetters != nOwnLetters)
            return nRivalLetters < nOwnLetters ? Weighing::Outweighed : Weighing::Holds;
        return rival.GetLettersInWords() >= reading.GetLettersInWords() && !(bOneByte && bytes.DifferInVariantsOnly(one, two))
            ? Weighing::Outweighed
            : Weighing::Holds;
    case Rival::Detector: return nRivalLetters == 0 && nOwnLetters > 0 ? Weighing::InDoubt : Weighing::Holds;
    case Rival::Target: return nRivalLetters <= nOwnLetters ? Weighing::InDoubt : Weighing::Holds;
    case Rival::Other: break;
    }
    return Weighing::Holds;
}

CPageCharsetJudge::Weighing CPageCharsetJudge::WeighLabel(PageCharsetReading& rival) const
{
    const CPageCharset& label = m_start.charset;
    const PageCharsetReading utf8{CPageCharset::FromName("utf-8"), CharsetEvidence::Bytes};
    rival = {};
    // A page labelled UTF-8 that holds UTF-8 characters is UTF-8: bytes beside them that are none
    // are strays, which refuse its conversion by name.
    if (label.GetKind() == CPageCharset::Kind::Utf8) {
        if (m_census.HasMultibyte())
            return Weighing::Holds;
        rival = Detected();
        return Weighing::Outweighed;
    }
    // A one-byte charset reads any bytes: those it leaves undefined are not in it. Bytes that
    // read as text of a multi-byte charset are rarely in another, and a few that do not are
    // strays.
    const CTextReading& reading = TextIn(label);
    long long nAt = -1;
    BYTE by = 0;
    if (IsOneByte(label) && (!ReadsWhole(label, nAt, by) || !reading.IsText())) {
        rival = Likeliest();
        return Weighing::Outweighed;
    }
    // Every candidate weighs against it. From a few letters the detector takes text of any
    // script for Western text: its guess, and the charsets of its script, weigh against a
    // multi-byte label only when it is sure, or multi-byte itself.
    const PageCharsetReading detected = Detected();
    const bool bSure = detected.evidence == CharsetEvidence::Guess;
    const Guesses guesses = !bSure && label.IsMultiByte() && !detected.charset.IsMultiByte() ? Guesses::Ignore
                                                                                            : Guesses::Weigh;
    // The charset given weighs as the user's word where the detector's answer, sure or not,
    // reads the text as it does: a sure detector that reads it as the label tells their letters
    // apart.
    const bool bDetectorLeans = detected.charset.GetKind() != CPageCharset::Kind::Undeclared
        && m_target.GetKind() != CPageCharset::Kind::Undeclared
        && (ReadAlike(detected.charset, m_target) || TextIn(detected.charset).ReadsAs(TextIn(m_target)));
    Weighing weighing = Weighing::Holds;
    for (const Candidate& candidate : Candidates(guesses)) {
        if (candidate.Is(Label) || ReadAlike(candidate.reading.charset, label))
            continue;
        // UTF-8 weighs only where all of the bytes are UTF-8.
        if (candidate.Is(Utf8) && !m_census.IsUtf8())
            continue;
        const CTextReading& text = TextIn(candidate.reading.charset);
        // As what it is: the detector's answer, the charset given, or any other; the heaviest.
        Weighing against = Weigh(reading, text, Rival::Other, TextBytes());
        const auto weigh = [&](Rival rivalIs) {
            const Weighing as = Weigh(reading, text, rivalIs, TextBytes());
            if (as == Weighing::Outweighed || (as == Weighing::InDoubt && against == Weighing::Holds))
                against = as;
        };
        if (candidate.Is(SureDetector))
            weigh(Rival::SureDetector);
        if (candidate.Is(Detector))
            weigh(Rival::Detector);
        if (candidate.Is(Target) && bDetectorLeans)
            weigh(Rival::Target);
        if (against == Weighing::Outweighed) {
            rival = candidate.Is(SureDetector) || candidate.Is(Detector) ? detected
                : candidate.Is(Utf8)                                      ? utf8
                                                                          : candidate.reading;
            return Weighing::Outweighed;
        }
        if (against == Weighing::InDoubt && weighing == Weighing::Holds) {
            rival = candidate.Is(Target) ? PageCharsetReading{m_target, CharsetEvidence::Declaration} : detected;
            weighing = Weighing::InDoubt;
        }
    }
    return weighing;
}

bool CPageCharsetJudge::IsMixedText(const PageCharsetReading& own) const
{
    const CPageCharset& charset = own.charset;
    if (!m_census.HasMultibyte() || !m_census.HasInvalid() || charset.IsMultiByte())
        return false;
    // The detector's word for UTF-8 counts also where some bytes are none: UTF-8 text beside them;
    // a guess from too little text, against a label, only where the label reads the text no
    // likelier.
    if (charset.GetKind() == CPageCharset::Kind::Undeclared)
        return DetectorSaysUtf8();
    if (DetectorSaysUtf8() && (m_detector.GetAnswer().bSure || MixedTextIn(charset).Compare(TextIn(charset)) >= 0))
        return true;
    // Read so, the text is much likelier than in the charset alone, and no less likely than in
    // the detector's charset: garbled text of another charset reads no better with a few pairs
    // taken for UTF-8.
    const CTextReading& mixed = MixedTextIn(charset);
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
    if (!ReadsWhole(m_target, nAt, by))
        return false;
    const CTextReading& reading = TextIn(m_target);
    if (!reading.IsText())
        return false;
    const PageCharsetReading detected = Detected();
    if (detected.charset.GetKind() != CPageCharset::Kind::Undeclared
        && Weigh(reading, TextIn(detected.charset),
                 detected.evidence == CharsetEvidence::Guess ? Rival::SureDetector : Rival::Detector, TextBytes())
            != Weighing::Holds)
        return false;
    // No charset in play reads the text likelier.
    if (const PageCharsetReading likeliest = Likeliest();
        likeliest.charset.GetKind() != CPageCharset::Kind::Undeclared && TextIn(likeliest.charset).Compare(reading) > 0)
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
    if (!IsOneByte(charset))
        return {};
    // The bytes of the page the charset reads as ¤.
    const CTextReading::ByteTable& reading = CTextReading::ReadingOf(charset);
    std::vector<size_t> signs;
    size_t nSigns = 0;
    for (size_t i = 0; i < reading.size(); ++i) {
        if (const size_t nCount = m_pageBytes.GetCount(static_cast<unsigned char>(0x80 + i)); nCount > 0 && reading[i] == 0xA4) {
            signs.push_back(i);
            nSigns += nCount;
        }
    }
    if (signs.empty())
        return {};
    // The charsets that write a currency where those beside them have the sign ¤.
    for (const char* pszName : {"ISO-8859-15", "ISO-8859-16", "ISO-8859-7", "windows-1255"}) {
        const CPageCharset beside = CPageCharset::FromName(pszName);
        BYTE by = 0;
        if (beside.WritesAs(charset) || m_pageBytes.FindFirst(beside, IsUndefinedOrControl, by) >= 0)
            continue;
        const CTextReading::ByteTable& other = CTextReading::ReadingOf(beside);
        const bool bCurrency = std::all_of(signs.begin(), signs.end(), [&other](size_t i) {
            return other[i] >= 0x20A0 && other[i] <= 0x20CF;
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
    if (beside.charset.GetKind() == CPageCharset::Kind::Undeclared)
        return MakeVerdict(Change::Relabel, reading);
    const PageCharsetReading kept = m_target.WritesAs(reading.charset) ? reading
                                                                        : PageCharsetReading{m_target, CharsetEvidence::Declaration};
    BYTE by = 0;
    const long long nAt = FirstSign(m_target, by);
    return InDoubt(beside, kept, nAt, by);
}

CPageCharsetJudge::Verdict CPageCharsetJudge::Unknown() const
{
    // What the bytes look like: the detector's reading, unless a candidate reads them with fewer
    // misread bytes; where only letters tell, the detector's word on the language stands.
    PageCharsetReading looks = Detected();
    if (const PageCharsetReading likeliest = Likeliest(); likeliest.charset.GetKind() != CPageCharset::Kind::Undeclared
        && (looks.charset.GetKind() == CPageCharset::Kind::Undeclared
            || Weigh(TextIn(looks.charset), TextIn(likeliest.charset), Rival::Other, TextBytes()) == Weighing::Outweighed))
        looks = likeliest;
    if (m_start.evidence != CharsetEvidence::Declaration)
        return MakeVerdict(Change::Unknown, GetReading(), looks);
    Verdict verdict = MakeVerdict(Change::Unknown, m_start, looks);
    FirstOdd(m_start.charset, verdict.nFirstUnreadable, verdict.byFirstUnreadable);
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
    PageCharsetReading rival;
    const Weighing label = bDeclared ? WeighLabel(rival) : Weighing::Outweighed;
    if (label == Weighing::Holds) {
        if (IsMixedText(reading))
            return InDoubt(reading, utf8);
        // A sign ¤ of the label's may be the currency of the charset beside it.
        if (const PageCharsetReading beside = Beside(reading.charset); beside.charset.GetKind() != CPageCharset::Kind::Undeclared) {
            BYTE by = 0;
            const long long nAt = FirstSign(reading.charset, by);
            return InDoubt(reading, beside, nAt, by);
        }
        return MakeVerdict(Change::Convert, reading);
    }

    // A label whose letters the charset given, or a guess, reads as other letters, and nothing
    // sure tells which: the page is put to the user with both readings, neither converted from
    // the label the user contradicts nor kept under the charset given.
    if (label == Weighing::InDoubt)
        return InDoubt(reading, rival);
    // The page is not in its label, or has none: it is never converted from a guess. Its bytes
    // are kept under a target that reads them as well as any reading.
    const PageCharsetReading own = bDeclared ? rival : reading;
    if (TargetFits(own))
        return KeptUnlessSign(reading);
    if (IsMixedText(reading) || (bDeclared && reading.charset.IsMultiByte() && IsMixedText(own)))
        return InDoubt(reading.charset.IsMultiByte() ? own : reading, utf8);
    // Bytes that read as UTF-8 and as the page's own charset alike: either may be meant.
    if (m_census.IsUtf8() && bTargetUtf8)
        return InDoubt(own.charset.GetKind() == CPageCharset::Kind::Undeclared ? reading : own, utf8);
    return Unknown();
}
