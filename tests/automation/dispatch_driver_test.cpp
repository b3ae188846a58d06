#include "automation/DispatchDriver.h"
#include "automation/ProgIdTable.h"

#include <gtest/gtest.h>

#include <functional>

using namespace automation;

namespace {

// A server object that counts its references and answers with a scripted value.
class CountingObject : public IDispatch {
public:
    std::uint32_t AddRef() override { return ++refs; }
    std::uint32_t Release() override { return --refs; }
    Variant Invoke(DISPID member, InvokeKind, std::span<const Variant> args) override {
        ++calls;
        lastMember = member;
        lastArgs.assign(args.begin(), args.end());
        if (answer)
            return answer();
        return {};
    }
    std::uint32_t refs = 1;
    int calls = 0;
    DISPID lastMember = 0;
    std::vector<Variant> lastArgs;
    std::function<Variant()> answer;
};

TEST(DispatchDriver, EmptyDriverSendsNothingAndRaisesNothing) {
    CountingObject object;
    DispatchDriver driver;
    EXPECT_TRUE(driver.InvokeMember(0x6, InvokeKind::PropertyGet, ResultKind::Object, {}).IsEmpty());

    driver.AttachDispatch(&object);
    driver.ReleaseDispatch();
    EXPECT_EQ(object.refs, 0u);
    EXPECT_TRUE(driver.IsEmpty());
    EXPECT_NO_THROW(driver.InvokeMember(0x451, InvokeKind::Method, ResultKind::None, {}));
    EXPECT_EQ(object.calls, 0);
}

TEST(DispatchDriver, CreateDispatchFailureLeavesTheDriverEmpty) {
    DispatchDriver driver;
    QString why;
    EXPECT_EQ(driver.CreateDispatch(QStringLiteral("Tessaly.NoSuchServer"), &why), FALSE);
    EXPECT_TRUE(driver.IsEmpty());
    EXPECT_FALSE(why.isEmpty());

    ScopedServerRegistration refusing(QStringLiteral("Tessaly.Refusing"), []() -> IDispatch* {
        throw AutomationException(CO_E_SERVER_EXEC_FAILURE, QStringLiteral("cannot start"));
    });
    EXPECT_EQ(driver.CreateDispatch(QStringLiteral("Tessaly.Refusing"), &why), FALSE);
    EXPECT_TRUE(driver.IsEmpty());
    EXPECT_EQ(why, QStringLiteral("cannot start"));
}

TEST(DispatchDriver, CreateDispatchHoldsTheNewObject) {
    CountingObject object;
    ScopedServerRegistration reg(QStringLiteral("Tessaly.Counting"), [&]() -> IDispatch* { return &object; });
    {
        DispatchDriver driver;
        ASSERT_EQ(driver.CreateDispatch(QStringLiteral("tessaly.counting")), TRUE);
        EXPECT_EQ(driver.GetIDispatch(), &object);
        EXPECT_EQ(driver.m_bAutoRelease, TRUE);
    }
    EXPECT_EQ(object.refs, 0u);
}

TEST(DispatchDriver, CopiesHoldTheirOwnReferenceAndAutoReleaseOffKeepsIt) {
    CountingObject object;
    {
        DispatchDriver a(&object);
        DispatchDriver b = a;
        EXPECT_EQ(object.refs, 2u);
        DispatchDriver c;
        c = b;
        EXPECT_EQ(object.refs, 3u);
        DispatchDriver moved = std::move(c);
        EXPECT_EQ(object.refs, 3u);
        EXPECT_TRUE(c.IsEmpty());
        a.AttachDispatch(&object);  // releases the old reference, holds the given one
        EXPECT_EQ(object.refs, 2u);
        a.DetachDispatch();
    }
    EXPECT_EQ(object.refs, 0u);

    object.refs = 1;
    DispatchDriver borrowed;
    borrowed.AttachDispatch(&object, FALSE);
    borrowed.ReleaseDispatch();
    EXPECT_EQ(object.refs, 1u);
    EXPECT_TRUE(borrowed.IsEmpty());
}

TEST(DispatchDriver, ResultsOfTheWrongKindAreErrors) {
    CountingObject object;
    DispatchDriver driver(&object, FALSE);
    object.answer = [] { return Variant::Bstr(QStringLiteral("x")); };
    EXPECT_THROW(driver.InvokeMember(0x3C, InvokeKind::PropertyGet, ResultKind::I4, {}), AutomationException);
    object.answer = [] { return Variant::Dispatch(nullptr); };
    EXPECT_THROW(driver.InvokeMember(0x6, InvokeKind::PropertyGet, ResultKind::Object, {}), AutomationException);
    object.answer = [] { return Variant::I2(2); };
    EXPECT_EQ(driver.InvokeMember(0x3C, InvokeKind::PropertyGet, ResultKind::I4, {}).ToI4(), 2);
}

TEST(DispatchDriver, ServerFailuresArriveAsAutomationErrorsWithCodeAndText) {
    CountingObject object;
    DispatchDriver driver(&object, FALSE);
    object.answer = []() -> Variant { throw AutomationException(E_FAIL, QStringLiteral("no disk")); };
    try {
        driver.InvokeMember(0x66, InvokeKind::Method, ResultKind::None, {});
        FAIL() << "no exception";
    } catch (const AutomationException& e) {
        EXPECT_EQ(e.code(), E_FAIL);
        EXPECT_EQ(e.description(), QStringLiteral("no disk"));
    }
    object.answer = []() -> Variant { throw std::runtime_error("inside the server"); };
    try {
        driver.InvokeMember(0x66, InvokeKind::Method, ResultKind::None, {});
        FAIL() << "no exception";
    } catch (const AutomationException& e) {
        EXPECT_EQ(e.code(), DISP_E_EXCEPTION);
        EXPECT_EQ(e.description(), QStringLiteral("inside the server"));
    }
}

TEST(DispatchDriver, ArgumentConstants) {
    EXPECT_EQ(varTrue.type(), VarType::I2);
    EXPECT_EQ(varTrue.ToI2(), 1);
    EXPECT_EQ(varFalse.type(), VarType::I2);
    EXPECT_EQ(varFalse.ToI2(), 0);
    EXPECT_EQ(varOmitted.type(), VarType::Error);
    EXPECT_EQ(static_cast<std::uint32_t>(varOmitted.ToError()), 0x80020004u);
}

}  // namespace
