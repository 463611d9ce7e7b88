// Internal side of the log: the file writer that WriteLog calls and a reset for tests that
// move between working directories. The public calls are in <vireo/support.h>.
#pragma once

#include <vireo/platform/Win32.h>

namespace vireo {

// Appends one line "[level.threadid] timestamp > text\r\n" to "<module>.log", or empties
// the file for level 0. Opens the file on first use; a failed open drops the message and the
// next call tries again. Returns the result of the last file operation.
BOOL WriteLogFile(const char* module, BYTE level, const char* text);

// Closes the process-wide log handle so the next line opens the file again (tests only:
// the engine itself never closes it).
void ResetLogFileForTesting();

} // namespace vireo
