#include "player/dialogs.h"

#include "player/messages.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

namespace zvplay {

PropertiesDialog::PropertiesDialog(const PropertiesRecord& record, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Properties"));
  setWindowTitle(QStringLiteral("Properties"));
  const PropertiesTexts t = FormatProperties(record);
  auto* form = new QFormLayout;
  auto add = [&](const char* label, const std::string& value) {
    auto* field = new QLineEdit(QString::fromStdString(value));
    field->setReadOnly(true);
    field->setObjectName(QString::fromLatin1(label));
    form->addRow(QString::fromLatin1(label), field);
  };
  add("Version", t.version);
  add("UnitsPer3Dpixel", t.unitsPerPixel);
  add("LOD", t.levels);
  add("Number of 3D pixels", t.pixelCount);
  add("Number of frames", t.frameCount);
  add("Pixel area", t.pixelArea);
  add("Palette", t.palette);
  add("Number of body parts", t.bodyParts);
  add("Size in 3D units", t.size);
  add("CPU Type", t.cpuType);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

QString PropertiesDialog::fieldText(const QString& label) const {
  const auto* field = findChild<QLineEdit*>(label);
  return field ? field->text() : QString();
}

ControlKeysDialog::ControlKeysDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Control keys"));
  QStringList lines;
  for (const char* line : msg::ControlKeysLines) lines << QString::fromLatin1(line);
  auto* text = new QLabel(lines.join(QLatin1Char('\n')));
  text->setObjectName(QStringLiteral("ControlKeysText"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
  layout->addWidget(buttons);
}

void ShowAboutBox(QWidget* parent) {
  QMessageBox::about(parent, QStringLiteral("About Player"),
                     QStringLiteral("<b>Player</b> version 8.1<br>"
                                    "Plays Zorvel voxel sprite scenes (.zvl) with its own software renderer."));
}

}  // namespace zvplay
