// CRefChecker: the base of the reference checkers. It checks the URLs of one host/port/scheme/
// credential entry for one worker thread: runs the common first stage of a check, reports
// results keeping only a URL's worst, maps exceptions to results, receives what the HTML parser
// finds and forwards it to the owner's ITaskManager, and feeds page text to the keyword engine.
#pragma once

#include "engine/html/CHtmlParser.h"
#include "engine/html/IHtmlParserSink.h"
#include "platform/core/CException.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/core/Types.h"

#include <memory>

class CExtractorDoc;
class CFile;
class CHPSUP;
class CTaskManager;
class CURLToCheck;
class ITaskManager;

// Used by one worker thread only; every report goes to the sink from that thread.
class CRefChecker : public CObject, public IHtmlParserSink {
    DECLARE_DYNAMIC(CRefChecker)
public:
    CRefChecker(CTaskManager* pTaskManager, ITaskManager* pSink, CHPSUP* pHpsup);
    ~CRefChecker() override;
    CRefChecker(const CRefChecker&) = delete;
    CRefChecker& operator=(const CRefChecker&) = delete;

    // The first stage of a check: nonzero when CheckMore must run.
    virtual BOOL Check(CURLToCheck* pRecord);
    // The second stage: fetch and judge. The base knows no scheme.
    virtual void CheckMore();
    // The URL is done: the sink hears so unless it was queued again.
    virtual void Finish();
    virtual void StartKeywordExtraction();
    virtual void ResetKeywordExtraction();
    void AddKeywordText(const char* pBuffer, int nLength) override;
    // Extracts, reports each key phrase as a suggested keyword when asked, and drops the document.
    virtual void FinishKeywordExtraction(BOOL bReport);
    // An internet error's text as a warning (class 0x10000) or an error (any other class).
    virtual void ReportExceptionText(DWORD dwClass, DWORD dwError, CException* pException);
    // An exception's own message as a warning or an error.
    virtual void ReportErrorText(DWORD dwClass, CException* pException);
    // Turns an exception into a result; dwDefaultCode when nothing more telling fits. The caller
    // still owns (and deletes) the exception.
    virtual void ReportException(DWORD dwDefaultCode, CException* pException);

    // Reports a result unless the URL already has a worse one.
    void ReportResultCode(DWORD dwCode, LPCTSTR lpszInsert1 = nullptr, DWORD_PTR dwInsert2 = 0);
    // A result of the engine's own codes, outside the table of result codes: its text is the
    // message itself.
    void ReportResultText(DWORD dwCode, DWORD dwClass, LPCTSTR lpszText);
    BOOL IsStopRequested() override;
    // Parses the page (already wrapped in the translating file) and reports its length; what
    // the page lacks of the frame a save writes into.
    CHtmlParser::PageFrame ParsePage(CFile* pFile);
    // Reads the page for the keyword engine only and reports its length.
    void ReadPageForKeywords(CFile* pFile);
    // Tells the sink of a redirect of the current URL, without the new URL's user information.
    void ReportRedirect(UINT nStatus, LPCTSTR lpszNewUrl);
    // The page's base URL: the BASE given, else the URL itself.
    CString GetBaseUrl() const;

    // What is left of the current check's time limit, in milliseconds: at least 1 while any is
    // left, 0 when it has run out, and 0xFFFFFFFF without a limit.
    DWORD GetCheckTimeLeft() const;
    // The result text of a check ended by its time or size limit (the internet error given).
    CString GetLimitText(DWORD dwError) const;

    DWORD GetKeptClass() const { return m_dwKeptClass; }
    CURLToCheck* GetRecord() const { return m_pRecord; }
    CHPSUP* GetHpsup() const { return m_pHpsup; }
    DWORD_PTR GetPageId() const;

    // Sink of the HTML parser.
    void ReportLink(LPCSTR lpszUrl, LPCSTR lpszDescription, int nLinkKind, DWORD dwFlags, int nWidth,
        int nHeight) override;
    void ReportCodebaseLink(LPCSTR lpszCodebase, LPCSTR lpszUrl, LPCSTR lpszDescription, int nLinkKind,
        DWORD dwFlags, int nWidth, int nHeight) override;
    void OnTitle(LPCSTR lpszTitle) override;
    void OnAnchor(LPCSTR lpszName) override;
    void OnBase(LPCSTR lpszHref) override;
    void OnExtraLink(LPCSTR lpszCodebase, LPCSTR lpszUrl, LPCSTR lpszDescription, int nLinkKind, DWORD dwFlags,
        int nWidth, int nHeight) override;
    void OnAuthor(LPCSTR lpszAuthor) override;
    void OnKeyword(LPCSTR lpszKeyword) override;
    void OnDescription(LPCSTR lpszDescription) override;
    void OnOtherMeta(LPCSTR lpszName, LPCSTR lpszContent, LPCSTR lpszScheme) override;
    void OnFormEnd(LPCSTR lpszFormName, DWORD dwChecksum) override;
    void OnNamedMeta(LPCSTR lpszName, LPCSTR lpszContent, LPCSTR lpszScheme) override;
    void OnHttpEquivMeta(LPCSTR lpszName, LPCSTR lpszContent) override;
    void OnLastModified(LONG nTime) override;

protected:
    // Closes and drops a connection or file of the checker. A failed close leaves nothing to
    // undo, and the checker must go on to its next URL, so whatever the close throws is dropped.
    template <class T>
    static void CloseAndReset(std::unique_ptr<T>& pObject)
    {
        if (!pObject)
            return;
        try {
            pObject->Close();
        } catch (CException* e) {
            e->Delete();
        } catch (...) {
        }
        pObject.reset();
    }

    CTaskManager* m_pTaskManager;   // not owned
    ITaskManager* m_pSink;          // not owned
    CHPSUP* m_pHpsup;               // not owned
    CURLToCheck* m_pRecord = nullptr;   // not owned; none between URLs
    DWORD m_dwStartTick;
    std::unique_ptr<CExtractorDoc> m_pExtractorDoc;
    DWORD m_dwKeptClass = 1;
    CString m_strBaseUrl;
    ULONGLONG m_ullCheckStart = 0;   // tick count at the start of the current check
};

// The checker for an entry's scheme kind; the caller owns it.
std::unique_ptr<CRefChecker> CreateRefChecker(CTaskManager* pTaskManager, ITaskManager* pSink, CHPSUP* pHpsup);
