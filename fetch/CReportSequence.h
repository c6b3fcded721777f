// CRecordedReports and CReportSequence: what the checks of one entry's URLs report, held back
// and passed on to the owner in the order the URLs were queued, however many workers check
// them at once and in whatever order they finish.
#pragma once

#include "engine/html/ITaskManager.h"
#include "platform/core/Types.h"

#include <functional>
#include <map>
#include <mutex>
#include <vector>

// The sink a checker reports to while several workers check the same entry: every report is
// kept, texts copied, to be told to the owner later in the same order. Used by one worker.
class CRecordedReports final : public ITaskManager {
public:
    using Report = std::function<void(ITaskManager&)>;
    using Reports = std::vector<Report>;

    CRecordedReports() = default;
    CRecordedReports(const CRecordedReports&) = delete;
    CRecordedReports& operator=(const CRecordedReports&) = delete;

    // What was reported since the last Take, in order; the record starts empty again.
    Reports Take();

    void OnLinkFound(DWORD_PTR dwPage, LPCSTR lpszUrl, LPCSTR lpszDescription, int nLinkKind, DWORD dwFlags,
        int nWidth, int nHeight) override;
    void OnTitle(DWORD_PTR dwPage, LPCSTR lpszTitle) override;
    void OnAnchor(DWORD_PTR dwPage, LPCSTR lpszName) override;
    void OnAuthor(DWORD_PTR dwPage, LPCSTR lpszAuthor) override;
    void OnDescription(DWORD_PTR dwPage, LPCSTR lpszDescription) override;
    void OnOtherMeta(DWORD_PTR dwPage, LPCSTR lpszName, LPCSTR lpszContent, LPCSTR lpszScheme) override;
    void OnFormEnd(DWORD_PTR dwPage, LPCSTR lpszFormName, DWORD dwChecksum) override;
    void OnAuthenticationRequired(DWORD_PTR dwPage, LPCSTR lpszWhat) override;
    void OnRedirect(DWORD_PTR dwPage, UINT nStatus, LPCSTR lpszNewUrl, int nLinkKind) override;
    void OnBaseUrl(DWORD_PTR dwPage, LPCSTR lpszBaseUrl) override;
    void OnExtraLink(DWORD_PTR dwPage, LPCSTR lpszUrl, LPCSTR lpszDescription, int nLinkKind, DWORD dwFlags,
        int nWidth, int nHeight) override;
    void OnLastModified(DWORD_PTR dwPage, LONG nTime) override;
    void OnContentType(DWORD_PTR dwPage, LPCSTR lpszContentType) override;
    void OnContentLength(DWORD_PTR dwPage, DWORD dwLength) override;
    void OnKeyword(DWORD_PTR dwPage, LPCSTR lpszKeyword, int nSource) override;
    void OnNamedMeta(DWORD_PTR dwPage, LPCSTR lpszName, LPCSTR lpszContent, LPCSTR lpszScheme) override;
    void OnHttpEquivMeta(DWORD_PTR dwPage, LPCSTR lpszName, LPCSTR lpszContent) override;
    void OnTaskDone(DWORD_PTR dwPage) override;
    void ReportText(DWORD_PTR dwPage, DWORD dwClass, LPCSTR lpszText, DWORD dwCode) override;
    void ReportResult(DWORD_PTR dwPage, DWORD dwClass, DWORD dwCode, UINT nStringId, LPCSTR lpszInsert1,
        DWORD_PTR dwInsert2) override;

private:
    Reports m_reports;
};

// The turn of the URLs of one entry: the reports of the URL taken nth are told to the owner
// after those of every URL taken before it, one URL's at a time. A worker that finishes a URL
// whose turn has not come leaves its reports here and goes on; the worker that finishes the URL
// whose turn it is tells them, and every later one already waiting.
class CReportSequence {
public:
    CReportSequence() = default;
    CReportSequence(const CReportSequence&) = delete;
    CReportSequence& operator=(const CReportSequence&) = delete;

    // Hands over the reports of the URL taken in place nOrder (CURLToCheck::GetTakenOrder) and
    // tells the owner those whose turn has come. Every place from 0 on must be handed over once,
    // or the URLs after it are never told. What the owner throws leaves here; the reports still
    // waiting are told by the next worker that hands some over. Callable from any worker thread.
    void HandOver(ULONGLONG nOrder, CRecordedReports::Reports reports, ITaskManager& owner);

    // The number of URLs whose reports wait for an earlier one. Callable from any thread.
    size_t GetWaitingCount();

private:
    std::mutex m_lock;
    std::map<ULONGLONG, CRecordedReports::Reports> m_waiting;
    ULONGLONG m_nNext = 0;
    // A worker is telling the owner; the others leave their reports to it.
    bool m_bTelling = false;
};
