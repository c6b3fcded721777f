#include "platform/core/Registry.h"

#include "platform/core/RegistryStore.h"
#include "platform/core/SystemTime.h"

#include <cstring>
#include <unordered_map>

namespace {

struct OpenKey {
    std::shared_ptr<CRegKeyNode> node;
    RegRoot root = RegRoot::CurrentUser;
    REGSAM access = 0;
    bool changed = false; // something was written through this handle
};

// Handles of opened keys; guarded by the store's lock. Numbers are never reused in a process,
// so a stale handle cannot reach another key.
std::unordered_map<uintptr_t, OpenKey>& Handles()
{
    static std::unordered_map<uintptr_t, OpenKey> handles;
    return handles;
}
uintptr_t g_nextHandle = 0x1000;

bool PredefinedRoot(HKEY hKey, RegRoot& root)
{
    if (hKey == HKEY_CURRENT_USER)
        root = RegRoot::CurrentUser;
    else if (hKey == HKEY_LOCAL_MACHINE)
        root = RegRoot::LocalMachine;
    else if (hKey == HKEY_CLASSES_ROOT)
        root = RegRoot::ClassesRoot;
    else
        return false;
    return true;
}

REGSAM FullAccess(RegRoot root)
{
    return CRegistryStore::IsWritable(root) ? KEY_ALL_ACCESS : KEY_READ;
}

// Resolves a handle to its key under the store's lock; the result is ERROR_SUCCESS or the error.
LONG Resolve(HKEY hKey, OpenKey& out)
{
    RegRoot root;
    if (PredefinedRoot(hKey, root)) {
        out.node = CRegistryStore::Instance().Root(root);
        out.root = root;
        out.access = FullAccess(root);
        return ERROR_SUCCESS;
    }
    auto& handles = Handles();
    auto it = handles.find(reinterpret_cast<uintptr_t>(hKey));
    if (it == handles.end())
        return ERROR_INVALID_HANDLE;
    if (it->second.node->deleted)
        return ERROR_KEY_DELETED;
    out = it->second;
    return ERROR_SUCCESS;
}

void NoteChange(HKEY hKey, RegRoot root)
{
    if (root != RegRoot::CurrentUser)
        return;
    CRegistryStore::Instance().MarkDirty();
    auto it = Handles().find(reinterpret_cast<uintptr_t>(hKey));
    if (it != Handles().end())
        it->second.changed = true;
}

HKEY NewHandle(const OpenKey& key)
{
    uintptr_t value = g_nextHandle;
    g_nextHandle += 4;
    Handles().emplace(value, key);
    return reinterpret_cast<HKEY>(value);
}

// Splits a subkey path into its names. Empty paths give no names; a trailing "\" is allowed.
LONG SplitPath(LPCSTR subKey, std::vector<std::string>& names)
{
    names.clear();
    if (!subKey)
        return ERROR_SUCCESS;
    std::string_view path(subKey);
    // A path names a key below the handle; a leading backslash (even alone) is no such path.
    if (!path.empty() && path.front() == '\\')
        return ERROR_BAD_PATHNAME;
    if (!path.empty() && path.back() == '\\')
        path.remove_suffix(1);
    if (path.empty())
        return ERROR_SUCCESS;
    size_t pos = 0;
    for (;;) {
        size_t slash = path.find('\\', pos);
        std::string_view part = path.substr(pos, slash == std::string_view::npos ? slash : slash - pos);
        if (part.empty())
            return ERROR_BAD_PATHNAME;
        if (part.size() > REG_MAX_KEY_NAME_LENGTH)
            return ERROR_INVALID_PARAMETER;
        names.emplace_back(part);
        if (slash == std::string_view::npos)
            return ERROR_SUCCESS;
        pos = slash + 1;
    }
}

std::shared_ptr<CRegKeyNode> Walk(std::shared_ptr<CRegKeyNode> node, const std::vector<std::string>& names)
{
    for (const std::string& name : names) {
        auto it = node->subkeys.find(name);
        if (it == node->subkeys.end())
            return nullptr;
        node = it->second;
    }
    return node;
}

REGSAM GrantedAccess(REGSAM desired, RegRoot root)
{
    if (desired & MAXIMUM_ALLOWED)
        return FullAccess(root);
    return desired;
}

bool WantsWrite(REGSAM access)
{
    return (access & (KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | DELETE)) != 0;
}

// Resolves a handle that must have been opened with the right `need`; a right that writes is
// refused under a root that is never written.
LONG ResolveFor(HKEY hKey, REGSAM need, OpenKey& out)
{
    LONG rc = Resolve(hKey, out);
    if (rc != ERROR_SUCCESS)
        return rc;
    if ((out.access & need) != need || (WantsWrite(need) && !CRegistryStore::IsWritable(out.root)))
        return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
}

// Brings caller bytes into the stored form of their type.
LONG NormalizeData(DWORD type, const BYTE* data, DWORD size, std::string& out)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    std::string_view raw(bytes ? bytes : "", bytes ? size : 0);
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        size_t nul = raw.find('\0');
        out.assign(raw.substr(0, nul));
        out += '\0';
        return ERROR_SUCCESS;
    }
    case REG_MULTI_SZ: {
        out.clear();
        size_t pos = 0;
        while (pos < raw.size() && raw[pos] != '\0') {
            size_t end = raw.find('\0', pos);
            if (end == std::string_view::npos)
                end = raw.size();
            out.append(raw.substr(pos, end - pos));
            out += '\0';
            pos = end + 1;
        }
        out += '\0';
        return ERROR_SUCCESS;
    }
    case REG_DWORD:
        if (size != 4)
            return ERROR_INVALID_PARAMETER;
        out.assign(raw);
        return ERROR_SUCCESS;
    default:
        out.assign(raw);
        return ERROR_SUCCESS;
    }
}

