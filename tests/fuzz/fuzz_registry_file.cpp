// Feeds arbitrary text to the registry file reader. Whatever it accepts, the writer writes in a
// form the reader accepts again, and that form is stable: read, write, read, write gives the same
// text twice, and the second tree holds the same keys and values as the first.
#include "platform/core/RegistryStore.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool SameTree(const CRegKeyNode& a, const CRegKeyNode& b)
{
    std::vector<std::pair<const CRegKeyNode*, const CRegKeyNode*>> stack{{&a, &b}};
    while (!stack.empty()) {
        auto [x, y] = stack.back();
        stack.pop_back();
        if (x->name != y->name || x->values.size() != y->values.size() || x->subkeys.size() != y->subkeys.size())
            return false;
        for (size_t i = 0; i < x->values.size(); ++i) {
            const CRegValue& u = x->values[i];
            const CRegValue& v = y->values[i];
            if (u.name != v.name || u.type != v.type || u.data != v.data)
                return false;
        }
        for (auto i = x->subkeys.begin(), j = y->subkeys.begin(); i != x->subkeys.end(); ++i, ++j)
            stack.push_back({i->second.get(), j->second.get()});
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1u << 18)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CRegKeyNode first;
    first.name = "HKEY_CURRENT_USER";
    std::string error;
    if (!CRegistryStore::Parse(text, first, error))
        return 0;
    const std::string written = CRegistryStore::Serialize(first);
    CRegKeyNode second;
    second.name = first.name;
    if (!CRegistryStore::Parse(written, second, error))
        std::abort(); // the writer wrote what its own reader refuses
    if (!SameTree(first, second))
        std::abort();
    if (CRegistryStore::Serialize(second) != written)
        std::abort();
    return 0;
}
