// CMainFrame: the frame window. Menu bar, toolbar and status bar built from
// the menu tables, the view as its centre, the document, and the engine,
// whose HostCallbacks it is. A zero-interval timer gives the engine its idle
// passes.
#pragma once

#include "player/player_engine.h"
#include "player/zvplay_doc.h"
#include "player/zvplay_view.h"

#include <QMainWindow>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>

class QAction;
class QLabel;
class QToolBar;

class CMainFrame : public QMainWindow, public zvplay::HostCallbacks {
  Q_OBJECT
 public:
  explicit CMainFrame(QWidget* parent = nullptr);
  ~CMainFrame() override;

  zvplay::PlayerEngine& engine() { return *engine_; }
  CZvPlayDoc& document() { return doc_; }
  CZvPlayView* view() { return view_; }
  // The action of a command identifier (null if none).
  QAction* action(int commandId) const;
  QToolBar* toolBar() const { return toolBar_; }
  QString statusText() const;

  // Runs a command as its menu item or toolbar button would.
  void onCommand(int commandId);

  // Where message boxes go instead of the screen (for tests): caption, text.
  using MessageSink = std::function<void(const QString& caption, const QString& text)>;
  void setMessageSink(MessageSink sink) { messageSink_ = std::move(sink); }
  // Answers for the colour and file dialogs (for tests); unset, the dialogs
  // are shown.
  std::function<std::optional<zvplay::Rgb>(zvplay::ColorChoice)> colorAnswer;
  std::function<QString(int commandId)> fileAnswer;

  // HostCallbacks
  void frameRateText(const std::string& text) override;
  void stateOn(int index) override;
  void stateOff(int index) override;
  void fileLoaded() override;
  void statesChanged() override;
  void showImage(const ZvlRect& rect) override;
  void showMessage(const char* caption, const char* text, const std::string& detail) override;
  std::optional<zvplay::Rgb> chooseColor(zvplay::ColorChoice which, zvplay::Rgb current) override;
  std::optional<std::string> chooseSettingsFile(bool forSaving, const std::string& suggested) override;

 private:
  void buildMenus();
  void buildToolBar();
  QAction* makeAction(int commandId, const char* text, const char* shortcut);
  void syncActions();
  QString askFile(int commandId, const QString& title, const QString& filter, bool forSaving,
                  const QString& suggested);
  void openFile();
  void loadAnimation();
  void save(bool askName);
  void properties();
  void updateTitle();

  std::unique_ptr<zvplay::PlayerEngine> engine_;
  CZvPlayDoc doc_;
  CZvPlayView* view_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  QLabel* statusLabel_ = nullptr;
  QTimer idleTimer_;
  std::map<int, QAction*> actions_;
  MessageSink messageSink_;
};
