// The GDI records of the packed style parts: the LOGFONT of a CGXFont, the LOGPEN of a CGXPen
// and the LOGBRUSH of a CGXBrush, with system colours resolved through the colour cache.
#pragma once

#include "grid/core/CGXSysColorCache.h"
#include "grid/data/CGXBrush.h"
#include "grid/data/CGXFont.h"
#include "grid/data/CGXPen.h"
#include "platform/win/GdiTypes.h"

// The font at a zoom percentage for a device of nLogPixelsY dots per inch: the height is the
// point size scaled (negative: a character height); unset attributes stay at GDI's defaults.
LOGFONT GXGetLogFont(const CGXFont& font, int nZoomPercent = 100, int nLogPixelsY = 96);
// An unset pen draws nothing (PS_NULL).
LOGPEN GXGetLogPen(const CGXPen& pen, const CGXSysColorCache& colors);
// Pattern brushes carry their pattern index in lbHatch; the drawing layer makes the bitmap.
LOGBRUSH GXGetLogBrush(const CGXBrush& brush, const CGXSysColorCache& colors);
