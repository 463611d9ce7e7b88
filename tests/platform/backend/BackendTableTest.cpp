// Choosing the back end: by name and from a comma list in order, and a box that still reaches
// stderr when no back end can start.
#include "common/HostWindow.h"
#include "platform/backend/Backend.h"
#include "platform/backend/NullAudioOut.h"

#include <vireo/platform/Win32.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <tuple>

namespace {

using vireo::platform::ActiveBackend;
using vireo::platform::ResetBackendChoice;

// Sets or clears environment variables for one test and puts them back afterwards.
class Environment {
  public:
    void Set(const char* name, const char* value)
    {
        if (!m_saved.count(name))
            m_saved[name] = std::getenv(name) ? std::optional<std::string>(std::getenv(name)) : std::nullopt;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~Environment()
    {
        for (const auto& [name, value] : m_saved)
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    }

  private:
    std::map<std::string, std::optional<std::string>> m_saved;
};

class BackendChoice : public ::testing::Test {
  protected:
    void TearDown() override { ResetBackendChoice(); }
    Environment m_env;
};

TEST_F(BackendChoice, NamedListsAreTriedInOrderAndFailuresReported)
{
    m_env.Set("DISPLAY", nullptr);
    m_env.Set("WAYLAND_DISPLAY", nullptr);
    m_env.Set("SDL_VIDEODRIVER", "x11"); // with no display SDL cannot start its video

    std::tuple<const char*, const char*, std::vector<const char*>> rows[] = {
        {" headless ", "headless", {"vireo: back end headless\n"}},
        {"nonesuch", "", {"vireo: unknown back end \"nonesuch\"", "could start"}},
        {"nonesuch,headless", "headless", {"unknown back end \"nonesuch\"", "vireo: back end headless\n"}},
        {"sdl2, headless", "headless", {"vireo: back end sdl2 cannot start: ", "vireo: back end headless\n"}},
        {",", "", {"could start"}},
        {nullptr, "headless", {"vireo: back end headless\n"}}, // no name and no display
    };
    for (const auto& [setting, chosen, logLines] : rows) {
        SCOPED_TRACE(setting ? setting : "(unset)");
        m_env.Set("VIREO_BACKEND", setting);
        ResetBackendChoice();
        ::testing::internal::CaptureStderr();
        auto* backend = ActiveBackend();
        ActiveBackend(); // asking again neither chooses again nor logs again
        const std::string log = ::testing::internal::GetCapturedStderr();
        const std::string name = backend ? backend->Name() : "";
        EXPECT_EQ(name, chosen);
        for (const char* line : logLines)
            EXPECT_NE(log.find(line), std::string::npos) << log;
        if (*chosen) { // logged once
            EXPECT_EQ(log.find("vireo: back end " + name), log.rfind("vireo: back end " + name));
        }
    }
}

TEST_F(BackendChoice, NoBackEndMeansNoWindowButABoxStillReachesStderr)
{
    m_env.Set("VIREO_BACKEND", "nonesuch");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(vireo::test::CreateHostWindow(100, 100), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
    EXPECT_EQ(MessageBoxW(nullptr, L"text", L"caption", MB_YESNO), IDYES);
    const std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("unknown back end \"nonesuch\""), std::string::npos);
    EXPECT_NE(log.find("caption: text\n"), std::string::npos);
}

} // namespace
