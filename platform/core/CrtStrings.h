// The C run-time's in-place case conversion, case-blind comparison and path splitting, for callers
// written against them. Case is ASCII only: bytes of multibyte characters are left alone.
// All functions are callable from any thread.
#pragma once

#include <cstddef>

#ifndef _MAX_PATH
#define _MAX_PATH 4096
#define _MAX_DRIVE 3
#define _MAX_DIR 4096
#define _MAX_FNAME 256
#define _MAX_EXT 256
#endif

char* _strlwr(char* str);
char* _strupr(char* str);
int _stricmp(const char* a, const char* b);
int _strnicmp(const char* a, const char* b, size_t count);

// Splits a POSIX path into its parts; any part may be null. There are no drive letters: the
// drive is always empty. The folder keeps its final "/", the extension its ".". Each part is
// cut to its _MAX_ size.
void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext);
// Joins the parts: the drive is ignored, a "/" is added after a folder lacking one and a "." before
// an extension lacking one. The result is cut to _MAX_PATH - 1 bytes.
void _makepath(char* path, const char* drive, const char* dir, const char* fname, const char* ext);
