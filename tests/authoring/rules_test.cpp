// The rules of the pages and dialogs that need no window: output names,
// folders and stems, the name fields, the units edit, the option flags.
#include "authoring/authoring.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace authoring;

TEST(Paths, OutputNameGetsZvl) {
  EXPECT_EQ(OutputPathFor("/a/scene"), "/a/scene.zvl");
  EXPECT_EQ(OutputPathFor("/a/scene.old"), "/a/scene.zvl");
  EXPECT_EQ(OutputPathFor("/a/scene."), "/a/scene.zvl");
  EXPECT_EQ(OutputPathFor("/a.b/scene"), "/a.b/scene.zvl");  // a dot in a folder is no extension
  EXPECT_EQ(OutputPathFor("C:\\a.b\\scene.x.y"), "C:\\a.b\\scene.x.zvl");
}

TEST(Paths, FoldersStemsAndNames) {
  EXPECT_EQ(FolderPart("/maps/wood.bmp"), "/maps/");
  EXPECT_EQ(FolderPart("C:\\maps\\wood.bmp"), "C:\\maps\\");
  EXPECT_EQ(FolderPart("wood.bmp"), "./");
  EXPECT_EQ(AnimationStemOf("/a_b/anim_mill_x"), "/a_b/anim");
  EXPECT_EQ(AnimationStemOf("/a/anim"), "/a/anim");
  EXPECT_EQ(JobName("/x.y/windmill.3ds"), "windmill");
  EXPECT_EQ(JobName("C:\\s\\averyveryverylongname.lws"), "averyveryverylo");
  EXPECT_EQ(JobName("C:\\s\\averyveryverylongname.lws").size(), 15u);
  EXPECT_EQ(DefaultPalettePath("/start"), "/start/main_p6.act");
}

TEST(Units, OnlyDigitsPointsBlanksAndMinusAndAPositiveNumber) {
  UnitsValue units(2.0f);
  EXPECT_EQ(units.Text(), "2.000000");
  EXPECT_TRUE(units.Edit("0.5"));
  EXPECT_FLOAT_EQ(units.Value(), 0.5f);
  EXPECT_FALSE(units.Edit("abc"));
  EXPECT_FLOAT_EQ(units.Value(), 0.5f);
  EXPECT_FALSE(units.Edit("0"));
  EXPECT_FALSE(units.Edit("-3"));
  EXPECT_FALSE(units.Edit("1e3"));  // the exponent letter is not allowed
  EXPECT_FLOAT_EQ(units.Value(), 0.5f);
  EXPECT_EQ(units.Text(), "0.500000");
  EXPECT_TRUE(units.Edit(" 7.25"));
  EXPECT_FLOAT_EQ(units.Value(), 7.25f);
}

TEST(Fields, FlagsAndLevels) {
  PageFields fields;
  EXPECT_EQ(OptionFlags(fields), 15u);
  fields.makePalette = false;
  EXPECT_EQ(OptionFlags(fields), 15u);  // "High color" sets 9
  fields.highColor = false;
  EXPECT_EQ(OptionFlags(fields), 6u);
  fields.makeGeometry = fields.makeAnimation = false;
  EXPECT_EQ(OptionFlags(fields), 0u);
  EXPECT_EQ(ClampLevels(255), kMaxLevels);
  EXPECT_EQ(ClampLevels(0), 1);
  EXPECT_FALSE(RequiredFieldsPresent(fields));
}

}  // namespace

namespace {

// The usage example of authoring/authoring.h, compiled.
[[maybe_unused]] void ChiefHeaderExample() {
  struct Reporter : authoring::ConversionReporter {
    void Error(const std::string&) override {}
    void Warning(const std::string&) override {}
  };
  Reporter reporter;
  authoring::PageFields fields;
  fields.kind = authoring::ImportKind::Studio3ds;
  fields.scenePath = "windmill.3ds";
  fields.palettePath = "main_p6.act";
  fields.levels = 2;
  authoring::SceneConversion conversion(reporter);
  if (!conversion.Prepare(fields)) return;
  float units = conversion.DefaultUnits();
  if (!conversion.Setup(units, "windmill.zvl")) return;
  std::thread worker([&] { conversion.Run(); });
  worker.join();
}

}  // namespace
