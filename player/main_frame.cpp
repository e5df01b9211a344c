#include "player/main_frame.h"

#include "player/dialogs.h"
#include "player/menu_table.h"
#include "player/messages.h"
#include "player/settings_file.h"
#include "player/toolbar_icons.h"

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QToolBar>

using namespace zvplay;

namespace {

constexpr int FrameWidth = 640;
constexpr int FrameHeight = 480;

// Commands whose state can be on, shown as a check mark or a pressed button.
bool IsCheckable(int commandId) {
  switch (commandId) {
    case id::Play:
    case id::Stop:
    case id::KeyCamera:
    case id::KeyLight:
    case id::KeyShadow:
    case id::KeySceneRotation:
    case id::KeyScenePosition:
    case id::AutoRepeat:
    case id::RenderPack:
    case id::RenderFill:
    case id::RenderStretch:
    case id::Shadows:
    case id::Distortion:
    case id::IndexColor:
    case id::HighColor:
    case id::ViewToolbar:
    case id::ViewStatusBar: return true;
    default: return false;
  }
}

QString ToQString(const char* text) { return QString::fromLatin1(text); }

}  // namespace

CMainFrame::CMainFrame(QWidget* parent)
    : QMainWindow(parent), engine_(std::make_unique<PlayerEngine>(*this)), doc_(*engine_) {
  setWindowTitle(QStringLiteral("Untitled - Player"));
  view_ = new CZvPlayView(*engine_, this);
  setCentralWidget(view_);
  buildMenus();
  buildToolBar();
  statusLabel_ = new QLabel(ToQString(ReadyPrompt));
  statusBar()->addWidget(statusLabel_, 1);
  // No sizing border until a file is open.
  setFixedSize(FrameWidth, FrameHeight);
  syncActions();
  idleTimer_.setInterval(0);
  connect(&idleTimer_, &QTimer::timeout, this, [this] { engine_->idle(); });
  view_->setFocus();
}

CMainFrame::~CMainFrame() {
  idleTimer_.stop();
  // The view refers to the engine: let it go first.
  delete view_;
  view_ = nullptr;
}

QAction* CMainFrame::makeAction(int commandId, const char* text, const char* shortcut) {
  QAction*& action = actions_[commandId];
  if (action == nullptr) {
    action = new QAction(this);
    action->setData(commandId);
    action->setCheckable(IsCheckable(commandId));
    if (const char* prompt = PromptOf(commandId)) {
      const QString full = ToQString(prompt);
      const qsizetype nl = full.indexOf(QLatin1Char('\n'));
      action->setStatusTip(nl < 0 ? full : full.left(nl));
      if (nl >= 0) action->setToolTip(full.mid(nl + 1));
    }
    connect(action, &QAction::triggered, this, [this, commandId] { onCommand(commandId); });
    addAction(action);  // shortcuts work with the menu bar hidden too
  }
  if (text != nullptr) action->setText(ToQString(text));
  if (shortcut != nullptr) {
    action->setShortcut(QKeySequence(ToQString(shortcut)));
    action->setShortcutContext(Qt::WindowShortcut);
  }
  return action;
}

void CMainFrame::buildMenus() {
  for (const Menu& menu : MenuBar) {
    QMenu* m = menuBar()->addMenu(ToQString(menu.title));
    for (const MenuItem& item : menu.items) {
      if (item.id == 0) {
        m->addSeparator();
        continue;
      }
      m->addAction(makeAction(item.id, item.text, item.shortcut));
    }
  }
  // Commands without a menu item.
  makeAction(id::StepForwardSecond, "Step Forward", nullptr);
  makeAction(id::MaxRate, "Set maximum frame rate", nullptr);
  makeAction(id::Distortion, "Distortion On/Off", nullptr);
}

void CMainFrame::buildToolBar() {
  toolBar_ = addToolBar(QStringLiteral("Toolbar"));
  toolBar_->setObjectName(QStringLiteral("Toolbar"));
  toolBar_->setIconSize(QSize(ToolbarButtonWidth, ToolbarButtonHeight));
  toolBar_->setMovable(false);
  for (int button : ToolbarButtons) {
    if (button == 0) {
      toolBar_->addSeparator();
      continue;
    }
    QAction* a = makeAction(button, nullptr, nullptr);
    a->setIcon(ToolbarIcon(button));
    if (a->text().isEmpty()) a->setText(a->toolTip());
    toolBar_->addAction(a);
  }
}

QAction* CMainFrame::action(int commandId) const {
  const auto it = actions_.find(commandId);
  return it == actions_.end() ? nullptr : it->second;
}

QString CMainFrame::statusText() const { return statusLabel_->text(); }

void CMainFrame::syncActions() {
  for (const auto& [commandId, a] : actions_) {
    const int index = StateOfCommand(commandId);
    if (index < 0) continue;
    const int s = engine_->state(index);
    a->setEnabled(s != StateDisabled);
    if (a->isCheckable()) a->setChecked(s == StateOn);
  }
  // Opening needs no file; the rest of the file menu's own commands neither.
  action(id::ViewToolbar)->setChecked(toolBar_ == nullptr || !toolBar_->isHidden());
  action(id::ViewStatusBar)->setChecked(!statusBar()->isHidden());
}

