// Bitmaps, icons and cursors made from the PNG images of the resource table (or of a PNG file).
//
// A module handle names whose resources to search (ResourceTable.h); a null handle means the
// system's own images, which the module named "system" carries when a folder provides them.
// Bitmaps come out as 32-bit pixels without alpha; an icon or cursor takes its mask from the
// image's alpha (a pixel below half opacity is transparent). A cursor's hot spot comes from
// its resource. All functions are callable from any thread.
#pragma once

#include "platform/core/Types.h"

#define IMAGE_BITMAP 0
#define IMAGE_ICON 1
#define IMAGE_CURSOR 2

#define LR_DEFAULTCOLOR 0x00000000u
#define LR_MONOCHROME 0x00000001u
#define LR_LOADFROMFILE 0x00000010u
#define LR_LOADTRANSPARENT 0x00000020u
#define LR_DEFAULTSIZE 0x00000040u
#define LR_LOADMAP3DCOLORS 0x00001000u
#define LR_CREATEDIBSECTION 0x00002000u
#define LR_SHARED 0x00008000u

// Stock bitmaps, loaded with a null module handle.
#define OBM_MNARROW 32739
#define OBM_CHECK 32760

// A bitmap resource as a compatible bitmap the caller deletes; null with
// ERROR_RESOURCE_NAME_NOT_FOUND (or _TYPE_) when there is none, ERROR_INVALID_DATA when its data
// is no PNG image.
HBITMAP LoadBitmap(HINSTANCE hInstance, LPCSTR lpBitmapName);
// An icon resource; the handle is shared and stays valid for the program's life (DestroyIcon
// leaves it alone).
HICON LoadIcon(HINSTANCE hInstance, LPCSTR lpIconName);
// An image of the given type, optionally scaled to cx by cy (0: the image's own size, or the
// system's icon or cursor size with LR_DEFAULTSIZE). LR_LOADFROMFILE reads name as the path of a
// PNG file. LR_LOADTRANSPARENT shows the image's transparent pixels (or, in an opaque image,
// those of the top-left pixel's colour) in the window colour; LR_LOADMAP3DCOLORS maps the greys
// 128, 192 and 223 to the 3-D shadow, face and light colours; LR_MONOCHROME gives a 1-bit
// bitmap; LR_CREATEDIBSECTION a 32-bit top-down DIB section; LR_SHARED the same handle for the
// same request, never to be deleted.
HANDLE LoadImage(HINSTANCE hInst, LPCSTR name, UINT type, int cx, int cy, UINT fuLoad);

// A bitmap resource with its colours replaced: by the pairs given, or by default black, dark
// grey, light grey and white to the button text, shadow, face and highlight colours. The caller
// deletes it; null when the resource is missing.
struct COLORMAP {
    COLORREF from;
    COLORREF to;
};
HBITMAP CreateMappedBitmap(HINSTANCE hInstance, INT_PTR idBitmap, UINT wFlags, const COLORMAP* lpColorMap, int iNumMaps);

// A cursor resource with its hot spot, for LoadCursor with a module handle; shared.
HCURSOR LoadCursorFromResource(HINSTANCE hInstance, LPCSTR lpCursorName);
// Whether a handle came from LR_SHARED loading, so DestroyIcon and DestroyCursor leave it alone.
bool IsSharedImage(HANDLE image);
