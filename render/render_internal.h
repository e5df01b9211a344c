// The renderer's hooks for tests, benchmarks and fuzzing: the processor
// probe behind ZvlSetup, the choice between the two writer sets, and the
// lifetime of the shared SplatTile. Programs need none of these.
#pragma once

#include <cstdint>

#include "render/render.h"

// What the processor says about itself. The real probe toggles the
// alignment-check (EFLAGS bit 18) and ID (bit 21) flags and runs CPUID on x86
// and x86-64; elsewhere there is no CPUID and only alignmentCheckToggles is
// true.
struct ZvlCpuProbe {
  bool alignmentCheckToggles = false;
  bool idFlagToggles = false;
  uint32_t highestLevel = 0;  // CPUID 0: EAX
  char vendor[13] = {};       // CPUID 0: EBX, EDX, ECX, zero-terminated
  uint32_t leaf1Eax = 0;      // CPUID 1: family in bits 8-11
  uint32_t leaf1Edx = 0;      // CPUID 1: bit 23 MMX
};
ZvlCpuProbe ZvlProbeProcessor();
// Classifies a probe into a CpuType.
uint8_t ZvlClassifyCpu(const ZvlCpuProbe& probe);
// Replaces the probe ZvlSetup uses; null restores the real one.
using ZvlCpuProbeFunction = ZvlCpuProbe (*)();
void ZvlSetCpuProbe(ZvlCpuProbeFunction probe);

// The two writer sets: the plain one, and the packed one that keeps screen
// position and depth in one 64-bit value (installed for CpuType 3). Both
// produce the same pixels; this switch overrides the handler's choice.
enum class ZvlWriterSetKind { Plain, Packed };
void ZvlUseWriterSet(ScnHandler* handler, ZvlWriterSetKind kind);

// Live handlers, and whether the SplatTile exists and is wholly empty.
int ZvlLiveHandlerCount();
bool ZvlSplatTileExists();
bool ZvlSplatTileIsEmpty();
