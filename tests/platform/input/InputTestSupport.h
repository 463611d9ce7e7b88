// Test helpers of the input tests: which window the platform reports as the foreground.
#pragma once

#include <vireo/platform/Win32.h>

namespace test {

void SetForegroundForTest(HWND hwnd);

}  // namespace test
