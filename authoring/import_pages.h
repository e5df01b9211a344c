// The pages of the "Import" sheet: "3d Studio", "Alias RTG", "LightWave"
// and "About". Each import page collects its files and options into
// PageFields and, when applied as the sheet's active page, runs the
// conversion of its scene kind.
#pragma once

#include "authoring/page_fields.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QToolButton;

namespace authoring {

// Program-wide state of the pages: the folder the program started in and
// the LightWave orientation code.
struct ShellState {
  QString startFolder;
  int orientation = kOrientationXyz;
};

class SheetPage : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;
  // Applying the sheet calls every page; a page converts only when it is
  // the active one.
  virtual void apply(bool active) = 0;
};

class ImportPage : public SheetPage {
  Q_OBJECT
 public:
  ImportPage(ImportKind kind, ShellState& state, QWidget* parent = nullptr);

  PageFields fields() const;
  void apply(bool active) override;
  // The number of conversions this page ran to the end (tests).
  int conversionsRun() const { return conversionsRun_; }

 protected:
  // A labelled edit with its browse button; `id` names the edit, `browseId`
  // the button.
  QLineEdit* addFileField(const QString& label, int id, int browseId, std::function<void()> browse);
  void browseInto(QLineEdit* edit, const char* filter, const char* suffix);
  void addOptions();

  ImportKind kind_;
  ShellState& state_;
  QGridLayout* grid_;
  int row_ = 0;
  QLineEdit* scene_ = nullptr;
  QLineEdit* materials_ = nullptr;
  QLineEdit* palette_ = nullptr;
  QLineEdit* vue_ = nullptr;
  QToolButton* vueBrowse_ = nullptr;
  QLineEdit* animation_ = nullptr;
  QRadioButton* from3ds_ = nullptr;
  QRadioButton* fromVue_ = nullptr;
  QCheckBox* makePalette_ = nullptr;
  QCheckBox* makeGeometry_ = nullptr;
  QCheckBox* makeAnimation_ = nullptr;
  QCheckBox* highColor_ = nullptr;
  QSpinBox* start_ = nullptr;
  QSpinBox* end_ = nullptr;
  QSpinBox* levels_ = nullptr;
  QPushButton* import_ = nullptr;
  int conversionsRun_ = 0;
};

class ImportPage3ds : public ImportPage {
  Q_OBJECT
 public:
  ImportPage3ds(ShellState& state, QWidget* parent = nullptr);
};

class ImportPageRtg : public ImportPage {
  Q_OBJECT
 public:
  ImportPageRtg(ShellState& state, QWidget* parent = nullptr);
};

class ImportPageLws : public ImportPage {
  Q_OBJECT
 public:
  ImportPageLws(ShellState& state, QWidget* parent = nullptr);
};

class AboutPage : public SheetPage {
  Q_OBJECT
 public:
  explicit AboutPage(QWidget* parent = nullptr);
  void apply(bool) override {}
};

}  // namespace authoring
