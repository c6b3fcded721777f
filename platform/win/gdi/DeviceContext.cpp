// Device context state, selection, the save/restore stack, mapping modes and clipping.
#include "platform/win/detail/DeviceContext.h"

#include "platform/win/Gdi.h"
#include "platform/win/detail/SurfaceDC.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <unordered_map>

namespace {

std::mutex g_dcLock;

std::unordered_map<HDC, std::unique_ptr<DeviceContext>>& DcTable()
{
    static auto* table = new std::unordered_map<HDC, std::unique_ptr<DeviceContext>>();
    return *table;
}

int g_screenWidth = 1920;
int g_screenHeight = 1080;

// "Everything": the application clip when none is selected.
const RECT kHuge{-(1 << 27), -(1 << 27), 1 << 27, 1 << 27};

// The 1 x 1 monochrome bitmap a new memory device context starts with.
std::shared_ptr<BitmapObject> DefaultBitmap()
{
    static std::shared_ptr<BitmapObject> bitmap = [] {
        auto b = std::make_shared<BitmapObject>();
        b->Allocate(1, 1, 1);
        b->m_stock = true;
        GdiHandles::Add(b);
        return b;
    }();
    return bitmap;
}

void InitDefaults(DcState& s)
{
    s.pen = GdiHandles::FindAs<PenObject>(GetStockObject(BLACK_PEN), OBJ_PEN);
    s.brush = GdiHandles::FindAs<BrushObject>(GetStockObject(WHITE_BRUSH), OBJ_BRUSH);
    s.font = GdiHandles::FindAs<FontObject>(GetStockObject(SYSTEM_FONT), OBJ_FONT);
}

DeviceContext* DC(HDC h)
{
    return GdiDCs::Find(h);
}

} // namespace

int GdiMulDiv(long long a, long long b, long long c)
{
    if (c == 0) {
        return -1;
    }
    long long n = a * b;
    bool negative = (n < 0) != (c < 0);
    long long an = n < 0 ? -n : n;
    long long ac = c < 0 ? -c : c;
    long long q = (an + ac / 2) / ac;
    return static_cast<int>(negative ? -q : q);
}

// ---- DeviceContext ----

DeviceContext::DeviceContext(Kind kind) : m_kind(kind)
{
    InitDefaults(m_state);
    if (kind != Kind::Surface) {
        m_state.bitmap = DefaultBitmap();
    }
    Attach(m_state);
}

DeviceContext::~DeviceContext()
{
    Detach(m_state);
    if (m_surface) {
        cairo_surface_mark_dirty(m_surface);
        cairo_surface_destroy(m_surface);
    }
}

void DeviceContext::Attach(DcState& s)
{
    for (GdiObject* o : {static_cast<GdiObject*>(s.pen.get()), static_cast<GdiObject*>(s.brush.get()),
                         static_cast<GdiObject*>(s.font.get()), static_cast<GdiObject*>(s.bitmap.get())}) {
        if (o) {
            ++o->m_selectCount;
        }
    }
    if (s.bitmap && !s.bitmap->m_stock) {
        s.bitmap->m_selectedIn = Handle();
    }
    m_clipDirty = true;
}

void DeviceContext::Detach(DcState& s)
{
    for (GdiObject* o : {static_cast<GdiObject*>(s.pen.get()), static_cast<GdiObject*>(s.brush.get()),
                         static_cast<GdiObject*>(s.font.get()), static_cast<GdiObject*>(s.bitmap.get())}) {
        if (o) {
            --o->m_selectCount;
        }
    }
    if (s.bitmap && s.bitmap->m_selectedIn == Handle()) {
        s.bitmap->m_selectedIn = nullptr;
    }
    if (s.bitmap) {
        s.bitmap->SyncDib();   // what was drawn reaches the caller's memory
    }
}

