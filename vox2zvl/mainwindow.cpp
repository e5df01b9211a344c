#include "vox2zvl/mainwindow.h"

#include "vox2zvl/vox2zvl.h"

#include <QFile>
#include <QFileDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>

namespace vox2zvl {
namespace {

// Message texts are spelled with Windows line ends; boxes want plain ones.
QString BoxText(const char* text) { return QString::fromUtf8(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

}  // namespace

LogView::LogView(const ConverterLog& log, QWidget* parent) : QWidget(parent), log_(log) {
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  palette.setColor(QPalette::WindowText, Qt::black);
  setPalette(palette);
  setAutoFillBackground(true);
}

void LogView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(Qt::black);
  const auto& lines = log_.lines();
  for (size_t i = 0; i < lines.size(); ++i) {
    const QRect box(LeftMargin, TopMargin + LineHeight * int(i), width() - LeftMargin, LineHeight);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, QString::fromUtf8(lines[i]));
  }
}

ConverterWindow::ConverterWindow() {
  setObjectName(QString::fromUtf8(msg::WindowClassName));
  setWindowTitle(QString::fromUtf8(msg::WindowCaption));
  view_ = new LogView(log_, this);
  setCentralWidget(view_);
  buildMenus();
  resize(Width, Height);
}

void ConverterWindow::buildMenus() {
  menuBar()->setObjectName(QString::fromUtf8(msg::WindowClassName));
  QMenu* file = menuBar()->addMenu(QString::fromUtf8(msg::MenuFile));
  file->addAction(QString::fromUtf8(msg::MenuConvert), this, &ConverterWindow::chooseAndConvert);
  file->addAction(QString::fromUtf8(msg::MenuExit), this, &QWidget::close);
  QMenu* help = menuBar()->addMenu(QString::fromUtf8(msg::MenuHelp));
  help->addAction(QString::fromUtf8(msg::MenuHowTo), this, &ConverterWindow::showHowTo);
  help->addAction(QString::fromUtf8(msg::MenuAbout), this, &ConverterWindow::showAbout);
}

void ConverterWindow::chooseAndConvert() {
  QFileDialog dialog(this);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilter(QString::fromUtf8(msg::FileFilter));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  convert(dialog.selectedFiles().first());
}

bool ConverterWindow::convert(const QString& path) {
  log_.clear();
  view_->repaint();
  const Status status = ConvertFile(QFile::encodeName(path).toStdString(), [this](const std::string& line) {
    log_.add(line);
    view_->repaint();
  });
  if (status) return true;

  QMessageBox box(QMessageBox::Critical, QString::fromUtf8(msg::ErrorCaption), QString::fromStdString(status.message),
                  QMessageBox::Ok, this);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
  emit fatalError(QString::fromStdString(status.message));
  return false;
}

void ConverterWindow::showHowTo() {
  QMessageBox::information(this, QString::fromUtf8(msg::HowToCaption), BoxText(msg::HowToText));
}

void ConverterWindow::showAbout() {
  QMessageBox::about(this, QString::fromUtf8(msg::AboutCaption), BoxText(msg::AboutText));
}

}  // namespace vox2zvl
