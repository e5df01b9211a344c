// The authoring program's conversion without windows: a 3D Studio,
// LightWave or Alias RTG scene in, a ZVL file of version 7.2 out.
//
// Usage:
//
//   class Reporter : public authoring::ConversionReporter { ... };  // messages, progress
//   Reporter reporter;
//   authoring::PageFields fields;              // what an import page collects
//   fields.kind = authoring::ImportKind::Studio3ds;
//   fields.scenePath = "windmill.3ds";
//   fields.palettePath = "main_p6.act";
//   fields.levels = 2;
//   authoring::SceneConversion conversion(reporter);
//   if (!conversion.Prepare(fields)) return;   // read, palette check, materials
//   float units = conversion.DefaultUnits();   // what the UnitsDialog offers
//   if (!conversion.Setup(units, "windmill.zvl")) return;  // palette, colour tables, job
//   std::thread worker([&] { conversion.Run(); });          // conversion.Stop() from anywhere
//   worker.join();
//
// or authoring::ConvertPage(fields, units, "windmill.zvl", reporter) for all
// of it on the calling thread.
//
// The steps, in order: the scene and its animation are read (the importers
// of import/); the ACT palette must hold 255 colours ("Palette file missed
// or corrupted"); the scene's materials become the converted material table
// (AuthoringHost); the palette builder makes the palette and colour tables
// for the page's range; then the job's writer pulls every object through the
// object callback, which voxelizes it at each level (1.5 times coarser each,
// at most 16) and hands over its per-frame placement, and writes the file
// through a temporary file beside the target. The option flags choose what
// the file holds (page_fields.h). Messages go to the reporter, spelled in
// authoring/messages.h.
//
// Threads: Prepare and Setup run where the caller runs them; Run may run on
// a thread of its own; Stop is safe from any thread and sets the conversion
// host's atomic stop flag, which every callback of the engine tests.
#pragma once

#include "authoring/authoring_host.h"
#include "authoring/conversion_job.h"
#include "authoring/conversion_reporter.h"
#include "authoring/messages.h"
#include "authoring/page_fields.h"
#include "authoring/paths.h"
#include "authoring/progress_monitor.h"
#include "authoring/scene_conversion.h"
#include "authoring/units.h"
