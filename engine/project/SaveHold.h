// Where the save's thread may be held at a known step of a page's save: a test that acts on a
// page at that step (changes it, stops the save) holds the thread there until it has acted,
// instead of racing the save to it. The program sets no hook; the thread then only looks at a
// null pointer at each step.
#pragma once

#include "platform/core/Types.h"

class CPageNode;

enum class SaveStep {
    // A piece of the page was read for its rewrite; nBytes: how much of it so far, over every
    // time the page is read (judged, then written). The copy is then incomplete.
    PagePiece,
    // The page's copy is written whole and on the disk, and is about to take the page's place:
    // before the last look at the page. nBytes: the copy's size.
    CopyReady,
};

// Called on the save's thread at each step; it may block the thread until the test lets it go
// on. It must not call back into the save.
using SaveHoldHook = void (*)(SaveStep step, const CPageNode& page, ULONGLONG nBytes);

// Sets the hook (null: none). Tests only.
void SetSaveHoldHook(SaveHoldHook pfnHook);

// The save's thread at a step: calls the hook when one is set.
void HoldSaveAt(SaveStep step, const CPageNode& page, ULONGLONG nBytes);
