// CArchive: buffering, the number and string forms, and the object and class tags.
#include "platform/core/CArchive.h"

#include "platform/core/CArchiveException.h"
#include "platform/core/CException.h"
#include "platform/core/CFile.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace {

// No real class name comes near this; a longer one in a file is damage, not a class.
constexpr WORD kMaxClassNameLength = 255;
// Strings are read in steps of this size, so a length that a damaged file claims costs no
// more memory than the bytes that are really there.
constexpr size_t kStringChunk = 64 * 1024;

template <class T>
T FromLittleEndian(T value)
{
    if constexpr (std::endian::native == std::endian::big && sizeof(T) > 1) {
        auto* p = reinterpret_cast<unsigned char*>(&value);
        std::reverse(p, p + sizeof(T));
    }
    return value;
}

} // namespace

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize, void*)
    : m_nMode(nMode), m_pFile(pFile)
{
    m_buffer.resize(nBufSize < 128 ? 128 : static_cast<size_t>(nBufSize));
    m_loadArray.push_back({nullptr, false}); // index 0: the null object
    if (m_pFile != nullptr)
        m_strFileName = m_pFile->GetFilePath();
}

CArchive::~CArchive()
{
    if (m_pFile == nullptr)
        return;
    if (m_nMode & bNoFlushOnDelete) {
        Abort();
        return;
    }
    try {
        Close();
    } catch (CException* e) {
        e->Delete();
        Abort();
    }
}

void CArchive::Throw(int cause) const
{
    AfxThrowArchiveException(cause, m_strFileName);
}

void CArchive::CheckLoading() const
{
    if (!IsLoading())
        Throw(CArchiveException::writeOnly);
    if (m_pFile == nullptr)
        Throw(CArchiveException::genericException);
}

void CArchive::CheckStoring() const
{
    if (!IsStoring())
        Throw(CArchiveException::readOnly);
    if (m_pFile == nullptr)
        Throw(CArchiveException::genericException);
}

BOOL CArchive::IsBufferEmpty() const
{
    return m_nBufCur >= m_nBufMax;
}

UINT CArchive::GetObjectSchema()
{
    const UINT nResult = m_nObjectSchema;
    m_nObjectSchema = static_cast<UINT>(-1);
    return nResult;
}

// ---- Buffering -------------------------------------------------------------------------------

size_t CArchive::FillBuffer(size_t nNeeded)
{
    size_t nAvailable = m_nBufMax - m_nBufCur;
    if (nAvailable >= nNeeded)
        return nAvailable;
    if (m_nBufCur > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_nBufCur, nAvailable);
        m_nBufCur = 0;
        m_nBufMax = nAvailable;
    }
    if (nNeeded > m_buffer.size())
        nNeeded = m_buffer.size();
    while (m_nBufMax < nNeeded) {
        const UINT nRead = m_pFile->Read(m_buffer.data() + m_nBufMax, static_cast<UINT>(m_buffer.size() - m_nBufMax));
        if (nRead == 0)
            break;
        m_nBufMax += nRead;
    }
    return m_nBufMax - m_nBufCur;
}

UINT CArchive::Read(void* lpBuf, UINT nMax)
{
    CheckLoading();
    auto* pOut = static_cast<BYTE*>(lpBuf);
    UINT nDone = 0;
    // Take what is buffered, then read large remainders straight from the file.
    const size_t nBuffered = std::min<size_t>(m_nBufMax - m_nBufCur, nMax);
    std::memcpy(pOut, m_buffer.data() + m_nBufCur, nBuffered);
    m_nBufCur += nBuffered;
    nDone += static_cast<UINT>(nBuffered);
    while (nDone < nMax) {
        const UINT nLeft = nMax - nDone;
        if (nLeft >= m_buffer.size()) {
            const UINT nRead = m_pFile->Read(pOut + nDone, nLeft);
            if (nRead == 0)
                break;
            nDone += nRead;
        } else {
            const size_t nAvailable = FillBuffer(nLeft);
            if (nAvailable == 0)
                break;
            const size_t nTake = std::min<size_t>(nAvailable, nLeft);
            std::memcpy(pOut + nDone, m_buffer.data() + m_nBufCur, nTake);
            m_nBufCur += nTake;
            nDone += static_cast<UINT>(nTake);
        }
    }
    return nDone;
}

