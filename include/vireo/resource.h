// Sprite resources: the INI reader and writer that Desc.ini goes through.
// Packages, animations and their control are declared here once they exist; nothing else
// of the resource family is promised by this header yet.
#pragma once

#include <vireo/platform/Win32.h>

#include <cstddef>
#include <list>
#include <string>

// One line of an INI text, in file order. A line with a non-empty strSection is a section
// header whatever else it holds; blank, comment-only and unrecognised lines have empty
// section, key and value.
struct SIniLine {
    BOOL bUsed = 0;           // set when a lookup finds it or SetString creates it
    std::wstring strSection;  // section name, only on a header line
    std::wstring strKey;
    std::wstring strValue;
    std::wstring strComment;  // text after the first ';', without it; not trimmed
};

// INI text held line by line, so a file written back looks like the file read. Files are
// ANSI (process code page) or UTF-16LE with FF FE and keep their encoding when saved; text
// from memory is ANSI. Lines longer than 1023 characters are cut at 1023, the rest of such
// a line is dropped. Never logs, never shows a box; no profile-string functions.
class CIniFile {
public:
    using LineList = std::list<SIniLine>;

    CIniFile();
    virtual ~CIniFile();
    CIniFile(const CIniFile&) = delete;
    CIniFile& operator=(const CIniFile&) = delete;

    // Either path may be null. 0 when the file cannot be opened (the model is then empty).
    BOOL Load(const wchar_t* path, const wchar_t* mirrorPath);
    // ANSI bytes owned by the caller, kept alive while this object lives. Text after the
    // last carriage return is not read. Always 1.
    BOOL LoadFromMemory(const void* data, DWORD size);

    // An empty or null section or key finds nothing, and SetString ignores it.
    std::wstring GetString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultText,
                           BOOL writeBack);
    int GetInt(const wchar_t* section, const wchar_t* key, int defaultValue, BOOL writeBack);
    void SetString(const wchar_t* section, const wchar_t* key, const wchar_t* value);

    // Mode 1 writes only used lines (plus blank and comment lines); any other mode all.
    // A null or empty path saves to the loaded path and then refreshes the mirror copy.
    // The text goes to "<target>.tmp" first and replaces the target by a rename, so a
    // failed write leaves the previous file as it was.
    BOOL Save(int mode, const wchar_t* path);
    // The bytes Save would write in the current encoding (mark included), whether or not
    // anything was modified. For tools and fuzzing, which must not touch the disk.
    void SaveToBuffer(int mode, std::string& bytes);

    const LineList& GetLines() const { return m_Lines; }
    BOOL IsUnicode() const { return m_bUnicode; }
    BOOL IsModified() const { return m_bModified; }

    // The longest line kept, in characters (ANSI bytes or UTF-16 code units on input).
    static constexpr std::size_t kMaxLineLength = 1023;

private:
    LineList::iterator FindSection(const wchar_t* section);
    BOOL FindKey(const wchar_t* section, const wchar_t* key, std::wstring& value);
    BOOL ReadLine(std::wstring& line);
    BOOL WriteText(const std::wstring& text);
    BOOL WriteLines(int mode);
    void DetectEncoding(const wchar_t* path, const wchar_t* mirrorPath);

    BOOL m_bUnicode = 0;
    std::wstring m_strPath;
    std::wstring m_strMirrorPath;
    LineList m_Lines;
    LineList::iterator m_pCursor;
    HANDLE m_hFile = nullptr;
    const BYTE* m_pMemData = nullptr;
    DWORD m_nMemSize = 0;
    DWORD m_nMemPos = 0;
    BOOL m_bModified = 0;
    std::string* m_pSink = nullptr;  // set while SaveToBuffer runs instead of m_hFile
};
