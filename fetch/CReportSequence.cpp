#include "fetch/CReportSequence.h"

#include <algorithm>
#include <string>
#include <utility>

namespace {

// A text of a report, kept beyond the call; a null text stays null.
class KeptText {
public:
    explicit KeptText(LPCSTR lpsz) : m_bNull(lpsz == nullptr), m_text(lpsz != nullptr ? lpsz : "") {}
    LPCSTR Get() const { return m_bNull ? nullptr : m_text.c_str(); }

private:
    bool m_bNull;
    std::string m_text;
};

} // namespace

CRecordedReports::Reports CRecordedReports::Take()
{
    Reports reports;
    reports.swap(m_reports);
    return reports;
}

void CRecordedReports::OnLinkFound(DWORD_PTR dwPage, LPCSTR lpszUrl, LPCSTR lpszDescription, int nLinkKind,
    DWORD dwFlags, int nWidth, int nHeight)
{
    m_reports.emplace_back([=, url = KeptText(lpszUrl), description = KeptText(lpszDescription)](ITaskManager& owner) {
        owner.OnLinkFound(dwPage, url.Get(), description.Get(), nLinkKind, dwFlags, nWidth, nHeight);
    });
}

void CRecordedReports::OnTitle(DWORD_PTR dwPage, LPCSTR lpszTitle)
{
    m_reports.emplace_back([=, title = KeptText(lpszTitle)](ITaskManager& owner) { owner.OnTitle(dwPage, title.Get()); });
}

void CRecordedReports::OnAnchor(DWORD_PTR dwPage, LPCSTR lpszName)
{
    m_reports.emplace_back([=, name = KeptText(lpszName)](ITaskManager& owner) { owner.OnAnchor(dwPage, name.Get()); });
}

void CRecordedReports::OnAuthor(DWORD_PTR dwPage, LPCSTR lpszAuthor)
{
    m_reports.emplace_back(
        [=, author = KeptText(lpszAuthor)](ITaskManager& owner) { owner.OnAuthor(dwPage, author.Get()); });
}

void CRecordedReports::OnDescription(DWORD_PTR dwPage, LPCSTR lpszDescription)
{
    m_reports.emplace_back([=, description = KeptText(lpszDescription)](ITaskManager& owner) {
        owner.OnDescription(dwPage, description.Get());
    });
}

void CRecordedReports::OnOtherMeta(DWORD_PTR dwPage, LPCSTR lpszName, LPCSTR lpszContent, LPCSTR lpszScheme)
{
    m_reports.emplace_back([=, name = KeptText(lpszName), content = KeptText(lpszContent),
                               scheme = KeptText(lpszScheme)](ITaskManager& owner) {
        owner.OnOtherMeta(dwPage, name.Get(), content.Get(), scheme.Get());
    });
}

void CRecordedReports::OnFormEnd(DWORD_PTR dwPage, LPCSTR lpszFormName, DWORD dwChecksum)
{
    m_reports.emplace_back([=, name = KeptText(lpszFormName)](ITaskManager& owner) {
        owner.OnFormEnd(dwPage, name.Get(), dwChecksum);
    });
}

void CRecordedReports::OnAuthenticationRequired(DWORD_PTR dwPage, LPCSTR lpszWhat)
{
    m_reports.emplace_back(
        [=, what = KeptText(lpszWhat)](ITaskManager& owner) { owner.OnAuthenticationRequired(dwPage, what.Get()); });
}

void CRecordedReports::OnRedirect(DWORD_PTR dwPage, UINT nStatus, LPCSTR lpszNewUrl, int nLinkKind)
{
    m_reports.emplace_back([=, url = KeptText(lpszNewUrl)](ITaskManager& owner) {
        owner.OnRedirect(dwPage, nStatus, url.Get(), nLinkKind);
    });
}

void CRecordedReports::OnBaseUrl(DWORD_PTR dwPage, LPCSTR lpszBaseUrl)
{
    m_reports.emplace_back([=, url = KeptText(lpszBaseUrl)](ITaskManager& owner) { owner.OnBaseUrl(dwPage, url.Get()); });
}

void CRecordedReports::OnExtraLink(DWORD_PTR dwPage, LPCSTR lpszUrl, LPCSTR lpszDescription, int nLinkKind,
    DWORD dwFlags, int nWidth, int nHeight)
{
    m_reports.emplace_back([=, url = KeptText(lpszUrl), description = KeptText(lpszDescription)](ITaskManager& owner) {
        owner.OnExtraLink(dwPage, url.Get(), description.Get(), nLinkKind, dwFlags, nWidth, nHeight);
    });
}

void CRecordedReports::OnLastModified(DWORD_PTR dwPage, LONG nTime)
{
    m_reports.emplace_back([=](ITaskManager& owner) { owner.OnLastModified(dwPage, nTime); });
}

void CRecordedReports::OnContentType(DWORD_PTR dwPage, LPCSTR lpszContentType)
{
    m_reports.emplace_back(
        [=, type = KeptText(lpszContentType)](ITaskManager& owner) { owner.OnContentType(dwPage, type.Get()); });
}

void CRecordedReports::OnContentLength(DWORD_PTR dwPage, DWORD dwLength)
{
    m_reports.emplace_back([=](ITaskManager& owner) { owner.OnContentLength(dwPage, dwLength); });
}