void CArchive::ReadExact(void* lpBuf, size_t nCount)
{
    CheckLoading();
    if (nCount <= m_nBufMax - m_nBufCur) {
        std::memcpy(lpBuf, m_buffer.data() + m_nBufCur, nCount);
        m_nBufCur += nCount;
        return;
    }
    if (nCount > std::numeric_limits<UINT>::max() || Read(lpBuf, static_cast<UINT>(nCount)) != nCount)
        Throw(CArchiveException::endOfFile);
}

int CArchive::PeekByte()
{
    if (FillBuffer(1) == 0)
        return -1;
    return m_buffer[m_nBufCur];
}

void CArchive::WriteBytes(const void* lpBuf, size_t nCount)
{
    CheckStoring();
    const auto* pIn = static_cast<const BYTE*>(lpBuf);
    if (nCount <= m_buffer.size() - m_nBufCur) {
        std::memcpy(m_buffer.data() + m_nBufCur, pIn, nCount);
        m_nBufCur += nCount;
        return;
    }
    Flush();
    if (nCount >= m_buffer.size()) {
        while (nCount > 0) {
            const UINT nStep = static_cast<UINT>(std::min<size_t>(nCount, 1u << 30));
            m_pFile->Write(pIn, nStep);
            pIn += nStep;
            nCount -= nStep;
        }
        return;
    }
    std::memcpy(m_buffer.data(), pIn, nCount);
    m_nBufCur = nCount;
}

void CArchive::Write(const void* lpBuf, UINT nMax)
{
    WriteBytes(lpBuf, nMax);
}

void CArchive::Flush()
{
    if (m_pFile == nullptr)
        return;
    if (IsStoring()) {
        if (m_nBufCur > 0) {
            // Forget the bytes before writing: if the write fails, a retry must not write a
            // second copy of whatever part got through.
            const size_t nCount = m_nBufCur;
            m_nBufCur = 0;
            m_pFile->Write(m_buffer.data(), static_cast<UINT>(nCount));
        }
    } else if (m_nBufMax > m_nBufCur) {
        const auto nUnread = static_cast<LONGLONG>(m_nBufMax - m_nBufCur);
        m_nBufCur = m_nBufMax = 0;
        try {
            m_pFile->Seek(-nUnread, CFile::current);
        } catch (CException* e) {
            // A stream that cannot seek keeps its position after the read-ahead; nothing is lost
            // for the archive, which reads no further.
            e->Delete();
        }
    }
}

void CArchive::Close()
{
    Flush();
    m_pFile = nullptr;
}

void CArchive::Abort()
{
    m_nBufCur = m_nBufMax = 0;
    m_pFile = nullptr;
}

long long CArchive::RemainingBytes()
{
    if (m_pFile == nullptr)
        return 0;
    try {
        const ULONGLONG nPosition = m_pFile->GetPosition();
        const ULONGLONG nLength = m_pFile->GetLength();
        const ULONGLONG nInFile = nLength > nPosition ? nLength - nPosition : 0;
        return static_cast<long long>(nInFile + (m_nBufMax - m_nBufCur));
    } catch (CException* e) {
        // A pipe or another stream without a length: the caller reads step by step instead.
        e->Delete();
        return -1;
    }
}

void CArchive::EnsureAvailable(ULONGLONG nBytes)
{
    CheckLoading();
    if (nBytes <= m_nBufMax - m_nBufCur)
        return;
    const long long nRemaining = RemainingBytes();
    if (nRemaining >= 0 && nBytes > static_cast<ULONGLONG>(nRemaining))
        Throw(CArchiveException::endOfFile);
}

// ---- Numbers -----------------------------------------------------------------------------------

#define VOSTREL_ARCHIVE_NUMBER(type, stored)                                 \
    CArchive& CArchive::operator<<(type value)                               \
    {                                                                        \
        stored v = FromLittleEndian(static_cast<stored>(value));             \
        WriteBytes(&v, sizeof(v));                                           \
        return *this;                                                        \
    }                                                                        \
    CArchive& CArchive::operator>>(type& value)                              \
    {                                                                        \
        stored v;                                                            \
        ReadExact(&v, sizeof(v));                                            \
        value = static_cast<type>(FromLittleEndian(v));                      \
        return *this;                                                        \
    }

