#include "palette/messages.h"
#include "palette/palette.h"
#include "test_scene.h"

#include "zvlfile/rgb555.h"
#include "zvlfile/zvlfile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>

namespace {

void RampColours(uint8_t colours[768]) {
  for (int e = 0; e < 256; ++e) {
    colours[e * 3] = uint8_t(e);
    colours[e * 3 + 1] = uint8_t(255 - e);
    colours[e * 3 + 2] = uint8_t(e / 2);
  }
}

PaletteSettings ActSettings(const std::string& path, uint8_t start, uint8_t end) {
  PaletteSettings settings;
  settings.source = PaletteSourceKind::ActFile;
  settings.path = path;
  settings.start = start;
  settings.end = end;
  return settings;
}

std::string WriteRampAct(const TempFolder& folder) {
  uint8_t colours[768];
  RampColours(colours);
  const std::string path = folder.File("ramp.act");
  EXPECT_EQ(WriteActPalette(path, colours), 0);
  return path;
}

// The usage of the chief header's opening example.
TEST(PaletteBuilder, UsageExampleRunsEndToEnd) {
  TempFolder folder;
  TestScene scene;
  scene.AddFlat(200, 10, 10);
  scene.AddTextured(7, "wood");
  PaletteSettings settings;
  settings.source = PaletteSourceKind::ActFile;
  settings.path = WriteRampAct(folder);
  settings.start = 1;
  settings.end = 200;
  ASSERT_EQ(PreparePalette(scene, settings), 0);
  EXPECT_EQ(ColourIndex(scene.Palette(), nullptr, 0), 200);  // first flat column after L = 200
  const uint8_t grey[3] = {100, 155, 50};
  EXPECT_EQ(ColourIndex(scene.Palette(), grey, 1), 99);       // entry 100 minus start
  const ZvlDatabasePtr database(ZvlCreateDatabase(0));
  ASSERT_EQ(CopyPaletteBlock(scene, *database), 0);
  ASSERT_EQ(CopyColorTable(scene, *database), 0);
  ASSERT_NE(database->palette, nullptr);
  EXPECT_EQ(database->colorTable->gradientColors, 200);
  EXPECT_EQ(database->colorTable->flatMaterials, 1);
  ReleaseMaterials(scene);
  EXPECT_EQ(scene.out, 0);
  EXPECT_EQ(scene.infos, std::vector<std::string>{"Using textured material wood as prototype"});
}

TEST(PaletteBuilder, TooManyFlatMaterialsAsksForShorterRangeAndHandsBack) {
  TempFolder folder;
  TestScene scene;
  scene.AddFlat(1, 2, 3);
  scene.AddFlat(4, 5, 6);
  scene.AddFlat(7, 8, 9);
  EXPECT_EQ(PreparePalette(scene, ActSettings(WriteRampAct(folder), 1, 254)), -1);
  char expected[128];
  std::snprintf(expected, sizeof expected, palette::msg::TooManyFlatMaterials, 253);
  EXPECT_EQ(scene.errors, std::vector<std::string>{expected});
  EXPECT_EQ(scene.out, 0);

  // The authoring wording says by how much to reduce.
  TestScene authoring;
  for (int i = 0; i < 3; ++i) authoring.AddFlat(uint8_t(i), 0, 0);
  PaletteSettings settings = ActSettings(WriteRampAct(folder), 1, 254);
  settings.messages = PaletteMessages::Authoring;
  EXPECT_EQ(PreparePalette(authoring, settings), -1);
  std::snprintf(expected, sizeof expected, palette::msg::TooManyFlatColors, 1);
  EXPECT_EQ(authoring.errors, std::vector<std::string>{expected});
}

TEST(PaletteBuilder, NoPaletteFileGivesOnlyFlatColumns) {
  TestScene scene;
  scene.AddFlat(255, 0, 0);
  scene.AddTextured(1, "unused texture", false);
  scene.AddFlat(0, 0, 255);
  ASSERT_EQ(PreparePalette(scene, PaletteSettings{}), 0);
  const PaletteTables& t = scene.tables;
  EXPECT_EQ(t.paletteLength, 0);
  EXPECT_EQ(t.flatCount, 2);
  EXPECT_FALSE(t.hasPalette);
  EXPECT_GT(t.start, t.end);
  EXPECT_EQ(ColourIndex(t, nullptr, 0), 0);
  EXPECT_EQ(ColourIndex(t, nullptr, 2), 1);
  EXPECT_EQ(t.redirection[1], -1);
  EXPECT_EQ(t.materials[1], nullptr);
  EXPECT_EQ(scene.infos, std::vector<std::string>{palette::msg::NoTexturedMaterial});
  // A true colour has no palette column: it takes the nearest flat column.
  const uint8_t blue[3] = {10, 10, 240};
  EXPECT_EQ(ColourIndex(t, blue, 0), 1);
  EXPECT_EQ(NearestPaletteEntry(t, 10, 10, 240), 0);
  // No palette block goes into the database.
  const ZvlDatabasePtr database(ZvlCreateDatabase(0));
  EXPECT_EQ(CopyPaletteBlock(scene, *database), 0);
  EXPECT_EQ(database->palette, nullptr);
  ReleaseMaterials(scene);
  EXPECT_EQ(scene.out, 0);
}

TEST(PaletteBuilder, EqualMaterialsMergeThroughARedirectionChain) {
  TestScene scene;
  scene.AddFlat(10, 20, 30).name = "first";
  scene.AddFlat(90, 90, 90);
  scene.AddFlat(10, 20, 30).name = "second";
  scene.AddFlat(10, 20, 30).name = "third";
  scene.AddTextured(5, "a");
  scene.AddTextured(5, "b");
  scene.AddTextured(6, "c");
  ASSERT_EQ(PreparePalette(scene, PaletteSettings{}), 0);
  const PaletteTables& t = scene.tables;
  EXPECT_EQ(t.redirection, (std::vector<int32_t>{2, 1, 3, 3, 5, 5, 6}));
  EXPECT_EQ(t.flatCount, 2);
  EXPECT_EQ(ResolveMaterial(t, 0), 3);
  EXPECT_EQ(ColourIndex(t, nullptr, 0), ColourIndex(t, nullptr, 3));
  EXPECT_EQ(ColourIndex(t, nullptr, 2), ColourIndex(t, nullptr, 3));
  EXPECT_NE(ColourIndex(t, nullptr, 1), ColourIndex(t, nullptr, 3));
  EXPECT_EQ(ColourIndex(t, nullptr, 4), -1);  // textured: no flat column
  EXPECT_EQ(scene.out, 4);                    // survivors 1, 3, 5, 6
  EXPECT_EQ(scene.infos, std::vector<std::string>{"Using textured material b as prototype"});
  ReleaseMaterials(scene);
  EXPECT_EQ(scene.out, 0);
}

TEST(PaletteBuilder, ActColumnsAndShadeTable) {
  TempFolder folder;
  TestScene scene;
  scene.AddFlat(255, 255, 255);
  ASSERT_EQ(PreparePalette(scene, ActSettings(WriteRampAct(folder), 10, 19)), 0);
  const PaletteTables& t = scene.tables;
  EXPECT_EQ(t.paletteLength, 10);
  EXPECT_EQ(t.palette.colors[9][0], 0);   // outside the range: cleared
  EXPECT_EQ(t.palette.colors[10][0], 10);
  EXPECT_EQ(t.palette.colors[20][1], 0);
  EXPECT_EQ(NearestPaletteEntry(t, 0, 255, 0), 10);
  EXPECT_EQ(NearestPaletteEntry(t, 255, 0, 0), 19);
  // Every shade of a used column is an entry of the range; unused columns stay 0.
  for (int r = 0; r < ZvlShadeRows; ++r) {
    for (int c = 0; c < 11; ++c) {
      EXPECT_GE(t.palette.shades[r][c], 10);
      EXPECT_LE(t.palette.shades[r][c], 19);
    }
    EXPECT_EQ(t.palette.shades[r][11], 0);
  }
  // The flat white column's brightest stored shade is brighter than its darkest.
  EXPECT_GT(t.colorTable.colors[23 * 256 + 10], t.colorTable.colors[0 * 256 + 10]);
  EXPECT_EQ(ColourIndex(t, nullptr, 0), 10);
  ReleaseMaterials(scene);
}

TEST(PaletteBuilder, ActFileLengths) {
  TempFolder folder;
  std::vector<uint8_t> bytes(772, 0);
  bytes[765] = 1;  // entry 255 keeps its colour
  bytes[766] = 2;
  bytes[767] = 3;
  std::ofstream(folder.File("long.act"), std::ios::binary).write(reinterpret_cast<char*>(bytes.data()), 772);
  std::ofstream(folder.File("short.act"), std::ios::binary).write(reinterpret_cast<char*>(bytes.data()), 700);
  uint8_t colours[768];
  std::string error;
  ASSERT_EQ(LoadActPalette(folder.File("long.act"), colours, error), 0);
  EXPECT_EQ(colours[767], 3);
  EXPECT_EQ(LoadActPalette(folder.File("short.act"), colours, error), -1);
  EXPECT_EQ(error, palette::msg::ErrorReadingActPalette);

  TestScene scene;
  scene.AddFlat(1, 1, 1);
  EXPECT_EQ(PreparePalette(scene, ActSettings(folder.File("short.act"), 1, 255)), -1);
  EXPECT_EQ(scene.errors, std::vector<std::string>{palette::msg::ErrorReadingActPalette});
  EXPECT_EQ(scene.out, 0);
}

TEST(PaletteBuilder, ZvlSourceGivesFlatMaterialsTheNearestExistingColumn) {
  TempFolder folder;
  TestScene first;
  first.AddFlat(250, 0, 0);
  first.AddFlat(0, 250, 0);
  first.AddTextured(1, "t");
  ASSERT_EQ(PreparePalette(first, ActSettings(WriteRampAct(folder), 0, 99)), 0);
  const ZvlDatabasePtr database(ZvlCreateDatabase(0));
  ASSERT_EQ(CopyPaletteBlock(first, *database), 0);
  const std::string noTable = folder.File("palette_only.zvl");
  ASSERT_EQ(ZvlWriteDatabaseFile(noTable.c_str(), *database), 0) << ZvlGetErrorText();
  ASSERT_EQ(CopyColorTable(first, *database), 0);
  const std::string full = folder.File("full.zvl");
  ASSERT_EQ(ZvlWriteDatabaseFile(full.c_str(), *database), 0) << ZvlGetErrorText();
  ReleaseMaterials(first);

  TestScene second;
  second.AddFlat(0, 240, 0);  // nearest to the green column 101
  PaletteSettings settings;
  settings.source = PaletteSourceKind::ZvlFile;
  settings.path = full;
  ASSERT_EQ(PreparePalette(second, settings), 0);
  EXPECT_EQ(second.tables.paletteLength, 100);
  EXPECT_EQ(second.tables.flatCount, 2);
  EXPECT_EQ(ColourIndex(second.tables, nullptr, 0), 101);
  EXPECT_EQ(std::memcmp(&second.tables.colorTable, &first.tables.colorTable, sizeof(ColorTable16)), 0);
  ReleaseMaterials(second);

  TestScene third;
  third.AddFlat(1, 1, 1);
  settings.path = noTable;
  EXPECT_EQ(PreparePalette(third, settings), -1);
  EXPECT_EQ(third.errors, std::vector<std::string>{palette::msg::NoColorTableChunk});
  EXPECT_EQ(third.out, 0);
}

TEST(Gradient, ShadeZeroOfPlainModelIsRaisedQuarterAmbientPlusSelfIllumination) {
  GradientParameters p;
  p.ambient[0] = 200, p.ambient[1] = 100, p.ambient[2] = 0;
  p.diffuse[0] = 100, p.diffuse[1] = 60, p.diffuse[2] = 20;
  p.specular[0] = p.specular[1] = p.specular[2] = 40;
  p.shininess = 0.3f;
  p.shininessStrength = 0.5f;
  p.selfIllumination = 0.2f;
  GradientColours g;
  ComputeGradient(p, g);
  // 50 * (1 + 0.05 (1 - f^2) / (f + 0.02)) with f = 50/255, plus 0.2 * 100.
  EXPECT_NEAR(g[0][0], 61.12505f + 20.0f, 1e-3);
  EXPECT_NEAR(g[0][1], 35.48792f + 12.0f, 1e-3);
  EXPECT_NEAR(g[0][2], 4.0f, 1e-3);
}

TEST(Gradient, PlainAndMetalShadesWorkedByHand) {
  GradientParameters plain;
  plain.ambient[0] = 200, plain.ambient[1] = 100, plain.ambient[2] = 0;
  plain.diffuse[0] = 100, plain.diffuse[1] = 60, plain.diffuse[2] = 20;
  plain.specular[0] = plain.specular[1] = plain.specular[2] = 40;
  plain.shininessStrength = 0.5f;
  GradientColours g;
  ComputeGradient(plain, g);
  // Shade 23: full diffuse 0.95 B and the full highlight 0.5 C.
  EXPECT_NEAR(g[23][0], 176.12505f, 2e-3);
  EXPECT_NEAR(g[23][2], 39.0f, 2e-3);
  EXPECT_NEAR(g[11][0], 127.44474f, 2e-3);
  EXPECT_NEAR(g[11][2], 14.44566f, 2e-3);

  GradientParameters metal;
  metal.shadingType = kShadingMetal;
  metal.ambient[0] = metal.ambient[1] = metal.ambient[2] = 40;
  metal.diffuse[0] = 120, metal.diffuse[1] = 80, metal.diffuse[2] = 40;
  metal.shininess = 0.6f;
  metal.shininessStrength = 0.4f;
  metal.selfIllumination = 0.1f;
  ComputeGradient(metal, g);
  EXPECT_NEAR(g[12][0], 79.21111f, 2e-3);
  EXPECT_NEAR(g[23][1], 107.29023f, 2e-3);
  EXPECT_NEAR(g[24][2], 24.43072f, 2e-3);

  // Stored: clamped, truncated and packed; the 25th colour is not stored.
  ColorTable16 table;
  g[0] = {300.0f, 8.9f, -4.0f};
  StoreGradientColumn(g, table, 7);
  EXPECT_EQ(table.colors[7], ZvlPackRgb555(255, 8, 0));
}

TEST(Gradient, PercentParametersMatchFractions) {
  Material fraction;
  fraction.shininess = 0.2f;
  fraction.shininessStrength = 0.4f;
  fraction.selfIllumination = 0.1f;
  Material percent = fraction;
  percent.shininess = 20, percent.shininessStrength = 40, percent.selfIllumination = 10;
  const GradientParameters a = MaterialGradientParameters(fraction, false);
  const GradientParameters b = MaterialGradientParameters(percent, true);
  EXPECT_FLOAT_EQ(a.shininess, b.shininess);
  EXPECT_FLOAT_EQ(a.shininessStrength, b.shininessStrength);
  EXPECT_FLOAT_EQ(a.selfIllumination, b.selfIllumination);
}

}  // namespace

namespace {

TEST(PaletteLookup, TrueColoursTakeTheFirstNearestEntry) {
  PaletteTables t;
  t.start = 2;
  t.end = 5;
  const uint8_t entries[4][3] = {{10, 0, 0}, {0, 0, 0}, {0, 0, 0}, {200, 100, 50}};
  for (int e = 0; e < 4; ++e) std::copy(entries[e], entries[e] + 3, t.palette.colors[t.start + e]);
  const uint8_t black[3] = {0, 0, 0};
  EXPECT_EQ(NearestPaletteEntry(t, 0, 0, 0), 3);
  EXPECT_EQ(ColourIndex(t, black, 0), 1);
  for (int i = 0; i < 200; ++i) {
    const uint8_t rgb[3] = {uint8_t(i * 37), uint8_t(i * 11), uint8_t(i * 5)};
    EXPECT_EQ(ColourIndex(t, rgb, 0), NearestPaletteEntry(t, rgb[0], rgb[1], rgb[2]) - t.start);
  }
}

}  // namespace
