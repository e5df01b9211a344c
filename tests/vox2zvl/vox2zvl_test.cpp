// The VOX converter: whole files converted and read back, the exact bytes of
// converted parts, the animation formulas, every error message of reading a
// VOX file, files that lie about their sizes, and failures while writing.
#include <gtest/gtest.h>

#include "tests/vox2zvl/voxwriter.h"
#include "vox2zvl/converterlog.h"
#include "vox2zvl/vox2zvl.h"
#include "vox2zvl/voxobject.h"
#include "zvlfile/le.h"
#include "zvlfile/zvlfile.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <set>
#include <string>
#include <vector>
#include <sys/resource.h>

namespace fs = std::filesystem;
namespace le = zvl::le;
using namespace voxtest;

namespace {

constexpr float pi = std::numbers::pi_v<float>;

struct Converted {
  vox2zvl::Status status;
  std::vector<std::string> log;
  std::vector<uint8_t> zvl;
};

Converted ConvertInMemory(const std::vector<uint8_t>& vox, long writeLimit = -1) {
  ZvlMemoryStream out;
  out.failWritesAfter(writeLimit);
  Converted result;
  result.status = vox2zvl::ConvertBytes(vox, "in.vox", ZvlStreamHandle(out),
                                        [&](const std::string& line) { result.log.push_back(line); });
  result.zvl = out.bytes();
  return result;
}

ZvlDatabasePtr ReadBack(const std::vector<uint8_t>& zvl) {
  ZvlMemoryStream in(zvl);
  return ZvlDatabasePtr(ZvlReadDatabase(ZvlStreamHandle(in)));
}

std::vector<VoxPartView> PartsOf(const ZorvelDatabase& db, int object) {
  std::vector<VoxPartView> parts;
  EXPECT_TRUE(VoxListParts(db.geometry[object].voxObject, size_t(db.geometry[object].totalSize), parts));
  return parts;
}

std::vector<uint8_t> ObjectBytes(const ZorvelDatabase& db, int object) {
  const uint8_t* bytes = db.geometry[object].voxObject;
  return std::vector<uint8_t>(bytes, bytes + db.geometry[object].totalSize);
}

// Two objects: "Line" (a simple part of 3 3D pixels) and "Pair" (a complex
// part of two chains, 5 3D pixels), three frames.
VoxFile TwoObjects() {
  VoxFile file;
  file.sceneName = "Twin";
  file.paletteName = "twin.act";
  file.palette = SamplePalette();
  file.geometry = {{"Line", JoinParts({MakePart({Row(0, 0, 0, 3, 7)}, 1.0f)})},
                   {"Pair", JoinParts({MakePart({Row(0, 0, 0, 2), Row(0, 4, 0, 3)}, 0.25f)})}};
  file.frameCount = 3;
  file.animation = {{"Line", {{0, {1, 2, 3}, {0, 0, 0}}, {5, {4, 5, 6}, {pi / 2, 0, 0}}, {9, {7, 8, 9}, {0, pi / 2, 0}}}},
                    {"Pair", {{1, {0, 0, 0}, {0, 0, pi / 2}}, {2, {0, 0, 0}, {0, 0, 0}}, {3, {-1, -2, -3}, {0, 0, 0}}}}};
  return file;
}

void ExpectMatrix(const float* m, std::initializer_list<float> expected) {
  int i = 0;
  for (float value : expected) {
    EXPECT_NEAR(m[i], value, 1e-6f) << "element " << i;
    ++i;
  }
}

class TempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vox2zvl-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    return path;
  }
  static std::vector<uint8_t> Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  fs::path dir_;
};

using ConvertFileTest = TempDir;

}  // namespace

