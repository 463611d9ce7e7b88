// MessageBoxW: recorded for tests, then shown by the active back end (a real box, or a line
// on stderr headless). Without a back end, or when the box cannot be shown, the text still
// reaches stderr and the first button is the answer, so no message is ever lost.
#include "platform/backend/Backend.h"
#include "platform/core/MessageBoxLog.h"
#include "platform/core/Utf8.h"

#include <cstdio>

namespace vireo::platform {
namespace {

constexpr std::size_t kMaxRecorded = 1000;
std::vector<ShownMessageBox> g_shown;

int FirstButton(UINT type)
{
    switch (type & 0xF) {
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO:
        return IDYES;
    case MB_RETRYCANCEL:
        return IDRETRY;
    default:
        return IDOK;
    }
}

} // namespace

int AnswerMessageBoxOnStderr(const std::wstring& caption, const std::wstring& text, UINT type)
{
    std::fprintf(stderr, "%s: %s\n", Utf8FromWide(caption).c_str(), Utf8FromWide(text).c_str());
    std::fflush(stderr);
    return FirstButton(type);
}

const std::vector<ShownMessageBox>& MessageBoxesShown()
{
    return g_shown;
}
void ClearMessageBoxesShown()
{
    g_shown.clear();
}

} // namespace vireo::platform

using namespace vireo::platform;

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    const std::wstring textString = text ? text : L"";
    const std::wstring captionString = caption ? caption : L"Error"; // the system's default caption
    if (g_shown.size() >= kMaxRecorded)
        g_shown.erase(g_shown.begin());
    g_shown.push_back({captionString, textString, type});

    int answer = 0;
    if (CBackend* backend = ActiveBackend())
        answer = backend->MessageBoxes().Show(owner, captionString, textString, type);
    if (answer == 0)
        answer = AnswerMessageBoxOnStderr(captionString, textString, type);
    return answer;
}
