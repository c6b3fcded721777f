// The options of one project: folder, page extensions, the project and settings file paths,
// the list separator, the backup scheme and display and scan flags. It is the one object the
// project file stores; its defaults for new projects live in the profile.
#pragma once

#include "engine/meta/CStringListWrapper.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CArchive;

class CProjectSettings : public CObject {
    DECLARE_SERIAL(CProjectSettings)
public:
    CProjectSettings();
    ~CProjectSettings() override = default;
    CProjectSettings(const CProjectSettings&) = delete;
    CProjectSettings& operator=(const CProjectSettings&) = delete;

    // The project file's fields in their stored order; loading replaces the extension list.
    void Serialize(CArchive& ar) override;

    // What reading a project file came to, apart for each cause the user is told of.
    struct FileReading {
        enum class Outcome {
            Read,            // the settings were read, and the project's folder is there
            CannotOpen,      // the file could not be opened: nFileCause and lOsError say why
            PathTooLong,     // the path, or a name in it, is longer than the file system allows
            NotAProjectFile, // the file does not begin as a project file does: another kind, or damaged
            Damaged,         // a project file whose settings end early or hold what no project holds
            OtherVersion,    // a project file of a format this program does not read (nSchema)
            FolderMissing,   // read, but no folder of the project's folder's path is there any more
        };
        Outcome outcome = Outcome::Read;
        int nFileCause = 0; // a CFileException cause
        LONG lOsError = 0;
        UINT nSchema = 0;
    };
    // Reads the project file at the path into this object, which changes only when the file
    // was read (also when its folder is missing).
    FileReading ReadFromFile(const CString& strPath);
    // The format of the project files this program reads and writes.
    static constexpr UINT kFileSchema = 2;

    // Every field but the changed flag (the upper-case flag included).
    void CopyFrom(const CProjectSettings& other);
    // The extension lists and every other stored field equal.
    BOOL IsEqual(const CProjectSettings& other) const;
    UINT IsModified() const { return m_bChanged; }
    void SetModified(UINT bChanged) { m_bChanged = bChanged; }

    // The profile section "Project Settings" holds the defaults for new projects.
    void LoadFromProfile();
    void SaveToProfile() const;

    UINT GetProjectFilePath(CString& strPath) const { strPath = m_strProjectFilePath; return 0; }
    UINT SetProjectFilePath(const CString& strPath) { m_strProjectFilePath = strPath; return 0; }
    UINT GetSettingsFilePath(CString& strPath) const { strPath = m_strSettingsFilePath; return 0; }
    UINT SetSettingsFilePath(const CString& strPath) { m_strSettingsFilePath = strPath; return 0; }
    UINT GetUpperCase() const { return m_bUpperCase; }
    void SetUpperCase(UINT bUpperCase) { m_bUpperCase = bUpperCase; }
    const CString& GetListSeparator() const { return m_strListSeparator; }

    // The section and value names of the profile, as stored profiles have them.
    static constexpr LPCTSTR kProfileSection = "Project Settings";

    UINT m_bFreezeFileColumn;
    UINT m_bShowTitle;
    UINT m_nBackupScheme;       // 0 keep a backup file, 1 recycle bin, 2 delete
    // The backup schemes a project file may hold; a larger number marks the file damaged.
    static constexpr UINT kBackupFile = 0;
    static constexpr UINT kBackupTrash = 1;
    static constexpr UINT kBackupDelete = 2;
    CString m_strListSeparator;
    UINT m_bAutoScan;
    CString m_strProjectDirectory;
    CStringListWrapper m_FileExtensions;
    UINT m_bShowAllFound;
    UINT m_bKeywordExtractor;   // suggested keywords are added to keyword contents as edits
    UINT m_bChanged;            // set by the project settings dialog; not stored
    UINT m_bUpperCase;          // case of composed META tags, set while pages are rewritten; not stored
    CString m_strProjectFilePath;
    CString m_strSettingsFilePath;
};
