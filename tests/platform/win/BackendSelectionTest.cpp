// Choosing the backend from DISPLAY and VOSTREL_BACKEND, and falling back to headless.
#include "platform/backends/BackendSelection.h"

#include <cstdlib>
#include <optional>

#include "tests/platform/win/X11TestFixture.h"

namespace {

// Sets environment variables for one test and puts the old values back.
class EnvironmentGuard {
public:
    void Set(const char* name, const char* value)
    {
        if (!m_saved.count(name)) {
            const char* old = std::getenv(name);
            m_saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvironmentGuard()
    {
        for (auto& [name, value] : m_saved) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }

private:
    std::map<std::string, std::optional<std::string>> m_saved;
};

class BackendSelectionTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        SetWindowBackend(nullptr);
        SetTestFontMode(false);
    }
    EnvironmentGuard env;
};

} // namespace

TEST_F(BackendSelectionTest, WithoutADisplayNothingRunsUnlessHeadlessIsAskedFor)
{
    env.Set("DISPLAY", nullptr);
    env.Set("VOSTREL_BACKEND", nullptr);
    EXPECT_EQ(RequestedBackend(), BackendChoice::X11);
    testing::internal::CaptureStderr();
    EXPECT_EQ(InstallDefaultBackend(), BackendChoice::Unavailable);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("no X display"), std::string::npos) << said;
    // An empty DISPLAY is no display either.
    env.Set("DISPLAY", "");
    testing::internal::CaptureStderr();
    EXPECT_EQ(InstallDefaultBackend(), BackendChoice::Unavailable);
    testing::internal::GetCapturedStderr();
}

TEST_F(BackendSelectionTest, TheVariableChoosesHeadlessEvenWithADisplay)
{
    env.Set("DISPLAY", ":0");
    env.Set("VOSTREL_BACKEND", "headless");
    EXPECT_EQ(RequestedBackend(), BackendChoice::Headless);
    EXPECT_EQ(InstallDefaultBackend(), BackendChoice::Headless);
    EXPECT_NE(dynamic_cast<HeadlessBackend*>(&GetWindowBackend()), nullptr);
    env.Set("DISPLAY", nullptr);
    EXPECT_EQ(InstallDefaultBackend(), BackendChoice::Headless);
}

TEST_F(BackendSelectionTest, X11IsRequestedUnlessHeadlessIsNamed)
{
    env.Set("VOSTREL_BACKEND", nullptr);
    env.Set("DISPLAY", ":0");
    EXPECT_EQ(RequestedBackend(), BackendChoice::X11);
    env.Set("DISPLAY", nullptr);
    env.Set("VOSTREL_BACKEND", "x11");
    EXPECT_EQ(RequestedBackend(), BackendChoice::X11);
    env.Set("VOSTREL_BACKEND", "");
    EXPECT_EQ(RequestedBackend(), BackendChoice::X11);
}

// A display that has no server: the program must not run on invisibly.
TEST_F(BackendSelectionTest, ADisplayThatCannotBeOpenedInstallsNothingAndSaysWhy)
{
    env.Set("VOSTREL_BACKEND", nullptr);
    env.Set("DISPLAY", ":4987");
    testing::internal::CaptureStderr();
    const BackendChoice chosen = InstallDefaultBackend();
    const std::string warning = testing::internal::GetCapturedStderr();
    EXPECT_EQ(chosen, BackendChoice::Unavailable);
    EXPECT_NE(warning.find(":4987"), std::string::npos) << warning;
    EXPECT_EQ(warning.find("headless"), std::string::npos) << warning;
}

TEST_F(BackendSelectionTest, TheX11BackendWithItsServicesOnARealDisplay)
{
    VOSTREL_REQUIRE(XvfbServer::Missing());
    XvfbServer* server = XvfbServer::Shared();
    env.Set("VOSTREL_BACKEND", nullptr);
    env.Set("DISPLAY", server->DisplayName().c_str());
    ASSERT_EQ(InstallDefaultBackend(), BackendChoice::X11);
    auto* x11 = dynamic_cast<X11Backend*>(&GetWindowBackend());
    ASSERT_NE(x11, nullptr);
    const SIZE screen = x11->ScreenSize();
    EXPECT_EQ(screen.cx, server->Width());
    EXPECT_EQ(screen.cy, server->Height());
    // The device capabilities and the system metrics describe the real screen.
    HDC dc = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), server->Width());
    EXPECT_EQ(GetDeviceCaps(dc, VERTRES), server->Height());
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), server->Width());
    // A local server takes the pixels through shared memory.
    EXPECT_TRUE(x11->UsesSharedMemory());
}
