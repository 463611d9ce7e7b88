// The table of back ends and the rule that picks one, once per process: VIREO_BACKEND names
// one or a comma list tried in order (a name that cannot start is reported, never silently
// replaced); unset, SDL2 when a display is set and SDL starts, else headless.
#include "platform/backend/Backend.h"
#include "platform/backend/headless/HeadlessBackend.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace vireo::platform {

std::unique_ptr<CBackend> CreateSdl2Backend(); // sdl2/SdlBackend.cpp

namespace {

struct BackendEntry {
    const char* name;
    std::unique_ptr<CBackend> (*create)();
};

std::unique_ptr<CBackend> CreateHeadless()
{
    return std::make_unique<CHeadlessBackend>();
}

const BackendEntry kBackends[] = {
    {"sdl2", &CreateSdl2Backend},
    {"headless", &CreateHeadless},
};

std::unique_ptr<CBackend> g_backend;
bool g_chosen = false;

std::string Trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return std::string(text);
}

// Starts the named back end; on failure says why on stderr when asked to.
std::unique_ptr<CBackend> TryStart(const std::string& name, bool reportFailure)
{
    for (const auto& entry : kBackends) {
        if (name != entry.name)
            continue;
        std::unique_ptr<CBackend> backend = entry.create();
        std::string why;
        if (backend && backend->Start(why))
            return backend;
        if (reportFailure)
            std::fprintf(stderr, "vireo: back end %s cannot start: %s\n", name.c_str(),
                         why.empty() ? "unknown reason" : why.c_str());
        return nullptr;
    }
    if (reportFailure)
        std::fprintf(stderr, "vireo: unknown back end \"%s\" (known: sdl2, headless)\n", name.c_str());
    return nullptr;
}

std::unique_ptr<CBackend> Choose()
{
    const char* requested = std::getenv("VIREO_BACKEND");
    if (requested && *requested) {
        std::string_view list(requested);
        while (!list.empty()) {
            const std::size_t comma = list.find(',');
            const std::string name = Trim(list.substr(0, comma));
            list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
            if (name.empty())
                continue;
            if (auto backend = TryStart(name, true))
                return backend;
        }
        std::fprintf(stderr, "vireo: no back end of VIREO_BACKEND=\"%s\" could start\n", requested);
        return nullptr;
    }
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((display && *display) || (wayland && *wayland)) {
        if (auto backend = TryStart("sdl2", false))
            return backend;
    }
    return TryStart("headless", true);
}

} // namespace

CBackend* ActiveBackend()
{
    if (!g_chosen) {
        g_chosen = true;
        g_backend = Choose();
        if (g_backend) {
            std::fprintf(stderr, "vireo: back end %s\n", g_backend->Name());
            std::fflush(stderr);
        }
    }
    return g_backend.get();
}

void ResetBackendChoice()
{
    g_backend.reset();
    g_chosen = false;
}

} // namespace vireo::platform
