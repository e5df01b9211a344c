// The VOX converter: turns a VOX file (scene name, palette, geometry and
// animation in four fixed chunks) into a ZVL file of format version 7.0.
//
// The conversion looks at the four chunk headers first, reads what they
// declare (never more than the file holds) into memory, checks its chunks
// in order, attaches every animation track to the geometry object of the same
// name, converts each object's parts into VoxObject parts and each frame's
// angles into a matrix, and writes the result with the chunk writer. Every
// step reports one log line through the caller's sink.
//
// Untrusted input: every count, offset and size of the VOX file is checked
// against the bytes read before it is followed; a file that lies about them
// is refused with "Bad file format". Every converted object is checked by
// the rules the ZVL reader and the renderer apply, so what is written is
// also what they accept. Names are copied byte for byte.
// Output: ConvertFile writes the ZVL file beside the input through a
// temporary file that replaces the target only when the whole write
// succeeded, so a failed conversion leaves whatever stood there untouched.
// State: the file layer's chunk stack and error text are process-wide, so one
// conversion runs at a time.
#pragma once

#include "vox2zvl/messages.h"
#include "zvlfile/io.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace vox2zvl {

// Receives each log line as it is produced.
using LogSink = std::function<void(const std::string& line)>;

struct Status {
  bool ok = false;
  std::string message;  // the error message when !ok
  explicit operator bool() const { return ok; }
};

// The output path: the input path with its last three characters replaced by
// "ZVL" ("scene.vox" gives "scene.ZVL"). A path whose file name is shorter
// than three characters gets "ZVL" appended instead.
std::string OutputPath(const std::string& inputPath);

// Converts the VOX file at inputPath into OutputPath(inputPath).
Status ConvertFile(const std::string& inputPath, const LogSink& log);

// Converts VOX bytes already in memory and writes the ZVL file through
// `output` (any handle of the installed I/O functions, for instance a
// ZvlMemoryStream). inputPath only names the input in the log.
Status ConvertBytes(std::span<const uint8_t> vox, const std::string& inputPath, ZvlHandle output,
                    const LogSink& log);

}  // namespace vox2zvl
