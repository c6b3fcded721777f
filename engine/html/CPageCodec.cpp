#include "engine/html/CPageCodec.h"

#include "platform/core/CodePage.h"

#include <algorithm>

namespace {

using Table = CCharsetIndex::Table;
using Layout = CCharsetIndex::Layout;
using Scheme = CPageCodec::Scheme;

constexpr BYTE kCodecEscape = 0x1B;
constexpr char32_t kReplacement = 0xFFFD;
// The first half-width katakana, which EUC-JP, ISO-2022-JP and Shift_JIS hold in a row.
constexpr char32_t kHalfWidthKatakana = 0xFF61;
// Big5's pointers below this are Hong Kong extensions, which pages are read in but not written.
constexpr uint32_t kBig5Written = (0xA1 - 0x81) * 157;
// Shift_JIS leaves out of writing the duplicates NEC chose of IBM's characters.
constexpr uint32_t kShiftJisUnwrittenFrom = 8272;
constexpr uint32_t kShiftJisUnwrittenTo = 8835;
// The rows of JIS X 0208 that EUC-JP and ISO-2022-JP reach.
constexpr uint32_t kJisRows = 94 * 94;

// The modes of ISO-2022-JP, and the two an escape sequence is read in.
enum Mode : int { Ascii, Roman, Katakana, LeadByte, TrailByte, EscapeStart, Escape };

bool InRange(int ch, int lo, int hi)
{
    return ch >= lo && ch <= hi;
}

const CPageCodec kCodecs[] = {
    {"IBM866", Scheme::SingleByte, Table::Ibm866},
    {"ISO-8859-2", Scheme::SingleByte, Table::Iso8859_2},
    {"ISO-8859-3", Scheme::SingleByte, Table::Iso8859_3},
    {"ISO-8859-4", Scheme::SingleByte, Table::Iso8859_4},
    {"ISO-8859-5", Scheme::SingleByte, Table::Iso8859_5},
    {"ISO-8859-6", Scheme::SingleByte, Table::Iso8859_6},
    {"ISO-8859-7", Scheme::SingleByte, Table::Iso8859_7},
    {"ISO-8859-8", Scheme::SingleByte, Table::Iso8859_8},
    {"ISO-8859-10", Scheme::SingleByte, Table::Iso8859_10},
    {"ISO-8859-13", Scheme::SingleByte, Table::Iso8859_13},
    {"ISO-8859-14", Scheme::SingleByte, Table::Iso8859_14},
    {"ISO-8859-15", Scheme::SingleByte, Table::Iso8859_15},
    {"ISO-8859-16", Scheme::SingleByte, Table::Iso8859_16},
    {"KOI8-R", Scheme::SingleByte, Table::Koi8R},
    {"KOI8-U", Scheme::SingleByte, Table::Koi8U},
    {"MACINTOSH", Scheme::SingleByte, Table::Macintosh},
    {"WINDOWS-874", Scheme::SingleByte, Table::Windows874},
    {"CP1250", Scheme::SingleByte, Table::Windows1250},
    {"CP1251", Scheme::SingleByte, Table::Windows1251},
    {"CP1253", Scheme::SingleByte, Table::Windows1253},
    {"CP1254", Scheme::SingleByte, Table::Windows1254},
    {"CP1255", Scheme::SingleByte, Table::Windows1255},
    {"CP1256", Scheme::SingleByte, Table::Windows1256},
    {"CP1257", Scheme::SingleByte, Table::Windows1257},
    {"CP1258", Scheme::SingleByte, Table::Windows1258},
    {"MAC-CYRILLIC", Scheme::SingleByte, Table::XMacCyrillic},
    {"GB18030", Scheme::Gb18030, Table::Gb18030},
    {"GBK", Scheme::Gbk, Table::Gb18030},
    {"BIG5", Scheme::Big5, Table::Big5},
    {"EUC-JP", Scheme::EucJp, Table::Jis0208},
    {"ISO-2022-JP", Scheme::Iso2022Jp, Table::Jis0208},
    {"CP932", Scheme::ShiftJis, Table::Jis0208},
    {"EUC-KR", Scheme::EucKr, Table::EucKr},
    {"CP949", Scheme::Windows949, Table::EucKr},
};

void Hold(CPageCodec::ReadState& state, BYTE byte, long long nAt)
{
    if (state.nHeld == 0)
        state.nHeldAt = nAt;
    state.held[state.nHeld++] = byte;
}

// A pointer of 94 rows of 94 as its two bytes, each from base.
void AppendRowAndCell(long nPointer, int base, std::string& out)
{
    out += static_cast<char>(nPointer / 94 + base);
    out += static_cast<char>(nPointer % 94 + base);
}

} // namespace