TEST_F(ConvertFileTest, TwoObjectFileReadsBackWithNamesFramesPixelsAndMatrices) {
  const std::string input = Write("twin.vox", WriteVox(TwoObjects()));
  std::vector<std::string> log;
  const vox2zvl::Status status = vox2zvl::ConvertFile(input, [&](const std::string& line) { log.push_back(line); });
  ASSERT_TRUE(status.ok) << status.message;

  const std::vector<std::string> expectedLog = {
      "Converting file " + input + " to ZVL format", "File version: 5", "Scene name: Twin", "Palette: twin.act",
      "Geometry: 2 objects", "Animation: 3 frames", "Animation attached successfully", "Saving ZVL file",
      "Conversion completed"};
  EXPECT_EQ(log, expectedLog);

  const std::string output = (dir_ / "twin.ZVL").string();
  ZvlDatabasePtr db(ZvlReadDatabaseFile(output.c_str()));
  ASSERT_TRUE(db) << ZvlGetErrorText();
  EXPECT_FLOAT_EQ(db->version, 7.0f);
  EXPECT_STREQ(db->databaseName, "Twin");
  EXPECT_STREQ(db->sceneName, "Twin");
  EXPECT_STREQ(db->paletteName, "twin.act");
  ASSERT_NE(db->palette, nullptr);
  EXPECT_EQ(db->colorTable, nullptr);
  EXPECT_EQ(db->palette->startColor, 16);
  EXPECT_EQ(db->palette->endColor, 79);
  EXPECT_EQ(db->palette->colors[79][0], 255);  // the brightest of the fourth hue
  ASSERT_EQ(db->objectCount, 2);
  ASSERT_EQ(db->frameCount, 3);
  EXPECT_STREQ(db->objectNames[0], "Line");
  EXPECT_STREQ(db->objectNames[1], "Pair");

  const auto line = PartsOf(*db, 0);
  ASSERT_EQ(line.size(), 1u);
  EXPECT_EQ(line[0].head.pixelCount, 3);
  EXPECT_EQ(line[0].head.kind, 0);
  const auto pair = PartsOf(*db, 1);
  ASSERT_EQ(pair.size(), 1u);
  EXPECT_EQ(pair[0].head.pixelCount, 5);
  EXPECT_EQ(pair[0].head.kind, VoxKindComplex);
  EXPECT_FLOAT_EQ(pair[0].head.pixelSize, 0.25f);

  const ObjectAnimation& a = db->animation[0];
  EXPECT_EQ(a.flags[0], 0);
  EXPECT_EQ(a.flags[1], 5);
  EXPECT_EQ(a.flags[2], 9);
  EXPECT_FLOAT_EQ(a.locations[3], 4.0f);
  EXPECT_FLOAT_EQ(a.locations[8], 9.0f);
  ExpectMatrix(a.matrices, {1, 0, 0, 0, 1, 0, 0, 0, 1});
  ExpectMatrix(a.matrices + 9, {0, -1, 0, 1, 0, 0, 0, 0, 1});   // a turns about z
  ExpectMatrix(a.matrices + 18, {0, 0, 1, 0, 1, 0, -1, 0, 0});  // b turns about y
  const ObjectAnimation& b = db->animation[1];
  ExpectMatrix(b.matrices, {1, 0, 0, 0, 0, -1, 0, 1, 0});       // c turns about x
  EXPECT_EQ(b.flags[2], 3);
  EXPECT_FLOAT_EQ(b.locations[7], -2.0f);
}

TEST(Conversion, ObjectsAreWrittenInTheAnimationChunksOrder) {
  VoxFile file = TwoObjects();
  std::swap(file.geometry[0], file.geometry[1]);  // geometry lists Pair first
  const Converted result = ConvertInMemory(WriteVox(file));
  ASSERT_TRUE(result.status.ok) << result.status.message;
  ZvlDatabasePtr db = ReadBack(result.zvl);
  ASSERT_TRUE(db) << ZvlGetErrorText();
  EXPECT_STREQ(db->objectNames[0], "Line");
  EXPECT_STREQ(db->objectNames[1], "Pair");
  EXPECT_EQ(PartsOf(*db, 0)[0].head.pixelCount, 3);
  EXPECT_EQ(PartsOf(*db, 1)[0].head.pixelCount, 5);
  EXPECT_EQ(db->animation[1].flags[0], 1);
}

