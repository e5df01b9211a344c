// The viewer window on the sample file under the offscreen platform: keys
// step frames when paused, a damaged file is refused with the file layer's
// message, and Open returns when the window closes.
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "maxplugin/viewer_messages.h"
#include "maxplugin/viewer_window.h"

using namespace zvlplay;

class ViewerWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void playsStepsAndSaves() {
    ViewerWindow window;
    QStringList shown;
    window.showMessage = [&](const char* caption, const std::string& text, bool) { shown << QString(caption) + ":" + QString::fromStdString(text); };
    window.show();
    QCOMPARE(window.Load(VIEWER_SAMPLE, "", 1), 0);
    QVERIFY(window.Playback().frameCount > 1);
    QTest::keyClick(&window, Qt::Key_Space);
    QVERIFY(window.Playback().paused);
    const int frame = window.Playback().frame;
    QTest::keyClick(&window, Qt::Key_Plus, Qt::KeypadModifier);
    QCOMPARE(window.Playback().frame, (frame + 1) % window.Playback().frameCount);
    QTest::keyClick(&window, Qt::Key_S);
    QCOMPARE(window.Playback().delayMs, 10);
    // R measures 100 frames without showing them, then shows the rate.
    QTest::keyClick(&window, Qt::Key_D);
    QTest::keyClick(&window, Qt::Key_R);
    QVERIFY(window.Playback().measuringHidden);
    for (int i = 0; i < kMeasuredFrames && shown.isEmpty(); ++i) window.Command(ViewerCommand::Tick);
    QCOMPARE(shown.size(), 1);
    QVERIFY(shown[0].startsWith(QString(msg::FrameRateCaption) + ":"));
    QVERIFY(!window.Playback().measuring);
    shown.clear();
    // Something was drawn in the background colour's place.
    int drawn = 0;
    for (int y = 0; y < kViewerHeight; ++y)
      for (int x = 0; x < kViewerWidth; ++x) drawn += window.View().pixels()[y * window.View().pitch() + x] != kViewerBackground;
    QVERIFY(drawn > 100);

    const std::string saved = (std::filesystem::temp_directory_path() / "viewer_window_qtest.zvl").string();
    QVERIFY(window.SaveAs(saved));
    ZvlDatabasePtr db(ZvlReadDatabaseFile(saved.c_str()));
    QVERIFY(db);
    QCOMPARE(db->objectCount, window.Scene().database()->objectCount);
    std::filesystem::remove(saved);
    QVERIFY(!window.SaveAs("/no/such/folder/x.zvl"));
    QCOMPARE(shown.size(), 1);
    QVERIFY(window.isVisible());  // a failed save keeps the viewer open
  }

  void damagedFileClosesTheWindow() {
    const std::string path = (std::filesystem::temp_directory_path() / "viewer_damaged.zvl").string();
    std::ofstream(path, std::ios::binary) << "not a zvl file at all";
    ViewerWindow window;
    QStringList shown;
    window.showMessage = [&](const char* caption, const std::string& text, bool) { shown << QString(caption) + ":" + QString::fromStdString(text); };
    window.show();
    QCOMPARE(window.Load(path, "", 1), -1);
    QCOMPARE(shown.size(), 1);
    QVERIFY(shown[0].startsWith("ERROR:"));
    QCOMPARE(QString::fromStdString(shown[0].toStdString().substr(6)), QString(ZvlGetErrorText()));
    QVERIFY(!window.isVisible());
    std::filesystem::remove(path);
  }

  void openReturnsWhenClosed() {
    QTimer::singleShot(300, [] {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* viewer = qobject_cast<ViewerWindow*>(w)) viewer->close();
    });
    QCOMPARE(ViewerWindow::Open(VIEWER_SAMPLE, "", nullptr, 1), 0);
  }
};

QTEST_MAIN(ViewerWindowTest)
#include "viewer_window_qtest.moc"
