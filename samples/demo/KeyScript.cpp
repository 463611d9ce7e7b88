// Parses and plays the demo's scripted input through vireo::testing's InjectKey,
// InjectMouseButton and SetCursorClientPos.
// It only feeds keys; frame pacing stays with the host loop.
#include "KeyScript.h"

#include <vireo/platform/DInput8.h>
#include <vireo/platform/Testing.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct SKeyName {
    const char* name;
    int key;
};
constexpr SKeyName kKeyNames[] = {{"left", DIK_LEFT},     {"right", DIK_RIGHT},   {"up", DIK_UP}, {"down", DIK_DOWN},
                                  {"lshift", DIK_LSHIFT}, {"rshift", DIK_RSHIFT}, {"p", DIK_P}};

constexpr int kMouseLeft = -2; // KeyFromName's answer for "mouse"

int KeyFromName(const std::string& name)
{
    if (name == "mouse")
        return kMouseLeft;
    for (const SKeyName& entry : kKeyNames)
        if (name == entry.name)
            return entry.key;
    if (name.empty() || name.size() > 3 || name.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    const int code = std::atoi(name.c_str());
    return code <= 255 ? code : -1;
}

} // namespace

bool CKeyScript::Parse(const std::string& text, std::string& error)
{
    m_steps.clear();
    m_next = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t comma = text.find(',', pos);
        if (comma == std::string::npos)
            comma = text.size();
        const std::string item = text.substr(pos, comma - pos);
        pos = comma + 1;

        const std::size_t colon = item.find(':');
        if (colon != std::string::npos && item.compare(colon + 1, 7, "cursor=") == 0) {
            int x = -1;
            int y = -1;
            int used = 0;
            unsigned long frame = 0;
            const std::string frameText = item.substr(0, colon);
            const bool ok = frameText.find_first_not_of("0123456789") == std::string::npos && !frameText.empty() &&
                            std::sscanf(item.c_str() + colon + 8, "%5d/%5d%n", &x, &y, &used) == 2 &&
                            item.size() == colon + 8 + static_cast<std::size_t>(used) && x >= 0 && y >= 0;
            if (ok)
                frame = std::strtoul(frameText.c_str(), nullptr, 10);
            if (!ok || (!m_steps.empty() && frame < m_steps.back().frame)) {
                error = "'" + item + "' is not FRAME:cursor=X/Y with frames in order";
                m_steps.clear();
                return false;
            }
            m_steps.push_back(SStep{frame, EKind::Cursor, x, y, false});
            continue;
        }
        const char sign = item.empty() ? '\0' : item.back();
        if (colon == std::string::npos || colon == 0 || (sign != '+' && sign != '-')) {
            error = "'" + item + "' is not FRAME:KEY+ or FRAME:KEY-";
            m_steps.clear();
            return false;
        }
        const std::string frameText = item.substr(0, colon);
        errno = 0;
        char* end = nullptr;
        const unsigned long frame = std::strtoul(frameText.c_str(), &end, 10);
        const int key = KeyFromName(item.substr(colon + 1, item.size() - colon - 2));
        if (*end != '\0' || errno != 0 || frameText.find_first_not_of("0123456789") != std::string::npos) {
            error = "'" + item + "': the frame is not a number";
        } else if (key < 0 && key != kMouseLeft) {
            error = "'" + item + "': unknown key (left, right, up, down, lshift, rshift, p, mouse or 0-255)";
        } else if (!m_steps.empty() && frame < m_steps.back().frame) {
            error = "'" + item + "': frames must not go back";
        } else {
            const EKind kind = key == kMouseLeft ? EKind::MouseButton : EKind::Key;
            m_steps.push_back(SStep{frame, kind, key, 0, sign == '+'});
            continue;
        }
        m_steps.clear();
        return false;
    }
    return true;
}

void CKeyScript::InjectUpTo(unsigned long frame, HWND window)
{
    for (; m_next < m_steps.size() && m_steps[m_next].frame <= frame; ++m_next) {
        const SStep& step = m_steps[m_next];
        switch (step.kind) {
        case EKind::Key:
            vireo::testing::InjectKey(step.key, step.down);
            break;
        case EKind::MouseButton:
            vireo::testing::InjectMouseButton(0, step.down);
            break;
        case EKind::Cursor:
            vireo::testing::SetCursorClientPos(window, step.key, step.y);
            break;
        }
    }
}
