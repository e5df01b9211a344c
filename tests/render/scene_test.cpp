// Frame composition and the camera: projection, orbit, keys, hidden objects,
// perspective, depth clamp, hooks and the busy flag.
#include <cmath>

#include "render_test_util.h"
#include "samples/sample_scene.h"

namespace {

using rtest::Buffers;
using rtest::HandlerPtr;

// A database of balls (radius r, colour column c) at per-frame locations.
struct BallSpec {
  int radius;
  int column;
};

ZvlDatabasePtr BallScene(const std::vector<BallSpec>& balls, int frames) {
  ZvlDatabasePtr db(ZvlCreateDatabase(0));
  db->version = 8.1f;
  EXPECT_EQ(ZvlSetObjectCount(*db, int32_t(balls.size())), 0);
  for (size_t i = 0; i < balls.size(); ++i) {
    const auto bytes = samples::shapeObject(samples::Shape::Ball, balls[i].radius, 2, balls[i].column, 1,
                                            VoxPartForm::WithZeroWord, 1.0f);
    EXPECT_EQ(ZvlSetObjectGeometry(*db, int32_t(i), bytes.data(), bytes.size()), 0);
  }
  EXPECT_EQ(ZvlAllocAnimation(*db, frames), 0);
  for (size_t i = 0; i < balls.size(); ++i)
    for (int f = 0; f < frames; ++f) {
      float* m = db->animation[i].matrices + f * 9;
      m[0] = m[4] = m[8] = 1;
    }
  ColorTable16 table;
  for (int i = 0; i < ZvlColorIndexCount; ++i) table.colors[i] = uint16_t(i);
  EXPECT_EQ(ZvlSetColorTable(*db, table), 0);
  return db;
}

void SetLocation(ZorvelDatabase& db, int object, int frame, float x, float y, float z) {
  float* l = db.animation[object].locations + frame * 3;
  l[0] = x, l[1] = y, l[2] = z;
}

// A parallel projection from above at a slant: depth grows with y.
struct Ortho {
  float scale = 2.0f, cx = 100, cy = 100;
  static bool project(void* self, const float q[3], float s[3]) {
    const Ortho& o = *static_cast<Ortho*>(self);
    s[0] = o.cx + q[0] * o.scale;
    s[1] = o.cy - (q[2] - 0.5f * q[1]) * o.scale;  // seen from above at a slant
    s[2] = 30000 + q[1] * o.scale;
    return true;
  }
  ZvlProjection projection() { return {project, this}; }
};

// A SceneState over a database (objects listed and checked as ZvlBase does).
SceneState StateOf(const ZorvelDatabase& db) {
  SceneState state;
  state.objectCount = db.objectCount;
  state.frameCount = db.frameCount;
  state.animation = db.animation;
  state.objects.resize(size_t(db.objectCount));
  for (int i = 0; i < db.objectCount; ++i)
    EXPECT_TRUE(VoxListParts(db.geometry[i].voxObject, size_t(db.geometry[i].totalSize), state.objects[i].parts));
  return state;
}

class Scene : public ::testing::Test {
 protected:
  void SetUp() override { rtest::SetUpRenderer(); }
  void TearDown() override { EXPECT_EQ(ZvlLiveHandlerCount(), 0); }
  std::vector<uint16_t> table_ = rtest::IndexTable16();
  std::vector<uint16_t> shadow_ = std::vector<uint16_t>(ZvlShadowTableSize16, 0x4444);
};

TEST_F(Scene, HiddenObjectAndItsShadowAreSkipped) {
  ZvlDatabasePtr db = BallScene({{10, 5}}, 6);
  for (int f = 0; f < 6; ++f) SetLocation(*db, 0, f, 0, 0, 20);
  db->animation[0].flags[3] = ZvlObjectHidden;
  SceneState state = StateOf(*db);
  state.shadowsOn = true;
  Ortho ortho;
  for (int frame : {3, 4}) {
    Buffers<uint16_t> b(200, 200);
    HandlerPtr h(ZvlCreateScnHandler(0, table_.data(), shadow_.data(), &b.desc));
    ASSERT_EQ(ZvlRenderScene(h.get(), state, ortho.projection(), frame), 0);
    const long shadowed = std::count(b.depth.begin(), b.depth.end(), 0xFFFE);
    if (frame == 3) {
      EXPECT_TRUE(h->drawn.empty());
      EXPECT_EQ(b.drawnCount(), 0);
    } else {
      EXPECT_FALSE(h->drawn.empty());
      EXPECT_GT(b.drawnCount(), 300);
      EXPECT_GT(shadowed, 100);  // the shadow lies below the ball on the ground
    }
  }
}

// An object off the screen is skipped whole: its shadow, which would land on
// the screen, is not drawn either.
TEST_F(Scene, ObjectOffTheScreenTakesItsShadowAlong) {
  ZvlDatabasePtr db = BallScene({{10, 5}}, 1);
  SetLocation(*db, 0, 0, 0, 0, 200);  // far above the top edge
  SceneState state = StateOf(*db);
  state.shadowsOn = true;
  state.shadowDirection[0] = state.shadowDirection[1] = 0, state.shadowDirection[2] = -1;  // straight down
  Ortho ortho;
  Buffers<uint16_t> b(200, 200);
  HandlerPtr h(ZvlCreateScnHandler(0, table_.data(), shadow_.data(), &b.desc));
  ASSERT_EQ(ZvlRenderScene(h.get(), state, ortho.projection(), 0), 0);
  EXPECT_EQ(b.drawnCount(), 0);
  EXPECT_TRUE(h->drawn.empty());
  SetLocation(*db, 0, 0, 0, 0, 20);  // on the screen: object and shadow
  ASSERT_EQ(ZvlRenderScene(h.get(), state, ortho.projection(), 0), 0);
  EXPECT_GT(std::count(b.depth.begin(), b.depth.end(), 0xFFFE), 100);
}

// A part that fits a tile reaches half a tile from its position, for the
// visibility test and the depth clamp alike, however far its box's corners
// lie in sum; only larger parts use their real reach.
TEST_F(Scene, PartsWithinATileReachHalfATile) {
  ZvlDatabasePtr db = BallScene({{60, 5}}, 1);  // box corners 3 x 60 from the centre
  SceneState state = StateOf(*db);
  struct Flat {
    float x = 0, z = 0;
    static bool project(void* self, const float q[3], float s[3]) {
      const Flat& f = *static_cast<Flat*>(self);
      s[0] = f.x + q[0], s[1] = 100 - q[2], s[2] = f.z + q[1];
      return true;
    }
  } flat;
  Buffers<uint16_t> b(200, 200);
  HandlerPtr h(ZvlCreateScnHandler(0, table_.data(), nullptr, &b.desc));
  struct Seen {
    int calls = 0;
    float zscale = 0;
  } seen;
  h->hookContext = &seen;
  h->preDraw = [](ScnHandler* handler, int, const float*, const float*, const ZvlRect&, const float*, float,
                  float zscale, DrawMode) {
    auto* s = static_cast<Seen*>(handler->hookContext);
    ++s->calls, s->zscale = zscale;
  };
  flat.x = -129, flat.z = 30000;  // 129 pixels left of the edge: beyond half a tile
  ASSERT_EQ(ZvlRenderScene(h.get(), state, ZvlProjection{Flat::project, &flat}, 0), 0);
  EXPECT_EQ(seen.calls, 0);
  flat.x = -127;
  ASSERT_EQ(ZvlRenderScene(h.get(), state, ZvlProjection{Flat::project, &flat}, 0), 0);
  EXPECT_EQ(seen.calls, 1);
  flat.x = 100, flat.z = 65435;  // 100 below the far limit: flattened to 100 / 128
  ASSERT_EQ(ZvlRenderScene(h.get(), state, ZvlProjection{Flat::project, &flat}, 0), 0);
  EXPECT_EQ(seen.calls, 2);
  EXPECT_FLOAT_EQ(seen.zscale, 100.0f / 128.0f);
}

TEST_F(Scene, UnionOfDrawnRectanglesAndHooks) {
  ZvlDatabasePtr db = BallScene({{8, 5}, {8, 20}}, 1);
  SetLocation(*db, 0, 0, -30, 0, 0);
  SetLocation(*db, 1, 0, 30, 0, 10);
  SceneState state = StateOf(*db);
  Ortho ortho;
  Buffers<uint16_t> b(200, 200);
  HandlerPtr h(ZvlCreateScnHandler(0, table_.data(), nullptr, &b.desc));
  struct Log {
    std::vector<std::pair<char, int>> calls;
    std::vector<ZvlRect> rects;
  } log;
  h->hookContext = &log;
  h->preDraw = [](ScnHandler* handler, int object, const float*, const float*, const ZvlRect&, const float*, float,
                  float, DrawMode) {
    static_cast<Log*>(handler->hookContext)->calls.push_back({'<', object});
  };
  h->postDraw = [](ScnHandler* handler, int object) {
    auto* l = static_cast<Log*>(handler->hookContext);
    l->calls.push_back({'>', object});
    l->rects.push_back(handler->drawn);
  };
  ASSERT_EQ(ZvlRenderScene(h.get(), state, ortho.projection(), 0), 0);
  const std::vector<std::pair<char, int>> expected = {{'<', 0}, {'>', 0}, {'<', 1}, {'>', 1}};
  EXPECT_EQ(log.calls, expected);
  ASSERT_EQ(log.rects.size(), 2u);
  EXPECT_EQ(h->drawn, ZvlUniteRect(log.rects[0], log.rects[1]));
  EXPECT_LT(log.rects[0].x1, log.rects[1].x0);
}

TEST_F(Scene, BusyFlagRefusesReentry) {
  ZvlDatabasePtr db = BallScene({{8, 5}}, 1);
  SceneState state = StateOf(*db);
  Ortho ortho;
  Buffers<uint16_t> b(200, 200);
  HandlerPtr h(ZvlCreateScnHandler(0, table_.data(), nullptr, &b.desc));
  struct Reentry {
    SceneState* state;
    ZvlProjection projection;
    int result = -1;
  } reentry{&state, ortho.projection()};
  h->hookContext = &reentry;
  h->preDraw = [](ScnHandler* handler, int, const float*, const float*, const ZvlRect&, const float*, float, float,
                  DrawMode) {
    auto* r = static_cast<Reentry*>(handler->hookContext);
    r->result = ZvlRenderScene(handler, *r->state, r->projection, 0);
  };
  EXPECT_EQ(ZvlRenderScene(h.get(), state, ortho.projection(), 0), 0);
  EXPECT_EQ(reentry.result, 1);
  EXPECT_FALSE(state.busy);
  SceneState empty;
  EXPECT_EQ(ZvlRenderScene(h.get(), empty, ortho.projection(), 0), 1);
}

// An object reaching 65535 in depth is flattened instead of wrapping.
TEST_F(Scene, DepthClampFlattensFarObjects) {
  ZvlDatabasePtr db = BallScene({{10, 5}}, 1);
  SceneState state = StateOf(*db);
  struct Far {
    static bool project(void*, const float q[3], float s[3]) {
      s[0] = 100 + q[0] * 2, s[1] = 100 - q[2] * 2, s[2] = 65300 + q[1] * 40;
      return true;
    }
  };
  Buffers<uint16_t> b(200, 200);
  HandlerPtr h(ZvlCreateScnHandler(0, table_.data(), nullptr, &b.desc));
  static float seenZscale, seenZ;
  h->preDraw = [](ScnHandler*, int, const float* position, const float*, const ZvlRect&, const float*, float,
                  float zscale, DrawMode) { seenZscale = zscale, seenZ = position[2]; };
  ASSERT_EQ(ZvlRenderScene(h.get(), state, ZvlProjection{Far::project, nullptr}, 0), 0);
  EXPECT_FLOAT_EQ(seenZscale, (65535.0f - seenZ) * 0.0078125f);
  // Nothing wrapped round to near.
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 200; ++x) {
      if (b.z(x, y) != 0xFFFF) {
        ASSERT_GE(b.z(x, y), 65000);
      }
    }
  }
}

