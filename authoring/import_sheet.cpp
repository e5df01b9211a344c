#include "authoring/import_sheet.h"

#include "authoring/messages.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace authoring {

ImportSheet::ImportSheet(const QString& startFolder, QWidget* parent) : QDialog(parent) {
  state_.startFolder = startFolder;
  setWindowTitle(QString::fromUtf8(msg::SheetTitle));
  tabs_ = new QTabWidget(this);
  page3ds_ = new ImportPage3ds(state_, tabs_);
  pageRtg_ = new ImportPageRtg(state_, tabs_);
  pageLws_ = new ImportPageLws(state_, tabs_);
  auto* about = new AboutPage(tabs_);
  tabs_->addTab(page3ds_, QString::fromUtf8(msg::Page3ds));
  tabs_->addTab(pageRtg_, QString::fromUtf8(msg::PageRtg));
  tabs_->addTab(pageLws_, QString::fromUtf8(msg::PageLws));
  tabs_->addTab(about, QString::fromUtf8(msg::PageAbout));
  pages_ = {page3ds_, pageRtg_, pageLws_, about};

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
  apply_ = buttons->button(QDialogButtonBox::Apply);
  connect(buttons->button(QDialogButtonBox::Ok), &QPushButton::clicked, this, [this] {
    applyPages();
    accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(apply_, &QPushButton::clicked, this, [this] { applyPages(); });
  connect(tabs_, &QTabWidget::currentChanged, this, &ImportSheet::pageActivated);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(buttons);
  pageActivated(tabs_->currentIndex());
}

void ImportSheet::pageActivated(int) {
  // Activating a page marks it modified; the mark of the page left is gone.
  apply_->setEnabled(true);
}

void ImportSheet::applyPages() {
  SheetPage* active = static_cast<SheetPage*>(tabs_->currentWidget());
  for (SheetPage* page : pages_) page->apply(page == active);
  // Applying clears the modified mark until a page is activated again.
  apply_->setEnabled(false);
}

}  // namespace authoring
