// "Zorvelation": the progress dialog of a conversion. Two bars (the whole run
// and the current task), the task text and the output settings; "Cancel"
// asks the converter to stop before its next object.
#pragma once

#include <QDialog>
#include <QElapsedTimer>

#include "maxplugin/converter.h"
#include "maxplugin/settings.h"

class QLabel;
class QProgressBar;

namespace zvlplay {

class ProgressDialog : public QDialog, public ProgressDisplay {
  Q_OBJECT
 public:
  ProgressDialog(const PanelSettings& settings, const std::string& outputPath, QWidget* parent = nullptr);

  // The converter whose stop flag "Cancel" sets.
  void SetConverter(ConversionHost* converter) { converter_ = converter; }

  void SetTotalRange(int total) override;
  void SetTotalPosition(int position) override;
  void ResetTotal() override;
  void SetTaskText(const char* text) override;
  void SetTaskRange(int total) override;
  void SetTaskPosition(int position) override;
  void ResetTask() override;

  QString TaskText() const;

 private:
  void KeepResponsive();

  QProgressBar* total_;
  QProgressBar* task_;
  QLabel* taskText_;
  ConversionHost* converter_ = nullptr;
  QElapsedTimer sinceEvents_;
};

}  // namespace zvlplay
