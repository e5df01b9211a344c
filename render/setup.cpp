// Renderer setup: the I/O functions and the processor type.
#include <cstring>

#include "render/render_internal.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace {

uint8_t g_cpuType = ZvlCpuNone;
ZvlCpuProbeFunction g_probe = nullptr;

#if defined(__x86_64__) || defined(__i386__)
// Whether the EFLAGS bit `mask` can be changed: flip it, read it back and
// restore the original flags, all inside one asm block so that nothing runs
// with the alignment-check flag set. On x86-64 the stack pointer first steps
// over the red zone.
bool FlagToggles(unsigned long mask) {
  unsigned long changed;
#if defined(__x86_64__)
  __asm__ volatile(
      "add $-128, %%rsp\n\t"
      "pushfq\n\t"
      "pop %%rax\n\t"
      "mov %%rax, %%rcx\n\t"
      "xor %1, %%rax\n\t"
      "push %%rax\n\t"
      "popfq\n\t"
      "pushfq\n\t"
      "pop %%rax\n\t"
      "push %%rcx\n\t"
      "popfq\n\t"
      "xor %%rcx, %%rax\n\t"
      "sub $-128, %%rsp\n\t"
      "mov %%rax, %0\n\t"
      : "=r"(changed)
      : "r"(mask)
      : "rax", "rcx", "cc", "memory");
#else
  __asm__ volatile(
      "pushfl\n\t"
      "pop %%eax\n\t"
      "mov %%eax, %%ecx\n\t"
      "xor %1, %%eax\n\t"
      "push %%eax\n\t"
      "popfl\n\t"
      "pushfl\n\t"
      "pop %%eax\n\t"
      "push %%ecx\n\t"
      "popfl\n\t"
      "xor %%ecx, %%eax\n\t"
      "mov %%eax, %0\n\t"
      : "=r"(changed)
      : "r"(mask)
      : "eax", "ecx", "cc", "memory");
#endif
  return (changed & mask) != 0;
}
#endif

}  // namespace

ZvlCpuProbe ZvlProbeProcessor() {
  ZvlCpuProbe probe;
#if defined(__x86_64__) || defined(__i386__)
  probe.alignmentCheckToggles = FlagToggles(0x40000ul);
  if (!probe.alignmentCheckToggles) return probe;
  probe.idFlagToggles = FlagToggles(0x200000ul);
  if (!probe.idFlagToggles) return probe;
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  __cpuid(0, eax, ebx, ecx, edx);
  probe.highestLevel = eax;
  std::memcpy(probe.vendor, &ebx, 4);
  std::memcpy(probe.vendor + 4, &edx, 4);
  std::memcpy(probe.vendor + 8, &ecx, 4);
  probe.vendor[12] = 0;
  if (probe.highestLevel >= 1) {
    __cpuid(1, eax, ebx, ecx, edx);
    probe.leaf1Eax = eax;
    probe.leaf1Edx = edx;
  }
#else
  // No CPUID on other processors: a machine that runs us is a type 1.
  probe.alignmentCheckToggles = true;
#endif
  return probe;
}

// Type 255 for a processor whose alignment-check flag is fixed and for Intel
// families 4 and below; type 1 without CPUID, for other vendors and for
// CPUID level 0; Intel family 5 is 2 or 3 by MMX; family 6 and every later
// one, among them base family 15 (whose successors are told apart only by
// the extended family field), is 4.
uint8_t ZvlClassifyCpu(const ZvlCpuProbe& probe) {
  if (!probe.alignmentCheckToggles) return ZvlCpuUnsupported;
  if (!probe.idFlagToggles) return ZvlCpu486;
  if (std::strncmp(probe.vendor, "GenuineIntel", 12) != 0 || probe.highestLevel < 1) return ZvlCpu486;
  const uint32_t family = (probe.leaf1Eax >> 8) & 0xF;
  if (family == 5) return (probe.leaf1Edx & 0x800000u) ? ZvlCpuPentiumMmx : ZvlCpuPentium;
  if (family >= 6) return ZvlCpuPentiumPro;
  return ZvlCpuUnsupported;
}

void ZvlSetCpuProbe(ZvlCpuProbeFunction probe) { g_probe = probe; }

int ZvlSetup(const ZvlIoFunctions* functions) {
  if (functions == nullptr) {
    ZvlSetError(zvl::rmsg::NoSetupParameter);
    return 1;
  }
  if (!functions->allocate || !functions->free || !functions->read || !functions->write || !functions->seek ||
      !functions->tell) {
    ZvlSetError(zvl::rmsg::SetupIsEmpty);
    return 1;
  }
  ZvlInstallIoFunctions(*functions);
  g_cpuType = ZvlClassifyCpu(g_probe ? g_probe() : ZvlProbeProcessor());
  if (g_cpuType < ZvlCpu486 || g_cpuType > ZvlCpuPentiumPro) {
    ZvlSetError(zvl::rmsg::CpuNotSupported);
    return 1;
  }
  ZvlSetUserDataHooks(nullptr, nullptr);
  return 0;
}

uint8_t ZvlGetCpuType() { return g_cpuType; }

const char* ZvlCpuTypeText(uint8_t cpuType) {
  switch (cpuType) {
    case ZvlCpu486: return zvl::rmsg::Cpu486;
    case ZvlCpuPentium: return zvl::rmsg::CpuPentium;
    case ZvlCpuPentiumMmx: return zvl::rmsg::CpuPentiumMmx;
    case ZvlCpuPentiumPro: return zvl::rmsg::CpuPentiumPro;
    default: return zvl::rmsg::CpuUnsupported;
  }
}
