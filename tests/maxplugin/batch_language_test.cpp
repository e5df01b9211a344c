// The batch language: tokenizer limits and line ends, the grammar's checks,
// the written file read back, and a run over a scene in memory.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "maxplugin/batch.h"
#include "maxplugin/batch_messages.h"
#include "maxplugin/contents.h"
#include "maxplugin/messages.h"
#include "scene_builder.h"
#include "zvlfile/zvlfile.h"

using namespace zvlplay;

namespace {

struct Parsed {
  int result = 0;
  BatchFile batch;
  BatchError error;
};

Parsed Parse(std::string_view text, SceneRange scene = {0, 100}) {
  Parsed p;
  BatchSettings defaults;
  defaults.outputPath = "/out";
  p.result = ParseBatch(text, defaults, scene, p.batch, p.error, [](const std::string&) { return true; });
  return p;
}

void ExpectError(std::string_view text, const char* message, int line) {
  const Parsed p = Parse(text);
  EXPECT_EQ(p.result, -1) << text;
  EXPECT_EQ(p.error.message, message) << text;
  EXPECT_EQ(p.error.line, line) << text;
  EXPECT_TRUE(p.batch.jobs.empty());
}

const BatchObjectParams& FirstObject(const Parsed& p) {
  static const BatchObjectParams none;
  if (p.batch.jobs.empty() || p.batch.jobs[0].objects.empty()) return none;
  return p.batch.jobs[0].objects[0];
}

}  // namespace

TEST(BatchLanguage, ErrorsNameTheirLine) {
  ExpectError("", msg::KeywordExpected, 1);
  ExpectError("REM only\n; a comment\n\n\t \n", msg::NoJobInFile, 4);
  ExpectError("rem lower case\n", msg::IllegalKeyword, 1);
  ExpectError("BEGIN_JOB\nOUT_FILE a.zvl\nOBJECT Box01\n", msg::EndJobExpected, 3);
  ExpectError("LEVELS 17\n", msg::InvalidNumber, 1);
  ExpectError("BEGIN_JOB\nOBJECT Box01 LEVELS 16\nEND_JOB\n", msg::TooManyLevels, 2);
  ExpectError("BEGIN_JOB\nOBJECT Box01 UNITS 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\nEND_JOB\n", msg::TooManyLevels, 2);
  ExpectError("BEGIN_JOB\nEND_JOB\n", msg::NoObjectsInJob, 2);
  ExpectError("BEGIN_JOB\nLOAD a.gltf\n", msg::LoadInsideJob, 2);
  ExpectError("BEGIN_JOB\nOBJECT\n", msg::ObjectNameExpected, 2);
  ExpectError("BEGIN_JOB\nOBJECT A UNITS\n", msg::NumberExpected, 2);
  ExpectError("BEGIN_JOB\nOBJECT A\nUNITS 2\nOBJ_SMOOTH 1\n", msg::ObjSmoothAfterObjectOnly, 4);
  ExpectError("BEGIN_JOB\nOBJECT A LEVELS 2\nOBJ_SMOOTH 1 2 3\n", msg::LevelsMismatch, 3);
  ExpectError("BEGIN_JOB\nOBJECT A\nOBJ_SMOOTH 11\n", msg::InvalidNumber, 3);
  ExpectError("CONTENTS\n", msg::KeywordExpected, 1);
  ExpectError("CONTENTS GEOMETRY COLOURS\n", msg::IllegalKeyword, 1);
  ExpectError("ANIMATION\n", msg::KeywordExpected, 1);
  ExpectError("ANIMATION FRAMES\n", msg::StringExpected, 1);
  ExpectError("ANIMATION FROM 9 TO 5\n", msg::InvalidNumber, 1);
  ExpectError("ANIMATION FROM 0 TO 200\n", msg::InvalidNumber, 1);
  ExpectError("PALETTE p.act START_COL 20 END_COL 10\n", msg::InvalidNumber, 1);
  ExpectError("PALETTE p.act COLOURS\n", msg::IllegalKeyword, 1);
  ExpectError("GET_LCS_FROM FRAME 101\n", msg::InvalidNumber, 1);
  // Numbers that are not numbers are refused, not read as 0.
  ExpectError("UNITS abc\n", msg::InvalidNumber, 1);
  ExpectError("UNITS 0\n", msg::InvalidNumber, 1);
  ExpectError("SMOOTH 3x\n", msg::InvalidNumber, 1);
  ExpectError("FACTOR nan\n", msg::InvalidNumber, 1);
  ExpectError("BEGIN_JOB\nOBJECT A UNITS 1e30 LEVELS 3 FACTOR 1e30\n", msg::InvalidNumber, 2);

  BatchFile batch;
  BatchError error;
  EXPECT_EQ(ParseBatch("SCENE_PATH /no/such/folder\nLOAD a.gltf\n", BatchSettings{}, {0, 0}, batch, error), -1);
  EXPECT_EQ(error.message, msg::FileDoesNotExist);
  EXPECT_EQ(error.Text(), "Error in batch file\nLine 2\nFile does not exist");
}

