// While they live, the grid's long operations keep another pace: ProgressAtEveryTurn shows
// their progress from their start and at every turn, so that a test on a machine of any speed
// sees it and its ESC is heard at once; ProgressOnlyOnEsc shows nothing of their own however
// long they run, until the user presses ESC, so that what the status bar says is what the
// program said when the work began.
#pragma once

#include "grid/data/CGXLongOperation.h"

class LongOperationPace {
public:
    LongOperationPace(DWORD nFirstWait, DWORD nUpdateInterval)
    {
        state.m_nFirstWait = nFirstWait;
        state.m_nUpdateInterval = nUpdateInterval;
    }
    ~LongOperationPace()
    {
        state.m_nFirstWait = nOldFirstWait;
        state.m_nUpdateInterval = nOldUpdateInterval;
    }
    LongOperationPace(const LongOperationPace&) = delete;
    LongOperationPace& operator=(const LongOperationPace&) = delete;

private:
    CGXLongOperationState& state = GXGetLongOperationState();
    const DWORD nOldFirstWait = state.m_nFirstWait;
    const DWORD nOldUpdateInterval = state.m_nUpdateInterval;
};

struct ProgressAtEveryTurn : LongOperationPace {
    ProgressAtEveryTurn() : LongOperationPace(0, 0) {}
};

struct ProgressOnlyOnEsc : LongOperationPace {
    ProgressOnlyOnEsc() : LongOperationPace(0x7FFFFFFF, GXGetLongOperationState().m_nUpdateInterval) {}
};
