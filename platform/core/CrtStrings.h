// The C run-time's in-place case conversion, case-blind comparison and path splitting, for callers
// written against them. Case is ASCII only for the str functions (bytes of multibyte characters
// are left alone); the mbs collations and the fold work on UTF-8 characters.
// All functions are callable from any thread.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

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

// Collation of UTF-8 texts in code-point order; a byte that does not start a valid sequence
// counts as its Windows-1252 character, as the texts are drawn. _mbsicoll folds the case of each
// character first (Latin, Greek and Cyrillic letters). Both return <0, 0 or >0 and accept NULL
// as the empty text.
int _mbscoll(const unsigned char* a, const unsigned char* b);
int _mbsicoll(const unsigned char* a, const unsigned char* b);

// The text with every letter's case folded (to lower case) where the folded character has the
// same encoded length, so that a byte offset found in the folded text is the same offset in the
// original. Invalid bytes stay as they are.
std::string FoldCaseKeepOffsets(std::string_view text);
// The same with every letter in upper case, for searches whose prepared text is upper-cased.
std::string UpperCaseKeepOffsets(std::string_view text);

// Splits a POSIX path into its parts; any part may be null. There are no drive letters: the
// drive is always empty. The folder keeps its final "/", the extension its ".". Each part is
// cut to its _MAX_ size.
void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext);
// Joins the parts: the drive is ignored, a "/" is added after a folder lacking one and a "." before
// an extension lacking one. The result is cut to _MAX_PATH - 1 bytes.
void _makepath(char* path, const char* drive, const char* dir, const char* fname, const char* ext);