// Objects larger than a tile: one whose origin lies off the screen but
// whose far end reaches into it is drawn; one too deep for its probe
// length is probed with a shorter one instead of being dropped.
TEST_F(Scene, ObjectsLargerThanATile) {
  ZvlDatabasePtr db(ZvlCreateDatabase(0));
  ASSERT_EQ(ZvlSetObjectCount(*db, 1), 0);
  std::vector<std::vector<VoxPixel>> rod(6);  // six chains of 100, each within a tile
  for (int x = 0; x < 600; ++x) rod[x / 100].push_back(rtest::Pixel(x, 0, x % 2, 9));
  std::vector<uint8_t> part;
  ASSERT_TRUE(VoxBuildPart(rod, 1.0f, VoxPartForm::WithZeroWord, {}, part));
  ASSERT_EQ(ZvlSetObjectGeometry(*db, 0, part.data(), part.size()), 0);
  SceneState state = StateOf(*db);
  struct Far {
    static bool project(void*, const float q[3], float s[3]) {
      s[0] = -300 + q[0], s[1] = 100 - q[2], s[2] = 30000 + q[1];
      return true;
    }
  };
  Buffers<uint16_t> b(200, 200);
  HandlerPtr h(ZvlCreateScnHandler(0, table_.data(), nullptr, &b.desc));
  ASSERT_EQ(ZvlRenderScene(h.get(), state, ZvlProjection{Far::project, nullptr}, 0), 0);
  EXPECT_GT(b.drawnCount(), 150);  // x from 0 to 199 of the rod's 600

  ZvlDatabasePtr deep = BallScene({{100, 5}}, 1);
  SceneState deepState = StateOf(*deep);
  struct Deep {
    static bool project(void*, const float q[3], float s[3]) {
      s[0] = 100 + q[0] * 0.5f, s[1] = 100 - q[2] * 0.5f, s[2] = 40000 + 150 * q[1];
      return s[2] >= 0 && s[2] <= 65000;
    }
  };
  Buffers<uint16_t> d(200, 200);
  HandlerPtr hd(ZvlCreateScnHandler(0, table_.data(), nullptr, &d.desc));
  ASSERT_EQ(ZvlRenderScene(hd.get(), deepState, ZvlProjection{Deep::project, nullptr}, 0), 0);
  EXPECT_GT(d.drawnCount(), 1000);
}

