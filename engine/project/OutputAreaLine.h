// Lines for the Output Area pane, sent from worker threads as atoms of the process's table.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

#include <string>

// Makes the line "%s : %s" of the upper-cased source and the message (the message alone when
// the source is empty), puts it in the atom table and posts its atom with kMsgOutputAddLine.
// An atom holds at most 255 bytes, so a longer line travels as several atoms, cut between
// characters, each but the last posted with lParam kOutputLineContinues; the pieces of one line
// are posted together, never mixed with another thread's line. An atom whose post fails is
// deleted again. No pane (null) shows nothing. TRUE when posted. Callable from any thread.
BOOL PostOutputAreaLine(HWND hPane, const CString& strSource, const CString& strMessage);

// The text of the line PostOutputAreaLine makes.
CString FormatOutputAreaLine(const CString& strSource, const CString& strMessage);

// For the receiver of kMsgOutputAddLine: reads and deletes the atom and adds its text to
// strPending. TRUE when the line is complete (strPending then holds it; the caller empties it
// after use), FALSE when more pieces follow.
BOOL ReadOutputAreaLinePiece(WPARAM wParam, LPARAM lParam, std::string& strPending);
