// Loads a bitmap resource with its standard greys, black and white replaced by the current
// button colours, so that toolbar images follow the user's colour scheme.
#pragma once

#include "platform/core/Types.h"

class CBitmap;

// Fills bitmap (which must be empty) from the BITMAP resource lpszResourceName of the first
// module that has it. The resource may be a PNG image or a packed device-independent bitmap;
// black, dark grey 0x808080, light grey 0xC0C0C0 and white become COLOR_BTNTEXT, COLOR_BTNSHADOW,
// COLOR_BTNFACE and COLOR_BTNHIGHLIGHT. FALSE, with bitmap left empty, when the resource is
// missing or its data is not a readable image.
BOOL SECLoadSysColorBitmap(CBitmap& bitmap, LPCSTR lpszResourceName);