// --- The camera --------------------------------------------------------------

TEST(CameraTest, OrbitAndProjectionNumbers) {
  Camera c;
  c.elevation = 0, c.azimuth = 0, c.distance = 300, c.targetHeight = 10;
  c.viewportWidth = 640, c.viewportHeight = 480;
  ZvlOrbit(c);
  const float expectedRotation[9] = {0, -1, 0, 0, 0, -1, 1, 0, 0};
  for (int i = 0; i < 9; ++i) EXPECT_NEAR(c.rotation[i], expectedRotation[i], 1e-6f) << i;
  EXPECT_NEAR(c.position[0], -300, 1e-4f);
  EXPECT_NEAR(c.position[1], 0, 1e-4f);
  EXPECT_NEAR(c.position[2], 10, 1e-4f);
  c.depthOffset = 1000;
  c.perPointPerspective = 1;
  const float q[3] = {100, -20, 30};  // v = (20, -20, 400)
  float s[3];
  ASSERT_TRUE(ZvlCameraProject(c, q, s));
  const float factor = 400.0f * (1.0f / (400.0f + 400.0f));
  EXPECT_NEAR(s[0], 320 + 20 * factor, 1e-4f);
  EXPECT_NEAR(s[1], 240 - 20 * factor, 1e-4f);
  EXPECT_NEAR(s[2], 1400, 1e-3f);
  // Behind the eye: factor 1, and unusable depth.
  c.depthOffset = 0;
  const float behind[3] = {-400, 5, 10};
  EXPECT_FALSE(ZvlCameraProject(c, behind, s));
  EXPECT_NEAR(s[0], 320 - 5, 1e-4f);
  // Elevation 30 degrees, azimuth 90: looking along -y and down.
  c.elevation = 0.5235988f, c.azimuth = 1.5707964f;
  ZvlOrbit(c);
  EXPECT_NEAR(c.rotation[6], 0, 1e-6f);
  EXPECT_NEAR(c.rotation[7], -0.8660254f, 1e-6f);
  EXPECT_NEAR(c.rotation[8], -0.5f, 1e-6f);
  EXPECT_NEAR(c.position[1], 300 * 0.8660254f, 1e-3f);
  EXPECT_NEAR(c.position[2], 10 + 150, 1e-3f);
}

