// The application's own private window messages, beside those the engine posts
// (engine/project/EngineMessages.h).
#pragma once

#include "platform/win/WinUser.h"

// To the main frame: a program started for the user (a browser, an editor) has failed; the
// texts wait in the frame's CPostedFailures.
inline constexpr UINT kMsgProgramFailed = WM_APP + 0x20;
