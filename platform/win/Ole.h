// The part of the platform's object linking that the program uses: start-up and shut-down
// calls, and the codes of in-process drag and drop (effects, source answers, scroll timing).
// The framework's drag-and-drop classes do the work; nothing here needs starting.
#pragma once

#include "platform/core/Types.h"
#include "platform/core/WinError.h"

typedef LONG SCODE;
typedef WORD CLIPFORMAT;
typedef DWORD DROPEFFECT;

#define DROPEFFECT_NONE 0
#define DROPEFFECT_COPY 1
#define DROPEFFECT_MOVE 2
#define DROPEFFECT_LINK 4
#define DROPEFFECT_SCROLL 0x80000000u

#define DRAGDROP_S_DROP ((SCODE)0x00040100L)
#define DRAGDROP_S_CANCEL ((SCODE)0x00040101L)
#define DRAGDROP_S_USEDEFAULTCURSORS ((SCODE)0x00040102L)

// The key state of a drag also carries Alt.
#define MK_ALT 0x0020

// Where and how fast a drop target scrolls when the mouse rests near its border.
#define DD_DEFSCROLLINSET 11
#define DD_DEFSCROLLDELAY 50
#define DD_DEFSCROLLINTERVAL 50
// How far and how long the mouse must move or wait before a drag really begins.
#define DD_DEFDRAGDELAY 200
#define DD_DEFDRAGMINDIST 2

// Counts the calls on this thread: S_OK for the first, S_FALSE after. Nothing else starts.
HRESULT OleInitialize(LPVOID pvReserved);
void OleUninitialize();
