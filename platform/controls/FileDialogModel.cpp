// The open and save dialogs' state: filters, listing and the meaning of a typed name.
#include "platform/controls/FileDialogModel.h"

#include "platform/controls/FileDialog.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fnmatch.h>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> SplitPatterns(std::string_view list)
{
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string_view::npos)
            end = list.size();
        std::string_view one = list.substr(start, end - start);
        while (!one.empty() && one.front() == ' ')
            one.remove_prefix(1);
        while (!one.empty() && one.back() == ' ')
            one.remove_suffix(1);
        if (!one.empty())
            out.emplace_back(one);
        start = end + 1;
    }
    return out;
}

bool HasWildcard(std::string_view s)
{
    return s.find_first_of("*?") != std::string_view::npos;
}

// Names in the order a person reads them: letters without regard to case, then bytes.
void SortNames(std::vector<std::string>& names)
{
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const size_t n = std::min(a.size(), b.size());
        for (size_t i = 0; i < n; ++i) {
            const int ca = std::tolower(static_cast<unsigned char>(a[i]));
            const int cb = std::tolower(static_cast<unsigned char>(b[i]));
            if (ca != cb)
                return ca < cb;
        }
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
}

std::string NormalPath(const fs::path& p)
{
    std::string s = p.lexically_normal().string();
    while (s.size() > 1 && s.back() == '/')
        s.pop_back();
    return s.empty() ? "/" : s;
}

// The last name of a path has an extension when a dot follows its first character.
bool HasExtension(std::string_view name)
{
    const size_t dot = name.rfind('.');
    return dot != std::string_view::npos && dot > 0 && dot + 1 < name.size();
}

} // namespace

std::vector<FileFilter> ParseFileFilters(LPCSTR list)
{
    std::vector<FileFilter> filters;
    if (!list)
        return filters;
    const char* p = list;
    while (*p) {
        FileFilter f;
        f.text = p;
        p += f.text.size() + 1;
        if (!*p)
            break;
        const std::string patterns = p;
        p += patterns.size() + 1;
        f.patterns = SplitPatterns(patterns);
        if (!f.patterns.empty())
            filters.push_back(std::move(f));
    }
    return filters;
}

std::string FileFiltersFromBars(std::string_view bars)
{
    std::string raw(bars);
    std::replace(raw.begin(), raw.end(), '|', '\0');
    // Whatever ended the list, it ends with two NULs.
    while (!raw.empty() && raw.back() == '\0')
        raw.pop_back();
    raw.append(2, '\0');
    return raw;
}

bool MatchesFilePattern(std::string_view name, std::string_view pattern)
{
    if (pattern == "*.*" || pattern == "*")
        return true;
    const std::string n(name);
    const std::string p(pattern);
    // Without regard to case: a file named VOSTREL.VSL is one of the "*.vsl" files.
    return fnmatch(p.c_str(), n.c_str(), FNM_PERIOD | FNM_CASEFOLD) == 0;
}

FileDialogModel::FileDialogModel(Mode mode, DWORD flags, std::vector<FileFilter> filters,
                                 std::string defaultExtension)
    : m_mode(mode), m_flags(flags), m_filters(std::move(filters)), m_defaultExtension(std::move(defaultExtension))
{
    // ".vsp" and "vsp" mean the same extension.
    while (!m_defaultExtension.empty() && m_defaultExtension.front() == '.')
        m_defaultExtension.erase(0, 1);
}

bool FileDialogModel::SetFolder(const std::string& path)
{
    fs::path target = path.empty() ? fs::path(m_folder) : fs::path(path);
    if (target.is_relative())
        target = (m_folder.empty() ? fs::current_path() : fs::path(m_folder)) / target;
    std::error_code ec;
    if (!fs::is_directory(target, ec))
        return false;
    fs::directory_iterator probe(target, ec);
    if (ec)
        return false;
    m_folder = NormalPath(target);
    List();
    return true;
}

void FileDialogModel::List()
{
    m_folders.clear();
    m_files.clear();
    const std::vector<std::string> patterns = Patterns();
    std::error_code ec;
    for (fs::directory_iterator it(m_folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.')
            continue;
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            m_folders.push_back(name);
            continue;
        }
        for (const std::string& p : patterns) {
            if (MatchesFilePattern(name, p)) {
                m_files.push_back(name);
                break;
            }
        }
    }
    SortNames(m_folders);
    SortNames(m_files);
}

void FileDialogModel::SetFilterIndex(int index)
{
    m_filterIndex = index >= 0 && index < static_cast<int>(m_filters.size()) ? index : 0;
    m_typedPattern.clear();
    if (!m_folder.empty())
        List();
}

void FileDialogModel::SetTypedPattern(const std::string& pattern)
{
    m_typedPattern = pattern;
    if (!m_folder.empty())
        List();
}

std::vector<std::string> FileDialogModel::Patterns() const
{
    if (!m_typedPattern.empty())
        return SplitPatterns(m_typedPattern);
    if (m_filters.empty())
        return {"*"};
    return m_filters[static_cast<size_t>(m_filterIndex)].patterns;
}

FileDialogModel::Typed FileDialogModel::Interpret(const std::string& typed) const
{
    Typed out;
    if (typed.find_first_not_of(" \t") == std::string::npos)
        return out;
    fs::path full = fs::path(typed).is_absolute() ? fs::path(typed) : fs::path(m_folder) / typed;
    const std::string normal = NormalPath(full);
    const fs::path p(normal);
    const std::string last = p.filename().string();
    if (HasWildcard(last)) {
        out.intent = Intent::Filter;
        out.path = p.has_parent_path() ? NormalPath(p.parent_path()) : m_folder;
        out.pattern = last;
        return out;
    }
    std::error_code ec;
    if (fs::is_directory(p, ec) || typed.back() == '/') {
        out.intent = Intent::GoTo;
        out.path = normal;
        return out;
    }
    out.intent = Intent::Choose;
    out.path = normal;
    // A name without an extension gets the default one; an open dialog keeps a name that
    // exists as it was typed.
    if (!m_defaultExtension.empty() && !HasExtension(last)) {
        const bool existsAsTyped = fs::exists(p, ec);
        if (m_mode == Mode::Save || !existsAsTyped)
            out.path += "." + m_defaultExtension;
    }
    return out;
}

FileDialogModel::Check FileDialogModel::Validate(const std::string& path) const
{
    const fs::path p(path);
    std::error_code ec;
    const bool pathMustExist = (m_flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_CREATEPROMPT)) != 0;
    if (pathMustExist && !fs::is_directory(p.parent_path(), ec))
        return Check::PathMissing;
    const bool exists = fs::exists(p, ec);
    if (!exists) {
        if (m_flags & OFN_CREATEPROMPT)
            return Check::AskCreate;
        if (m_flags & OFN_FILEMUSTEXIST)
            return Check::FileMissing;
        return Check::Accept;
    }
    if (m_mode == Mode::Save && (m_flags & OFN_OVERWRITEPROMPT))
        return Check::AskOverwrite;
    return Check::Accept;
}
