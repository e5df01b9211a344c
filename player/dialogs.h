// The player's dialogs: Properties, Control Keys and About.
#pragma once

#include "player/properties.h"

#include <QDialog>

namespace zvplay {

// The "Properties" dialog: one labelled read-only field per property.
class PropertiesDialog : public QDialog {
  Q_OBJECT
 public:
  PropertiesDialog(const PropertiesRecord& record, QWidget* parent = nullptr);
  // The text shown for a field, by its label (for tests).
  QString fieldText(const QString& label) const;
};

class ControlKeysDialog : public QDialog {
  Q_OBJECT
 public:
  explicit ControlKeysDialog(QWidget* parent = nullptr);
};

void ShowAboutBox(QWidget* parent);

}  // namespace zvplay
