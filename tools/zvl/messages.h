// Texts of the zvl tool's own refusals, spelled once. The libraries' texts
// are theirs (zvl::msg, zvl::rmsg, vox2zvl::msg).
#pragma once

namespace zvltool::msg {

inline constexpr const char* OutputIsInput = "output is the input file";
inline constexpr const char* OutputNotRegular = "output exists and is not a regular file";
inline constexpr const char* CantWritePng = "Can't write PNG file";
// Added to the renderer's "zvlbase:PALETTE ?! " so the command says what it means.
inline constexpr const char* NoPaletteMeaning =
    "(the file has no palette and no 16-bit colour table, so there are no colours to draw with)";
inline constexpr const char* NotAFile = "not a regular file";
inline constexpr const char* Unexpected = "unexpected failure: ";

}  // namespace zvltool::msg
