// IScanBackend: how the scan engine makes and drives a fetch engine without knowing its
// classes. The fetch engine's folder implements it, and the application installs that
// implementation in the scan engine at start-up; tests install fakes.
#pragma once

#include "platform/core/Types.h"

#include <functional>
#include <memory>

class CConnectOptions;
class CScanOptions;
class CUrlString;
class ITaskManager;

// One fetch engine: made for a scan, given its URLs, started, stopped and deleted.
class IScanTaskManager {
public:
    virtual ~IScanTaskManager() = default;

    // Replaces the scan options by a copy. Before StartThreads only.
    virtual void SetScanOptions(const CScanOptions& options) = 0;
    // 1 when the internet session is open, 0 when it could not be made.
    virtual BOOL OpenInternetSession() = 0;
    // Queues a URL under the page id; false when it does not parse (the page is then reported
    // done through the sink before this returns).
    virtual bool QueueUrl(DWORD_PTR dwPage, LPCTSTR lpszUrl, int nLinkKind, BOOL bFetch) = 0;
    // The same with the URL parsed already (the scan parses thousands on several threads).
    virtual bool QueueParsedUrl(DWORD_PTR dwPage, const CUrlString& url, int nLinkKind, BOOL bFetch);
    // Starts the worker threads. One of them may stop the engine on an error before this
    // returns.
    virtual void StartThreads() = 0;
    // Sets the stop event. Callable from any thread.
    virtual void RequestStop() = 0;
    // After RequestStop: waits for the worker threads to end (bounded). Called by one thread
    // that is not a worker.
    virtual void StopThreads() = 0;
    // The function the engine calls once, on one of its worker threads, when it has stopped on
    // its own because of an error (not at its owner's request): the pages still queued will
    // never be reported done. The function must not wait for the engine's threads. Before
    // StartThreads only.
    virtual void SetErrorStopHandler(std::function<void()> handler) = 0;
    // FALSE when its keyword engine could not be made: its pages then get no suggested
    // keywords.
    virtual BOOL CanExtractKeywords() { return TRUE; }
};

class IScanBackend {
public:
    virtual ~IScanBackend() = default;

    // A new fetch engine that reports to the sink, with a copy of the connection options; null
    // when none can be made.
    virtual std::unique_ptr<IScanTaskManager> CreateTaskManager(ITaskManager* pSink, const CConnectOptions& options) = 0;
};
