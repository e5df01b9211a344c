// ZvlBase: loading and checking a scene, binding to outputs, fitting, the
// key groups, and whole frames of the bundled sample.
#include <cmath>
#include <set>

#include "render/shade_table.h"
#include "render_test_util.h"
#include "samples/sample_scene.h"

namespace {

ZvlDatabasePtr Sample(int frames = 8) { return samples::makeSampleScene(frames, false); }

// Two balls: object 0 of colour column 10, object 1 of column 40.
ZvlDatabasePtr TwoBalls(float x0, float x1) {
  ZvlDatabasePtr db(ZvlCreateDatabase(0));
  db->version = 8.1f;
  EXPECT_EQ(ZvlSetObjectCount(*db, 2), 0);
  const int columns[2] = {10, 40};
  for (int i = 0; i < 2; ++i) {
    const auto bytes =
        samples::shapeObject(samples::Shape::Ball, 16, 1, columns[i], 1, VoxPartForm::WithZeroWord, 1.0f);
    EXPECT_EQ(ZvlSetObjectGeometry(*db, i, bytes.data(), bytes.size()), 0);
  }
  EXPECT_EQ(ZvlAllocAnimation(*db, 2), 0);
  for (int i = 0; i < 2; ++i)
    for (int f = 0; f < 2; ++f) {
      float* m = db->animation[i].matrices + f * 9;
      m[0] = m[4] = m[8] = 1;
      db->animation[i].locations[f * 3] = i == 0 ? x0 : x1;
      db->animation[i].locations[f * 3 + 2] = 20;
    }
  db->animation[1].flags[1] = ZvlObjectHidden;  // frame 1: object 0 alone
  ColorTable16 table;
  for (int i = 0; i < ZvlColorIndexCount; ++i) table.colors[i] = uint16_t(i & 0x7FFF);
  EXPECT_EQ(ZvlSetColorTable(*db, table), 0);
  return db;
}

class Base : public ::testing::Test {
 protected:
  void SetUp() override {
    rtest::SetUpRenderer();
    view_.create(320, 240);
    base_.setCamera(&view_);
    base_.setMessageHandler([this](const char* m) { messages_.push_back(m); });
  }
  void TearDown() override {}
  std::optional<ZvlRect> Render(int frame = 0) {
    view_.fillAll(0x1111);
    return base_.render(view_.output(), frame);
  }
  int Drawn() const {
    int n = 0;
    for (int y = 0; y < view_.height(); ++y)
      for (int x = 0; x < view_.width(); ++x) n += view_.depth()[y * view_.pitch() + x] != 0xFFFF;
    return n;
  }
  CameraView view_;
  ZvlBase base_;
  std::vector<std::string> messages_;
};

// A handler that cannot be made keeps its reason in the message.
TEST_F(Base, HandlerFailureKeepsItsReason) {
  ZvlSetCpuProbe([] { return ZvlCpuProbe{}; });  // a 386: not supported
  EXPECT_NE(ZvlSetup(&ZvlDefaultIoFunctions()), 0);
  ASSERT_EQ(base_.load(Sample(1)), 0);
  EXPECT_FALSE(Render().has_value());
  const std::string expected = std::string(zvl::rmsg::CannotGetScnHandler16) + ": " + zvl::rmsg::CpuNotSupported;
  ASSERT_FALSE(messages_.empty());
  EXPECT_EQ(messages_.back(), expected);
  EXPECT_STREQ(ZvlGetErrorText(), expected.c_str());
  rtest::SetUpRenderer();
}

TEST_F(Base, PureAnimationCannotBeRendered) {
  ZvlDatabasePtr db(ZvlCreateDatabase(0));
  ASSERT_EQ(ZvlSetObjectCount(*db, 1), 0);
  ASSERT_EQ(ZvlAllocAnimation(*db, 3), 0);
  ASSERT_EQ(base_.load(std::move(db)), 0);
  EXPECT_FALSE(base_.hasGeometry());
  EXPECT_FALSE(Render().has_value());
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0], "Can not render pure animation");
}

