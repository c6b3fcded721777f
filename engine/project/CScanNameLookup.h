// CScanNameLookup: the catalogue's setting and a page's content of a META name, found in constant
// time however many names a scan has met. Walking the lists for every tag would make a site of
// many different names cost the square of their number.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

#include <memory>
#include <string>
#include <unordered_map>

class CMetaContent;
class CMetaContentList;
class CMetaSetting;
class CMetaSettingList;

// It keeps pointers into the catalogue and the pages' lists, so it is right only while nothing
// but its own Add operations changes them: a scan, during which the user's edits and settings
// wait for its end. A list whose length it did not expect is read afresh. Not thread-safe: the
// scan engine keeps it under its lock.
class CScanNameLookup {
public:
    explicit CScanNameLookup(CMetaSettingList& catalogue);
    ~CScanNameLookup();
    CScanNameLookup(const CScanNameLookup&) = delete;
    CScanNameLookup& operator=(const CScanNameLookup&) = delete;

    // As CMetaSettingList::FindByName: the first setting so named, without regard to case; null
    // when there is none.
    CMetaSetting* FindSetting(const CString& strName);
    // Appends the setting to the catalogue, which owns it from then on.
    void AddSetting(std::unique_ptr<CMetaSetting> pSetting);
    // As CMetaContentList::FindByName on the list; null when there is none.
    CMetaContent* FindContent(const CMetaContentList& list, const CString& strName);
    // Appends the content to the list, which owns it from then on.
    void AddContent(CMetaContentList& list, std::unique_ptr<CMetaContent> pContent);

    // A list this short is searched as it is; a longer one gets an index.
    static constexpr INT_PTR kIndexedLength = 16;

    // The name as the lists compare it: ASCII letters without case, up to the first NUL.
    static std::string Key(const CString& strName);

private:
    template <class T>
    struct Index {
        std::unordered_map<std::string, T*> byName;
        INT_PTR nLength = 0;   // the list's length the index was made for
    };
    void IndexSettings();

    CMetaSettingList& m_catalogue;
    Index<CMetaSetting> m_settings;
    bool m_bSettingsIndexed = false;
    std::unordered_map<const CMetaContentList*, Index<CMetaContent>> m_contents;
};