TEST(Conversion, AnAnimationObjectTakesTheFirstGeometryObjectOfItsName) {
  VoxFile file = TwoObjects();
  file.geometry[1].name = "Line";  // two geometry objects called Line
  file.animation[1].name = "Line";
  const Converted result = ConvertInMemory(WriteVox(file));
  ASSERT_TRUE(result.status.ok) << result.status.message;
  ZvlDatabasePtr db = ReadBack(result.zvl);
  ASSERT_TRUE(db);
  EXPECT_EQ(PartsOf(*db, 0)[0].head.pixelCount, 3);
  EXPECT_EQ(PartsOf(*db, 1)[0].head.pixelCount, 3);
}

TEST(Matrix, AnglesZeroGiveTheIdentityAndEachAngleTurnsAboutOneAxis) {
  float m[9];
  vox2zvl::MatrixFromAngles(0, 0, 0, m);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(m[i], (i % 4 == 0) ? 1.0f : 0.0f);

  // Three angles at once: the product Rz(a) Ry(b) Rx(c), each row a unit vector.
  vox2zvl::MatrixFromAngles(0.3f, -0.7f, 1.1f, m);
  const double ca = std::cos(0.3), sa = std::sin(0.3), cb = std::cos(-0.7), sb = std::sin(-0.7);
  const double cc = std::cos(1.1), sc = std::sin(1.1);
  ExpectMatrix(m, {float(ca * cb), float(ca * sb * sc - sa * cc), float(ca * sb * cc + sa * sc), float(sa * cb),
                   float(sa * sb * sc + ca * cc), float(sa * sb * cc - ca * sc), float(-sb), float(cb * sc),
                   float(cb * cc)});
  for (int row = 0; row < 3; ++row)
    EXPECT_NEAR(m[3 * row] * m[3 * row] + m[3 * row + 1] * m[3 * row + 1] + m[3 * row + 2] * m[3 * row + 2], 1.0f,
                1e-6f);
}

TEST(Conversion, ZeroAnglesInTheFileGiveTheIdentity) {
  VoxFile file = TwoObjects();
  const Converted result = ConvertInMemory(WriteVox(file));
  ASSERT_TRUE(result.status.ok);
  ZvlDatabasePtr db = ReadBack(result.zvl);
  ASSERT_TRUE(db);
  const float* m = db->animation[1].matrices + 9;  // Pair, frame 1: angles 0, 0, 0
  for (int i = 0; i < 9; ++i) EXPECT_EQ(m[i], (i % 4 == 0) ? 1.0f : 0.0f);
}

TEST(Conversion, TwoPartObjectSumsItsSizesAndEndsWithNextOffsetZero) {
  const VoxPart fine = MakePart({Row(0, 0, 0, 4, 1), Row(0, 3, 0, 2, 2)}, 1.0f);
  const VoxPart coarse = MakePart({Row(0, 0, 0, 2, 3)}, 2.0f);
  VoxFile file;
  file.geometry = {{"Two", JoinParts({fine, coarse})}};
  file.frameCount = 1;
  file.animation = {{"Two", {{}}}};
  const Converted result = ConvertInMemory(WriteVox(file));
  ASSERT_TRUE(result.status.ok) << result.status.message;
  ZvlDatabasePtr db = ReadBack(result.zvl);
  ASSERT_TRUE(db) << ZvlGetErrorText();

  // The converted object is exactly the parts the VOX parts came from,
  // joined the way the converter joins them.
  std::vector<uint8_t> expected;
  ASSERT_TRUE(VoxJoinParts(std::vector<std::vector<uint8_t>>{fine.zvlPart, coarse.zvlPart}, true, expected));
  EXPECT_EQ(ObjectBytes(*db, 0), expected);

  const size_t fineLength = 42 + 2 * 32 + 6 * 3 + 1, coarseLength = 42 + 2 * 3 + 1;
  const auto parts = PartsOf(*db, 0);
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(db->geometry[0].totalSize, int32_t(fineLength + coarseLength));
  EXPECT_EQ(parts[0].head.kind, VoxKindComplex | VoxKindNextPart);
  EXPECT_EQ(parts[0].head.size, int32_t(fineLength + coarseLength));
  EXPECT_EQ(parts[0].head.nextOffset, int32_t(fineLength));
  EXPECT_EQ(parts[0].head.trailerOffset, int32_t(fineLength - 1));
  EXPECT_EQ(parts[1].head.kind, 0);
  EXPECT_EQ(parts[1].head.size, int32_t(coarseLength));
  EXPECT_EQ(parts[1].head.nextOffset, 0);
  EXPECT_EQ(parts[1].head.trailerOffset, int32_t(coarseLength - 1));
  EXPECT_EQ(parts[0].bytes[fineLength - 1], 0);  // one-byte trailer 0
  // The second chain head: the VOX record's count at 24 and a zero at 28.
  const uint8_t* secondChain = parts[0].bytes + 42 + 32 + 4 * 3;
  EXPECT_EQ(le::i32(secondChain + 24), 2);
  EXPECT_EQ(le::i32(secondChain + 28), 0);
}

