// Holds the log hook and formats lines for it; lines longer than the buffer are cut.
#include "platform/gfx/font/FontLog.h"

#include "platform/gfx/font/FontMatcher.h"

#include <cstdarg>
#include <cwchar>

namespace vireo::font {

namespace {
FontLogHook g_hook = nullptr;
void* g_user = nullptr;
} // namespace

void SetFontLogHook(FontLogHook hook, void* user)
{
    g_hook = hook;
    g_user = user;
    // A new log has seen none of the face reports yet.
    if (hook)
        ResetFaceMatchLog();
}

void FontLog(int level, const wchar_t* format, ...)
{
    if (!g_hook)
        return;
    wchar_t line[1024];
    line[0] = L'\0';
    va_list args;
    va_start(args, format);
    int n = std::vswprintf(line, sizeof(line) / sizeof(line[0]), format, args);
    va_end(args);
    if (n < 0) // glibc reports truncation as failure and leaves the buffer unspecified
        line[sizeof(line) / sizeof(line[0]) - 1] = L'\0';
    g_hook(g_user, level, line);
}

} // namespace vireo::font
