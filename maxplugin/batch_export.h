// The plug-in's one export beyond the host's four: runs a batch file exactly
// as the panel's batch input does, with the panel's current settings as the
// defaults. Failures go to the host's ReportMessage (error kind, caption
// "ERROR"). A host without windows (maxhost --batch) looks it up by name.
#pragma once

class Interface;

extern "C" {
using RunBatchFunction = int (*)(Interface* ip, const char* batchPath);
}
inline constexpr const char* kRunBatchExport = "ZvlPlayRunBatch";
