// Drawing frames allocates nothing: no heap memory per frame or per object
// once a scene is loaded and bound.
#include <atomic>
#include <cstdlib>
#include <new>

#include "render_test_util.h"
#include "samples/sample_scene.h"

namespace {
std::atomic<long> g_allocations{0};
}  // namespace

void* operator new(size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace {

// Counts the installed allocate function too (the renderer's own blocks).
std::atomic<long> g_ioAllocations{0};
void* CountingAllocate(size_t n) {
  g_ioAllocations.fetch_add(1);
  return std::malloc(n);
}

TEST(Allocation, FramesAllocateNothing) {
  ZvlIoFunctions io = ZvlDefaultIoFunctions();
  io.allocate = CountingAllocate;
  io.free = std::free;
  ASSERT_EQ(ZvlSetup(&io), 0);
  {
    CameraView view;
    view.create(320, 240);
    ZvlBase base;
    ASSERT_EQ(base.load(samples::makeSampleScene(12, false)), 0);
    base.setCamera(&view);
    base.fitToView(400.0f, 256.0f);
    base.state().shadowsOn = true;
    ASSERT_TRUE(base.render(view.output(), 0).has_value());  // binds and creates the handler
    const long before = g_allocations.load(), ioBefore = g_ioAllocations.load();
    for (int frame = 0; frame < 12; ++frame) {
      for (DrawMode mode : {DrawMode::Pack, DrawMode::Fill, DrawMode::Stretch}) {
        base.state().drawMode = mode;
        base.render(view.output(), frame);
      }
      base.lightKey(ZvlKey::Left);
      view.cameraKey(ZvlKey::Up);
    }
    EXPECT_EQ(g_allocations.load(), before);
    EXPECT_EQ(g_ioAllocations.load(), ioBefore);
  }
  rtest::SetUpRenderer();
}

}  // namespace
