// LOCAL: bridges to the stand-in core until the real testing header arrives.
#include "tests/platform/input/InputTestSupport.h"

void ShimSetForeground(HWND h);

namespace test {

void SetForegroundForTest(HWND hwnd) { ShimSetForeground(hwnd); }

}  // namespace test
