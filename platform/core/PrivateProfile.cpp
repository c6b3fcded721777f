#include "platform/core/PrivateProfile.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/CodePage.h"
#include "platform/core/UserDirs.h"
#include "platform/core/WinError.h"

#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace {

bool IsProfileBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsProfileBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsProfileBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// One line of the file as read, with what it means.
struct IniLine {
    enum class Kind { Other, Section, Key };
    Kind kind = Kind::Other;
    std::string text; // the line as it stands in the file, without its line end
    std::string name; // section or key name, trimmed
    std::string value; // key value, trimmed, quotes kept
};

struct IniFile {
    std::vector<IniLine> lines;
    bool crlf = false;

    // Index of the first header of the section, or npos.
    size_t FindSection(std::string_view section) const
    {
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].kind == IniLine::Kind::Section && AsciiEqualNoCase(lines[i].name, section))
                return i;
        return std::string::npos;
    }
    // One past the last line of the section that starts at header.
    size_t SectionEnd(size_t header) const
    {
        size_t i = header + 1;
        while (i < lines.size() && lines[i].kind != IniLine::Kind::Section)
            ++i;
        return i;
    }
    size_t FindKey(size_t header, std::string_view key) const
    {
        size_t end = SectionEnd(header);
        for (size_t i = header + 1; i < end; ++i)
            if (lines[i].kind == IniLine::Kind::Key && AsciiEqualNoCase(lines[i].name, key))
                return i;
        return std::string::npos;
    }
};

IniLine ParseLine(std::string_view text)
{
    IniLine line;
    line.text = text;
    std::string_view trimmed = Trim(text);
    if (trimmed.empty() || trimmed.front() == ';')
        return line;
    if (trimmed.front() == '[') {
        size_t close = trimmed.rfind(']');
        std::string_view name = close == std::string_view::npos || close == 0
            ? trimmed.substr(1)
            : trimmed.substr(1, close - 1);
        line.kind = IniLine::Kind::Section;
        line.name = Trim(name);
        return line;
    }
    size_t eq = trimmed.find('=');
    if (eq == std::string_view::npos)
        return line;
    line.kind = IniLine::Kind::Key;
    line.name = Trim(trimmed.substr(0, eq));
    line.value = Trim(trimmed.substr(eq + 1));
    return line;
}

IniFile ParseIni(std::string_view text)
{
    IniFile file;
    file.crlf = text.find("\r\n") != std::string_view::npos;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        file.lines.push_back(ParseLine(line));
        pos = end + 1;
    }
    return file;
}

std::string SerializeIni(const IniFile& file)
{
    std::string out;
    const char* eol = file.crlf ? "\r\n" : "\n";
    for (const IniLine& line : file.lines) {
        out += line.text;
        out += eol;
    }
    return out;
}

// Parsed files by path, reused while the file on disk stays the same.
struct CacheEntry {
    struct timespec mtime {};
    off_t size = 0;
    ino_t inode = 0;
    std::shared_ptr<const IniFile> file;
};

std::mutex g_mutex;
std::map<std::string, CacheEntry> g_cache;

// Reads the file under g_mutex; null when it does not exist or cannot be read.
std::shared_ptr<const IniFile> LoadLocked(const std::string& path, int& error)
{
    struct stat st{};
    if (stat(path.c_str(), &st) != 0) {
        error = errno;
        g_cache.erase(path);
        return nullptr;
    }
    auto it = g_cache.find(path);
    if (it != g_cache.end() && it->second.size == st.st_size && it->second.inode == st.st_ino
        && it->second.mtime.tv_sec == st.st_mtim.tv_sec
        && it->second.mtime.tv_nsec == st.st_mtim.tv_nsec)
        return it->second.file;
    std::string text;
    error = ReadWholeFile(path, text);
    if (error != 0)
        return nullptr;
    auto file = std::make_shared<const IniFile>(ParseIni(text));
    if (g_cache.size() >= 16)
        g_cache.clear();
    g_cache[path] = CacheEntry{st.st_mtim, st.st_size, st.st_ino, file};
    return file;
}

