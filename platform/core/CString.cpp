#include "platform/core/CString.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <climits>
#include <cstdio>
#include <cstddef>
#include <cstring>
#include <new>
#include <string>

// The characters are preceded by this header in one allocation, so that the object itself
// stays a single character pointer.
struct CString::Header {
    int nDataLength;
    int nAllocLength;
    int nLocks;
    int nReserved;
    LPTSTR Data() noexcept { return reinterpret_cast<LPTSTR>(this + 1); }
};

namespace {

// Shared by every empty string; never written (anything that writes allocates first).
// It mirrors the header's layout, followed by the NUL.
struct alignas(16) EmptyStorage {
    int header[4];
    char nul[16];
};
constinit EmptyStorage s_empty = {{0, 0, 0, 0}, {0}};

std::atomic<AFX_STRING_RESOURCE_HOOK> s_stringHook{nullptr};

bool IsAsciiSpace(char ch)
{
    return ch == ' ' || (ch >= '\t' && ch <= '\r');
}

char AsciiLower(char ch)
{
    return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
}

char AsciiUpper(char ch)
{
    return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
}

int SafeLength(LPCTSTR psz)
{
    if (psz == nullptr)
        return 0;
    size_t n = strlen(psz);
    if (n > static_cast<size_t>(INT_MAX / 2))
        throw std::bad_alloc();
    return static_cast<int>(n);
}

bool IsResourceId(LPCTSTR psz)
{
    return psz != nullptr && reinterpret_cast<uintptr_t>(psz) < 0x10000;
}

} // namespace

static_assert(offsetof(EmptyStorage, nul) == 16);

AFX_STRING_RESOURCE_HOOK AfxSetStringResourceHook(AFX_STRING_RESOURCE_HOOK hook)
{
    return s_stringHook.exchange(hook);
}

AFX_STRING_RESOURCE_HOOK AfxGetStringResourceHook()
{
    return s_stringHook.load();
}

// ---------------------------------------------------------------------------------------
// Storage

CString::Header* CString::GetHeader() const noexcept
{
    static_assert(sizeof(Header) == 16 && alignof(Header) <= 16, "the empty block mirrors the header");
    return reinterpret_cast<Header*>(m_pszData) - 1;
}

bool CString::IsShared() const noexcept
{
    return m_pszData == s_empty.nul;
}

void CString::Release() noexcept
{
    if (!IsShared())
        ::operator delete(static_cast<void*>(GetHeader()));
    m_pszData = s_empty.nul;
}

void CString::Reserve(int nCapacity, bool bKeep)
{
    if (nCapacity < 0 || nCapacity > INT_MAX / 2)
        throw std::bad_alloc();
    if (!IsShared() && GetHeader()->nAllocLength >= nCapacity)
        return;
    void* raw = ::operator new(sizeof(Header) + static_cast<size_t>(nCapacity) + 1);
    Header* header = new (raw) Header{0, nCapacity, 0, 0};
    LPTSTR data = header->Data();
    int keep = bKeep ? GetLength() : 0;
    if (keep > 0)
        memcpy(data, m_pszData, static_cast<size_t>(keep));
    data[keep] = '\0';
    header->nDataLength = keep;
    Release();
    m_pszData = data;
}

void CString::SetLength(int nLength)
{
    if (IsShared()) {
        assert(nLength == 0);
        return;
    }
    Header* header = GetHeader();
    nLength = std::clamp(nLength, 0, header->nAllocLength);
    header->nDataLength = nLength;
    m_pszData[nLength] = '\0';
}

void CString::AssignCopy(LPCTSTR pch, int nLength)
{
    if (nLength <= 0) {
        // Keep the allocation of a locked buffer; otherwise drop to the shared empty block.
        if (!IsShared() && GetHeader()->nLocks > 0)
            SetLength(0);
        else
            Release();
        return;
    }
    if (!IsShared() && GetHeader()->nAllocLength >= nLength) {
        // The source may lie inside this very buffer.
        memmove(m_pszData, pch, static_cast<size_t>(nLength));
        SetLength(nLength);
        return;
    }
    CString fresh;
    fresh.Reserve(nLength, false);
    memcpy(fresh.m_pszData, pch, static_cast<size_t>(nLength));
    fresh.SetLength(nLength);
    swap(*this, fresh);
}

