// Fixed-column parsing of record lines. Every field must be all decimal digits: no signs,
// blanks or overflow, so a hand-edited or damaged line can never name a key outside 0-255.
#include "input/RecordLine.h"

namespace {

// Digits of line[first, first + count) as a number, or -1 when any is not a digit.
long Digits(const std::wstring& line, std::size_t first, std::size_t count)
{
    if (line.size() < first + count)
        return -1;
    long value = 0;
    for (std::size_t i = first; i < first + count; ++i) {
        const wchar_t c = line[i];
        if (c < L'0' || c > L'9')
            return -1;
        value = value * 10 + (c - L'0');
    }
    return value;
}

} // namespace

SRecordLine ParseRecordLine(const std::wstring& line)
{
    SRecordLine result;
    const long count = Digits(line, 1, 8);
    if (count < 0)
        return result;
    result.kind = SRecordLine::STAMP;
    result.nCount = static_cast<unsigned long>(count);
    const long key = Digits(line, 11, 3);
    const long state = Digits(line, 15, 1);
    if (key < 0 || key > 255 || state < 0 || state > 2)
        return result;
    result.kind = SRecordLine::CHANGE;
    result.nKey = static_cast<int>(key);
    result.nState = static_cast<int>(state);
    return result;
}
