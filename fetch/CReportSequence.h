// CRecordedReports and CReportSequence: what the checks of one entry's URLs report, held back
// and passed on to the owner in the order the URLs were queued, however many workers check
// them at once and in whatever order they finish.
#pragma once

#include "engine/html/ITaskManager.h"
#include "platform/core/Types.h"

#include <condition_variable>
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
    void OnFileRead(DWORD_PTR dwPage, const struct stat& file, LPCSTR lpszResolved) override;
    void OnFileChecksum(DWORD_PTR dwPage, ULONGLONG nChecksum) override;
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
// whose turn it is tells them, and every later one already waiting. Telling can be slower than
// checking (the owner files every report under one lock), so only so many URLs' reports may
// wait: a worker that finds no room waits until the teller has told some, instead of checking
// page after page whose reports would pile up here by the thousand.
class CReportSequence {
public:
    // nMaxWaiting: how many URLs' reports may wait for an earlier URL; at least 1.
    explicit CReportSequence(size_t nMaxWaiting);
    CReportSequence(const CReportSequence&) = delete;
    CReportSequence& operator=(const CReportSequence&) = delete;

    // Hands over the reports of the URL taken in place nOrder (CURLToCheck::GetTakenOrder) and
    // tells the owner those whose turn has come. Every place from 0 on must be handed over once,
    // or the URLs after it are never told. Waits while there is no room for the reports and
    // their turn has not come. What the owner throws leaves here; the reports still waiting are
    // told by the next worker that hands some over. Callable from any worker thread.
    void HandOver(ULONGLONG nOrder, CRecordedReports::Reports reports, ITaskManager& owner);

    // No worker waits for room from now on, and those waiting go on at once: the engine is
    // stopping, and its workers must end. Callable from any thread.
    void StopWaiting();

    // The number of URLs whose reports wait for an earlier one, and the number of workers that
    // wait for room. Callable from any thread.
    size_t GetWaitingCount();
    size_t GetWorkersWaitingForRoom();

private:
    std::mutex m_lock;
    // Signalled whenever a URL's reports were taken to be told and when a teller stops.
    std::condition_variable m_roomMade;
    std::map<ULONGLONG, CRecordedReports::Reports> m_waiting;
    ULONGLONG m_nNext = 0;
    const size_t m_nMaxWaiting;
    size_t m_nWorkersWaiting = 0;
    // Set when the waiting reports filled the room, cleared when they are down to half of it.
    bool m_bFull = false;
    // A worker is telling the owner; the others leave their reports to it.
    bool m_bTelling = false;
    bool m_bNoWaiting = false;
};
