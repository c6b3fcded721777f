// Start-up and shut-down of the object layer: only a per-thread count, since in-process drag
// and drop needs no service running.
#include "platform/win/Ole.h"

namespace {
thread_local int t_oleCount = 0;
}

HRESULT OleInitialize(LPVOID)
{
    return t_oleCount++ == 0 ? S_OK : S_FALSE;
}

void OleUninitialize()
{
    if (t_oleCount > 0) {
        --t_oleCount;
    }
}
