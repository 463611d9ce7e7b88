// Reads text lines from an open file in blocks, with the rules of ReadLineAnsi and
// ReadLineUnicode: CR ends a line, LF is skipped, a line keeps at most 1023 bytes or UTF-16
// units and the rest up to its CR is dropped, a read error counts as the end of the file.
// It never opens or closes the file; bytes read past the last line returned stay buffered
// until GiveBack moves the file pointer back to just after that line.
#pragma once

#include <vireo/platform/Win32.h>

#include <cstddef>
#include <string>
#include <vector>

namespace vireo {

class CLineReader {
  public:
    // blockBytes: the size of each ReadFile; small for one line, large for a whole file.
    CLineReader(HANDLE file, bool unicode, std::size_t blockBytes);

    // FALSE only at the end of the file with an empty line.
    BOOL Next(std::wstring& line);
    // Seeks back over the bytes read but not yet used; false when the file cannot seek
    // (they are then lost to the next reader).
    bool GiveBack();

  private:
    bool Fill();

    HANDLE m_hFile;
    bool m_bUnicode;
    std::vector<unsigned char> m_Buffer;
    std::size_t m_nBegin = 0;
    std::size_t m_nEnd = 0;
    bool m_bEndOfFile = false;
};

} // namespace vireo
