#include "platform/core/CodePage.h"

#include "platform/core/WinError.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <iconv.h>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr char32_t kReplacement = 0xFFFD;
// The character that code page 932 gives undecodable bytes (KATAKANA MIDDLE DOT).
constexpr char32_t kReplacement932 = 0x30FB;

enum class Charset { Utf8, Cp1252, Latin1, ShiftJis, Unknown };

Charset CharsetOf(UINT codePage)
{
    switch (codePage) {
    case CP_ACP:
    case CP_OEMCP:
    case CP_THREAD_ACP:
    case CP_UTF8:
        return Charset::Utf8;
    case 1252:
        return Charset::Cp1252;
    case 28591:
        return Charset::Latin1;
    case 932:
        return Charset::ShiftJis;
    default:
        return Charset::Unknown;
    }
}

bool IsContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at p (at most avail bytes), or 0 when the bytes
// there are not one. Never reads past a byte that fails the check, so a NUL stops it.
size_t Utf8SequenceLength(const unsigned char* p, size_t avail)
{
    if (avail == 0)
        return 0;
    unsigned char b0 = p[0];
    if (b0 < 0x80)
        return 1;
    size_t length;
    unsigned char lo = 0x80, hi = 0xBF; // the allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        if (b0 == 0xE0)
            lo = 0xA0; // no overlong forms
        else if (b0 == 0xED)
            hi = 0x9F; // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        if (b0 == 0xF0)
            lo = 0x90;
        else if (b0 == 0xF4)
            hi = 0x8F; // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (avail < 2 || p[1] < lo || p[1] > hi)
        return 0;
    for (size_t i = 2; i < length; ++i)
        if (avail <= i || !IsContinuation(p[i]))
            return 0;
    return length;
}

char32_t Utf8Decode(const unsigned char* p, size_t length)
{
    switch (length) {
    case 1: return p[0];
    case 2: return (char32_t(p[0] & 0x1F) << 6) | (p[1] & 0x3F);
    case 3: return (char32_t(p[0] & 0x0F) << 12) | (char32_t(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
    default:
        return (char32_t(p[0] & 0x07) << 18) | (char32_t(p[1] & 0x3F) << 12) | (char32_t(p[2] & 0x3F) << 6) |
            (p[3] & 0x3F);
    }
}

void Utf16Encode(char32_t cp, std::u16string& out)
{
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 | (cp >> 10));
        out += static_cast<char16_t>(0xDC00 | (cp & 0x3FF));
    }
}

// An iconv conversion descriptor that closes itself.
class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~IconvHandle()
    {
        if (IsOpen())
            iconv_close(m_cd);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    bool IsOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return m_cd; }

private:
    iconv_t m_cd;
};

// The code page 932 tables come from the C library's converter; older libraries name it
// differently.
const char* const kShiftJisNames[] = {"CP932", "WINDOWS-31J", "SHIFT_JIS"};

bool OpenShiftJis(std::unique_ptr<IconvHandle>& handle, bool toShiftJis)
{
    for (const char* name : kShiftJisNames) {
        handle = toShiftJis ? std::make_unique<IconvHandle>(name, "UTF-32LE") : std::make_unique<IconvHandle>("UTF-32LE", name);
        if (handle->IsOpen())
            return true;
    }
    return false;
}

// Decodes bytes of a code page into code points. Returns false on invalid input when strict.
bool DecodeBytes(Charset charset, const unsigned char* p, size_t n, bool strict, std::u32string& out, bool& failed)
{
    failed = false;
    switch (charset) {
    case Charset::Utf8:
        for (size_t i = 0; i < n;) {
            size_t length = Utf8SequenceLength(p + i, n - i);
            if (length == 0) {
                if (strict)
                    return false;
                out += kReplacement;
                ++i;
            } else {
                out += Utf8Decode(p + i, length);
                i += length;
            }
        }
        return true;
    case Charset::Cp1252:
        for (size_t i = 0; i < n; ++i)
            out += (p[i] >= 0x80 && p[i] < 0xA0) ? char32_t(kCp1252High[p[i] - 0x80]) : char32_t(p[i]);
        return true;
    case Charset::Latin1:
        for (size_t i = 0; i < n; ++i)
            out += char32_t(p[i]);
        return true;
    case Charset::ShiftJis: {
        std::unique_ptr<IconvHandle> handle;
        if (!OpenShiftJis(handle, false)) {
            failed = true;
            return false;
        }
        size_t i = 0;
        while (i < n) {
            char32_t buffer[256];
            char* in = const_cast<char*>(reinterpret_cast<const char*>(p + i));
            size_t inLeft = n - i;
            char* outPtr = reinterpret_cast<char*>(buffer);
            size_t outLeft = sizeof buffer;
            size_t rc = iconv(handle->Get(), &in, &inLeft, &outPtr, &outLeft);
            int err = errno;
            out.append(buffer, static_cast<size_t>(reinterpret_cast<char32_t*>(outPtr) - buffer));
            i = n - inLeft;
            if (rc != static_cast<size_t>(-1))
                break;
            if (err == E2BIG)
                continue;
            // EILSEQ or an incomplete sequence at the end: one byte becomes the default character.
            if (strict)
                return false;
            out += kReplacement932;
            ++i;
            iconv(handle->Get(), nullptr, nullptr, nullptr, nullptr);
        }
        return true;
    }
    case Charset::Unknown:
        break;
    }
    failed = true;
    return false;
}

