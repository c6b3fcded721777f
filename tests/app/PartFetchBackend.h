// A fetch engine for tests of a scan that is stopped part-way: the program's own, given only
// the first pages of each scan.
#pragma once

#include "engine/project/IScanBackend.h"
#include "fetch/CFetchScanBackend.h"

#include <functional>
#include <memory>
#include <utility>

// The program's own fetch engine, given only the first pages of each scan: it reads them, and
// the scan then waits for the rest until it is stopped, so that a stop always comes part-way.
struct PartFetchBackend : IScanBackend {
    struct Engine : IScanTaskManager {
        Engine(std::unique_ptr<IScanTaskManager> pReal, UINT nPages) : m_pReal(std::move(pReal)), m_nLeft(nPages) {}
        void SetScanOptions(const CScanOptions& options) override { m_pReal->SetScanOptions(options); }
        BOOL OpenInternetSession() override { return m_pReal->OpenInternetSession(); }
        bool QueueUrl(DWORD_PTR dwPage, LPCTSTR lpszUrl, int nLinkKind, BOOL bFetch) override
        {
            return m_nLeft == 0 || (--m_nLeft, m_pReal->QueueUrl(dwPage, lpszUrl, nLinkKind, bFetch));
        }
        bool QueueParsedUrl(DWORD_PTR dwPage, const CUrlString& url, int nLinkKind, BOOL bFetch) override
        {
            return m_nLeft == 0 || (--m_nLeft, m_pReal->QueueParsedUrl(dwPage, url, nLinkKind, bFetch));
        }
        void StartThreads() override { m_pReal->StartThreads(); }
        void RequestStop() override { m_pReal->RequestStop(); }
        void StopThreads() override { m_pReal->StopThreads(); }
        void SetErrorStopHandler(std::function<void()> handler) override { m_pReal->SetErrorStopHandler(std::move(handler)); }
        BOOL CanExtractKeywords() override { return m_pReal->CanExtractKeywords(); }
        std::unique_ptr<IScanTaskManager> m_pReal;
        UINT m_nLeft;
    };
    explicit PartFetchBackend(UINT nPages) : m_nPages(nPages) {}
    std::unique_ptr<IScanTaskManager> CreateTaskManager(ITaskManager* pSink, const CConnectOptions& options) override
    {
        std::unique_ptr<IScanTaskManager> pReal = m_real.CreateTaskManager(pSink, options);
        return pReal ? std::make_unique<Engine>(std::move(pReal), m_nPages) : nullptr;
    }
    CFetchScanBackend m_real;
    UINT m_nPages;
};