PixelTarget DeviceContext::Target()
{
    PixelTarget t;
    if (m_printer) {
        // A printer has a page to draw on only between StartPage and EndPage.
        return m_printer->inPage && m_printer->page ? m_printer->page->Target() : t;
    }
    if (m_kind == Kind::Surface) {
        if (!m_surface) {
            return t;
        }
        t.bits = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(m_surface));
        t.stride = cairo_image_surface_get_stride(m_surface) / 4;
        t.width = cairo_image_surface_get_width(m_surface);
        t.height = cairo_image_surface_get_height(m_surface);
        t.ox = m_origin.x;
        t.oy = m_origin.y;
        t.alphaOr = cairo_image_surface_get_format(m_surface) == CAIRO_FORMAT_ARGB32 ? 0xFF000000u : 0u;
        return t;
    }
    BitmapObject* b = m_state.bitmap.get();
    if (!b) {
        return t;
    }
    b->SyncDib();
    t.bits = b->m_origin;
    t.stride = b->m_stride;
    t.width = b->m_width;
    t.height = b->m_height;
    t.mono = b->IsMono();
    return t;
}

PixelTarget DeviceContext::ReadTarget()
{
    if (m_printer && m_printer->inPage && m_printer->page) {
        return m_printer->page->Snapshot();
    }
    return Target();
}

const Region& DeviceContext::Clip()
{
    PixelTarget t = Target();
    if (t.bits != m_lastTarget.bits || t.width != m_lastTarget.width || t.height != m_lastTarget.height ||
        t.ox != m_lastTarget.ox || t.oy != m_lastTarget.oy) {
        m_clipDirty = true;
        m_lastTarget = t;
    }
    if (m_clipDirty) {
        m_clip = t.Valid() ? Region(t.Bounds()) : Region();
        if (m_hasSystemClip) {
            m_clip = m_clip.Intersect(m_systemClip);
        }
        if (m_state.hasClip) {
            m_clip = m_clip.Intersect(m_state.clip);
        }
        m_clipDirty = false;
    }
    return m_clip;
}

std::shared_ptr<GdiObject> DeviceContext::Select(const std::shared_ptr<GdiObject>& object)
{
    std::shared_ptr<GdiObject> old;
    switch (object->Type()) {
    case OBJ_PEN:
    case OBJ_EXTPEN:
        old = m_state.pen;
        m_state.pen = std::static_pointer_cast<PenObject>(object);
        break;
    case OBJ_BRUSH:
        old = m_state.brush;
        m_state.brush = std::static_pointer_cast<BrushObject>(object);
        break;
    case OBJ_FONT:
        old = m_state.font;
        m_state.font = std::static_pointer_cast<FontObject>(object);
        break;
    case OBJ_BITMAP: {
        auto bm = std::static_pointer_cast<BitmapObject>(object);
        // Only memory devices take bitmaps, and a bitmap lives in one device at a time.
        if (m_kind == Kind::Surface || (bm->m_selectedIn && bm->m_selectedIn != Handle())) {
            return nullptr;
        }
        std::shared_ptr<BitmapObject> oldBitmap = m_state.bitmap;
        if (oldBitmap == bm) {
            return oldBitmap;
        }
        m_state.bitmap = bm;
        --oldBitmap->m_selectCount;
        if (oldBitmap->m_selectedIn == Handle()) {
            oldBitmap->m_selectedIn = nullptr;
        }
        ++bm->m_selectCount;
        if (!bm->m_stock) {
            bm->m_selectedIn = Handle();
        }
        m_clipDirty = true;
        return oldBitmap;
    }
    default:
        return nullptr;
    }
    if (old) {
        --old->m_selectCount;
    }
    ++object->m_selectCount;
    return old;
}

int DeviceContext::Save()
{
    m_saved.push_back(m_state);
    return static_cast<int>(m_saved.size());
}

bool DeviceContext::Restore(int saved)
{
    int level = saved < 0 ? static_cast<int>(m_saved.size()) + 1 + saved : saved;
    if (level < 1 || level > static_cast<int>(m_saved.size())) {
        return false;
    }
    DcState s = m_saved[static_cast<size_t>(level - 1)];
    // A bitmap saved here may have gone into another device since; keep the current one then.
    if (s.bitmap && s.bitmap != m_state.bitmap && s.bitmap->m_selectedIn && s.bitmap->m_selectedIn != Handle()) {
        s.bitmap = m_state.bitmap;
    }
    Detach(m_state);
    m_state = std::move(s);
    Attach(m_state);
    m_saved.resize(static_cast<size_t>(level - 1));
    m_clipDirty = true;
    return true;
}