void CString::ConcatInPlace(LPCTSTR pch, int nLength)
{
    if (nLength <= 0)
        return;
    int oldLength = GetLength();
    if (nLength > INT_MAX / 2 - oldLength)
        throw std::bad_alloc();
    int newLength = oldLength + nLength;
    if (!IsShared() && GetHeader()->nAllocLength >= newLength) {
        memmove(m_pszData + oldLength, pch, static_cast<size_t>(nLength));
        SetLength(newLength);
        return;
    }
    // Grow geometrically so that appending in a loop stays linear; the source may be this
    // string's own buffer, so it is copied before the old buffer goes.
    int capacity = std::max(newLength, oldLength + oldLength / 2);
    capacity = std::min(capacity, INT_MAX / 2);
    CString fresh;
    fresh.Reserve(capacity, false);
    memcpy(fresh.m_pszData, m_pszData, static_cast<size_t>(oldLength));
    memcpy(fresh.m_pszData + oldLength, pch, static_cast<size_t>(nLength));
    fresh.SetLength(newLength);
    swap(*this, fresh);
}

int CString::GetLength() const noexcept
{
    return GetHeader()->nDataLength;
}

int CString::GetAllocLength() const noexcept
{
    return GetHeader()->nAllocLength;
}

void CString::Empty()
{
    AssignCopy(nullptr, 0);
}

// ---------------------------------------------------------------------------------------
// Construction and assignment

CString::CString() noexcept : m_pszData(s_empty.nul) {}

CString::CString(const CString& other) : m_pszData(s_empty.nul)
{
    AssignCopy(other.m_pszData, other.GetLength());
}

CString::CString(CString&& other) noexcept : m_pszData(other.m_pszData)
{
    other.m_pszData = s_empty.nul;
}

CString::CString(LPCTSTR psz) : m_pszData(s_empty.nul)
{
    if (IsResourceId(psz))
        LoadString(static_cast<UINT>(reinterpret_cast<uintptr_t>(psz)));
    else
        AssignCopy(psz, SafeLength(psz));
}

CString::CString(LPCTSTR pch, int nLength) : m_pszData(s_empty.nul)
{
    if (pch == nullptr)
        nLength = 0;
    AssignCopy(pch, std::max(nLength, 0));
}

CString::CString(TCHAR ch, int nRepeat) : m_pszData(s_empty.nul)
{
    if (nRepeat > 0) {
        Reserve(nRepeat, false);
        memset(m_pszData, ch, static_cast<size_t>(nRepeat));
        SetLength(nRepeat);
    }
}

CString::~CString()
{
    Release();
}

CString& CString::operator=(const CString& other)
{
    if (this != &other)
        AssignCopy(other.m_pszData, other.GetLength());
    return *this;
}

CString& CString::operator=(CString&& other) noexcept
{
    if (this != &other) {
        Release();
        std::swap(m_pszData, other.m_pszData);
    }
    return *this;
}

CString& CString::operator=(LPCTSTR psz)
{
    if (IsResourceId(psz))
        LoadString(static_cast<UINT>(reinterpret_cast<uintptr_t>(psz)));
    else
        AssignCopy(psz, SafeLength(psz));
    return *this;
}

CString& CString::operator=(TCHAR ch)
{
    AssignCopy(&ch, 1);
    return *this;
}

// ---------------------------------------------------------------------------------------
// Characters

TCHAR CString::GetAt(int nIndex) const
{
    assert(nIndex >= 0 && nIndex <= GetLength());
    if (nIndex < 0 || nIndex > GetLength())
        return '\0';
    return m_pszData[nIndex];
}

