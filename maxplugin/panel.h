// The utility's panel in the host's command panel: what to convert, and the
// buttons that open the settings dialog, run "Quick Zorvelate", show the
// about box and close the utility.
#pragma once

#include <QWidget>

class Interface;
class IUtil;
class QCheckBox;
class QRadioButton;

namespace zvlplay {

class SettingsDialog;

class ZorvelatorPanel : public QWidget {
  Q_OBJECT
 public:
  ZorvelatorPanel(Interface& ip, IUtil* iu, QWidget* parent);

  // "Zorvelate Scene": the settings dialog, waiting for the user.
  void OpenSettings();
  // "Quick Zorvelate": the settings dialog, converting at once with the
  // stored settings. 0 or -1.
  int QuickZorvelate();
  void ShowAbout();

 private:
  // The panel's check boxes into the plug-in's settings.
  void Store();
  SettingsDialog* NewSettingsDialog();

  Interface& ip_;
  IUtil* iu_;
  QCheckBox *geometry_, *animation_, *useHidden_;
  QRadioButton *all_, *selected_;
};

}  // namespace zvlplay