TEST_F(Base, RefusesGeometryThatLeavesItsBoxAndKeepsThePreviousScene) {
  ASSERT_EQ(base_.load(Sample()), 0);
  ZvlDatabasePtr bad = Sample();
  uint8_t* firstMove = bad->geometry[1].voxObject + VoxHeadSize + VoxChainHeadSize;
  firstMove[0] = uint8_t((21 << 3) | (firstMove[0] & 7));  // +x from the start point: outside the box
  EXPECT_EQ(base_.load(std::move(bad)), 1);
  EXPECT_STREQ(ZvlGetErrorText(), "Bad file format");
  EXPECT_EQ(base_.database()->objectCount, 3);
  EXPECT_TRUE(base_.hasGeometry());
}

TEST_F(Base, BindsToEightAndSixteenBitsAndBothColorModels) {
  ASSERT_EQ(base_.load(Sample()), 0);
  std::vector<uint8_t> pixels8(320 * 240);
  ZvlOutput out = view_.output();
  ASSERT_TRUE(base_.bind(out));
  ScnHandler* h = base_.handler();
  EXPECT_EQ(h->pixelSize, 2);
  const std::vector<uint16_t> loaded(base_.colorTable16().begin(), base_.colorTable16().end());
  EXPECT_TRUE(std::equal(loaded.begin(), loaded.end(), base_.database()->colorTable->colors));
  // 5-6-5: the table is converted in place.
  out.redMask = 0xF800;
  ASSERT_TRUE(base_.bind(out));
  EXPECT_EQ(base_.colorModel(), 0xF800);
  for (int i = 0; i < ZvlColorIndexCount; i += 97)
    EXPECT_EQ(base_.colorTable16()[i], ((loaded[i] >> 5) << 6) | (loaded[i] & 0x1F));
  // 8 bits: a new handler over the palette's shade table.
  ZvlOutput out8 = out;
  out8.colorBits = 8;
  out8.colorBuffer = pixels8.data();
  ASSERT_TRUE(base_.bind(out8));
  EXPECT_EQ(base_.handler()->pixelSize, 1);
  EXPECT_EQ(static_cast<uint8_t*>(base_.handler()->colorTable)[5 * 256 + 7], base_.database()->palette->shades[5][7]);
  EXPECT_TRUE(base_.colorTable16().empty());
  // Back to 16 bits in 5-5-5.
  out.redMask = 0x7C00;
  ASSERT_TRUE(base_.bind(out));
  EXPECT_TRUE(std::equal(loaded.begin(), loaded.end(), base_.colorTable16().begin()));
  EXPECT_TRUE(messages_.empty());
  // Formats it cannot draw into.
  ZvlOutput bad = out;
  bad.colorBits = 24;
  EXPECT_FALSE(base_.bind(bad));
  bad = out;
  bad.depthBits = 32;
  EXPECT_FALSE(base_.bind(bad));
  bad = out;
  bad.redMask = 0x001F;
  EXPECT_FALSE(base_.bind(bad));
  const std::vector<std::string> expected = {"ZvlBase :Unsupported color buffer format",
                                             "ZvlBase :Unsupported z buffer format", "ZvlBase:Unknown color model"};
  EXPECT_EQ(messages_, expected);
}

TEST_F(Base, SixteenBitTableFromThePaletteWhenTheFileHasNone) {
  ZvlDatabasePtr db = Sample();
  ZvlIo().free(db->colorTable);
  db->colorTable = nullptr;
  std::vector<uint16_t> expected(ZvlColorIndexCount);
  ZvlBuildColorTable16(*db->palette, db->version, expected.data());
  ASSERT_EQ(base_.load(std::move(db)), 0);
  ASSERT_TRUE(base_.bind(view_.output()));
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), base_.colorTable16().begin()));
}

