// CString: the program's byte string, a single pointer to its NUL-terminated characters.
#pragma once

#include "platform/core/Types.h"

#include <concepts>
#include <cstdarg>
#include <cstdint>
#include <type_traits>
#include <utility>

class CString;

// Arguments given to the formatting functions pass through this adapter: a CString
// becomes its character pointer, so "%s" with a CString argument works as callers expect.
// Other variadic formatters of the program should route their arguments through it too.
inline LPCTSTR AfxFormatArg(const CString& s);
template <class T>
    requires(!std::is_base_of_v<CString, std::remove_cvref_t<T>>)
inline T&& AfxFormatArg(T&& value)
{
    return std::forward<T>(value);
}

// Looks up string resource nID; returns its NUL-terminated text or nullptr when the table
// holds no such string. The resource tables install it at start-up.
typedef LPCTSTR (*AFX_STRING_RESOURCE_HOOK)(UINT nID);

// Installs the string-table lookup used by CString::LoadString; returns the previous one.
// Callable from any thread.
AFX_STRING_RESOURCE_HOOK AfxSetStringResourceHook(AFX_STRING_RESOURCE_HOOK hook);
AFX_STRING_RESOURCE_HOOK AfxGetStringResourceHook();

class CString {
public:
    CString() noexcept;
    CString(const CString& other);
    CString(CString&& other) noexcept;
    // A NULL pointer gives an empty string; a value below 0x10000 is a string resource id.
    CString(LPCTSTR psz);
    CString(LPCTSTR pch, int nLength);
    explicit CString(TCHAR ch, int nRepeat = 1);
    ~CString();

    CString& operator=(const CString& other);
    CString& operator=(CString&& other) noexcept;
    CString& operator=(LPCTSTR psz);
    CString& operator=(TCHAR ch);

    // The length in bytes, which may include NULs placed through GetBufferSetLength.
    int GetLength() const noexcept;
    BOOL IsEmpty() const noexcept { return GetLength() == 0; }
    void Empty();

    // Indexes from 0 to GetLength(); GetLength() itself reads the terminating NUL.
    TCHAR GetAt(int nIndex) const;
    void SetAt(int nIndex, TCHAR ch);
    template <std::integral I>
    TCHAR operator[](I nIndex) const
    {
        return GetAt(static_cast<int>(nIndex));
    }

    operator LPCTSTR() const noexcept { return m_pszData; }
    LPCTSTR GetString() const noexcept { return m_pszData; }

    CString& operator+=(const CString& s);
    CString& operator+=(LPCTSTR psz);
    CString& operator+=(TCHAR ch);
    void Append(LPCTSTR pch, int nLength);

    // Comparisons of the texts up to their first NUL; 0 when equal.
    int Compare(LPCTSTR psz) const;
    // Ignores the case of ASCII letters only.
    int CompareNoCase(LPCTSTR psz) const;
    // Locale order (strcoll).
    int Collate(LPCTSTR psz) const;
    int CollateNoCase(LPCTSTR psz) const;

    // Sub-strings; out-of-range positions and counts are clamped, never an error.
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString SpanIncluding(LPCTSTR pszCharSet) const;
    CString SpanExcluding(LPCTSTR pszCharSet) const;

    CString& MakeUpper();
    CString& MakeLower();
    CString& MakeReverse();

    // Each returns the number of replacements or removals.
    int Replace(TCHAR chOld, TCHAR chNew);
    int Replace(LPCTSTR pszOld, LPCTSTR pszNew);
    int Remove(TCHAR ch);
    // Each returns the new length.
    int Insert(int nIndex, TCHAR ch);
    int Insert(int nIndex, LPCTSTR psz);
    int Delete(int nIndex, int nCount = 1);

    // printf formatting; a CString argument prints as its text with "%s".
    template <class... Args>
    void Format(LPCTSTR pszFormat, Args&&... args)
    {
        FormatImpl(pszFormat, AfxFormatArg(std::forward<Args>(args))...);
    }
    // The same with a format string taken from the string table.
    template <class... Args>
    void Format(UINT nFormatID, Args&&... args)
    {
        CString format;
        format.LoadString(nFormatID);
        FormatImpl(format.GetString(), AfxFormatArg(std::forward<Args>(args))...);
    }
    template <class... Args>
    void AppendFormat(LPCTSTR pszFormat, Args&&... args)
    {
        AppendFormatImpl(pszFormat, AfxFormatArg(std::forward<Args>(args))...);
    }
    void FormatV(LPCTSTR pszFormat, va_list args);
    void AppendFormatV(LPCTSTR pszFormat, va_list args);

    // Message formatting with numbered inserts: "%1" is the first argument as a string,
    // "%2!u!" the second with printf conversion "u"; "%%" is "%", "%n" a line break.
    // An insert without a matching argument stays as written.
    template <class... Args>
    void FormatMessage(LPCTSTR pszFormat, Args&&... args)
    {
        const MessageArg packed[] = {MessageArg(AfxFormatArg(std::forward<Args>(args)))..., MessageArg()};
        FormatMessageImpl(pszFormat, packed, sizeof...(Args));
    }
    template <class... Args>
    void FormatMessage(UINT nFormatID, Args&&... args)
    {
        CString format;
        format.LoadString(nFormatID);
        const MessageArg packed[] = {MessageArg(AfxFormatArg(std::forward<Args>(args)))..., MessageArg()};
        FormatMessageImpl(format.GetString(), packed, sizeof...(Args));
    }