VOSTREL_ARCHIVE_NUMBER(BYTE, uint8_t)
VOSTREL_ARCHIVE_NUMBER(char, uint8_t)
VOSTREL_ARCHIVE_NUMBER(signed char, uint8_t)
VOSTREL_ARCHIVE_NUMBER(WORD, uint16_t)
VOSTREL_ARCHIVE_NUMBER(short, uint16_t)
VOSTREL_ARCHIVE_NUMBER(int, uint32_t)
VOSTREL_ARCHIVE_NUMBER(unsigned int, uint32_t)
VOSTREL_ARCHIVE_NUMBER(long, uint64_t)
VOSTREL_ARCHIVE_NUMBER(unsigned long, uint64_t)
VOSTREL_ARCHIVE_NUMBER(long long, uint64_t)
VOSTREL_ARCHIVE_NUMBER(unsigned long long, uint64_t)

#undef VOSTREL_ARCHIVE_NUMBER

CArchive& CArchive::operator<<(float f)
{
    static_assert(sizeof(float) == 4);
    const uint32_t bits = FromLittleEndian(std::bit_cast<uint32_t>(f));
    WriteBytes(&bits, sizeof(bits));
    return *this;
}

CArchive& CArchive::operator>>(float& f)
{
    uint32_t bits;
    ReadExact(&bits, sizeof(bits));
    f = std::bit_cast<float>(FromLittleEndian(bits));
    return *this;
}

CArchive& CArchive::operator<<(double d)
{
    static_assert(sizeof(double) == 8);
    const uint64_t bits = FromLittleEndian(std::bit_cast<uint64_t>(d));
    WriteBytes(&bits, sizeof(bits));
    return *this;
}

CArchive& CArchive::operator>>(double& d)
{
    uint64_t bits;
    ReadExact(&bits, sizeof(bits));
    d = std::bit_cast<double>(FromLittleEndian(bits));
    return *this;
}

// ---- Counts and strings ------------------------------------------------------------------------

void CArchive::WriteCount(DWORD_PTR dwCount)
{
    if (dwCount < 0xFFFF) {
        *this << static_cast<WORD>(dwCount);
    } else {
        *this << static_cast<WORD>(0xFFFF);
        *this << static_cast<DWORD>(dwCount);
    }
}

DWORD_PTR CArchive::ReadCount()
{
    WORD wCount;
    *this >> wCount;
    if (wCount != 0xFFFF)
        return wCount;
    DWORD dwCount;
    *this >> dwCount;
    return dwCount;
}

void CArchive::ReadStringBytes(CString& rString, DWORD nLength)
{
    rString.Empty();
    if (nLength == 0)
        return;
    if (nLength > static_cast<DWORD>(std::numeric_limits<int>::max() - 1))
        Throw(CArchiveException::endOfFile); // no CString can hold it, and no file of ours has it
    EnsureAvailable(nLength);
    // Grow step by step (doubling, so the copying stays linear): a stream without a length
    // cannot be checked in advance, and memory then follows the bytes really read.
    size_t nDone = 0;
    while (nDone < nLength) {
        const size_t nStep = std::min<size_t>(nLength - nDone, std::max(kStringChunk, nDone));
        LPTSTR pBuffer = rString.GetBufferSetLength(static_cast<int>(nDone + nStep));
        if (Read(pBuffer + nDone, static_cast<UINT>(nStep)) != nStep) {
            rString.Empty();
            Throw(CArchiveException::endOfFile);
        }
        nDone += nStep;
    }
    rString.ReleaseBuffer(static_cast<int>(nDone));
}