POINT DeviceContext::ToDevice(int x, int y) const
{
    const DcState& s = m_state;
    if (s.mapMode == MM_TEXT) {
        return POINT{x - s.windowOrg.x + s.viewportOrg.x, y - s.windowOrg.y + s.viewportOrg.y};
    }
    return POINT{s.viewportOrg.x + GdiMulDiv(static_cast<long long>(x) - s.windowOrg.x, s.viewportExt.cx, s.windowExt.cx),
                 s.viewportOrg.y + GdiMulDiv(static_cast<long long>(y) - s.windowOrg.y, s.viewportExt.cy, s.windowExt.cy)};
}

POINT DeviceContext::ToLogical(int x, int y) const
{
    const DcState& s = m_state;
    if (s.mapMode == MM_TEXT) {
        return POINT{x - s.viewportOrg.x + s.windowOrg.x, y - s.viewportOrg.y + s.windowOrg.y};
    }
    return POINT{s.windowOrg.x + GdiMulDiv(static_cast<long long>(x) - s.viewportOrg.x, s.windowExt.cx, s.viewportExt.cx),
                 s.windowOrg.y + GdiMulDiv(static_cast<long long>(y) - s.viewportOrg.y, s.windowExt.cy, s.viewportExt.cy)};
}

RECT DeviceContext::ToDevice(const RECT& r) const
{
    POINT a = ToDevice(r.left, r.top);
    POINT b = ToDevice(r.right, r.bottom);
    return RECT{a.x, a.y, b.x, b.y};
}

int DeviceContext::WidthToDevice(int w) const
{
    if (m_state.mapMode == MM_TEXT) {
        return std::abs(w);
    }
    return std::abs(GdiMulDiv(w, m_state.viewportExt.cx, m_state.windowExt.cx));
}

int DeviceContext::HeightToDevice(int h) const
{
    if (m_state.mapMode == MM_TEXT) {
        return std::abs(h);
    }
    return std::abs(GdiMulDiv(h, m_state.viewportExt.cy, m_state.windowExt.cy));
}

void DeviceContext::FixIsotropic()
{
    DcState& s = m_state;
    if (s.mapMode != MM_ISOTROPIC || s.windowExt.cx == 0 || s.windowExt.cy == 0) {
        return;
    }
    // One logical unit must be equally long on both axes: the axis with the larger scale is
    // shrunk to the other's, keeping its sign.
    long long vx = std::llabs(s.viewportExt.cx), vy = std::llabs(s.viewportExt.cy);
    long long wx = std::llabs(s.windowExt.cx), wy = std::llabs(s.windowExt.cy);
    if (vx * wy < vy * wx) {
        int ny = GdiMulDiv(vx, wy, wx);
        s.viewportExt.cy = s.viewportExt.cy < 0 ? -ny : ny;
    } else if (vx * wy > vy * wx) {
        int nx = GdiMulDiv(vy, wx, wy);
        s.viewportExt.cx = s.viewportExt.cx < 0 ? -nx : nx;
    }
}

uint32_t DeviceContext::DevicePixel(COLORREF c)
{
    uint32_t p = ColorToPixel(c);
    if (m_kind != Kind::Surface && m_state.bitmap && m_state.bitmap->IsMono()) {
        return PixelToMono(p);
    }
    return p;
}

void DeviceContext::Record(const char* name, std::initializer_list<long long> args, std::string text)
{
    m_calls.push_back(RecordedCall{name, std::vector<long long>(args), std::move(text)});
}

// ---- Handle table ----