const CPageCodec* CPageCodec::Find(std::string_view name)
{
    for (const CPageCodec& codec : kCodecs) {
        if (name != codec.m_pszName)
            continue;
        // A charset whose tables cannot be had is as good as none.
        if (CCharsetIndex::Get(codec.m_table) == nullptr
            || (codec.m_scheme == Scheme::EucJp && CCharsetIndex::Get(Table::Jis0212) == nullptr))
            return nullptr;
        return &codec;
    }
    return nullptr;
}

const CCharsetIndex& CPageCodec::Index() const
{
    return *CCharsetIndex::Get(m_table);
}

const CCharsetIndex& CPageCodec::Jis0212() const
{
    return *CCharsetIndex::Get(Table::Jis0212);
}

// ---- Reading ----

void CPageCodec::Unread(ReadState& state, long long nAt, BYTE byte, std::string& out)
{
    Utf8Encode(kReplacement, out);
    if (state.nFirstUnread < 0) {
        state.nFirstUnread = nAt;
        state.byFirstUnread = byte;
    }
}

void CPageCodec::EndPair(ReadState& state, char32_t ch, BYTE lead, BYTE trail, std::string& out)
{
    if (ch != 0) {
        Utf8Encode(ch, out);
        return;
    }
    // An ASCII byte after a lead is itself; any other is taken with the lead.
    Unread(state, state.nHeldAt, lead, out);
    if (trail < 0x80)
        out += static_cast<char>(trail);
}

void CPageCodec::Decode(ReadState& state, const BYTE* pBytes, size_t nLength, std::string& out) const
{
    if (m_scheme == Scheme::SingleByte) {
        const CCharsetIndex& index = Index();
        for (size_t i = 0; i < nLength; ++i) {
            const BYTE byte = pBytes[i];
            if (byte < 0x80)
                out += static_cast<char>(byte);
            else if (const char32_t ch = index.At(byte - 0x80u); ch != 0)
                Utf8Encode(ch, out);
            else
                Unread(state, state.nAt + static_cast<long long>(i), byte, out);
        }
    } else {
        const bool bAsciiIsItself = m_scheme != Scheme::Iso2022Jp;
        for (size_t i = 0; i < nLength;) {
            // Runs of ASCII between characters, most of a page, are themselves; but in
            // ISO-2022-JP, where the mode tells.
            if (bAsciiIsItself && state.nHeld == 0 && pBytes[i] < 0x80) {
                size_t nEnd = i + 1;
                while (nEnd < nLength && pBytes[nEnd] < 0x80)
                    ++nEnd;
                out.append(reinterpret_cast<const char*>(pBytes + i), nEnd - i);
                i = nEnd;
                continue;
            }
            Step(state, pBytes[i], state.nAt + static_cast<long long>(i), out);
            ++i;
        }
    }
    state.nAt += static_cast<long long>(nLength);
}

void CPageCodec::Step(ReadState& state, BYTE byte, long long nAt, std::string& out) const
{
    switch (m_scheme) {
    case Scheme::Gb18030:
    case Scheme::Gbk: StepGb18030(state, byte, nAt, out); break;
    case Scheme::EucJp: StepEucJp(state, byte, nAt, out); break;
    case Scheme::Iso2022Jp: StepIso2022Jp(state, byte, nAt, out); break;
    default: StepTwoByte(state, byte, nAt, out); break;
    }
}