void CArchive::ReadUtf16String(CString& rString, DWORD nLength)
{
    rString.Empty();
    if (nLength > static_cast<DWORD>(std::numeric_limits<int>::max() / 4))
        Throw(CArchiveException::endOfFile);
    EnsureAvailable(static_cast<ULONGLONG>(nLength) * 2);
    CString strOut;
    unsigned int nHighSurrogate = 0;
    for (DWORD i = 0; i < nLength; ++i) {
        WORD wUnit;
        *this >> wUnit;
        unsigned int cp = wUnit;
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            nHighSurrogate = cp;
            continue;
        }
        if (cp >= 0xDC00 && cp <= 0xDFFF) {
            cp = nHighSurrogate ? 0x10000 + ((nHighSurrogate - 0xD800) << 10) + (cp - 0xDC00) : 0xFFFD;
        } else if (nHighSurrogate) {
            strOut += "\xEF\xBF\xBD"; // a lone high surrogate
        }
        nHighSurrogate = 0;
        char utf8[4];
        int n = 0;
        if (cp < 0x80) {
            utf8[n++] = static_cast<char>(cp);
        } else if (cp < 0x800) {
            utf8[n++] = static_cast<char>(0xC0 | (cp >> 6));
            utf8[n++] = static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            utf8[n++] = static_cast<char>(0xE0 | (cp >> 12));
            utf8[n++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            utf8[n++] = static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            utf8[n++] = static_cast<char>(0xF0 | (cp >> 18));
            utf8[n++] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            utf8[n++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            utf8[n++] = static_cast<char>(0x80 | (cp & 0x3F));
        }
        strOut.Append(utf8, n);
    }
    if (nHighSurrogate)
        strOut += "\xEF\xBF\xBD";
    rString = std::move(strOut);
}

CArchive& operator<<(CArchive& ar, const CString& string)
{
    const auto nLength = static_cast<DWORD>(string.GetLength());
    if (nLength < 255) {
        ar << static_cast<BYTE>(nLength);
    } else if (nLength < 0xFFFE) {
        ar << static_cast<BYTE>(0xFF);
        ar << static_cast<WORD>(nLength);
    } else {
        ar << static_cast<BYTE>(0xFF);
        ar << static_cast<WORD>(0xFFFF);
        ar << nLength;
    }
    ar.Write(string.GetString(), nLength);
    return ar;
}

CArchive& operator>>(CArchive& ar, CString& string)
{
    bool bUtf16 = false;
    DWORD nLength = 0;
    for (;;) {
        BYTE bLength;
        ar >> bLength;
        if (bLength < 0xFF) {
            nLength = bLength;
            break;
        }
        WORD wLength;
        ar >> wLength;
        if (wLength == 0xFFFE) {
            // The UTF-16 marker: the real length follows in the same forms, once only.
            if (bUtf16)
                AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
            bUtf16 = true;
            continue;
        }
        if (wLength < 0xFFFF) {
            nLength = wLength;
            break;
        }
        ar >> nLength;
        break;
    }
    if (bUtf16)
        ar.ReadUtf16String(string, nLength);
    else
        ar.ReadStringBytes(string, nLength);
    return ar;
}

void CArchive::WriteString(LPCTSTR lpsz)
{
    if (lpsz != nullptr)
        WriteBytes(lpsz, std::strlen(lpsz));
    else
        CheckStoring();
}

BOOL CArchive::ReadString(CString& rString)
{
    CheckLoading();
    rString.Empty();
    if (PeekByte() < 0)
        return FALSE;
    for (;;) {
        // Take the rest of the line from the buffer in one piece where possible.
        if (FillBuffer(1) == 0)
            break;
        const BYTE* pStart = m_buffer.data() + m_nBufCur;
        const size_t nAvailable = m_nBufMax - m_nBufCur;
        const auto* pEnd = static_cast<const BYTE*>(std::memchr(pStart, '\n', nAvailable));
        const auto* pCr = static_cast<const BYTE*>(std::memchr(pStart, '\r', pEnd ? pEnd - pStart : nAvailable));
        const BYTE* pStop = pCr ? pCr : pEnd;
        const size_t nText = pStop ? static_cast<size_t>(pStop - pStart) : nAvailable;
        rString.Append(reinterpret_cast<LPCTSTR>(pStart), static_cast<int>(nText));
        m_nBufCur += nText;
        if (pStop == nullptr)
            continue;
        const BYTE ch = m_buffer[m_nBufCur++];
        if (ch == '\r' && PeekByte() == '\n')
            ++m_nBufCur;
        break;
    }
    return TRUE;
}

LPTSTR CArchive::ReadString(LPTSTR lpsz, UINT nMax)
{
    CheckLoading();
    if (lpsz == nullptr || nMax == 0)
        return nullptr;
    UINT nRead = 0;
    const UINT nLimit = nMax - 1;
    while (nRead < nLimit) {
        const int ch = PeekByte();
        if (ch < 0)
            break;
        ++m_nBufCur;
        if (ch == '\n' || ch == '\r') {
            if (ch == '\r' && PeekByte() == '\n')
                ++m_nBufCur;
            lpsz[nRead++] = '\n';
            break;
        }
        lpsz[nRead++] = static_cast<char>(ch);
    }
    lpsz[nRead] = '\0';
    return nRead == 0 && nLimit > 0 ? nullptr : lpsz;
}

// ---- Classes and objects -----------------------------------------------------------------------

void CRuntimeClass::Store(CArchive& ar) const
{
    const auto nLength = static_cast<WORD>(std::strlen(m_lpszClassName));
    ar << static_cast<WORD>(m_wSchema);
    ar << nLength;
    ar.Write(m_lpszClassName, nLength);
}

CRuntimeClass* CRuntimeClass::Load(CArchive& ar, UINT* pwSchemaNum)
{
    WORD wSchema;
    WORD nLength;
    ar >> wSchema;
    ar >> nLength;
    if (nLength == 0 || nLength > kMaxClassNameLength)
        AfxThrowArchiveException(CArchiveException::badClass, ar.m_strFileName);
    char szClassName[kMaxClassNameLength + 1];
    if (ar.Read(szClassName, nLength) != nLength)
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    szClassName[nLength] = '\0';
    if (std::memchr(szClassName, '\0', nLength) != nullptr)
        return nullptr;
    if (pwSchemaNum != nullptr)
        *pwSchemaNum = wSchema;
    return FromName(szClassName);
}

void CArchive::MapObject(const CObject* pOb)
{
    if (IsStoring()) {
        if (pOb != nullptr && !m_storeMap.contains(pOb)) {
            if (m_nMapCount >= nMaxMapCount)
                Throw(CArchiveException::badIndex);
            m_storeMap[pOb] = m_nMapCount++;
        }
    } else {
        if (m_nMapCount >= nMaxMapCount)
            Throw(CArchiveException::badIndex);
        m_loadArray.push_back({const_cast<CObject*>(pOb), false});
        ++m_nMapCount;
    }
}

void CArchive::WriteClass(const CRuntimeClass* pClassRef)
{
    CheckStoring();
    if (pClassRef == nullptr || pClassRef->m_wSchema == 0xFFFF)
        Throw(CArchiveException::badClass);
    const auto it = m_storeMap.find(pClassRef);
    if (it != m_storeMap.end()) {
        const DWORD nClassIndex = it->second;
        if (nClassIndex < wBigObjectTag) {
            *this << static_cast<WORD>(wClassTag | nClassIndex);
        } else {
            *this << wBigObjectTag;
            *this << static_cast<DWORD>(dwBigClassTag | nClassIndex);
        }
        return;
    }
    if (m_nMapCount >= nMaxMapCount)
        Throw(CArchiveException::badIndex);
    *this << wNewClassTag;
    pClassRef->Store(*this);
    m_storeMap[pClassRef] = m_nMapCount++;
}

CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* pClassRefRequested, UINT* pSchema, DWORD* pObTag)
{
    // The requested class only bounds what may be read, so it may be a base class that is not
    // serializable itself (CObject, an abstract base).
    CheckLoading();

    WORD wTag;
    *this >> wTag;
    DWORD obTag;
    if (wTag == wBigObjectTag)
        *this >> obTag;
    else
        obTag = (static_cast<DWORD>(wTag & wClassTag) << 16) | (wTag & ~wClassTag);

    if (!(obTag & dwBigClassTag)) {
        // An object reference where a class was expected.
        if (pObTag == nullptr)
            Throw(CArchiveException::badIndex);
        *pObTag = obTag;
        return nullptr;
    }

    CRuntimeClass* pClassRef = nullptr;
    UINT nSchema = 0;
    if (wTag == wNewClassTag) {
        pClassRef = CRuntimeClass::Load(*this, &nSchema);
        // Unknown names, and classes the program knows but never serializes, are both foreign.
        if (pClassRef == nullptr || pClassRef->m_wSchema == 0xFFFF)
            Throw(CArchiveException::badClass);
        if ((pClassRef->m_wSchema & ~VERSIONABLE_SCHEMA) != nSchema) {
            if (!(pClassRef->m_wSchema & VERSIONABLE_SCHEMA))
                Throw(CArchiveException::badSchema);
            m_schemaMap[pClassRef] = nSchema;
        }
        if (m_nMapCount >= nMaxMapCount)
            Throw(CArchiveException::badIndex);
        m_loadArray.push_back({pClassRef, true});
        ++m_nMapCount;
    } else {
        const DWORD nClassIndex = obTag & ~dwBigClassTag;
        if (nClassIndex == 0 || nClassIndex >= m_loadArray.size() || !m_loadArray[nClassIndex].isClass)
            Throw(CArchiveException::badIndex);
        pClassRef = static_cast<CRuntimeClass*>(m_loadArray[nClassIndex].pointer);
        const auto it = m_schemaMap.find(pClassRef);
        nSchema = it != m_schemaMap.end() ? it->second : (pClassRef->m_wSchema & ~VERSIONABLE_SCHEMA);
    }

    if (pClassRefRequested != nullptr && !pClassRef->IsDerivedFrom(pClassRefRequested))
        Throw(CArchiveException::badClass);
    if (pSchema != nullptr)
        *pSchema = nSchema;
    else
        m_nObjectSchema = nSchema;
    if (pObTag != nullptr)
        *pObTag = obTag;
    return pClassRef;
}

