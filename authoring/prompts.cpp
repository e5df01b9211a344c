#include "authoring/prompts.h"

#include "authoring/dialogs.h"
#include "authoring/messages.h"

#include <QFileDialog>
#include <QMessageBox>

namespace authoring {
namespace {

QString OpenFile(QWidget* parent, const QString& filter, const QString& suffix) {
  QFileDialog dialog(parent, QString(), QString(), filter);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().first();
}

QString SaveFile(QWidget* parent, const QString& filter, const QString& suffix) {
  QFileDialog dialog(parent, QString(), QString(), filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(suffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().first();
}

bool AskUnits(QWidget* parent, float& units) {
  UnitsDialog dialog(units, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  units = dialog.value();
  return true;
}

void Message(QWidget* parent, MessageKind kind, const QString& text) {
  switch (kind) {
    case MessageKind::Error:
      QMessageBox::critical(parent, QString::fromUtf8(msg::CaptionError), text);
      break;
    case MessageKind::Warning:
      QMessageBox::warning(parent, QString::fromUtf8(msg::CaptionWarning), text);
      break;
    case MessageKind::Information:
      QMessageBox::information(parent, QString(), text);
      break;
  }
}

}  // namespace

ShellPrompts& Prompts() {
  static ShellPrompts prompts{OpenFile, SaveFile, AskUnits, Message};
  return prompts;
}

}  // namespace authoring