void CPageCodec::StepGb18030(ReadState& state, BYTE byte, long long nAt, std::string& out) const
{
    const long long nHeldAt = state.nHeldAt;
    const BYTE first = state.held[0];
    switch (state.nHeld) {
    case 3: {
        const BYTE second = state.held[1];
        const BYTE third = state.held[2];
        state.nHeld = 0;
        if (!InRange(byte, 0x30, 0x39)) {
            // No four-byte sequence: the bytes after its first are read afresh.
            Unread(state, nHeldAt, first, out);
            Step(state, second, nHeldAt + 1, out);
            Step(state, third, nHeldAt + 2, out);
            Step(state, byte, nAt, out);
            return;
        }
        const uint32_t nPointer = (first - 0x81u) * 12600 + (second - 0x30u) * 1260 + (third - 0x81u) * 10 + (byte - 0x30u);
        if (const char32_t ch = CCharsetIndex::Gb18030RangesAt(nPointer); ch != 0)
            Utf8Encode(ch, out);
        else
            Unread(state, nHeldAt, first, out);
        return;
    }
    case 2: {
        if (InRange(byte, 0x81, 0xFE)) {
            Hold(state, byte, nAt);
            return;
        }
        const BYTE second = state.held[1];
        state.nHeld = 0;
        Unread(state, nHeldAt, first, out);
        Step(state, second, nHeldAt + 1, out);
        Step(state, byte, nAt, out);
        return;
    }
    case 1: {
        if (InRange(byte, 0x30, 0x39)) {
            Hold(state, byte, nAt);
            return;
        }
        state.nHeld = 0;
        char32_t ch = 0;
        if (InRange(byte, 0x40, 0x7E) || InRange(byte, 0x80, 0xFE))
            ch = Index().At((first - 0x81u) * 190 + (byte - (byte < 0x7F ? 0x40u : 0x41u)));
        EndPair(state, ch, first, byte, out);
        return;
    }
    default: break;
    }
    if (byte < 0x80)
        out += static_cast<char>(byte);
    else if (byte == 0x80)
        Utf8Encode(0x20AC, out);
    else if (byte != 0xFF)
        Hold(state, byte, nAt);
    else
        Unread(state, nAt, byte, out);
}

char32_t CPageCodec::PairAt(BYTE lead, BYTE trail, char32_t& ch2) const
{
    ch2 = 0;
    switch (m_scheme) {
    case Scheme::Big5: {
        if (!InRange(trail, 0x40, 0x7E) && !InRange(trail, 0xA1, 0xFE))
            return 0;
        const uint32_t nPointer = (lead - 0x81u) * 157 + (trail - (trail < 0x7F ? 0x40u : 0x62u));
        // Four codes stand for a letter with two marks, which no one character is.
        switch (nPointer) {
        case 1133: ch2 = 0x0304; return 0x00CA;
        case 1135: ch2 = 0x030C; return 0x00CA;
        case 1164: ch2 = 0x0304; return 0x00EA;
        case 1166: ch2 = 0x030C; return 0x00EA;
        default: return Index().At(nPointer);
        }
    }
    case Scheme::ShiftJis: {
        if (!InRange(trail, 0x40, 0x7E) && !InRange(trail, 0x80, 0xFC))
            return 0;
        const uint32_t nPointer = (lead - (lead < 0xA0 ? 0x81u : 0xC1u)) * 188 + (trail - (trail < 0x7F ? 0x40u : 0x41u));
        // The user-defined area reads as private characters.
        if (nPointer >= 8836 && nPointer < 10716)
            return 0xE000 + (nPointer - 8836);
        return Index().At(nPointer);
    }
    default:
        if (!InRange(trail, 0x41, 0xFE))
            return 0;
        return Index().At((lead - 0x81u) * 190 + (trail - 0x41u));
    }
}

