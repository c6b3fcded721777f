// The value dialogs of settings whose value is one text, not a list: a value that differs from
// the page's only by a blank after a comma is a change, written to the page and the cell.
#include "EngineTestSupport.h"

#include "engine/meta/CMetaClassificationSetting.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaDateSetting.h"
#include "engine/meta/CMetaRefreshSetting.h"
#include "engine/project/CProjectSettings.h"

#include <memory>

using namespace enginetest;

namespace {

class DialogValueTextTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        m_pModel->SetProjectSettings(std::make_unique<CProjectSettings>());
    }
    // The dialog of the setting opens on the old text and the user leaves the new one; what
    // the page's content and the cell hold afterwards, and whether the cell was written.
    struct Outcome {
        std::string content;
        bool written = false;
    };
    Outcome Edit(CMetaSetting& setting, const char* pszOld, const char* pszNew)
    {
        CMetaContent content;
        content.SetContent(pszOld);
        m_view.calls.clear();
        m_dialogs.text = pszNew;
        m_dialogs.answer = TRUE;
        setting.EditValue(&m_view, 1, 2, 0, &content);
        return Outcome{content.GetContent().GetString(), !m_view.calls.empty() && m_view.cells[At(1, 2)] == pszNew};
    }
    FakeGroupView m_view;
};

TEST_F(DialogValueTextTest, ABlankAfterACommaIsAChangeOfADateRefreshOrClassification)
{
    CMetaDateSetting date;
    Outcome outcome = Edit(date, "Tue, 08 Dec 2026", "Tue,08 Dec 2026");
    EXPECT_EQ(outcome.content, "Tue,08 Dec 2026");
    EXPECT_TRUE(outcome.written) << "the date's new text did not reach the cell";

    CMetaRefreshSetting refresh;
    outcome = Edit(refresh, "5; URL=a.htm?x=1,2", "5; URL=a.htm?x=1, 2");
    EXPECT_EQ(outcome.content, "5; URL=a.htm?x=1, 2");
    EXPECT_TRUE(outcome.written) << "the refresh's new text did not reach the cell";

    CMetaClassificationSetting classification;
    outcome = Edit(classification, "Root:Tools, Parts", "Root:Tools,Parts");
    EXPECT_EQ(outcome.content, "Root:Tools,Parts");
    EXPECT_TRUE(outcome.written) << "the classification's new text did not reach the cell";

    // The very same text is still no change: nothing is written, the page keeps its value.
    outcome = Edit(date, "Tue, 08 Dec 2026", "Tue, 08 Dec 2026");
    EXPECT_EQ(outcome.content, "Tue, 08 Dec 2026");
    EXPECT_FALSE(outcome.written);
    EXPECT_TRUE(m_view.calls.empty());
}

} // namespace
