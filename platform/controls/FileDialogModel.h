// The state of the open and save dialogs, kept apart from their windows: the filters, the
// folder shown and what it lists, and what a typed name means (a folder to go to, a pattern to
// list by, or a file to choose and the checks it must pass).
#pragma once

#include "platform/core/Types.h"

#include <string>
#include <string_view>
#include <vector>

// One entry of a filter list: the text shown and its patterns ("*.htm;*.html" gives two).
struct FileFilter {
    std::string text;
    std::vector<std::string> patterns;
};

// Reads the raw form "text\0pattern\0…\0\0". Null or empty gives no filters. A text without a
// pattern after it is dropped.
std::vector<FileFilter> ParseFileFilters(LPCSTR doubleNulList);
// The class library's form "text|pattern|…||" in the raw form (each '|' a NUL, ended by two).
std::string FileFiltersFromBars(std::string_view bars);
// Whether a name matches a pattern with * and ? (case-sensitive, as names are); "*.*" and "*"
// match every name, with or without an extension.
bool MatchesFilePattern(std::string_view name, std::string_view pattern);

class FileDialogModel {
public:
    enum class Mode { Open, Save };

    // What a typed text asks for.
    enum class Intent {
        Nothing,   // empty
        GoTo,      // an existing folder: go there
        Filter,    // a pattern (perhaps with a folder): list by it
        Choose,    // a file: check it and close
    };
    struct Typed {
        Intent intent = Intent::Nothing;
        std::string path;     // the folder to go to, or the file chosen (absolute)
        std::string pattern;  // for Filter
    };

    // What must happen before a chosen file is accepted.
    enum class Check {
        Accept,
        PathMissing,     // its folder does not exist: refuse
        FileMissing,     // it must exist and does not: refuse
        AskCreate,       // it does not exist: ask whether to create it
        AskOverwrite,    // it exists: ask whether to replace it
    };

    FileDialogModel(Mode mode, DWORD flags, std::vector<FileFilter> filters, std::string defaultExtension);

    Mode GetMode() const { return m_mode; }
    DWORD Flags() const { return m_flags; }

    // Goes to a folder (made absolute from the current one) and lists it; false, and nothing
    // changed, when it is no folder or cannot be read.
    bool SetFolder(const std::string& path);
    const std::string& Folder() const { return m_folder; }
    // The sub-folders and the files of the folder that match the patterns, sorted; names that
    // start with a dot are left out.
    const std::vector<std::string>& Folders() const { return m_folders; }
    const std::vector<std::string>& Files() const { return m_files; }

    const std::vector<FileFilter>& Filters() const { return m_filters; }
    // Zero-based; a typed pattern is dropped. Out of range: the first.
    void SetFilterIndex(int index);
    int FilterIndex() const { return m_filterIndex; }
    // A typed pattern replaces the filter's until another filter is chosen.
    void SetTypedPattern(const std::string& pattern);
    std::vector<std::string> Patterns() const;

    Typed Interpret(const std::string& typed) const;
    Check Validate(const std::string& path) const;

private:
    void List();

    Mode m_mode;
    DWORD m_flags;
    std::vector<FileFilter> m_filters;
    std::string m_defaultExtension;
    int m_filterIndex = 0;
    std::string m_typedPattern;
    std::string m_folder;
    std::vector<std::string> m_folders;
    std::vector<std::string> m_files;
};
