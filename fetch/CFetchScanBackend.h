// CFetchScanBackend: the fetch engine as the scan engine's backend. The application installs
// one in the scan engine at start-up (CParserEngine::SetScanBackend).
#pragma once

#include "engine/project/IScanBackend.h"

class CFetchScanBackend : public IScanBackend {
public:
    CFetchScanBackend() = default;
    ~CFetchScanBackend() override = default;
    CFetchScanBackend(const CFetchScanBackend&) = delete;
    CFetchScanBackend& operator=(const CFetchScanBackend&) = delete;

    // A task manager without a log stream, keeping the word 0.
    std::unique_ptr<IScanTaskManager> CreateTaskManager(ITaskManager* pSink, const CConnectOptions& options) override;
};
