// The catalogue of META settings: an ordered list with its settings file, the column counter
// of the page grid and the built-in default catalogue.
#pragma once

#include "engine/meta/CMetaSetting.h"
#include "platform/core/CPtrList.h"
#include "platform/core/CString.h"
#include "platform/core/CTypedPtrArray.h"

class CArchive;

class CMetaSettingList : public CTypedPtrList<CObList, CMetaSetting*> {
    DECLARE_SERIAL(CMetaSettingList)
public:
    explicit CMetaSettingList(BOOL bOwnsItems = TRUE);
    ~CMetaSettingList() override;
    CMetaSettingList(const CMetaSettingList&) = delete;
    CMetaSettingList& operator=(const CMetaSettingList&) = delete;

    // The settings file form: a 32-bit count, then per setting its 32-bit type id and its data.
    // Loading appends settings made from the application's prototypes; an unknown type id,
    // a setting whose data names another type, or data that ends early raise the platform's
    // archive exception.
    void Serialize(CArchive& ar) override;

    // Deletes every setting (when the list owns them) and empties the list.
    void DeleteAll();
    // Replaces the settings with copies of the other list's and takes its file path, owns-items
    // flag and next free column.
    void CopyFrom(const CMetaSettingList& other);
    // The first setting whose name equals the given one without regard to case; 0 found, 1 not.
    UINT FindByName(const CString& strName, CMetaSetting*& pSetting) const;
    // Used on the prototype list: a new clone of the first setting whose type name equals the
    // text without regard to case; 1 when none matches. The caller owns the clone.
    UINT CreateFromType(const CString& strTypeName, CMetaSetting*& pSetting) const;
    // Removes the old setting, appends the new one at the end and deletes the old one (when the
    // list owns it); 1 when the old one is not in the list (the new one is then not taken).
    UINT ReplaceSetting(CMetaSetting* pOld, CMetaSetting* pNew);
    // Unlinks without deleting; 1 when not found.
    UINT RemoveSetting(CMetaSetting* pSetting);
    UINT GetShownCount() const;
    // Same length and every pair equal, in order.
    BOOL IsEqual(const CMetaSettingList& other) const;

    UINT IsModified() const { return m_bModified; }
    void SetModified(UINT bModified) { m_bModified = bModified; }
    const CString& GetFilePath() const { return m_strFilePath; }
    void SetFilePath(const CString& strPath) { m_strFilePath = strPath; }
    UINT GetNextOrdinal() const { return m_nNextColumn; }
    void SetNextOrdinal(UINT nNext) { m_nNextColumn = nNext; }
    BOOL GetOwnsItems() const { return m_bOwnsItems; }

    // Rebuilds the built-in catalogue of 60 settings, none shown, and forgets the file path.
    void SetDefaults();

    // With bAsk, first asks for the file (proposing the list's path); then reads the settings
    // file. The list and its path change only when the whole file was read: 0. Cancel, a file that cannot be
    // opened (reported to the user) or a bad file (not reported: the caller decides) give 1.
    UINT Load(BOOL bAsk);
    // Sets the file path, then Load without asking.
    UINT LoadFromFile(const CString& strPath);
    // Writes the list to the path through a temporary file beside it, so that a failed save
    // leaves the old file as it was; then takes the path and clears the modified flag: 0.
    // A failure is reported to the user: 1.
    UINT SaveToFile(const CString& strPath);
    // Asks for a file name, then SaveToFile; 1 after Cancel.
    UINT SaveAs();

private:
    UINT m_bModified = 0;
    UINT m_nNextColumn = 1;
    CString m_strFilePath;
    BOOL m_bOwnsItems;
};
