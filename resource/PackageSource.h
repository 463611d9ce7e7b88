// What one load or restore of a package holds besides the description: for a package file,
// its bytes and records and the record the picture walk has reached. A folder package has
// none of these. Private to the resource loader.
#pragma once

#include "resource/PackageFile.h"

#include <vireo/resource.h>

#include <cstddef>

struct SPackageSource {
    BOOL bFolder = FALSE;
    CPackageFile file;       // package file only; the description's bytes live here
    std::size_t nRecord = 0; // next record to match against a picture number
    int nPictureCount = 0;   // PictureCount as read (and clamped) by OpenPackage
};
