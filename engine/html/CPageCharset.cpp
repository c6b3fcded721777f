#include "engine/html/CPageCharset.h"

#include "engine/html/PageEncodings.h"
#include "engine/html/TagAttributes.h"
#include "platform/core/CodePage.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr UINT kSampleSize = 2048;
// The escape that begins every shift of ISO-2022-JP, the one Japanese encoding in 7 bits.
constexpr BYTE kEscape = 0x1B;

char LowerAscii(char ch)
{
    return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
}

bool IsCharsetNameChar(char ch)
{
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '-' || ch == '_'
        || ch == '.' || ch == ':';
}

// The length of the valid UTF-8 sequence at p (1 for ASCII), 0 when the bytes there are not
// one, -1 when they may be one but are cut off at the end.
int Utf8Length(const unsigned char* p, size_t n)
{
    const unsigned char c = p[0];
    if (c < 0x80)
        return 1;
    int size = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        size = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        size = 3;
        if (c == 0xE0)
            lo = 0xA0;
        else if (c == 0xED)
            hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        size = 4;
        if (c == 0xF0)
            lo = 0x90;
        else if (c == 0xF4)
            hi = 0x8F;
    } else {
        return 0;
    }
    for (int k = 1; k < size; ++k) {
        if (static_cast<size_t>(k) >= n)
            return -1;
        const unsigned char next = p[k];
        if (k == 1 ? (next < lo || next > hi) : (next < 0x80 || next > 0xBF))
            return 0;
    }
    return size;
}

char32_t Utf8Value(const unsigned char* p, int size)
{
    if (size == 1)
        return p[0];
    char32_t value = p[0] & (0x7F >> size);
    for (int k = 1; k < size; ++k)
        value = (value << 6) | (p[k] & 0x3F);
    return value;
}

char32_t Cp1252Value(unsigned char ch)
{
    return (ch >= 0x80 && ch < 0xA0) ? char32_t(kCp1252High[ch - 0x80]) : char32_t(ch);
}

void AppendReference(char32_t value, std::string& out)
{
    out += "&#";
    out += std::to_string(static_cast<unsigned long>(value));
    out += ';';
}

// Whether the character is one of the five Windows-1252 leaves unassigned, which browsers read as
// the control character of the byte's own number and write back as that byte.
bool IsCp1252Unassigned(char32_t value)
{
    return value == 0x81 || value == 0x8D || value == 0x8F || value == 0x90 || value == 0x9D;
}

// The Windows-1252 byte of a character, or -1 when the code page has none.
int Cp1252Byte(char32_t value)
{
    if (value < 0x80 || (value >= 0xA0 && value <= 0xFF) || IsCp1252Unassigned(value))
        return static_cast<int>(value);
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] == value && value >= 0xA0)
            return 0x80 + i;
    }
    return -1;
}

// Puts the start of a character cut off at the end of the last piece before this piece: the
// piece becomes the joined text.
void TakePending(std::string& pending, std::string& joined, const char*& pBytes, size_t& nLength)
{
    if (pending.empty())
        return;
    joined = pending + std::string(pBytes, nLength);
    pending.clear();
    pBytes = joined.data();
    nLength = joined.size();
}

// The name after "charset" and "=" in lower-case text; empty when there is none.
std::string CharsetAfterWord(const std::string& text)
{
    for (size_t at = text.find("charset"); at != std::string::npos; at = text.find("charset", at + 1)) {
        size_t i = at + 7;
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
            ++i;
        if (i >= text.size() || text[i] != '=')
            continue;
        ++i;
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '"' || text[i] == '\''))
            ++i;
        size_t k = i;
        while (k < text.size() && IsCharsetNameChar(text[k]))
            ++k;
        if (k > i)
            return text.substr(i, k - i);
    }
    return std::string();
}

} // namespace

// ---- CPageCharset ----

std::string CPageCharset::NameInContentType(std::string_view value)
{
    std::string lower(value);
    std::transform(lower.begin(), lower.end(), lower.begin(), LowerAscii);
    return CharsetAfterWord(lower);
}

namespace {

bool IsTagBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\f' || ch == '/';
}

CPageCharset::Kind KindOf(PageEncoding::Family family)
{
    switch (family) {
    case PageEncoding::Family::Utf8:
    case PageEncoding::Family::Utf16: return CPageCharset::Kind::Utf8;
    case PageEncoding::Family::Windows1252: return CPageCharset::Kind::Windows1252;
    default: return CPageCharset::Kind::Iconv;
    }
}

