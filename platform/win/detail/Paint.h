// Helpers the drawing calls share: turning the selected brush and pen into what the pixel
// layer paints, for one device context.
#pragma once

#include "platform/win/detail/DeviceContext.h"
#include "platform/win/detail/RasterOps.h"

// What the brush paints on this device: colours of monochrome patterns come from the text
// (0 bits) and background (1 bits) colours, hatch backgrounds from the background colour or
// nothing in transparent mode, all aligned to the brush origin.
FillPaint ResolveBrush(DeviceContext& dc, const BrushObject* brush);
// A solid paint of one colour.
FillPaint SolidPaint(DeviceContext& dc, COLORREF color);
// The pen's colour on this device.
uint32_t PenPixel(DeviceContext& dc, const PenObject& pen);
// The 8 x 8 bits of a hatch style, row by row, bit 7 being the left-most pixel.
const uint8_t* HatchBits(int hatch);

// The check applied on entry to each drawing call.
#define GDI_DC_OR(hdc, result)                 \
    DeviceContext* dc = GdiDCs::Find(hdc);     \
    if (!dc) {                                 \
        return result;                         \
    }