TEST(Conversion, HandMadeSimplePartConvertsFieldByField) {
  // One 3D pixel, spelled out in the VOX layout.
  std::vector<uint8_t> vox(45, 0);
  vox[5] = 5;                      // version
  vox[6] = 0;                      // flags: simple, last part
  le::putF32(&vox[8], 1.5f);       // pixel size
  le::putI32(&vox[12], 1);         // + offset 16 = 45 bytes
  le::putI32(&vox[16], 44);        // last byte
  const int16_t fields[9] = {1, 1, 1, -3, 4, -5, -2, 4, -5};
  for (int i = 0; i < 9; ++i) le::putI16(&vox[size_t(20 + 2 * i)], fields[i]);
  le::putI32(&vox[38], 1);
  vox[42] = 4 << 3;                // move code 4
  vox[43] = 7;
  vox[44] = 9;

  std::vector<uint8_t> out;
  ASSERT_EQ(vox2zvl::ConvertedObjectSize(vox), 46u);
  ASSERT_EQ(vox2zvl::ConvertVoxObject(vox, out), 0);
  ASSERT_EQ(out.size(), 46u);
  EXPECT_EQ(le::i32(&out[0]), 0);     // kind
  EXPECT_EQ(le::i32(&out[4]), 46);    // size
  EXPECT_EQ(le::f32(&out[8]), 1.5f);  // pixel size
  EXPECT_EQ(le::i32(&out[12]), 0);    // next offset of the last part
  EXPECT_EQ(le::i32(&out[16]), 45);   // trailer offset
  for (int i = 0; i < 9; ++i) EXPECT_EQ(le::i16(&out[size_t(20 + 2 * i)]), fields[i]);
  EXPECT_EQ(le::i32(&out[38]), 1);
  EXPECT_EQ(out[42], 4 << 3);
  EXPECT_EQ(out[43], 7);
  EXPECT_EQ(out[44], 9);
  EXPECT_EQ(out[45], 0);
  EXPECT_TRUE(VoxCheckObject(out.data(), out.size()));
}

TEST(Conversion, ObjectsBelowVersionFiveRescaleTheirLocations) {
  VoxFile file;
  file.geometry = {{"Old", JoinParts({MakePart({Row(0, 0, 0, 2)}, 0.5f, 4)})},
                   {"New", JoinParts({MakePart({Row(0, 0, 0, 2)}, 0.5f, 5)})}};
  file.frameCount = 2;
  const Frame frame{0, {90, -180, 1.8f}, {0, 0, 0}};
  file.animation = {{"Old", {frame, frame}}, {"New", {frame, frame}}};
  const Converted result = ConvertInMemory(WriteVox(file));
  ASSERT_TRUE(result.status.ok) << result.status.message;
  ZvlDatabasePtr db = ReadBack(result.zvl);
  ASSERT_TRUE(db);
  // pixel size x 256 / 180: 90 becomes 64.
  EXPECT_NEAR(db->animation[0].locations[0], 64.0f, 1e-4f);
  EXPECT_NEAR(db->animation[0].locations[1], -128.0f, 1e-4f);
  EXPECT_NEAR(db->animation[0].locations[5], 1.28f, 1e-6f);
  EXPECT_EQ(db->animation[0].locations[3], db->animation[0].locations[0]);
  EXPECT_EQ(db->animation[1].locations[0], 90.0f);
  EXPECT_EQ(db->animation[1].locations[1], -180.0f);
}