void CString::SetAt(int nIndex, TCHAR ch)
{
    assert(nIndex >= 0 && nIndex < GetLength());
    if (nIndex < 0 || nIndex >= GetLength())
        return;
    m_pszData[nIndex] = ch;
}

CString& CString::operator+=(const CString& s)
{
    ConcatInPlace(s.m_pszData, s.GetLength());
    return *this;
}

CString& CString::operator+=(LPCTSTR psz)
{
    ConcatInPlace(psz, SafeLength(psz));
    return *this;
}

CString& CString::operator+=(TCHAR ch)
{
    ConcatInPlace(&ch, 1);
    return *this;
}

void CString::Append(LPCTSTR pch, int nLength)
{
    if (pch != nullptr)
        ConcatInPlace(pch, nLength);
}

CString operator+(const CString& a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, LPCTSTR b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(LPCTSTR a, const CString& b)
{
    CString result(a, SafeLength(a));
    result += b;
    return result;
}

CString operator+(const CString& a, TCHAR b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(TCHAR a, const CString& b)
{
    CString result(a, 1);
    result += b;
    return result;
}

// ---------------------------------------------------------------------------------------
// Comparison

int CString::Compare(LPCTSTR psz) const
{
    return strcmp(m_pszData, psz ? psz : "");
}

int CString::CompareNoCase(LPCTSTR psz) const
{
    const unsigned char* a = reinterpret_cast<const unsigned char*>(m_pszData);
    const unsigned char* b = reinterpret_cast<const unsigned char*>(psz ? psz : "");
    for (;; ++a, ++b) {
        int ca = static_cast<unsigned char>(AsciiLower(static_cast<char>(*a)));
        int cb = static_cast<unsigned char>(AsciiLower(static_cast<char>(*b)));
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            return 0;
    }
}

int CString::Collate(LPCTSTR psz) const
{
    return strcoll(m_pszData, psz ? psz : "");
}

int CString::CollateNoCase(LPCTSTR psz) const
{
    CString a(*this), b(psz);
    a.MakeLower();
    b.MakeLower();
    return strcoll(a.m_pszData, b.m_pszData);
}

bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
bool operator==(const CString& a, LPCTSTR b) { return a.Compare(b) == 0; }
bool operator==(LPCTSTR a, const CString& b) { return b.Compare(a) == 0; }
bool operator!=(const CString& a, const CString& b) { return a.Compare(b) != 0; }
bool operator!=(const CString& a, LPCTSTR b) { return a.Compare(b) != 0; }
bool operator!=(LPCTSTR a, const CString& b) { return b.Compare(a) != 0; }
bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
bool operator<(const CString& a, LPCTSTR b) { return a.Compare(b) < 0; }
bool operator<(LPCTSTR a, const CString& b) { return b.Compare(a) > 0; }
bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
bool operator>(const CString& a, LPCTSTR b) { return a.Compare(b) > 0; }
bool operator>(LPCTSTR a, const CString& b) { return b.Compare(a) < 0; }
bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
bool operator<=(const CString& a, LPCTSTR b) { return a.Compare(b) <= 0; }
bool operator<=(LPCTSTR a, const CString& b) { return b.Compare(a) >= 0; }
bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }
bool operator>=(const CString& a, LPCTSTR b) { return a.Compare(b) >= 0; }
bool operator>=(LPCTSTR a, const CString& b) { return b.Compare(a) <= 0; }

// ---------------------------------------------------------------------------------------
// Sub-strings

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    int length = GetLength();
    nFirst = std::clamp(nFirst, 0, length);
    nCount = std::clamp(nCount, 0, length - nFirst);
    return CString(m_pszData + nFirst, nCount);
}

CString CString::Left(int nCount) const
{
    return CString(m_pszData, std::clamp(nCount, 0, GetLength()));
}

CString CString::Right(int nCount) const
{
    nCount = std::clamp(nCount, 0, GetLength());
    return CString(m_pszData + GetLength() - nCount, nCount);
}

