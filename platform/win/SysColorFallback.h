// The classic light palette the edge and frame drawing reads its colours from.
#pragma once

#include "platform/core/Types.h"

// FIXME: the window layer owns the system colours (GetSysColor); drawing reads this private
// copy of the classic palette until that is linked in everywhere the drawing code is.
COLORREF GdiSysColor(int index);
