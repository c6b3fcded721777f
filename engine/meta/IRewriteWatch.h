// What a page's rewrite tells whoever waits for it, and asks of them, between the pieces of the
// page it reads: a large page takes a while to judge and to write, and the user may stop it.
#pragma once

#include "platform/core/Types.h"

class IRewriteWatch {
public:
    virtual ~IRewriteWatch() = default;
    // Whether the rewrite is to stop where it is. Its copy is then incomplete, and is not to be
    // used. Called on the rewrite's thread.
    virtual bool IsStopRequested() = 0;
    // How far the rewrite came: nDone of the nTotal bytes it reads of the page, over every time
    // it reads the page (judged first, then written). Called on the rewrite's thread.
    virtual void OnProgress(ULONGLONG nDone, ULONGLONG nTotal) = 0;
};
