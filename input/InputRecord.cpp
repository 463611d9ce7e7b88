// Recording the keyboard's key states to a text file and replaying them from "Record.dat",
// both stamped with the game update count. Mouse input is never recorded. Damaged lines are
// read as described in RecordLine.h: a line without a count is skipped, a line with a count
// but no valid change takes its turn and changes nothing.
#include "input/RecordLine.h"
#include "support/LineReader.h"

#include <vireo/engine.h>
#include <vireo/input.h>
#include <vireo/support.h>

namespace {

constexpr const wchar_t* kReplayFile = L"Record.dat";
constexpr const wchar_t* kTerminator = L"[99999999] 0=0";
// One reader serves the whole replay, so a block holds a few hundred record lines and nothing
// is read twice; the file is read by nothing else while it plays.
constexpr std::size_t kReplayBlockBytes = 4096;

} // namespace

void CInputSystem::CloseFile()
{
    if (m_hFile != INVALID_HANDLE_VALUE)
        CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    m_pReplayReader.reset();
}

void CInputSystem::StopRecording()
{
    WriteTextAnsi(m_hFile, kTerminator);
    CloseFile();
    m_bRecording = FALSE;
}

BOOL CInputSystem::RecordInput(BOOL bRecord, const wchar_t* path)
{
    if (bRecord && !path) {
        ShowMessageBox(L"RecordInput(TRUE, NULL)");
        return FALSE;
    }
    WriteLog(1, L"RecordInput(%d)", bRecord);
    if (m_bRecording && m_hFile != INVALID_HANDLE_VALUE)
        StopRecording();
    if (!bRecord)
        return TRUE;

    if (m_pGameEngine->GetEngineStatus()->nGameUpdateCount != 0) {
        WriteLog(3, L"RecordInput(TRUE) failed.  nGameUpdateCount!=0");
        return FALSE;
    }
    // One handle serves both modes: a running replay gives its file up.
    CloseFile();
    m_hFile = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_hFile == INVALID_HANDLE_VALUE) {
        WriteLog(3, L"open Record file failed.");
        return FALSE;
    }
    ClearAllInputState();
    m_bRecording = TRUE;
    m_bReplaying = FALSE;
    return TRUE;
}

BOOL CInputSystem::ReplayInput(BOOL bReplay)
{
    WriteLog(1, L"ReplayInput(%d)", bReplay);
    if (!bReplay) {
        if (!m_bReplaying)
            return TRUE;
        m_bReplaying = FALSE;
        CloseFile();
        return TRUE;
    }
    if (m_pGameEngine->GetEngineStatus()->nGameUpdateCount != 0)
        return FALSE;

    // A recording still running is ended properly, so its file stays readable; a replay
    // already running starts again from the top.
    if (m_bRecording && m_hFile != INVALID_HANDLE_VALUE)
        StopRecording();
    CloseFile();
    m_bReplaying = FALSE;

    // A folder of that name cannot be read as a file.
    const DWORD attributes = GetFileAttributesW(kReplayFile);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        WriteLog(1, L"open Record file failed.");
        return FALSE;
    }
    m_hFile =
        CreateFileW(kReplayFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_hFile == INVALID_HANDLE_VALUE) {
        WriteLog(1, L"open Record file failed.");
        return FALSE;
    }
    m_pReplayReader = std::make_unique<vireo::CLineReader>(m_hFile, false, kReplayBlockBytes);
    if (!m_pReplayReader->Next(m_strReplayLine) || m_strReplayLine.empty()) {
        CloseFile();
        return FALSE;
    }
    ClearAllInputState();
    m_bReplaying = TRUE;
    m_bRecording = FALSE;
    return TRUE;
}

void CInputSystem::WriteChangedKeys()
{
    const DWORD count = m_pGameEngine->GetEngineStatus()->nGameUpdateCount;
    for (int key = 0; key < INPUT_KEY_COUNT; ++key) {
        if (m_Live.state[key] != m_Second.state[key])
            WriteTextFormat(m_hFile, L"[%08d] %03d=%d\n", static_cast<int>(count), key,
                            static_cast<int>(m_Live.state[key]));
    }
}

BOOL CInputSystem::ReadReplayLine()
{
    // Lines without a count are skipped here; each read consumes at least one byte, so
    // the loop ends with the file.
    do {
        if (!m_pReplayReader->Next(m_strReplayLine))
            return FALSE;
    } while (ParseRecordLine(m_strReplayLine).kind == SRecordLine::JUNK);
    return TRUE;
}

void CInputSystem::EndOfReplay()
{
    // A file without the terminator: the game stops where the recording stopped.
    m_pGameEngine->PauseGame(TRUE);
    m_bReplaying = FALSE;
    CloseFile();
}

void CInputSystem::ApplyReplayLines()
{
    if (!m_pReplayReader)
        return;
    const DWORD n = m_pGameEngine->GetEngineStatus()->nGameUpdateCount;
    SRecordLine line = ParseRecordLine(m_strReplayLine);
    if (line.kind == SRecordLine::JUNK) {
        // Only the first line can be one: ReplayInput keeps it as it was read.
        if (!ReadReplayLine()) {
            EndOfReplay();
            return;
        }
        line = ParseRecordLine(m_strReplayLine);
    }
    while (line.nCount == n) {
        WriteLog(4, L"ReplayKey nUpdateCount=%d", static_cast<int>(n));
        if (line.kind == SRecordLine::CHANGE)
            m_Second.state[line.nKey] = static_cast<KEYSTATE>(line.nState);
        if (!ReadReplayLine()) {
            EndOfReplay();
            return;
        }
        line = ParseRecordLine(m_strReplayLine);
    }
}
