// CArchive: the byte-exact serialization stream over a CFile (or a CMemFile): little-endian
// numbers in their exact widths, length-prefixed strings, counts, and objects with their class
// tags, schemas and back-references.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/core/Types.h"

#include <cstddef>
#include <memory>
#include <unordered_map>
#include <vector>

class CFile;
class CDocument;

class CArchive {
public:
    enum Mode { store = 0, load = 1, bNoFlushOnDelete = 2, bNoByteSwap = 4 };

    // The archive reads or writes pFile through a buffer of nBufSize bytes; the file stays the
    // caller's. lpBuf is accepted for compatibility; the archive always uses a buffer of its own.
    CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096, void* lpBuf = nullptr);
    // Closes the archive (writing what is buffered) unless it was closed or aborted or made
    // with bNoFlushOnDelete; a failure at that point is swallowed, so callers that care close
    // explicitly.
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return (m_nMode & load) != 0; }
    BOOL IsStoring() const { return (m_nMode & load) == 0; }
    BOOL IsByteSwapping() const { return FALSE; }
    // Loading: TRUE when no read-ahead byte is left in the buffer.
    BOOL IsBufferEmpty() const;
    CFile* GetFile() const { return m_pFile; }

    // The schema of the object being loaded when its class is VERSIONABLE_SCHEMA; reading it
    // resets it to (UINT)-1, so each Serialize asks once.
    UINT GetObjectSchema();
    void SetObjectSchema(UINT nSchema) { m_nObjectSchema = nSchema; }

    // Raw bytes. Read returns fewer bytes only at the end of the data; Write writes all.
    UINT Read(void* lpBuf, UINT nMax);
    void Write(const void* lpBuf, UINT nMax);

    // Storing: writes the buffer to the file. Loading: gives the unread read-ahead back to the
    // file, so that the file's position is where the archive stopped reading.
    void Flush();
    // Flushes and detaches the file.
    void Close();
    // Detaches the file without writing what is buffered; never raises.
    void Abort();

    // Text lines. WriteString writes the text as it is, no terminator and no line break.
    // ReadString(CString&) reads a line without its "\n" or "\r\n"; FALSE at the end of the data.
    // ReadString(buffer, nMax) keeps at most nMax - 1 characters, ends a complete line with
    // "\n", and returns null at the end of the data.
    void WriteString(LPCTSTR lpsz);
    BOOL ReadString(CString& rString);
    LPTSTR ReadString(LPTSTR lpsz, UINT nMax);

    // Objects with their class tags. Writing an object of a class that is not serializable
    // raises badClass, since it could never be read back.
    void WriteObject(const CObject* pOb);
    // Reads an object written by WriteObject: null, a new object of its class (made by the
    // class's CreateObject, then its Serialize), or an object read earlier. The class must be
    // pClassRefRequested or derived from it (badClass), a serializable class known by name
    // (badClass) with the stored schema (badSchema, unless VERSIONABLE_SCHEMA).
    CObject* ReadObject(const CRuntimeClass* pClassRefRequested);
    void WriteClass(const CRuntimeClass* pClassRef);
    // Reads a class tag; with pObTag, an object back-reference is answered by null and its
    // index in *pObTag. The stored schema goes to *pSchema, or to GetObjectSchema without it.
    CRuntimeClass* ReadClass(const CRuntimeClass* pClassRefRequested = nullptr, UINT* pSchema = nullptr,
                             DWORD* pObTag = nullptr);
    // WriteClass when storing, ReadClass when loading.
    void SerializeClass(const CRuntimeClass* pClassRef);
    // Enters an object in the map without writing it, so later references to it are written
    // (or resolved) as back-references.
    void MapObject(const CObject* pOb);

    // Element counts: a WORD, or 0xFFFF then a DWORD for 0xFFFF and above.
    void WriteCount(DWORD_PTR dwCount);
    DWORD_PTR ReadCount();

    // Raises endOfFile at once when fewer than nBytes are left to read in a file of known
    // length; loaders call it before allocating room for data that a hostile file could claim.
    void EnsureAvailable(ULONGLONG nBytes);

    // Numbers, little-endian in their exact widths. `long` is 64 bits on this platform: use
    // LONG for a 32-bit value.
    CArchive& operator<<(BYTE by);
    CArchive& operator<<(char ch);
    CArchive& operator<<(signed char ch);
    CArchive& operator<<(WORD w);
    CArchive& operator<<(short w);
    CArchive& operator<<(int i);
    CArchive& operator<<(unsigned int u);
    CArchive& operator<<(long l);
    CArchive& operator<<(unsigned long ul);
    CArchive& operator<<(long long ll);
    CArchive& operator<<(unsigned long long ull);
    CArchive& operator<<(float f);
    CArchive& operator<<(double d);

    CArchive& operator>>(BYTE& by);
    CArchive& operator>>(char& ch);
    CArchive& operator>>(signed char& ch);
    CArchive& operator>>(WORD& w);
    CArchive& operator>>(short& w);
    CArchive& operator>>(int& i);
    CArchive& operator>>(unsigned int& u);
    CArchive& operator>>(long& l);
    CArchive& operator>>(unsigned long& ul);
    CArchive& operator>>(long long& ll);
    CArchive& operator>>(unsigned long long& ull);
    CArchive& operator>>(float& f);
    CArchive& operator>>(double& d);

    // Strings: a length (a BYTE below 255; 0xFF then a WORD below 0xFFFE; 0xFF, 0xFFFF then a
    // DWORD), then the bytes without terminator. A length preceded by 0xFF, 0xFFFE marks
    // UTF-16 text, which is read and converted to UTF-8.
    friend CArchive& operator<<(CArchive& ar, const CString& string);
    friend CArchive& operator>>(CArchive& ar, CString& string);

    friend CArchive& operator<<(CArchive& ar, const CObject* pOb);
    friend CArchive& operator>>(CArchive& ar, CObject*& pOb);
    friend CArchive& operator>>(CArchive& ar, const CObject*& pOb);

    UINT m_nMode;
    CDocument* m_pDocument = nullptr;
    // The file's path, named in the exceptions the archive raises.
    CString m_strFileName;

    // The tags of the stored form.
    static constexpr WORD wNullTag = 0;
    static constexpr WORD wNewClassTag = 0xFFFF;
    static constexpr WORD wClassTag = 0x8000;
    static constexpr WORD wBigObjectTag = 0x7FFF;
    static constexpr DWORD dwBigClassTag = 0x80000000u;
    static constexpr DWORD nMaxMapCount = 0x3FFFFFFEu;