// The encoding the XML declaration that opens the text names, lower-cased; empty without one.
std::string XmlDeclaredName(std::string_view text)
{
    if (CPageCharset::HasUtf8Mark(text))
        text.remove_prefix(3);
    if (text.substr(0, 5) != "<?xml" || text.size() < 6 || !IsTagBlank(text[5]))
        return std::string();
    const size_t nEnd = text.find("?>");
    std::string declaration(text.substr(0, nEnd));
    std::transform(declaration.begin(), declaration.end(), declaration.begin(), LowerAscii);
    for (size_t at = declaration.find("encoding"); at != std::string::npos; at = declaration.find("encoding", at + 1)) {
        if (!IsTagBlank(declaration[at - 1]))
            continue;
        size_t i = at + 8;
        while (i < declaration.size() && IsTagBlank(declaration[i]))
            ++i;
        if (i >= declaration.size() || declaration[i] != '=')
            continue;
        ++i;
        while (i < declaration.size() && (IsTagBlank(declaration[i]) || declaration[i] == '"' || declaration[i] == '\''))
            ++i;
        size_t k = i;
        while (k < declaration.size() && IsCharsetNameChar(declaration[k]))
            ++k;
        return declaration.substr(i, k - i);
    }
    return std::string();
}

} // namespace

std::string CPageCharset::FindDeclaredName(const BYTE* pText, UINT nLength)
{
    if (pText == nullptr)
        return std::string();
    const std::string_view text(reinterpret_cast<const char*>(pText), std::min(nLength, kSampleSize));
    for (size_t pos = 0; (pos = text.find('<', pos)) != std::string_view::npos;) {
        // A declaration in a comment declares nothing.
        if (text.substr(pos, 4) == "<!--") {
            pos = text.find("-->", pos + 4);
            if (pos == std::string_view::npos)
                break;
            continue;
        }
        ++pos;
        if (pos + 4 > text.size())
            break;
        if (LowerAscii(text[pos]) != 'm' || LowerAscii(text[pos + 1]) != 'e' || LowerAscii(text[pos + 2]) != 't'
            || LowerAscii(text[pos + 3]) != 'a' || (pos + 4 < text.size() && !IsTagBlank(text[pos + 4])))
            continue;
        pos += 4;
        // Only the tag's own declarations count: its CHARSET, or the charset in the CONTENT of an
        // HTTP-EQUIV="Content-Type"; the word in any other value declares nothing.
        std::string charset, content;
        bool bContentType = false;
        for (const auto& [name, value] : ReadTagAttributes(text, pos)) {
            std::string lower(value);
            std::transform(lower.begin(), lower.end(), lower.begin(), LowerAscii);
            if (name == "charset" && charset.empty()) {
                charset = TrimBlanks(lower);
                charset.resize(static_cast<size_t>(std::find_if_not(charset.begin(), charset.end(), IsCharsetNameChar)
                                                   - charset.begin()));
            }
            else if (name == "http-equiv")
                bContentType = bContentType || TrimBlanks(lower) == "content-type";
            else if (name == "content" && content.empty())
                content = value;
        }
        if (!charset.empty())
            return charset;
        if (bContentType) {
            if (std::string name = NameInContentType(content); !name.empty())
                return name;
        }
    }
    return XmlDeclaredName(text);
}

CPageCharset CPageCharset::FromName(std::string_view name)
{
    const PageEncoding* pEncoding = FindPageEncoding(name);
    if (pEncoding == nullptr)
        return CPageCharset();
    CPageCharset charset;
    charset.m_kind = KindOf(pEncoding->family);
    charset.m_name = pEncoding->family == PageEncoding::Family::Utf16 ? "UTF-8" : pEncoding->pszName;
    charset.m_readName = pEncoding->pszRead;
    charset.m_writeName = pEncoding->pszWrite;
    charset.m_bMultiByte = pEncoding->bMultiByte;
    if (charset.m_kind != Kind::Iconv)
        return charset;
    // A charset whose codecs cannot be had is as good as none.
    if (CPageCodec::Find(charset.m_readName) == nullptr || CPageCodec::Find(charset.m_writeName) == nullptr)
        return CPageCharset();
    return charset;
}

CPageCharset CPageCharset::ForWriting(std::string_view name)
{
    const PageEncoding* pEncoding = FindPageEncoding(name);
    if (pEncoding == nullptr || pEncoding->family == PageEncoding::Family::Utf16)
        return CPageCharset();
    return FromName(name);
}

