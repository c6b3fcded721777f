// A fetch engine for tests of a stop that comes inside a page: the program's own, whose reports
// of the page stop at one of its META tags until the scan is asked to stop, so that the stop
// always comes while the page's tags are being filed.
#pragma once

#include "engine/html/ITaskManager.h"
#include "engine/project/IScanBackend.h"
#include "fetch/CFetchScanBackend.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <utility>

struct PausingFetchBackend : IScanBackend {
    // Passes every report on to the scan engine; the nth META tag waits for the stop first.
    struct Sink final : ITaskManager {
        Sink(PausingFetchBackend& owner, ITaskManager* pEngine) : m_owner(owner), m_pEngine(pEngine) {}
        void OnLinkFound(DWORD_PTR p, LPCSTR u, LPCSTR d, int k, DWORD f, int w, int h) override { m_pEngine->OnLinkFound(p, u, d, k, f, w, h); }
        void OnTitle(DWORD_PTR p, LPCSTR t) override { m_pEngine->OnTitle(p, t); }
        void OnAnchor(DWORD_PTR p, LPCSTR n) override { m_pEngine->OnAnchor(p, n); }
        void OnAuthor(DWORD_PTR p, LPCSTR a) override { m_pEngine->OnAuthor(p, a); }
        void OnDescription(DWORD_PTR p, LPCSTR d) override { m_pEngine->OnDescription(p, d); }
        void OnOtherMeta(DWORD_PTR p, LPCSTR n, LPCSTR c, LPCSTR s) override { m_pEngine->OnOtherMeta(p, n, c, s); }
        void OnFormEnd(DWORD_PTR p, LPCSTR n, DWORD c) override { m_pEngine->OnFormEnd(p, n, c); }
        void OnAuthenticationRequired(DWORD_PTR p, LPCSTR w) override { m_pEngine->OnAuthenticationRequired(p, w); }
        void OnRedirect(DWORD_PTR p, UINT s, LPCSTR u, int k) override { m_pEngine->OnRedirect(p, s, u, k); }
        void OnBaseUrl(DWORD_PTR p, LPCSTR u) override { m_pEngine->OnBaseUrl(p, u); }
        void OnExtraLink(DWORD_PTR p, LPCSTR u, LPCSTR d, int k, DWORD f, int w, int h) override { m_pEngine->OnExtraLink(p, u, d, k, f, w, h); }
        void OnLastModified(DWORD_PTR p, LONG t) override { m_pEngine->OnLastModified(p, t); }
        void OnContentType(DWORD_PTR p, LPCSTR t) override { m_pEngine->OnContentType(p, t); }
        void OnContentLength(DWORD_PTR p, DWORD n) override { m_pEngine->OnContentLength(p, n); }
        void OnFileRead(DWORD_PTR p, const struct stat& f, LPCSTR r) override { m_pEngine->OnFileRead(p, f, r); }
        void OnFileChecksum(DWORD_PTR p, ULONGLONG n) override { m_pEngine->OnFileChecksum(p, n); }
        void OnKeyword(DWORD_PTR p, LPCSTR k, int s) override { m_pEngine->OnKeyword(p, k, s); }
        void OnNamedMeta(DWORD_PTR p, LPCSTR n, LPCSTR c, LPCSTR s) override
        {
            if (++m_nTags == m_owner.m_nPauseAt) {
                m_owner.bPaused = true;
                // Bounded, so that a stop that never comes fails the test rather than hangs it.
                const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
                while (!m_owner.bStopRequested && std::chrono::steady_clock::now() < deadline)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            m_pEngine->OnNamedMeta(p, n, c, s);
        }
        void OnHttpEquivMeta(DWORD_PTR p, LPCSTR n, LPCSTR c) override { m_pEngine->OnHttpEquivMeta(p, n, c); }
        void OnTaskDone(DWORD_PTR p) override { m_pEngine->OnTaskDone(p); }
        void ReportText(DWORD_PTR p, DWORD k, LPCSTR t, DWORD c) override { m_pEngine->ReportText(p, k, t, c); }
        void ReportResult(DWORD_PTR p, DWORD k, DWORD c, UINT s, LPCSTR i1, DWORD_PTR i2) override
        {
            m_pEngine->ReportResult(p, k, c, s, i1, i2);
        }
        PausingFetchBackend& m_owner;
        ITaskManager* m_pEngine;
        size_t m_nTags = 0; // the reports come in the pages' order, one page's at a time
    };
    struct Engine : IScanTaskManager {
        Engine(PausingFetchBackend& owner, std::unique_ptr<Sink> pSink, std::unique_ptr<IScanTaskManager> pReal)
            : m_owner(owner), m_pSink(std::move(pSink)), m_pReal(std::move(pReal))
        {
        }
        void SetScanOptions(const CScanOptions& options) override { m_pReal->SetScanOptions(options); }
        BOOL OpenInternetSession() override { return m_pReal->OpenInternetSession(); }
        bool QueueUrl(DWORD_PTR p, LPCTSTR u, int k, BOOL f) override { return m_pReal->QueueUrl(p, u, k, f); }
        bool QueueParsedUrl(DWORD_PTR p, const CUrlString& u, int k, BOOL f) override { return m_pReal->QueueParsedUrl(p, u, k, f); }
        void StartThreads() override { m_pReal->StartThreads(); }
        void RequestStop() override
        {
            m_owner.bStopRequested = true;
            m_pReal->RequestStop();
        }
        void StopThreads() override { m_pReal->StopThreads(); }
        void SetErrorStopHandler(std::function<void()> handler) override { m_pReal->SetErrorStopHandler(std::move(handler)); }
        BOOL CanExtractKeywords() override { return m_pReal->CanExtractKeywords(); }
        PausingFetchBackend& m_owner;
        std::unique_ptr<Sink> m_pSink; // outlives the real engine's threads, which report to it
        std::unique_ptr<IScanTaskManager> m_pReal;
    };
    // Pauses at the nth named META tag of each scan.
    explicit PausingFetchBackend(size_t nPauseAt) : m_nPauseAt(nPauseAt) {}
    std::unique_ptr<IScanTaskManager> CreateTaskManager(ITaskManager* pEngine, const CConnectOptions& options) override
    {
        bPaused = bStopRequested = false;
        auto pSink = std::make_unique<Sink>(*this, pEngine);
        std::unique_ptr<IScanTaskManager> pReal = m_real.CreateTaskManager(pSink.get(), options);
        return pReal ? std::make_unique<Engine>(*this, std::move(pSink), std::move(pReal)) : nullptr;
    }
    std::atomic<bool> bPaused{false};
    std::atomic<bool> bStopRequested{false};
    CFetchScanBackend m_real;
    size_t m_nPauseAt;
};
