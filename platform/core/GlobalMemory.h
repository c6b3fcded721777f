// Global memory blocks: fixed blocks whose handle is their address, and moveable blocks reached
// through a handle and locked for use. The clipboard exchanges its data in them.
#pragma once

#include "platform/core/Types.h"

#ifndef GMEM_FIXED
#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_NOCOMPACT 0x0010
#define GMEM_NODISCARD 0x0020
#define GMEM_ZEROINIT 0x0040
#define GMEM_MODIFY 0x0080
#define GMEM_DISCARDABLE 0x0100
#define GMEM_NOT_BANKED 0x1000
#define GMEM_SHARE 0x2000
#define GMEM_DDESHARE 0x2000
#define GMEM_DISCARDED 0x4000
#define GMEM_INVALID_HANDLE 0x8000
#define GMEM_LOCKCOUNT 0x00FF
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)
#endif
#ifndef ERROR_NOT_LOCKED
#define ERROR_NOT_LOCKED 158L
#endif
#ifndef ERROR_DISCARDED
#define ERROR_DISCARDED 157L
#endif

// Every function here is callable from any thread.

// A new block of dwBytes (0 is allowed: a moveable block without storage is "discarded").
// Null with ERROR_NOT_ENOUGH_MEMORY when memory runs out.
HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes);
// Resizes a block (GMEM_MODIFY changes only its flags). A moveable block keeps its handle; a
// fixed block moves (a new handle) only when GMEM_MOVEABLE is given and it has to grow.
HGLOBAL GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags);
// Null on success, the handle when it names no block.
HGLOBAL GlobalFree(HGLOBAL hMem);
// The block's address; a moveable block counts one more lock (up to 255).
LPVOID GlobalLock(HGLOBAL hMem);
// TRUE while the block stays locked; FALSE with NO_ERROR when the last lock went, with
// ERROR_NOT_LOCKED when it was not locked.
BOOL GlobalUnlock(HGLOBAL hMem);
// The size asked for at allocation (or last reallocation); 0 for a bad handle.
SIZE_T GlobalSize(HGLOBAL hMem);
// The handle of a block from its address.
HGLOBAL GlobalHandle(LPCVOID pMem);
// The lock count in the low byte, GMEM_DISCARDED, GMEM_DISCARDABLE; GMEM_INVALID_HANDLE for a
// bad handle.
UINT GlobalFlags(HGLOBAL hMem);