void CMainFrame::onCommand(int commandId) {
  switch (commandId) {
    case id::FileOpen: openFile(); break;
    case id::LoadAnimation: loadAnimation(); break;
    case id::FileSave: save(false); break;
    case id::FileSaveAs: save(true); break;
    case id::Properties: properties(); break;
    case id::AppExit: close(); break;
    case id::ViewToolbar: toolBar_->setVisible(toolBar_->isHidden()); break;
    case id::ViewStatusBar: statusBar()->setVisible(statusBar()->isHidden()); break;
    case id::ControlKeys: {
      ControlKeysDialog dialog(this);
      dialog.exec();
      break;
    }
    case id::About: ShowAboutBox(this); break;
    default: engine_->menuCommand(commandId); break;
  }
  syncActions();
}

QString CMainFrame::askFile(int commandId, const QString& title, const QString& filter, bool forSaving,
                            const QString& suggested) {
  if (fileAnswer) return fileAnswer(commandId);
  return forSaving ? QFileDialog::getSaveFileName(this, title, suggested, filter)
                   : QFileDialog::getOpenFileName(this, title, suggested, filter);
}

void CMainFrame::openFile() {
  const QString path = askFile(id::FileOpen, QStringLiteral("Open"), QStringLiteral("Zorvel files (*.zvl)"),
                               false, QFileInfo(doc_.pathName()).path());
  if (!path.isEmpty()) doc_.openDocument(path);
}

void CMainFrame::loadAnimation() {
  if (!engine_->command(EngineCommand::AttachPending)) return;
  const QString path = askFile(id::LoadAnimation, QStringLiteral("Load Animation"),
                               QStringLiteral("Zorvel files (*.zvl)"), false, QFileInfo(doc_.pathName()).path());
  if (path.isEmpty()) {
    engine_->cancelAttach();
    return;
  }
  doc_.openDocument(path);
}

void CMainFrame::save(bool askName) {
  if (!engine_->fileOpen()) return;  // the frame window's own: frozen or not
  QString path = doc_.pathName();
  if (askName || path.isEmpty()) {
    path = askFile(id::FileSaveAs, QStringLiteral("Save As"), QStringLiteral("Zorvel files (*.zvl)"), true, path);
    if (path.isEmpty()) return;
  }
  if (doc_.saveDocument(path)) updateTitle();
}

void CMainFrame::properties() {
  if (!engine_->command(EngineCommand::Properties)) return;
  PropertiesDialog dialog(engine_->properties(), this);
  dialog.exec();
}

void CMainFrame::updateTitle() { setWindowTitle(doc_.title() + QStringLiteral(" - Player")); }

// ---------------------------------------------------------------------------
// HostCallbacks

void CMainFrame::frameRateText(const std::string& text) { statusLabel_->setText(QString::fromStdString(text)); }

void CMainFrame::stateOn(int) { syncActions(); }
void CMainFrame::stateOff(int) { syncActions(); }
void CMainFrame::statesChanged() { syncActions(); }

void CMainFrame::fileLoaded() {
  // The sizing border: any size from now on.
  setMinimumSize(200, 150);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  updateTitle();
  syncActions();
  if (!idleTimer_.isActive()) idleTimer_.start();
}

void CMainFrame::showImage(const ZvlRect& rect) {
  if (view_ != nullptr) view_->showImage(rect);
}

void CMainFrame::showMessage(const char* caption, const char* text, const std::string& detail) {
  const QString title = ToQString(caption);
  const QString body = ToQString(text);
  if (messageSink_) {
    messageSink_(title, body);
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, title, body, QMessageBox::Ok, this);
  if (!detail.empty()) box.setInformativeText(QString::fromStdString(detail));
  if (title == ToQString(msg::CaptionImage)) box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

std::optional<Rgb> CMainFrame::chooseColor(ColorChoice which, Rgb current) {
  if (colorAnswer) return colorAnswer(which);
  const char* title = which == ColorChoice::Background ? "Background"
                      : which == ColorChoice::Shadow   ? "Shadow"
                                                       : "Light";
  const QColor chosen = QColorDialog::getColor(QColor(current.r, current.g, current.b), this, ToQString(title));
  if (!chosen.isValid()) return std::nullopt;
  return Rgb{uint8_t(chosen.red()), uint8_t(chosen.green()), uint8_t(chosen.blue())};
}

std::optional<std::string> CMainFrame::chooseSettingsFile(bool forSaving, const std::string& suggested) {
  char filter[64];
  std::snprintf(filter, sizeof filter, msg::SettingsFilter, SettingsExtension, SettingsExtension);
  const QString start = suggested.empty() ? ToQString(msg::SettingsDefaultName) : QFile::decodeName(suggested.c_str());
  const QString path = askFile(forSaving ? id::SaveSettings : id::LoadSettings,
                               ToQString(forSaving ? msg::SaveSettingsTitle : msg::LoadSettingsTitle),
                               ToQString(filter), forSaving, start);
  if (path.isEmpty()) return std::nullopt;
  return QFile::encodeName(path).toStdString();
}