TEST(Conversion, NoFramesAndNoObjectsStillMakeReadableFiles) {
  VoxFile file = TwoObjects();
  file.frameCount = 0;
  Converted result = ConvertInMemory(WriteVox(file));
  ASSERT_TRUE(result.status.ok) << result.status.message;
  ZvlDatabasePtr db = ReadBack(result.zvl);
  ASSERT_TRUE(db) << ZvlGetErrorText();
  EXPECT_EQ(db->objectCount, 2);
  EXPECT_EQ(db->frameCount, 0);

  file.geometry.clear();
  file.animation.clear();
  result = ConvertInMemory(WriteVox(file));
  ASSERT_TRUE(result.status.ok) << result.status.message;
  db = ReadBack(result.zvl);
  ASSERT_TRUE(db) << ZvlGetErrorText();
  EXPECT_EQ(db->objectCount, 0);
}

// Errors of peeking and checking the chunks, of the version chunk and of
// attaching the animation.
TEST(ConversionErrors, EachBadChunkGivesItsMessage) {
  const VoxFile good = TwoObjects();
  const auto ver = VersionChunk(good), pal = PaletteChunk(good), geo = GeometryChunk(good), ani = AnimationChunk(good);
  const auto join = [](std::initializer_list<std::vector<uint8_t>> chunks) {
    std::vector<uint8_t> bytes;
    for (const auto& chunk : chunks) bytes.insert(bytes.end(), chunk.begin(), chunk.end());
    return bytes;
  };
  const auto patched = [](std::vector<uint8_t> bytes, size_t at, int32_t value) {
    le::putI32(&bytes[at], value);
    return bytes;
  };
  VoxFile old = good;
  old.version = 4;
  VoxFile fewer = good;
  fewer.animation.pop_back();
  VoxFile renamed = good;
  renamed.animation[1].name = "Pear";
  std::vector<uint8_t> misnamed = ver;
  std::memcpy(misnamed.data(), "VOX_PAL", 7);

  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* message;
  } cases[] = {
      {"empty file", {}, "Reading file"},
      {"short header", std::vector<uint8_t>(ver.begin(), ver.begin() + 31), "Reading file"},
      {"palette first", join({pal, ver, geo, ani}), "This file does not contain version chunk"},
      {"name not of its number", join({misnamed, pal, geo, ani}), "Bad file format"},
      {"number above 3", join({patched(ver, 8, 4), pal, geo, ani}), "Bad file format"},
      {"version chunk size", join({patched(ver, 28, 40), pal, geo, ani}), "Bad file format"},
      {"version 4", WriteVox(old), "File version is obsolete"},
      {"no palette", join({ver, geo, ani}), "File must contain palette chunk"},
      {"palette size", join({ver, patched(pal, 28, 4897), geo, ani}), "Bad file format"},
      {"no geometry", join({ver, pal, ani}), "File must contain geometry chunk"},
      {"geometry size below its header", join({ver, pal, patched(geo, 28, 33), ani}), "Bad file format"},
      {"no animation", join({ver, pal, geo, geo}), "File must contain animation chunk"},
      {"nothing after geometry", join({ver, pal, geo}), "Reading file"},
      {"animation size below its header", join({ver, pal, geo, patched(ani, 28, 35)}), "Bad file format"},
      {"object counts differ", WriteVox(fewer), "Number of objects mismatch"},
      {"name found nowhere", WriteVox(renamed), "Object name mismatch"},
  };
  for (const auto& c : cases) {
    const Converted result = ConvertInMemory(c.bytes);
    EXPECT_FALSE(result.status.ok) << c.what;
    EXPECT_EQ(result.status.message, c.message) << c.what;
    EXPECT_TRUE(result.zvl.empty()) << c.what << ": nothing is written before the file is read whole";
  }
}

