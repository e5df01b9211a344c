// Running a parsed batch: load jobs through the host, conversion jobs through
// the plug-in's converter with each object's own levels of detail, one
// progress total over the whole run.
#include <algorithm>
#include <cctype>

#include "maxplugin/batch.h"
#include "maxplugin/batch_messages.h"
#include "maxplugin/contents.h"
#include "maxplugin/messages.h"

namespace zvlplay {
namespace {

// The converter's progress inside the batch's one total: its own totals are
// ignored and its positions counted from where the job starts.
class JobProgress : public ProgressDisplay {
 public:
  JobProgress(ProgressDisplay* whole, int base) : whole_(whole), base_(base) {}
  void SetTotalRange(int) override {}
  void SetTotalPosition(int position) override { whole_->SetTotalPosition(base_ + position); }
  void ResetTotal() override {}
  void SetTaskText(const char* text) override { whole_->SetTaskText(text); }
  void SetTaskRange(int total) override { whole_->SetTaskRange(total); }
  void SetTaskPosition(int position) override { whole_->SetTaskPosition(position); }
  void ResetTask() override { whole_->ResetTask(); }

 private:
  ProgressDisplay* whole_;
  int base_;
};

int JobWork(const BatchJob& job) {
  int work = 0;
  for (const BatchObjectParams& o : job.objects) work += 5 * o.levels + 1;
  return work;
}

bool ExtensionIsZvl(std::string_view file) {
  const std::string_view name = PathName(file);
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  std::string ext(name.substr(dot + 1));
  for (char& c : ext) c = char(std::toupper(static_cast<unsigned char>(c)));
  return ext == "ZVL";
}

}  // namespace

int BatchRunner::Fail(const std::string& text) {
  lastError = text;
  if (onError) onError(text.c_str());
  return -1;
}

int BatchRunner::Run(const BatchFile& batch) {
  written.clear();
  lastError.clear();
  int total = 0;
  for (const BatchJob& job : batch.jobs)
    if (!job.load) total += JobWork(job);
  if (progress) {
    progress->ResetTotal();
    progress->SetTotalRange(total);
  }
  int base = 0;
  for (const BatchJob& job : batch.jobs) {
    if (job.load) {
      if (!ip_.LoadFromFile(job.sceneFile.c_str())) return Fail(std::string(msg::CantLoadScene) + " " + job.sceneFile);
      continue;
    }
    if (RunConversion(job, base) != 0) return -1;
  }
  return 0;
}

int BatchRunner::RunConversion(const BatchJob& job, int& base) {
  if (job.outFile.empty()) return Fail(msg::NoOutputFile);
  const BatchSettings& s = job.settings;
  std::unique_ptr<ZvlPlayConverter> made = makeConverter ? makeConverter(ip_) : std::make_unique<ZvlPlayConverter>(ip_);
  ZvlPlayConverter& converter = *made;
  ConverterOptions& o = converter.options;
  o.contents = s.contents & ~(kContentsSelectedOnly | kContentsBatchInput | kContentsBatchOutput | kContentsPaletteIsZvl);
  // Objects are named, so every node of the scene can be one.
  o.contents |= kContentsUseHidden;
  o.palettePath = job.PalettePath();
  if (!o.palettePath.empty() && ExtensionIsZvl(o.palettePath)) o.contents |= kContentsPaletteIsZvl;
  o.startColor = s.startColor;
  o.endColor = s.endColor;
  o.localFromFrame = s.localFromFrame;
  o.lcsFrame = s.localFrame;
  const SceneRange scene = SceneRangeOf(ip_);
  if (!(o.contents & kContentsAnimation))
    o.frames = {scene.first};
  else if (s.frames.all)
    o.frames = FrameRange::FromRange(scene.first, scene.last, scene.first, scene.last, 1).Frames();
  else
    o.frames = s.frames.range.Frames();
  o.lod = job.objects.front().Lod();
  o.lodForObject = [this, &job](int object, LodParameters& lod) {
    if (object < 0 || object >= int(job.objects.size()))
      return Fail(std::string(msg::NoObjectWithNumber) + " " + std::to_string(object));
    lod = job.objects[size_t(object)].Lod();
    return 0;
  };

  // The scene's own "no objects" report is replaced by the batch's.
  if (converter.CollectNodes() != 0) return Fail(msg::NoObjectsInScene);
  std::vector<INode*> nodes;
  for (const BatchObjectParams& object : job.objects) {
    const int index = converter.FindNodeByName(object.name.c_str());
    if (index < 0) return Fail(std::string(msg::NoObjectNamed) + " " + object.name);
    nodes.push_back(converter.Nodes()[size_t(index)]);
  }
  converter.UseNodes(std::move(nodes));
  converter.onError = [this](const char* text) { Fail(text); };
  converter.onInfo = onInfo;
  JobProgress jobProgress(progress, base);
  converter.progress = progress ? &jobProgress : nullptr;
  if (onConverter) onConverter(&converter);
  const std::string output = job.OutputPath();
  int result = converter.BuildMaterialTable();
  if (result == 0) result = converter.Run(output);
  if (onConverter) onConverter(nullptr);
  if (result != 0) {
    if (lastError.empty() && !converter.lastError.empty()) Fail(converter.lastError);
    return -1;
  }
  written.push_back(output);
  base += JobWork(job);
  if (progress) progress->SetTotalPosition(base);
  return 0;
}

}  // namespace zvlplay

namespace zvlplay {

int RunBatchFile(Interface& ip, const PanelSettings& panel, const std::string& path, ProgressDisplay* progress,
                 const std::function<void(const char*)>& report,
                 const std::function<void(ZvlPlayConverter*)>& onConverter,
                 const std::function<std::unique_ptr<ZvlPlayConverter>(Interface&)>& makeConverter) {
  BatchFile batch;
  BatchError error;
  if (ParseBatchFile(path, BatchSettingsFromPanel(panel, ip), SceneRangeOf(ip), batch, error) != 0) {
    if (report) report(error.Text().c_str());
    return -1;
  }
  BatchRunner runner(ip);
  runner.progress = progress;
  runner.onError = report;
  runner.onInfo = [&ip](const char* text) { ip.ReportMessage(MessageKind::Info, msg::PluginName, text); };
  runner.onConverter = onConverter;
  runner.makeConverter = makeConverter;
  return runner.Run(batch);
}

int WritePanelBatchFile(Interface& ip, const PanelSettings& panel, const std::function<void(const char*)>& report) {
  ZvlPlayConverter converter(ip);
  converter.options.contents = panel.Contents();
  converter.onError = report;
  if (converter.CollectNodes() != 0) return -1;
  std::vector<std::string> names;
  for (INode* node : converter.Nodes()) names.emplace_back(node->GetName());
  std::string error;
  if (WriteBatchFile(panel.batchOutputFile, panel, ip, names, error) != 0) {
    if (report) report(error.c_str());
    return -1;
  }
  return 0;
}

}  // namespace zvlplay
