// The drawing interface on handles: objects, device contexts, output, text and the edge and
// frame drawing that controls use. Everything here runs on the thread that owns the device
// context; only the object handle table is safe from any thread.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/GdiTypes.h"

// ---- Objects ----
HPEN CreatePen(int style, int width, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* logPen);
HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD styleCount, const DWORD* styles);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int hatch, COLORREF color);
HBRUSH CreatePatternBrush(HBITMAP bitmap);
HBRUSH CreateBrushIndirect(const LOGBRUSH* logBrush);
HBRUSH CreateDIBPatternBrushPt(const void* packedDib, UINT usage);
HFONT CreateFontIndirect(const LOGFONT* logFont);
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                 DWORD quality, DWORD pitchAndFamily, LPCSTR faceName);
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPixel, const void* bits);
HBITMAP CreateBitmapIndirect(const BITMAP* bitmap);
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);
HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage);
#define CBM_INIT 0x04L
LONG GetBitmapBits(HBITMAP bitmap, LONG bytes, void* bits);
LONG SetBitmapBits(HBITMAP bitmap, DWORD bytes, const void* bits);
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage);
int SetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage);
BOOL GetBitmapDimensionEx(HBITMAP bitmap, SIZE* size);

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode);
HRGN CreatePolyPolygonRgn(const POINT* points, const INT* counts, int polygons, int fillMode);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN CreateEllipticRgnIndirect(const RECT* rect);
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
BOOL PtInRegion(HRGN region, int x, int y);
BOOL RectInRegion(HRGN region, const RECT* rect);
int OffsetRgn(HRGN region, int dx, int dy);
int GetRgnBox(HRGN region, RECT* rect);
BOOL EqualRgn(HRGN a, HRGN b);
BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);
// Copies the region's rectangles as a count followed by RECTs; returns the bytes needed when
// the buffer is null. (A compact form of the platform's region data.)
DWORD GetRegionRects(HRGN region, DWORD bytes, RECT* rects);

// Palettes. The display is true colour: selecting and realizing a palette changes no pixel
// and maps no entry, but the calls succeed so that palette-aware drawing goes ahead.
HPALETTE CreatePalette(const LOGPALETTE* logPalette);
// The 6 x 6 x 6 colour cube.
HPALETTE CreateHalftonePalette(HDC dc);
UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries);
UINT SetPaletteEntries(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries);
BOOL ResizePalette(HPALETTE palette, UINT count);
BOOL AnimatePalette(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries);
UINT GetNearestPaletteIndex(HPALETTE palette, COLORREF color);
// Returns the palette selected before (the stock default palette at first), null on a bad handle.
HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground);
// The number of entries mapped into the system palette: always 0, there is none.
UINT RealizePalette(HDC dc);

HGDIOBJ GetStockObject(int index);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
int GetObject(HGDIOBJ object, int bytes, void* buffer);
DWORD GetObjectType(HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
BOOL UnrealizeObject(HGDIOBJ object);

// ---- Device contexts ----
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int saved);
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
int SetROP2(HDC dc, int rop);
int GetROP2(HDC dc);
UINT SetTextAlign(HDC dc, UINT align);
UINT GetTextAlign(HDC dc);
int SetTextCharacterExtra(HDC dc, int extra);
int GetTextCharacterExtra(HDC dc);
BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetBrushOrgEx(HDC dc, POINT* org);
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);
int SetPolyFillMode(HDC dc, int mode);
int GetPolyFillMode(HDC dc);
COLORREF SetDCBrushColor(HDC dc, COLORREF color);
COLORREF GetDCBrushColor(HDC dc);
COLORREF SetDCPenColor(HDC dc, COLORREF color);
COLORREF GetDCPenColor(HDC dc);
BOOL GdiFlush();

int SetMapMode(HDC dc, int mode);
int GetMapMode(HDC dc);
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetWindowOrgEx(HDC dc, POINT* org);
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetViewportOrgEx(HDC dc, POINT* org);
BOOL SetWindowExtEx(HDC dc, int x, int y, SIZE* old);
BOOL GetWindowExtEx(HDC dc, SIZE* ext);
BOOL SetViewportExtEx(HDC dc, int x, int y, SIZE* old);
BOOL GetViewportExtEx(HDC dc, SIZE* ext);
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* old);
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* old);
BOOL ScaleViewportExtEx(HDC dc, int xNum, int xDenom, int yNum, int yDenom, SIZE* old);
BOOL ScaleWindowExtEx(HDC dc, int xNum, int xDenom, int yNum, int yDenom, SIZE* old);
BOOL LPtoDP(HDC dc, POINT* points, int count);
BOOL DPtoLP(HDC dc, POINT* points, int count);

int SelectClipRgn(HDC dc, HRGN region);
int ExtSelectClipRgn(HDC dc, HRGN region, int mode);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int OffsetClipRgn(HDC dc, int dx, int dy);
int GetClipBox(HDC dc, RECT* rect);
int GetClipRgn(HDC dc, HRGN region);
BOOL PtVisible(HDC dc, int x, int y);
BOOL RectVisible(HDC dc, const RECT* rect);

int GetDeviceCaps(HDC dc, int index);

// ---- Printing ----
// The one printer the layer has writes each document as a PDF file; its name is what
// GetDefaultPrinter answers and what the print dialog offers ("PDF file"). CreateDC takes
// that name as the device (the driver is ignored), an optional port naming the file written
// when DOCINFO names none, and optional settings (paper, orientation, resolution; 300 dpi
// and Letter when absent). Pages are drawn at the printer's resolution with the same painter
// as the screen, and each finished page goes into the file as one image. The file appears
// only when EndDoc succeeds, replacing an existing file whole; AbortDoc, DeleteDC during a
// document or a failed write leave any earlier file as it was.
BOOL GetDefaultPrinter(LPSTR buffer, LPDWORD size);
HDC CreateDC(LPCSTR driver, LPCSTR device, LPCSTR port, const DEVMODE* mode);
// Returns the job number (above zero) or SP_ERROR.
int StartDoc(HDC dc, const DOCINFO* info);
int StartPage(HDC dc);
int EndPage(HDC dc);
int EndDoc(HDC dc);
int AbortDoc(HDC dc);
BOOL GetCurrentPositionEx(HDC dc, POINT* point);

