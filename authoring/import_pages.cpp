#include "authoring/import_pages.h"

#include "authoring/dialogs.h"
#include "authoring/messages.h"
#include "authoring/paths.h"
#include "authoring/prompts.h"
#include "authoring/window_conversion.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace authoring {
namespace {

QString Id(int id) { return QStringLiteral("id%1").arg(id); }

QSpinBox* MakeSpin(QWidget* parent, int id, int low, int high, int value) {
  auto* spin = new QSpinBox(parent);
  spin->setObjectName(Id(id));
  spin->setRange(low, high);
  spin->setValue(value);
  return spin;
}

QCheckBox* MakeCheck(QWidget* parent, int id, const QString& text) {
  auto* box = new QCheckBox(text, parent);
  box->setObjectName(Id(id));
  box->setChecked(true);
  return box;
}

}  // namespace

ImportPage::ImportPage(ImportKind kind, ShellState& state, QWidget* parent)
    : SheetPage(parent), kind_(kind), state_(state) {
  auto* outer = new QVBoxLayout(this);
  grid_ = new QGridLayout;
  outer->addLayout(grid_);
  outer->addStretch(1);
}

QLineEdit* ImportPage::addFileField(const QString& label, int id, int browseId, std::function<void()> browse) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(Id(id));
  auto* button = new QToolButton(this);
  button->setObjectName(Id(browseId));
  button->setText(QStringLiteral("..."));
  button->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
  connect(button, &QToolButton::clicked, this, std::move(browse));
  grid_->addWidget(new QLabel(label, this), row_, 0);
  grid_->addWidget(edit, row_, 1);
  grid_->addWidget(button, row_, 2);
  ++row_;
  return edit;
}

void ImportPage::browseInto(QLineEdit* edit, const char* filter, const char* suffix) {
  edit->setText(Prompts().openFile(this, QString::fromUtf8(filter), QString::fromUtf8(suffix)));
}

void ImportPage::addOptions() {
  auto* make = new QGroupBox(this);
  auto* makeLayout = new QVBoxLayout(make);
  makePalette_ = MakeCheck(make, 1010, QStringLiteral("Make palette"));
  makeGeometry_ = MakeCheck(make, 1011, QStringLiteral("Make geometry"));
  makeAnimation_ = MakeCheck(make, 1012, QStringLiteral("Make animation"));
  highColor_ = MakeCheck(make, 1033, QStringLiteral("High color"));
  for (QCheckBox* box : {makePalette_, makeGeometry_, makeAnimation_, highColor_}) makeLayout->addWidget(box);

  auto* numbers = new QGroupBox(this);
  auto* numbersLayout = new QGridLayout(numbers);
  start_ = MakeSpin(numbers, 1014, 0, 255, 16);
  end_ = MakeSpin(numbers, 1015, 0, 255, 245);
  // A converted object holds 16 levels: the up-down stops there.
  levels_ = MakeSpin(numbers, 1020, 1, kMaxLevels, 1);
  numbersLayout->addWidget(new QLabel(QStringLiteral("Start color (1..255)"), numbers), 0, 0);
  numbersLayout->addWidget(start_, 0, 1);
  numbersLayout->addWidget(new QLabel(QStringLiteral("End color (1..255)"), numbers), 1, 0);
  numbersLayout->addWidget(end_, 1, 1);
  numbersLayout->addWidget(new QLabel(QStringLiteral("Levels"), numbers), 2, 0);
  numbersLayout->addWidget(levels_, 2, 1);

  grid_->addWidget(make, row_, 0, 1, 1);
  grid_->addWidget(numbers, row_, 1, 1, 2);
  ++row_;
}

PageFields ImportPage::fields() const {
  PageFields fields;
  fields.kind = kind_;
  if (scene_) fields.scenePath = scene_->text().toStdString();
  if (materials_) fields.materialsPath = materials_->text().toStdString();
  if (palette_) fields.palettePath = palette_->text().toStdString();
  if (from3ds_) fields.animationFromScene = from3ds_->isChecked();
  if (vue_) fields.vuePath = vue_->text().toStdString();
  if (animation_) fields.animationStem = animation_->text().toStdString();
  fields.orientation = state_.orientation;
  fields.makePalette = makePalette_->isChecked();
  fields.makeGeometry = makeGeometry_->isChecked();
  fields.makeAnimation = makeAnimation_->isChecked();
  fields.highColor = highColor_->isChecked();
  fields.startColor = start_->value();
  fields.endColor = end_->value();
  fields.levels = levels_->value();
  return fields;
}

void ImportPage::apply(bool active) {
  if (!active) return;
  if (RunWindowConversion(this, fields())) ++conversionsRun_;
}

