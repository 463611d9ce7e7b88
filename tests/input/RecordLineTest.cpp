// Fixed-column reading of record lines: what counts as a change, a stamp or junk.
#include "input/RecordLine.h"

#include <gtest/gtest.h>

TEST(RecordLine, Columns)
{
    struct Row {
        const wchar_t* line;
        SRecordLine::Kind kind;
        unsigned long count;
        int key;
        int state;
    };
    const Row rows[] = {
        {L"[00000005] 030=1", SRecordLine::CHANGE, 5, 30, 1},
        {L"[12345678] 255=2", SRecordLine::CHANGE, 12345678, 255, 2},
        {L"[00000000] 000=0 and more", SRecordLine::CHANGE, 0, 0, 0},
        {L"[99999999] 0=0", SRecordLine::STAMP, 99999999, 0, 0},  // the terminator
        {L"[00000003] 256=1", SRecordLine::STAMP, 3, 0, 0},
        {L"[00000003] 999=1", SRecordLine::STAMP, 3, 0, 0},
        {L"[00000003] -01=1", SRecordLine::STAMP, 3, 0, 0},
        {L"[00000003] 0x1=1", SRecordLine::STAMP, 3, 0, 0},
        {L"[00000003] 030=3", SRecordLine::STAMP, 3, 0, 0},
        {L"[00000003] 030=-", SRecordLine::STAMP, 3, 0, 0},
        {L"[00000003] 030=", SRecordLine::STAMP, 3, 0, 0},
        {L"[00000003]", SRecordLine::STAMP, 3, 0, 0},
        {L"[0000003] 030=1", SRecordLine::JUNK, 0, 0, 0},  // seven digits: the bracket is column 8
        {L"[-0000003] 030=1", SRecordLine::JUNK, 0, 0, 0},
        {L"[ 0000003] 030=1", SRecordLine::JUNK, 0, 0, 0},
        {L"[0000000", SRecordLine::JUNK, 0, 0, 0},
        {L"", SRecordLine::JUNK, 0, 0, 0},
        {L"[\x0661\x0662\x0663\x0664\x0665\x0666\x0667\x0668] 030=1", SRecordLine::JUNK, 0, 0, 0},
    };
    for (const Row& row : rows) {
        const SRecordLine parsed = ParseRecordLine(row.line);
        EXPECT_EQ(parsed.kind, row.kind) << row.line;
        if (parsed.kind != SRecordLine::JUNK) {
            EXPECT_EQ(parsed.nCount, row.count) << row.line;
        }
        if (parsed.kind == SRecordLine::CHANGE) {
            EXPECT_EQ(parsed.nKey, row.key) << row.line;
            EXPECT_EQ(parsed.nState, row.state) << row.line;
        }
    }
}
