// Messages of maxhost's run without windows, spelled once.
#pragma once

namespace maxhost::msg {

inline constexpr const char* BatchUsage = "usage: maxhost --batch JOBS.zvb [--scene FILE]";
inline constexpr const char* NoBatchPlugin = "No plug-in in the plug-in folder runs batch files";
inline constexpr const char* CantOpenScene = "Can't open scene";

}  // namespace maxhost::msg