TEST(CameraTest, CachedFactorIsSharedByTheFrame) {
  Camera c;
  c.elevation = 0, c.azimuth = 0, c.distance = 300;
  c.viewportWidth = c.viewportHeight = 200;
  ZvlOrbit(c);
  c.cachedFactor = -1;
  const float nearPoint[3] = {0, -10, 0}, farPoint[3] = {300, -10, 0};
  float s[3];
  ZvlCameraProject(c, nearPoint, s);
  const float first = c.cachedFactor;
  EXPECT_NEAR(first, 400.0f / 700.0f, 1e-6f);
  ZvlCameraProject(c, farPoint, s);
  EXPECT_NEAR(s[0], 100 + 10 * first, 1e-4f);  // the frame's factor, not its own
  c.perPointPerspective = 1;
  ZvlCameraProject(c, farPoint, s);
  EXPECT_NEAR(s[0], 100 + 10 * 400.0f / 1000.0f, 1e-4f);
}

TEST(CameraTest, Keys) {
  Camera c;
  c.focalDistance = 100;
  EXPECT_TRUE(ZvlCameraKey(c, ZvlKey::PageDown));
  EXPECT_EQ(c.focalDistance, 100);  // not below 100
  ZvlCameraKey(c, ZvlKey::PageUp);
  EXPECT_EQ(c.focalDistance, 140);
  ZvlCameraKey(c, ZvlKey::PageDown);
  EXPECT_EQ(c.focalDistance, 100);
  c.distance = 0, c.distanceStep = 655.34f;
  ZvlCameraKey(c, ZvlKey::Home);
  EXPECT_EQ(c.distance, 0);
  ZvlCameraKey(c, ZvlKey::End);
  EXPECT_FLOAT_EQ(c.distance, 655.34f);
  c.distance = 100;
  ZvlCameraKey(c, ZvlKey::Home);
  EXPECT_EQ(c.distance, 0);
  c.azimuth = 6.25f;
  ZvlCameraKey(c, ZvlKey::Left);
  EXPECT_NEAR(c.azimuth, 6.25f + ZvlAngleStep - 6.283185f, 1e-5f);
  c.elevation = -6.25f;
  ZvlCameraKey(c, ZvlKey::Down);
  EXPECT_NEAR(c.elevation, -6.25f - ZvlAngleStep + 6.283185f, 1e-5f);
  ZvlCameraKey(c, ZvlKey::Up);
  ZvlCameraKey(c, ZvlKey::Right);
  EXPECT_FALSE(ZvlCameraKey(c, 'A'));
  // Every key re-runs the orbit: the eye stays at its distance from the
  // target.
  c.distance = 500, c.targetHeight = 7;
  ZvlCameraKey(c, ZvlKey::Left);
  EXPECT_NEAR(std::hypot(c.position[0], c.position[1], c.position[2] - 7), 500, 1e-2f);
}

