// Ids of the framework tests' document program.
#pragma once

#include "platform/afx/AfxRes.h"

#define IDR_NOTES 4200
#define ID_NOTE_VIEW 4201
#define ID_NOTE_DOC 4202
#define ID_NOTE_FRAME 4203
#define ID_NOTE_APP 4204
#define ID_NOTE_SHARED 4205
#define ID_NOTE_LOCKED 4206
#define ID_NOTE_NOBODY 4207
