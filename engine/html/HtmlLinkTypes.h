// Link kinds and link flags that tag actions report with every link, and the classification of
// MIME types and script languages that the actions and the fetch engine share.
#pragma once

#include "platform/core/Types.h"

// The kind of resource a link points at. The fetch engine passes it on unchanged and checks
// some kinds differently (a mailto link is allowed only as an anchor or "other").
enum : int {
    LINK_KIND_ANCHOR = 0,       // anchor or image-map area
    LINK_KIND_PLAIN = 1,        // plain reference or client pull
    LINK_KIND_IMAGE = 2,        // image or background
    LINK_KIND_SOUND = 3,
    LINK_KIND_JAVA = 4,         // Java code or archive
    LINK_KIND_STYLESHEET = 5,
    LINK_KIND_SCRIPT = 6,
    LINK_KIND_OBJECT = 7,
    LINK_KIND_OTHER = 8,
    LINK_KIND_FRAME = 10,       // frame or layer
    LINK_KIND_SERVER_MAP = 11,  // a server-side image map, as the fetch engine queues it
};

// What is known of a link besides its kind; the values combine.
enum : DWORD {
    LINK_FLAG_WIDTH = 0x1,
    LINK_FLAG_HEIGHT = 0x2,
    LINK_FLAG_ALT = 0x4,
    LINK_FLAG_WIDTH_PERCENT = 0x8,
    LINK_FLAG_HEIGHT_PERCENT = 0x10,
    LINK_FLAG_BACKGROUND = 0x20,
    LINK_FLAG_TYPED = 0x40,          // USES and PARAM resources with a type
    LINK_FLAG_SECONDARY = 0x80,      // SPAN, CREDITS and LOGO resources
    LINK_FLAG_SERVER_MAP = 0x100,    // passed on only when accessibility checks are disabled
    LINK_FLAG_REDIRECT = 0x400,      // set by the redirect report, never by a tag action
    LINK_FLAG_ARCHIVE = 0x800,
};

// Script kinds, also the event-script modes of the parser.
enum : int {
    SCRIPT_KIND_NONE = 0,
    SCRIPT_KIND_JAVASCRIPT = 1,
    SCRIPT_KIND_VBSCRIPT = 2,
};

// The link kind of a MIME type, by prefix and without regard to case: "text/html" 1,
// "image/" and "video/" 2, "audio/" 3, anything else (also null) 8.
int ClassifyMimeType(LPCSTR lpszType);

// 1 for a lower-case language beginning with "javascript" or equal to "jscript", 2 for
// "vbscript", else 0. The caller lower-cases.
int GetScriptLanguageKind(LPCSTR lpszLanguage);

// 1 for a lower-case type beginning with "text/javascript" or "application/x-javascript",
// 2 for "text/vbscript", else 0. The caller lower-cases. Callable from any
// thread (the HTTP checker classifies reply types with it).
int GetScriptMimeTypeKind(LPCSTR lpszType);