void CPageCodec::StepTwoByte(ReadState& state, BYTE byte, long long nAt, std::string& out) const
{
    if (state.nHeld > 0) {
        const BYTE lead = state.held[0];
        state.nHeld = 0;
        char32_t ch2 = 0;
        EndPair(state, PairAt(lead, byte, ch2), lead, byte, out);
        if (ch2 != 0)
            Utf8Encode(ch2, out);
        return;
    }
    if (byte < 0x80) {
        out += static_cast<char>(byte);
        return;
    }
    if (m_scheme == Scheme::ShiftJis) {
        if (byte == 0x80)
            Utf8Encode(0x80, out);
        else if (InRange(byte, 0xA1, 0xDF))
            Utf8Encode(kHalfWidthKatakana + (byte - 0xA1u), out);
        else if (InRange(byte, 0x81, 0x9F) || InRange(byte, 0xE0, 0xFC))
            Hold(state, byte, nAt);
        else
            Unread(state, nAt, byte, out);
        return;
    }
    if (InRange(byte, 0x81, 0xFE))
        Hold(state, byte, nAt);
    else
        Unread(state, nAt, byte, out);
}

void CPageCodec::StepEucJp(ReadState& state, BYTE byte, long long nAt, std::string& out) const
{
    if (state.nHeld > 0) {
        const BYTE lead = state.held[0];
        if (lead == 0x8E && InRange(byte, 0xA1, 0xDF)) {
            state.nHeld = 0;
            Utf8Encode(kHalfWidthKatakana + (byte - 0xA1u), out);
            return;
        }
        if (lead == 0x8F && state.nHeld == 1 && InRange(byte, 0xA1, 0xFE)) {
            Hold(state, byte, nAt);
            return;
        }
        // 0x8F and a row: a character of JIS X 0212.
        const bool bJis0212 = lead == 0x8F && state.nHeld == 2;
        const BYTE row = bJis0212 ? state.held[1] : lead;
        state.nHeld = 0;
        char32_t ch = 0;
        if (InRange(row, 0xA1, 0xFE) && InRange(byte, 0xA1, 0xFE)) {
            const uint32_t nPointer = (row - 0xA1u) * 94 + (byte - 0xA1u);
            ch = bJis0212 ? Jis0212().At(nPointer) : Index().At(nPointer);
        }
        EndPair(state, ch, lead, byte, out);
        return;
    }
    if (byte < 0x80)
        out += static_cast<char>(byte);
    else if (byte == 0x8E || byte == 0x8F || InRange(byte, 0xA1, 0xFE))
        Hold(state, byte, nAt);
    else
        Unread(state, nAt, byte, out);
}

void CPageCodec::StepIso2022Jp(ReadState& state, BYTE byte, long long nAt, std::string& out) const
{
    const long long nHeldAt = state.nHeldAt;
    switch (state.nMode) {
    case EscapeStart:
        if (byte == '$' || byte == '(') {
            Hold(state, byte, nAt);
            state.nMode = Escape;
            return;
        }
        state.nHeld = 0;
        state.nMode = state.nOutputMode;
        Unread(state, nHeldAt, kCodecEscape, out);
        Step(state, byte, nAt, out);
        return;
    case Escape: {
        const BYTE intro = state.held[1];
        state.nHeld = 0;
        int nNext = -1;
        if (intro == '(' && byte == 'B')
            nNext = Ascii;
        else if (intro == '(' && byte == 'J')
            nNext = Roman;
        else if (intro == '(' && byte == 'I')
            nNext = Katakana;
        else if (intro == '$' && (byte == '@' || byte == 'B'))
            nNext = LeadByte;
        if (nNext >= 0) {
            state.nMode = state.nOutputMode = nNext;
            // Two escape sequences with no text between them are read as a fault, as browsers
            // read them: such bytes were not written as text.
            const bool bTwice = state.bEscaped;
            state.bEscaped = true;
            if (bTwice)
                Unread(state, nHeldAt, kCodecEscape, out);
            return;
        }
        state.nMode = state.nOutputMode;
        Unread(state, nHeldAt, kCodecEscape, out);
        Step(state, intro, nHeldAt + 1, out);
        Step(state, byte, nAt, out);
        return;
    }
    default: break;
    }
    if (byte == kCodecEscape) {
        if (state.nMode == TrailByte) {
            state.nHeld = 0;
            Unread(state, nHeldAt, state.held[0], out);
        }
        state.nMode = EscapeStart;
        Hold(state, byte, nAt);
        return;
    }
    state.bEscaped = false;
    switch (state.nMode) {
    case Ascii:
    case Roman:
        if (state.nMode == Roman && (byte == 0x5C || byte == 0x7E))
            Utf8Encode(byte == 0x5C ? 0x00A5 : 0x203E, out);
        else if (byte < 0x80 && byte != 0x0E && byte != 0x0F)
            out += static_cast<char>(byte);
        else
            Unread(state, nAt, byte, out);
        return;
    case Katakana:
        if (InRange(byte, 0x21, 0x5F))
            Utf8Encode(kHalfWidthKatakana + (byte - 0x21u), out);
        else
            Unread(state, nAt, byte, out);
        return;
    case LeadByte:
        if (InRange(byte, 0x21, 0x7E)) {
            Hold(state, byte, nAt);
            state.nMode = TrailByte;
        } else {
            Unread(state, nAt, byte, out);
        }
        return;
    default: { // TrailByte
        const BYTE lead = state.held[0];
        state.nHeld = 0;
        state.nMode = LeadByte;
        char32_t ch = 0;
        if (InRange(byte, 0x21, 0x7E))
            ch = Index().At((lead - 0x21u) * 94 + (byte - 0x21u));
        if (ch != 0)
            Utf8Encode(ch, out);
        else
            Unread(state, nHeldAt, lead, out);
        return;
    }
    }
}

