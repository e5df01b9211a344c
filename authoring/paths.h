// The path rules of the import pages and the job: the output name, the
// folder of a chosen file, the RTG animation stem, the names stored in the
// file. "\" and "/" are both folder separators.
#pragma once

#include <string>

namespace authoring {

// The output file from the name chosen in the save dialog: everything up to
// the last "." of the file name, then "zvl"; a file name without "." gets
// ".zvl" appended. Dots in folder names are not taken for the extension's.
std::string OutputPathFor(const std::string& chosen);

// The folder part of a path, up to and including its last separator; "./"
// when it has none.
std::string FolderPart(const std::string& path);

// The stem shared by the RTG animation files: the chosen path cut before the
// first "_" of its file name (the whole path when the name has none).
std::string AnimationStemOf(const std::string& chosen);

// The base name of a path (after its last separator, before its last "."),
// cut to 15 characters: what the 16-byte name fields of the job hold.
std::string JobName(const std::string& path);

// The default palette: main_p6.act in the folder the program started in.
std::string DefaultPalettePath(const std::string& startFolder);

// True when both paths name the same existing file.
bool SameFile(const std::string& a, const std::string& b);

}  // namespace authoring