TEST(ConversionErrors, TheLogStopsAtTheFailingStep) {
  VoxFile renamed = TwoObjects();
  renamed.animation[0].name = "Lime";
  const Converted result = ConvertInMemory(WriteVox(renamed));
  ASSERT_FALSE(result.status.ok);
  ASSERT_EQ(result.log.size(), 6u);
  EXPECT_EQ(result.log.back(), "Animation: 3 frames");
}

// Every count, offset and size the file gives is checked before it is
// followed: a file that lies about one is refused, never read past its end.
TEST(ConversionErrors, FilesThatLieAboutTheirSizesAreRefused) {
  const VoxFile good = TwoObjects();
  const std::vector<uint8_t> base = WriteVox(good);
  const size_t geo = 36 + 4898;          // the geometry chunk
  const size_t line = geo + 34 + 16;     // Line's head
  const size_t pair = line + 42 + 9 + 16;  // Pair's head
  const size_t ani = pair + 42 + 2 * 28 + 5 * 3;
  ASSERT_EQ(std::string(reinterpret_cast<const char*>(&base[ani]), 7), "VOX_ANI");
  const auto patched32 = [&](size_t at, int32_t value) {
    std::vector<uint8_t> bytes = base;
    le::putI32(&bytes[at], value);
    return bytes;
  };
  const auto patched16 = [&](size_t at, uint16_t value) {
    std::vector<uint8_t> bytes = base;
    le::put16(&bytes[at], value);
    return bytes;
  };
  // Moves a part's last byte but keeps the object's length.
  const auto lastByte = [&](size_t head, int32_t value) {
    std::vector<uint8_t> bytes = base;
    const int32_t length = le::i32(&bytes[head + 12]) + le::i32(&bytes[head + 16]);
    le::putI32(&bytes[head + 16], value);
    le::putI32(&bytes[head + 12], length - value);
    return bytes;
  };
  const auto patchedByte = [&](size_t at, uint8_t value) {
    std::vector<uint8_t> bytes = base;
    bytes[at] = value;
    return bytes;
  };
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* message;
  } cases[] = {
      {"geometry chunk longer than the file", patched32(geo + 28, 1 << 30), "Reading file"},
      {"animation chunk longer than the file", patched32(ani + 28, 1 << 30), "Reading file"},
      {"more geometry objects than bytes", patched16(geo + 32, 3), "Bad file format"},
      {"object count 65535", patched16(geo + 32, 65535), "Bad file format"},
      {"object longer than the chunk", patched32(pair + 12, 1000), "Bad file format"},
      {"object length negative", patched32(line + 12, -100), "Bad file format"},
      {"object shorter than its head", patched32(line + 12, -10), "Bad file format"},
      {"last byte beyond the object", lastByte(line, 60), "Bad file format"},
      {"last byte inside the head", lastByte(line, 20), "Bad file format"},
      {"last byte huge", lastByte(line, 0x7fffffff), "Bad file format"},
      {"last byte negative", lastByte(line, -1), "Bad file format"},
      {"simple part with more moves than bytes", patched32(line + 38, 4), "Bad file format"},
      {"simple part with a huge count", patched32(line + 38, 0x7fffffff), "Bad file format"},
      {"negative pixel count", patched32(line + 38, -1), "Bad file format"},
      {"chain count above the part's", patched32(pair + 42 + 24, 6), "Bad file format"},
      {"negative chain count", patched32(pair + 42 + 24, -2), "Bad file format"},
      {"chains beyond the part", patched32(pair + 38, 6), "Bad file format"},
      {"another part that is not there", patchedByte(pair + 6, 3), "Bad file format"},
      {"more frames than bytes", patched16(ani + 34, 4), "Bad file format"},
      {"more animation objects than bytes", patched16(ani + 32, 3), "Bad file format"},
      // Parts the renderer would refuse are refused here too.
      {"move that leaves its box", patchedByte(line + 42 + 6, uint8_t(24 << 3)), "Bad file format"},
      {"move code no writer makes", patchedByte(line + 42 + 3, uint8_t(27 << 3)), "Bad file format"},
  };
  for (const auto& c : cases) {
    const Converted result = ConvertInMemory(c.bytes);
    EXPECT_FALSE(result.status.ok) << c.what;
    EXPECT_EQ(result.status.message, c.message) << c.what;
  }
}

