// COtherRefChecker: the checker of every scheme without one of its own (gopher, news, telnet and
// the like): after the common first stage it reports the scheme as unsupported.
#pragma once

#include "fetch/CRefChecker.h"

class COtherRefChecker : public CRefChecker {
    DECLARE_DYNAMIC(COtherRefChecker)
public:
    using CRefChecker::CRefChecker;
};
