// The keyword engine record behind the opaque engine handle: the ten word sets, filled once and
// only read afterwards.
#pragma once

#include "keywords/KxHashSet.h"

// Every member is filled by Build and never changed again, so one engine may be read by any
// number of threads, each working on its own document.
struct KxEngine {
    kx::KxHashSet englishStop;
    kx::KxHashSet englishGeneral;
    kx::KxHashSet englishVerbs;
    kx::KxHashSet frenchStop;
    kx::KxHashSet frenchGeneral;
    kx::KxHashSet frenchVerbs;
    kx::KxHashSet frenchParticles;
    kx::KxHashSet frenchPronouns;
    kx::KxHashSet mailHeaders;
    kx::KxHashSet charRefs;

    // Builds the sets in their fixed order and stops at the first that runs out of memory;
    // answers 0 or the hash set's status. A duplicate table entry is stored once.
    [[nodiscard]] int Build();
};