namespace GdiDCs {

DeviceContext* Find(HDC dc)
{
    if (!dc) {
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(g_dcLock);
    auto& t = DcTable();
    auto it = t.find(dc);
    return it == t.end() ? nullptr : it->second.get();
}

HDC Add(std::unique_ptr<DeviceContext> dc)
{
    HDC h = dc->Handle();
    std::lock_guard<std::mutex> lock(g_dcLock);
    DcTable()[h] = std::move(dc);
    return h;
}

bool Remove(HDC dc)
{
    std::unique_ptr<DeviceContext> doomed;
    {
        std::lock_guard<std::mutex> lock(g_dcLock);
        auto& t = DcTable();
        auto it = t.find(dc);
        if (it == t.end()) {
            return false;
        }
        doomed = std::move(it->second);
        t.erase(it);
    }
    return true;
}

} // namespace GdiDCs

DWORD GdiDeviceContextType(HGDIOBJ handle)
{
    DeviceContext* dc = DC(static_cast<HDC>(handle));
    if (!dc) {
        return 0;
    }
    return dc->IsMemory() ? OBJ_MEMDC : OBJ_DC;
}

// ---- Creation and deletion ----

HDC CreateCompatibleDC(HDC)
{
    return GdiDCs::Add(std::make_unique<DeviceContext>(DeviceContext::Kind::Memory));
}

HDC CreateSurfaceDC(cairo_surface_t* surface, POINT origin, const Region& clip)
{
    if (!surface || cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE) {
        return nullptr;
    }
    cairo_format_t format = cairo_image_surface_get_format(surface);
    if (format != CAIRO_FORMAT_RGB24 && format != CAIRO_FORMAT_ARGB32) {
        return nullptr;
    }
    auto dc = std::make_unique<DeviceContext>(DeviceContext::Kind::Surface);
    cairo_surface_flush(surface);
    dc->m_surface = cairo_surface_reference(surface);
    dc->m_origin = origin;
    dc->m_hasSystemClip = true;
    dc->m_systemClip = clip;
    dc->InvalidateClip();
    return GdiDCs::Add(std::move(dc));
}

BOOL SetSurfaceDCClip(HDC hdc, const Region& clip)
{
    DeviceContext* dc = DC(hdc);
    if (!dc || dc->GetKind() != DeviceContext::Kind::Surface) {
        return FALSE;
    }
    dc->m_systemClip = clip;
    dc->InvalidateClip();
    return TRUE;
}

cairo_surface_t* GetSurfaceDCSurface(HDC hdc, POINT* origin)
{
    DeviceContext* dc = DC(hdc);
    if (!dc || dc->GetKind() != DeviceContext::Kind::Surface) {
        return nullptr;
    }
    if (origin) {
        *origin = dc->m_origin;
    }
    return dc->m_surface;
}

BOOL SetSurfaceDCReleaseHook(HDC hdc, std::function<void(HDC)> hook)
{
    DeviceContext* dc = DC(hdc);
    if (!dc) {
        return FALSE;
    }
    dc->m_releaseHook = std::move(hook);
    return TRUE;
}

BOOL ReleaseSurfaceDC(HDC hdc)
{
    return DeleteDC(hdc);
}

void SetScreenDeviceSize(int width, int height)
{
    if (width > 0 && height > 0) {
        g_screenWidth = width;
        g_screenHeight = height;
    }
}

HDC CreateRecordingDC(int width, int height)
{
    auto dc = std::make_unique<DeviceContext>(DeviceContext::Kind::Recording);
    auto bm = std::make_shared<BitmapObject>();
    bm->Allocate(std::max(width, 1), std::max(height, 1), 32);
    GdiHandles::Add(bm);
    dc->Select(bm);
    // The device owns its bitmap: nobody else can delete it while it is selected.
    return GdiDCs::Add(std::move(dc));
}

const std::vector<RecordedCall>* GetRecordedCalls(HDC hdc)
{
    DeviceContext* dc = DC(hdc);
    if (!dc || dc->GetKind() != DeviceContext::Kind::Recording) {
        return nullptr;
    }
    return &dc->m_calls;
}

void ClearRecordedCalls(HDC hdc)
{
    DeviceContext* dc = DC(hdc);
    if (dc) {
        dc->m_calls.clear();
    }
}

BOOL DeleteDC(HDC hdc)
{
    DeviceContext* dc = DC(hdc);
    if (!dc) {
        return FALSE;
    }
    if (dc->m_releaseHook) {
        auto hook = std::move(dc->m_releaseHook);
        dc->m_releaseHook = nullptr;
        hook(hdc);
    }
    std::shared_ptr<BitmapObject> own;
    if (dc->GetKind() == DeviceContext::Kind::Recording) {
        own = dc->State().bitmap;
    }
    GdiDCs::Remove(hdc);
    if (own) {
        GdiHandles::Remove(own->Handle());
    }
    return TRUE;
}

BOOL GdiFlush()
{
    std::lock_guard<std::mutex> lock(g_dcLock);
    for (auto& [h, dc] : DcTable()) {
        if (dc->m_surface) {
            cairo_surface_mark_dirty(dc->m_surface);
        }
        if (BitmapObject* b = dc->State().bitmap.get()) {
            b->SyncDib();
        }
    }
    return TRUE;
}

// ---- Selection ----

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object)
{
    DeviceContext* dc = DC(hdc);
    auto o = GdiHandles::Find(object);
    if (!dc || !o) {
        return nullptr;
    }
    if (o->Type() == OBJ_REGION) {
        int kind = SelectClipRgn(hdc, static_cast<HRGN>(object));
        return reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(kind == ERROR ? -1 : kind));
    }
    if (dc->GetKind() == DeviceContext::Kind::Recording) {
        dc->Record("SelectObject", {static_cast<long long>(o->Type())});
    }
    auto old = dc->Select(o);
    return old ? old->Handle() : nullptr;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type)
{
    DeviceContext* dc = DC(hdc);
    if (!dc) {
        return nullptr;
    }
    const DcState& s = dc->State();
    switch (type) {
    case OBJ_PEN:
    case OBJ_EXTPEN: return s.pen ? s.pen->Handle() : nullptr;
    case OBJ_BRUSH: return s.brush ? s.brush->Handle() : nullptr;
    case OBJ_FONT: return s.font ? s.font->Handle() : nullptr;
    case OBJ_BITMAP: return s.bitmap ? s.bitmap->Handle() : nullptr;
    default: return nullptr;
    }
}

