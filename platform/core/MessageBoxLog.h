// The record of message boxes shown, kept for the testing header. Bounded: the oldest
// entries go first once the cap is reached.
#pragma once

#include <vireo/platform/Win32.h>

#include <string>
#include <vector>

namespace vireo::platform {

struct ShownMessageBox {
    std::wstring caption;
    std::wstring text;
    UINT type;
};

const std::vector<ShownMessageBox>& MessageBoxesShown();
void ClearMessageBoxesShown();

// A box with no screen to show it: the text goes to stderr and the first button answers.
int AnswerMessageBoxOnStderr(const std::wstring& caption, const std::wstring& text, UINT type);

} // namespace vireo::platform