std::shared_ptr<const IniFile> Load(LPCSTR fileName)
{
    std::string path = ResolvePrivateProfilePath(fileName);
    std::lock_guard lock(g_mutex);
    int error = 0;
    auto file = LoadLocked(path, error);
    SetLastError(file ? ERROR_SUCCESS : ErrnoToLastError(error));
    return file;
}

std::string StripQuotes(const std::string& value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

DWORD CopyValue(std::string_view value, LPSTR buffer, DWORD size)
{
    if (!buffer || size == 0)
        return 0;
    if (value.size() >= size) {
        std::memcpy(buffer, value.data(), size - 1);
        buffer[size - 1] = '\0';
        return size - 1;
    }
    std::memcpy(buffer, value.data(), value.size());
    buffer[value.size()] = '\0';
    return static_cast<DWORD>(value.size());
}

// Copies NUL-separated items (each already followed by its NUL) and the final NUL.
DWORD CopyList(const std::string& items, LPSTR buffer, DWORD size)
{
    if (!buffer || size == 0)
        return 0;
    if (items.size() + 1 <= size) {
        std::memcpy(buffer, items.data(), items.size());
        buffer[items.size()] = '\0';
        if (items.empty() && size > 1)
            buffer[1] = '\0';
        return static_cast<DWORD>(items.size());
    }
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    std::memcpy(buffer, items.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

bool HasLineBreak(LPCSTR text)
{
    return text && std::strpbrk(text, "\r\n") != nullptr;
}

} // namespace

std::string ResolvePrivateProfilePath(LPCSTR lpFileName)
{
    std::string name = lpFileName ? lpFileName : "";
    if (name.find('/') != std::string::npos)
        return name;
    return GetUserConfigDir() + "/" + name;
}

DWORD GetPrivateProfileString(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                              LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName)
{
    if (!lpFileName)
        lpFileName = "win.ini";
    auto file = Load(lpFileName);
    if (!lpAppName) {
        std::string items;
        if (file)
            for (const IniLine& line : file->lines)
                if (line.kind == IniLine::Kind::Section) {
                    items += line.name;
                    items += '\0';
                }
        return CopyList(items, lpReturnedString, nSize);
    }
    size_t header = file ? file->FindSection(lpAppName) : std::string::npos;
    if (!lpKeyName) {
        std::string items;
        if (header != std::string::npos) {
            size_t end = file->SectionEnd(header);
            for (size_t i = header + 1; i < end; ++i)
                if (file->lines[i].kind == IniLine::Kind::Key) {
                    items += file->lines[i].name;
                    items += '\0';
                }
        }
        return CopyList(items, lpReturnedString, nSize);
    }
    size_t keyLine = header != std::string::npos ? file->FindKey(header, lpKeyName) : std::string::npos;
    if (keyLine != std::string::npos)
        return CopyValue(StripQuotes(file->lines[keyLine].value), lpReturnedString, nSize);
    std::string_view fallback = lpDefault ? lpDefault : "";
    while (!fallback.empty() && (fallback.back() == ' ' || fallback.back() == '\t'))
        fallback.remove_suffix(1);
    return CopyValue(fallback, lpReturnedString, nSize);
}

UINT GetPrivateProfileInt(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault, LPCSTR lpFileName)
{
    char buffer[256];
    DWORD length = GetPrivateProfileString(lpAppName, lpKeyName, "", buffer, sizeof buffer, lpFileName);
    if (length == 0)
        return static_cast<UINT>(nDefault);
    const char* p = buffer;
    while (*p == ' ' || *p == '\t')
        ++p;
    bool negative = false;
    if (*p == '-' || *p == '+')
        negative = *p++ == '-';
    UINT value = 0;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        for (p += 2;; ++p) {
            int digit;
            if (*p >= '0' && *p <= '9')
                digit = *p - '0';
            else if (*p >= 'a' && *p <= 'f')
                digit = *p - 'a' + 10;
            else if (*p >= 'A' && *p <= 'F')
                digit = *p - 'A' + 10;
            else
                break;
            value = value * 16u + static_cast<UINT>(digit);
        }
    } else {
        for (; *p >= '0' && *p <= '9'; ++p)
            value = value * 10u + static_cast<UINT>(*p - '0');
    }
    return negative ? 0u - value : value;
}

DWORD GetPrivateProfileSectionNames(LPSTR lpszReturnBuffer, DWORD nSize, LPCSTR lpFileName)
{
    return GetPrivateProfileString(nullptr, nullptr, nullptr, lpszReturnBuffer, nSize, lpFileName);
}

DWORD GetPrivateProfileSection(LPCSTR lpAppName, LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName)
{
    if (!lpAppName)
        return CopyList({}, lpReturnedString, nSize);
    auto file = Load(lpFileName ? lpFileName : "win.ini");
    std::string items;
    size_t header = file ? file->FindSection(lpAppName) : std::string::npos;
    if (header != std::string::npos) {
        size_t end = file->SectionEnd(header);
        for (size_t i = header + 1; i < end; ++i)
            if (file->lines[i].kind == IniLine::Kind::Key) {
                items += file->lines[i].name + "=" + file->lines[i].value;
                items += '\0';
            }
    }
    return CopyList(items, lpReturnedString, nSize);
}

BOOL WritePrivateProfileString(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName)
{
    if (!lpAppName) {
        // Nothing to write: the call only asks for cached data to be flushed, and there is none.
        SetLastError(ERROR_SUCCESS);
        return lpKeyName == nullptr && lpString == nullptr ? TRUE : FALSE;
    }
    std::string_view section = Trim(lpAppName);
    std::string_view key = lpKeyName ? Trim(lpKeyName) : std::string_view();
    if (HasLineBreak(lpAppName) || HasLineBreak(lpKeyName) || HasLineBreak(lpString)
        || section.find(']') != std::string_view::npos || key.find('=') != std::string_view::npos
        || (lpKeyName && (key.empty() || key.front() == '[' || key.front() == ';'))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }

    const std::string path = ResolvePrivateProfilePath(lpFileName ? lpFileName : "win.ini");
    std::lock_guard lock(g_mutex);
    int error = 0;
    auto loaded = LoadLocked(path, error);
    if (!loaded && error != ENOENT) {
        SetLastError(ErrnoToLastError(error));
        return FALSE;
    }
    IniFile file = loaded ? *loaded : IniFile{};

    size_t header = file.FindSection(section);
    bool changed = false;
    if (!lpKeyName) {
        if (header != std::string::npos) {
            file.lines.erase(file.lines.begin() + static_cast<std::ptrdiff_t>(header),
                             file.lines.begin() + static_cast<std::ptrdiff_t>(file.SectionEnd(header)));
            changed = true;
        }
    } else if (!lpString) {
        size_t line = header != std::string::npos ? file.FindKey(header, key) : std::string::npos;
        if (line != std::string::npos) {
            file.lines.erase(file.lines.begin() + static_cast<std::ptrdiff_t>(line));
            changed = true;
        }
    } else {
        std::string value = lpString;
        if (header == std::string::npos) {
            if (!file.lines.empty() && !Trim(file.lines.back().text).empty())
                file.lines.push_back(ParseLine(""));
            std::string header(1, '[');
            header.append(section).push_back(']');
            file.lines.push_back(ParseLine(header));
            file.lines.push_back(ParseLine(std::string(key) + "=" + value));
        } else {
            size_t line = file.FindKey(header, key);
            if (line != std::string::npos) {
                file.lines[line] = ParseLine(file.lines[line].name + "=" + value);
            } else {
                // After the section's last key, so blank lines and comments that separate it
                // from the next section stay where they are.
                size_t insert = header + 1;
                size_t end = file.SectionEnd(header);
                for (size_t i = header + 1; i < end; ++i)
                    if (file.lines[i].kind == IniLine::Kind::Key)
                        insert = i + 1;
                file.lines.insert(file.lines.begin() + static_cast<std::ptrdiff_t>(insert),
                                  ParseLine(std::string(key) + "=" + value));
            }
        }
        changed = true;
    }
    if (!changed) {
        SetLastError(ERROR_SUCCESS);
        return TRUE;
    }
    size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !loaded
        && path.compare(0, slash, GetUserConfigDir()) == 0)
        MakeDirectories(path.substr(0, slash), 0700);
    error = WriteFileAtomically(path, SerializeIni(file), 0600);
    g_cache.erase(path);
    if (error != 0) {
        SetLastError(ErrnoToLastError(error));
        return FALSE;
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}