void CRecordedReports::OnFileRead(DWORD_PTR dwPage, const struct stat& file, LPCSTR lpszResolved)
{
    m_reports.emplace_back(
        [=, resolved = KeptText(lpszResolved)](ITaskManager& owner) { owner.OnFileRead(dwPage, file, resolved.Get()); });
}

void CRecordedReports::OnFileChecksum(DWORD_PTR dwPage, ULONGLONG nChecksum)
{
    m_reports.emplace_back([=](ITaskManager& owner) { owner.OnFileChecksum(dwPage, nChecksum); });
}

void CRecordedReports::OnKeyword(DWORD_PTR dwPage, LPCSTR lpszKeyword, int nSource)
{
    m_reports.emplace_back(
        [=, keyword = KeptText(lpszKeyword)](ITaskManager& owner) { owner.OnKeyword(dwPage, keyword.Get(), nSource); });
}

void CRecordedReports::OnNamedMeta(DWORD_PTR dwPage, LPCSTR lpszName, LPCSTR lpszContent, LPCSTR lpszScheme)
{
    m_reports.emplace_back([=, name = KeptText(lpszName), content = KeptText(lpszContent),
                               scheme = KeptText(lpszScheme)](ITaskManager& owner) {
        owner.OnNamedMeta(dwPage, name.Get(), content.Get(), scheme.Get());
    });
}

void CRecordedReports::OnHttpEquivMeta(DWORD_PTR dwPage, LPCSTR lpszName, LPCSTR lpszContent)
{
    m_reports.emplace_back([=, name = KeptText(lpszName), content = KeptText(lpszContent)](ITaskManager& owner) {
        owner.OnHttpEquivMeta(dwPage, name.Get(), content.Get());
    });
}

void CRecordedReports::OnTaskDone(DWORD_PTR dwPage)
{
    m_reports.emplace_back([=](ITaskManager& owner) { owner.OnTaskDone(dwPage); });
}

void CRecordedReports::ReportText(DWORD_PTR dwPage, DWORD dwClass, LPCSTR lpszText, DWORD dwCode)
{
    m_reports.emplace_back([=, text = KeptText(lpszText)](ITaskManager& owner) {
        owner.ReportText(dwPage, dwClass, text.Get(), dwCode);
    });
}

void CRecordedReports::ReportResult(DWORD_PTR dwPage, DWORD dwClass, DWORD dwCode, UINT nStringId,
    LPCSTR lpszInsert1, DWORD_PTR dwInsert2)
{
    m_reports.emplace_back([=, insert = KeptText(lpszInsert1)](ITaskManager& owner) {
        owner.ReportResult(dwPage, dwClass, dwCode, nStringId, insert.Get(), dwInsert2);
    });
}

CReportSequence::CReportSequence(size_t nMaxWaiting) : m_nMaxWaiting(std::max<size_t>(nMaxWaiting, 1)) {}

void CReportSequence::HandOver(ULONGLONG nOrder, CRecordedReports::Reports reports, ITaskManager& owner)
{
    std::unique_lock<std::mutex> lock(m_lock);
    // The URL whose turn it is never waits: its reports are what makes room. Nor does a worker
    // when no one tells and the next turn's reports are here, as after an owner threw: it tells
    // them.
    const auto mayPark = [&] {
        return m_bNoWaiting || nOrder == m_nNext || !m_bFull
            || (!m_bTelling && m_waiting.find(m_nNext) != m_waiting.end());
    };
    if (!mayPark()) {
        ++m_nWorkersWaiting;
        m_roomMade.wait(lock, mayPark);
        --m_nWorkersWaiting;
    }
    m_waiting.emplace(nOrder, std::move(reports));
    if (m_waiting.size() >= m_nMaxWaiting)
        m_bFull = true;
    if (m_bTelling)
        return;
    m_bTelling = true;
    // Wakes the workers waiting for room, and lets one of them tell if this worker leaves off.
    const auto stopTelling = [&] {
        if (!lock.owns_lock())
            lock.lock();
        m_bTelling = false;
        const bool bWaiters = m_nWorkersWaiting > 0;
        lock.unlock();
        if (bWaiters)
            m_roomMade.notify_all();
    };
    try {
        for (auto next = m_waiting.find(m_nNext); next != m_waiting.end(); next = m_waiting.find(m_nNext)) {
            const CRecordedReports::Reports ready = std::move(next->second);
            m_waiting.erase(next);
            ++m_nNext;
            // Room is made for the waiting workers only once half of it is free again, so that
            // they are not woken for every URL told.
            bool bRoomMade = false;
            if (m_bFull && m_waiting.size() <= m_nMaxWaiting / 2) {
                m_bFull = false;
                bRoomMade = m_nWorkersWaiting > 0;
            }
            // The owner is told without the lock, so that the other workers hand over meanwhile.
            lock.unlock();
            if (bRoomMade)
                m_roomMade.notify_all();
            for (const CRecordedReports::Report& report : ready)
                report(owner);
            lock.lock();
        }
    } catch (...) {
        stopTelling();
        throw;
    }
    stopTelling();
}

void CReportSequence::StopWaiting()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_bNoWaiting = true;
    }
    m_roomMade.notify_all();
}

size_t CReportSequence::GetWaitingCount()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_waiting.size();
}

size_t CReportSequence::GetWorkersWaitingForRoom()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_nWorkersWaiting;
}
