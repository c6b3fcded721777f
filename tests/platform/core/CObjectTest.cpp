// Runtime classes: kind tests, dynamic creation, lookup by name and the checked casts.
#include "platform/core/CObject.h"

#include "platform/core/CString.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class CShape : public CObject {
    DECLARE_DYNAMIC(CShape)
};

class CCircleShape : public CShape {
    DECLARE_DYNCREATE(CCircleShape)
public:
    int m_nRadius = 7;
};

class CUnrelatedThing : public CObject {
    DECLARE_DYNCREATE(CUnrelatedThing)
};

} // namespace

IMPLEMENT_DYNAMIC(CShape, CObject)
IMPLEMENT_DYNCREATE(CCircleShape, CShape)
IMPLEMENT_DYNCREATE(CUnrelatedThing, CObject)

TEST(CObjectTest, RuntimeClassRecordsNameSizeAndBase)
{
    const CRuntimeClass* pClass = RUNTIME_CLASS(CCircleShape);
    EXPECT_STREQ(pClass->m_lpszClassName, "CCircleShape");
    EXPECT_EQ(pClass->m_nObjectSize, static_cast<int>(sizeof(CCircleShape)));
    EXPECT_EQ(pClass->m_wSchema, 0xFFFFu);
    EXPECT_EQ(pClass->m_pBaseClass, RUNTIME_CLASS(CShape));
    EXPECT_EQ(RUNTIME_CLASS(CShape)->m_pBaseClass, RUNTIME_CLASS(CObject));
    EXPECT_EQ(RUNTIME_CLASS(CObject)->m_pBaseClass, nullptr);
}

TEST(CObjectTest, IsKindOfFollowsTheBaseChain)
{
    CCircleShape circle;
    EXPECT_EQ(circle.GetRuntimeClass(), RUNTIME_CLASS(CCircleShape));
    EXPECT_TRUE(circle.IsKindOf(RUNTIME_CLASS(CCircleShape)));
    EXPECT_TRUE(circle.IsKindOf(RUNTIME_CLASS(CShape)));
    EXPECT_TRUE(circle.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(circle.IsKindOf(RUNTIME_CLASS(CUnrelatedThing)));
    EXPECT_FALSE(circle.IsKindOf(nullptr));
    EXPECT_FALSE(RUNTIME_CLASS(CShape)->IsDerivedFrom(RUNTIME_CLASS(CCircleShape)));
    EXPECT_FALSE(circle.IsSerializable());
}

TEST(CObjectTest, CreateObjectMakesTheRightClassOrNothing)
{
    std::unique_ptr<CObject> pObject(RUNTIME_CLASS(CCircleShape)->CreateObject());
    ASSERT_NE(pObject, nullptr);
    EXPECT_EQ(pObject->GetRuntimeClass(), RUNTIME_CLASS(CCircleShape));
    EXPECT_EQ(static_cast<CCircleShape*>(pObject.get())->m_nRadius, 7);

    // A class without dynamic creation answers null instead of crashing.
    EXPECT_EQ(RUNTIME_CLASS(CShape)->CreateObject(), nullptr);
    EXPECT_EQ(RUNTIME_CLASS(CObject)->CreateObject(), nullptr);
}

TEST(CObjectTest, FromNameFindsRegisteredClasses)
{
    EXPECT_EQ(CRuntimeClass::FromName("CCircleShape"), RUNTIME_CLASS(CCircleShape));
    EXPECT_EQ(CRuntimeClass::FromName("CShape"), RUNTIME_CLASS(CShape));
    EXPECT_EQ(CRuntimeClass::FromName("CObject"), RUNTIME_CLASS(CObject));
    EXPECT_EQ(CRuntimeClass::FromName("ccircleshape"), nullptr); // names are case-sensitive
    EXPECT_EQ(CRuntimeClass::FromName("CNoSuchClass"), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName(""), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName(nullptr), nullptr);
}

TEST(CObjectTest, ExplicitRegistrationIsIdempotent)
{
    static CRuntimeClass classLateBound = {"CLateBound", 0, 3, nullptr, RUNTIME_CLASS(CObject)};
    EXPECT_EQ(CRuntimeClass::FromName("CLateBound"), nullptr);
    AfxRegisterClass(&classLateBound);
    AfxRegisterClass(&classLateBound);
    EXPECT_EQ(CRuntimeClass::FromName("CLateBound"), &classLateBound);
}

TEST(CObjectTest, DowncastsCheckTheRuntimeClass)
{
    CCircleShape circle;
    CUnrelatedThing thing;
    CObject* pCircle = &circle;
    CObject* pThing = &thing;
    EXPECT_EQ(DYNAMIC_DOWNCAST(CShape, pCircle), &circle);
    EXPECT_EQ(DYNAMIC_DOWNCAST(CShape, pThing), nullptr);
    EXPECT_EQ(DYNAMIC_DOWNCAST(CShape, static_cast<CObject*>(nullptr)), nullptr);
    EXPECT_EQ(STATIC_DOWNCAST(CCircleShape, pCircle), &circle);
    ASSERT_KINDOF(CShape, pCircle);
    ASSERT_VALID(pCircle);
}

TEST(CObjectTest, VerifyEvaluatesItsArgumentInEveryBuild)
{
    int calls = 0;
    VERIFY(++calls == 1);
    EXPECT_EQ(calls, 1);
}

TEST(CObjectTest, TraceTakesStringObjectsAndIsSilentByDefault)
{
    const CString name("index.html");
    EXPECT_STREQ(vostrel::detail::TraceArg(name), "index.html");
    EXPECT_EQ(vostrel::detail::TraceArg(42), 42);
    if (!AfxTraceEnabled()) {
        testing::internal::CaptureStderr();
        TRACE("%s has %d tags\n", name, 3);
        TRACE0("done\n");
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    }
}
