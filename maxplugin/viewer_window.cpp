#include "maxplugin/viewer_window.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QColorDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <vector>

#include "maxplugin/messages.h"
#include "maxplugin/viewer_messages.h"

namespace zvlplay {
namespace {

uint16_t Pack555(const QColor& c) { return ZvlPackRgb555(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue())); }

QColor Unpack555(uint16_t v) { return QColor(((v >> 10) & 31) << 3, ((v >> 5) & 31) << 3, (v & 31) << 3); }

int VirtualKey(const QKeyEvent& e) {
  const bool keypad = e.modifiers() & Qt::KeypadModifier;
  switch (e.key()) {
    case Qt::Key_Space: return ViewerKey::Space;
    case Qt::Key_PageUp: return ViewerKey::PageUp;
    case Qt::Key_PageDown: return ViewerKey::PageDown;
    case Qt::Key_End: return ViewerKey::End;
    case Qt::Key_Home: return ViewerKey::Home;
    case Qt::Key_Left: return ViewerKey::Left;
    case Qt::Key_Right: return ViewerKey::Right;
    case Qt::Key_Up: return ViewerKey::Up;
    case Qt::Key_Down: return ViewerKey::Down;
    case Qt::Key_Plus: return keypad ? ViewerKey::Add : -1;
    case Qt::Key_Minus: return keypad ? ViewerKey::Subtract : -1;
    default: return e.key() >= Qt::Key_A && e.key() <= Qt::Key_Z ? int(e.key()) : -1;
  }
}

}  // namespace

ViewerWindow::ViewerWindow(QWidget* owner) : QWidget(owner, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
  setObjectName(msg::ViewerMenuName);
  setWindowTitle(msg::ViewerTitle);
  setFocusPolicy(Qt::StrongFocus);
  menu_ = new QMenuBar(this);
  BuildMenu();
  setFixedSize(kViewerWidth, kViewerHeight + menu_->sizeHint().height());
  ticks_.setInterval(0);
  connect(&ticks_, &QTimer::timeout, this, [this] { Command(ViewerCommand::Tick); });
  clock_.start();
}

ViewerWindow::~ViewerWindow() = default;

void ViewerWindow::BuildMenu() {
  QMenu* current = nullptr;
  const char* currentName = nullptr;
  auto* render = new QActionGroup(this);
  for (const ViewerMenuItem& item : kViewerMenu) {
    if (!currentName || std::string_view(currentName) != item.menu) {
      current = menu_->addMenu(item.menu);
      currentName = item.menu;
    }
    QAction* action = current->addAction(item.text);
    action->setData(item.id);
    const int command = item.command;
    if (command == ViewerCommand::Pack || command == ViewerCommand::Fill || command == ViewerCommand::Stretch) {
      action->setCheckable(true);
      render->addAction(action);
    }
    connect(action, &QAction::triggered, this, [this, command] {
      switch (command) {
        case kViewerExit: close(); break;
        case kViewerInfoBox: Show(msg::InfoCaption, ViewerInfoText(scene_), false); break;
        case kViewerHelpBox: Show(msg::HelpCaption, msg::HelpText, false); break;
        case kViewerAboutBox: Show(msg::AboutPlayerCaption, msg::AboutPlayerText, false); break;
        default: Command(command);
      }
    });
  }
}

QAction* ViewerWindow::MenuAction(int id) const {
  for (QAction* a : menu_->findChildren<QAction*>())
    if (a->data().toInt() == id && !a->menu()) return a;
  return nullptr;
}

void ViewerWindow::Show(const char* caption, const std::string& text, bool error) {
  if (showMessage) return showMessage(caption, text, error);
  if (error)
    QMessageBox::critical(this, caption, QString::fromStdString(text));
  else
    QMessageBox::information(this, caption, QString::fromStdString(text));
}

int ViewerWindow::Load(const std::string& first, const std::string& second, int combineMode) {
  running_ = false;
  ticks_.stop();
  auto fail = [this](const std::string& text) {
    Show(msg::ErrorCaption, text, true);
    close();
    return -1;
  };
  if (ZvlSetup(&ZvlDefaultIoFunctions()) != 0) return fail(ZvlGetErrorText());
  if (!view_.create(kViewerWidth, kViewerHeight)) return fail(msg::NoRoomForBuffers);
  if (second.empty()) {
    if (scene_.load(first.c_str()) != 0) return fail(ZvlGetErrorText());
  } else {
    ZvlDatabasePtr a(ZvlReadDatabaseFile(first.c_str()));
    if (!a) return fail(ZvlGetErrorText());
    ZvlDatabasePtr b(ZvlReadDatabaseFile(second.c_str()));
    if (!b) return fail(ZvlGetErrorText());
    std::string error;
    if (CombineDatabases(*a, *b, combineMode, error) != 0) return fail(error);
    if (scene_.load(std::move(a)) != 0) return fail(ZvlGetErrorText());
  }
  background_ = kViewerBackground;
  scene_.setShadowTable(std::vector<uint16_t>(65536, kViewerShadow));
  playback_ = ViewerPlayback{};
  playback_.frameCount = std::max(1, scene_.state().frameCount);
  playback_.lastFrameTime = Now();
  FitScene();
  if (!scene_.bind(view_.output())) return fail(msg::CantGetScnHandler);
  running_ = true;
  ticks_.start();
  Command(ViewerCommand::Load);
  return 0;
}

