#include "maxhost/main_window.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "maxhost/messages.h"
#include "maxhost/viewport.h"

namespace maxhost {
namespace {

constexpr int kNodeRole = Qt::UserRole + 1;

}  // namespace

MainWindow::MainWindow(HostInterface& ip, PluginSet& plugins, QWidget* parent)
    : QMainWindow(parent), ip_(ip), plugins_(plugins) {
  setWindowTitle(msg::ProgramName);
  QMenu* file = menuBar()->addMenu("&File");
  file->addAction("&Open...", this, [this] {
    const QString path = QFileDialog::getOpenFileName(this, msg::OpenSceneTitle, {}, msg::SceneFilter);
    if (!path.isEmpty()) OpenScene(path);
  });
  file->addAction("E&xit", this, &QWidget::close);

  tree_ = new QTreeWidget;
  tree_->setHeaderLabels({"Node"});
  tree_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  tree_->setObjectName("sceneTree");
  viewport_ = new Viewport(ip_);

  // Command panel.
  auto* command = new QWidget;
  auto* cl = new QVBoxLayout(command);
  cl->addWidget(new QLabel(msg::UtilitiesTitle));
  utilities_ = new QListWidget;
  utilities_->setObjectName("utilities");
  utilities_->setMaximumHeight(120);
  for (ClassDesc* cd : plugins_.UtilityClasses()) {
    auto* item = new QListWidgetItem(QString::fromUtf8(cd->ClassName()), utilities_);
    item->setData(kNodeRole, QVariant::fromValue(static_cast<void*>(cd)));
  }
  cl->addWidget(utilities_);
  panelHost_ = new QWidget;
  panelHost_->setObjectName("utilityPanelHost");
  panelLayout_ = new QVBoxLayout(panelHost_);
  panelLayout_->setContentsMargins(0, 0, 0, 0);
  cl->addWidget(panelHost_, 1);
  connect(utilities_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { OpenUtility(item->text()); });
  connect(utilities_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { OpenUtility(item->text()); });

  auto* split = new QSplitter;
  split->addWidget(tree_);
  split->addWidget(viewport_);
  split->addWidget(command);
  split->setStretchFactor(1, 1);

  // Time slider with play.
  time_ = new QSlider(Qt::Horizontal);
  time_->setObjectName("timeSlider");
  frameLabel_ = new QLabel;
  play_ = new QPushButton("Play");
  play_->setCheckable(true);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(play_);
  bottom->addWidget(time_, 1);
  bottom->addWidget(frameLabel_);

  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);
  layout->addWidget(split, 1);
  layout->addLayout(bottom);
  setCentralWidget(central);
  resize(1200, 720);

  connect(time_, &QSlider::valueChanged, this, [this](int frame) { SetFrame(frame); });
  connect(play_, &QPushButton::toggled, this, [this](bool on) {
    if (on) playTimer_.start(1000 / kDefaultFramesPerSecond);
    else playTimer_.stop();
  });
  connect(&playTimer_, &QTimer::timeout, this, [this] {
    time_->setValue(time_->value() >= time_->maximum() ? time_->minimum() : time_->value() + 1);
  });
  connect(tree_, &QTreeWidget::itemSelectionChanged, this, [this] {
    for (QTreeWidgetItem* item : tree_->findItems("*", Qt::MatchWildcard | Qt::MatchRecursive)) {
      auto* node = static_cast<HostNode*>(item->data(0, kNodeRole).value<void*>());
      if (node) node->selected = item->isSelected();
    }
    viewport_->update();
  });
  connect(tree_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) {
    auto* node = static_cast<HostNode*>(item->data(0, kNodeRole).value<void*>());
    if (node) node->hidden = item->checkState(0) != Qt::Checked;
    viewport_->update();
  });

  ip_.onMessage = [this](const HostInterface::Message& m) { ShowMessage(m); };
  ip_.onSceneChanged = [this] {
    RebuildTree();
    UpdateTimeRange();
    viewport_->FrameScene();
  };
  for (const std::string& e : plugins_.errors) ip_.ReportMessage(MessageKind::Warning, msg::WarningCaption, e.c_str());
  RebuildTree();
  UpdateTimeRange();
}

