#include "authoring/window_conversion.h"

#include "authoring/conversion_reporter.h"
#include "authoring/dialogs.h"
#include "authoring/messages.h"
#include "authoring/paths.h"
#include "authoring/progress_monitor.h"
#include "authoring/prompts.h"
#include "authoring/scene_conversion.h"

#include <QPointer>
#include <QWidget>

namespace authoring {
namespace {

// Message boxes, the ProgressBox while reading and the monitor while
// converting. Messages of the conversion thread are shown by the
// ZorvelizationDialog on the window thread.
class WindowReporter : public ConversionReporter {
 public:
  WindowReporter(QWidget* owner, ProgressMonitor& monitor) : owner_(owner), monitor_(monitor) {}

  void setProgressBox(ProgressBox* box) { box_ = box; }
  void setDialog(ZorvelizationDialog* dialog) { dialog_ = dialog; }

  void Error(const std::string& text) override { show(MessageKind::Error, text); }
  void Warning(const std::string& text) override { show(MessageKind::Warning, text); }
  void LoadingCaption(const std::string& caption) override {
    if (box_) box_->setCaption(QString::fromStdString(caption));
  }
  void LoadingPercent(int percent) override {
    if (box_) box_->setPercent(percent);
  }
  void Stage(int range, const std::string& text) override { monitor_.Stage(range, text); }
  void Progress(int position) override { monitor_.Progress(position); }
  void ResetProgress() override { monitor_.ResetProgress(); }
  void Plot(int x, int z, const uint8_t rgb[3]) override { monitor_.Plot(x, z, rgb); }
  void ClearPreview() override { monitor_.ClearPreview(); }

 private:
  void show(MessageKind kind, const std::string& text) {
    const QString message = QString::fromStdString(text);
    if (dialog_) {
      ZorvelizationDialog* dialog = dialog_;
      dialog->runOnWindowThread([dialog, kind, message] { Prompts().message(dialog, kind, message); });
    } else {
      Prompts().message(box_ ? static_cast<QWidget*>(box_) : owner_, kind, message);
    }
  }

  QWidget* owner_;
  ProgressMonitor& monitor_;
  ProgressBox* box_ = nullptr;
  ZorvelizationDialog* dialog_ = nullptr;
};

}  // namespace

bool RunWindowConversion(QWidget* owner, const PageFields& fields) {
  if (!RequiredFieldsPresent(fields)) return false;
  const QString chosen = Prompts().saveFile(owner, QString::fromUtf8(msg::FilterZvl), QStringLiteral("zvl"));
  if (chosen.isEmpty()) return false;
  const std::string outputPath = OutputPathFor(chosen.toStdString());

  ProgressMonitor monitor;
  WindowReporter reporter(owner, monitor);
  SceneConversion conversion(reporter);
  {
    ProgressBox box(owner);
    box.show();
    reporter.setProgressBox(&box);
    const bool prepared = conversion.Prepare(fields);
    reporter.setProgressBox(nullptr);
    box.close();
    if (!prepared) return false;
  }

  float units = conversion.DefaultUnits();
  if (!Prompts().askUnits(owner, units)) return false;
  if (!conversion.Setup(units, outputPath)) return false;

  QWidget* sheet = owner ? owner->window() : nullptr;
  int result = -1;
  {
    ZorvelizationDialog dialog(monitor, [&conversion, &result] { result = conversion.Run(); },
                               [&conversion] { conversion.Stop(); }, sheet);
    reporter.setDialog(&dialog);
    if (sheet) sheet->hide();
    dialog.exec();
    reporter.setDialog(nullptr);
  }
  if (sheet) sheet->show();
  return result == 0;
}

}  // namespace authoring