// Fitting: the scene's diagonal spans 256 pixels, the picture is centred
// horizontally and the camera is set as documented.
TEST_F(Base, FittingNumbers) {
  ASSERT_EQ(base_.load(Sample()), 0);
  base_.state().drawMode = DrawMode::Stretch;
  base_.state().shadowsOn = true;
  base_.fitToView(400.0f, 256.0f);
  const Camera& c = view_.camera;
  EXPECT_EQ(c.focalDistance, 400.0f);
  EXPECT_EQ(c.distance, 32767.0f);
  EXPECT_FLOAT_EQ(c.distanceStep, 655.34f);
  EXPECT_FLOAT_EQ(c.elevation, 0.3f);
  EXPECT_EQ(c.azimuth, 0.0f);
  EXPECT_EQ(base_.state().drawMode, DrawMode::Fill);
  EXPECT_TRUE(base_.state().shadowsOn);
  const ZvlBox box = base_.sceneBox(0, 1.0f);
  const float d[3] = {box.max[0] - box.min[0], box.max[1] - box.min[1], box.max[2] - box.min[2]};
  const float diagonal = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
  const float factor = 400.0f / (400.0f + 32767.0f);
  EXPECT_NEAR(base_.state().scale, 256.0f / (diagonal * factor), 1e-3f * base_.state().scale);
  const float s = base_.state().scale;
  EXPECT_NEAR(base_.state().worldOffset[0], -s * (box.min[0] + box.max[0]) / 2, 1e-2f);
  EXPECT_NEAR(base_.state().worldOffset[2], -s * box.min[2], 1e-2f);
  EXPECT_NEAR(c.targetHeight, s * d[2] * 0.7f, 1e-2f);
  EXPECT_NEAR(base_.positionStep, 0.1f * diagonal * s, 1e-2f);
  // Automatic scale: object 0's 3D pixels about one screen pixel.
  base_.fitToView(400.0f, -1.0f);
  const float extent = std::max({d[0], d[1], d[2]});
  EXPECT_NEAR(base_.state().scale, extent / 1.0f / (diagonal * factor), 1e-3f * base_.state().scale);
}

TEST_F(Base, SamplePictureIsCentredAndCovered) {
  ASSERT_EQ(base_.load(Sample()), 0);
  base_.fitToView(400.0f, 256.0f);
  const auto drawn = Render();
  ASSERT_TRUE(drawn.has_value());
  int x0 = 320, x1 = -1;
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x)
      if (view_.depth()[y * view_.pitch() + x] != 0xFFFF) x0 = std::min(x0, x), x1 = std::max(x1, x);
  EXPECT_NEAR((x0 + x1) / 2.0, 160.0, 12.0);
  EXPECT_GT(Drawn(), 4000);
  EXPECT_GE(x0, drawn->x0);
  EXPECT_LE(x1, drawn->x1);
  EXPECT_TRUE(ZvlSplatTileIsEmpty());
  // Shadows add background pixels, never change drawn ones.
  std::vector<uint16_t> noShadowDepth(view_.depth(), view_.depth() + view_.pitch() * 240);
  base_.state().shadowsOn = true;
  Render();
  int shadowed = 0;
  for (size_t i = 0; i < noShadowDepth.size(); ++i) {
    if (noShadowDepth[i] != 0xFFFF) {
      ASSERT_EQ(view_.depth()[i], noShadowDepth[i]);
    }
    shadowed += view_.depth()[i] == 0xFFFE;
  }
  EXPECT_GT(shadowed, 500);
}

TEST_F(Base, EightAndSixteenBitsCoverTheSamePixels) {
  ASSERT_EQ(base_.load(Sample()), 0);
  base_.fitToView(400.0f, 256.0f);
  Render(3);
  const std::vector<uint16_t> depth16(view_.depth(), view_.depth() + view_.pitch() * 240);
  const std::vector<uint16_t> color16(view_.pixels(), view_.pixels() + view_.pitch() * 240);
  std::vector<uint8_t> pixels8(size_t(view_.pitch()) * 240);
  ZvlOutput out8 = view_.output();
  out8.colorBits = 8;
  out8.colorBuffer = pixels8.data();
  view_.fillAll(0);
  ASSERT_TRUE(base_.render(out8, 3).has_value());
  EXPECT_TRUE(std::equal(depth16.begin(), depth16.end(), view_.depth()));
  // Each pixel comes from one ColorIndex: through the shade table at 8 bits,
  // through the colour table at 16.
  const ZorvelDatabase& db = *base_.database();
  std::vector<std::set<uint16_t>> possible(256);
  for (int i = 0; i < ZvlColorIndexCount; ++i)
    possible[db.palette->shades[i >> 8][i & 0xFF]].insert(db.colorTable->colors[i]);
  int checked = 0;
  for (size_t i = 0; i < depth16.size(); ++i) {
    if (depth16[i] == 0xFFFF) continue;
    ASSERT_TRUE(possible[pixels8[i]].count(color16[i])) << i;
    ++checked;
  }
  EXPECT_GT(checked, 3000);
}

