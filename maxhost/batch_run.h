// maxhost without windows: "maxhost --batch JOBS.zvb [--scene FILE]" loads
// the plug-ins, opens the scene when given, and runs the batch file through
// the plug-in that exports the batch entry, as its panel's batch input does.
// Messages of the plug-in become lines on standard error.
#pragma once

namespace maxhost {

// True when the command line asks for a batch run.
bool IsBatchCommandLine(int argc, char** argv);
// The exit status: 0 when the batch ran, 1 with the reason on standard error.
int RunBatchCommandLine(int argc, char** argv);

}  // namespace maxhost
