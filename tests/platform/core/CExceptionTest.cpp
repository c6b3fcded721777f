// Exception lifetime (Delete), error reporting through the hook and the TRY/CATCH macros.
#include "platform/core/CException.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Counts destructions so tests can see whether Delete freed the object.
class CCountedException : public CException {
public:
    explicit CCountedException(int* pDestroyed, BOOL bAutoDelete = TRUE)
        : CException(bAutoDelete), m_pDestroyed(pDestroyed)
    {
    }
    ~CCountedException() override { ++*m_pDestroyed; }
    int* m_pDestroyed;
};

std::string g_lastReported;
UINT g_lastType = 0;

int RecordingHook(LPCTSTR lpszText, UINT nType, UINT)
{
    g_lastReported = lpszText;
    g_lastType = nType;
    return 42;
}

// Restores the previous hook when a test ends.
struct ScopedReportHook {
    explicit ScopedReportHook(AFX_REPORT_ERROR_HOOK hook) : m_previous(AfxSetReportErrorHook(hook)) {}
    ~ScopedReportHook() { AfxSetReportErrorHook(m_previous); }
    AFX_REPORT_ERROR_HOOK m_previous;
};

} // namespace

TEST(CExceptionTest, DeleteFreesOnlyAutoDeletedExceptions)
{
    int destroyed = 0;
    (new CCountedException(&destroyed))->Delete();
    EXPECT_EQ(destroyed, 1);

    {
        CCountedException onStack(&destroyed, FALSE);
        onStack.Delete(); // must not free a stack object
        EXPECT_EQ(destroyed, 1);
    }
    EXPECT_EQ(destroyed, 2);
}

TEST(CExceptionTest, ThrownPointersAreCaughtByTheirBase)
{
    bool caught = false;
    try {
        AfxThrowNotSupportedException();
    } catch (CException* e) {
        caught = e->IsKindOf(RUNTIME_CLASS(CNotSupportedException));
        e->Delete();
    }
    EXPECT_TRUE(caught);

    try {
        AfxThrowUserException();
        ADD_FAILURE() << "nothing was raised";
    } catch (CUserException* e) {
        EXPECT_TRUE(e->m_bAutoDelete);
        e->Delete();
    }
    try {
        AfxThrowResourceException();
        ADD_FAILURE() << "nothing was raised";
    } catch (CResourceException* e) {
        e->Delete();
    }
}

TEST(CExceptionTest, MemoryExceptionIsSharedAndNeverFreed)
{
    CException* pFirst = nullptr;
    CException* pSecond = nullptr;
    try {
        AfxThrowMemoryException();
    } catch (CException* e) {
        pFirst = e;
        e->Delete();
    }
    try {
        AfxThrowMemoryException();
    } catch (CMemoryException* e) {
        pSecond = e;
        e->Delete();
    }
    ASSERT_NE(pFirst, nullptr);
    EXPECT_EQ(pFirst, pSecond);
    EXPECT_FALSE(pFirst->m_bAutoDelete);
    char text[64];
    EXPECT_TRUE(pFirst->GetErrorMessage(text, sizeof(text)));
    EXPECT_STREQ(text, "Out of memory.");
}

TEST(CExceptionTest, GetErrorMessageTruncatesToTheBuffer)
{
    CNotSupportedException e(FALSE);
    char text[8];
    std::memset(text, 'x', sizeof(text));
    UINT nHelp = 99;
    EXPECT_TRUE(e.GetErrorMessage(text, sizeof(text), &nHelp));
    EXPECT_EQ(std::strlen(text), 7u);
    EXPECT_EQ(nHelp, 0u);

    // A base exception has no text and says so.
    CException plain(FALSE);
    std::memset(text, 'x', sizeof(text));
    EXPECT_FALSE(plain.GetErrorMessage(text, sizeof(text)));
    EXPECT_STREQ(text, "");
    // A zero-sized buffer is never written.
    EXPECT_TRUE(e.GetErrorMessage(text, 0));
}

TEST(CExceptionTest, CopyErrorTextDoesNotSplitACharacter)
{
    char text[5];
    AfxCopyErrorText(text, sizeof(text), "ab\xC3\xA9\xC3\xA9"); // "abéé"
    EXPECT_STREQ(text, "ab\xC3\xA9");
    AfxCopyErrorText(text, 4, "ab\xC3\xA9");
    EXPECT_STREQ(text, "ab");
}

TEST(CExceptionTest, ReportErrorGoesThroughTheHook)
{
    ScopedReportHook hook(RecordingHook);
    CNotSupportedException e(FALSE);
    EXPECT_EQ(e.ReportError(MB_ICONEXCLAMATION), 42);
    EXPECT_EQ(g_lastReported, "An unsupported operation was attempted.");
    EXPECT_EQ(g_lastType, MB_ICONEXCLAMATION);

    // Without a text of its own, a generic text is shown.
    CUserException user(FALSE);
    user.ReportError();
    EXPECT_EQ(g_lastReported, "No error message is available.");
}

TEST(CExceptionTest, ReportErrorWithoutAHookAnswersOk)
{
    ScopedReportHook hook(nullptr);
    CResourceException e(FALSE);
    testing::internal::CaptureStderr();
    EXPECT_EQ(e.ReportError(), IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "A required resource was not available.\n");
}

TEST(CExceptionTest, CatchMacrosDeleteTheExceptionAtTheEndOfTheBlock)
{
    int destroyed = 0;
    bool inHandler = false;
    TRY {
        throw new CCountedException(&destroyed);
    }
    CATCH(CCountedException, e) {
        inHandler = true;
        EXPECT_EQ(destroyed, 0);
    }
    END_CATCH
    EXPECT_TRUE(inHandler);
    EXPECT_EQ(destroyed, 1);

    // AND_CATCH picks the matching handler.
    TRY {
        AfxThrowNotSupportedException();
    }
    CATCH(CUserException, e) {
        ADD_FAILURE() << "wrong handler";
    }
    AND_CATCH(CNotSupportedException, e) {
        inHandler = false;
    }
    END_CATCH
    EXPECT_FALSE(inHandler);
}

TEST(CExceptionTest, ThrowLastPassesTheSameExceptionOn)
{
    int destroyed = 0;
    CException* pOuter = nullptr;
    CException* pInner = nullptr;
    try {
        TRY {
            throw new CCountedException(&destroyed);
        }
        CATCH_ALL(e) {
            pInner = e;
            THROW_LAST();
        }
        END_CATCH_ALL
    } catch (CException* e) {
        pOuter = e;
        EXPECT_EQ(destroyed, 0); // re-thrown, not deleted on the way out
        e->Delete();
    }
    EXPECT_EQ(pOuter, pInner);
    EXPECT_EQ(destroyed, 1);
}