TEST_F(Base, NearerObjectHidesFartherOne) {
  // The camera looks along +x: object 0 at x = -30 is nearer than object 1
  // at x = +30 and covers part of it on the screen.
  ASSERT_EQ(base_.load(TwoBalls(-30, 30)), 0);
  base_.fitToView(400.0f, 256.0f);
  Render(1);  // object 0 alone
  const std::vector<uint16_t> alone(view_.pixels(), view_.pixels() + view_.pitch() * 240);
  const std::vector<uint16_t> aloneDepth(view_.depth(), view_.depth() + view_.pitch() * 240);
  Render(0);
  int nearPixels = 0, farPixels = 0;
  for (size_t i = 0; i < alone.size(); ++i) {
    if (aloneDepth[i] != 0xFFFF) {
      ASSERT_EQ(view_.pixels()[i], alone[i]);  // the far ball shows nowhere over the near one
      ++nearPixels;
    } else if (view_.depth()[i] != 0xFFFF) {
      EXPECT_EQ(view_.pixels()[i] & 0xFF, 40);
      ++farPixels;
    }
  }
  EXPECT_GT(nearPixels, 500);
  EXPECT_GT(farPixels, 50);
  // Drawn in the other order (far object first in the file), the same.
  ASSERT_EQ(base_.load(TwoBalls(30, -30)), 0);
  base_.fitToView(400.0f, 256.0f);
  Render(0);
  int farOverNear = 0;
  for (size_t i = 0; i < alone.size(); ++i)
    if (view_.depth()[i] != 0xFFFF && (view_.pixels()[i] & 0xFF) == 10) ++farOverNear;
  EXPECT_GT(farOverNear, 0);
}

TEST_F(Base, DepthOffsetAndAlignedRectangle) {
  ASSERT_EQ(base_.load(TwoBalls(0, 40)), 0);
  base_.fitToView(400.0f, 256.0f);
  const auto plain = Render(0);
  ASSERT_TRUE(plain.has_value());
  // Object 0 sits in the middle of the depth range.
  const float s = base_.state().scale;
  const float l0[3] = {base_.state().worldOffset[0], base_.state().worldOffset[1],
                       s * 20 + base_.state().worldOffset[2]};
  Camera camera = view_.camera;
  camera.perPointPerspective = 1;
  float screen[3];
  ZvlCameraProject(camera, l0, screen);
  EXPECT_NEAR(screen[2], 32767.0f, 0.5f);
  // Aligned: corners on multiples of 4, covering the plain rectangle.
  const auto aligned = base_.render(view_.output(), 0, true);
  ASSERT_TRUE(aligned.has_value());
  EXPECT_EQ(aligned->x0 % 4, 0);
  EXPECT_EQ(aligned->y0 % 4, 0);
  EXPECT_EQ(aligned->width % 4, 0);
  EXPECT_LE(aligned->x0, plain->x0);
  EXPECT_LE(aligned->y0, plain->y0);
  EXPECT_GE(aligned->x1, plain->x1);
  EXPECT_EQ(aligned->y1, plain->y1);
}

TEST_F(Base, LevelSelectionMovesAlongTheParts) {
  ASSERT_EQ(base_.load(Sample()), 0);
  base_.selectLevel(1);
  for (const SceneObject& o : base_.state().objects) EXPECT_EQ(o.current, 1);
  base_.selectLevel(9);  // stops at the last part
  for (const SceneObject& o : base_.state().objects) EXPECT_EQ(o.current, 1);
  base_.fitToView(400.0f, 256.0f);
  ASSERT_TRUE(Render().has_value());
  base_.selectLevel(0);
  for (const SceneObject& o : base_.state().objects) EXPECT_EQ(o.current, 0);
}

