#include "platform/core/CrtStrings.h"

#include <cstring>
#include <string>

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

void CopyPart(char* out, size_t size, const char* from, size_t length)
{
    if (out == nullptr)
        return;
    if (length >= size)
        length = size - 1;
    std::memcpy(out, from, length);
    out[length] = '\0';
}

} // namespace

char* _strlwr(char* str)
{
    for (char* p = str; p != nullptr && *p != '\0'; ++p)
        *p = Lower(*p);
    return str;
}

char* _strupr(char* str)
{
    for (char* p = str; p != nullptr && *p != '\0'; ++p)
        *p = Upper(*p);
    return str;
}

int _strnicmp(const char* a, const char* b, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        int ca = static_cast<unsigned char>(Lower(a[i]));
        int cb = static_cast<unsigned char>(Lower(b[i]));
        if (ca != cb)
            return ca - cb;
        if (ca == 0)
            break;
    }
    return 0;
}

int _stricmp(const char* a, const char* b)
{
    return _strnicmp(a, b, static_cast<size_t>(-1));
}

void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext)
{
    if (path == nullptr)
        path = "";
    CopyPart(drive, _MAX_DRIVE, "", 0);
    const char* slash = std::strrchr(path, '/');
    const char* name = slash != nullptr ? slash + 1 : path;
    CopyPart(dir, _MAX_DIR, path, static_cast<size_t>(name - path));
    const char* dot = std::strrchr(name, '.');
    if (dot == nullptr)
        dot = name + std::strlen(name);
    CopyPart(fname, _MAX_FNAME, name, static_cast<size_t>(dot - name));
    CopyPart(ext, _MAX_EXT, dot, std::strlen(dot));
}

void _makepath(char* path, const char* /*drive*/, const char* dir, const char* fname, const char* ext)
{
    if (path == nullptr)
        return;
    std::string out;
    if (dir != nullptr && *dir != '\0') {
        out = dir;
        if (out.back() != '/')
            out += '/';
    }
    if (fname != nullptr)
        out += fname;
    if (ext != nullptr && *ext != '\0') {
        if (*ext != '.')
            out += '.';
        out += ext;
    }
    CopyPart(path, _MAX_PATH, out.data(), out.size());
}
