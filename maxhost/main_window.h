// maxhost's window: the scene tree (select and hide nodes), the viewport,
// the time slider with play, and the command panel whose "Utilities" list
// holds every utility class of the loaded plug-ins; choosing one opens its
// panel below the list.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <memory>
#include <string>

#include "maxhost/host_scene.h"
#include "maxhost/plugin_loader.h"
#include "maxplugin/sdk/plugin.h"

class QLabel;
class QListWidget;
class QPushButton;
class QSlider;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;

namespace maxhost {

class Viewport;

class MainWindow : public QMainWindow, public IUtil {
  Q_OBJECT
 public:
  MainWindow(HostInterface& ip, PluginSet& plugins, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Opens a scene file; a failure is shown and the old scene stays.
  bool OpenScene(const QString& path);
  // Opens the panel of the utility class with this name; false when there
  // is none.
  bool OpenUtility(const QString& className);
  void CloseUtility() override;
  // Moves the time to a frame.
  void SetFrame(int frame);

  QWidget* UtilityPanelHost() const { return panelHost_; }
  QListWidget* UtilityList() const { return utilities_; }
  Viewport* View() const { return viewport_; }

 private:
  void RebuildTree();
  void ShowMessage(const HostInterface::Message& m);
  void UpdateTimeRange();

  HostInterface& ip_;
  PluginSet& plugins_;
  QTreeWidget* tree_;
  Viewport* viewport_;
  QSlider* time_;
  QLabel* frameLabel_;
  QPushButton* play_;
  QTimer playTimer_;
  QListWidget* utilities_;
  QWidget* panelHost_;
  QVBoxLayout* panelLayout_;
  UtilityObj* openUtility_ = nullptr;
  QWidget* openPanel_ = nullptr;
};

}  // namespace maxhost
