// Choosing the back end: by name and from a comma list in order, and a box that still reaches
// stderr when no back end can start.
#include "common/HostWindow.h"
#include "platform/backend/Backend.h"

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

// Sets or clears environment variables for one test; puts them back, and the back end
// choice with them, afterwards.
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
        ResetBackendChoice();
    }

  private:
    std::map<std::string, std::optional<std::string>> m_saved;
};

TEST(BackendChoice, NamedListsAreTriedInOrderAndFailuresReported)
{
    Environment env;
    env.Set("DISPLAY", nullptr);
    env.Set("WAYLAND_DISPLAY", nullptr);
    env.Set("SDL_VIDEODRIVER", "x11"); // with no display SDL cannot start its video

    std::tuple<const char*, const char*, std::vector<const char*>> rows[] = {
        {" headless ", "headless", {"vireo: back end headless\n"}},
        {"nonesuch,headless", "headless", {"unknown back end \"nonesuch\"", "vireo: back end headless\n"}},
        {"sdl2, headless", "headless", {"vireo: back end sdl2 cannot start: ", "vireo: back end headless\n"}},
        {",", "", {"could start"}},
        {nullptr, "headless", {"vireo: back end headless\n"}}, // no name and no display
        {"nonesuch", "", {"vireo: unknown back end \"nonesuch\"", "could start"}},
    };
    for (const auto& [setting, chosen, logLines] : rows) {
        SCOPED_TRACE(setting ? setting : "(unset)");
        env.Set("VIREO_BACKEND", setting);
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
    // With none chosen (the last row) there is no window, but a box still reaches stderr.
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(vireo::test::CreateHostWindow(100, 100), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
    EXPECT_EQ(MessageBoxW(nullptr, L"text", L"caption", MB_YESNO), IDYES);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("caption: text\n"), std::string::npos);
}

} // namespace
