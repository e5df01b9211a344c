// maxhost with the real plug-in library: loading it from its folder,
// skipping a broken one, opening the utility's panel and running "Quick
// Zorvelate" on the glTF sample.
#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "maxhost/main_window.h"
#include "maxhost/plugin_loader.h"
#include "maxhost/scene_loader.h"
#include "maxhost/viewport.h"
#include "zvlfile/zvlfile.h"

namespace fs = std::filesystem;

class MaxhostWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    // Temporary files of this run go to a folder of its own.
    tmp_ = fs::temp_directory_path() / "maxhost_window_qtest";
    fs::remove_all(tmp_);
    fs::create_directories(tmp_);
    qputenv("TMPDIR", QByteArray::fromStdString(tmp_.string()));
    // Any message box that opens is noted and closed, so a failure cannot hang.
    connect(&boxWatch_, &QTimer::timeout, this, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        boxes_ << box->text();
        box->done(QMessageBox::Ok);
      }
      // The viewer that opens after a conversion is closed too.
      for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "ZVL_PLAY" && w->isVisible()) w->close();
    });
    boxWatch_.start(50);
  }

  void brokenPluginsAreReportedAndSkipped() {
    const fs::path folder = tmp_ / "plugins";
    fs::create_directories(folder);
    std::ofstream(folder / "Broken.dlu") << "not a library";
    fs::copy_file(MAXHOST_PLUGIN, folder / "Zorvelator.dlu");
    maxhost::PluginSet plugins;
    plugins.LoadFolder(folder.string());
    QCOMPARE(plugins.Plugins().size(), size_t(1));
    QCOMPARE(plugins.errors.size(), size_t(1));
    QVERIFY(plugins.errors[0].find("Broken.dlu") != std::string::npos);
    // A library without the exports is refused too.
    QVERIFY(!plugins.Load(MAXHOST_NOT_A_PLUGIN));
    QCOMPARE(plugins.errors.size(), size_t(2));
  }

  void quickZorvelateConvertsTheSample() {
    maxhost::HostInterface ip(maxhost::LoadScene);
    maxhost::PluginSet plugins;
    plugins.LoadFolder(fs::path(MAXHOST_PLUGIN).parent_path().string());
    QCOMPARE(plugins.UtilityClasses().size(), size_t(1));
    QCOMPARE(QString(plugins.UtilityClasses()[0]->ClassName()), QString("Zorvelator"));
    QCOMPARE(plugins.Plugins()[0].version, 110ul);

    maxhost::MainWindow window(ip, plugins);
    window.show();
    QVERIFY(window.OpenScene(MAXHOST_SAMPLE));
    window.SetFrame(15);
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.View()->repaint();
    QVERIFY(window.View()->DrawnTriangles() > 0);
    QCOMPARE(window.UtilityList()->count(), 1);

    QVERIFY(window.OpenUtility("Zorvelator"));
    auto* panel = window.UtilityPanelHost()->findChild<QWidget*>("ZorvelatorPanel");
    QVERIFY(panel);
    QPushButton* quick = nullptr;
    for (QPushButton* b : panel->findChildren<QPushButton*>())
      if (b->text() == "Quick Zorvelate") quick = b;
    QVERIFY(quick);
    QVERIFY(quick->isVisible());
    QTest::mouseClick(quick, Qt::LeftButton);
    QVERIFY2(boxes_.isEmpty(), qPrintable(boxes_.join("; ")));
    // The palette builder's note and where the file went reach the host.
    QVERIFY(ip.messages.size() >= 2);
    QVERIFY(ip.messages.back().text.find("TMPFILE.ZVL") != std::string::npos);

    const fs::path out = tmp_ / "maxhost" / "TMPFILE.ZVL";
    QVERIFY(fs::exists(out));
    ZvlDatabasePtr db(ZvlReadDatabaseFile(out.string().c_str()));
    QVERIFY(db);
    QCOMPARE(db->version, 9.0f);
    QCOMPARE(db->objectCount, 2);
    QCOMPARE(db->frameCount, 31);  // the active segment, every frame
    QCOMPARE(QString(db->sceneName), QString("arm.gltf"));
    QVERIFY(db->geometry[1].voxObject);

    // The panel's "Close" takes the utility down.
    for (QPushButton* b : panel->findChildren<QPushButton*>())
      if (b->text() == "Close") QTest::mouseClick(b, Qt::LeftButton);
    QTRY_VERIFY(!window.UtilityPanelHost()->findChild<QWidget*>("ZorvelatorPanel"));
  }

  void cleanupTestCase() { fs::remove_all(tmp_); }

 private:
  fs::path tmp_;
  QTimer boxWatch_;
  QStringList boxes_;
};

QTEST_MAIN(MaxhostWindowTest)
#include "maxhost_window_qtest.moc"
