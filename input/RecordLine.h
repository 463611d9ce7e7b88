// One line of an input record file, read by fixed columns: "[cccccccc] kkk=v" with the game
// update count in columns 1-8, the scan code in 11-13 and the new key state in column 15.
// Reading only; the writer is a single format string in the input system.
#pragma once

#include <string>

struct SRecordLine {
    enum Kind {
        JUNK,   // no count in columns 1-8: skipped as if it were not in the file
        STAMP,  // a count but no valid change (the terminator, short or garbled lines)
        CHANGE, // a count, a scan code 0-255 and a state 0-2
    };
    Kind kind = JUNK;
    unsigned long nCount = 0;
    int nKey = 0;
    int nState = 0;
};

SRecordLine ParseRecordLine(const std::wstring& line);
