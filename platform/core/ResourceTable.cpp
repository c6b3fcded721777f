#include "platform/core/ResourceTable.h"

#include "platform/core/CString.h"
#include "platform/core/SystemServices.h"
#include "platform/core/VersionInfo.h"
#include "platform/core/WinError.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

// A type or name as the table compares it: an id, or an upper-case string.
struct ResourceKey {
    bool isId = false;
    WORD id = 0;
    std::string text;

    auto operator<=>(const ResourceKey&) const = default;
};

bool MakeKey(LPCSTR value, ResourceKey& key)
{
    if (value == nullptr)
        return false;
    if (IS_INTRESOURCE(value)) {
        key.isId = true;
        key.id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(value));
        return true;
    }
    if (value[0] == '#' && value[1] != '\0') {
        unsigned long id = 0;
        const char* p = value + 1;
        while (*p >= '0' && *p <= '9' && id <= 0xFFFF)
            id = id * 10 + static_cast<unsigned long>(*p++ - '0');
        if (*p == '\0' && id <= 0xFFFF) {
            key.isId = true;
            key.id = static_cast<WORD>(id);
            return true;
        }
    }
    key.text = value;
    for (char& c : key.text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return true;
}

struct Module {
    std::string name;
    HMODULE handle = nullptr;
    std::vector<const ResourceModuleTable*> tables;
    std::map<std::pair<ResourceKey, ResourceKey>, const ResourceEntry*> entries;
    std::map<ResourceKey, int> typeCounts;
};

struct ModuleRegistry {
    std::mutex mutex;
    // The program's module first, then the libraries in registration order; never shrinks, so
    // Module pointers stay valid.
    std::vector<std::unique_ptr<Module>> modules;
    std::unordered_set<const ResourceEntry*> known;
};

ModuleRegistry& TheModuleRegistry()
{
    static ModuleRegistry registry;
    return registry;
}

bool IsProgramName(std::string_view name)
{
    return name.empty() || name == "program";
}

std::string UpperName(LPCSTR name)
{
    ResourceKey key;
    MakeKey(name ? name : "", key);
    return key.text;
}

// Library handles sit apart from the version-only modules' pseudo handles.
HMODULE LibraryHandle(size_t index)
{
    return reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x7E000000u + (index + 1) * 0x10000u));
}

Module* FindModuleLocked(ModuleRegistry& registry, HMODULE handle)
{
    if (handle == nullptr)
        handle = VOSTREL_PROGRAM_INSTANCE;
    for (auto& module : registry.modules)
        if (module->handle == handle)
            return module.get();
    return nullptr;
}

const ResourceEntry* FindModuleLocked(const Module& module, const ResourceKey& type, const ResourceKey& name)
{
    auto it = module.entries.find({type, name});
    return it == module.entries.end() ? nullptr : it->second;
}

// The modules in search order: the program first, then the libraries as registered.
std::vector<const Module*> SearchOrderLocked(ModuleRegistry& registry)
{
    std::vector<const Module*> order;
    for (auto& module : registry.modules)
        if (module->handle == VOSTREL_PROGRAM_INSTANCE)
            order.push_back(module.get());
    for (auto& module : registry.modules)
        if (module->handle != VOSTREL_PROGRAM_INSTANCE)
            order.push_back(module.get());
    return order;
}

std::atomic<AFX_STRING_RESOURCE_HOOK> g_previousHook{nullptr};

LPCTSTR StringHook(UINT nID)
{
    if (LPCSTR text = FindResourceString(nID))
        return text;
    AFX_STRING_RESOURCE_HOOK previous = g_previousHook.load();
    return previous ? previous(nID) : nullptr;
}

void InstallStringHook()
{
    static std::once_flag s_once;
    std::call_once(s_once, [] { g_previousHook.store(AfxSetStringResourceHook(&StringHook)); });
}

LPCSTR FindStringLocked(const Module& module, UINT uID, int* length)
{
    ResourceKey type, name;
    MakeKey(RT_STRING, type);
    MakeKey(MAKEINTRESOURCE(StringBlockId(uID)), name);
    const ResourceEntry* entry = uID <= 0xFFFF ? FindModuleLocked(module, type, name) : nullptr;
    if (!entry)
        return nullptr;
    int n = 0;
    LPCSTR text = FindStringInBlock(entry->data, entry->size, StringBlockIndex(uID), &n);
    if (!text || n == 0)
        return nullptr;
    if (length)
        *length = n;
    return text;
}

} // namespace