// With one perspective factor per frame, an object moving towards the camera
// keeps its size relative to object 0; with one per point it grows.
TEST_F(Scene, PerPointPerspective) {
  ZvlDatabasePtr db = BallScene({{10, 5}, {10, 20}}, 2);
  SetLocation(*db, 0, 0, 0, -40, 0), SetLocation(*db, 0, 1, 0, -40, 0);
  SetLocation(*db, 1, 0, 0, 40, 0), SetLocation(*db, 1, 1, -150, 40, 0);  // frame 1: nearer
  SceneState state = StateOf(*db);
  CameraView view;
  view.create(400, 300);
  view.camera.elevation = 0, view.camera.distance = 300;
  view.orbit();
  view.camera.depthOffset = 10000;
  // Screen widths of the two balls, told apart by their colour columns.
  auto widths = [&](int frame, uint32_t perPoint) {
    view.camera.perPointPerspective = perPoint;
    view.camera.cachedFactor = -1;
    Buffers<uint16_t> b(400, 300);
    HandlerPtr h(ZvlCreateScnHandler(0, table_.data(), nullptr, &b.desc));
    EXPECT_EQ(ZvlRenderScene(h.get(), state, view.projection(), frame), 0);
    int x0[2] = {400, 400}, x1[2] = {-1, -1};
    for (int y = 0; y < 300; ++y)
      for (int x = 0; x < 400; ++x) {
        if (b.z(x, y) == 0xFFFF) continue;
        const int object = (b.at(x, y) & 0xFF) == 5 ? 0 : 1;
        x0[object] = std::min(x0[object], x), x1[object] = std::max(x1[object], x);
      }
    return std::pair(x1[0] - x0[0] + 1, x1[1] - x0[1] + 1);
  };
  const auto far0 = widths(0, 0), near0 = widths(1, 0);
  EXPECT_NEAR(near0.second, far0.second, 1);
  EXPECT_NEAR(near0.first, far0.first, 1);
  const auto far1 = widths(0, 1), near1 = widths(1, 1);
  EXPECT_GT(near1.second, far1.second * 1.2);
  EXPECT_NEAR(near1.first, far1.first, 1);
}

}  // namespace
