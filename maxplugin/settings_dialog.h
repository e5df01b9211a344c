// The settings dialog "Zorvelator": every setting of a conversion, the file
// choices, "Load"/"Save"/"Default", and "Zorvelate", which runs the
// conversion under the progress dialog.
#pragma once

#include <QDialog>
#include <string>

#include "maxplugin/settings.h"

class Interface;
class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace zvlplay {

class SettingsDialog : public QDialog {
  Q_OBJECT
 public:
  SettingsDialog(Interface& ip, PanelSettings& settings, QWidget* parent = nullptr);

  // "Zorvelate": copies the controls into the settings and runs. 0 or -1.
  int Zorvelate();
  // The values shown now, as settings.
  PanelSettings Collect() const;
  void Fill(const PanelSettings& s);
  // The output of the last run ("" before any).
  const std::string& LastOutput() const { return lastOutput_; }

 private:
  void UpdateEnabling();
  void ShowError(const std::string& text);
  void ChooseFile(QLabel* label, QCheckBox* toggle, const char* title, const std::string& filter, bool save);
  int RunConversion(PanelSettings& s, const std::string& outputPath);

  Interface& ip_;
  PanelSettings& settings_;   // the plug-in's settings, changed by "Close" and runs
  PanelSettings shown_;       // what the controls started from (file names, scene frames)
  std::string lastOutput_;

  QRadioButton *single_, *segment_, *range_, *frames_;
  QLabel* segmentText_;
  QSpinBox *everyNth_, *rangeFrom_, *rangeTo_;
  QLineEdit* frameList_;
  QCheckBox *gradient8_, *gradient16_, *hierarchy_, *streamable_;
  QDoubleSpinBox* units_;
  QSpinBox *levels_, *smooth_;
  QCheckBox* localFromFrame_;
  QSpinBox* localFrame_;
  QLabel* paletteFile_;
  QCheckBox* paletteOn_;
  QSpinBox *startColor_, *endColor_;
  QLabel* playFile_;
  QCheckBox* playOn_;
  QLabel* batchInput_;
  QCheckBox* batchInputOn_;
  QLabel* outputFile_;
  QCheckBox* outputOn_;
  QLabel* batchOutput_;
  QCheckBox* batchOutputOn_;
};

}  // namespace zvlplay