int SaveDC(HDC hdc)
{
    DeviceContext* dc = DC(hdc);
    return dc ? dc->Save() : 0;
}

BOOL RestoreDC(HDC hdc, int saved)
{
    DeviceContext* dc = DC(hdc);
    return dc && dc->Restore(saved) ? TRUE : FALSE;
}

// ---- Simple state ----

#define DC_SETTER(Type, Name, field, invalid)          \
    Type Set##Name(HDC hdc, Type value)                \
    {                                                  \
        DeviceContext* dc = DC(hdc);                   \
        if (!dc) {                                     \
            return invalid;                            \
        }                                              \
        Type old = dc->State().field;                  \
        dc->State().field = value;                     \
        return old;                                    \
    }                                                  \
    Type Get##Name(HDC hdc)                            \
    {                                                  \
        DeviceContext* dc = DC(hdc);                   \
        return dc ? dc->State().field : invalid;       \
    }

DC_SETTER(COLORREF, TextColor, textColor, CLR_INVALID)
DC_SETTER(COLORREF, BkColor, bkColor, CLR_INVALID)
DC_SETTER(UINT, TextAlign, textAlign, GDI_ERROR)
DC_SETTER(int, TextCharacterExtra, charExtra, static_cast<int>(0x80000000u))
DC_SETTER(COLORREF, DCBrushColor, dcBrushColor, CLR_INVALID)
DC_SETTER(COLORREF, DCPenColor, dcPenColor, CLR_INVALID)
#undef DC_SETTER

int SetBkMode(HDC hdc, int mode)
{
    DeviceContext* dc = DC(hdc);
    if (!dc || (mode != OPAQUE && mode != TRANSPARENT)) {
        return 0;
    }
    int old = dc->State().bkMode;
    dc->State().bkMode = mode;
    return old;
}

int GetBkMode(HDC hdc)
{
    DeviceContext* dc = DC(hdc);
    return dc ? dc->State().bkMode : 0;
}

int SetROP2(HDC hdc, int rop)
{
    DeviceContext* dc = DC(hdc);
    if (!dc || rop < R2_BLACK || rop > R2_WHITE) {
        return 0;
    }
    int old = dc->State().rop2;
    dc->State().rop2 = rop;
    return old;
}

int GetROP2(HDC hdc)
{
    DeviceContext* dc = DC(hdc);
    return dc ? dc->State().rop2 : 0;
}

BOOL SetBrushOrgEx(HDC hdc, int x, int y, POINT* old)
{
    DeviceContext* dc = DC(hdc);
    if (!dc) {
        return FALSE;
    }
    if (old) {
        *old = dc->State().brushOrg;
    }
    dc->State().brushOrg = POINT{x, y};
    return TRUE;
}

BOOL GetBrushOrgEx(HDC hdc, POINT* org)
{
    DeviceContext* dc = DC(hdc);
    if (!dc || !org) {
        return FALSE;
    }
    *org = dc->State().brushOrg;
    return TRUE;
}

int SetStretchBltMode(HDC hdc, int mode)
{
    DeviceContext* dc = DC(hdc);
    if (!dc || mode < BLACKONWHITE || mode > HALFTONE) {
        return 0;
    }
    int old = dc->State().stretchMode;
    dc->State().stretchMode = mode;
    return old;
}

