// Lines for the Output Area pane, sent from worker threads as atoms of the process's table.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

// Makes the line "%s : %s" of the upper-cased source and the message (the message alone when
// the source is empty), puts it in the atom table and posts its atom with kMsgOutputAddLine.
// A line the table refuses (over 255 characters) is not shown; an atom whose post fails is
// deleted again. No pane (null) shows nothing. TRUE when posted. Callable from any thread.
BOOL PostOutputAreaLine(HWND hPane, const CString& strSource, const CString& strMessage);

// The text of the line PostOutputAreaLine makes.
CString FormatOutputAreaLine(const CString& strSource, const CString& strMessage);