void CPageCodec::Finish(ReadState& state, std::string& out) const
{
    if (m_scheme == Scheme::Iso2022Jp) {
        const int nMode = state.nMode;
        if (nMode != EscapeStart && nMode != Escape && nMode != TrailByte)
            return;
        const BYTE intro = state.held[1];
        state.nHeld = 0;
        state.nMode = nMode == TrailByte ? LeadByte : state.nOutputMode;
        Unread(state, state.nHeldAt, nMode == TrailByte ? state.held[0] : kCodecEscape, out);
        // An escape cut off after its second byte leaves that byte to be read as text.
        if (nMode == Escape) {
            Step(state, intro, state.nHeldAt + 1, out);
            Finish(state, out);
        }
        return;
    }
    if (state.nHeld == 0)
        return;
    state.nHeld = 0;
    Unread(state, state.nHeldAt, state.held[0], out);
}

// ---- Writing ----

long CPageCodec::PointerFor(char32_t ch) const
{
    const std::span<const CCharsetIndex::Entry> pointers = Index().PointersOf(ch);
    const auto written = [&](const CCharsetIndex::Entry& entry) {
        if (m_scheme == Scheme::Big5)
            return entry.nPointer >= kBig5Written;
        if (m_scheme == Scheme::ShiftJis)
            return entry.nPointer < kShiftJisUnwrittenFrom || entry.nPointer > kShiftJisUnwrittenTo;
        return true;
    };
    // Big5 writes the box-drawing lines and two numerals that it holds twice by their later codes.
    if (m_scheme == Scheme::Big5
        && (ch == 0x2550 || ch == 0x255E || ch == 0x2561 || ch == 0x256A || ch == 0x5341 || ch == 0x5345)) {
        const auto last = std::find_if(pointers.rbegin(), pointers.rend(), written);
        return last == pointers.rend() ? -1 : static_cast<long>(last->nPointer);
    }
    const auto first = std::find_if(pointers.begin(), pointers.end(), written);
    return first == pointers.end() ? -1 : static_cast<long>(first->nPointer);
}

