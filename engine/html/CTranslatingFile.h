// CTranslatingFile: a read-only, forward-only file over a fetched page that delivers the page in
// UTF-8, the engine's text encoding. The page's charset is found from its first bytes
// (CPageCharset: the charset its META tags declare, else a guess); Japanese pages without a
// declaration are recognised by their encoding (ISO-2022-JP, EUC-JP or Shift-JIS) and brought
// to Shift-JIS first. CPendingQueue holds converted bytes that did not fit the caller's buffer
// yet.
#pragma once

#include "engine/html/CPageCharset.h"
#include "platform/core/CFile.h"
#include "platform/core/CObject.h"
#include "platform/core/Types.h"

#include <memory>
#include <string>

// A ring of 256 bytes; it holds at most 255, since equal indices mean empty.
class CPendingQueue : public CObject {
    DECLARE_DYNAMIC(CPendingQueue)
public:
    static constexpr int kCapacity = 255;

    CPendingQueue() = default;

    // Stores a byte after the last one; FALSE (and nothing stored) when the ring is full.
    BOOL Put(BYTE ch);
    // Takes back the n bytes put last (all of them when fewer are held).
    void DropLast(int n);
    // Takes back and returns the byte put last; 0 when empty.
    BYTE PopLast();
    // The byte put i places before the last one (0 = the last); 0 when there is none.
    BYTE PeekLast(int i) const;
    // Returns and removes the oldest byte; 0 when empty.
    BYTE GetFirst();
    // Moves up to nMax bytes, oldest first, into the buffer; returns how many.
    int ReadInto(BYTE* pBuffer, int nMax);

    int GetCount() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

private:
    BYTE m_ring[256] = {};
    int m_nWrite = 0;
    int m_nRead = 0;
    int m_nCount = 0;
};

class CTranslatingFile : public CFile {
    DECLARE_DYNAMIC(CTranslatingFile)
public:
    enum Encoding : int {
        encodingNone = 1,     // copied unchanged
        encodingJis = 2,      // ISO-2022-JP, converted
        encodingShiftJis = 3, // copied unchanged
        encodingEucJp = 4,    // converted
    };

    // The wrapped file is not owned and already open; null reads as an empty file.
    explicit CTranslatingFile(CFile* pWrapped);
    // A page whose charset is known, which is read in it rather than in what its start tells:
    // a page the program has just written.
    CTranslatingFile(CFile* pWrapped, const CPageCharset& known);
    ~CTranslatingFile() override;

    // Delivers the page in UTF-8: the number of bytes, 0 at the end. The first call reads 2048
    // bytes (fewer only at the end of the wrapped file, however short its single reads are)
    // and chooses the charset from them. Exceptions of the wrapped file's Read pass through.
    UINT Read(void* lpBuf, UINT nCount) override;

    // The file is only read from: these do nothing.
    BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;
    void Write(const void* lpBuf, UINT nCount) override;
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    ULONGLONG GetPosition() const override;
    ULONGLONG GetLength() const override;
    void SetLength(ULONGLONG dwNewLen) override;
    void Flush() override;
    void Close() override;
    void Abort() override;
    void LockRange(ULONGLONG dwPos, ULONGLONG dwCount) override;
    void UnlockRange(ULONGLONG dwPos, ULONGLONG dwCount) override;

    // The Japanese encoding chosen by the first Read; encodingNone before it and for any other
    // charset.
    int GetEncoding() const { return m_nEncoding; }
    // The bytes read from the wrapped file so far: the page's own size once it was read whole,
    // whatever its conversion to UTF-8 made of it.
    ULONGLONG GetSourceBytes() const { return m_nSourceBytes; }
    // The page's charset, as the first Read found it.
    const CPageCharset& GetCharset() const { return m_charset; }

    // Chooses the encoding of a page from its first bytes, for a system whose ANSI code page
    // is nCodePage (932 lowers the bar for Japanese encodings).
    static int PickEncoding(const BYTE* pText, UINT nLength, UINT nCodePage);
    // The scores of the three encodings, 0 to 4 each.
    static int ScoreJis(const BYTE* pText, UINT nLength);
    static int ScoreEucJp(const BYTE* pText, UINT nLength);
    static int ScoreShiftJis(const BYTE* pText, UINT nLength);
    // Whether the bytes are UTF-8 with at least one multibyte character (a character cut off
    // at the end counts as complete).
    static bool IsMultibyteUtf8(const BYTE* pText, UINT nLength);
    // The Shift-JIS pair of a JIS X 0208 code (both bytes 33 to 126).
    static void JisToShiftJis(BYTE j1, BYTE j2, BYTE& s1, BYTE& s2);

private:
    static constexpr int kReadSize = 2048;
    static constexpr int kEnded = -1;

    bool FillReadBuffer();
    // The page's bytes, Japanese encodings brought to Shift-JIS: the count, 0 at the end.
    UINT ReadConverted(BYTE* pOut, UINT nCount);
    void Convert(BYTE ch);
    void ConvertJis(BYTE ch);
    void ConvertEucJp(BYTE ch);
    void FinishConverter();
    void PutPair(BYTE j1, BYTE j2);

    CPendingQueue m_queue;
    BYTE m_readBuffer[kReadSize] = {};
    int m_nValid = 0;
    int m_nReadPos = 0;
    BOOL m_bEndOfInput = FALSE;
    CFile* m_pWrapped;
    int m_nEncoding = encodingNone;
    BYTE m_bFirstRead = 1;
    int m_nState = 0; // the converter's state; kEnded after the wrapped file ended

    // Bytes the converter holds while a sequence is incomplete (the JIS mode lives apart,
    // since it survives sequences).
    BYTE m_held[3] = {};
    int m_nHeld = 0;
    bool m_bDoubleByte = false;

    CPageCharset m_charset;
    bool m_bCharsetKnown = false;
    std::unique_ptr<CPageDecoder> m_pDecoder;
    std::string m_decoded;     // UTF-8 not yet handed to the caller
    size_t m_nDecodedPos = 0;
    bool m_bDecodeEnded = false;
    ULONGLONG m_nSourceBytes = 0;
};
