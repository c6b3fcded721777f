// Atom tables: small process-wide tables that give a 16-bit number to a short text, used to pass
// text between threads in a message parameter.
#pragma once

#include "platform/core/Types.h"

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#ifndef MAKEINTATOM
#define MAKEINTATOM(i) (reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#endif
#ifndef MAXINTATOM
#define MAXINTATOM 0xC000
#endif

// String atoms run from 0xC000 to 0xFFFF; names are at most 255 bytes, compared without regard
// to ASCII case, and counted: adding a name again adds a reference, deleting drops one and
// frees the atom at zero. "#123" (or MAKEINTATOM(123)) is the integer atom 123 (1 to 0xBFFF),
// which is neither counted nor ever freed. The local and the global table are separate tables,
// both shared by every thread of the process. All calls are callable from any thread.

// 0 when refused: an empty name (ERROR_INVALID_NAME), a name over 255 bytes or an integer atom
// out of range (ERROR_INVALID_PARAMETER), a full table (ERROR_NOT_ENOUGH_MEMORY).
ATOM AddAtom(LPCSTR lpString);
ATOM GlobalAddAtom(LPCSTR lpString);
// 0 with ERROR_FILE_NOT_FOUND when the name has no atom.
ATOM FindAtom(LPCSTR lpString);
ATOM GlobalFindAtom(LPCSTR lpString);
// Copies the name (integer atoms as "#123"), cut to nSize - 1 bytes, always NUL-terminated, and
// answers the number of bytes copied; 0 for an unknown atom or a buffer of no size.
UINT GetAtomName(ATOM nAtom, LPSTR lpBuffer, int nSize);
UINT GlobalGetAtomName(ATOM nAtom, LPSTR lpBuffer, int nSize);
// 0 on success; the atom itself when it is unknown (ERROR_INVALID_HANDLE).
ATOM DeleteAtom(ATOM nAtom);
ATOM GlobalDeleteAtom(ATOM nAtom);

inline ATOM AddAtomA(LPCSTR lpString) { return AddAtom(lpString); }
inline ATOM FindAtomA(LPCSTR lpString) { return FindAtom(lpString); }
inline UINT GetAtomNameA(ATOM nAtom, LPSTR lpBuffer, int nSize) { return GetAtomName(nAtom, lpBuffer, nSize); }
inline ATOM GlobalAddAtomA(LPCSTR lpString) { return GlobalAddAtom(lpString); }
inline ATOM GlobalFindAtomA(LPCSTR lpString) { return GlobalFindAtom(lpString); }
inline UINT GlobalGetAtomNameA(ATOM nAtom, LPSTR lpBuffer, int nSize)
{
    return GlobalGetAtomName(nAtom, lpBuffer, nSize);
}

namespace kernel {

// One atom table; the functions above use two process-wide instances. Thread-safe.
class AtomTable {
public:
    static constexpr ATOM kFirstStringAtom = 0xC000;
    static constexpr size_t kCapacity = 0x10000 - kFirstStringAtom;
    static constexpr size_t kMaxNameLength = 255;

    ATOM Add(LPCSTR lpString);
    ATOM Find(LPCSTR lpString);
    UINT GetName(ATOM nAtom, LPSTR lpBuffer, int nSize);
    ATOM Delete(ATOM nAtom);

private:
    struct Entry {
        std::string name;   // as first added
        DWORD references = 0;
    };

    std::mutex m_lock;
    std::vector<std::optional<Entry>> m_entries = std::vector<std::optional<Entry>>(kCapacity);
    std::unordered_map<std::string, size_t> m_byName;   // folded name -> index
    size_t m_used = 0;
    size_t m_next = 0;   // where the search for a free slot starts, so freed atoms rest a while
};

AtomTable& LocalAtomTable();
AtomTable& GlobalAtomTable();

} // namespace kernel
