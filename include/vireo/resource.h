// Sprite resources: the INI reader and writer that Desc.ini goes through, the sprite
// resource package (CResource) and the animation that plays one of its sequences
// (CAnimation), and the pool of one-shot animations (CAnimationCtrl). Packages and
// animations are made and released only by CRenderSystem; the pool goes through it too.
#pragma once

#include <vireo/platform/Win32.h>
#include <vireo/render.h>

#include <cstddef>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace vireo {
class CLineReader;
}

// One line of an INI text, in file order. A line with a non-empty strSection is a section
// header whatever else it holds; blank, comment-only and unrecognised lines have empty
// section, key and value.
struct SIniLine {
    BOOL bUsed = 0;          // set when a lookup finds it or SetString creates it
    std::wstring strSection; // section name, only on a header line
    std::wstring strKey;
    std::wstring strValue;
    std::wstring strComment; // text after the first ';', without it; not trimmed
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
    std::wstring GetString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultText, BOOL writeBack);
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
    struct SKeyIndex;
    SKeyIndex& KeysOf(LineList::iterator header);

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
    std::string* m_pSink = nullptr;          // set while SaveToBuffer runs instead of m_hFile
    vireo::CLineReader* m_pReader = nullptr; // set while Load reads m_hFile
    // Per section header: its keys by folded name, so lookups and new keys cost no walk.
    std::unique_ptr<std::unordered_map<const SIniLine*, SKeyIndex>> m_pKeyIndex;
};

// ---- sprite resource package ---------------------------------------------------------------

// One picture of a package: its picture (null when no image was found), its PicBox and its
// centre point.
struct SResElem {
    CPicture* pPicture;
    RECT rcPicBox;
    POINT ptCenter;
};

// One animation sequence. nEndFrame below nStartFrame runs backwards; nFrameDelay is in
// update ticks (each frame shows for nFrameDelay + 1 ticks).
struct SAniData {
    int nSequence;
    int nStartFrame;
    int nEndFrame;
    int nFrameDelay;
    int nFrameCount; // |nEndFrame - nStartFrame| + 1
    int nLoopCount;  // passes per unit of the count given to CAnimation::Play
};

// What the package file and its description look like while a load or a restore runs;
// private to the loader.
struct SPackageSource;

// A numbered set of pictures with their boxes and centre points, hit boxes and animation
// sequences, from a folder (Desc.ini and numbered images) or one package file. Queries never
// fail: out-of-range indices give null, 0 or the documented fallback.
class CResource {
  public:
    CResource();
    virtual ~CResource();
    CResource(const CResource&) = delete;
    CResource& operator=(const CResource&) = delete;

    // 1 when 0 <= index < GetPictureCount() and that picture was loaded.
    int IsPictureExist(int index);
    // Null with a box when index >= GetPictureCount(), with a level-1 line when the index is
    // negative or the picture is missing.
    CPicture* GetPicture(int index);
    // Sequence index, or sequence 0 for an index outside the table.
    SAniData GetAniData(int index);
    // 1 and *pOut filled when index names a picture record, else 0 and *pOut untouched.
    int GetResElem(SResElem* pOut, int index);
    // Hit box index, else 0, 0 and the size of picture 0 (0 x 0 without one).
    RECT GetHitBox(int index);
    int GetPictureCount() { return m_nPictureCount; }
    std::wstring GetResFilePath() { return m_strFile; }

    // ---- internal: render system --------------------------------------------------------
    // Loads the folder or package file at path. 0 after a box when the path does not exist,
    // or when a package file cannot be opened or is damaged (a log line says why).
    BOOL LoadPackage(CRenderSystem* pRenderSystem, const wchar_t* path);
    // After a device reset: package-file pictures rebuild their textures from the file's
    // bytes; folder pictures are left to the texture pool. The description is not saved.
    void RestorePictures();
    int GetHitBoxCount() const { return m_nHitBoxCount; }
    int GetSeqCount() const { return m_nSeqCount; }

    // The most pictures, sequences (besides sequence 0) and hit boxes one package may
    // declare; larger counts in a description are cut with a level-3 line, so a damaged
    // Desc.ini cannot make the loader allocate or write back without bound. Every sequence
    // and hit box may add a Desc.ini line, hence their lower limits.
    static constexpr int kMaxPictures = 10000;
    static constexpr int kMaxSequences = 1000;
    static constexpr int kMaxHitBoxes = 1000;

  private:
    BOOL OpenPackage(CIniFile& ini, SPackageSource& source);
    void LoadSequences(CIniFile& ini, int pictureCount);
    void LoadPictures(CIniFile& ini, int count, SPackageSource& source);
    void LoadHitBoxes(CIniFile& ini, int hitBoxCount);
    void LoadCenterPoints(CIniFile& ini, int pictureCount);
    std::wstring FindPictureFile(int index);
    void ReleaseContents();
    // A count from the description kept within lowest ... highest, with a line if cut.
    int ClampCount(const wchar_t* key, int value, int lowest, int highest);

    CRenderSystem* m_pRenderSystem = nullptr;
    std::wstring m_strFile;
    SResElem* m_pResElem = nullptr;
    int m_nResElemCount = 0;
    int m_nPictureCount = 0;
    SAniData* m_pAniData = nullptr;
    int m_nSeqCount = 0;
    RECT* m_pHitBox = nullptr;
    int m_nHitBoxCount = 0;
};