TEST(ConversionErrors, MoreThanSixteenPartsAreRefused) {
  std::vector<VoxPart> parts(17, MakePart({Row(0, 0, 0, 1)}, 1.0f));
  VoxFile file;
  file.geometry = {{"Many", JoinParts(parts)}};
  file.animation = {{"Many", {}}};
  EXPECT_EQ(ConvertInMemory(WriteVox(file)).status.message, "Bad file format");
  parts.pop_back();
  file.geometry = {{"Many", JoinParts(parts)}};
  EXPECT_TRUE(ConvertInMemory(WriteVox(file)).status.ok);
}

TEST(ConversionErrors, EveryTruncatedPrefixIsRefused) {
  const std::vector<uint8_t> whole = WriteVox(TwoObjects());
  for (size_t length = 0; length < whole.size(); ++length) {
    const Converted result = ConvertInMemory(std::vector<uint8_t>(whole.begin(), whole.begin() + long(length)));
    ASSERT_FALSE(result.status.ok) << length;
    EXPECT_TRUE(result.status.message == "Reading file" || result.status.message == "Bad file format")
        << length << ": " << result.status.message;
  }
  EXPECT_TRUE(ConvertInMemory(whole).status.ok);
}

TEST(ConversionErrors, TrailingBytesAfterTheAnimationChunkAreIgnored) {
  std::vector<uint8_t> bytes = WriteVox(TwoObjects());
  bytes.resize(bytes.size() + 100, 0xAB);
  EXPECT_TRUE(ConvertInMemory(bytes).status.ok);
}

// A write that falls short anywhere fails with the message of the chunk it
// was writing; messages about one object carry its name.
TEST(ConversionErrors, WriteFailuresNameTheirChunk) {
  const std::vector<uint8_t> vox = WriteVox(TwoObjects());
  const Converted whole = ConvertInMemory(vox);
  ASSERT_TRUE(whole.status.ok);
  EXPECT_EQ(ConvertInMemory(vox, 0).status.message, "Can't open main chunk");
  EXPECT_EQ(ConvertInMemory(vox, 8).status.message, "Can't open version chunk");
  std::set<std::string> messages;
  long limit = 0;
  for (;; ++limit) {
    const Converted result = ConvertInMemory(vox, limit);
    if (result.status.ok) break;
    EXPECT_EQ(result.status.message.rfind("Can't ", 0), 0u) << limit << ": " << result.status.message;
    EXPECT_NE(result.log.back(), "Conversion completed");
    messages.insert(result.status.message);
  }
  EXPECT_GE(limit, long(whole.zvl.size()));
  for (const char* expected : {"Can't write palette entry chunk", "Can't open scene chunk",
                               "Can't write vox object Pair", "Can't open object chunk Line",
                               "Can't write object matrix chunk Pair"})
    EXPECT_TRUE(messages.count(expected)) << expected;
}

TEST(OutputPath, ReplacesTheLastThreeCharacters) {
  EXPECT_EQ(vox2zvl::OutputPath("scene.vox"), "scene.ZVL");
  EXPECT_EQ(vox2zvl::OutputPath("/a/b/SCENE.VOX"), "/a/b/SCENE.ZVL");
  EXPECT_EQ(vox2zvl::OutputPath("/a/b/scene.vx"), "/a/b/sceneZVL");
  EXPECT_EQ(vox2zvl::OutputPath("/a.dir/ab"), "/a.dir/abZVL");
}

TEST_F(ConvertFileTest, AFailedConversionLeavesTheOldOutputAlone) {
  const std::vector<uint8_t> old = {'k', 'e', 'e', 'p'};
  const std::string output = Write("scene.ZVL", old);
  VoxFile bad = TwoObjects();
  bad.animation[0].name = "Nobody";
  const std::string input = Write("scene.vox", WriteVox(bad));
  EXPECT_EQ(vox2zvl::ConvertFile(input, nullptr).message, "Object name mismatch");
  EXPECT_EQ(Read(output), old);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);

  // A good one replaces it.
  Write("scene.vox", WriteVox(TwoObjects()));
  ASSERT_TRUE(vox2zvl::ConvertFile(input, nullptr).ok);
  EXPECT_EQ(Read(output), ConvertInMemory(WriteVox(TwoObjects())).zvl);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