ImportPage3ds::ImportPage3ds(ShellState& state, QWidget* parent) : ImportPage(ImportKind::Studio3ds, state, parent) {
  scene_ = addFileField(QStringLiteral("3d Studio file"), 1000, 1001,
                        [this] { browseInto(scene_, msg::Filter3ds, "3ds"); });
  materials_ = addFileField(QStringLiteral("Materials location path"), 1002, 1003, [this] {
    const QString chosen = Prompts().openFile(this, QString(), QString());
    materials_->setText(chosen.isEmpty() ? QString() : QString::fromStdString(FolderPart(chosen.toStdString())));
  });
  palette_ = addFileField(QStringLiteral("Palette file location path"), 1031, 1032,
                          [this] { browseInto(palette_, msg::FilterAct, "act"); });
  palette_->setText(QString::fromStdString(DefaultPalettePath(state.startFolder.toStdString())));

  auto* animation = new QGroupBox(QStringLiteral("Animation"), this);
  auto* animationLayout = new QGridLayout(animation);
  from3ds_ = new QRadioButton(QStringLiteral("Get from the \"3ds\" file"), animation);
  from3ds_->setObjectName(Id(1056));
  fromVue_ = new QRadioButton(QStringLiteral("Get from the \"vue\" file"), animation);
  fromVue_->setObjectName(Id(1057));
  vue_ = new QLineEdit(animation);
  vue_->setObjectName(Id(1058));
  vueBrowse_ = new QToolButton(animation);
  vueBrowse_->setObjectName(Id(1059));
  vueBrowse_->setText(QStringLiteral("..."));
  vueBrowse_->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
  connect(vueBrowse_, &QToolButton::clicked, this, [this] { browseInto(vue_, msg::FilterVue, "vue"); });
  animationLayout->addWidget(from3ds_, 0, 0, 1, 2);
  animationLayout->addWidget(fromVue_, 1, 0, 1, 2);
  animationLayout->addWidget(vue_, 2, 0);
  animationLayout->addWidget(vueBrowse_, 2, 1);
  from3ds_->setChecked(true);
  vue_->setEnabled(false);
  vueBrowse_->setEnabled(false);
  connect(fromVue_, &QRadioButton::toggled, this, [this](bool on) {
    vue_->setEnabled(on);
    vueBrowse_->setEnabled(on);
  });
  grid_->addWidget(animation, row_++, 0, 1, 3);

  addOptions();
  import_ = new QPushButton(QStringLiteral("Import"), this);
  import_->setObjectName(Id(1009));
  import_->setVisible(false);
  connect(import_, &QPushButton::clicked, this, [this] { apply(true); });
}

ImportPageRtg::ImportPageRtg(ShellState& state, QWidget* parent) : ImportPage(ImportKind::AliasRtg, state, parent) {
  scene_ = addFileField(QStringLiteral("RTG file:"), 1035, 1036, [this] { browseInto(scene_, msg::FilterRtg, "rtg"); });
  animation_ = addFileField(QStringLiteral("Select one of animation files:"), 1037, 1038, [this] {
    const QString chosen = Prompts().openFile(this, QString(), QString());
    animation_->setText(chosen.isEmpty() ? QString() : QString::fromStdString(AnimationStemOf(chosen.toStdString())));
  });
  palette_ = addFileField(QStringLiteral("Palette file location path:"), 1039, 1040,
                          [this] { browseInto(palette_, msg::FilterAct, "act"); });
  palette_->setText(QString::fromStdString(DefaultPalettePath(state.startFolder.toStdString())));
  materials_ = addFileField(QStringLiteral("Materials \"bin\" file path"), 1060, 1061,
                            [this] { browseInto(materials_, msg::FilterRtgMaterials, "bin"); });
  addOptions();
  import_ = new QPushButton(QStringLiteral("Import"), this);
  import_->setObjectName(Id(1052));
  import_->setVisible(false);
  connect(import_, &QPushButton::clicked, this, [this] { apply(true); });
}

ImportPageLws::ImportPageLws(ShellState& state, QWidget* parent) : ImportPage(ImportKind::LightWave, state, parent) {
  scene_ = addFileField(QStringLiteral("LWS file"), 1070, 1072, [this] { browseInto(scene_, msg::FilterLws, "lws"); });
  palette_ = addFileField(QStringLiteral("Palette file location path:"), 1071, 1073,
                          [this] { browseInto(palette_, msg::FilterAct, "act"); });
  palette_->setText(QString::fromStdString(DefaultPalettePath(state.startFolder.toStdString())));
  addOptions();
  auto* advanced = new QPushButton(QStringLiteral("Advanced..."), this);
  advanced->setObjectName(Id(1078));
  connect(advanced, &QPushButton::clicked, this, [this] {
    OrientationDialog dialog(state_.orientation, this);
    dialog.exec();
    state_.orientation = dialog.code();
  });
  grid_->addWidget(advanced, row_++, 2);
  import_ = new QPushButton(QStringLiteral("Import"), this);
  import_->setObjectName(Id(1074));
  import_->setVisible(false);
  connect(import_, &QPushButton::clicked, this, [this] { apply(true); });
}

namespace {

// The About page's picture: the program's name over a few voxel-like cubes.
class AboutPicture : public QWidget {
 public:
  using QWidget::QWidget;
  QSize sizeHint() const override { return {320, 160}; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(16, 24, 48));
    for (int i = 0; i < 12; ++i) {
      const int size = 14;
      const int x = 40 + i * (size + 4), y = height() - 40 - (i % 4) * (size / 2);
      painter.fillRect(x, y, size, size, QColor::fromHsv((i * 30) % 360, 160, 230));
    }
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPointSize(18);
    painter.setFont(font);
    painter.drawText(rect().adjusted(0, 20, 0, -60), Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Zorvelator"));
  }
};

}  // namespace

AboutPage::AboutPage(QWidget* parent) : SheetPage(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new AboutPicture(this));
  auto* text = new QLabel(
      QStringLiteral("Converts 3D Studio, LightWave and Alias RTG scenes into animated voxel sprites (ZVL files)."),
      this);
  text->setWordWrap(true);
  layout->addWidget(text);
  layout->addStretch(1);
}

}  // namespace authoring