int FailConversion(DWORD error)
{
    SetLastError(error);
    return 0;
}

template <class Char>
int CopyOut(const std::basic_string<Char>& result, Char* dest, int destSize)
{
    if (result.size() > static_cast<size_t>(INT_MAX))
        return FailConversion(ERROR_INSUFFICIENT_BUFFER);
    int needed = static_cast<int>(result.size());
    if (destSize == 0)
        return needed;
    if (needed > destSize) {
        // Fill what fits, as callers of the platform sometimes use the partial result.
        memcpy(dest, result.data(), static_cast<size_t>(destSize) * sizeof(Char));
        return FailConversion(ERROR_INSUFFICIENT_BUFFER);
    }
    memcpy(dest, result.data(), result.size() * sizeof(Char));
    return needed;
}

char CodePageUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

char CodePageLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsAsciiAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The primary sort weight of a byte in word order: symbols, then digits, then letters
// (without case), then the bytes of non-ASCII characters.
int SortWeight(unsigned char c)
{
    if (c >= 0x80)
        return 0x300 + c;
    char ch = static_cast<char>(c);
    if (IsAsciiDigit(ch))
        return 0x100 + c;
    if (IsAsciiAlpha(ch))
        return 0x200 + static_cast<unsigned char>(CodePageLower(ch));
    return c;
}

int WordCompare(LPCSTR a, LPCSTR b, bool ignoreCase)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a ? a : "");
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b ? b : "");
    int caseOrder = 0;
    for (;; ++p, ++q) {
        if (*p == 0 || *q == 0) {
            if (*p != *q)
                return *p == 0 ? -1 : 1;
            return ignoreCase ? 0 : caseOrder;
        }
        int wp = SortWeight(*p), wq = SortWeight(*q);
        if (wp != wq)
            return wp < wq ? -1 : 1;
        if (caseOrder == 0 && *p != *q)
            caseOrder = (*p > *q) ? -1 : 1; // lower case (the larger byte) first
    }
}

} // namespace

const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void Utf8Encode(char32_t cp, std::string& out)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}


UINT GetACP()
{
    return CP_UTF8;
}

UINT GetOEMCP()
{
    return CP_UTF8;
}

BOOL IsDBCSLeadByte(BYTE)
{
    return FALSE;
}

BOOL IsDBCSLeadByteEx(UINT CodePage, BYTE TestChar)
{
    if (CharsetOf(CodePage) != Charset::ShiftJis)
        return FALSE;
    return (TestChar >= 0x81 && TestChar <= 0x9F) || (TestChar >= 0xE0 && TestChar <= 0xFC);
}

LPSTR CharNextA(LPCSTR lpsz)
{
    if (lpsz == nullptr)
        return nullptr;
    if (*lpsz == '\0')
        return const_cast<LPSTR>(lpsz);
    size_t length = Utf8SequenceLength(reinterpret_cast<const unsigned char*>(lpsz), SIZE_MAX);
    return const_cast<LPSTR>(lpsz + (length == 0 ? 1 : length));
}