    // Without an argument the white space characters (ASCII) are trimmed.
    CString& TrimLeft();
    CString& TrimLeft(TCHAR chTarget);
    CString& TrimLeft(LPCTSTR pszTargets);
    CString& TrimRight();
    CString& TrimRight(TCHAR chTarget);
    CString& TrimRight(LPCTSTR pszTargets);
    CString& Trim();
    CString& Trim(TCHAR chTarget);
    CString& Trim(LPCTSTR pszTargets);

    // Positions are 0-based; -1 when not found.
    int Find(TCHAR ch) const { return Find(ch, 0); }
    int Find(TCHAR ch, int nStart) const;
    int Find(LPCTSTR pszSub) const { return Find(pszSub, 0); }
    int Find(LPCTSTR pszSub, int nStart) const;
    int ReverseFind(TCHAR ch) const;
    int FindOneOf(LPCTSTR pszCharSet) const;

    // Direct access to the characters. The buffer holds at least nMinBufLength characters
    // plus a NUL; ReleaseBuffer(-1) takes the length up to the first NUL.
    LPTSTR GetBuffer(int nMinBufLength);
    LPTSTR GetBuffer() { return GetBuffer(0); }
    // Sets the length to nNewLength (the content may then hold NULs).
    LPTSTR GetBufferSetLength(int nNewLength);
    void ReleaseBuffer(int nNewLength = -1);
    LPTSTR LockBuffer();
    void UnlockBuffer();
    void FreeExtra();
    int GetAllocLength() const noexcept;

    // Loads string resource nID through the resource hook; FALSE (and the string left
    // empty) when there is no such string.
    BOOL LoadString(UINT nID);

    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, LPCTSTR b);
    friend CString operator+(LPCTSTR a, const CString& b);
    friend CString operator+(const CString& a, TCHAR b);
    friend CString operator+(TCHAR a, const CString& b);

    friend void swap(CString& a, CString& b) noexcept { std::swap(a.m_pszData, b.m_pszData); }

private:
    // One formatted argument of FormatMessage, with enough type to print any conversion.
    struct MessageArg {
        enum class Kind { None, Signed, Unsigned, Double, String, Pointer };
        Kind kind = Kind::None;
        bool wide = false; // a 64-bit integer
        union {
            long long i;
            unsigned long long u;
            double d;
            LPCTSTR s;
            const void* p;
        };
        MessageArg() : i(0) {}
        MessageArg(LPCTSTR v) : kind(Kind::String), s(v) {}
        MessageArg(LPTSTR v) : kind(Kind::String), s(v) {}
        MessageArg(const void* v) : kind(Kind::Pointer), p(v) {}
        MessageArg(double v) : kind(Kind::Double), d(v) {}
        MessageArg(float v) : kind(Kind::Double), d(v) {}
        template <std::integral I>
        MessageArg(I v) : wide(sizeof(I) > 4)
        {
            if constexpr (std::is_signed_v<I>) {
                kind = Kind::Signed;
                i = v;
            } else {
                kind = Kind::Unsigned;
                u = v;
            }
        }
        template <class E>
            requires std::is_enum_v<E>
        MessageArg(E v) : MessageArg(static_cast<std::underlying_type_t<E>>(v))
        {
        }
    };

    void FormatImpl(LPCTSTR pszFormat, ...);
    void AppendFormatImpl(LPCTSTR pszFormat, ...);
    void FormatMessageImpl(LPCTSTR pszFormat, const MessageArg* args, size_t count);

    struct Header;
    Header* GetHeader() const noexcept;
    bool IsShared() const noexcept;
    // Makes room for nLength characters (keeping the current ones when bKeep), sets the
    // length and writes the NUL.
    void Reserve(int nCapacity, bool bKeep);
    void SetLength(int nLength);
    void AssignCopy(LPCTSTR pch, int nLength);
    void ConcatInPlace(LPCTSTR pch, int nLength);
    void Release() noexcept;

    // The only member, so that a CString is exactly one character pointer wide.
    LPTSTR m_pszData;
};

static_assert(sizeof(CString) == sizeof(char*), "CString must stay one pointer wide");

inline LPCTSTR AfxFormatArg(const CString& s)
{
    return s.GetString();
}

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, LPCTSTR b);
bool operator==(LPCTSTR a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, LPCTSTR b);
bool operator!=(LPCTSTR a, const CString& b);
bool operator<(const CString& a, const CString& b);
bool operator<(const CString& a, LPCTSTR b);
bool operator<(LPCTSTR a, const CString& b);
bool operator>(const CString& a, const CString& b);
bool operator>(const CString& a, LPCTSTR b);
bool operator>(LPCTSTR a, const CString& b);
bool operator<=(const CString& a, const CString& b);
bool operator<=(const CString& a, LPCTSTR b);
bool operator<=(LPCTSTR a, const CString& b);
bool operator>=(const CString& a, const CString& b);
bool operator>=(const CString& a, LPCTSTR b);
bool operator>=(LPCTSTR a, const CString& b);

// Replaces "%1".."%9" in lpszFormat by the given strings (a missing one by nothing).
void AfxFormatStrings(CString& rString, LPCTSTR lpszFormat, LPCTSTR const* rglpsz, int nString);
// Loads string resource nIDS and replaces its "%1" (and "%2") inserts.
void AfxFormatString1(CString& rString, UINT nIDS, LPCTSTR lpsz1);
void AfxFormatString2(CString& rString, UINT nIDS, LPCTSTR lpsz1, LPCTSTR lpsz2);
// Takes the iSubString-th field (0-based) of lpszFullString split at chSep; FALSE when the
// string has fewer fields or is NULL, leaving rString empty.
BOOL AfxExtractSubString(CString& rString, LPCTSTR lpszFullString, int iSubString, TCHAR chSep = '\n');