void ViewerWindow::FitScene() {
  controls_.Fit(scene_, camera_);
  if (QAction* fill = MenuAction(72)) fill->setChecked(true);
}

void ViewerWindow::Command(int command) {
  namespace C = ViewerCommand;
  if (!scene_.loaded()) return;
  bool whole = false;
  switch (command) {
    case C::Tick:
      if (!playback_.Tick(Now())) return;
      break;
    case C::Load:
      whole = true;
      break;
    case C::Paint:
      update();
      return;
    case C::MeasureFrameRate:
    case C::MeasureRendering:
      playback_.StartMeasuring(Now(), command == C::MeasureRendering);
      break;
    case C::GroupCamera: controls_.group = ViewerGroup::Camera; break;
    case C::GroupLight: controls_.group = ViewerGroup::Light; break;
    case C::GroupShadow: controls_.group = ViewerGroup::Shadow; break;
    case C::GroupPosition: controls_.group = ViewerGroup::Position; break;
    case C::GroupRotation: controls_.group = ViewerGroup::Rotation; break;
    case C::Pack:
    case C::Fill:
    case C::Stretch:
      scene_.state().drawMode = DrawMode(command - C::Pack);
      if (QAction* a = MenuAction(71 + command - C::Pack)) a->setChecked(true);
      whole = true;
      break;
    case C::Default:
      FitScene();
      whole = true;
      break;
    case C::Background: {
      const QColor c = QColorDialog::getColor(Unpack555(background_), this);
      if (c.isValid()) background_ = Pack555(c);
      whole = true;
      break;
    }
    case C::ShadowColor: {
      const QColor c = QColorDialog::getColor(Unpack555(kViewerShadow), this);
      if (c.isValid()) scene_.setShadowTable(std::vector<uint16_t>(65536, Pack555(c)));
      whole = true;
      break;
    }
    case C::SaveAs: {
      const QString path = QFileDialog::getSaveFileName(this, {}, {}, msg::SaveFilter);
      if (!path.isEmpty()) SaveAs(path.toStdString());
      return;
    }
    default:
      if (!playback_.Command(command)) controls_.Key(command, scene_, camera_);
      break;
  }
  Render(whole);
}

void ViewerWindow::Render(bool whole) {
  // The part drawn last time is cleared before this frame is drawn (painting
  // happens after this returns, so it cannot be cleared right after drawing).
  if (whole) {
    view_.fillAll(background_);
    previous_ = ZvlMakeRect(0, 0, kViewerWidth - 1, kViewerHeight - 1);
  } else if (!previous_.empty()) {
    view_.fillColor(previous_, background_);
    view_.fillDepth(previous_, 0xFFFF);
  }
  std::optional<ZvlRect> drawn;
  if (scene_.bind(view_.output())) {
    camera_.frameFactor = -1.0f;
    ScnHandler* handler = scene_.handler();
    if (ZvlRenderScene(handler, scene_.state(), camera_.Projection(), playback_.frame) == 0 && !handler->drawn.empty())
      drawn = handler->drawn;
  }
  ZvlRect shown = previous_;
  if (drawn) shown = ZvlUniteRect(shown, *drawn);
  previous_ = drawn ? *drawn : ZvlRect{};
  const bool hidden = playback_.measuringHidden;
  if (const std::optional<std::string> rate = playback_.FrameDrawn(Now())) {
    Show(msg::FrameRateCaption, *rate, false);
    return Render(true);
  }
  if (!hidden && !shown.empty()) update(QRect(shown.x0, shown.y0 + menu_->height(), shown.width, shown.height));
}

void ViewerWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (view_.width() == 0) {
    painter.fillRect(rect(), Qt::black);
    return;
  }
  const QImage image(reinterpret_cast<const uchar*>(view_.pixels()), view_.width(), view_.height(),
                     view_.pitch() * 2, QImage::Format_RGB555);
  painter.drawImage(0, menu_->height(), image);
}

void ViewerWindow::keyPressEvent(QKeyEvent* event) {
  const int key = VirtualKey(*event);
  const int command = key < 0 ? -1 : ViewerCommandForKey(key);
  if (command < 0) return QWidget::keyPressEvent(event);
  Command(command);
}

void ViewerWindow::closeEvent(QCloseEvent* event) {
  running_ = false;
  ticks_.stop();
  emit Closed();
  event->accept();
}

bool ViewerWindow::SaveAs(const std::string& path) {
  const ZorvelDatabase* db = scene_.database();
  if (!db) return false;
  ZvlSetWriterVersion(ZvlFormatVersion::V9_0);
  if (ZvlWriteFileReplacing(path, [db](ZvlHandle h) { return ZvlWriteDatabase(h, *db); }) != 0) {
    Show(msg::ErrorCaption, ZvlGetErrorText(), true);
    return false;
  }
  return true;
}

int ViewerWindow::Open(const std::string& first, const std::string& second, QWidget* owner, int combineMode) {
  ViewerWindow window(owner);
  QEventLoop loop;
  connect(&window, &ViewerWindow::Closed, &loop, &QEventLoop::quit);
  window.show();
  if (window.Load(first, second, combineMode) != 0) return -1;
  window.activateWindow();
  loop.exec();
  return 0;
}

}  // namespace zvlplay
