// Lines for the Output Area pane, sent from worker threads as atoms of the process's table.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

#include <map>
#include <string>

// Makes the line "%s : %s" of the upper-cased source and the message (the message alone when
// the source is empty), puts it in the atom table and posts its atom with kMsgOutputAddLine.
// An atom holds at most 255 bytes, so a longer line travels as several atoms, cut between
// characters, each but the last marked kOutputLineContinues; every piece carries its poster's
// key (the thread), so that lines of several threads never mix. A worker waits while the
// pane's queue is full rather than lose the line. An atom whose post fails is deleted again. No
// pane (null) shows nothing. TRUE when posted. Callable from any thread.
BOOL PostOutputAreaLine(HWND hPane, const CString& strSource, const CString& strMessage);

// The text of the line PostOutputAreaLine makes.
CString FormatOutputAreaLine(const CString& strSource, const CString& strMessage);

// The receiver's pieces of lines not yet complete, by poster.
using OutputAreaPieces = std::map<LPARAM, std::string>;

// For the receiver of kMsgOutputAddLine: reads and deletes the atom and adds its text to its
// poster's pending pieces. TRUE when that line is complete: strLine then holds it.
BOOL ReadOutputAreaLinePiece(WPARAM wParam, LPARAM lParam, OutputAreaPieces& pending, std::string& strLine);
