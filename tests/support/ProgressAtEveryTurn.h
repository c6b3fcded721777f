// While it lives, a long operation of the grid shows its progress from its start and at every
// turn, so that a test on a machine of any speed sees it and its ESC is heard at once.
#pragma once

#include "grid/data/CGXLongOperation.h"

struct ProgressAtEveryTurn {
    CGXLongOperationState& state = GXGetLongOperationState();
    const DWORD nFirstWait = state.m_nFirstWait;
    const DWORD nUpdateInterval = state.m_nUpdateInterval;
    ProgressAtEveryTurn() { state.m_nFirstWait = state.m_nUpdateInterval = 0; }
    ~ProgressAtEveryTurn()
    {
        state.m_nFirstWait = nFirstWait;
        state.m_nUpdateInterval = nUpdateInterval;
    }
    ProgressAtEveryTurn(const ProgressAtEveryTurn&) = delete;
    ProgressAtEveryTurn& operator=(const ProgressAtEveryTurn&) = delete;
};
