// A recording ITaskManager for the fetch engine's tests: every report is kept per page, under a
// lock, since the engine's worker threads report at the same time.
#pragma once

#include "engine/html/ITaskManager.h"
#include "platform/core/CString.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

struct FakeResult {
    DWORD dwClass;
    DWORD dwCode;
    std::string text;
};

struct FakePage {
    std::string title;
    std::vector<std::pair<std::string, std::string>> namedMeta;
    std::vector<std::pair<std::string, std::string>> httpEquivMeta;
    std::vector<std::string> existingKeywords;
    std::vector<std::string> suggestedKeywords;
    std::vector<std::string> links;
    std::vector<FakeResult> results;
    std::vector<std::string> redirects;
    long contentLength = -1;
    long lastModified = 0;
    int authRequests = 0;
    int done = 0;
};

class FakeTaskSink : public ITaskManager {
public:
    void OnLinkFound(DWORD_PTR dwPage, LPCSTR lpszUrl, LPCSTR, int, DWORD, int, int) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pages[dwPage].links.emplace_back(lpszUrl);
    }
    void OnTitle(DWORD_PTR dwPage, LPCSTR lpszTitle) override
    {
        if (m_onTitle)
            m_onTitle(dwPage);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pages[dwPage].title = lpszTitle;
    }
    void OnAnchor(DWORD_PTR, LPCSTR) override {}
    void OnAuthor(DWORD_PTR, LPCSTR) override {}
    void OnDescription(DWORD_PTR, LPCSTR) override {}
    void OnOtherMeta(DWORD_PTR, LPCSTR, LPCSTR, LPCSTR) override {}
    void OnAuthenticationRequired(DWORD_PTR dwPage, LPCSTR) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_pages[dwPage].authRequests;
    }
    void OnRedirect(DWORD_PTR dwPage, UINT nStatus, LPCSTR lpszNewUrl, int nLinkKind) override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_pages[dwPage].redirects.emplace_back(lpszNewUrl);
        }
        ITaskManager::OnRedirect(dwPage, nStatus, lpszNewUrl, nLinkKind);
    }
    void OnBaseUrl(DWORD_PTR, LPCSTR) override {}
    void OnExtraLink(DWORD_PTR, LPCSTR, LPCSTR, int, DWORD, int, int) override {}
    void OnLastModified(DWORD_PTR dwPage, LONG nTime) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pages[dwPage].lastModified = nTime;
    }
    void OnContentType(DWORD_PTR, LPCSTR) override {}
    void OnContentLength(DWORD_PTR dwPage, DWORD dwLength) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pages[dwPage].contentLength = static_cast<long>(dwLength);
    }
    void OnKeyword(DWORD_PTR dwPage, LPCSTR lpszKeyword, int nSource) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        (nSource != 0 ? m_pages[dwPage].existingKeywords : m_pages[dwPage].suggestedKeywords).emplace_back(lpszKeyword);
    }
    void OnNamedMeta(DWORD_PTR dwPage, LPCSTR lpszName, LPCSTR lpszContent, LPCSTR) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pages[dwPage].namedMeta.emplace_back(lpszName, lpszContent);
    }
    void OnHttpEquivMeta(DWORD_PTR dwPage, LPCSTR lpszName, LPCSTR lpszContent) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pages[dwPage].httpEquivMeta.emplace_back(lpszName, lpszContent);
    }
    void OnTaskDone(DWORD_PTR dwPage) override
    {
        if (m_onTaskDone)
            m_onTaskDone(dwPage);
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_pages[dwPage].done;
        ++m_nDone;
        m_done.notify_all();
    }
    // The formatted message of every result arrives here through the interface's own
    // ReportResult, which looks the text up and fills the inserts in.
    void ReportText(DWORD_PTR dwPage, DWORD dwClass, LPCSTR lpszText, DWORD dwCode) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pages[dwPage].results.push_back({dwClass, dwCode, lpszText != nullptr ? lpszText : ""});
    }

    // Waits (bounded) until n pages are done; false when the time ran out.
    bool WaitForDone(int n, std::chrono::seconds timeout = std::chrono::seconds(60))
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_done.wait_for(lock, timeout, [&] { return m_nDone >= n; });
    }
    int DoneCount()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_nDone;
    }
    FakePage Page(DWORD_PTR dwPage)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_pages[dwPage];
    }
    std::vector<DWORD> Codes(DWORD_PTR dwPage)
    {
        std::vector<DWORD> codes;
        for (const FakeResult& result : Page(dwPage).results)
            codes.push_back(result.dwCode);
        return codes;
    }

    std::function<void(DWORD_PTR)> m_onTitle;
    std::function<void(DWORD_PTR)> m_onTaskDone;

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    std::map<DWORD_PTR, FakePage> m_pages;
    int m_nDone = 0;
};