TEST(BatchLanguage, LinesEndAtCrLfOrThePairAndLongLinesAreRefused) {
  const std::string job = "OBJECT A\nEND_JOB";
  for (const char* end : {"\n", "\r", "\r\n"}) {
    std::string text = "REM x" + std::string(end) + "BEGIN_JOB" + end + "OUT_FILE a.zvl" + end + "OBJECT A" + end + "OBJECT" + end;
    const Parsed p = Parse(text);
    EXPECT_EQ(p.error.message, msg::ObjectNameExpected);
    EXPECT_EQ(p.error.line, 5) << "line end " << int(end[0]);
  }
  const std::string fits = "BEGIN_JOB\nOUT_FILE a.zvl\nOBJECT " + std::string(1023 - 7, 'x') + "\nEND_JOB\n";
  EXPECT_EQ(Parse(fits).result, 0) << Parse(fits).error.message;
  ExpectError("REM\n" + std::string(1024, 'x') + "\n", msg::TooLongLine, 2);
  std::string tokens;
  for (int i = 0; i < 129; ++i) tokens += "REM ";
  ExpectError("\n\n" + tokens.substr(4) + "\n", msg::NoJobInFile, 3);  // 128 are fine
  ExpectError("\n\n\nBEGIN " + tokens + "\n", msg::TooManyTokens, 4);
}

TEST(BatchLanguage, ObjectLevelsAndSmoothing) {
  const std::string head = "BEGIN_JOB\nOUT_FILE a.zvl\n";
  Parsed p = Parse(head + "OBJECT Box01 UNITS 0.5 LEVELS 3 FACTOR 2\nEND_JOB\n");
  ASSERT_EQ(p.result, 0) << p.error.message;
  EXPECT_EQ(FirstObject(p).unitsPerLevel, (std::vector<float>{0.5f, 1.0f, 2.0f}));

  p = Parse(head + "OBJECT Box01 UNITS 1 2 4\nEND_JOB\n");
  ASSERT_EQ(p.result, 0) << p.error.message;
  EXPECT_EQ(FirstObject(p).levels, 3);
  EXPECT_EQ(FirstObject(p).unitsPerLevel, (std::vector<float>{1, 2, 4}));

  p = Parse(head + "SMOOTH_STEP 1.5\nOBJECT Box01 LEVELS 3\nOBJ_SMOOTH 4\nOBJECT Box02 LEVELS 4\nOBJ_SMOOTH 4\nEND_JOB\n");
  ASSERT_EQ(p.result, 0) << p.error.message;
  EXPECT_EQ(p.batch.jobs[0].objects[0].smoothingPerLevel, (std::vector<int>{4, 6, 9}));
  EXPECT_EQ(p.batch.jobs[0].objects[1].smoothingPerLevel, (std::vector<int>{4, 6, 9, 10}));

  // A job's settings stay inside it; the next job starts from the top level.
  p = Parse("UNITS 2\nBEGIN_JOB\nOUT_FILE a.zvl\nUNITS 3\nLEVELS 2\nOBJECT A\nOBJ_SMOOTH 1 5\nEND_JOB\n"
            "BEGIN_JOB\nOUT_FILE b.zvl\nOBJECT B\nEND_JOB\n");
  ASSERT_EQ(p.result, 0) << p.error.message;
  ASSERT_EQ(p.batch.jobs.size(), 2u);
  EXPECT_EQ(p.batch.jobs[0].objects[0].unitsPerLevel, (std::vector<float>{3.0f, 4.5f}));
  EXPECT_EQ(p.batch.jobs[0].objects[0].smoothingPerLevel, (std::vector<int>{1, 5}));
  EXPECT_EQ(p.batch.jobs[1].objects[0].unitsPerLevel, (std::vector<float>{2.0f}));
  EXPECT_EQ(p.batch.jobs[1].OutputPath(), "/out/b.zvl");
}

TEST(BatchLanguage, FrameSelectionsStayWithinTheScene) {
  const std::string job = "BEGIN_JOB\nOUT_FILE a.zvl\nOBJECT A\nEND_JOB\n";
  Parsed p = Parse("ANIMATION FROM 5 TO 9 STEP 2\n" + job, {0, 20});
  ASSERT_EQ(p.result, 0) << p.error.message;
  EXPECT_EQ(p.batch.jobs[0].settings.frames.range.Frames(), (std::vector<int>{6, 8}));
  p = Parse("ANIMATION FRAMES 0,5,10-12\n" + job, {0, 20});
  ASSERT_EQ(p.result, 0);
  EXPECT_EQ(p.batch.jobs[0].settings.frames.range.Frames(), (std::vector<int>{0, 5, 10, 11, 12}));
  // A huge list is bounded by the scene's range.
  p = Parse("ANIMATION FRAMES 0-2000000000\n" + job, {0, 20});
  ASSERT_EQ(p.result, 0);
  EXPECT_EQ(p.batch.jobs[0].settings.frames.range.SelectedCount(), 21);
  p = Parse(job, {0, 20});
  EXPECT_TRUE(p.batch.jobs[0].settings.frames.all);
}

