// IScanHost: what the scan engine needs of the application's windows. The application
// implements it; tests implement it with a message-only window.
#pragma once

#include "platform/core/Types.h"

class CSelNodesCol;

class IScanHost {
public:
    virtual ~IScanHost() = default;

    // The main frame, which receives the scan's messages (EngineMessages.h).
    virtual HWND GetMainWindow() = 0;
    // The Output Area pane, where the scan reports a failure that concerns the whole scan
    // rather than one page; null when there is none (nothing is then shown).
    virtual HWND GetOutputPane() { return nullptr; }
};