CString CString::SpanIncluding(LPCTSTR pszCharSet) const
{
    return Left(static_cast<int>(strspn(m_pszData, pszCharSet ? pszCharSet : "")));
}

CString CString::SpanExcluding(LPCTSTR pszCharSet) const
{
    return Left(static_cast<int>(strcspn(m_pszData, pszCharSet ? pszCharSet : "")));
}

// ---------------------------------------------------------------------------------------
// Changing in place

CString& CString::MakeUpper()
{
    for (int i = 0; i < GetLength(); ++i)
        m_pszData[i] = AsciiUpper(m_pszData[i]);
    return *this;
}

CString& CString::MakeLower()
{
    for (int i = 0; i < GetLength(); ++i)
        m_pszData[i] = AsciiLower(m_pszData[i]);
    return *this;
}

CString& CString::MakeReverse()
{
    std::reverse(m_pszData, m_pszData + GetLength());
    return *this;
}

int CString::Replace(TCHAR chOld, TCHAR chNew)
{
    int count = 0;
    if (chOld == chNew)
        return 0;
    for (int i = 0; i < GetLength(); ++i) {
        if (m_pszData[i] == chOld) {
            m_pszData[i] = chNew;
            ++count;
        }
    }
    return count;
}

int CString::Replace(LPCTSTR pszOld, LPCTSTR pszNew)
{
    int oldLength = SafeLength(pszOld);
    if (oldLength == 0)
        return 0;
    // Build the result separately: the arguments may point into this string.
    std::string_view self(m_pszData, static_cast<size_t>(GetLength()));
    std::string_view from(pszOld, static_cast<size_t>(oldLength));
    std::string_view to(pszNew ? pszNew : "", static_cast<size_t>(SafeLength(pszNew)));
    std::string result;
    int count = 0;
    size_t pos = 0;
    for (;;) {
        size_t hit = self.find(from, pos);
        if (hit == std::string_view::npos)
            break;
        result.append(self.substr(pos, hit - pos));
        result.append(to);
        pos = hit + from.size();
        ++count;
    }
    if (count == 0)
        return 0;
    result.append(self.substr(pos));
    if (result.size() > static_cast<size_t>(INT_MAX / 2))
        throw std::bad_alloc();
    AssignCopy(result.data(), static_cast<int>(result.size()));
    return count;
}

int CString::Remove(TCHAR ch)
{
    int length = GetLength();
    LPTSTR end = std::remove(m_pszData, m_pszData + length, ch);
    int count = static_cast<int>(m_pszData + length - end);
    if (count > 0)
        SetLength(length - count);
    return count;
}

int CString::Insert(int nIndex, TCHAR ch)
{
    return Insert(nIndex, CString(ch, 1));
}

int CString::Insert(int nIndex, LPCTSTR psz)
{
    int insertLength = SafeLength(psz);
    if (insertLength == 0)
        return GetLength();
    int length = GetLength();
    nIndex = std::clamp(nIndex, 0, length);
    CString result;
    result.Reserve(length + insertLength, false);
    memcpy(result.m_pszData, m_pszData, static_cast<size_t>(nIndex));
    memcpy(result.m_pszData + nIndex, psz, static_cast<size_t>(insertLength));
    memcpy(result.m_pszData + nIndex + insertLength, m_pszData + nIndex, static_cast<size_t>(length - nIndex));
    result.SetLength(length + insertLength);
    swap(*this, result);
    return GetLength();
}

int CString::Delete(int nIndex, int nCount)
{
    int length = GetLength();
    nIndex = std::max(nIndex, 0);
    if (nCount > 0 && nIndex < length) {
        nCount = std::min(nCount, length - nIndex);
        memmove(m_pszData + nIndex, m_pszData + nIndex + nCount, static_cast<size_t>(length - nIndex - nCount));
        SetLength(length - nCount);
    }
    return GetLength();
}

// ---------------------------------------------------------------------------------------
// Trimming and searching

