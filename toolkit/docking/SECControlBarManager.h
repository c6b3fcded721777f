// SECControlBarManager: what a frame's bar manager answers for the saved docking layout: a type
// id for each bar, bars it can make again from their saved records, and the extension objects
// that carry a bar's extra saved state. This base knows no bars; the toolbar manager derives
// from it.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/Types.h"

class CControlBar;
class CFrameWnd;
class SECControlBarInfo;
class SECControlBarInfoEx;

class SECControlBarManager : public CObject {
    DECLARE_DYNAMIC(SECControlBarManager)
public:
    SECControlBarManager() = default;
    ~SECControlBarManager() override = default;

    // The bar's type id in saved layouts; 0 for a bar the manager does not know.
    virtual DWORD GetBarTypeID(CControlBar* pBar);
    // A bar made again from its saved record; null when the manager does not make such bars.
    virtual CControlBar* DynCreateControlBar(SECControlBarInfo* pInfo, CFrameWnd* pFrameWnd);
    // The extension object of a bar's saved record (owned by the record); null for none.
    virtual SECControlBarInfoEx* CreateControlBarInfoEx(SECControlBarInfo* pInfo);
    // While the user customises the bars the frame refuses clicks on its own area.
    virtual BOOL IsCustomizing() const { return FALSE; }
};