int GetStretchBltMode(HDC hdc)
{
    DeviceContext* dc = DC(hdc);
    return dc ? dc->State().stretchMode : 0;
}

int SetPolyFillMode(HDC hdc, int mode)
{
    DeviceContext* dc = DC(hdc);
    if (!dc || (mode != ALTERNATE && mode != WINDING)) {
        return 0;
    }
    int old = dc->State().polyFillMode;
    dc->State().polyFillMode = mode;
    return old;
}

int GetPolyFillMode(HDC hdc)
{
    DeviceContext* dc = DC(hdc);
    return dc ? dc->State().polyFillMode : 0;
}

BOOL GetCurrentPositionEx(HDC hdc, POINT* point)
{
    DeviceContext* dc = DC(hdc);
    if (!dc || !point) {
        return FALSE;
    }
    *point = dc->State().currentPos;
    return TRUE;
}

// ---- Mapping modes ----

int SetMapMode(HDC hdc, int mode)
{
    DeviceContext* dc = DC(hdc);
    if (!dc || mode < MM_TEXT || mode > MM_ANISOTROPIC) {
        return 0;
    }
    DcState& s = dc->State();
    int old = s.mapMode;
    // Fixed modes measure at the device's dots per inch with y growing upwards.
    auto fixed = [&s, dc](int logicalPerInch) {
        s.windowExt = SIZE{logicalPerInch, logicalPerInch};
        s.viewportExt = SIZE{dc->m_dpiX, -dc->m_dpiY};
    };
    switch (mode) {
    case MM_TEXT:
        s.windowExt = SIZE{1, 1};
        s.viewportExt = SIZE{1, 1};
        break;
    case MM_LOMETRIC: fixed(254); break;
    case MM_HIMETRIC: fixed(2540); break;
    case MM_LOENGLISH: fixed(100); break;
    case MM_HIENGLISH: fixed(1000); break;
    case MM_TWIPS: fixed(1440); break;
    case MM_ISOTROPIC:
        // Entering the isotropic mode starts from the metric extents.
        if (old != MM_ISOTROPIC) {
            fixed(254);
        }
        break;
    case MM_ANISOTROPIC:
        break;
    }
    s.mapMode = mode;
    dc->FixIsotropic();
    return old;
}

int GetMapMode(HDC hdc)
{
    DeviceContext* dc = DC(hdc);
    return dc ? dc->State().mapMode : 0;
}

namespace {

BOOL GetPoint(HDC hdc, POINT* out, POINT DcState::*field)
{
    DeviceContext* dc = DC(hdc);
    if (!dc || !out) {
        return FALSE;
    }
    *out = dc->State().*field;
    return TRUE;
}

BOOL GetSize(HDC hdc, SIZE* out, SIZE DcState::*field)
{
    DeviceContext* dc = DC(hdc);
    if (!dc || !out) {
        return FALSE;
    }
    *out = dc->State().*field;
    return TRUE;
}

BOOL SetPoint(HDC hdc, int x, int y, POINT* old, POINT DcState::*field, bool relative)
{
    DeviceContext* dc = DC(hdc);
    if (!dc) {
        return FALSE;
    }
    POINT& p = dc->State().*field;
    if (old) {
        *old = p;
    }
    p = relative ? POINT{p.x + x, p.y + y} : POINT{x, y};
    return TRUE;
}

BOOL SetExtent(HDC hdc, int x, int y, SIZE* old, SIZE DcState::*field)
{
    DeviceContext* dc = DC(hdc);
    if (!dc) {
        return FALSE;
    }
    SIZE& e = dc->State().*field;
    if (old) {
        *old = e;
    }
    int mode = dc->State().mapMode;
    // Only the scalable modes take extents; the call is then ignored.
    if (mode != MM_ISOTROPIC && mode != MM_ANISOTROPIC) {
        return TRUE;
    }
    if (x == 0 || y == 0) {
        return FALSE;
    }
    e = SIZE{x, y};
    dc->FixIsotropic();
    return TRUE;
}

} // namespace

