// Blocks for the renderer's large working memory (the SplatTile): taken from
// the installed allocate function, and placed where the system can back them
// with 2 MB pages. On 4 KB pages the cache sets a block's lines fall into
// depend on which physical pages it happens to get, and so does the speed
// of every pass over it, from one run of a program to the next; one 2 MB
// page makes the placement the same every time. Where the system has no
// such pages on request, the block is an ordinary one.
#pragma once

#include <cstddef>

namespace zvl::render {

// A block of `bytes`, aligned to 64 bytes at least, or null.
void* AllocateLargeBlock(size_t bytes, void* (*allocate)(size_t));
// Gives back a block of AllocateLargeBlock (null is ignored).
void FreeLargeBlock(void* block, void (*free)(void*));
// Whether the block lies on a 2 MB page now (Linux: the page's entry in
// /proc/self/smaps); false where that cannot be told.
bool LargeBlockOnHugePage(const void* block);

}  // namespace zvl::render
