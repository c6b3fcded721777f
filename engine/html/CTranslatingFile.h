// CTranslatingFile: a read-only, forward-only file over a fetched page that delivers the page in
// UTF-8, the engine's text encoding. The page's charset is found from its first bytes, as
// CPageCharsetJudge reads them: the charset its META tags declare, else what the charset
// detector takes its text for.
#pragma once

#include "engine/html/CPageCharset.h"
#include "platform/core/CFile.h"
#include "platform/core/Types.h"

#include <memory>
#include <string>

class CTranslatingFile : public CFile {
    DECLARE_DYNAMIC(CTranslatingFile)
public:
    // The wrapped file is not owned and already open; null reads as an empty file.
    explicit CTranslatingFile(CFile* pWrapped);
    // A page whose charset is known, which is read in it rather than in what its start tells:
    // a page the program has just written.
    CTranslatingFile(CFile* pWrapped, const CPageCharset& known);
    ~CTranslatingFile() override;

    // Delivers the page in UTF-8: the number of bytes, 0 at the end. The first call reads the
    // page's first 2048 bytes (fewer only at the end of the wrapped file, however short its
    // single reads are), and as many more as a page that declares no charset takes to judge,
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

    // The bytes read from the wrapped file so far: the page's own size once it was read whole,
    // whatever its conversion to UTF-8 made of it.
    ULONGLONG GetSourceBytes() const { return m_nSourceBytes; }
    // The page's charset, as the first Read found it.
    const CPageCharset& GetCharset() const { return m_charset; }

private:
    static constexpr UINT kReadSize = 2048;

    // Reads the wrapped file into the buffer given: the count, 0 at its end.
    UINT ReadSource(BYTE* pBuffer, UINT nCount);
    // The first read: the page's first bytes, judged.
    void ReadStart();

    CFile* m_pWrapped;
    bool m_bStarted = false;
    bool m_bSourceEnded = false;
    std::string m_ahead;       // the bytes the judge looked at, not yet decoded
    CPageCharset m_charset;
    bool m_bCharsetKnown = false;
    std::unique_ptr<CPageDecoder> m_pDecoder;
    std::string m_decoded;     // UTF-8 not yet handed to the caller
    size_t m_nDecodedPos = 0;
    bool m_bDecodeEnded = false;
    ULONGLONG m_nSourceBytes = 0;
};