int CPageCharset::Utf8SequenceLength(const unsigned char* p, size_t n)
{
    return Utf8Length(p, n);
}

char32_t CPageCharset::NextCharacter(std::string_view text, size_t& at)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data()) + at;
    const int size = Utf8Length(p, text.size() - at);
    if (size <= 0) {
        ++at;
        return Cp1252Value(p[0]);
    }
    at += static_cast<size_t>(size);
    return Utf8Value(p, size);
}

std::string CPageCharset::Encode(std::string_view utf8) const
{
    return Encode(utf8, [](char32_t value, size_t, std::string& out) { AppendReference(value, out); });
}

std::string CPageCharset::Encode(std::string_view utf8, const Lacking& lacking) const
{
    CPageCodec::WriteState state;
    std::string out = Encode(utf8, lacking, state);
    FinishText(state, out);
    return out;
}

void CPageCharset::FinishText(CPageCodec::WriteState& state, std::string& out) const
{
    if (m_kind == Kind::Iconv) {
        if (const CPageCodec* pCodec = CPageCodec::Find(m_writeName); pCodec != nullptr)
            pCodec->Finish(state, out);
    }
}

std::string CPageCharset::Encode(std::string_view utf8, const Lacking& lacking, CPageCodec::WriteState& state) const
{
    if (m_kind == Kind::Utf8)
        return std::string(utf8);
    std::string out;
    out.reserve(utf8.size() + 16);
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const size_t n = utf8.size();
    if (m_kind != Kind::Iconv) {
        const bool bWindows1252 = m_kind == Kind::Windows1252 && m_writeName == "WINDOWS-1252";
        const bool bLatin1 = m_kind == Kind::Windows1252 && m_writeName == "ISO-8859-1";
        for (size_t i = 0; i < n;) {
            if (p[i] < 0x80) {
                out += static_cast<char>(p[i++]);
                continue;
            }
            const size_t nAt = i;
            const char32_t value = NextCharacter(utf8, i);
            int byte = -1;
            if (value < 0x80)
                byte = static_cast<int>(value);
            else if (bWindows1252)
                byte = Cp1252Byte(value);
            else if (bLatin1 && ((value >= 0xA0 && value <= 0xFF) || IsCp1252Unassigned(value)))
                byte = static_cast<int>(value);
            if (byte >= 0)
                out += static_cast<char>(byte);
            else
                lacking(value, nAt, out);
        }
        return out;
    }
    const CPageCodec* pCodec = CPageCodec::Find(m_writeName);
    if (pCodec == nullptr) {
        // Checked when the charset was made; should its tables be wanting, references still
        // read right in any charset.
        CPageCharset undeclared;
        return undeclared.Encode(utf8, lacking);
    }
    for (size_t i = 0; i < n;) {
        // Most of a page is ASCII, which is itself in every charset's first mode; the shifts of
        // ISO-2022-JP are left to its codec.
        const auto isItself = [&](size_t at) { return p[at] < 0x80 && p[at] != 0x0E && p[at] != 0x0F && p[at] != kEscape; };
        if (state.nMode == 0 && isItself(i)) {
            size_t nEnd = i + 1;
            while (nEnd < n && isItself(nEnd))
                ++nEnd;
            out.append(utf8.substr(i, nEnd - i));
            i = nEnd;
            continue;
        }
        const size_t nAt = i;
        const char32_t value = NextCharacter(utf8, i);
        if (!pCodec->Encode(state, value, out))
            lacking(value, nAt, out);
    }
    return out;
}

// ---- CPageDecoder ----

CPageDecoder::CPageDecoder(const CPageCharset& charset) : m_kind(charset.GetKind())
{
    if (m_kind == CPageCharset::Kind::Iconv) {
        m_pCodec = CPageCodec::Find(charset.GetReadName());
        if (m_pCodec == nullptr)
            m_kind = CPageCharset::Kind::Undeclared;
    }
}

CPageDecoder::~CPageDecoder() = default;

void CPageDecoder::Decode(const char* pBytes, size_t nLength, std::string& out)
{
    if (nLength == 0)
        return;
    switch (m_kind) {
    case CPageCharset::Kind::Windows1252:
        for (size_t i = 0; i < nLength; ++i) {
            const auto ch = static_cast<unsigned char>(pBytes[i]);
            if (ch < 0x80)
                out += static_cast<char>(ch);
            else
                Utf8Encode(Cp1252Value(ch), out);
        }
        break;
    case CPageCharset::Kind::Iconv:
        m_pCodec->Decode(m_codecState, reinterpret_cast<const BYTE*>(pBytes), nLength, out);
        NoteCodecUnread();
        break;
    default: DecodeUtf8(pBytes, nLength, out); break;
    }
}

