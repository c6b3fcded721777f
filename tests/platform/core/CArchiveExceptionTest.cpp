// Archive exception causes and texts.
#include "platform/core/CArchiveException.h"

#include <gtest/gtest.h>

#include <string>

TEST(CArchiveExceptionTest, CauseNumbersAreStable)
{
    EXPECT_EQ(CArchiveException::genericException, 1);
    EXPECT_EQ(CArchiveException::endOfFile, 3);
    EXPECT_EQ(CArchiveException::badIndex, 5);
    EXPECT_EQ(CArchiveException::badClass, 6);
    EXPECT_EQ(CArchiveException::badSchema, 7);
}

TEST(CArchiveExceptionTest, ThrowKeepsCauseAndNameAndMessageNamesTheArchive)
{
    try {
        AfxThrowArchiveException(CArchiveException::badSchema, "project.vsp");
        ADD_FAILURE() << "nothing was raised";
    } catch (CException* e) {
        auto* pArchiveError = dynamic_cast<CArchiveException*>(e);
        ASSERT_NE(pArchiveError, nullptr);
        EXPECT_EQ(pArchiveError->m_cause, CArchiveException::badSchema);
        char text[256];
        EXPECT_TRUE(e->GetErrorMessage(text, sizeof(text)));
        EXPECT_NE(std::string(text).find("project.vsp"), std::string::npos);
        e->Delete();
    }
    for (int cause = CArchiveException::none; cause <= CArchiveException::badSchema + 1; ++cause) {
        CArchiveException e(cause);
        char text[256];
        EXPECT_TRUE(e.GetErrorMessage(text, sizeof(text)));
        EXPECT_NE(std::string(text).find("an unnamed file"), std::string::npos) << cause;
    }
}