HMODULE RegisterResourceModule(const ResourceModuleTable& table)
{
    ModuleRegistry& registry = TheModuleRegistry();
    const ResourceEntry* version = nullptr;
    HMODULE handle = nullptr;
    {
        std::lock_guard lock(registry.mutex);
        const std::string name = UpperName(table.moduleName);
        const bool program = IsProgramName(table.moduleName ? std::string_view(table.moduleName) : std::string_view());
        Module* module = nullptr;
        for (auto& candidate : registry.modules)
            if (candidate->name == (program ? std::string() : name))
                module = candidate.get();
        if (!module) {
            auto created = std::make_unique<Module>();
            created->name = program ? std::string() : name;
            created->handle = program ? VOSTREL_PROGRAM_INSTANCE : LibraryHandle(registry.modules.size());
            registry.modules.push_back(std::move(created));
            module = registry.modules.back().get();
        }
        handle = module->handle;
        if (std::find(module->tables.begin(), module->tables.end(), &table) != module->tables.end())
            return handle;
        module->tables.push_back(&table);
        for (size_t i = 0; i < table.count; ++i) {
            const ResourceEntry& entry = table.entries[i];
            ResourceKey type, key;
            if (!MakeKey(entry.type, type) || !MakeKey(entry.name, key))
                continue;
            auto [it, added] = module->entries.emplace(std::make_pair(type, key), &entry);
            if (!added) {
                std::fprintf(stderr, "resources: module \"%s\" has resource %s%s of type %s%s twice; the first is kept\n",
                             program ? "program" : name.c_str(), key.isId ? "#" : "",
                             key.isId ? std::to_string(key.id).c_str() : key.text.c_str(), type.isId ? "#" : "",
                             type.isId ? std::to_string(type.id).c_str() : type.text.c_str());
                continue;
            }
            registry.known.insert(&entry);
            if (program && type.isId && type.id == 16 && key.isId && key.id == VS_VERSION_INFO)
                version = &entry;
        }
    }
    InstallStringHook();
    if (version) {
        ModuleVersion parsed;
        if (ParseVersionBlock(version->data, version->size, parsed))
            SetProgramVersion(parsed);
    }
    return handle;
}

HMODULE FindResourceModule(LPCSTR moduleName)
{
    if (!moduleName)
        return nullptr;
    ModuleRegistry& registry = TheModuleRegistry();
    std::lock_guard lock(registry.mutex);
    const std::string name = UpperName(moduleName);
    for (auto& module : registry.modules)
        if (module->handle != VOSTREL_PROGRAM_INSTANCE && module->name == name)
            return module->handle;
    return nullptr;
}

HRSRC FindResource(HMODULE hModule, LPCSTR lpName, LPCSTR lpType)
{
    ResourceKey type, name;
    if (!MakeKey(lpType, type) || !MakeKey(lpName, name)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    ModuleRegistry& registry = TheModuleRegistry();
    std::lock_guard lock(registry.mutex);
    Module* module = FindModuleLocked(registry, hModule);
    if (module) {
        if (const ResourceEntry* entry = FindModuleLocked(*module, type, name))
            return reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(entry));
        auto firstOfType = module->entries.lower_bound({type, ResourceKey{}});
        if (firstOfType != module->entries.end() && firstOfType->first.first == type) {
            SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
            return nullptr;
        }
    }
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
}

namespace {

const ResourceEntry* KnownEntry(HRSRC hResInfo)
{
    auto* entry = reinterpret_cast<const ResourceEntry*>(hResInfo);
    ModuleRegistry& registry = TheModuleRegistry();
    std::lock_guard lock(registry.mutex);
    return entry && registry.known.count(entry) ? entry : nullptr;
}

} // namespace

HGLOBAL LoadResource(HMODULE, HRSRC hResInfo)
{
    const ResourceEntry* entry = KnownEntry(hResInfo);
    if (!entry) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return const_cast<BYTE*>(entry->data);
}

LPVOID LockResource(HGLOBAL hResData)
{
    return hResData;
}

DWORD SizeofResource(HMODULE, HRSRC hResInfo)
{
    const ResourceEntry* entry = KnownEntry(hResInfo);
    if (!entry) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return entry->size;
}

BOOL FreeResource(HGLOBAL)
{
    return FALSE;
}

HINSTANCE AfxFindResourceHandle(LPCSTR lpszName, LPCSTR lpszType)
{
    ResourceKey type, name;
    if (!MakeKey(lpszType, type) || !MakeKey(lpszName, name))
        return nullptr;
    ModuleRegistry& registry = TheModuleRegistry();
    std::lock_guard lock(registry.mutex);
    for (const Module* module : SearchOrderLocked(registry))
        if (FindModuleLocked(*module, type, name))
            return module->handle;
    return nullptr;
}

int LoadString(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax)
{
    if (!lpBuffer || cchBufferMax < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int length = 0;
    LPCSTR text = nullptr;
    {
        ModuleRegistry& registry = TheModuleRegistry();
        std::lock_guard lock(registry.mutex);
        if (const Module* module = FindModuleLocked(registry, hInstance))
            text = FindStringLocked(*module, uID, &length);
    }
    if (cchBufferMax == 0) {
        std::memcpy(lpBuffer, &text, sizeof text);
        if (!text)
            SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return text ? length : 0;
    }
    if (!text) {
        lpBuffer[0] = '\0';
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    int copied = std::min(length, cchBufferMax - 1);
    // A cut never leaves half a character behind.
    if (copied < length)
        while (copied > 0 && (static_cast<unsigned char>(text[copied]) & 0xC0) == 0x80)
            --copied;
    std::memcpy(lpBuffer, text, static_cast<size_t>(copied));
    lpBuffer[copied] = '\0';
    return copied;
}

LPCSTR FindResourceString(UINT uID)
{
    ModuleRegistry& registry = TheModuleRegistry();
    std::lock_guard lock(registry.mutex);
    for (const Module* module : SearchOrderLocked(registry))
        if (LPCSTR text = FindStringLocked(*module, uID, nullptr))
            return text;
    return nullptr;
}