MainWindow::~MainWindow() {
  CloseUtility();
  ip_.onMessage = nullptr;
  ip_.onSceneChanged = nullptr;
}

bool MainWindow::OpenScene(const QString& path) {
  if (!ip_.LoadFromFile(path.toStdString().c_str())) {
    QMessageBox::critical(this, msg::ErrorCaption, path + ": " + QString::fromStdString(ip_.LastLoadError()));
    return false;
  }
  setWindowTitle(QString("%1 - %2").arg(msg::ProgramName, path));
  for (const std::string& w : ip_.Scene().warnings)
    ip_.ReportMessage(MessageKind::Warning, msg::WarningCaption, w.c_str());
  return true;
}

void MainWindow::RebuildTree() {
  const QSignalBlocker block(tree_);
  tree_->clear();
  std::vector<std::pair<HostNode*, QTreeWidgetItem*>> stack;
  for (auto& child : ip_.Scene().root->children) stack.push_back({child.get(), nullptr});
  std::reverse(stack.begin(), stack.end());
  while (!stack.empty()) {
    auto [node, parentItem] = stack.back();
    stack.pop_back();
    auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(tree_);
    item->setText(0, QString::fromStdString(node->name));
    item->setData(0, kNodeRole, QVariant::fromValue(static_cast<void*>(node)));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, node->hidden ? Qt::Unchecked : Qt::Checked);
    item->setSelected(node->selected);
    for (auto it = node->children.rbegin(); it != node->children.rend(); ++it) stack.push_back({it->get(), item});
  }
  tree_->expandAll();
}

void MainWindow::UpdateTimeRange() {
  const int tpf = std::max(1, ip_.GetTicksPerFrame());
  const QSignalBlocker block(time_);
  time_->setRange(ip_.GetAnimRange().start / tpf, ip_.GetAnimRange().end / tpf);
  time_->setValue(ip_.GetTime() / tpf);
  frameLabel_->setText(QString::number(time_->value()));
}

void MainWindow::SetFrame(int frame) {
  ip_.SetTime(TimeValue(frame * ip_.GetTicksPerFrame()));
  if (time_->value() != frame) {
    const QSignalBlocker block(time_);
    time_->setValue(frame);
  }
  frameLabel_->setText(QString::number(frame));
  viewport_->update();
}

bool MainWindow::OpenUtility(const QString& className) {
  for (ClassDesc* cd : plugins_.UtilityClasses()) {
    if (QString::fromUtf8(cd->ClassName()) != className) continue;
    CloseUtility();
    openUtility_ = static_cast<UtilityObj*>(cd->Create(false));
    if (!openUtility_) return false;
    openPanel_ = new QWidget(panelHost_);
    auto* l = new QVBoxLayout(openPanel_);
    l->setContentsMargins(0, 0, 0, 0);
    panelLayout_->addWidget(openPanel_);
    openUtility_->BeginEditParams(&ip_, this, openPanel_);
    // The plug-in's panel is the child it made; give it the space.
    for (QObject* child : openPanel_->children())
      if (auto* w = qobject_cast<QWidget*>(child)) l->addWidget(w);
    openPanel_->show();
    return true;
  }
  return false;
}

void MainWindow::CloseUtility() {
  if (!openUtility_) return;
  UtilityObj* utility = openUtility_;
  openUtility_ = nullptr;
  utility->EndEditParams(&ip_, this);
  utility->DeleteThis();
  // The panel may be closing itself (its "Close" button): delete later.
  if (openPanel_) openPanel_->deleteLater();
  openPanel_ = nullptr;
}

void MainWindow::ShowMessage(const HostInterface::Message& m) {
  const QString text = QString::fromStdString(m.caption) + ": " + QString::fromStdString(m.text);
  statusBar()->showMessage(text);
  if (m.kind == MessageKind::Error) QMessageBox::critical(this, QString::fromStdString(m.caption), QString::fromStdString(m.text));
}

}  // namespace maxhost