// Copies a value's bytes out by the query rules shared by RegQueryValueEx and RegEnumValue.
LONG CopyRegistryData(const CRegValue& value, LPDWORD type, LPBYTE data, LPDWORD size)
{
    if (type)
        *type = value.type;
    const DWORD needed = static_cast<DWORD>(value.data.size());
    if (!size)
        return data ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    if (!data) {
        *size = needed;
        return ERROR_SUCCESS;
    }
    if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (needed)
        std::memcpy(data, value.data.data(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

// Copies a name with its NUL into a buffer of *count characters; *count becomes its length.
LONG CopyName(const std::string& name, LPSTR buffer, LPDWORD count)
{
    if (!buffer || !count)
        return ERROR_INVALID_PARAMETER;
    if (*count < name.size() + 1)
        return ERROR_MORE_DATA;
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    *count = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

} // namespace

LONG RegOpenKeyEx(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    std::lock_guard lock(CRegistryStore::Instance().Mutex());
    OpenKey parent;
    LONG rc = Resolve(hKey, parent);
    if (rc != ERROR_SUCCESS)
        return rc;
    std::vector<std::string> names;
    if ((rc = SplitPath(lpSubKey, names)) != ERROR_SUCCESS)
        return rc;
    auto node = Walk(parent.node, names);
    if (!node)
        return ERROR_FILE_NOT_FOUND;
    REGSAM access = GrantedAccess(samDesired, parent.root);
    if (!CRegistryStore::IsWritable(parent.root) && WantsWrite(access))
        return ERROR_ACCESS_DENIED;
    *phkResult = NewHandle(OpenKey{node, parent.root, access, false});
    return ERROR_SUCCESS;
}

LONG RegOpenKey(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult)
{
    return RegOpenKeyEx(hKey, lpSubKey, 0, MAXIMUM_ALLOWED, phkResult);
}

LONG RegCreateKeyEx(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD dwOptions, REGSAM samDesired,
                    void*, PHKEY phkResult, LPDWORD lpdwDisposition)
{
    if (!phkResult || !lpSubKey)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    std::lock_guard lock(CRegistryStore::Instance().Mutex());
    OpenKey parent;
    LONG rc = Resolve(hKey, parent);
    if (rc != ERROR_SUCCESS)
        return rc;
    std::vector<std::string> names;
    if ((rc = SplitPath(lpSubKey, names)) != ERROR_SUCCESS)
        return rc;
    REGSAM access = GrantedAccess(samDesired, parent.root);
    if (!CRegistryStore::IsWritable(parent.root) && WantsWrite(access))
        return ERROR_ACCESS_DENIED;

    auto node = parent.node;
    size_t existing = 0;
    while (existing < names.size()) {
        auto it = node->subkeys.find(names[existing]);
        if (it == node->subkeys.end())
            break;
        node = it->second;
        ++existing;
    }
    const bool creates = existing < names.size();
    if (creates) {
        if (!CRegistryStore::IsWritable(parent.root) || !(parent.access & KEY_CREATE_SUB_KEY))
            return ERROR_ACCESS_DENIED;
        // The file keeps no deeper key than it can read back.
        size_t depth = names.size() - existing;
        for (const CRegKeyNode* up = node.get(); up->parent != nullptr; up = up->parent)
            ++depth;
        if (depth > CRegistryStore::kMaxKeyDepth)
            return ERROR_INVALID_PARAMETER;
        // A volatile parent only takes volatile children, so nothing persistent hangs below a
        // key that will not be written.
        const bool isVolatile = node->isVolatile || (dwOptions & REG_OPTION_VOLATILE);
        for (size_t i = existing; i < names.size(); ++i) {
            auto child = std::make_shared<CRegKeyNode>();
            child->name = names[i];
            child->parent = node.get();
            child->isVolatile = isVolatile;
            node->subkeys.emplace(names[i], child);
            node = child;
        }
    }
    if (lpdwDisposition)
        *lpdwDisposition = creates ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *phkResult = NewHandle(OpenKey{node, parent.root, access, false});
    if (creates)
        NoteChange(*phkResult, parent.root);
    return ERROR_SUCCESS;
}

LONG RegCreateKey(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult)
{
    return RegCreateKeyEx(hKey, lpSubKey ? lpSubKey : "", 0, nullptr, REG_OPTION_NON_VOLATILE,
                          MAXIMUM_ALLOWED, nullptr, phkResult, nullptr);
}

LONG RegCloseKey(HKEY hKey)
{
    auto& store = CRegistryStore::Instance();
    bool changed = false;
    {
        std::lock_guard lock(store.Mutex());
        RegRoot root;
        if (PredefinedRoot(hKey, root))
            return ERROR_SUCCESS;
        auto it = Handles().find(reinterpret_cast<uintptr_t>(hKey));
        if (it == Handles().end())
            return ERROR_INVALID_HANDLE;
        changed = it->second.changed;
        Handles().erase(it);
    }
    if (changed)
        store.Flush();
    return ERROR_SUCCESS;
}

LONG RegFlushKey(HKEY hKey)
{
    auto& store = CRegistryStore::Instance();
    {
        std::lock_guard lock(store.Mutex());
        OpenKey key;
        LONG rc = Resolve(hKey, key);
        if (rc != ERROR_SUCCESS)
            return rc;
    }
    return store.FlushNow() ? ERROR_SUCCESS : ERROR_CANTWRITE;
}

LONG RegQueryValueEx(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData,
                     LPDWORD lpcbData)
{
    if (lpData && !lpcbData)
        return ERROR_INVALID_PARAMETER;
    std::lock_guard lock(CRegistryStore::Instance().Mutex());
    OpenKey key;
    LONG rc = ResolveFor(hKey, KEY_QUERY_VALUE, key);
    if (rc != ERROR_SUCCESS)
        return rc;
    const CRegValue* value = key.node->FindValue(lpValueName ? lpValueName : "");
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    return CopyRegistryData(*value, lpType, lpData, lpcbData);
}

LONG RegSetValueEx(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData)
{
    if (!lpData && cbData)
        return ERROR_NOACCESS;
    std::string name = lpValueName ? lpValueName : "";
    if (name.size() > REG_MAX_VALUE_NAME_LENGTH)
        return ERROR_INVALID_PARAMETER;
    std::string data;
    LONG rc = NormalizeData(dwType, lpData, cbData, data);
    if (rc != ERROR_SUCCESS)
        return rc;
    std::lock_guard lock(CRegistryStore::Instance().Mutex());
    OpenKey key;
    if ((rc = ResolveFor(hKey, KEY_SET_VALUE, key)) != ERROR_SUCCESS)
        return rc;
    if (CRegValue* value = key.node->FindValue(name)) {
        value->type = dwType;
        value->data = std::move(data);
    } else {
        key.node->values.push_back(CRegValue{std::move(name), dwType, std::move(data)});
    }
    NoteChange(hKey, key.root);
    return ERROR_SUCCESS;
}

LONG RegDeleteValue(HKEY hKey, LPCSTR lpValueName)
{
    std::lock_guard lock(CRegistryStore::Instance().Mutex());
    OpenKey key;
    LONG rc = ResolveFor(hKey, KEY_SET_VALUE, key);
    if (rc != ERROR_SUCCESS)
        return rc;
    auto& values = key.node->values;
    std::string_view name = lpValueName ? lpValueName : "";
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (RegNamesEqual(it->name, name)) {
            values.erase(it);
            NoteChange(hKey, key.root);
            return ERROR_SUCCESS;
        }
    }
    return ERROR_FILE_NOT_FOUND;
}

LONG RegDeleteKey(HKEY hKey, LPCSTR lpSubKey)
{
    if (!lpSubKey)
        return ERROR_INVALID_PARAMETER;
    auto& store = CRegistryStore::Instance();
    {
        std::lock_guard lock(store.Mutex());
        OpenKey key;
        LONG rc = Resolve(hKey, key);
        if (rc != ERROR_SUCCESS)
            return rc;
        std::vector<std::string> names;
        if ((rc = SplitPath(lpSubKey, names)) != ERROR_SUCCESS)
            return rc;
        auto target = Walk(key.node, names);
        if (!target)
            return ERROR_FILE_NOT_FOUND;
        if (!CRegistryStore::IsWritable(key.root) || !target->parent || !target->subkeys.empty())
            return ERROR_ACCESS_DENIED;
        CRegKeyNode* parent = target->parent;
        target->MarkDeleted();
        parent->subkeys.erase(target->name);
        if (key.root == RegRoot::CurrentUser)
            store.MarkDirty();
    }
    // Deleting through a handle that is never closed, such as a predefined root, still reaches
    // the file promptly.
    store.Flush();
    return ERROR_SUCCESS;
}

LONG RegEnumKeyEx(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD, LPSTR lpClass,
                  LPDWORD lpcchClass, FILETIME* lpftLastWriteTime)
{
    std::lock_guard lock(CRegistryStore::Instance().Mutex());
    OpenKey key;
    LONG rc = ResolveFor(hKey, KEY_ENUMERATE_SUB_KEYS, key);
    if (rc != ERROR_SUCCESS)
        return rc;
    const auto& subkeys = key.node->subkeys;
    if (dwIndex >= subkeys.size())
        return ERROR_NO_MORE_ITEMS;
    auto it = subkeys.begin();
    std::advance(it, dwIndex);
    if ((rc = CopyName(it->second->name, lpName, lpcchName)) != ERROR_SUCCESS)
        return rc;
    if (lpClass && lpcchClass && *lpcchClass > 0) {
        lpClass[0] = '\0';
        *lpcchClass = 0;
    }
    if (lpftLastWriteTime)
        *lpftLastWriteTime = FILETIME{};
    return ERROR_SUCCESS;
}

LONG RegEnumKey(HKEY hKey, DWORD dwIndex, LPSTR lpName, DWORD cchName)
{
    return RegEnumKeyEx(hKey, dwIndex, lpName, &cchName, nullptr, nullptr, nullptr, nullptr);
}

LONG RegEnumValue(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD,
                  LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    if (lpData && !lpcbData)
        return ERROR_INVALID_PARAMETER;
    std::lock_guard lock(CRegistryStore::Instance().Mutex());
    OpenKey key;
    LONG rc = ResolveFor(hKey, KEY_QUERY_VALUE, key);
    if (rc != ERROR_SUCCESS)
        return rc;
    const auto& values = key.node->values;
    if (dwIndex >= values.size())
        return ERROR_NO_MORE_ITEMS;
    const CRegValue& value = values[dwIndex];
    if ((rc = CopyName(value.name, lpValueName, lpcchValueName)) != ERROR_SUCCESS)
        return rc;
    return CopyRegistryData(value, lpType, lpData, lpcbData);
}

LONG RegQueryInfoKey(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD, LPDWORD lpcSubKeys,
                     LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                     LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                     LPDWORD lpcbSecurityDescriptor, FILETIME* lpftLastWriteTime)
{
    std::lock_guard lock(CRegistryStore::Instance().Mutex());
    OpenKey key;
    LONG rc = Resolve(hKey, key);
    if (rc != ERROR_SUCCESS)
        return rc;
    const CRegKeyNode& node = *key.node;
    if (lpClass && lpcchClass && *lpcchClass > 0)
        lpClass[0] = '\0';
    if (lpcchClass)
        *lpcchClass = 0;
    if (lpcSubKeys)
        *lpcSubKeys = static_cast<DWORD>(node.subkeys.size());
    if (lpcbMaxSubKeyLen) {
        size_t longest = 0;
        for (const auto& [name, child] : node.subkeys)
            longest = std::max(longest, child->name.size());
        *lpcbMaxSubKeyLen = static_cast<DWORD>(longest);
    }
    if (lpcbMaxClassLen)
        *lpcbMaxClassLen = 0;
    if (lpcValues)
        *lpcValues = static_cast<DWORD>(node.values.size());
    size_t longestName = 0;
    size_t longestData = 0;
    for (const CRegValue& value : node.values) {
        longestName = std::max(longestName, value.name.size());
        longestData = std::max(longestData, value.data.size());
    }
    if (lpcbMaxValueNameLen)
        *lpcbMaxValueNameLen = static_cast<DWORD>(longestName);
    if (lpcbMaxValueLen)
        *lpcbMaxValueLen = static_cast<DWORD>(longestData);
    if (lpcbSecurityDescriptor)
        *lpcbSecurityDescriptor = 0;
    if (lpftLastWriteTime)
        *lpftLastWriteTime = FILETIME{};
    return ERROR_SUCCESS;
}
