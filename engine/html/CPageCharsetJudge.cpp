#include "engine/html/CPageCharsetJudge.h"

#include "platform/core/CodePage.h"

#include <algorithm>
#include <optional>

namespace {

// The charsets pages are written in, by script: a page's label, the detector's answer or the
// charset given stands among the others of its script, which may read its bytes likelier. Latin
// text is written in many, and a Hungarian ő is Latin-1's õ; a Cyrillic text's bytes read as
// Cyrillic letters in most of those of its script. Pages written on a Mac are in its charsets,
// and often labelled Latin-1 or windows-1252, which read its ã and é as signs between letters
// ("Gest‹o") or leave them undefined: beside those, Mac OS Roman reads their words.
const char* const kLatin[] = {"windows-1252", "ISO-8859-15",  "ISO-8859-2",   "windows-1250", "ISO-8859-13",
                              "windows-1257", "windows-1254", "windows-1258", "ISO-8859-16",  "macintosh"};
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
const char* const kOtherLatin[] = {"ISO-8859-3", "ISO-8859-4", "ISO-8859-10", "ISO-8859-14"};

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

// A multi-byte charset other than UTF-8: bytes that read whole as its text are rarely in another.
bool IsMultiByteText(const CPageCharset& charset)
{
    return charset.IsMultiByte() && charset.GetKind() != CPageCharset::Kind::Utf8;
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
    const auto find = [&candidates](const CPageCharset& charset) {
        return std::find_if(candidates.begin(), candidates.end(),
                            [&charset](const Candidate& candidate) { return ReadAlike(candidate.reading.charset, charset); });
    };
    const auto add = [&](const PageCharsetReading& reading, unsigned roles) {
        if (reading.charset.GetKind() == CPageCharset::Kind::Undeclared)
            return;
        if (const auto found = find(reading.charset); found != candidates.end())
            found->roles |= roles;
        else
            candidates.push_back({reading, roles});
    };
    std::vector<Candidate> named;
    if (m_start.evidence == CharsetEvidence::Declaration)
        named.push_back({m_start, Label});
    const PageCharsetReading detected = Detected();
    if (guesses == Guesses::Weigh && detected.charset.GetKind() != CPageCharset::Kind::Undeclared)
        named.push_back({detected, detected.evidence == CharsetEvidence::Guess ? SureDetector : Detector});
    if (m_target.GetKind() != CPageCharset::Kind::Undeclared)
        named.push_back({{m_target, CharsetEvidence::Given}, Target});
    named.push_back({GetReading(), Read});
    for (const Candidate& candidate : named)
        add(candidate.reading, candidate.roles);
    for (const Candidate& candidate : named) {
        for (const CPageCharset& charset : ScriptOf(candidate.reading.charset))
            add({charset, CharsetEvidence::Guess}, OfScript);
    }
    add({CPageCharset::FromName("utf-8"), CharsetEvidence::Bytes}, Utf8);
    // Where the detector cannot tell the page's script, nothing points to one: every script's
    // charsets tell what the bytes look like.
    if (guesses == Guesses::Weigh && detected.evidence != CharsetEvidence::Guess) {
        for (const Script& script : Scripts()) {
            for (const CPageCharset& charset : script) {
                if (find(charset) == candidates.end())
                    candidates.push_back({{charset, CharsetEvidence::WeakGuess}, Elsewhere});
            }
        }
    }
    return candidates;
}

std::vector<CPageCharsetJudge::Candidate> CPageCharsetJudge::GetCandidates() const
{
    return Candidates(Guesses::Weigh);
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

// One candidate of the table with its measures: its reading of the page's text, and whether it
// reads every byte of the page as a character of it.
struct CPageCharsetJudge::Scored {
    Candidate candidate;
    const CTextReading* pText = nullptr;
    bool bReadsWhole = false;

    const CPageCharset& Charset() const { return candidate.reading.charset; }
    bool Reads() const { return bReadsWhole && pText->IsText(); }
};

// How a reading of someone's word stands against the table.
struct CPageCharsetJudge::Standing {
    Weighing weighing = Weighing::Holds;
    PageCharsetReading rival;             // the rival that outweighs it, or leaves it in doubt
    const CTextReading* pRival = nullptr; // the rival's reading of the text
    unsigned rivalRoles = 0;
    long long nAt = -1; // in doubt over a sign or letters: the first byte the two read otherwise
    BYTE by = 0;
};

namespace {

bool IsGuess(CharsetEvidence evidence)
{
    return evidence == CharsetEvidence::Guess || evidence == CharsetEvidence::WeakGuess;
}

CPageCharsetJudge::Verdict MakeVerdict(CPageCharsetJudge::Change change, const PageCharsetReading& source,
                                       const PageCharsetReading& other = {})
{
    CPageCharsetJudge::Verdict verdict;
    verdict.change = change;
    verdict.source = source;
    verdict.other = other;
    return verdict;
}

// Who named a candidate, in the order a tie of its readings goes by: the page's and the user's
// word, a sure detector's answer, how the page reads, a guess from too little text, UTF-8, a
// charset beside them, one of another script.
int NamedRank(unsigned roles)
{
    using Role = CPageCharsetJudge::Role;
    constexpr Role kOrder[] = {Role::Label, Role::Target, Role::SureDetector, Role::Read, Role::Detector, Role::Utf8,
                               Role::OfScript, Role::Elsewhere};
    for (size_t i = 0; i < std::size(kOrder); ++i) {
        if ((roles & kOrder[i]) != 0)
            return static_cast<int>(i);
    }
    return static_cast<int>(std::size(kOrder));
}

} // namespace

size_t CPageCharsetJudge::Margin(const CTextReading& reading)
{
    return 1 + reading.GetWordsBeyond() / kWordsPerOddity;
}

CPageCharsetJudge::Weighing CPageCharsetJudge::Weigh(const CTextReading& reading, const CTextReading& rival, Rival rivalIs,
                                                     const CByteCounts& bytes, Word word)
{
    if (reading.ReadsAs(rival))
        return Weighing::Holds;
    const bool bText = reading.IsText();
    if (bText != rival.IsText())
        return bText ? Weighing::Holds : Weighing::Outweighed;
    if (!bText)
        return Weighing::Holds;
    // Where the two read the bytes alike they count alike: the scores differ by how each reads
    // the bytes they read otherwise, in their context. A rival outweighs a reading whose score is
    // clearly above its own, by the margin, unless it puts more characters where no word holds
    // them: letters of several alphabets are what a text of several languages holds too.
    const size_t nOwn = reading.GetScoreAgainst(rival);
    const size_t nRival = rival.GetScoreAgainst(reading);
    const auto misread = [](const CTextReading& text) { return text.GetMisreadings() + text.GetStrays(); };
    if (nRival + Margin(reading) < nOwn && misread(rival) <= misread(reading))
        return Weighing::Outweighed;
    // A rival that reads the bytes worse tells nothing against it, whoever named it.
    if (nRival > nOwn)
        return Weighing::Holds;
    const CPageCharset& one = reading.GetCharset();
    const CPageCharset& two = rival.GetCharset();
    // Bytes that read whole as text of a multi-byte charset are rarely in another, and a guess of
    // a one-byte charset from a few letters does not outweigh them.
    if (rivalIs != Rival::SureDetector && one.IsMultiByte() && one.GetKind() != CPageCharset::Kind::Utf8 && !two.IsMultiByte())
        return Weighing::Holds;
    // The user's word alone, against how the page reads, tells no more than the bytes: a reading
    // of a lower total puts it in doubt.
    const Weighing heldSo = word == Word::User && nRival < nOwn ? Weighing::InDoubt : Weighing::Holds;
    // Where one reads a letter and the other a sign, the scores weighed them; only letters for
    // letters are told apart by the language.
    const bool bOneByte = IsOneByte(one) && IsOneByte(two);
    if (rivalIs == Rival::Other || (bOneByte && !bytes.DifferInLettersOnly(one, two)))
        return heldSo;
    // Text of a multi-byte charset read as another's reads as letters of another script (Korean
    // as Chinese) as often as not: only the detector tells them apart, and a guess from too
    // little text leaves them in doubt.
    if (!bOneByte) {
        switch (rivalIs) {
        case Rival::SureDetector: return Weighing::Outweighed;
        case Rival::Detector: return Weighing::InDoubt;
        default: return heldSo;
        }
    }
    switch (rivalIs) {
    case Rival::SureDetector:
        if (nRival != nOwn)
            return Weighing::Outweighed;
        return rival.GetLettersInWords() >= reading.GetLettersInWords() && !bytes.DifferInVariantsOnly(one, two)
            ? Weighing::Outweighed
            : Weighing::Holds;
    // The charset given leaves the label in doubt only where the label reads the bytes worse, or
    // the two read one letter written two ways.
    case Rival::Target: return nRival < nOwn || bytes.DifferInVariantsOnly(one, two) ? Weighing::InDoubt : Weighing::Holds;
    // A guess from too little text leaves in doubt only a reading of letters of no one alphabet
    // with its own reading of none.
    case Rival::Detector:
        return rival.GetLetterOdditiesAgainst(reading) == 0 && reading.GetLetterOdditiesAgainst(rival) > 0 ? Weighing::InDoubt
                                                                                                         : heldSo;
    case Rival::Other: break;
    }
    return heldSo;
}

bool CPageCharsetJudge::ReadsSignAsCurrency(const CTextReading& reading, const CTextReading& rival, const CByteCounts& bytes,
                                            long long& nAt, BYTE& by)
{
    const CPageCharset& charset = reading.GetCharset();
    const CPageCharset& beside = rival.GetCharset();
    if (!IsOneByte(charset) || !IsOneByte(beside) || beside.WritesAs(charset))
        return false;
    // Every byte the reading takes for the sign ¤ the rival reads as a currency.
    const CTextReading::ByteTable& own = CTextReading::ReadingOf(charset);
    const CTextReading::ByteTable& theirs = CTextReading::ReadingOf(beside);
    size_t nSigns = 0;
    for (size_t i = 0; i < own.size(); ++i) {
        const size_t nCount = bytes.GetCount(static_cast<unsigned char>(0x80 + i));
        if (nCount == 0 || own[i] != 0xA4)
            continue;
        if (theirs[i] < 0x20A0 || theirs[i] > 0x20CF)
            return false;
        nSigns += nCount;
    }
    BYTE byOdd = 0;
    if (nSigns == 0 || bytes.FindFirst(beside, IsUndefinedOrControl, byOdd) >= 0
        || (bytes.CountReadOtherwise(charset, beside) - nSigns) * 8 > bytes.GetTotal())
        return false;
    if (!rival.IsText() || rival.Compare(reading) < 0)
        return false;
    nAt = bytes.FindFirst(charset, [](char32_t ch) { return ch == 0xA4; }, by);
    return true;
}

int CPageCharsetJudge::Rank(const CTextReading& one, unsigned rolesOne, const CTextReading& two, unsigned rolesTwo)
{
    const bool bText = one.IsText();
    if (bText != two.IsText())
        return bText ? 1 : -1;
    if (const int nLikelier = one.Compare(two); bText && nLikelier != 0)
        return nLikelier;
    const bool bSure = (rolesOne & SureDetector) != 0;
    if (bText && bSure != ((rolesTwo & SureDetector) != 0))
        return bSure ? 1 : -1;
    const int nOne = NamedRank(rolesOne);
    const int nTwo = NamedRank(rolesTwo);
    return nOne == nTwo ? 0 : nOne < nTwo ? 1 : -1;
}

CPageCharsetJudge::Table CPageCharsetJudge::Score(Guesses guesses) const
{
    Table table;
    for (const Candidate& candidate : Candidates(guesses)) {
        long long nAt = -1;
        BYTE by = 0;
        const CPageCharset& charset = candidate.reading.charset;
        table.push_back({candidate, &TextIn(charset), ReadsWhole(charset, nAt, by)});
    }
    return table;
}

const CPageCharsetJudge::Scored* CPageCharsetJudge::Likeliest(const Table& table, const Scored* pOtherThan) const
{
    // Against a reading of text, only a rival as likely is named, and not every rival tells: a
    // one-byte charset of a script nothing points to reads a few letters of any script as its
    // own, and neither it nor another one-byte charset tells against bytes that read whole as a
    // multi-byte charset's text but where that puts characters no word holds ("Gr鲞e"); where
    // only letters tell, a sure detector's word stands, and a
    // charset nothing points to that reads the text only as well stands for nothing.
    const CTextReading* pOwn = pOtherThan != nullptr && pOtherThan->pText->IsText() ? pOtherThan->pText : nullptr;
    const bool bOwnMultiByte = pOwn != nullptr && IsMultiByteText(pOtherThan->Charset())
        && pOwn->GetMisreadings() + pOwn->GetStrays() == 0;
    const bool bOwnSure = pOwn != nullptr && pOtherThan->candidate.Is(SureDetector);
    const Scored* pBest = nullptr;
    for (const Scored& scored : table) {
        // UTF-8 reads by the census of the bytes, where all of them are UTF-8.
        if (!scored.Reads() || (scored.Charset().GetKind() == CPageCharset::Kind::Utf8 && !m_census.IsUtf8()))
            continue;
        if (pOwn != nullptr) {
            const int nOwn = pOwn->Compare(*scored.pText);
            if (scored.pText->ReadsAs(*pOwn) || nOwn > 0 || (nOwn == 0 && (bOwnSure || scored.candidate.roles == Elsewhere))
                || (IsOneByte(scored.Charset()) && (scored.candidate.Is(Elsewhere) || bOwnMultiByte)))
                continue;
        }
        if (pBest == nullptr || Rank(*scored.pText, scored.candidate.roles, *pBest->pText, pBest->candidate.roles) > 0)
            pBest = &scored;
    }
    return pBest;
}

namespace {

// The reading a rival is named by: the charset given as the user's word, the detector's answer with
// what it rests on, UTF-8 by its bytes.
PageCharsetReading NamedReading(const CPageCharsetJudge::Candidate& candidate, const PageCharsetReading& detected)
{
    using Role = CPageCharsetJudge::Role;
    if (candidate.Is(Role::Target))
        return {candidate.reading.charset, CharsetEvidence::Given};
    if (candidate.Is(Role::SureDetector) || candidate.Is(Role::Detector))
        return detected;
    if (candidate.Is(Role::Utf8))
        return {candidate.reading.charset, CharsetEvidence::Bytes};
    return candidate.reading;
}

} // namespace

CPageCharsetJudge::Standing CPageCharsetJudge::Stand(const Scored& own, Word word, const Table& table) const
{
    Standing standing;
    const CByteCounts& bytes = TextBytes();
    const CPageCharset& charset = own.Charset();
    const PageCharsetReading detected = Detected();
    // UTF-8 given to bytes that are all UTF-8 is one of the ways they read, whatever reads them
    // likelier: outweighed by none, in doubt at most.
    const bool bUtf8Bytes = word == Word::User && charset.GetKind() == CPageCharset::Kind::Utf8 && m_census.IsUtf8();
    const auto take = [&](Weighing weighing, const Scored& rival, long long nAt, BYTE by) {
        if (weighing == Weighing::Outweighed && bUtf8Bytes)
            weighing = Weighing::InDoubt;
        // Outweighed weighs more than in doubt; of rivals that weigh alike, the likeliest is named.
        const auto weight = [](Weighing w) { return w == Weighing::Outweighed ? 2 : w == Weighing::InDoubt ? 1 : 0; };
        if (weight(weighing) < weight(standing.weighing) || weighing == Weighing::Holds
            || (weighing == standing.weighing && Rank(*rival.pText, rival.candidate.roles, *standing.pRival, standing.rivalRoles) <= 0))
            return;
        standing = {weighing, NamedReading(rival.candidate, detected), rival.pText, rival.candidate.roles, nAt, by};
    };
    // A one-byte reading that leaves bytes of the page undefined, or garbles its text, gives way
    // to the likeliest that reads them; a multi-byte one, to any that reads them: where none
    // does, its bytes that are none are strays, refused by name where it is converted from.
    if (IsOneByte(charset) ? !own.Reads() : !own.pText->IsText()) {
        if (const Scored* pBest = Likeliest(table, nullptr))
            take(Weighing::Outweighed, *pBest, -1, 0);
        else if (IsOneByte(charset))
            standing.weighing = Weighing::Outweighed;
        return standing;
    }
    const CTextReading& reading = *own.pText;
    // The charset given weighs as the user's word against the label where the detector's answer,
    // sure or not, reads the text as it does: a sure detector that reads it as the label tells
    // their letters apart.
    const bool bTargetWeighs = own.candidate.Is(Label) && detected.charset.GetKind() != CPageCharset::Kind::Undeclared
        && m_target.GetKind() != CPageCharset::Kind::Undeclared
        && (ReadAlike(detected.charset, m_target) || TextIn(detected.charset).ReadsAs(TextIn(m_target)));
    for (const Scored& rival : table) {
        // A charset no evidence points to weighs against no one's word; UTF-8 weighs only where
        // all of the bytes are UTF-8.
        if (ReadAlike(rival.Charset(), charset) || rival.candidate.Is(Elsewhere)
            || (rival.Charset().GetKind() == CPageCharset::Kind::Utf8 && !m_census.IsUtf8()))
            continue;
        const CTextReading& text = *rival.pText;
        // As what it is: the detector's answer, the charset given, or any other; the heaviest.
        Weighing against = Weigh(reading, text, Rival::Other, bytes, word);
        const auto weigh = [&](Rival rivalIs) {
            const Weighing as = Weigh(reading, text, rivalIs, bytes, word);
            if (as == Weighing::Outweighed || (as == Weighing::InDoubt && against == Weighing::Holds))
                against = as;
        };
        if (rival.candidate.Is(SureDetector))
            weigh(Rival::SureDetector);
        if (rival.candidate.Is(Detector))
            weigh(Rival::Detector);
        if (rival.candidate.Is(Target) && bTargetWeighs)
            weigh(Rival::Target);
        long long nAt = -1;
        BYTE by = 0;
        // A sign ¤ the rival reads as a currency, the rest alike: nothing tells which is meant.
        if (against == Weighing::Holds && ReadsSignAsCurrency(reading, text, bytes, nAt, by))
            against = Weighing::InDoubt;
        // UTF-8 given to bytes that read as a one-byte charset's text as likely.
        if (against == Weighing::Holds && bUtf8Bytes && IsOneByte(rival.Charset()) && rival.Reads() && text.Compare(reading) >= 0)
            against = Weighing::InDoubt;
        // Where the two read letters otherwise, the first byte they do.
        if (against == Weighing::InDoubt && nAt < 0 && IsOneByte(charset) && IsOneByte(rival.Charset()))
            nAt = bytes.FindFirstReadOtherwise(charset, rival.Charset(), by);
        take(against, rival, nAt, by);
    }
    return standing;
}

CPageCharsetJudge::Standing CPageCharsetJudge::StandLabel(const Scored& label) const
{
    // From a few letters the detector takes text of any script for Western text: its guess, and
    // the charsets of its script, weigh against a multi-byte label only when it is sure, or
    // multi-byte itself, or the label reads characters where no word holds them ("Gr鲞e").
    const PageCharsetReading detected = Detected();
    const bool bMisread = label.pText->GetMisreadings() + label.pText->GetStrays() > 0;
    const Guesses guesses = detected.evidence != CharsetEvidence::Guess && label.Charset().IsMultiByte()
            && !detected.charset.IsMultiByte() && !bMisread
        ? Guesses::Ignore
        : Guesses::Weigh;
    Standing standing = Stand(label, Word::Page, Score(guesses));
    // UTF-8 characters among the bytes of its one-byte charset may be UTF-8 text beside its own.
    if (standing.weighing != Weighing::Outweighed && IsMixedText(label.candidate.reading)) {
        const CTextReading& mixed = MixedTextIn(label.Charset());
        if (standing.weighing == Weighing::Holds || Rank(mixed, Utf8, *standing.pRival, standing.rivalRoles) > 0)
            standing = {Weighing::InDoubt, {CPageCharset::FromName("utf-8"), CharsetEvidence::Bytes}, &mixed, Utf8};
    }
    // A one-byte label that reads control characters in words reads bytes it gives no character
    // where the page has letters: its text is in a charset no candidate is (one written on a Mac,
    // say), and converting from the label would write the controls as the page's text for good.
    // It stands against no one, though no rival reads those bytes better.
    if (standing.weighing == Weighing::Holds && IsOneByte(label.Charset()) && label.pText->GetStrays() > 0)
        standing.weighing = Weighing::Outweighed;
    return standing;
}

CPageCharsetJudge::Verdict CPageCharsetJudge::InDoubt(const PageCharsetReading& source, const PageCharsetReading& other,
                                                      long long nAt, BYTE by) const
{
    Verdict verdict = MakeVerdict(Change::Doubt, source, other);
    verdict.nFirstUnreadable = nAt;
    verdict.byFirstUnreadable = by;
    return verdict;
}

CPageCharsetJudge::Verdict CPageCharsetJudge::Unknown(const PageCharsetReading& source, const PageCharsetReading& looks) const
{
    Verdict verdict = MakeVerdict(Change::Unknown, source, looks);
    if (source.evidence == CharsetEvidence::Declaration)
        FirstOdd(source.charset, verdict.nFirstUnreadable, verdict.byFirstUnreadable);
    if (verdict.nFirstUnreadable < 0 && IsOneByte(source.charset) && IsOneByte(looks.charset))
        verdict.nFirstOtherwise = TextBytes().FindFirstReadOtherwise(source.charset, looks.charset, verdict.byFirstOtherwise);
    return verdict;
}

CPageCharsetJudge::Verdict CPageCharsetJudge::Decide() const
{
    const PageCharsetReading reading = GetReading();
    const PageCharsetReading utf8{CPageCharset::FromName("utf-8"), CharsetEvidence::Bytes};
    const bool bDeclared = m_start.evidence == CharsetEvidence::Declaration;
    // Plain facts first. ASCII alone reads alike in every charset, and bytes given the charset
    // they are declared in already stay as they are.
    if (!m_bBeyondAscii || (m_target.WritesAs(reading.charset) && !IsGuess(reading.evidence)))
        return MakeVerdict(Change::Relabel, reading);
    // A byte order mark says UTF-8; so do bytes that are UTF-8 by their sequences which the
    // detector takes for UTF-8 text, and a UTF-8 label over UTF-8 characters: bytes beside them
    // that are none are strays, which refuse its conversion by name.
    if (reading.evidence == CharsetEvidence::ByteOrderMark
        || (bDeclared && m_start.charset.GetKind() == CPageCharset::Kind::Utf8 && m_census.HasMultibyte()))
        return MakeVerdict(Change::Convert, reading);
    if (m_census.IsUtf8() && DetectorSaysUtf8())
        return MakeVerdict(m_target.GetKind() == CPageCharset::Kind::Utf8 ? Change::Relabel : Change::Convert,
                           reading.charset.GetKind() == CPageCharset::Kind::Utf8 ? reading : utf8);

    // The table of candidates, each scored by the same measures; what the author said stands ahead.
    const Table table = Score(Guesses::Weigh);
    const auto find = [&table](const CPageCharset& charset) -> const Scored* {
        for (const Scored& scored : table) {
            if (ReadAlike(scored.Charset(), charset))
                return &scored;
        }
        return nullptr;
    };
    if (const Scored* pLabel = bDeclared ? find(m_start.charset) : nullptr) {
        const Standing label = StandLabel(*pLabel);
        if (label.weighing == Weighing::Holds)
            return MakeVerdict(Change::Convert, reading);
        // Another reading of its letters, and nothing sure to tell which is meant: the page is put
        // to the user with both, neither converted from the label nor kept under another.
        if (label.weighing == Weighing::InDoubt)
            return InDoubt(reading, label.rival, label.nAt, label.by);
    }
    // Then what the user said: the charset given, where the label does not stand, keeps the bytes
    // where no reading outweighs it; in doubt, the page is put to the user with the rival's
    // reading and its own.
    if (const Scored* pTarget = find(m_target); pTarget != nullptr && pTarget->bReadsWhole) {
        const bool bReadAlike = m_target.WritesAs(reading.charset) || pTarget->pText->ReadsAs(TextIn(reading.charset));
        const Standing typed = Stand(*pTarget, bReadAlike ? Word::Page : Word::User, table);
        if (typed.weighing == Weighing::Holds)
            return MakeVerdict(Change::Relabel, reading);
        // UTF-8 given to bytes that are all UTF-8 reads so by its bytes.
        const CharsetEvidence given = m_target.GetKind() == CPageCharset::Kind::Utf8 && m_census.IsUtf8()
            ? CharsetEvidence::Bytes
            : CharsetEvidence::Given;
        if (typed.weighing == Weighing::InDoubt)
            return InDoubt(typed.rival, m_target.WritesAs(reading.charset) ? reading : PageCharsetReading{m_target, given},
                           typed.nAt, typed.by);
    }

    // No one's word stands, and the page is never converted from a guess: what its bytes look like
    // is the likeliest reading of the table, shown beside the page's own.
    const PageCharsetReading own = bDeclared ? m_start : reading;
    const Scored* pOwn = find(own.charset);
    const Scored* pBest = Likeliest(table, nullptr);
    // The page may yet be put to the user with two readings: UTF-8 beside the bytes of its own
    // one-byte charset, or of the likeliest reading where its label is multi-byte; or, under a
    // label no reading stands by, the likeliest reading and one beside it that differ only in a
    // sign ¤ and a currency; so, of a page that declares nothing, its own reading, the one the
    // scan shows, first. Of these, the one whose second reading is the likeliest.
    struct Option {
        PageCharsetReading source, other;
        const CTextReading* pOther;
        unsigned otherRoles;
        long long nAt;
        BYTE by;
    };
    std::optional<Option> doubt;
    const auto consider = [&doubt](const Option& option) {
        if (!doubt || Rank(*option.pOther, option.otherRoles, *doubt->pOther, doubt->otherRoles) > 0)
            doubt = option;
    };
    if (IsMixedText(reading))
        consider({reading, utf8, &MixedTextIn(reading.charset), Utf8, -1, 0});
    if (pBest != nullptr && bDeclared && reading.charset.IsMultiByte() && IsMixedText(pBest->candidate.reading))
        consider({pBest->candidate.reading, utf8, &MixedTextIn(pBest->Charset()), Utf8, -1, 0});
    const Scored* pFirst = nullptr;
    if (bDeclared)
        pFirst = pBest != nullptr && (pOwn == nullptr || !pBest->pText->ReadsAs(*pOwn->pText)) ? pBest : nullptr;
    else
        pFirst = pOwn != nullptr && pOwn->Reads() ? pOwn : nullptr;
    if (pFirst != nullptr) {
        const auto misread = [](const CTextReading& text) { return text.GetMisreadings() + text.GetStrays(); };
        const PageCharsetReading first = bDeclared ? NamedReading(pFirst->candidate, Detected()) : reading;
        for (const Scored& beside : table) {
            long long nAt = -1;
            BYTE by = 0;
            if (&beside != pFirst && beside.Reads() && misread(*beside.pText) == misread(*pFirst->pText)
                && (ReadsSignAsCurrency(*pFirst->pText, *beside.pText, TextBytes(), nAt, by)
                    || ReadsSignAsCurrency(*beside.pText, *pFirst->pText, TextBytes(), nAt, by)))
                consider({first, NamedReading(beside.candidate, Detected()), beside.pText, beside.candidate.roles, nAt, by});
        }
    }
    if (doubt)
        return InDoubt(doubt->source, doubt->other, doubt->nAt, doubt->by);
    const Scored* pLooks = Likeliest(table, pOwn != nullptr && pOwn->Reads() ? pOwn : nullptr);
    PageCharsetReading looks = pLooks != nullptr ? NamedReading(pLooks->candidate, Detected()) : PageCharsetReading();
    // A page that declares nothing looks like its own reading where no other is as likely.
    if (!bDeclared && pLooks == nullptr && pOwn != nullptr && pOwn->Reads())
        looks = reading;
    return Unknown(own, looks);
}