BOOL SetWindowOrgEx(HDC hdc, int x, int y, POINT* old) { return SetPoint(hdc, x, y, old, &DcState::windowOrg, false); }
BOOL GetWindowOrgEx(HDC hdc, POINT* org) { return GetPoint(hdc, org, &DcState::windowOrg); }
BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* old) { return SetPoint(hdc, x, y, old, &DcState::viewportOrg, false); }
BOOL GetViewportOrgEx(HDC hdc, POINT* org) { return GetPoint(hdc, org, &DcState::viewportOrg); }
BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, POINT* old) { return SetPoint(hdc, dx, dy, old, &DcState::viewportOrg, true); }
BOOL OffsetWindowOrgEx(HDC hdc, int dx, int dy, POINT* old) { return SetPoint(hdc, dx, dy, old, &DcState::windowOrg, true); }
BOOL SetWindowExtEx(HDC hdc, int x, int y, SIZE* old) { return SetExtent(hdc, x, y, old, &DcState::windowExt); }
BOOL GetWindowExtEx(HDC hdc, SIZE* ext) { return GetSize(hdc, ext, &DcState::windowExt); }
BOOL SetViewportExtEx(HDC hdc, int x, int y, SIZE* old) { return SetExtent(hdc, x, y, old, &DcState::viewportExt); }
BOOL GetViewportExtEx(HDC hdc, SIZE* ext) { return GetSize(hdc, ext, &DcState::viewportExt); }

BOOL ScaleViewportExtEx(HDC hdc, int xNum, int xDenom, int yNum, int yDenom, SIZE* old)
{
    DeviceContext* dc = DC(hdc);
    if (!dc || xDenom == 0 || yDenom == 0) {
        return FALSE;
    }
    SIZE e = dc->State().viewportExt;
    return SetViewportExtEx(hdc, GdiMulDiv(e.cx, xNum, xDenom), GdiMulDiv(e.cy, yNum, yDenom), old);
}

BOOL ScaleWindowExtEx(HDC hdc, int xNum, int xDenom, int yNum, int yDenom, SIZE* old)
{
    DeviceContext* dc = DC(hdc);
    if (!dc || xDenom == 0 || yDenom == 0) {
        return FALSE;
    }
    SIZE e = dc->State().windowExt;
    return SetWindowExtEx(hdc, GdiMulDiv(e.cx, xNum, xDenom), GdiMulDiv(e.cy, yNum, yDenom), old);
}

BOOL LPtoDP(HDC hdc, POINT* points, int count)
{
    DeviceContext* dc = DC(hdc);
    if (!dc || (!points && count > 0)) {
        return FALSE;
    }
    for (int i = 0; i < count; ++i) {
        points[i] = dc->ToDevice(points[i].x, points[i].y);
    }
    return TRUE;
}

BOOL DPtoLP(HDC hdc, POINT* points, int count)
{
    DeviceContext* dc = DC(hdc);
    if (!dc || (!points && count > 0)) {
        return FALSE;
    }
    for (int i = 0; i < count; ++i) {
        points[i] = dc->ToLogical(points[i].x, points[i].y);
    }
    return TRUE;
}

// ---- Clipping ----

int ExtSelectClipRgn(HDC hdc, HRGN region, int mode)
{
    DeviceContext* dc = DC(hdc);
    if (!dc || mode < RGN_AND || mode > RGN_COPY) {
        return ERROR;
    }
    DcState& s = dc->State();
    if (!region) {
        // Only a copy of "nothing" is meaningful: it removes the clip.
        if (mode != RGN_COPY) {
            return ERROR;
        }
        s.hasClip = false;
        s.clip.Clear();
    } else {
        auto r = GdiHandles::FindAs<RegionObject>(region, OBJ_REGION);
        if (!r) {
            return ERROR;
        }
        Region base = s.hasClip ? s.clip : Region(kHuge);
        s.clip = mode == RGN_COPY ? r->m_region : Region::Combine(base, r->m_region, mode);
        s.hasClip = true;
    }
    dc->InvalidateClip();
    return dc->Clip().Kind();
}

int SelectClipRgn(HDC hdc, HRGN region)
{
    return ExtSelectClipRgn(hdc, region, RGN_COPY);
}

