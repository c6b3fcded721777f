// Feeds arbitrary bytes as a private INI file: every section and key it lists reads back, and a
// value written into it reads back as written while the file's other lines stay readable.
#include "platform/core/PrivateProfile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::string> List(const std::vector<char>& buffer, DWORD nLength)
{
    std::vector<std::string> items;
    for (DWORD at = 0; at < nLength && buffer[at] != '\0';) {
        items.emplace_back(&buffer[at]);
        at += static_cast<DWORD>(items.back().size()) + 1;
    }
    return items;
}

const std::string& FilePath()
{
    static const std::string s_path = [] {
        char name[] = "/tmp/vostrel-fuzz-ini-XXXXXX";
        const int fd = mkstemp(name);
        if (fd >= 0)
            close(fd);
        return std::string(name);
    }();
    return s_path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1u << 16)
        return 0;
    const std::string& path = FilePath();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    std::vector<char> buffer(1u << 17);
    const DWORD nSections = GetPrivateProfileSectionNames(buffer.data(), static_cast<DWORD>(buffer.size()), path.c_str());
    if (nSections >= buffer.size())
        std::abort();
    const std::vector<std::string> sections = List(buffer, nSections);
    for (const std::string& section : sections) {
        std::vector<char> keys(1u << 17);
        const DWORD nKeys = GetPrivateProfileString(section.c_str(), nullptr, "", keys.data(),
                                                    static_cast<DWORD>(keys.size()), path.c_str());
        for (const std::string& key : List(keys, nKeys)) {
            std::vector<char> value(1u << 17);
            GetPrivateProfileString(section.c_str(), key.c_str(), "", value.data(), static_cast<DWORD>(value.size()),
                                    path.c_str());
            (void)GetPrivateProfileInt(section.c_str(), key.c_str(), 7, path.c_str());
        }
        GetPrivateProfileSection(section.c_str(), keys.data(), static_cast<DWORD>(keys.size()), path.c_str());
    }

    // A write reads back as written, and every section that was listed still is.
    if (!WritePrivateProfileString("Fuzz Section", "Fuzz Key", "value = 42", path.c_str()))
        return 0;
    char value[64] = {};
    GetPrivateProfileString("Fuzz Section", "Fuzz Key", "", value, sizeof value, path.c_str());
    if (std::strcmp(value, "value = 42") != 0)
        std::abort();
    const DWORD nAfter = GetPrivateProfileSectionNames(buffer.data(), static_cast<DWORD>(buffer.size()), path.c_str());
    const std::vector<std::string> after = List(buffer, nAfter);
    for (const std::string& section : sections) {
        bool bFound = false;
        for (const std::string& other : after)
            bFound = bFound || strcasecmp(other.c_str(), section.c_str()) == 0;
        if (!bFound)
            std::abort();
    }
    return 0;
}