TEST_F(Base, LightShadowAndPositionKeys) {
  ASSERT_EQ(base_.load(Sample()), 0);
  base_.fitToView(400.0f, 256.0f);
  const float a = ZvlAngleStep;
  EXPECT_TRUE(base_.lightKey(ZvlKey::Left));
  EXPECT_NEAR(base_.state().light[0], std::sin(a), 1e-6f);
  EXPECT_NEAR(base_.state().light[1], 0, 1e-6f);
  EXPECT_NEAR(base_.state().light[2], std::cos(a), 1e-6f);
  EXPECT_TRUE(base_.lightKey(ZvlKey::Up));
  EXPECT_NEAR(base_.state().light[1], std::sin(a), 1e-6f);
  EXPECT_FALSE(base_.lightKey(ZvlKey::End));
  // The first shadow key replaces the default direction.
  EXPECT_TRUE(base_.shadowKey(ZvlKey::Up));
  EXPECT_NEAR(base_.state().shadowDirection[0], 0, 1e-6f);
  EXPECT_NEAR(base_.state().shadowDirection[1], std::sin(a), 1e-6f);
  EXPECT_NEAR(base_.state().shadowDirection[2], -std::cos(a), 1e-6f);
  const float step = base_.positionStep;
  const float x = base_.state().worldOffset[0], y = base_.state().worldOffset[1], z = base_.state().worldOffset[2];
  base_.positionKey(ZvlKey::Left);
  base_.positionKey(ZvlKey::Right);
  base_.positionKey(ZvlKey::End);
  EXPECT_FLOAT_EQ(base_.state().worldOffset[0], x + step);
  EXPECT_FLOAT_EQ(base_.state().worldOffset[1], y + step);
  EXPECT_FLOAT_EQ(base_.state().worldOffset[2], z + step);
  base_.positionKey(ZvlKey::Up);
  base_.positionKey(ZvlKey::Down);
  base_.positionKey(ZvlKey::Home);
  EXPECT_NEAR(base_.state().worldOffset[0], x, 1e-3f);
  EXPECT_NEAR(base_.state().worldOffset[1], y, 1e-3f);
  EXPECT_NEAR(base_.state().worldOffset[2], z, 1e-3f);
  EXPECT_TRUE(base_.handleKey(ZvlKeyGroup::Camera, ZvlKey::PageUp));
  EXPECT_EQ(view_.camera.focalDistance, 440.0f);
}

// Model rotation turns the world about a camera axis and keeps object 0 in
// place; opposite keys undo each other.
TEST_F(Base, ModelRotationKeepsObjectZeroInPlace) {
  ASSERT_EQ(base_.load(Sample()), 0);
  base_.setFrame(2);
  base_.fitToView(400.0f, 256.0f);
  auto placed0 = [&] {
    const float* l = base_.database()->animation[0].locations + 2 * 3;
    const float* w = base_.state().worldMatrix;
    const float s = base_.state().scale;
    std::array<float, 3> p;
    for (int r = 0; r < 3; ++r)
      p[r] = s * (w[r * 3] * l[0] + w[r * 3 + 1] * l[1] + w[r * 3 + 2] * l[2]) + base_.state().worldOffset[r];
    return p;
  };
  const auto before = placed0();
  for (int key : {ZvlKey::Left, ZvlKey::Up, ZvlKey::End}) {
    ASSERT_TRUE(base_.rotationKey(key));
    const auto after = placed0();
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(after[k], before[k], 1e-2f * std::max(1.0f, std::fabs(before[k])));
    // Still a rotation: orthonormal rows.
    const float* w = base_.state().worldMatrix;
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) {
        const float dot = w[i * 3] * w[j * 3] + w[i * 3 + 1] * w[j * 3 + 1] + w[i * 3 + 2] * w[j * 3 + 2];
        EXPECT_NEAR(dot, i == j ? 1.0f : 0.0f, 1e-4f);
      }
  }
  ASSERT_FALSE(std::fabs(base_.state().worldMatrix[0] - 1.0f) < 1e-4f);
  base_.rotationKey(ZvlKey::Home);
  base_.rotationKey(ZvlKey::Down);
  base_.rotationKey(ZvlKey::Right);
  const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  for (int i = 0; i < 9; ++i) EXPECT_NEAR(base_.state().worldMatrix[i], identity[i], 1e-4f);
}