namespace {

int ClipWithRect(HDC hdc, int left, int top, int right, int bottom, bool exclude)
{
    DeviceContext* dc = DC(hdc);
    if (!dc) {
        return ERROR;
    }
    RECT r = dc->ToDevice(RECT{left, top, right, bottom});
    Region rect(r); // normalised: a flipped mapping still names the same pixels
    DcState& s = dc->State();
    Region base = s.hasClip ? s.clip : Region(kHuge);
    s.clip = exclude ? base.Subtract(rect) : base.Intersect(rect);
    s.hasClip = true;
    dc->InvalidateClip();
    if (dc->GetKind() == DeviceContext::Kind::Recording) {
        dc->Record(exclude ? "ExcludeClipRect" : "IntersectClipRect", {left, top, right, bottom});
    }
    return dc->Clip().Kind();
}

} // namespace

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom)
{
    return ClipWithRect(hdc, left, top, right, bottom, false);
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom)
{
    return ClipWithRect(hdc, left, top, right, bottom, true);
}

int OffsetClipRgn(HDC hdc, int dx, int dy)
{
    DeviceContext* dc = DC(hdc);
    if (!dc) {
        return ERROR;
    }
    DcState& s = dc->State();
    if (s.hasClip) {
        s.clip.Offset(dc->WidthToDevice(dx) * (dx < 0 ? -1 : 1), dc->HeightToDevice(dy) * (dy < 0 ? -1 : 1));
        dc->InvalidateClip();
    }
    return dc->Clip().Kind();
}

int GetClipBox(HDC hdc, RECT* rect)
{
    DeviceContext* dc = DC(hdc);
    if (!dc || !rect) {
        return ERROR;
    }
    const Region& clip = dc->Clip();
    if (clip.IsEmpty()) {
        *rect = RECT{0, 0, 0, 0};
        return NULLREGION;
    }
    const RECT& b = clip.Bounds();
    POINT a = dc->ToLogical(b.left, b.top);
    POINT c = dc->ToLogical(b.right, b.bottom);
    *rect = RECT{std::min(a.x, c.x), std::min(a.y, c.y), std::max(a.x, c.x), std::max(a.y, c.y)};
    return clip.Kind();
}

int GetClipRgn(HDC hdc, HRGN region)
{
    DeviceContext* dc = DC(hdc);
    auto r = GdiHandles::FindAs<RegionObject>(region, OBJ_REGION);
    if (!dc || !r) {
        return -1;
    }
    if (!dc->State().hasClip) {
        return 0;
    }
    r->m_region = dc->State().clip;
    return 1;
}

BOOL PtVisible(HDC hdc, int x, int y)
{
    DeviceContext* dc = DC(hdc);
    if (!dc) {
        return FALSE;
    }
    POINT p = dc->ToDevice(x, y);
    return dc->Clip().Contains(p.x, p.y) ? TRUE : FALSE;
}

BOOL RectVisible(HDC hdc, const RECT* rect)
{
    DeviceContext* dc = DC(hdc);
    if (!dc || !rect) {
        return FALSE;
    }
    RECT r = dc->ToDevice(*rect);
    RECT n{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right), std::max(r.top, r.bottom)};
    return dc->Clip().Intersects(n) ? TRUE : FALSE;
}

// ---- Capabilities ----

int GetDeviceCaps(HDC hdc, int index)
{
    if (DeviceContext* dc = DC(hdc); dc && dc->m_printer) {
        int answer = 0;
        if (GetPrinterCaps(*dc->m_printer, index, &answer)) {
            return answer;
        }
    }
    switch (index) {
    case DRIVERVERSION: return 0x4000;
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZSIZE: return GdiMulDiv(g_screenWidth, 254, 960);
    case VERTSIZE: return GdiMulDiv(g_screenHeight, 254, 960);
    case HORZRES:
    case DESKTOPHORZRES: return g_screenWidth;
    case VERTRES:
    case DESKTOPVERTRES: return g_screenHeight;
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case NUMBRUSHES:
    case NUMPENS:
    case NUMCOLORS: return -1;
    case NUMFONTS: return 0;
    case ASPECTX:
    case ASPECTY: return 36;
    case ASPECTXY: return 51;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case SIZEPALETTE:
    case NUMRESERVED: return 0;
    case COLORRES: return 24;
    case RASTERCAPS:
        return RC_BITBLT | RC_BITMAP64 | RC_GDI20_OUTPUT | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_FLOODFILL |
               RC_STRETCHDIB;
    case CURVECAPS:
    case LINECAPS:
    case POLYGONALCAPS: return 0xFF;
    case TEXTCAPS: return 0x7800;
    case CLIPCAPS: return 1;
    case VREFRESH: return 60;
    default: return 0;
    }
}