private:
    void CheckLoading() const;
    void CheckStoring() const;
    // Loading: makes at least nNeeded bytes available in the buffer, fewer only at the end.
    size_t FillBuffer(size_t nNeeded);
    // Loading: reads exactly nCount bytes or raises endOfFile.
    void ReadExact(void* lpBuf, size_t nCount);
    void WriteBytes(const void* lpBuf, size_t nCount);
    // Loading: the next byte without taking it; -1 at the end of the data.
    int PeekByte();
    // Bytes left to read, or -1 when the file cannot tell (a pipe).
    long long RemainingBytes();
    void ReadStringBytes(CString& rString, DWORD nLength);
    void ReadUtf16String(CString& rString, DWORD nLength);
    [[noreturn]] void Throw(int cause) const;

    // One entry of the load map: classes and objects share the index space.
    struct LoadEntry {
        void* pointer;
        bool isClass;
    };

    CFile* m_pFile;
    std::vector<BYTE> m_buffer;
    size_t m_nBufCur = 0; // loading: next unread byte; storing: bytes held
    size_t m_nBufMax = 0; // loading: end of the read-ahead
    UINT m_nObjectSchema = static_cast<UINT>(-1);
    DWORD m_nMapCount = 1;
    std::unordered_map<const void*, DWORD> m_storeMap;
    std::vector<LoadEntry> m_loadArray;
    // Schemas of VERSIONABLE classes whose stored schema differs from the program's.
    std::unordered_map<const CRuntimeClass*, UINT> m_schemaMap;
};
