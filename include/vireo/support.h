// The engine's shared helpers: the log and the error box, file and path functions, text
// lines in the ANSI code page or UTF-16LE, and rectangles. Paths take '\' or '/'.
#pragma once

#include <vireo/platform/Win32.h>

#include <string>

// ---- log and error box -------------------------------------------------------------------
// Formats follow the wide printf rules of the engine's messages: %s and %c take wide
// arguments, %S and %C narrow ones. Addresses are passed as unsigned long long with
// %08llx, so a 64-bit pointer prints whole.
// Level 0 empties VireoEngine.log, 1 trace, 2 warning, 3 error, 4 discarded.
void WriteLog(int level, const wchar_t* format, ...);
// Modal box with caption "Vireo Engine" and an OK button; returns the box's result.
int ShowMessageBox(const wchar_t* format, ...);

// ---- files and paths ---------------------------------------------------------------------
BOOL FileExists(const wchar_t* path);
std::wstring GetFullPath(const wchar_t* path);
std::wstring GetFolderOfPath(const wchar_t* path);
std::wstring GetPathTail(const wchar_t* path, int count);
std::wstring GetFileExt(const wchar_t* path);
std::wstring GetFileTitle(const wchar_t* path, int count);
BOOL CreateFolderTree(const wchar_t* path, LPSECURITY_ATTRIBUTES security);
int CompareFileSizes(const wchar_t* path1, const wchar_t* path2);

// ---- text lines --------------------------------------------------------------------------
// A carriage return ends a line; a line feed is skipped. FALSE only at the end of the file
// with an empty line. Lines are cut at 1023 bytes (ANSI) or 1023 characters (UTF-16). The
// readers read in blocks and leave the file pointer just after the line's carriage return.
BOOL ReadLineAnsi(HANDLE file, std::wstring& line);
BOOL ReadLineUnicode(HANDLE file, std::wstring& line);
BOOL WriteTextAnsi(HANDLE file, const wchar_t* text);
int WriteTextFormat(HANDLE file, const wchar_t* format, ...);
BOOL WriteTextUnicode(HANDLE file, const wchar_t* text);

// ---- numbers and rectangles --------------------------------------------------------------
// Decimal text to int by the Microsoft _wtoi rules: leading white space, one sign, digits up
// to the first other character; 0 without digits; saturates at INT_MIN / INT_MAX.
int ParseIntW(const wchar_t* text);
// "left,top,right,bottom"; a missing comma leaves that number 0.
RECT ParseRect(const wchar_t* text);
RECT MakeRect(int x, int y, int cx, int cy);
inline LONG RectWidth(const RECT& rect)
{
    return rect.right - rect.left;
}
inline LONG RectHeight(const RECT& rect)
{
    return rect.bottom - rect.top;
}