TEST_F(ConvertFileTest, MissingInputAndAnInputThatWouldBeItsOwnOutputAreRefused) {
  EXPECT_EQ(vox2zvl::ConvertFile((dir_ / "none.vox").string(), nullptr).message, "Can't open input file");
  const std::vector<uint8_t> vox = WriteVox(TwoObjects());
  const std::string input = Write("odd.ZVL", vox);
  EXPECT_EQ(vox2zvl::ConvertFile(input, nullptr).message, "Can't open output file");
  EXPECT_EQ(Read(input), vox);
}

TEST_F(ConvertFileTest, FoldersAndHugeFilesAreRefusedWithoutReadingThem) {
  EXPECT_EQ(vox2zvl::ConvertFile(dir_.string(), nullptr).message, "Can't open input file");
  // A sound version chunk, then 3 GiB of nothing (a sparse file): refused
  // at the next header, without reading or holding the rest.
  std::vector<uint8_t> vox = WriteVox(TwoObjects());
  vox.resize(36);
  const std::string input = Write("huge.vox", vox);
  fs::resize_file(input, uintmax_t(3) << 30);
  rusage before{}, after{};
  getrusage(RUSAGE_SELF, &before);
  EXPECT_EQ(vox2zvl::ConvertFile(input, nullptr).message, "Bad file format");
  getrusage(RUSAGE_SELF, &after);
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024);  // kB
}

TEST(Conversion, NamesAreCopiedByteForByte) {
  VoxFile file = TwoObjects();
  file.sceneName = "Sc\xe8ne";
  file.geometry[0].name = file.animation[0].name = "K\xf6rper";
  const Converted result = ConvertInMemory(WriteVox(file));
  ASSERT_TRUE(result.status.ok) << result.status.message;
  const ZvlDatabasePtr db = ReadBack(result.zvl);
  ASSERT_TRUE(db);
  EXPECT_STREQ(db->sceneName, "Sc\xe8ne");
  EXPECT_STREQ(db->objectNames[0], "K\xf6rper");
  EXPECT_EQ(ZvlNameAsUtf8(db->objectNames[0]), "K\xef\xbf\xbdrper");
}

TEST_F(ConvertFileTest, TheSampleConverts) {
  const std::string input = (fs::path(ZORVEL_SOURCE_DIR) / "samples" / "sample.vox").string();
  const std::string copy = Write("sample.vox", Read(input));
  ASSERT_TRUE(vox2zvl::ConvertFile(copy, nullptr).ok);
  ZvlDatabasePtr db(ZvlReadDatabaseFile((dir_ / "sample.ZVL").string().c_str()));
  ASSERT_TRUE(db) << ZvlGetErrorText();
  EXPECT_EQ(db->frameCount, 24);
  ASSERT_EQ(db->objectCount, 2);
  EXPECT_STREQ(db->objectNames[0], "Ball");
  EXPECT_STREQ(db->objectNames[1], "Block");
  EXPECT_EQ(PartsOf(*db, 0).size(), 2u);
  // The committed sample is what the generator makes.
  EXPECT_EQ(Read(input), WriteVox(SampleScene()));
}

TEST(ConverterLog, KeepsLinesCutToTheirLengthAndStartsAgainWhenCleared) {
  vox2zvl::ConverterLog log;
  log.add("first");
  log.add(std::string(200, 'x'));
  ASSERT_EQ(log.lines().size(), 2u);
  EXPECT_EQ(log.lines()[1].size(), vox2zvl::ConverterLog::MaxLineLength);
  for (size_t i = 0; i < vox2zvl::ConverterLog::MaxLines; ++i) log.add(std::to_string(i));
  EXPECT_EQ(log.lines().size(), vox2zvl::ConverterLog::MaxLines);
  EXPECT_EQ(log.lines().front(), "0");
  log.clear();
  EXPECT_TRUE(log.lines().empty());
}
