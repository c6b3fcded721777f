// The client-side image a native window's pixels are pushed to the server from: in shared
// memory (MIT-SHM) when the server offers it and can attach the segment (a local display), in
// ordinary memory with XPutImage otherwise.
#pragma once

#include "platform/backends/x11/X11Headers.h"

#include <X11/extensions/XShm.h>

#include <cstdint>

class X11Image {
public:
    enum class Transport { SharedMemory, Plain };

    // An image of the given size for the visual; the shared transport is tried first when
    // asked for, and the plain one is used when it fails.
    X11Image(Display* display, Visual* visual, int depth, int width, int height, Transport wanted);
    ~X11Image();
    X11Image(const X11Image&) = delete;
    X11Image& operator=(const X11Image&) = delete;

    bool IsValid() const { return m_image != nullptr; }
    bool IsShared() const { return m_shared; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // Copies a rectangle of 0x00RRGGBB pixels (a cairo RGB24 surface's rows) into the image at
    // the same place, XOR-combined with the overlay's pixels when overlay is not null. Waits
    // first until the server has read the previous push, so that it never sees half a frame.
    void CopyFrom(const uint8_t* src, int srcStride, const uint8_t* overlay, int overlayStride, int x, int y,
                  int width, int height);
    // Pushes a rectangle of the image to the same place of a drawable.
    void Put(Drawable drawable, GC gc, int x, int y, int width, int height);
    // Waits until the server has read every push (a round trip when one is outstanding).
    void WaitForServer();

private:
    bool CreateShared(Visual* visual, int depth);
    bool CreatePlain(Visual* visual, int depth);

    Display* m_display;
    int m_width;
    int m_height;
    XImage* m_image = nullptr;
    XShmSegmentInfo m_segment{};
    bool m_shared = false;
    bool m_inFlight = false;
    bool m_direct = false;   // the image's pixels are 32-bit 0x00RRGGBB in this machine's order
    int m_shift[3]{16, 8, 0};
};
