// The device context: a painter over a pixel target (a memory bitmap or a cairo image surface)
// with the state the drawing calls read, a SaveDC/RestoreDC stack and the clip.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/detail/GdiObjects.h"
#include "platform/win/detail/PrinterDevice.h"
#include "platform/win/detail/RasterOps.h"
#include "platform/win/detail/Region.h"

#include <cairo.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Everything SaveDC saves.
struct DcState {
    std::shared_ptr<PenObject> pen;
    std::shared_ptr<BrushObject> brush;
    std::shared_ptr<FontObject> font;
    std::shared_ptr<BitmapObject> bitmap;
    // The selected palette; null means the stock default palette.
    std::shared_ptr<PaletteObject> palette;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    UINT textAlign = TA_LEFT | TA_TOP;
    int charExtra = 0;
    POINT brushOrg{0, 0};
    int stretchMode = BLACKONWHITE;
    int polyFillMode = ALTERNATE;
    int mapMode = MM_TEXT;
    POINT windowOrg{0, 0};
    POINT viewportOrg{0, 0};
    SIZE windowExt{1, 1};
    SIZE viewportExt{1, 1};
    POINT currentPos{0, 0};
    COLORREF dcBrushColor = RGB(255, 255, 255);
    COLORREF dcPenColor = RGB(0, 0, 0);
    // The clip the application selected, in device coordinates.
    bool hasClip = false;
    Region clip;
};

// One drawing call seen by a recording device context.
struct RecordedCall {
    std::string name;
    std::vector<long long> args;
    std::string text;
};

class DeviceContext {
public:
    enum class Kind { Memory, Surface, Recording };

    explicit DeviceContext(Kind kind);
    ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    HDC Handle() { return reinterpret_cast<HDC>(this); }
    Kind GetKind() const { return m_kind; }
    bool IsMemory() const { return m_kind != Kind::Surface; }

    DcState& State() { return m_state; }
    const DcState& State() const { return m_state; }

    // The pixels being drawn on, in device coordinates.
    PixelTarget Target();
    // The pixels to read from: what a printed page shows, otherwise the same as Target().
    PixelTarget ReadTarget();
    // The effective clip in device coordinates: the system clip, the application clip and
    // the target's bounds together.
    const Region& Clip();
    void InvalidateClip() { m_clipDirty = true; }

    // Selects a drawing object, keeping the selection counts right; returns the previous one.
    std::shared_ptr<GdiObject> Select(const std::shared_ptr<GdiObject>& object);
    int Save();
    bool Restore(int saved);

    // Logical to device conversion.
    bool IsIdentityMapping() const { return m_state.mapMode == MM_TEXT; }
    POINT ToDevice(int x, int y) const;
    POINT ToLogical(int x, int y) const;
    RECT ToDevice(const RECT& r) const;
    // A logical length along x (or y) in device pixels, magnitude only.
    int WidthToDevice(int w) const;
    int HeightToDevice(int h) const;
    void FixIsotropic();

    // Surface devices: the surface, where device (0, 0) lies on it, and the system clip
    // (device coordinates).
    cairo_surface_t* m_surface = nullptr;
    POINT m_origin{0, 0};
    bool m_hasSystemClip = false;
    Region m_systemClip;
    std::function<void(HDC)> m_releaseHook;

    // Dots per inch, which the fixed mapping modes measure by: the screen's 96, or a printer's.
    int m_dpiX = 96;
    int m_dpiY = 96;
    // Printer devices (surface devices whose surface is the page being drawn, absent between
    // pages).
    std::unique_ptr<PrinterDevice> m_printer;

    // Recording devices.
    std::vector<RecordedCall> m_calls;
    void Record(const char* name, std::initializer_list<long long> args, std::string text = std::string());

    // The pixel colours of the state's colours for this target (monochrome targets map to
    // black or white).
    uint32_t DevicePixel(COLORREF c);

private:
    void Attach(DcState& s);
    void Detach(DcState& s);

    Kind m_kind;
    DcState m_state;
    std::vector<DcState> m_saved;
    Region m_clip;
    bool m_clipDirty = true;
    PixelTarget m_lastTarget;
};

namespace GdiDCs {
// The live device context behind a handle, or null.
DeviceContext* Find(HDC dc);
HDC Add(std::unique_ptr<DeviceContext> dc);
bool Remove(HDC dc);
} // namespace GdiDCs

// OBJ_DC or OBJ_MEMDC for a device context handle, 0 otherwise.
DWORD GdiDeviceContextType(HGDIOBJ handle);
// MulDiv with rounding half away from zero, on 64 bits.
int GdiMulDiv(long long a, long long b, long long c);
