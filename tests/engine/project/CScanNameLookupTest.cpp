#include "engine/project/CScanNameLookup.h"

#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaEditSetting.h"
#include "engine/meta/CMetaSettingList.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::unique_ptr<CMetaSetting> Setting(const char* pszName)
{
    auto pSetting = std::make_unique<CMetaEditSetting>();
    pSetting->SetName(pszName);
    return pSetting;
}

std::unique_ptr<CMetaContent> Content(const std::string& name)
{
    auto pContent = std::make_unique<CMetaContent>();
    pContent->SetName(name.c_str());
    return pContent;
}

} // namespace

TEST(CScanNameLookup, SettingsAreFoundAsTheCatalogueFindsThem)
{
    CMetaSettingList catalogue;
    catalogue.AddTail(Setting("Author").release());
    catalogue.AddTail(Setting("AUTHOR").release());
    CScanNameLookup names(catalogue);
    // The first of two so named, without regard to case.
    EXPECT_EQ(names.FindSetting("author"), catalogue.GetHead());
    EXPECT_EQ(names.FindSetting("Robots"), nullptr);

    names.AddSetting(Setting("Robots"));
    ASSERT_EQ(catalogue.GetCount(), 3);
    EXPECT_EQ(names.FindSetting("ROBOTS"), catalogue.GetTail());
    // A catalogue changed behind its back is read again.
    catalogue.AddTail(Setting("Generator").release());
    EXPECT_EQ(names.FindSetting("generator"), catalogue.GetTail());
    // Letters outside ASCII keep their case.
    names.AddSetting(Setting("\xC3\xA9t\xC3\xA9"));
    EXPECT_EQ(names.FindSetting("\xC3\xA9T\xC3\xA9"), catalogue.GetTail());
    EXPECT_EQ(names.FindSetting("\xC3\x89T\xC3\x89"), nullptr);
}

TEST(CScanNameLookup, ContentsOfShortAndLongListsAreFoundAlike)
{
    CMetaSettingList catalogue;
    CScanNameLookup names(catalogue);
    CMetaContentList list;
    const int nNames = 3 * static_cast<int>(CScanNameLookup::kIndexedLength);
    for (int i = 0; i < nNames; ++i) {
        const std::string name = "name-" + std::to_string(i);
        ASSERT_EQ(names.FindContent(list, name.c_str()), nullptr) << name;
        names.AddContent(list, Content(name));
        // Every name so far is found, in any case, before and after the list is long enough
        // for an index.
        for (int j = 0; j <= i; j += 7) {
            const std::string upper = "NAME-" + std::to_string(j);
            CMetaContent* pFound = names.FindContent(list, upper.c_str());
            ASSERT_NE(pFound, nullptr) << upper << " among " << i + 1;
            EXPECT_EQ(std::string(pFound->GetName()), "name-" + std::to_string(j));
        }
    }
    ASSERT_EQ(list.GetCount(), nNames);
    // A list made shorter or longer behind its back is read again.
    delete list.RemoveHead();
    EXPECT_EQ(names.FindContent(list, "name-0"), nullptr);
    list.AddTail(Content("Late").release());
    EXPECT_EQ(names.FindContent(list, "late"), list.GetTail());
    // Each list has its own names.
    CMetaContentList other;
    EXPECT_EQ(names.FindContent(other, "late"), nullptr);
}
