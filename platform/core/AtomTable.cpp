#include "platform/core/AtomTable.h"

#include "platform/core/WinError.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace kernel {
namespace {

enum class NameKind { Integer, String, Invalid };

struct ParsedName {
    NameKind kind = NameKind::Invalid;
    WORD integer = 0;
    std::string_view text;
};

// Sorts an argument into an integer atom, a string name or a refusal (last error set).
ParsedName ParseName(LPCSTR lpString)
{
    ParsedName parsed;
    auto value = reinterpret_cast<ULONG_PTR>(lpString);
    if ((value >> 16) == 0) {
        if (value == 0 || value >= MAXINTATOM) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return parsed;
        }
        parsed.kind = NameKind::Integer;
        parsed.integer = static_cast<WORD>(value);
        return parsed;
    }
    std::string_view text(lpString, strnlen(lpString, AtomTable::kMaxNameLength + 1));
    if (text.empty()) {
        SetLastError(ERROR_INVALID_NAME);
        return parsed;
    }
    if (text.size() > AtomTable::kMaxNameLength) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return parsed;
    }
    if (text.size() > 1 && text[0] == '#'
        && text.find_first_not_of("0123456789", 1) == std::string_view::npos) {
        unsigned long number = 0;
        for (char c : text.substr(1)) {
            number = number * 10 + static_cast<unsigned long>(c - '0');
            if (number >= MAXINTATOM)
                break;   // stop before a long run of digits could overflow
        }
        if (number == 0 || number >= MAXINTATOM) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return parsed;
        }
        parsed.kind = NameKind::Integer;
        parsed.integer = static_cast<WORD>(number);
        return parsed;
    }
    parsed.kind = NameKind::String;
    parsed.text = text;
    return parsed;
}

std::string Fold(std::string_view text)
{
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

} // namespace

ATOM AtomTable::Add(LPCSTR lpString)
{
    ParsedName parsed = ParseName(lpString);
    if (parsed.kind == NameKind::Invalid)
        return 0;
    if (parsed.kind == NameKind::Integer)
        return parsed.integer;

    std::string key = Fold(parsed.text);
    std::lock_guard guard(m_lock);
    if (auto it = m_byName.find(key); it != m_byName.end()) {
        ++m_entries[it->second]->references;
        return static_cast<ATOM>(kFirstStringAtom + it->second);
    }
    if (m_used == kCapacity) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    size_t index = m_next;
    while (m_entries[index])
        index = (index + 1) % kCapacity;
    m_entries[index] = Entry{std::string(parsed.text), 1};
    m_byName.emplace(std::move(key), index);
    ++m_used;
    m_next = (index + 1) % kCapacity;
    return static_cast<ATOM>(kFirstStringAtom + index);
}

ATOM AtomTable::Find(LPCSTR lpString)
{
    ParsedName parsed = ParseName(lpString);
    if (parsed.kind == NameKind::Invalid)
        return 0;
    if (parsed.kind == NameKind::Integer)
        return parsed.integer;
    std::lock_guard guard(m_lock);
    auto it = m_byName.find(Fold(parsed.text));
    if (it == m_byName.end()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    return static_cast<ATOM>(kFirstStringAtom + it->second);
}

UINT AtomTable::GetName(ATOM nAtom, LPSTR lpBuffer, int nSize)
{
    if (!lpBuffer || nSize <= 0 || nAtom == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string name;
    if (nAtom < kFirstStringAtom) {
        char text[8];
        std::snprintf(text, sizeof text, "#%u", static_cast<unsigned>(nAtom));
        name = text;
    } else {
        std::lock_guard guard(m_lock);
        const auto& entry = m_entries[nAtom - kFirstStringAtom];
        if (!entry) {
            SetLastError(ERROR_INVALID_HANDLE);
            return 0;
        }
        name = entry->name;
    }
    size_t copied = std::min(name.size(), static_cast<size_t>(nSize) - 1);
    std::memcpy(lpBuffer, name.data(), copied);
    lpBuffer[copied] = '\0';
    if (copied < name.size())
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return static_cast<UINT>(copied);
}

ATOM AtomTable::Delete(ATOM nAtom)
{
    if (nAtom == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nAtom;
    }
    if (nAtom < kFirstStringAtom)
        return 0;   // integer atoms are not counted and never go away
    size_t index = nAtom - kFirstStringAtom;
    std::lock_guard guard(m_lock);
    auto& entry = m_entries[index];
    if (!entry) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nAtom;
    }
    if (--entry->references == 0) {
        m_byName.erase(Fold(entry->name));
        entry.reset();
        --m_used;
    }
    return 0;
}

AtomTable& LocalAtomTable()
{
    static AtomTable* table = new AtomTable;   // never destroyed: detached threads may still post
    return *table;
}

AtomTable& GlobalAtomTable()
{
    static AtomTable* table = new AtomTable;
    return *table;
}

} // namespace kernel

ATOM AddAtom(LPCSTR lpString)
{
    return kernel::LocalAtomTable().Add(lpString);
}

ATOM GlobalAddAtom(LPCSTR lpString)
{
    return kernel::GlobalAtomTable().Add(lpString);
}

ATOM FindAtom(LPCSTR lpString)
{
    return kernel::LocalAtomTable().Find(lpString);
}

ATOM GlobalFindAtom(LPCSTR lpString)
{
    return kernel::GlobalAtomTable().Find(lpString);
}

UINT GetAtomName(ATOM nAtom, LPSTR lpBuffer, int nSize)
{
    return kernel::LocalAtomTable().GetName(nAtom, lpBuffer, nSize);
}

UINT GlobalGetAtomName(ATOM nAtom, LPSTR lpBuffer, int nSize)
{
    return kernel::GlobalAtomTable().GetName(nAtom, lpBuffer, nSize);
}

ATOM DeleteAtom(ATOM nAtom)
{
    return kernel::LocalAtomTable().Delete(nAtom);
}

ATOM GlobalDeleteAtom(ATOM nAtom)
{
    return kernel::GlobalAtomTable().Delete(nAtom);
}
