// The name table of the engine messages (for log lines only; nothing routes by name).
#include "engine/MessageNames.h"

#include <vireo/types.h>

namespace vireo {

const wchar_t* GetMessageName(UINT msg)
{
    switch (msg) {
    case EMSG_EG_INIT:
        return L"EMSG_EG_INIT";
    case EMSG_EG_CLEAR:
        return L"EMSG_EG_CLEAR";
    case EMSG_EG_UI_UPDATE:
        return L"EMSG_EG_UI_UPDATE";
    case EMSG_EG_GAME_UPDATE:
        return L"EMSG_EG_GAME_UPDATE";
    case EMSG_EG_FRAME_BEGIN:
        return L"EMSG_EG_FRAME_BEGIN";
    case EMSG_EG_FRAME_END:
        return L"EMSG_EG_FRAME_END";
    case EMSG_RS_RENDER_BEGIN:
        return L"EMSG_RS_RENDER_BEGIN";
    case EMSG_RS_RENDER:
        return L"EMSG_RS_RENDER";
    case EMSG_IS_UI_KEYBOARD_INPUT:
        return L"EMSG_IS_UI_KEYBOARD_INPUT";
    case EMSG_IS_UI_MOUSE_INPUT:
        return L"EMSG_IS_UI_MOUSE_INPUT";
    case EMSG_IS_GAME_KEYBOARD_INPUT:
        return L"EMSG_IS_GAME_KEYBOARD_INPUT";
    case EMSG_IS_GAME_MOUSE_INPUT:
        return L"EMSG_IS_GAME_MOUSE_INPUT";
    case EMSG_UI_DRAW_BACKGROUND:
        return L"EMSG_UI_DRAW_BACKGROUND";
    case EMSG_UI_DRAW_FOREGROUND:
        return L"EMSG_UI_DRAW_FOREGROUND";
    case EMSG_UI_BUTTON_STATE_CHANGE:
        return L"EMSG_UI_BUTTON_STATE_CHANGE";
    default:
        return L"";
    }
}

} // namespace vireo