void CArchive::SerializeClass(const CRuntimeClass* pClassRef)
{
    if (IsStoring())
        WriteClass(pClassRef);
    else
        ReadClass(pClassRef, nullptr, nullptr);
}

void CArchive::WriteObject(const CObject* pOb)
{
    CheckStoring();
    if (pOb == nullptr) {
        *this << wNullTag;
        return;
    }
    const auto it = m_storeMap.find(pOb);
    if (it != m_storeMap.end()) {
        const DWORD nObIndex = it->second;
        if (nObIndex < wBigObjectTag) {
            *this << static_cast<WORD>(nObIndex);
        } else {
            *this << wBigObjectTag;
            *this << nObIndex;
        }
        return;
    }
    WriteClass(pOb->GetRuntimeClass());
    if (m_nMapCount >= nMaxMapCount)
        Throw(CArchiveException::badIndex);
    m_storeMap[pOb] = m_nMapCount++;
    const_cast<CObject*>(pOb)->Serialize(*this);
}

CObject* CArchive::ReadObject(const CRuntimeClass* pClassRefRequested)
{
    UINT nSchema = 0;
    DWORD obTag = 0;
    CRuntimeClass* pClassRef = ReadClass(pClassRefRequested, &nSchema, &obTag);
    if (pClassRef == nullptr) {
        if (obTag >= m_loadArray.size() || m_loadArray[obTag].isClass)
            Throw(CArchiveException::badIndex);
        auto* pOb = static_cast<CObject*>(m_loadArray[obTag].pointer);
        if (pOb != nullptr && pClassRefRequested != nullptr && !pOb->IsKindOf(pClassRefRequested))
            Throw(CArchiveException::badClass);
        return pOb;
    }

    if (pClassRef->m_pfnCreateObject == nullptr)
        Throw(CArchiveException::badClass);
    CObject* pOb = pClassRef->CreateObject();
    if (pOb == nullptr)
        AfxThrowMemoryException();
    if (m_nMapCount >= nMaxMapCount) {
        delete pOb;
        Throw(CArchiveException::badIndex);
    }
    const size_t nIndex = m_loadArray.size();
    m_loadArray.push_back({pOb, false});
    ++m_nMapCount;

    const UINT nSchemaSave = m_nObjectSchema;
    m_nObjectSchema = nSchema;
    try {
        pOb->Serialize(*this);
    } catch (...) {
        // Nobody holds the half-read object yet: free it, and make later references to it
        // (which only a damaged archive could hold now) read as null.
        m_loadArray[nIndex].pointer = nullptr;
        m_nObjectSchema = nSchemaSave;
        delete pOb;
        throw;
    }
    m_nObjectSchema = nSchemaSave;
    return pOb;
}

CObject* AfxReadObjectFromArchive(CArchive& ar, const CRuntimeClass* pClassRefRequested)
{
    return ar.ReadObject(pClassRefRequested);
}

CArchive& operator<<(CArchive& ar, const CObject* pOb)
{
    ar.WriteObject(pOb);
    return ar;
}

CArchive& operator>>(CArchive& ar, CObject*& pOb)
{
    pOb = ar.ReadObject(nullptr);
    return ar;
}

CArchive& operator>>(CArchive& ar, const CObject*& pOb)
{
    pOb = ar.ReadObject(nullptr);
    return ar;
}