TEST(BatchLanguage, PathsTakeEitherSeparatorAndJoinWithSlash) {
  EXPECT_EQ(PathFolder("C:\\scenes\\a.gltf"), "C:\\scenes");
  EXPECT_EQ(PathName("/a/b\\c.zvl"), "c.zvl");
  EXPECT_EQ(JoinPath("/a", "b.zvl"), "/a/b.zvl");
  EXPECT_EQ(JoinPath("", "b.zvl"), "b.zvl");
  const Parsed p = Parse("OUTPUT_PATH out\\sprites\nPALETTE_PATH pal\nPALETTE main.act\nBEGIN_JOB\nOUT_FILE a.zvl\nOBJECT A\nEND_JOB\n");
  ASSERT_EQ(p.result, 0) << p.error.message;
  EXPECT_EQ(p.batch.jobs[0].OutputPath(), "out/sprites/a.zvl");
  EXPECT_EQ(p.batch.jobs[0].PalettePath(), "pal/main.act");
}

namespace {

struct BatchScene {
  maxhost::HostInterface ip;
  std::filesystem::path dir = std::filesystem::temp_directory_path() /
      ("maxplugin_batch_test-" + std::to_string(::getpid()));  // one folder per test process
  BatchScene() {
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    testscene::AddBox(*ip.Scene().root, "Box01");
    testscene::AddBox(*ip.Scene().root, "Box02", {4, 0, 0});
    testscene::AddBox(*ip.Scene().root, "Box03", {-4, 0, 0});
    ip.Scene().animRange = Interval{0, 2 * ip.GetTicksPerFrame()};
  }
  ~BatchScene() { std::filesystem::remove_all(dir); }
};

struct CountingProgress : ProgressDisplay {
  int total = -1, position = 0;
  void SetTotalRange(int t) override { total = t; }
  void SetTotalPosition(int p) override { position = p; }
  void ResetTotal() override {}
  void SetTaskText(const char*) override {}
  void SetTaskRange(int) override {}
  void SetTaskPosition(int) override {}
  void ResetTask() override {}
};

}  // namespace

TEST(BatchLanguage, RunConvertsNamedObjectsWithTheirOwnLevels) {
  BatchScene s;
  BatchSettings defaults;
  defaults.outputPath = s.dir.string();
  const std::string text =
      "CONTENTS GEOMETRY ANIMATION 16BIT_GRAD\nANIMATION FROM 0 TO 2\nBEGIN_JOB\nOUT_FILE two.zvl\n"
      "OBJECT Box03 UNITS 0.25 LEVELS 3 FACTOR 2\nOBJECT Box01 UNITS 0.5\nEND_JOB\n";
  BatchFile batch;
  BatchError error;
  ASSERT_EQ(ParseBatch(text, defaults, SceneRangeOf(s.ip), batch, error), 0) << error.Text();
  BatchRunner runner(s.ip);
  CountingProgress progress;
  runner.progress = &progress;
  ASSERT_EQ(runner.Run(batch), 0) << runner.lastError;
  EXPECT_EQ(progress.total, (5 * 3 + 1) + (5 * 1 + 1));
  EXPECT_EQ(progress.position, progress.total);

  ZvlDatabasePtr db(ZvlReadDatabaseFile((s.dir / "two.zvl").string().c_str()));
  ASSERT_TRUE(db) << ZvlGetErrorText();
  ASSERT_EQ(db->objectCount, 2);
  EXPECT_EQ(db->frameCount, 3);
  const char* names[] = {"Box03", "Box01"};
  const size_t levels[] = {3, 1};
  for (int i = 0; i < 2; ++i) {
    EXPECT_STREQ(db->objectNames[i], names[i]);
    std::vector<VoxPartView> parts;
    ASSERT_TRUE(VoxListParts(db->geometry[i].voxObject, size_t(db->geometry[i].totalSize), parts));
    EXPECT_EQ(parts.size(), levels[i]);
  }

  // Run-time failures name what is missing and end the run.
  ASSERT_EQ(ParseBatch("BEGIN_JOB\nOUT_FILE x.zvl\nOBJECT Box09\nEND_JOB\n", defaults, {0, 2}, batch, error), 0);
  std::vector<std::string> shown;
  runner.onError = [&](const char* text) { shown.emplace_back(text); };
  EXPECT_EQ(runner.Run(batch), -1);
  EXPECT_EQ(shown, std::vector<std::string>{std::string(msg::NoObjectNamed) + " Box09"});
  EXPECT_FALSE(std::filesystem::exists(s.dir / "x.zvl"));
  batch.jobs[0].outFile.clear();
  EXPECT_EQ(runner.Run(batch), -1);
  EXPECT_EQ(runner.lastError, msg::NoOutputFile);
}

