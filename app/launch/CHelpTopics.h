// CHelpTopics: where the help pages installed beside the program answer a help context: the
// page and the place on it for a window (0x20000 plus its resource or control id), a dialog
// (0x20000 plus its template id) or a command (0x10000 plus its id). A context no page names
// gets the contents.
#pragma once

#include "platform/core/CString.h"
#include "platform/win/WinUser.h"

class CHelpTopics {
public:
    struct Topic {
        LPCTSTR pszFile;     // a page of the help folder
        LPCTSTR pszAnchor;   // a place on it, or empty
    };
    // The page of the contents, for Help Topics and for contexts no page names.
    static Topic Contents();
    static Topic ForContext(DWORD_PTR dwContext);
    // The help folder beside the program ("help" in the program's own folder).
    static CString DefaultFolder();
};
