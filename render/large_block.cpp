// The large blocks: the block from the allocate function is padded so that
// a 2 MB-aligned stretch covering the requested bytes lies inside it, and
// that stretch is marked for 2 MB pages (madvise MADV_HUGEPAGE). The padding
// is address space only: pages never touched are never given memory. The
// start of what the allocate function returned is kept just before the
// block, for FreeLargeBlock.
#include "render/large_block.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace zvl::render {
namespace {

#if defined(__linux__) && defined(MADV_HUGEPAGE)
constexpr size_t PageAlignment = size_t(2) << 20;
#else
constexpr size_t PageAlignment = 0;
#endif
constexpr size_t MinimumAlignment = 64;

size_t RoundUp(size_t value, size_t step) { return (value + step - 1) / step * step; }

}  // namespace

void* AllocateLargeBlock(size_t bytes, void* (*allocate)(size_t)) {
  const size_t alignment = PageAlignment ? PageAlignment : MinimumAlignment;
  const size_t span = RoundUp(bytes, alignment);
  if (bytes == 0 || span < bytes || span > SIZE_MAX - 2 * alignment) return nullptr;
  // Room for the span at an aligned address and for the kept start before it.
  void* raw = allocate(span + alignment + sizeof(void*));
  if (raw == nullptr) return nullptr;
  const uintptr_t first = reinterpret_cast<uintptr_t>(raw) + sizeof(void*);
  auto* block = reinterpret_cast<uint8_t*>(RoundUp(first, alignment));
  std::memcpy(block - sizeof(void*), &raw, sizeof(void*));
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  madvise(block, span, MADV_HUGEPAGE);  // a refusal leaves ordinary pages
#endif
  return block;
}

void FreeLargeBlock(void* block, void (*free)(void*)) {
  if (block == nullptr) return;
  void* raw;
  std::memcpy(&raw, static_cast<uint8_t*>(block) - sizeof(void*), sizeof(void*));
  free(raw);
}

bool LargeBlockOnHugePage(const void* block) {
#if defined(__linux__)
  FILE* smaps = std::fopen("/proc/self/smaps", "r");
  if (smaps == nullptr) return false;
  const uintptr_t at = reinterpret_cast<uintptr_t>(block);
  char line[256];
  bool inside = false, huge = false;
  while (std::fgets(line, sizeof line, smaps)) {
    unsigned long long from = 0, to = 0;
    if (std::sscanf(line, "%llx-%llx ", &from, &to) == 2) {
      inside = at >= from && at < to;
      continue;
    }
    unsigned long long kb = 0;
    if (inside && std::sscanf(line, "AnonHugePages: %llu kB", &kb) == 1) {
      huge = kb > 0;
      break;
    }
  }
  std::fclose(smaps);
  return huge;
#else
  (void)block;
  return false;
#endif
}

}  // namespace zvl::render