bool CPageCodec::Encode(WriteState& state, char32_t ch, std::string& out) const
{
    if (m_scheme == Scheme::Iso2022Jp)
        return EncodeIso2022Jp(state, ch, out);
    if (ch < 0x80) {
        out += static_cast<char>(ch);
        return true;
    }
    if (m_scheme == Scheme::SingleByte) {
        const long nPointer = Index().FirstPointer(ch);
        if (nPointer < 0)
            return false;
        out += static_cast<char>(0x80 + nPointer);
        return true;
    }
    if (m_scheme == Scheme::Gbk && ch == 0x20AC) {
        out += '\x80';
        return true;
    }
    if ((m_scheme == Scheme::ShiftJis || m_scheme == Scheme::EucJp) && InRange(ch, kHalfWidthKatakana, 0xFF9F)) {
        if (m_scheme == Scheme::EucJp)
            out += '\x8E';
        out += static_cast<char>(ch - kHalfWidthKatakana + 0xA1);
        return true;
    }
    if (m_scheme == Scheme::ShiftJis && ch == 0x80) {
        out += '\x80';
        return true;
    }
    const long nPointer = PointerFor(ch);
    if (nPointer >= 0) {
        const auto pointer = static_cast<uint32_t>(nPointer);
        switch (m_scheme) {
        case Scheme::Gb18030:
        case Scheme::Gbk: out += CCharsetIndex::BytesOf(Layout::Gb18030, pointer); return true;
        case Scheme::Big5: out += CCharsetIndex::BytesOf(Layout::Big5, pointer); return true;
        case Scheme::ShiftJis: out += CCharsetIndex::BytesOf(Layout::Jis0208, pointer); return true;
        case Scheme::EucJp:
            if (pointer >= kJisRows)
                return false;
            AppendRowAndCell(nPointer, 0xA1, out);
            return true;
        case Scheme::EucKr:
            // EUC-KR proper: the pairs of both halves above 0xA0, which any reader of the charset
            // knows; the other Hangul syllables become references.
            if (pointer / 190 + 0x81 < 0xA1 || pointer % 190 + 0x41 < 0xA1)
                return false;
            [[fallthrough]];
        default: out += CCharsetIndex::BytesOf(Layout::EucKr, pointer); return true;
        }
    }
    if (m_scheme != Scheme::Gb18030 || ch > 0x10FFFF)
        return false;
    // gb18030 holds every character: those without a pair in four bytes. The private character
    // whose pair another took has none that reads back as it.
    uint32_t nPointer4 = CCharsetIndex::Gb18030RangesPointer(ch);
    if (CCharsetIndex::Gb18030RangesAt(nPointer4) != ch)
        return false;
    char bytes[4];
    bytes[3] = static_cast<char>(0x30 + nPointer4 % 10);
    nPointer4 /= 10;
    bytes[2] = static_cast<char>(0x81 + nPointer4 % 126);
    nPointer4 /= 126;
    bytes[1] = static_cast<char>(0x30 + nPointer4 % 10);
    bytes[0] = static_cast<char>(0x81 + nPointer4 / 10);
    out.append(bytes, 4);
    return true;
}

bool CPageCodec::EncodeIso2022Jp(WriteState& state, char32_t ch, std::string& out) const
{
    const auto shift = [&](int nMode) {
        if (state.nMode == nMode)
            return;
        state.nMode = nMode;
        out += nMode == Ascii ? "\x1B(B" : nMode == Roman ? "\x1B(J" : "\x1B$B";
    };
    // The shift bytes themselves are never text.
    if (ch == 0x0E || ch == 0x0F || ch == kCodecEscape) {
        shift(Ascii);
        return false;
    }
    if (ch < 0x80) {
        // Roman holds ASCII but for the backslash and the tilde, whose places the yen sign and
        // the overline take.
        if (state.nMode != Roman || ch == 0x5C || ch == 0x7E)
            shift(Ascii);
        out += static_cast<char>(ch);
        return true;
    }
    if (ch == 0x00A5 || ch == 0x203E) {
        shift(Roman);
        out += ch == 0x00A5 ? '\x5C' : '\x7E';
        return true;
    }
    // Half-width katakana are written by browsers as their full-width twins, which read back
    // as other characters: they are left to the caller.
    const long nPointer = Index().FirstPointer(ch);
    if (nPointer < 0 || nPointer >= static_cast<long>(kJisRows)) {
        shift(Ascii);
        return false;
    }
    shift(LeadByte);
    AppendRowAndCell(nPointer, 0x21, out);
    return true;
}

void CPageCodec::Finish(WriteState& state, std::string& out) const
{
    if (m_scheme == Scheme::Iso2022Jp && state.nMode != Ascii) {
        state.nMode = Ascii;
        out += "\x1B(B";
    }
}
