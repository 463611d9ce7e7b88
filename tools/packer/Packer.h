// vireo-pack's work: collect a package folder the way the resource loader reads it
// (Desc.ini, then pictures 000... by number and extension order) and pack it into one
// package file, or list a package file. No texture is decoded; bytes are copied as they are.
#pragma once

#include "resource/PackageFile.h"

#include <cstdio>
#include <string>
#include <vector>

struct SPackerInput {
    std::string strDesc;                   // description text as the package carries it
    std::vector<SPackagePicture> pictures; // in ascending picture order
    std::vector<std::wstring> warnings;
};

// Most pictures a package may declare; a larger PictureCount is refused.
constexpr int kPackerMaxPictures = 10000;

// Desc.ini file bytes to the package's description: UTF-16LE with FF FE is converted to the
// ANSI code page, and a last line without a carriage return gets one (the package reader
// drops text after the last one, the folder reader keeps it).
std::string DescToPackageText(const std::vector<BYTE>& fileBytes);

// 0 with a message in error when the folder cannot be packed.
BOOL CollectPackageFolder(const std::wstring& folder, SPackerInput& input, std::wstring& error);

// The command line: "vireo-pack FOLDER [OUTPUT]" or "vireo-pack --list FILE".
// Returns the exit code: 0 done, 1 failed, 2 bad usage.
int RunPacker(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
