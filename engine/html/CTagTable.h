// The fixed table of the start tags the HTML parser recognises, each with the attributes that
// hold its links and descriptions and the runtime class of the action made for it, and the table
// of event attributes whose values are scripts.
#pragma once

#include "platform/core/Types.h"

struct CRuntimeClass;

// Row flags.
enum : UINT {
    TAG_FLAG_REPORT_ID = 0x1,       // an ID attribute is reported as an anchor
    TAG_FLAG_EVENT_SCRIPTS = 0x2,   // ON... attributes go to script examination
};

constexpr int TAG_MAX_ATTRS = 6;
// Names longer than this are no tag of the table.
constexpr int TAG_MAX_NAME_LENGTH = 31;

struct TagEntry {
    LPCSTR m_pszName;                            // upper case
    UINT m_nFlags;
    LPCSTR m_apszLinkAttrs[TAG_MAX_ATTRS];       // null-ended; tried in this order
    LPCSTR m_apszDescAttrs[TAG_MAX_ATTRS];       // null-ended; in order of preference
    LPCSTR m_pszDefaultDesc;                     // null: none
    int m_nLinkKind;
    CRuntimeClass* m_pActionClass;

    bool HasLinkAttrs() const { return m_apszLinkAttrs[0] != nullptr; }
    bool HasDescAttrs() const { return m_apszDescAttrs[0] != nullptr; }
};

// The row of a tag name, compared without case; null for an unknown name or one longer than
// TAG_MAX_NAME_LENGTH. The name need not be NUL-terminated at nLength. Callable from any
// thread.
const TagEntry* FindTagEntry(LPCSTR lpszName, int nLength);

// TRUE when the attribute name (compared without case) is one of the event attributes whose
// values are scripts. Callable from any thread.
BOOL IsEventAttribute(LPCSTR lpszName);

// The rows, sorted by name, and their count; for tests and the fuzz target.
const TagEntry* GetTagTable(int& nCount);
