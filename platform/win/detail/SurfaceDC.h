// Entry points that make device contexts over surfaces the window layer owns, and the
// recording device context used by tests.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/detail/Region.h"

#include <cairo.h>

#include <functional>
#include <string>
#include <vector>

struct RecordedCall;

// Makes a device context that draws on an image surface (CAIRO_FORMAT_RGB24 or ARGB32; on
// ARGB32 every pixel drawn is made opaque). Device point (0, 0) is the surface pixel at
// origin; clip is the visible part in device coordinates (what a window may draw on: its
// client or window area less covered children and siblings). Drawing never leaves the
// surface's bounds, whatever the clip. The device context holds a reference on the surface.
// The device context writes the surface's pixels directly: it flushes the surface when made
// and marks it dirty when released and on GdiFlush, so cairo users of the same surface see
// the drawing after either.
HDC CreateSurfaceDC(cairo_surface_t* surface, POINT origin, const Region& clip);
// Changes the visible part of a surface device context (device coordinates).
BOOL SetSurfaceDCClip(HDC dc, const Region& clip);
// The surface and origin of a surface device context, or null.
cairo_surface_t* GetSurfaceDCSurface(HDC dc, POINT* origin);
// Called once, just before the device context is deleted by ReleaseSurfaceDC or DeleteDC, so
// that the window layer can forget it.
BOOL SetSurfaceDCReleaseHook(HDC dc, std::function<void(HDC)> hook);
// Marks the surface dirty and deletes the device context (the hook runs first).
BOOL ReleaseSurfaceDC(HDC dc);

// The screen the device capabilities describe (default 1920 x 1080 at 96 dpi); the backend
// sets it from the display it opens.
void SetScreenDeviceSize(int width, int height);

// A device context that records every drawing call (name, integer arguments, text) and also
// draws into a 32-bit memory bitmap of the given size, so that pixels can be read back.
HDC CreateRecordingDC(int width, int height);
// The calls recorded so far, or null for another kind of device context.
const std::vector<RecordedCall>* GetRecordedCalls(HDC dc);
void ClearRecordedCalls(HDC dc);
