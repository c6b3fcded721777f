#include "EngineTestSupport.h"

#include "engine/meta/CMetaContent.h"
#include "engine/meta/CStringListWrapper.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/CVostrelAppModel.h"

#include <memory>

using namespace enginetest;

namespace {

TEST(VostrelAppModel, InstalledModelIsTheOneTheEngineReaches)
{
    CVostrelAppModel& before = GetAppModel();
    {
        CVostrelAppModel outer;
        outer.Install();
        EXPECT_EQ(&GetAppModel(), &outer);
        {
            CVostrelAppModel inner;
            EXPECT_EQ(inner.Install(), &outer);
            EXPECT_EQ(&GetAppModel(), &inner);
        }
        EXPECT_EQ(&GetAppModel(), &outer);
    }
    EXPECT_EQ(&GetAppModel(), &before);
}

TEST(VostrelAppModel, StatesAndProjectSettings)
{
    CVostrelAppModel model;
    EXPECT_EQ(model.GetRunState(), 0u);
    EXPECT_EQ(model.GetEditState(), 0u);
    model.SetRunState(CVostrelAppModel::runScanning);
    model.SetEditState(1);
    EXPECT_EQ(model.GetRunState(), 1u);
    EXPECT_EQ(model.GetEditState(), 1u);

    CProjectSettings* pSettings = reinterpret_cast<CProjectSettings*>(0x1);
    EXPECT_EQ(model.GetProjectSettings(pSettings), 1u);
    EXPECT_EQ(pSettings, reinterpret_cast<CProjectSettings*>(0x1));
    model.SetProjectSettings(std::make_unique<CProjectSettings>());
    EXPECT_EQ(model.GetProjectSettings(pSettings), 0u);
    EXPECT_NE(pSettings, nullptr);

    CMetaSettingList* pList = nullptr;
    EXPECT_EQ(model.GetMetaSettingList(pList), 0u);
    EXPECT_EQ(pList, &model.GetMetaSettings());
    EXPECT_TRUE(pList->IsEmpty());
    EXPECT_EQ(model.GetPrototypes().GetCount(), 11);

    // Copies of the prototypes are new objects, appended after what the list holds.
    CMetaSettingList copies;
    model.CopySettingPrototypes(copies);
    model.CopySettingPrototypes(copies);
    EXPECT_EQ(copies.GetCount(), 22);
    EXPECT_NE(copies.GetHead(), model.GetPrototypes().GetHead());
}

TEST(VostrelAppModel, HeadlessDialogsCancel)
{
    CVostrelAppModel model;
    IMetaDialogs& dialogs = model.GetDialogs();
    CStringListWrapper options;
    options.AddTail("kept");
    EXPECT_FALSE(dialogs.EditOptionList(options));
    EXPECT_EQ(options.GetCount(), 1);
    CString strPath("/proposed");
    EXPECT_FALSE(dialogs.AskOpenFileName("t", "f", strPath));
    int nAction = 0;
    EXPECT_FALSE(dialogs.ChooseGroupKeywordsAction(nAction));
    CMetaContent content;
    CString strText;
    EXPECT_FALSE(dialogs.EditRefresh(0, content, strText));

    FakeDialogs fake;
    model.SetDialogs(&fake);
    EXPECT_EQ(&model.GetDialogs(), &fake);
}

} // namespace
