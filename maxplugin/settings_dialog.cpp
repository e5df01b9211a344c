#include "maxplugin/settings_dialog.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "maxplugin/contents.h"
#include "maxplugin/converter.h"
#include "maxplugin/file_filters.h"
#include "maxplugin/lod_parameters.h"
#include "maxplugin/messages.h"
#include "maxplugin/plugin_state.h"
#include "maxplugin/preview_window.h"
#include "maxplugin/progress_dialog.h"
#include "maxplugin/start.h"

namespace zvlplay {
namespace {

QSpinBox* Spinner(int lo, int hi) {
  auto* s = new QSpinBox;
  s->setRange(lo, hi);
  return s;
}

QLabel* FileLabel() {
  auto* label = new QLabel;
  label->setMinimumWidth(180);
  label->setFrameShape(QFrame::StyledPanel);
  return label;
}

}  // namespace

SettingsDialog::SettingsDialog(Interface& ip, PanelSettings& settings, QWidget* parent)
    : QDialog(parent), ip_(ip), settings_(settings) {
  setWindowTitle(msg::PluginName);
  setObjectName("ZorvelatorSettings");
  auto* layout = new QVBoxLayout(this);

  // Time output.
  auto* time = new QGroupBox("Time Output");
  auto* tg = new QGridLayout(time);
  single_ = new QRadioButton("Single");
  segment_ = new QRadioButton("Active Time Segment:");
  range_ = new QRadioButton("Range:");
  frames_ = new QRadioButton("Frames");
  segmentText_ = new QLabel;
  everyNth_ = Spinner(1, 1);
  rangeFrom_ = Spinner(0, 0);
  rangeTo_ = Spinner(0, 0);
  frameList_ = new QLineEdit;
  frameList_->setMaxLength(int(kMaxFrameListLength));
  tg->addWidget(single_, 0, 0);
  tg->addWidget(segment_, 1, 0);
  tg->addWidget(segmentText_, 1, 1, 1, 2);
  tg->addWidget(range_, 2, 0);
  tg->addWidget(rangeFrom_, 2, 1);
  tg->addWidget(rangeTo_, 2, 2);
  tg->addWidget(frames_, 3, 0);
  tg->addWidget(frameList_, 3, 1, 1, 2);
  tg->addWidget(new QLabel("Every Nth Frame:"), 4, 0);
  tg->addWidget(everyNth_, 4, 1);
  layout->addWidget(time);

  // Output and levels.
  auto* output = new QGroupBox("Output");
  auto* og = new QGridLayout(output);
  gradient8_ = new QCheckBox("8-bit Gradient");
  gradient16_ = new QCheckBox("16-bit Gradient");
  hierarchy_ = new QCheckBox("Hierarchy");
  streamable_ = new QCheckBox("Streamable");
  og->addWidget(gradient8_, 0, 0);
  og->addWidget(gradient16_, 0, 1);
  og->addWidget(hierarchy_, 1, 0);
  og->addWidget(streamable_, 1, 1);
  units_ = new QDoubleSpinBox;
  units_->setDecimals(4);
  levels_ = Spinner(1, kMaxLevels);
  smooth_ = Spinner(0, kMaxSmoothing);
  og->addWidget(new QLabel("Units Per 3DPixel:"), 2, 0);
  og->addWidget(units_, 2, 1);
  og->addWidget(new QLabel("Levels Of Detail:"), 3, 0);
  og->addWidget(levels_, 3, 1);
  og->addWidget(new QLabel("Smooth Factor:"), 4, 0);
  og->addWidget(smooth_, 4, 1);
  localFromFrame_ = new QCheckBox("Get Local CS  from  WCS at Frame:");
  localFrame_ = Spinner(0, 0);
  og->addWidget(localFromFrame_, 5, 0);
  og->addWidget(localFrame_, 5, 1);
  layout->addWidget(output);

  // Files.
  auto* files = new QGroupBox("Files");
  auto* fg = new QGridLayout(files);
  int row = 0;
  auto fileRow = [&](const char* button, QLabel*& label, QCheckBox*& toggle, const char* toggleText, const char* title,
                     std::string filter, bool save) {
    auto* b = new QPushButton(button);
    label = FileLabel();
    toggle = new QCheckBox(toggleText);
    fg->addWidget(b, row, 0);
    fg->addWidget(label, row, 1);
    fg->addWidget(toggle, row, 2);
    ++row;
    QLabel* l = label;
    QCheckBox* t = toggle;
    connect(b, &QPushButton::clicked, this, [=, this] { ChooseFile(l, t, title, filter, save); });
  };
  fileRow("Palette File...", paletteFile_, paletteOn_, "Use Palette", msg::LoadPaletteTitle, FileFilter(kActFiles, kZvlFiles), false);
  startColor_ = Spinner(0, 255);
  endColor_ = Spinner(0, 255);
  auto* colours = new QHBoxLayout;
  colours->addWidget(new QLabel("Start Color:"));
  colours->addWidget(startColor_);
  colours->addWidget(new QLabel("End Color:"));
  colours->addWidget(endColor_);
  fg->addLayout(colours, row++, 1, 1, 2);
  fileRow("Merge File...", playFile_, playOn_, "Play File", msg::MergeFileTitle, FileFilter(kZvlFiles), false);
  fileRow("Batch File...", batchInput_, batchInputOn_, "Load File", msg::BatchInputTitle, FileFilter(kBatchFiles), false);
  fileRow("File...", outputFile_, outputOn_, "Save File", msg::OutputFileTitle, FileFilter(kZvlFiles), true);
  fileRow("Batch File...", batchOutput_, batchOutputOn_, "Make File", msg::BatchOutputTitle, FileFilter(kBatchFiles), true);
  layout->addWidget(files);

  // Buttons.
  auto* buttons = new QHBoxLayout;
  auto button = [&](const char* text) {
    auto* b = new QPushButton(text);
    b->setAutoDefault(false);
    buttons->addWidget(b);
    return b;
  };
  QPushButton* load = button("Load");
  QPushButton* save = button("Save");
  QPushButton* defaults = button("Default");
  QPushButton* zorvelate = button("Zorvelate");
  QPushButton* close = button("Close");
  QPushButton* cancel = button("Cancel");
  layout->addLayout(buttons);

  connect(load, &QPushButton::clicked, this, [this] {
    const QString path = QFileDialog::getOpenFileName(this, msg::LoadSettingsTitle, {}, QString::fromStdString(FileFilter(kSettingsFiles)));
    if (path.isEmpty()) return;
    PanelSettings s = Collect();
    std::string error;
    if (LoadSettingsFile(path.toStdString(), s, error) != 0) return ShowError(error);
    Fill(s);
  });
  connect(save, &QPushButton::clicked, this, [this] {
    const QString path = QFileDialog::getSaveFileName(this, msg::SaveSettingsTitle, {}, QString::fromStdString(FileFilter(kSettingsFiles)));
    if (path.isEmpty()) return;
    std::string error;
    if (SaveSettingsFile(path.toStdString(), Collect(), error) != 0) ShowError(error);
  });
  connect(defaults, &QPushButton::clicked, this, [this] {
    ZvlPlayConverter converter(ip_);
    converter.onError = [this](const char* text) { ShowError(text); };
    PanelSettings s = Collect();
    ApplyDefaults(s, ip_, converter);
    Fill(s);
  });
  connect(zorvelate, &QPushButton::clicked, this, [this] { Zorvelate(); });
  connect(close, &QPushButton::clicked, this, [this] {
    settings_ = Collect();
    accept();
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  for (QRadioButton* r : {single_, segment_, range_, frames_}) connect(r, &QRadioButton::toggled, this, [this] { UpdateEnabling(); });
  connect(levels_, &QSpinBox::valueChanged, this, [this] { UpdateEnabling(); });
  connect(localFromFrame_, &QCheckBox::toggled, this, [this] { UpdateEnabling(); });
  connect(paletteOn_, &QCheckBox::toggled, this, [this] { UpdateEnabling(); });
  Fill(settings_);
}

void SettingsDialog::Fill(const PanelSettings& in) {
  shown_ = in;
  PanelSettings& s = shown_;
  const SceneFrames frames = GetSceneFrames(ip_);
  s.sceneFirst = frames.first;
  s.sceneLast = frames.last;
  (s.timeMode == TimeMode::Single ? single_ : s.timeMode == TimeMode::Range ? range_ : s.timeMode == TimeMode::Frames ? frames_ : segment_)
      ->setChecked(true);
  segmentText_->setText(QString::asprintf(msg::ActiveSegmentText, frames.first, frames.last));
  everyNth_->setRange(1, std::max(1, frames.last - frames.first + 1));
  everyNth_->setValue(s.everyNth);
  rangeFrom_->setRange(frames.first, frames.last);
  rangeTo_->setRange(frames.first, frames.last);
  rangeFrom_->setValue(s.rangeFrom);
  rangeTo_->setValue(s.rangeTo);
  frameList_->setText(QString::fromStdString(s.frameList));
  gradient8_->setChecked(s.gradient8);
  gradient16_->setChecked(s.gradient16);
  hierarchy_->setChecked(s.hierarchy);
  const float base = s.defaultUnits > 0 ? s.defaultUnits : 1.0f;
  units_->setRange(std::min(double(s.units), base * 0.01), std::max(double(s.units), base * 100.0));
  units_->setSingleStep(s.unitsStep);
  units_->setValue(s.units);
  levels_->setValue(s.levels);
  streamable_->setChecked(s.streamable);
  smooth_->setValue(s.smooth);
  localFromFrame_->setChecked(s.localFromFrame);
  localFrame_->setRange(std::min(frames.first, s.localFrame), std::max(frames.last, s.localFrame));
  localFrame_->setValue(s.localFrame);
  paletteFile_->setText(QString::fromStdString(s.paletteFile));
  paletteOn_->setChecked(s.paletteFileOn);
  startColor_->setValue(s.startColor);
  endColor_->setValue(s.endColor);
  playFile_->setText(QString::fromStdString(s.playFile));
  playOn_->setChecked(s.playFileOn);
  batchInput_->setText(QString::fromStdString(s.batchInputFile));
  batchInputOn_->setChecked(s.batchInput);
  outputFile_->setText(QString::fromStdString(s.outputFile));
  outputOn_->setChecked(s.outputFileOn);
  batchOutput_->setText(QString::fromStdString(s.batchOutputFile));
  batchOutputOn_->setChecked(s.batchOutput);
  UpdateEnabling();
}

PanelSettings SettingsDialog::Collect() const {
  PanelSettings s = shown_;
  s.timeMode = single_->isChecked()  ? TimeMode::Single
               : range_->isChecked() ? TimeMode::Range
               : frames_->isChecked() ? TimeMode::Frames
                                      : TimeMode::ActiveSegment;
  s.everyNth = everyNth_->value();
  s.rangeFrom = rangeFrom_->value();
  s.rangeTo = rangeTo_->value();
  s.frameList = frameList_->text().toStdString();
  s.gradient8 = gradient8_->isChecked();
  s.gradient16 = gradient16_->isChecked();
  s.hierarchy = hierarchy_->isChecked();
  s.streamable = streamable_->isChecked();
  s.units = float(units_->value());
  s.levels = levels_->value();
  s.smooth = smooth_->value();
  s.localFromFrame = localFromFrame_->isChecked();
  s.localFrame = localFrame_->value();
  s.paletteFile = paletteFile_->text().toStdString();
  s.paletteFileOn = paletteOn_->isChecked() && !s.paletteFile.empty();
  s.startColor = startColor_->value();
  s.endColor = endColor_->value();
  s.playFile = playFile_->text().toStdString();
  s.playFileOn = playOn_->isChecked() && !s.playFile.empty();
  s.batchInputFile = batchInput_->text().toStdString();
  s.batchInput = batchInputOn_->isChecked() && !s.batchInputFile.empty();
  s.outputFile = outputFile_->text().toStdString();
  s.outputFileOn = outputOn_->isChecked() && !s.outputFile.empty();
  s.batchOutputFile = batchOutput_->text().toStdString();
  s.batchOutput = batchOutputOn_->isChecked() && !s.batchOutputFile.empty();
  s.Normalize();
  return s;
}

void SettingsDialog::UpdateEnabling() {
  const bool stepped = segment_->isChecked() || range_->isChecked();
  everyNth_->setEnabled(stepped);
  rangeFrom_->setEnabled(stepped);
  rangeTo_->setEnabled(stepped);
  const bool levels = levels_->value() >= 2;
  if (!levels) streamable_->setChecked(false);
  streamable_->setEnabled(levels);
  localFrame_->setEnabled(localFromFrame_->isChecked());
  PanelSettings probe;
  probe.paletteFile = paletteFile_->text().toStdString();
  const bool zvlPalette = paletteOn_->isChecked() && probe.PaletteIsZvl();
  startColor_->setEnabled(!zvlPalette);
  endColor_->setEnabled(!zvlPalette);
}

void SettingsDialog::ShowError(const std::string& text) {
  QMessageBox::critical(isVisible() ? this : parentWidget(), msg::ErrorCaption, QString::fromStdString(text));
}

void SettingsDialog::ChooseFile(QLabel* label, QCheckBox* toggle, const char* title, const std::string& filter, bool save) {
  const QString path = save ? QFileDialog::getSaveFileName(this, title, label->text(), QString::fromStdString(filter))
                            : QFileDialog::getOpenFileName(this, title, label->text(), QString::fromStdString(filter));
  if (path.isEmpty()) return;
  label->setText(path);
  toggle->setChecked(true);
  UpdateEnabling();
}

int SettingsDialog::Zorvelate() {
  PanelSettings s = Collect();
  const std::string outputPath = OutputPath(s, ip_);
  hide();
  const int result = RunConversion(s, outputPath);
  if (result == 0) {
    settings_ = s;
    lastOutput_ = outputPath;
    const uint32_t contents = s.Contents();
    if (!(contents & (kContentsBatchInput | kContentsBatchOutput))) {
      const ViewerRequest viewer = DecideViewer(s, outputPath);
      if (viewer.open) {
        if (State().openViewer) {
          State().openViewer(ip_, viewer, parentWidget());
        } else {
          const std::string text = std::string(msg::ResultWritten) + " " + viewer.first;
          ip_.ReportMessage(MessageKind::Info, msg::PluginName, text.c_str());
        }
      }
    }
    accept();
  } else {
    show();
  }
  return result;
}

int SettingsDialog::RunConversion(PanelSettings& s, const std::string& outputPath) {
  const uint32_t contents = s.Contents();
  ProgressDialog progress(s, outputPath, parentWidget());
  progress.show();
  if (contents & (kContentsBatchOutput | kContentsBatchInput)) {
    auto& hook = (contents & kContentsBatchOutput) ? State().writeBatch : State().runBatch;
    if (!hook) {
      ShowError(msg::BatchNotAvailable);
      return -1;
    }
    return hook(ip_, s, &progress);
  }
  // The voxelizer plots its work into the preview while it runs.
  PreviewWindow preview(parentWidget(), 0, 0, kPreviewWidth, kPreviewHeight);
  preview.show();
  PreviewConverter converter(ip_, &preview);
  converter.options = MakeConverterOptions(s, ip_);
  converter.progress = &progress;
  converter.onError = [this](const char* text) { ShowError(text); };
  converter.onInfo = [this](const char* text) { ip_.ReportMessage(MessageKind::Info, msg::PluginName, text); };
  progress.SetConverter(&converter);
  if (converter.CollectNodes() != 0 || converter.BuildMaterialTable() != 0) return -1;
  return converter.Run(outputPath);
}

}  // namespace zvlplay
