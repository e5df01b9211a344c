#include "maxplugin/progress_dialog.h"

#include <QCoreApplication>
#include <QFormLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "maxplugin/messages.h"

namespace zvlplay {

ProgressDialog::ProgressDialog(const PanelSettings& s, const std::string& outputPath, QWidget* parent) : QDialog(parent) {
  setWindowTitle(msg::ProgressCaption);
  setObjectName("ZorvelationProgress");
  auto* layout = new QVBoxLayout(this);
  total_ = new QProgressBar;
  total_->setObjectName("total");
  task_ = new QProgressBar;
  task_->setObjectName("task");
  taskText_ = new QLabel;
  taskText_->setObjectName("taskText");
  layout->addWidget(total_);
  layout->addWidget(taskText_);
  layout->addWidget(task_);
  auto* form = new QFormLayout;
  auto yes = [](bool on) { return new QLabel(on ? "Yes" : "No"); };
  form->addRow("File Name:", new QLabel(QString::fromStdString(outputPath)));
  form->addRow("8-bit Gradient:", yes(s.gradient8));
  form->addRow("16-bit Gradient:", yes(s.gradient16));
  form->addRow("Geometry:", yes(s.geometry));
  form->addRow("Animation:", yes(s.animation));
  form->addRow("Hierarchy:", yes(s.hierarchy));
  form->addRow("Streamable:", yes(s.streamable));
  layout->addLayout(form);
  auto* cancel = new QPushButton("Cancel");
  connect(cancel, &QPushButton::clicked, this, [this] {
    if (converter_) converter_->Stop();
  });
  layout->addWidget(cancel);
}

void ProgressDialog::KeepResponsive() {
  // The conversion runs on the window thread: let the window breathe (and
  // "Cancel" be heard) a few times a second, not at every step.
  if (sinceEvents_.isValid() && sinceEvents_.elapsed() < 40) return;
  QCoreApplication::processEvents();
  sinceEvents_.start();
}

void ProgressDialog::SetTotalRange(int total) {
  total_->setRange(0, std::max(total, 1));
  KeepResponsive();
}
void ProgressDialog::SetTotalPosition(int position) {
  total_->setValue(std::min(position, total_->maximum()));
  KeepResponsive();
}
void ProgressDialog::ResetTotal() { total_->reset(); }
void ProgressDialog::SetTaskText(const char* text) {
  taskText_->setText(QString::fromUtf8(text));
  KeepResponsive();
}
void ProgressDialog::SetTaskRange(int total) { task_->setRange(0, std::max(total, 1)); }
void ProgressDialog::SetTaskPosition(int position) {
  task_->setValue(std::min(position, task_->maximum()));
  KeepResponsive();
}
void ProgressDialog::ResetTask() { task_->reset(); }

QString ProgressDialog::TaskText() const { return taskText_->text(); }

}  // namespace zvlplay
