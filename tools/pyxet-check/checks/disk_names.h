// The names a distributable folder puts on a CD or a floppy: which files go
// on the disk, names that clash without regard to case, names a medium holds
// otherwise than they are written, and driver packages no row uses.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "checks/check_result.h"

enum class Medium { None, Iso, Floppy };

struct DiskOptions {
    Medium Image = Medium::None;  // the medium whose names are judged as errors
    bool All = false;             // packages no row uses go on the disk too
};

// The medium that --image names ("iso", "floppy"); false for any other name.
bool ParseMedium(const std::string& name, Medium* medium);

// What the CD's plain ISO 9660 tree holds for a name, as xorriso writes it at
// ISO level 1, before names that then clash are numbered.
std::string PlainIsoName(const std::string& name, bool isFolder);
// Whether a FAT disk holds name as its 8.3 short name, case aside.
bool IsFatShortName(const std::string& name);

// The not-8.3 warnings for the parts of a row's program path: which disk and
// which reader a part fails on, and what the plain ISO 9660 tree holds.
void CheckCommandNames(const std::string& key, const std::vector<std::string>& parts, CheckResult* result);

// Walks the folder root (the distributable folder): warns of packages under
// DRIVERS\ that no loaded row uses, reports names that clash without regard
// to case and, for a medium, every name it would not hold as written; puts
// the files that go on the disk into result->DiskFiles.
void CheckDisk(const std::string& root, const DiskOptions& options, CheckResult* result);

// The files that go on the disk, one per line (--list-files).
void PrintDiskFiles(FILE* out, const CheckResult& result);
