// The floor of a scan through the main frame: a message window that counts the scanned pages,
// answers the column hand-shake and ends the scan as the frame does, but draws nothing.
#pragma once

#include "engine/project/CVostrelAppModel.h"
#include "engine/project/EngineMessages.h"
#include "engine/project/IScanHost.h"
#include "platform/core/AtomTable.h"
#include "platform/core/SyncApi.h"
#include "platform/core/WindowHandle.h"

#include <cstddef>

struct CountingHost : IScanHost {
    HWND hWnd = nullptr;
    size_t nScanned = 0;
    bool bEnded = false;
    HWND GetMainWindow() override { return hWnd; }
};

inline LRESULT CALLBACK CountingProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM)
{
    auto* pHost = static_cast<CountingHost*>(GetMessageWindowData(hWnd));
    if (pHost == nullptr)
        return 0;
    if (message == kMsgFileScanned) {
        ++pHost->nScanned;
    } else if (message == kMsgShowSetting) {
        ::SetEvent(reinterpret_cast<HANDLE>(wParam));
    } else if (message == kMsgScanFinished) {
        GetAppModel().SetRunState(CVostrelAppModel::runIdle);
        pHost->bEnded = true;
    } else if (message == kMsgOutputAddLine) {
        DeleteAtom(static_cast<ATOM>(wParam));
    }
    return 0;
}
