// Message texts: the system's error texts and message-format strings with numbered inserts.
//
// Escapes of a message: %1 to %99 insert an argument, by default as a string; %n!fmt! formats it
// with the printf conversion fmt (for example %1!u!, %2!08X!, %3!s!; text after the conversion
// inside the marks is copied, so "%1!u.!" gives "4."). "%0" ends the message without its line
// end, "%n" is a line end ("\r\n"), "%r" a carriage return, "%t" a tab, "%%", "%.", "%!" and
// "% " give the character itself. "*" widths are not supported. Arguments are pointer-sized: an
// array of DWORD_PTR with FORMAT_MESSAGE_ARGUMENT_ARRAY, else a va_list of pointer-sized values.
// System texts end with "\r\n", as the platform's do. All functions are callable from any thread.
#pragma once

#include "platform/core/Types.h"
#include "platform/core/WinError.h"

#include <cstdarg>
#include <string>


#define FORMAT_MESSAGE_ALLOCATE_BUFFER 0x00000100u
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200u
#define FORMAT_MESSAGE_FROM_STRING 0x00000400u
#define FORMAT_MESSAGE_FROM_HMODULE 0x00000800u
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000u
#define FORMAT_MESSAGE_ARGUMENT_ARRAY 0x00002000u
#define FORMAT_MESSAGE_MAX_WIDTH_MASK 0x000000FFu

#ifndef MAKELANGID
#define MAKELANGID(p, s) ((((WORD)(s)) << 10) | (WORD)(p))
#endif
#ifndef LANG_NEUTRAL
#define LANG_NEUTRAL 0x00
#define LANG_ENGLISH 0x09
#define SUBLANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01
#endif

// With FORMAT_MESSAGE_ALLOCATE_BUFFER, lpBuffer is really an LPSTR* that receives a LocalAlloc
// block (free it with LocalFree) of at least nSize bytes; otherwise the text must fit nSize bytes
// with its NUL (else ERROR_INSUFFICIENT_BUFFER). Returns the length without the NUL, or 0.
// Messages from modules are not available (ERROR_RESOURCE_TYPE_NOT_FOUND); an unknown system
// code gives ERROR_MR_MID_NOT_FOUND. A max width of 0xFF turns the text's own line breaks into
// spaces; other widths do not wrap.
DWORD FormatMessage(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD dwLanguageId,
                    LPSTR lpBuffer, DWORD nSize, va_list* Arguments);

// The system text of an error code without its line end, or null when there is none.
LPCSTR GetSystemErrorText(DWORD dwMessageId);