CString& CString::TrimLeft()
{
    int length = GetLength();
    int i = 0;
    while (i < length && IsAsciiSpace(m_pszData[i]))
        ++i;
    Delete(0, i);
    return *this;
}

CString& CString::TrimLeft(TCHAR chTarget)
{
    int length = GetLength();
    int i = 0;
    while (i < length && m_pszData[i] == chTarget)
        ++i;
    Delete(0, i);
    return *this;
}

CString& CString::TrimLeft(LPCTSTR pszTargets)
{
    if (pszTargets == nullptr || *pszTargets == '\0')
        return *this;
    int length = GetLength();
    int i = 0;
    while (i < length && m_pszData[i] != '\0' && strchr(pszTargets, m_pszData[i]) != nullptr)
        ++i;
    Delete(0, i);
    return *this;
}

CString& CString::TrimRight()
{
    int n = GetLength();
    while (n > 0 && IsAsciiSpace(m_pszData[n - 1]))
        --n;
    SetLength(n);
    return *this;
}

CString& CString::TrimRight(TCHAR chTarget)
{
    int n = GetLength();
    while (n > 0 && m_pszData[n - 1] == chTarget)
        --n;
    SetLength(n);
    return *this;
}

CString& CString::TrimRight(LPCTSTR pszTargets)
{
    if (pszTargets == nullptr || *pszTargets == '\0')
        return *this;
    int n = GetLength();
    while (n > 0 && m_pszData[n - 1] != '\0' && strchr(pszTargets, m_pszData[n - 1]) != nullptr)
        --n;
    SetLength(n);
    return *this;
}

CString& CString::Trim()
{
    return TrimRight().TrimLeft();
}

CString& CString::Trim(TCHAR chTarget)
{
    return TrimRight(chTarget).TrimLeft(chTarget);
}

CString& CString::Trim(LPCTSTR pszTargets)
{
    return TrimRight(pszTargets).TrimLeft(pszTargets);
}

int CString::Find(TCHAR ch, int nStart) const
{
    int length = GetLength();
    nStart = std::max(nStart, 0);
    if (nStart >= length)
        return -1;
    const void* hit = memchr(m_pszData + nStart, ch, static_cast<size_t>(length - nStart));
    return hit ? static_cast<int>(static_cast<LPCTSTR>(hit) - m_pszData) : -1;
}

int CString::Find(LPCTSTR pszSub, int nStart) const
{
    int length = GetLength();
    nStart = std::max(nStart, 0);
    if (pszSub == nullptr || nStart > length)
        return -1;
    std::string_view self(m_pszData, static_cast<size_t>(length));
    size_t hit = self.find(pszSub, static_cast<size_t>(nStart));
    return hit == std::string_view::npos ? -1 : static_cast<int>(hit);
}

int CString::ReverseFind(TCHAR ch) const
{
    for (int i = GetLength() - 1; i >= 0; --i)
        if (m_pszData[i] == ch)
            return i;
    return -1;
}

int CString::FindOneOf(LPCTSTR pszCharSet) const
{
    if (pszCharSet == nullptr)
        return -1;
    LPCTSTR hit = strpbrk(m_pszData, pszCharSet);
    return hit ? static_cast<int>(hit - m_pszData) : -1;
}

// ---------------------------------------------------------------------------------------
// Buffer access

LPTSTR CString::GetBuffer(int nMinBufLength)
{
    // Even a zero-length request gets a buffer of its own: the caller may write the NUL.
    Reserve(std::max({nMinBufLength, GetLength(), 0}), true);
    return m_pszData;
}

LPTSTR CString::GetBufferSetLength(int nNewLength)
{
    nNewLength = std::max(nNewLength, 0);
    GetBuffer(nNewLength);
    SetLength(nNewLength);
    return m_pszData;
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (IsShared())
        return;
    Header* header = GetHeader();
    if (nNewLength < 0) {
        // The caller wrote a C string; never read past the allocation for its NUL.
        const void* nul = memchr(m_pszData, '\0', static_cast<size_t>(header->nAllocLength) + 1);
        nNewLength = nul ? static_cast<int>(static_cast<LPCTSTR>(nul) - m_pszData) : header->nAllocLength;
    }
    SetLength(nNewLength);
}

