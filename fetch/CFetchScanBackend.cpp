#include "fetch/CFetchScanBackend.h"

#include "fetch/CTaskManager.h"

namespace {

// One task manager behind the scan engine's interface.
class CScanTaskManager : public IScanTaskManager {
public:
    CScanTaskManager(ITaskManager* pSink, const CConnectOptions& options)
        : m_taskManager(pSink, nullptr, 0, &options)
    {
    }

    void SetScanOptions(const CScanOptions& options) override { m_taskManager.SetScanOptions(options); }
    BOOL OpenInternetSession() override { return m_taskManager.OpenInternetSession(); }
    bool QueueUrl(DWORD_PTR dwPage, LPCTSTR lpszUrl, int nLinkKind, BOOL bFetch) override
    {
        return m_taskManager.QueueUrl(dwPage, lpszUrl, nLinkKind, bFetch);
    }
    bool QueueParsedUrl(DWORD_PTR dwPage, const CUrlString& url, int nLinkKind, BOOL bFetch) override
    {
        return m_taskManager.QueueUrl(dwPage, url, nLinkKind, bFetch);
    }
    void StartThreads() override { m_taskManager.StartThreads(); }
    void RequestStop() override { m_taskManager.RequestStop(); }
    void StopThreads() override { m_taskManager.StopThreads(); }
    void SetErrorStopHandler(std::function<void()> handler) override
    {
        m_taskManager.SetErrorStopHandler(std::move(handler));
    }
    BOOL CanExtractKeywords() override { return m_taskManager.HasKeywordEngine(); }

private:
    CTaskManager m_taskManager;
};

} // namespace

std::unique_ptr<IScanTaskManager> CFetchScanBackend::CreateTaskManager(ITaskManager* pSink,
                                                                       const CConnectOptions& options)
{
    return std::make_unique<CScanTaskManager>(pSink, options);
}
