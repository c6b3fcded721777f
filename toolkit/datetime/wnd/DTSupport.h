// Small services the calendar, date-time, calculator and currency widgets share: the wall clock
// (with a fixed "today" for tests), dates normalised to noon, the widgets' colours and bitmaps
// whose greys follow the current button colours.
#pragma once

#include "platform/core/COleDateTime.h"
#include "platform/core/Types.h"

class CBitmap;

// Now, or the fixed time a test set.
COleDateTime DTGetCurrentTime();
// Fixes "now" for the wall-clock users above; null returns to the real clock.
void DTSetCurrentTimeForTesting(const COleDateTime* pNow);

// The same day at 12:00:00; an invalid or null date is returned unchanged.
COleDateTime DTNoon(const COleDateTime& date);
// A valid date inside the controls' range.
BOOL DTIsInRange(const COleDateTime& date);
// Days of a month (year 100..9999), 0 for a month that does not exist.
int DTDaysInMonth(int nYear, int nMonth);

// The toolkit's shared system colours (window colours, button colours, highlight) as its shared
// data keeps them, and the system's for the others; the toolkit widgets paint with these.
COLORREF SECGetSharedColor(int nSysColorIndex);
void SECRefreshSharedColors();

// Loads a bitmap resource with black, dark grey, light grey and white replaced by the current
// button text, shadow, face and highlight colours. FALSE when the resource cannot be loaded.
BOOL DTLoadSysColorBitmap(CBitmap& bitmap, UINT nIDResource);