LPTSTR CString::LockBuffer()
{
    LPTSTR buffer = GetBuffer(0);
    ++GetHeader()->nLocks;
    return buffer;
}

void CString::UnlockBuffer()
{
    if (!IsShared() && GetHeader()->nLocks > 0)
        --GetHeader()->nLocks;
}

void CString::FreeExtra()
{
    if (IsShared() || GetHeader()->nLocks > 0 || GetHeader()->nAllocLength == GetLength())
        return;
    CString copy(m_pszData, GetLength());
    swap(*this, copy);
}

// ---------------------------------------------------------------------------------------
// Formatting

void CString::FormatV(LPCTSTR pszFormat, va_list args)
{
    CString result;
    result.AppendFormatV(pszFormat, args);
    swap(*this, result);
}

void CString::AppendFormatV(LPCTSTR pszFormat, va_list args)
{
    if (pszFormat == nullptr)
        return;
    va_list measure;
    va_copy(measure, args);
    int needed = vsnprintf(nullptr, 0, pszFormat, measure);
    va_end(measure);
    if (needed <= 0)
        return;
    int oldLength = GetLength();
    if (needed > INT_MAX / 2 - oldLength)
        throw std::bad_alloc();
    // Format into a separate buffer: an argument may be this string's own text.
    std::string out(static_cast<size_t>(needed) + 1, '\0');
    vsnprintf(out.data(), out.size(), pszFormat, args);
    ConcatInPlace(out.data(), needed);
}

