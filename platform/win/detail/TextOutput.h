// Text helpers shared by the text calls and DrawText: the device's realised font, extents and
// one run of text drawn at a device position.
#pragma once

#include "platform/win/detail/DeviceContext.h"
#include "platform/win/detail/TextLayout.h"

#include <memory>
#include <string_view>

// The font selected in the device, realised at the device's scale.
std::shared_ptr<RealizedFont> DeviceFont(DeviceContext& dc);
// Width in device pixels of a string with the device's character extra.
int DeviceTextWidth(DeviceContext& dc, RealizedFont& font, std::string_view text);
// Device pixels to logical units, along x or y.
int LogicalWidth(DeviceContext& dc, int deviceWidth);
int LogicalHeight(DeviceContext& dc, int deviceHeight);
// Draws one line of text with its top-left at a device position, in the text colour, with the
// background box in opaque mode, clipped by clip; underlines the character at index
// underlineChar (a character index, or -1). Returns the width drawn.
int DrawTextRun(DeviceContext& dc, RealizedFont& font, std::string_view text, int x, int top, const Region& clip,
                int underlineChar);
