#include "authoring/dialogs.h"

#include "authoring/messages.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

namespace authoring {

// ---- ProgressBox ----

ProgressBox::ProgressBox(QWidget* parent) : QDialog(parent) {
  setModal(false);
  bar_ = new QProgressBar(this);
  bar_->setObjectName(QStringLiteral("id1005"));
  bar_->setRange(0, 100);
  bar_->setValue(0);
  bar_->setTextVisible(false);
  text_ = new QLabel(QStringLiteral("0%"), this);
  text_->setObjectName(QStringLiteral("id1008"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(bar_);
  layout->addWidget(text_, 0, Qt::AlignHCenter);
  resize(300, 80);
}

void ProgressBox::setCaption(const QString& caption) {
  setWindowTitle(caption);
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ProgressBox::setPercent(int percent) {
  bar_->setValue(std::clamp(percent, 0, 100));
  text_->setText(QString::asprintf("%d%c", percent, '%'));
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QString ProgressBox::percentText() const { return text_->text(); }

// ---- UnitsDialog ----

UnitsDialog::UnitsDialog(float units, QWidget* parent) : QDialog(parent), value_(units) {
  setWindowTitle(QString());
  auto* label = new QLabel(QString::fromUtf8(msg::UnitsLabel), this);
  edit_ = new QLineEdit(QString::fromStdString(value_.Text()), this);
  edit_->setObjectName(QStringLiteral("id1034"));
  edit_->setMaxLength(255);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("Ok"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(edit_, &QLineEdit::textChanged, this, &UnitsDialog::textChanged);
  auto* row = new QHBoxLayout;
  row->addWidget(label);
  row->addWidget(edit_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);
}

void UnitsDialog::textChanged(const QString& text) {
  if (value_.Edit(text.toStdString())) return;
  const QSignalBlocker block(edit_);
  edit_->setText(QString::fromStdString(value_.Text()));
}

// ---- OrientationDialog ----

OrientationDialog::OrientationDialog(int code, QWidget* parent) : QDialog(parent), code_(code) {
  setWindowTitle(QString::fromUtf8(msg::OrientationTitle));
  auto* xyz = new QRadioButton(QStringLiteral("XYZ"), this);
  xyz->setObjectName(QStringLiteral("id1079"));
  auto* xzy = new QRadioButton(QStringLiteral("XZY"), this);
  xzy->setObjectName(QStringLiteral("id1080"));
  (code == 1 ? xzy : xyz)->setChecked(true);
  connect(xyz, &QRadioButton::toggled, this, [this](bool on) { if (on) code_ = 0; });
  connect(xzy, &QRadioButton::toggled, this, [this](bool on) { if (on) code_ = 1; });
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(xyz);
  layout->addWidget(xzy);
  layout->addWidget(ok);
}

// ---- PreviewArea ----

PreviewArea::PreviewArea(const ProgressMonitor& monitor, QWidget* parent)
    : QFrame(parent),
      monitor_(monitor),
      picture_(ProgressMonitor::kPreviewWidth, ProgressMonitor::kPreviewHeight, QImage::Format_RGB32) {
  setObjectName(QStringLiteral("id1006"));
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(2);
  setFixedSize(ProgressMonitor::kPreviewWidth + 2 * frameWidth(), ProgressMonitor::kPreviewHeight + 2 * frameWidth());
  picture_.fill(Qt::black);
}

void PreviewArea::refresh() {
  const uint32_t changes = monitor_.PreviewChanges();
  if (changes == seenChanges_) return;
  seenChanges_ = changes;
  for (int y = 0; y < ProgressMonitor::kPreviewHeight; ++y) {
    auto* line = reinterpret_cast<QRgb*>(picture_.scanLine(y));
    for (int x = 0; x < ProgressMonitor::kPreviewWidth; ++x) line[x] = 0xFF000000u | monitor_.PreviewPixel(x, y);
  }
  update();
}

void PreviewArea::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  painter.drawImage(contentsRect().topLeft(), picture_);
}

// ---- ZorvelizationDialog ----

ZorvelizationDialog::ZorvelizationDialog(ProgressMonitor& monitor, std::function<void()> work,
                                         std::function<void()> abort, QWidget* parent)
    : QDialog(parent), monitor_(monitor), work_(std::move(work)), abort_(std::move(abort)) {
  setWindowTitle(QString::fromUtf8(msg::ZorvelizationTitle));
  setModal(true);
  step_ = new QLabel(this);
  step_->setObjectName(QStringLiteral("id1001"));
  step_->setMinimumWidth(ProgressMonitor::kPreviewWidth);
  bar_ = new QProgressBar(this);
  bar_->setObjectName(QStringLiteral("id1005"));
  bar_->setTextVisible(false);
  bar_->setRange(0, 1);
  bar_->setValue(0);
  preview_ = new PreviewArea(monitor_, this);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  cancel_->setObjectName(QStringLiteral("id2"));
  connect(cancel_, &QPushButton::clicked, this, &ZorvelizationDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(step_);
  layout->addWidget(bar_);
  layout->addWidget(preview_, 0, Qt::AlignHCenter);
  layout->addWidget(cancel_, 0, Qt::AlignHCenter);
  timer_ = new QTimer(this);
  timer_->setInterval(40);
  connect(timer_, &QTimer::timeout, this, &ZorvelizationDialog::poll);
}

ZorvelizationDialog::~ZorvelizationDialog() {
  if (thread_.joinable()) {
    if (abort_) abort_();
    thread_.join();
  }
}

void ZorvelizationDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (started_) return;
  // The dialog exists before the first callback of the work.
  started_ = true;
  timer_->start();
  thread_ = std::thread([this] {
    if (work_) work_();
    QMetaObject::invokeMethod(this, &ZorvelizationDialog::workFinished, Qt::QueuedConnection);
  });
}

void ZorvelizationDialog::reject() {
  // The dialog closes when the thread has ended, not before.
  if (abort_) abort_();
  cancel_->setEnabled(false);
  if (!started_) QDialog::reject();
}

void ZorvelizationDialog::workFinished() {
  if (thread_.joinable()) thread_.join();
  timer_->stop();
  poll();
  done(QDialog::Accepted);
}

void ZorvelizationDialog::poll() {
  const QString text = QString::fromStdString(monitor_.StepText());
  if (step_->text() != text) step_->setText(text);
  const int range = std::max(monitor_.Range(), 1);
  if (bar_->maximum() != range) bar_->setRange(0, range);
  bar_->setValue(std::clamp(monitor_.Position(), 0, range));
  preview_->refresh();
}

QString ZorvelizationDialog::stepText() const { return step_->text(); }

int ZorvelizationDialog::progressValue() const { return bar_->value(); }

void ZorvelizationDialog::runOnWindowThread(const std::function<void()>& call) {
  if (QThread::currentThread() == thread()) {
    call();
    return;
  }
  QMetaObject::invokeMethod(this, call, Qt::BlockingQueuedConnection);
}

}  // namespace authoring
