// The application's own private window messages, beside those the engine posts
// (engine/project/EngineMessages.h).
#pragma once

#include "platform/win/WinUser.h"

// To the main frame: a program started for the user (a browser, an editor) has failed; the
// texts wait in the frame's CPostedFailures.
inline constexpr UINT kMsgProgramFailed = WM_APP + 0x20;
// To the main frame: Project Settings' OK changed the file extensions, so the project's pages
// are found again. Posted, because the dialog may have been run by a view that the new pages
// replace.
inline constexpr UINT kMsgExtensionsChanged = WM_APP + 0x21;
// To the main frame, posted when a project has closed (wParam TRUE) or a scan has ended (FALSE):
// the memory freed goes back to the system once what was left in the queue (the Output Area's
// clearing, the scan's last words) is done.
inline constexpr UINT kMsgGiveBackMemory = WM_APP + 0x22;
// To the project's grid, posted by the first edit a page refused in a command: the refusals
// of the whole command are told together once it is over.
inline constexpr UINT kMsgTellRefusedEdits = WM_APP + 0x28;