LPSTR CharPrevA(LPCSTR lpszStart, LPCSTR lpszCurrent)
{
    if (lpszStart == nullptr || lpszCurrent == nullptr || lpszCurrent <= lpszStart)
        return const_cast<LPSTR>(lpszStart);
    LPCSTR q = lpszCurrent - 1;
    int back = 0;
    while (back < 3 && q > lpszStart && IsContinuation(static_cast<unsigned char>(*q))) {
        --q;
        ++back;
    }
    size_t span = static_cast<size_t>(lpszCurrent - q);
    if (span > 1 && Utf8SequenceLength(reinterpret_cast<const unsigned char*>(q), span) == span)
        return const_cast<LPSTR>(q);
    return const_cast<LPSTR>(lpszCurrent - 1);
}

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
    LPWSTR lpWideCharStr, int cchWideChar)
{
    if (lpMultiByteStr == nullptr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
        (lpWideCharStr == nullptr && cchWideChar != 0) ||
        static_cast<const void*>(lpMultiByteStr) == static_cast<const void*>(lpWideCharStr))
        return FailConversion(ERROR_INVALID_PARAMETER);
    Charset charset = CharsetOf(CodePage);
    if (charset == Charset::Unknown)
        return FailConversion(ERROR_INVALID_PARAMETER);
    if (charset == Charset::Utf8 && (dwFlags & ~DWORD(MB_ERR_INVALID_CHARS)) != 0)
        return FailConversion(ERROR_INVALID_FLAGS);
    if ((dwFlags & ~DWORD(MB_PRECOMPOSED | MB_COMPOSITE | MB_USEGLYPHCHARS | MB_ERR_INVALID_CHARS)) != 0 ||
        (dwFlags & MB_PRECOMPOSED && dwFlags & MB_COMPOSITE))
        return FailConversion(ERROR_INVALID_FLAGS);

    size_t n = cbMultiByte == -1 ? strlen(lpMultiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
    std::u32string codePoints;
    bool failed = false;
    if (!DecodeBytes(charset, reinterpret_cast<const unsigned char*>(lpMultiByteStr), n,
            (dwFlags & MB_ERR_INVALID_CHARS) != 0, codePoints, failed))
        return FailConversion(failed ? ERROR_INVALID_PARAMETER : ERROR_NO_UNICODE_TRANSLATION);
    std::u16string result;
    result.reserve(codePoints.size());
    for (char32_t cp : codePoints)
        Utf16Encode(cp, result);
    return CopyOut(result, lpWideCharStr, cchWideChar);
}

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
    LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar)
{
    if (lpWideCharStr == nullptr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
        (lpMultiByteStr == nullptr && cbMultiByte != 0) ||
        static_cast<const void*>(lpMultiByteStr) == static_cast<const void*>(lpWideCharStr))
        return FailConversion(ERROR_INVALID_PARAMETER);
    Charset charset = CharsetOf(CodePage);
    if (charset == Charset::Unknown)
        return FailConversion(ERROR_INVALID_PARAMETER);
    bool strict = (dwFlags & WC_ERR_INVALID_CHARS) != 0;
    if (charset == Charset::Utf8) {
        if ((dwFlags & ~DWORD(WC_ERR_INVALID_CHARS)) != 0)
            return FailConversion(ERROR_INVALID_FLAGS);
        if (lpDefaultChar != nullptr || lpUsedDefaultChar != nullptr)
            return FailConversion(ERROR_INVALID_PARAMETER);
    } else if (strict) {
        return FailConversion(ERROR_INVALID_FLAGS);
    }
    if (lpUsedDefaultChar != nullptr)
        *lpUsedDefaultChar = FALSE;

    size_t n = 0;
    if (cchWideChar == -1) {
        while (lpWideCharStr[n] != 0)
            ++n;
        ++n;
    } else {
        n = static_cast<size_t>(cchWideChar);
    }

    // The default character: one byte, or a lead byte and its trail byte in code page 932.
    std::string defaultChar = "?";
    if (lpDefaultChar != nullptr && lpDefaultChar[0] != '\0') {
        defaultChar.assign(1, lpDefaultChar[0]);
        if (charset == Charset::ShiftJis && IsDBCSLeadByteEx(932, static_cast<BYTE>(lpDefaultChar[0])) &&
            lpDefaultChar[1] != '\0')
            defaultChar += lpDefaultChar[1];
    }
    std::unique_ptr<IconvHandle> sjis;
    if (charset == Charset::ShiftJis && !OpenShiftJis(sjis, true))
        return FailConversion(ERROR_INVALID_PARAMETER);

    std::string result;
    result.reserve(n);
    auto useDefault = [&]() {
        result += defaultChar;
        if (lpUsedDefaultChar != nullptr)
            *lpUsedDefaultChar = TRUE;
    };
    for (size_t i = 0; i < n; ++i) {
        char32_t cp = lpWideCharStr[i];
        bool valid = true;
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < n && lpWideCharStr[i + 1] >= 0xDC00 && lpWideCharStr[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (lpWideCharStr[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            valid = false;
        }
        switch (charset) {
        case Charset::Utf8:
            if (!valid) {
                if (strict)
                    return FailConversion(ERROR_NO_UNICODE_TRANSLATION);
                cp = kReplacement;
            }
            Utf8Encode(cp, result);
            break;
        case Charset::Cp1252: {
            if (!valid) {
                useDefault();
                break;
            }
            if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
                result += static_cast<char>(cp);
                break;
            }
            int found = -1;
            for (int k = 0; k < 32; ++k)
                if (kCp1252High[k] == cp)
                    found = k;
            if (found >= 0)
                result += static_cast<char>(0x80 + found);
            else
                useDefault();
            break;
        }
        case Charset::Latin1:
            if (valid && cp <= 0xFF)
                result += static_cast<char>(cp);
            else
                useDefault();
            break;
        case Charset::ShiftJis: {
            if (!valid) {
                useDefault();
                break;
            }
            if (cp < 0x80) {
                result += static_cast<char>(cp);
                break;
            }
            char32_t in32 = cp;
            char* in = reinterpret_cast<char*>(&in32);
            size_t inLeft = sizeof in32;
            char buffer[8];
            char* out = buffer;
            size_t outLeft = sizeof buffer;
            if (iconv(sjis->Get(), &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) {
                iconv(sjis->Get(), nullptr, nullptr, nullptr, nullptr);
                useDefault();
            } else {
                result.append(buffer, static_cast<size_t>(out - buffer));
            }
            break;
        }
        case Charset::Unknown:
            break;
        }
    }
    return CopyOut(result, lpMultiByteStr, cbMultiByte);
}

int lstrlenA(LPCSTR lpString)
{
    if (lpString == nullptr)
        return 0;
    size_t n = strlen(lpString);
    return n > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(n);
}

LPSTR lstrcpyA(LPSTR lpString1, LPCSTR lpString2)
{
    if (lpString1 == nullptr || lpString2 == nullptr)
        return nullptr;
    memmove(lpString1, lpString2, strlen(lpString2) + 1);
    return lpString1;
}

LPSTR lstrcpynA(LPSTR lpString1, LPCSTR lpString2, int iMaxLength)
{
    if (lpString1 == nullptr || lpString2 == nullptr)
        return nullptr;
    if (iMaxLength <= 0)
        return lpString1;
    size_t count = strnlen(lpString2, static_cast<size_t>(iMaxLength - 1));
    memmove(lpString1, lpString2, count);
    lpString1[count] = '\0';
    return lpString1;
}

LPSTR lstrcatA(LPSTR lpString1, LPCSTR lpString2)
{
    if (lpString1 == nullptr || lpString2 == nullptr)
        return nullptr;
    memmove(lpString1 + strlen(lpString1), lpString2, strlen(lpString2) + 1);
    return lpString1;
}

int lstrcmpA(LPCSTR lpString1, LPCSTR lpString2)
{
    return WordCompare(lpString1, lpString2, false);
}

int lstrcmpiA(LPCSTR lpString1, LPCSTR lpString2)
{
    return WordCompare(lpString1, lpString2, true);
}

namespace {

bool IsSingleChar(LPCSTR p)
{
    return reinterpret_cast<uintptr_t>(p) < 0x10000;
}

LPSTR ConvertCase(LPSTR lpsz, char (*convert)(char))
{
    if (IsSingleChar(lpsz)) {
        char c = convert(static_cast<char>(reinterpret_cast<uintptr_t>(lpsz) & 0xFF));
        return reinterpret_cast<LPSTR>(static_cast<uintptr_t>(static_cast<unsigned char>(c)));
    }
    for (LPSTR p = lpsz; *p; ++p)
        *p = convert(*p);
    return lpsz;
}

DWORD ConvertCaseBuff(LPSTR lpsz, DWORD cchLength, char (*convert)(char))
{
    if (lpsz == nullptr)
        return 0;
    for (DWORD i = 0; i < cchLength; ++i)
        lpsz[i] = convert(lpsz[i]);
    return cchLength;
}

} // namespace

bool AsciiEqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (CodePageLower(a[i]) != CodePageLower(b[i]))
            return false;
    return true;
}

LPSTR CharUpperA(LPSTR lpsz)
{
    return ConvertCase(lpsz, CodePageUpper);
}

LPSTR CharLowerA(LPSTR lpsz)
{
    return ConvertCase(lpsz, CodePageLower);
}

DWORD CharUpperBuffA(LPSTR lpsz, DWORD cchLength)
{
    return ConvertCaseBuff(lpsz, cchLength, CodePageUpper);
}

DWORD CharLowerBuffA(LPSTR lpsz, DWORD cchLength)
{
    return ConvertCaseBuff(lpsz, cchLength, CodePageLower);
}

BOOL IsCharAlphaA(CHAR ch)
{
    return IsAsciiAlpha(ch);
}

BOOL IsCharAlphaNumericA(CHAR ch)
{
    return IsAsciiAlpha(ch) || IsAsciiDigit(ch);
}

BOOL IsCharUpperA(CHAR ch)
{
    return ch >= 'A' && ch <= 'Z';
}

BOOL IsCharLowerA(CHAR ch)
{
    return ch >= 'a' && ch <= 'z';
}