// ---- animation -------------------------------------------------------------------------

// GetFrameData's answer: nReserved is always 0; the size of the current frame's picture and
// the current frame index.
struct SFrameData {
    int nReserved;
    int nWidth;
    int nHeight;
    int nFrame;
};

// Plays one sequence of a package on one of the engine's clocks, counted in update ticks
// (frames), not milliseconds. Made by CRenderSystem::CreateAnimation, stopped until Play.
class CAnimation {
  public:
    CAnimation();
    virtual ~CAnimation();
    CAnimation(const CAnimation&) = delete;
    CAnimation& operator=(const CAnimation&) = delete;

    // From frame 0; 0 plays forever, n plays nLoopCount x n passes (at least one).
    void Play(int nTimes);
    // Frame and counters stay where they are.
    void Stop();
    int IsPlaying() const { return m_bPlaying; }
    int GetCurrentFrame() const { return m_nCurrentFrame; }
    // Clamped to 0 ... nFrameCount - 1; the counters are untouched.
    void SetCurrentFrame(int nFrame);
    // A different sequence restarts only a play that loops forever; otherwise the frame
    // index and counters are kept. An index outside the package's table selects sequence 0.
    void ChangeSequence(int nSequence);
    SAniData GetAniData() { return m_AniData; }
    CResource* GetResource() const { return m_pResource; }
    // Any picture of the package, by picture number.
    CPicture* GetPicture(int index) const;
    // The current frame's picture, or null (with a level-3 line when the frame is outside
    // the sequence).
    CPicture* GetFramePicture() const;
    // The current frame at (x, y) with the stored parameters; pSrcRect, when given, applies to
    // this draw only. Nothing while stopped.
    void Draw(int x, int y, const RECT* pSrcRect = nullptr) const;
    // The same with (x, y) as the centre of the picture.
    void DrawCenter(int x, int y) const;
    SIZE GetPictureSize();
    SFrameData GetFrameData();
    void SetDrawParam(const SDrawParam* pParam);
    void SetRotation(float fRotation) { m_DrawParam.fRotation = fRotation; }
    // 0 the game clock (frozen while paused), 1 the UI clock; other values never advance.
    void SetUsage(int nUsage) { m_nUsage = nUsage; }
    int GetUsage() const { return m_nUsage; }
    // Hands this animation back to its render system; the pointer is invalid afterwards.
    void Release();

    // ---- internal: render system --------------------------------------------------------
    void Create(CRenderSystem* pRenderSystem, CResource* pResource, int nSequence);
    // One tick of this animation's clock.
    void Advance();
    const SDrawParam& GetDrawParam() const { return m_DrawParam; }

  private:
    // Frame 0 of the current data with the delay reloaded (Play's first steps).
    void Rewind();
    // The current frame with a copy of the stored parameters; nothing while stopped.
    void DrawFrame(int x, int y, const RECT* pSrcRect, bool center) const;

    CRenderSystem* m_pRenderSystem = nullptr;
    CResource* m_pResource = nullptr;
    SAniData m_AniData{};
    SDrawParam m_DrawParam{};
    int m_nSequence = 0;
    int m_nCurrentFrame = 0;
    int m_nDelayCount = 0;
    int m_nLoopLeft = 0;
    BOOL m_bPlaying = FALSE;
    BOOL m_bLoopForever = FALSE;
    int m_nUsage = 0;
};

// ---- animation control ---------------------------------------------------------------------

// A fixed pool of animations of one package (sequence 0, the game clock) for effects fired
// at a point that vanish after one pass, such as explosions. Play starts the first idle
// one; a full pool drops the effect. Not a window: the game places and draws it. Destroy it
// before the engine shuts down, since its destructor hands the animations back.
class CAnimationCtrl {
  public:
    CAnimationCtrl();
    virtual ~CAnimationCtrl();
    CAnimationCtrl(const CAnimationCtrl&) = delete;
    CAnimationCtrl& operator=(const CAnimationCtrl&) = delete;

    // AniCount animations of the package at path. A second call shows a box and builds a
    // new pool; the first pool's animations stay with the render system until it releases
    // them. Entries whose package cannot be loaded stay null and are skipped.
    void Create(CRenderSystem* pRenderSystem, const wchar_t* path, int AniCount);
    // One pass of the first idle animation at (x, y); nothing when every one is running.
    void Play(int x, int y);
    // The same with (x, y) as the centre of the picture.
    void PlayCenter(int x, int y);
    // Every running animation at its start position plus (x, y).
    void Draw(int x, int y) const;
    // The current picture's size of the first animation; 0, 0 without one.
    SIZE GetPictureSize();

    // The most animations one pool holds; larger counts are cut with a level-3 line.
    static constexpr int kMaxAnimations = 4096;

  protected:
    // A pool takes no messages: 0 for every one.
    virtual int MessageProc(UINT msg, UINT wParam, LONG lParam);

  private:
    CRenderSystem* m_pRenderSystem = nullptr;
    CAnimation** m_ppAnimation = nullptr;
    POINT* m_pPos = nullptr;
    int m_nAniCount = 0;
};