// ---- Lines and shapes ----
BOOL MoveToEx(HDC dc, int x, int y, POINT* old);
BOOL LineTo(HDC dc, int x, int y);
BOOL Polyline(HDC dc, const POINT* points, int count);
BOOL PolylineTo(HDC dc, const POINT* points, DWORD count);
BOOL PolyPolyline(HDC dc, const POINT* points, const DWORD* counts, DWORD polylines);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height);
BOOL Polygon(HDC dc, const POINT* points, int count);
BOOL PolyPolygon(HDC dc, const POINT* points, const INT* counts, int polygons);
BOOL Arc(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
BOOL Pie(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
BOOL Chord(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT* rect);
BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush);
BOOL FrameRgn(HDC dc, HRGN region, HBRUSH brush, int width, int height);
BOOL InvertRgn(HDC dc, HRGN region);
BOOL PaintRgn(HDC dc, HRGN region);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
BOOL SetPixelV(HDC dc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC dc, int x, int y);

// ---- Blits ----
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop);
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                int srcHeight, DWORD rop);
BOOL MaskBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, HBITMAP mask,
             int xMask, int yMask, DWORD rop);
BOOL TransparentBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                    int srcHeight, UINT transparent);
int StretchDIBits(HDC dc, int x, int y, int width, int height, int xSrc, int ySrc, int srcWidth, int srcHeight,
                  const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
int SetDIBitsToDevice(HDC dc, int x, int y, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                      UINT scanLines, const void* bits, const BITMAPINFO* info, UINT usage);

// ---- Text ----
BOOL TextOut(HDC dc, int x, int y, LPCSTR text, int length);
BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT length, const INT* dx);
LONG TabbedTextOut(HDC dc, int x, int y, LPCSTR text, int length, int tabCount, const INT* tabStops, int tabOrigin);
DWORD GetTabbedTextExtent(HDC dc, LPCSTR text, int length, int tabCount, const INT* tabStops);
BOOL GetTextExtentPoint32(HDC dc, LPCSTR text, int length, SIZE* size);
BOOL GetTextExtentPoint(HDC dc, LPCSTR text, int length, SIZE* size);
// Counts and extents are per byte of the UTF-8 text; a multi-byte character gives every one of
// its bytes the extent at the character's end, and only whole characters count as fitting.
BOOL GetTextExtentExPoint(HDC dc, LPCSTR text, int length, int maxExtent, INT* fit, INT* dx, SIZE* size);
BOOL GetTextMetrics(HDC dc, TEXTMETRIC* metrics);
BOOL GetCharWidth32(HDC dc, UINT first, UINT last, INT* widths);
BOOL GetCharWidth(HDC dc, UINT first, UINT last, INT* widths);
BOOL GetCharABCWidths(HDC dc, UINT first, UINT last, ABC* widths);
int GetTextFace(HDC dc, int count, LPSTR name);
int DrawText(HDC dc, LPCSTR text, int length, RECT* rect, UINT format);
int DrawTextEx(HDC dc, LPSTR text, int length, RECT* rect, UINT format, DRAWTEXTPARAMS* params);
BOOL GrayString(HDC dc, HBRUSH brush, GRAYSTRINGPROC output, LPARAM data, int length, int x, int y, int width,
                int height);

// The fixed-metric test font. While it is on, every font, whatever its face, has these
// integer metrics, computed from the LOGFONT alone:
//   h = |lfHeight|, or 16 when lfHeight is 0; tmHeight = h; tmAscent = h * 4 / 5;
//   tmDescent = h - tmAscent; no internal or external leading;
//   every character advances by a = lfWidth when it is positive, else max(1, h / 2);
//   tmAveCharWidth = tmMaxCharWidth = a; the family is fixed pitch (TMPF_FIXED_PITCH clear).
// A character is drawn as a box a - 1 pixels wide and tmAscent pixels high, from the cell's top
// down to the baseline (its right-most column stays empty); a space or a control character
// draws nothing. Underline fills the row just below the baseline, strike-out the row
// tmAscent / 2 above it, each as wide as the advance. Weight, italics and face do not change
// the metrics. The mode is on when VOSTREL_TEST_FONT=1 is in the environment at the first text
// call, or after SetTestFontMode(true).
void SetTestFontMode(bool on);
bool IsTestFontMode();
// Forgets the layouts of the texts drawn so far, which are kept to draw the same texts again
// quickly (up to many thousands of them). Worth calling after the windows that drew many
// texts have gone for good (a project's grid closed): their texts would otherwise stay, spread
// over the program's memory. Texts drawn afterwards are laid out again.
void ForgetTextLayouts();

// ---- Edges, frame controls, focus, icons and states ----
BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags);
BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state);
BOOL DrawFocusRect(HDC dc, const RECT* rect);
HICON CreateIconIndirect(ICONINFO* info);
BOOL GetIconInfo(HICON icon, ICONINFO* info);
BOOL DestroyIcon(HICON icon);
HICON CopyIcon(HICON icon);
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, UINT step, HBRUSH flicker, UINT flags);
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);
BOOL DrawState(HDC dc, HBRUSH brush, DRAWSTATEPROC output, LPARAM data, WPARAM wdata, int x, int y, int width,
               int height, UINT flags);
