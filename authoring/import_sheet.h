// The "Import" sheet, the program's only window: the pages "3d Studio",
// "Alias RTG", "LightWave" and "About" with OK, Cancel and Apply. Apply and
// OK apply every page, and the active import page converts its scene; OK
// then closes the sheet, Apply keeps it open.
#pragma once

#include "authoring/import_pages.h"

#include <QDialog>
#include <vector>

class QPushButton;
class QTabWidget;

namespace authoring {

class ImportSheet : public QDialog {
  Q_OBJECT
 public:
  explicit ImportSheet(const QString& startFolder, QWidget* parent = nullptr);

  QTabWidget* tabs() const { return tabs_; }
  QPushButton* applyButton() const { return apply_; }
  ImportPage* page3ds() const { return page3ds_; }
  ImportPage* pageRtg() const { return pageRtg_; }
  ImportPage* pageLws() const { return pageLws_; }
  ShellState& state() { return state_; }

  // Applies every page; the active one converts.
  void applyPages();

 private:
  void pageActivated(int index);

  ShellState state_;
  QTabWidget* tabs_;
  QPushButton* apply_;
  ImportPage* page3ds_;
  ImportPage* pageRtg_;
  ImportPage* pageLws_;
  std::vector<SheetPage*> pages_;
};

}  // namespace authoring
