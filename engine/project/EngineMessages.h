// The private messages that the engine's worker threads post to the application's windows.
// Workers never touch windows: they post these, and text travels as atoms (OutputAreaLine.h).
#pragma once

#include "platform/core/Types.h"

// To the main frame.
inline constexpr UINT kMsgFileScanned = 0x402;      // lParam: the page
inline constexpr UINT kMsgScanFinished = 0x403;
inline constexpr UINT kMsgShowSetting = 0x405;      // wParam: event to set, lParam: the setting
inline constexpr UINT kMsgScanPageProgress = 0x412; // a large page on its way; lParam: the page;
                                                    // wParam: how far its reading came, in
                                                    // thousandths of the page

// To the enumeration progress dialog.
inline constexpr UINT kMsgEnumFinished = 0x406;     // not sent after a stop
inline constexpr UINT kMsgEnumPageFound = 0x407;    // lParam: the page node
inline constexpr UINT kMsgEnumStopped = 0x408;      // the enumeration thread has ended
inline constexpr UINT kMsgEnumFailed = 0x40d;       // in place of kMsgEnumFinished: the walk failed
                                                    // or missed folders, so the tree is incomplete;
                                                    // CParserEngine::GetEnumerationFailure says why

// To the save progress dialog.
inline constexpr UINT kMsgSavePageBegin = 0x409;    // lParam: the page
inline constexpr UINT kMsgSaveFinished = 0x40a;     // not sent after a stop
inline constexpr UINT kMsgSaveStopped = 0x40b;      // the save thread has ended
inline constexpr UINT kMsgSavePageDone = 0x410;     // lParam: the page; wParam: one of
inline constexpr WPARAM kSavedWritten = 0;          // the page was written
inline constexpr WPARAM kSavedUnchanged = 1;        // its edits changed none of its bytes: nothing
                                                    // was written
inline constexpr UINT kMsgSavePageProgress = 0x411; // a large page on its way; lParam: the page;
                                                    // wParam: how far the save came, in
                                                    // thousandths of a page (the pages before it
                                                    // and its own part)

// To the Output Area pane.
inline constexpr UINT kMsgOutputAddLine = 0x40c;    // wParam: an atom the receiver reads and deletes;
                                                    // lParam: the poster's key, with
inline constexpr LPARAM kOutputLineContinues = 1;   // set: the poster's next piece goes on this line
inline constexpr UINT kMsgOutputClear = 0x40e;