void CPageDecoder::DecodeUtf8(const char* pBytes, size_t nLength, std::string& out)
{
    std::string joined;
    TakePending(m_pending, joined, pBytes, nLength);
    const long long nStart = m_nTextStart;
    m_nTextStart += static_cast<long long>(nLength);
    const auto* p = reinterpret_cast<const unsigned char*>(pBytes);
    size_t i = 0;
    size_t runStart = 0;
    while (i < nLength) {
        // Runs of valid text are copied whole.
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        const int size = Utf8Length(p + i, nLength - i);
        if (size > 0) {
            i += static_cast<size_t>(size);
            continue;
        }
        out.append(pBytes + runStart, i - runStart);
        if (size < 0) {
            m_pending.assign(pBytes + i, nLength - i);
            m_nTextStart -= static_cast<long long>(nLength - i);
            return;
        }
        // A byte that is no UTF-8 reads as its Windows-1252 character.
        if (m_nFirstUnread < 0) {
            m_nFirstUnread = nStart + static_cast<long long>(i);
            m_byFirstUnread = p[i];
        }
        Utf8Encode(Cp1252Value(p[i]), out);
        ++i;
        runStart = i;
    }
    out.append(pBytes + runStart, nLength - runStart);
}

void CPageDecoder::NoteCodecUnread()
{
    if (m_nFirstUnread < 0 && m_codecState.nFirstUnread >= 0) {
        m_nFirstUnread = m_codecState.nFirstUnread;
        m_byFirstUnread = m_codecState.byFirstUnread;
    }
}

void CPageDecoder::Finish(std::string& out)
{
    if (m_kind == CPageCharset::Kind::Iconv) {
        m_pCodec->Finish(m_codecState, out);
        NoteCodecUnread();
        return;
    }
    if (m_pending.empty())
        return;
    const std::string pending = std::move(m_pending);
    m_pending.clear();
    if (m_nFirstUnread < 0) {
        m_nFirstUnread = m_nTextStart;
        m_byFirstUnread = static_cast<BYTE>(pending[0]);
    }
    m_nTextStart += static_cast<long long>(pending.size());
    // What is left can be no whole character: each byte is shown on its own.
    for (const char ch : pending)
        Utf8Encode(Cp1252Value(static_cast<unsigned char>(ch)), out);
}

// ---- CUtf8Census ----

void CUtf8Census::Add(const char* pBytes, size_t nLength)
{
    std::string joined;
    TakePending(m_pending, joined, pBytes, nLength);
    const long long nStart = m_nTextStart;
    m_nTextStart += static_cast<long long>(nLength);
    const auto* p = reinterpret_cast<const unsigned char*>(pBytes);
    for (size_t i = 0; i < nLength && !IsSettled();) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        const int size = Utf8Length(p + i, nLength - i);
        if (size < 0) {
            m_pending.assign(pBytes + i, nLength - i);
            m_nTextStart -= static_cast<long long>(nLength - i);
            return;
        }
        if (size == 0) {
            if (m_nFirstInvalid < 0) {
                m_nFirstInvalid = nStart + static_cast<long long>(i);
                m_byFirstInvalid = p[i];
            }
            ++i;
        } else {
            m_bMultibyte = true;
            Keep(Utf8Value(p + i, size));
            i += static_cast<size_t>(size);
        }
    }
}

void CUtf8Census::Keep(char32_t ch)
{
    if (m_bMoreCharacters || m_characters.find(ch) != std::u32string::npos)
        return;
    if (m_characters.size() < kCharactersKept)
        m_characters += ch;
    else
        m_bMoreCharacters = true;
}

void CUtf8Census::Finish()
{
    if (!m_pending.empty() && m_nFirstInvalid < 0) {
        m_nFirstInvalid = m_nTextStart;
        m_byFirstInvalid = static_cast<BYTE>(m_pending[0]);
    }
    m_pending.clear();
}

std::string CPageCharset::Decode(std::string_view bytes) const
{
    CPageDecoder decoder(*this);
    std::string text;
    decoder.Decode(bytes.data(), bytes.size(), text);
    decoder.Finish(text);
    return text;
}
