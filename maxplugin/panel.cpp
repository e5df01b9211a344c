#include "maxplugin/panel.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "maxplugin/messages.h"
#include "maxplugin/plugin_state.h"
#include "maxplugin/sdk/plugin.h"
#include "maxplugin/settings_dialog.h"

namespace zvlplay {

ZorvelatorPanel::ZorvelatorPanel(Interface& ip, IUtil* iu, QWidget* parent) : QWidget(parent), ip_(ip), iu_(iu) {
  setObjectName("ZorvelatorPanel");
  const PanelSettings& s = State().settings;
  auto* layout = new QVBoxLayout(this);
  auto* title = new QLabel(QString("<b>%1</b>").arg(msg::PluginName));
  layout->addWidget(title);
  geometry_ = new QCheckBox("Geometry");
  animation_ = new QCheckBox("Animation");
  geometry_->setChecked(s.geometry);
  animation_->setChecked(s.animation);
  layout->addWidget(geometry_);
  layout->addWidget(animation_);
  auto* objects = new QGroupBox;
  auto* ol = new QVBoxLayout(objects);
  all_ = new QRadioButton("All");
  selected_ = new QRadioButton("Selected");
  useHidden_ = new QCheckBox("Use Hidden Objects");
  (s.allObjects ? all_ : selected_)->setChecked(true);
  useHidden_->setChecked(s.useHidden);
  useHidden_->setEnabled(s.allObjects);
  ol->addWidget(all_);
  ol->addWidget(selected_);
  ol->addWidget(useHidden_);
  layout->addWidget(objects);
  connect(all_, &QRadioButton::toggled, this, [this](bool on) { useHidden_->setEnabled(on); });

  auto button = [&](const char* text) {
    auto* b = new QPushButton(text);
    layout->addWidget(b);
    return b;
  };
  connect(button("Zorvelate Scene"), &QPushButton::clicked, this, [this] { OpenSettings(); });
  connect(button("Quick Zorvelate"), &QPushButton::clicked, this, [this] { QuickZorvelate(); });
  connect(button("About"), &QPushButton::clicked, this, [this] { ShowAbout(); });
  connect(button("Close"), &QPushButton::clicked, this, [this] {
    Store();
    if (iu_) iu_->CloseUtility();
  });
  layout->addStretch();
}

void ZorvelatorPanel::Store() {
  PanelSettings& s = State().settings;
  s.geometry = geometry_->isChecked();
  s.animation = animation_->isChecked();
  s.allObjects = all_->isChecked();
  s.useHidden = useHidden_->isChecked();
}

SettingsDialog* ZorvelatorPanel::NewSettingsDialog() {
  Store();
  auto* dialog = new SettingsDialog(ip_, State().settings, window());
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  return dialog;
}

void ZorvelatorPanel::OpenSettings() {
  SettingsDialog* dialog = NewSettingsDialog();
  dialog->open();
}

int ZorvelatorPanel::QuickZorvelate() {
  SettingsDialog* dialog = NewSettingsDialog();
  dialog->show();
  return dialog->Zorvelate();
}

void ZorvelatorPanel::ShowAbout() {
  QMessageBox::about(this, msg::AboutCaption, QString(msg::AboutText) + msg::VersionText);
}

}  // namespace zvlplay
