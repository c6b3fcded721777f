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
