// The internet error number a call throws, for tests that expect a failure: 0 when it throws none.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"
#include "platform/net/CInternetException.h"

namespace nettest {

// Runs the call; when it throws an internet exception, gives its error number (and its message
// when asked) and deletes it. Any other exception goes on to the test framework.
template <class F>
DWORD ErrorOf(F&& call, CString* pMessage = nullptr)
{
    try {
        call();
    } catch (CInternetException* e) {
        const DWORD error = e->m_dwError;
        if (pMessage != nullptr) {
            char text[256];
            e->GetErrorMessage(text, sizeof text);
            *pMessage = text;
        }
        e->Delete();
        return error;
    }
    return 0;
}

} // namespace nettest
