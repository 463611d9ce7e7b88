// Parses and plays the demo's scripted key sequence through vireo::testing::InjectKey.
// It only feeds keys; frame pacing stays with the host loop.
#include "KeyScript.h"

#include <vireo/platform/DInput8.h>
#include <vireo/platform/Testing.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

struct SKeyName {
    const char* name;
    int key;
};
constexpr SKeyName kKeyNames[] = {{"left", DIK_LEFT},     {"right", DIK_RIGHT},   {"up", DIK_UP}, {"down", DIK_DOWN},
                                  {"lshift", DIK_LSHIFT}, {"rshift", DIK_RSHIFT}, {"p", DIK_P}};

int KeyFromName(const std::string& name)
{
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
        } else if (key < 0) {
            error = "'" + item + "': unknown key (left, right, up, down, lshift, rshift, p or 0-255)";
        } else if (!m_steps.empty() && frame < m_steps.back().frame) {
            error = "'" + item + "': frames must not go back";
        } else {
            m_steps.push_back(SStep{frame, key, sign == '+'});
            continue;
        }
        m_steps.clear();
        return false;
    }
    return true;
}

void CKeyScript::InjectUpTo(unsigned long frame)
{
    for (; m_next < m_steps.size() && m_steps[m_next].frame <= frame; ++m_next)
        vireo::testing::InjectKey(m_steps[m_next].key, m_steps[m_next].down);
}
