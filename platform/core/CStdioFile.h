// CStdioFile: a buffered file over a C stream, read and written by lines, with the text-mode
// line-break translation of the class library.
#pragma once

#include "platform/core/CFile.h"

#include <cstdio>

class CStdioFile : public CFile {
    DECLARE_DYNAMIC(CStdioFile)
public:
    CStdioFile();
    // Wraps a stream opened elsewhere, untranslated (binary); destruction leaves it open, an
    // explicit Close closes it.
    explicit CStdioFile(FILE* pOpenStream);
    // Opens the file or raises CFileException.
    CStdioFile(LPCTSTR lpszFileName, UINT nOpenFlags);
    ~CStdioFile() override;

    // As CFile::Open (same sharing rules). Text mode unless typeBinary is given: writing turns
    // "\n" into "\r\n" and reading turns "\r\n" into "\n". Opening for writing without
    // modeCreate, or with modeCreate | modeNoTruncate, appends: every write goes to the end.
    BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;

    // Writes the text (translated in text mode); no line break is added.
    virtual void WriteString(LPCTSTR lpsz);
    // Reads up to nMax - 1 characters, stopping after a "\n" (which is kept); null at the end.
    virtual LPTSTR ReadString(LPTSTR lpsz, UINT nMax);
    // Reads a whole line of any length without its "\n"; FALSE at the end of the file.
    virtual BOOL ReadString(CString& rString);

    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    ULONGLONG GetPosition() const override;
    ULONGLONG GetLength() const override;
    void SetLength(ULONGLONG dwNewLen) override;
    void Flush() override;
    void Close() override;
    void Abort() override;
    // Not possible on a stream: each raises CNotSupportedException.
    CFile* Duplicate() const override;
    void LockRange(ULONGLONG dwPos, ULONGLONG dwCount) override;
    void UnlockRange(ULONGLONG dwPos, ULONGLONG dwCount) override;

    FILE* m_pStream;

private:
    FILE* CheckedStream() const;
    void CheckReadable() const;
    void CheckWritable() const;
    // Reads one character, turning "\r\n" into "\n" in text mode; EOF at the end.
    int GetChar();
    void ThrowStreamError() const;

    bool m_bTextMode = false;
};