TEST_F(Base, AttachAnimationNeedsTheSameObjectCount) {
  ASSERT_EQ(base_.load(Sample(8)), 0);
  ZvlBase other, wrong;
  ASSERT_EQ(other.load(Sample(20)), 0);
  ASSERT_EQ(wrong.load(TwoBalls(0, 10)), 0);
  EXPECT_FALSE(base_.attachAnimation(wrong));
  EXPECT_EQ(base_.state().frameCount, 8);
  const ObjectAnimation* theirs = other.database()->animation;
  EXPECT_TRUE(base_.attachAnimation(other));
  EXPECT_EQ(base_.state().frameCount, 20);
  EXPECT_EQ(base_.state().animation, theirs);
  EXPECT_EQ(other.state().frameCount, 8);
}

TEST_F(Base, BundledSampleFileRenders) {
  ASSERT_EQ(base_.load(ZORVEL_SOURCE_DIR "/samples/sample.zvl"), 0) << ZvlGetErrorText();
  base_.fitToView(400.0f, 256.0f);
  for (int frame = 0; frame < base_.state().frameCount; frame += 7) {
    ASSERT_TRUE(Render(frame).has_value());
    EXPECT_GT(Drawn(), 3000);
  }
  // Everything off to the side: nothing drawn, no rectangle.
  base_.state().worldOffset[1] += 1e5f;
  EXPECT_FALSE(Render().has_value());
}

// --- The ShadeTable -----------------------------------------------------------

TEST(ShadeTable, BrightAlongTheLightDarkAcrossIt) {
  using namespace zvl::render;
  for (int polar = 0; polar < 24; ++polar) {
    for (int azimuth = 0; azimuth < 89; azimuth += 11) {
      // The light's own direction (as a normal index) gives 22.
      const uint16_t n = polar == 0 ? 0 : uint16_t(polar * 89 + azimuth - 88);
      EXPECT_EQ(ShadeRowFor(polar, azimuth)[n], 22) << polar << " " << azimuth;
    }
  }
  // Light along z: 22 - about one per polar step, 0 across the light.
  const uint8_t* row = ShadeRowFor(0, 0);
  for (int t = 1; t <= 23; ++t) {
    EXPECT_NEAR(row[t * 89 + 0 - 88], 22 - t, 1.5) << t;
    EXPECT_EQ(row[t * 89 + 60 - 88], row[t * 89 + 0 - 88]) << t;  // no azimuth with the light on the axis
  }
  EXPECT_EQ(row[23 * 89 - 88], 0);
  // Light along +x (polar 23, azimuth 0).
  const uint8_t* side = ShadeRowFor(23, 0);
  EXPECT_EQ(side[23 * 89 + 0 - 88], 22);        // normal +x
  EXPECT_NEAR(side[23 * 89 + 44 - 88], 22, 1);  // normal -x, folded: lit like +x
  EXPECT_NEAR(side[23 * 89 + 45 - 88], 22, 1);
  EXPECT_LE(side[23 * 89 + 22 - 88], 1);              // normal along y: across
  EXPECT_LE(side[0], 1);                              // normal along z: across
  EXPECT_NEAR(side[12 * 89 + 0 - 88], 22 - 11, 1.5);  // 45 degrees between them
  // Every addressable byte is a shade; the last seven of each row are 0.
  for (int r = 0; r < 24; ++r) {
    const uint8_t* bytes = ShadeTable() + r * ShadeRowBytes;
    EXPECT_TRUE(std::all_of(bytes, bytes + ShadeRowBytes, [](uint8_t v) { return v <= 22; }));
    EXPECT_TRUE(std::all_of(bytes + 2137, bytes + ShadeRowBytes, [](uint8_t v) { return v == 0; }));
  }
}

}  // namespace