TEST(BatchLanguage, WrittenFileReadsBackIntoTheSameSettings) {
  BatchScene s;
  PanelSettings panel;
  panel.units = 0.2f;
  panel.levels = 3;
  panel.smooth = 4;
  panel.hierarchy = true;
  panel.paletteFileOn = true;
  panel.paletteFile = (s.dir / "main.act").string();
  panel.startColor = 12;
  panel.endColor = 200;
  panel.outputFileOn = true;
  panel.outputFile = (s.dir / "out.zvl").string();
  panel.timeMode = TimeMode::Range;
  panel.rangeFrom = 1;
  panel.rangeTo = 2;
  panel.localFromFrame = true;
  panel.localFrame = 1;
  const std::string path = (s.dir / "job.zvb").string();
  std::string writeError;
  ASSERT_EQ(WriteBatchFile(path, panel, s.ip, {"Box01", "Box02"}, writeError), 0) << writeError;

  BatchFile batch;
  BatchError error;
  ASSERT_EQ(ParseBatchFile(path, BatchSettings{}, SceneRangeOf(s.ip), batch, error), 0) << error.Text();
  ASSERT_EQ(batch.jobs.size(), 1u);
  const BatchJob& job = batch.jobs[0];
  EXPECT_EQ(job.OutputPath(), panel.outputFile);
  EXPECT_EQ(job.PalettePath(), panel.paletteFile);
  EXPECT_EQ(job.settings.contents, panel.Contents() & ~(kContentsUseHidden | kContentsSelectedOnly));
  EXPECT_EQ(job.settings.startColor, 12);
  EXPECT_EQ(job.settings.endColor, 200);
  EXPECT_TRUE(job.settings.localFromFrame);
  EXPECT_EQ(job.settings.localFrame, 1);
  EXPECT_EQ(job.settings.frames.range.Frames(), (std::vector<int>{1, 2}));
  const LodParameters lod = PanelLodParameters(panel.units, panel.levels, panel.smooth);
  ASSERT_EQ(job.objects.size(), 2u);
  for (const BatchObjectParams& o : job.objects) {
    ASSERT_EQ(o.levels, 3);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(o.unitsPerLevel[size_t(i)], lod.units[size_t(i)], 1e-5);
    EXPECT_EQ(o.smoothingPerLevel, lod.smoothing);
  }
  EXPECT_EQ(job.objects[1].name, "Box02");

  // A folder that does not exist: the file cannot be created.
  EXPECT_EQ(WriteBatchFile((s.dir / "none" / "job.zvb").string(), panel, s.ip, {"Box01"}, writeError), -1);
  EXPECT_EQ(writeError.rfind(msg::CantCreateFile, 0), 0u);
}

TEST(BatchLanguage, PanelWritesABatchFileAndRunsIt) {
  BatchScene s;
  PanelSettings panel;
  panel.units = 0.5f;
  panel.levels = 2;
  panel.gradient8 = false;
  panel.outputFileOn = true;
  panel.outputFile = (s.dir / "panel.zvl").string();
  panel.batchOutputFile = (s.dir / "panel.zvb").string();
  std::vector<std::string> shown;
  auto report = [&](const char* text) { shown.emplace_back(text); };
  ASSERT_EQ(WritePanelBatchFile(s.ip, panel, report), 0);
  ASSERT_EQ(RunBatchFile(s.ip, panel, panel.batchOutputFile, nullptr, report), 0) << (shown.empty() ? "" : shown[0]);
  ZvlDatabasePtr db(ZvlReadDatabaseFile(panel.outputFile.c_str()));
  ASSERT_TRUE(db) << ZvlGetErrorText();
  EXPECT_EQ(db->objectCount, 3);

  // A file that does not parse is shown with its line, and nothing runs.
  std::filesystem::remove(panel.outputFile);
  { std::ofstream(panel.batchOutputFile) << "BEGIN_JOB\nOUT_FILE panel.zvl\nOBJECT Box01\nLEVELS 17\nEND_JOB\n"; }
  EXPECT_EQ(RunBatchFile(s.ip, panel, panel.batchOutputFile, nullptr, report), -1);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "Error in batch file\nLine 4\nInvalid number");
  EXPECT_FALSE(std::filesystem::exists(panel.outputFile));
}