void CString::FormatImpl(LPCTSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::AppendFormatImpl(LPCTSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    AppendFormatV(pszFormat, args);
    va_end(args);
}

namespace {

// Prints one FormatMessage insert with a printf conversion such as "u", "08X", "s".
template <class Arg>
std::string PrintInsert(const Arg& arg, std::string format)
{
    using Kind = typename Arg::Kind;
    // No conversion given prints as a string. Read from the parameter as it stands rather than
    // assigning "s" over it, which the optimiser takes for an overlapping copy of unknown length.
    char conv = format.empty() ? 's' : format.back();
    const std::string flags = format.empty() ? std::string() : format.substr(0, format.size() - 1);
    // Keep only flags, width and precision; length modifiers are decided by the argument.
    std::string clean;
    for (char c : flags)
        if (strchr("-+ #0123456789.", c))
            clean += c;
    // Sized to what the conversion needs, so a long insert (a URL, a path) is never cut.
    auto print = [&](const char* lengthMod, char c, auto value) {
        std::string f = "%" + clean + lengthMod + c;
        const int needed = snprintf(nullptr, 0, f.c_str(), value);
        if (needed <= 0)
            return std::string();
        std::string text(static_cast<size_t>(needed) + 1, '\0');
        snprintf(text.data(), text.size(), f.c_str(), value);
        text.resize(static_cast<size_t>(needed));
        return text;
    };
    switch (arg.kind) {
    case Kind::String:
        if (conv == 's' || conv == 'S')
            return print("", 's', arg.s ? arg.s : "");
        return arg.s ? arg.s : "";
    case Kind::Signed:
    case Kind::Unsigned: {
        if (conv == 's' || conv == 'S')
            conv = arg.kind == Kind::Signed ? 'd' : 'u';
        if (!strchr("diuxXoc", conv))
            conv = 'd';
        // Numbers are 32 bits unless the argument itself was wider.
        if (conv == 'c')
            return print("", 'c', static_cast<int>(arg.i));
        if (arg.wide)
            return strchr("di", conv) ? print("ll", conv, arg.i) : print("ll", conv, arg.u);
        if (strchr("di", conv))
            return print("", conv, static_cast<int>(static_cast<int32_t>(arg.i)));
        return print("", conv, static_cast<unsigned>(static_cast<uint32_t>(arg.u)));
    }
    case Kind::Double:
        if (!strchr("eEfFgGaA", conv))
            conv = 'g';
        return print("", conv, arg.d);
    case Kind::Pointer:
        return print("", 'p', arg.p);
    case Kind::None:
        break;
    }
    return std::string();
}

} // namespace

void CString::FormatMessageImpl(LPCTSTR pszFormat, const MessageArg* args, size_t count)
{
    std::string out;
    LPCTSTR p = pszFormat ? pszFormat : "";
    while (*p) {
        if (*p != '%') {
            out += *p++;
            continue;
        }
        LPCTSTR start = p++;
        if (*p >= '1' && *p <= '9') {
            int index = *p++ - '0';
            if (*p >= '0' && *p <= '9')
                index = index * 10 + (*p++ - '0');
            std::string format;
            if (*p == '!') {
                LPCTSTR close = strchr(p + 1, '!');
                if (close != nullptr) {
                    format.assign(p + 1, close);
                    p = close + 1;
                }
            }
            if (static_cast<size_t>(index) <= count)
                out += PrintInsert(args[index - 1], format);
            else
                out.append(start, p);
            continue;
        }
        switch (*p) {
        case '\0':
            out += '%';
            continue;
        case '0':
            // "%0" ends the message without a line break.
            p = "";
            continue;
        case 'n':
            out += "\r\n";
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        default:
            // "%%", "%.", "%!", "% " and anything else stand for the character itself.
            out += *p;
            break;
        }
        ++p;
    }
    if (out.size() > static_cast<size_t>(INT_MAX / 2))
        throw std::bad_alloc();
    AssignCopy(out.data(), static_cast<int>(out.size()));
}

BOOL CString::LoadString(UINT nID)
{
    AFX_STRING_RESOURCE_HOOK hook = s_stringHook.load();
    LPCTSTR text = hook ? hook(nID) : nullptr;
    if (text == nullptr || *text == '\0') {
        Empty();
        return FALSE;
    }
    AssignCopy(text, SafeLength(text));
    return TRUE;
}

// ---------------------------------------------------------------------------------------
// Helpers

void AfxFormatStrings(CString& rString, LPCTSTR lpszFormat, LPCTSTR const* rglpsz, int nString)
{
    CString result;
    for (LPCTSTR p = lpszFormat ? lpszFormat : ""; *p; ++p) {
        if (p[0] == '%' && p[1] >= '1' && p[1] <= '9') {
            int index = p[1] - '1';
            if (index < nString && rglpsz != nullptr && rglpsz[index] != nullptr)
                result += rglpsz[index];
            ++p;
        } else {
            result += *p;
        }
    }
    swap(rString, result);
}

void AfxFormatString1(CString& rString, UINT nIDS, LPCTSTR lpsz1)
{
    CString format;
    format.LoadString(nIDS);
    AfxFormatStrings(rString, format, &lpsz1, 1);
}

void AfxFormatString2(CString& rString, UINT nIDS, LPCTSTR lpsz1, LPCTSTR lpsz2)
{
    CString format;
    format.LoadString(nIDS);
    LPCTSTR strings[2] = {lpsz1, lpsz2};
    AfxFormatStrings(rString, format, strings, 2);
}

BOOL AfxExtractSubString(CString& rString, LPCTSTR lpszFullString, int iSubString, TCHAR chSep)
{
    rString.Empty();
    if (lpszFullString == nullptr || iSubString < 0)
        return FALSE;
    LPCTSTR p = lpszFullString;
    // A NUL separator cannot be searched for: the whole text is then the only field.
    auto fieldEnd = [chSep](LPCTSTR q) {
        while (*q != '\0' && *q != chSep)
            ++q;
        return q;
    };
    while (iSubString-- > 0) {
        p = fieldEnd(p);
        if (*p == '\0')
            return FALSE;
        ++p;
    }
    rString = CString(p, static_cast<int>(fieldEnd(p) - p));
    return TRUE;
}
