// CMailtoRefChecker: judges a mailto URL by its syntax alone; nothing is sent.
#pragma once

#include "fetch/CRefChecker.h"

class CMailtoRefChecker : public CRefChecker {
    DECLARE_DYNAMIC(CMailtoRefChecker)
public:
    using CRefChecker::CRefChecker;

    void CheckMore() override;

    // Whether an address (possibly "Name <user@domain>") is well formed.
    static bool IsValidAddress(const CString& strPath);
};
