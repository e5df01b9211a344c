// The program's windows under the offscreen platform: the frame, its menus
// and toolbar, the view with keys and mouse, the picture it shows.
#include "player/dialogs.h"
#include "player/main_frame.h"
#include "player/menu_table.h"
#include "player/messages.h"
#include "test_scenes.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>

using namespace zvplay;
using namespace zvplay::test;

namespace {

struct Received {
  QString caption, text;
};

}  // namespace

class ZvPlayWindowTest : public QObject {
  Q_OBJECT

 private:
  TempDir dir_;
  QString scene_;

  // A frame with a scene opened as from the command line, shown and drawn.
  std::unique_ptr<CMainFrame> openFrame(std::vector<Received>* messages = nullptr) {
    auto frame = std::make_unique<CMainFrame>();
    if (messages != nullptr)
      frame->setMessageSink([messages](const QString& c, const QString& t) { messages->push_back({c, t}); });
    frame->document().openDocument(scene_);
    frame->show();
    // Wait until the idle passes have drawn the scene; the callers' checks
    // fail if this never happens.
    const bool drawn = QTest::qWaitForWindowExposed(frame.get()) &&
                       QTest::qWaitFor([&] { return !frame->engine().previousRect().empty(); }, 5000);
    if (!drawn) qWarning("the scene was not drawn");
    return frame;
  }

  static bool sameRgb(QRgb a, QRgb b) { return (a & 0xF8F8F8) == (b & 0xF8F8F8); }

 private slots:
  void initTestCase() {
    scene_ = QString::fromStdString(dir_.file("scene.zvl"));
    WriteScene(scene_.toStdString(), SceneSpec{});
  }

  void startsWithTheStartPictureAndEverythingDisabled() {
    CMainFrame frame;
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QTRY_VERIFY(frame.engine().attached());
    QCOMPARE(frame.size(), QSize(640, 480));
    QCOMPARE(frame.minimumSize(), frame.maximumSize());  // no sizing border
    QVERIFY(!frame.action(id::Play)->isEnabled());
    QVERIFY(!frame.action(id::KeyCamera)->isEnabled());
    QVERIFY(!frame.action(id::FileSave)->isEnabled());
    QVERIFY(frame.action(id::FileOpen)->isEnabled());
    // Step Forward and Default mirror no state: enabled, and refused by the
    // engine without a file; the second step command mirrors state 4.
    QVERIFY(frame.action(id::StepForward)->isEnabled());
    QVERIFY(frame.action(id::Default)->isEnabled());
    QVERIFY(!frame.action(id::StepForwardSecond)->isEnabled());
    frame.action(id::StepForward)->trigger();
    frame.action(id::Default)->trigger();
    QVERIFY(!frame.engine().fileOpen());
    // The picture shows the start picture: not one flat colour.
    const QImage shown = frame.view()->grab().toImage();
    QVERIFY(!sameRgb(shown.pixel(60, 90), shown.pixel(5, 5)));
    QVERIFY(!CZvPlayView::startPicture().isEmpty());
  }

  void menusAndToolbarFollowTheTables() {
    CMainFrame frame;
    const auto menus = frame.menuBar()->actions();
    QCOMPARE(menus.size(), qsizetype(std::size(MenuBar)));
    for (qsizetype m = 0; m < menus.size(); ++m) {
      const Menu& menu = MenuBar[m];
      QCOMPARE(menus[m]->text(), QString::fromLatin1(menu.title));
      const auto items = menus[m]->menu()->actions();
      QCOMPARE(items.size(), qsizetype(menu.items.size()));
      for (qsizetype i = 0; i < items.size(); ++i) {
        if (menu.items[size_t(i)].id == 0) {
          QVERIFY(items[i]->isSeparator());
          continue;
        }
        QCOMPARE(items[i]->data().toInt(), menu.items[size_t(i)].id);
        QCOMPARE(items[i]->text(), QString::fromLatin1(menu.items[size_t(i)].text));
      }
    }
    QCOMPARE(frame.action(id::FileOpen)->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    QCOMPARE(frame.action(id::Default)->shortcut(), QKeySequence(QStringLiteral("Ctrl+D")));
    QCOMPARE(frame.action(id::RenderPack)->statusTip(), QStringLiteral("Set pack render mode"));
    QCOMPARE(frame.action(id::KeyCamera)->statusTip(), QStringLiteral("Move camera (arrows,Home,End,PgUp,PgDown)"));
    QCOMPARE(frame.action(id::Slow)->toolTip(), QStringLiteral("Play Slow"));

    const auto buttons = frame.toolBar()->actions();
    QCOMPARE(buttons.size(), qsizetype(std::size(ToolbarButtons)));
    for (qsizetype i = 0; i < buttons.size(); ++i) {
      if (ToolbarButtons[i] == 0) {
        QVERIFY(buttons[i]->isSeparator());
      } else {
        QCOMPARE(buttons[i]->data().toInt(), ToolbarButtons[i]);
        QVERIFY(!buttons[i]->icon().isNull());
      }
    }
  }

  void opensTheCommandLineFile() {
    auto frame = openFrame();
    QVERIFY(frame->engine().fileOpen());
    QCOMPARE(frame->document().pathName(), scene_);
    QVERIFY(frame->windowTitle().startsWith(QStringLiteral("scene.zvl")));
    QVERIFY(frame->maximumWidth() > 640);  // the sizing border
    QVERIFY(frame->action(id::Play)->isEnabled());
    QVERIFY(frame->action(id::KeyCamera)->isChecked());
    QVERIFY(frame->action(id::Stop)->isChecked());
    QVERIFY(frame->action(id::AutoRepeat)->isChecked());
    QVERIFY(frame->action(id::Shadows)->isChecked());
    QVERIFY(frame->action(id::RenderFill)->isChecked());
    QVERIFY(frame->action(id::HighColor)->isChecked());
    QTRY_VERIFY_WITH_TIMEOUT(frame->statusText().startsWith(QStringLiteral("Frame rate = ")), 5000);
  }

  void opensTheBundledSample() {
    CMainFrame frame;
    std::vector<Received> messages;
    frame.setMessageSink([&](const QString& c, const QString& t) { messages.push_back({c, t}); });
    frame.document().openDocument(QStringLiteral(ZVPLAY_SAMPLE));
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QTRY_VERIFY_WITH_TIMEOUT(!frame.engine().previousRect().empty(), 5000);
    QVERIFY(messages.empty());
    QVERIFY(frame.engine().frameCount() > 1);
  }

  void keyGroupFromTheMenuChangesWhatArrowsDo() {
    auto frame = openFrame();
    PlayerEngine& engine = frame->engine();
    CZvPlayView* view = frame->view();
    view->setFocus();

    frame->action(id::KeyLight)->trigger();
    QVERIFY(frame->action(id::KeyLight)->isChecked());
    QVERIFY(!frame->action(id::KeyCamera)->isChecked());
    const float azimuth = engine.view().camera.azimuth;
    const float lightX = engine.scene()->state().light[0];
    QTest::keyClick(view, Qt::Key_Left);
    QCOMPARE(engine.view().camera.azimuth, azimuth);
    QVERIFY(engine.scene()->state().light[0] != lightX);

    frame->action(id::KeyCamera)->trigger();
    QVERIFY(!frame->action(id::KeyLight)->isChecked());
    QTest::keyClick(view, Qt::Key_Left);
    QVERIFY(engine.view().camera.azimuth != azimuth);

    // Digits choose the level of detail, R freezes the display.
    QTest::keyClick(view, Qt::Key_1);
    QCOMPARE(engine.properties().levels, 1);
    QTest::keyClick(view, Qt::Key_R);
    QVERIFY(engine.frozen());
    frame->action(id::GoToEnd)->trigger();
    QCOMPARE(engine.frame(), 0);
    QTest::keyClick(view, Qt::Key_R);
    QVERIFY(!engine.frozen());
  }

  void leftDragRotatesTheModel() {
    auto frame = openFrame();
    PlayerEngine& engine = frame->engine();
    CZvPlayView* view = frame->view();
    std::array<float, 9> before;
    std::copy_n(engine.scene()->state().worldMatrix, 9, before.begin());
    const float azimuth = engine.view().camera.azimuth;
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(200, 150));
    QMouseEvent move(QEvent::MouseMove, QPointF(180, 170), view->mapToGlobal(QPointF(180, 170)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &move);
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(180, 170));
    QVERIFY(!std::equal(before.begin(), before.end(), engine.scene()->state().worldMatrix));
    QCOMPARE(engine.view().camera.azimuth, azimuth);
  }

  void playAdvancesFrames() {
    auto frame = openFrame();
    PlayerEngine& engine = frame->engine();
    QCOMPARE(engine.frame(), 0);
    frame->action(id::Play)->trigger();
    QVERIFY(frame->action(id::Play)->isChecked());
    QVERIFY(!frame->action(id::Stop)->isChecked());
    QTRY_VERIFY_WITH_TIMEOUT(engine.frame() > 0, 5000);
    frame->action(id::AutoRepeat)->trigger();  // off: stops at the last frame
    QVERIFY(!frame->action(id::AutoRepeat)->isChecked());
    QTRY_VERIFY_WITH_TIMEOUT(frame->action(id::Stop)->isChecked(), 5000);
    QVERIFY(!frame->action(id::Play)->isChecked());
    QCOMPARE(engine.frame(), engine.lastFrame());
  }

  void windowShowsTheSceneOverTheBackground() {
    auto frame = openFrame();
    PlayerEngine& engine = frame->engine();
    QTest::qWait(50);
    const QImage shown = frame->view()->grab().toImage();
    const QRgb background = qRgb(DefaultBackground.r, DefaultBackground.g, DefaultBackground.b);
    QVERIFY(sameRgb(shown.pixel(0, 0), background));
    QVERIFY(sameRgb(shown.pixel(shown.width() - 1, shown.height() - 1), background));
    const ZvlRect r = engine.previousRect();
    int scenePixels = 0;
    for (int y = r.y0; y <= r.y1; ++y)
      for (int x = r.x0; x <= r.x1; ++x) scenePixels += sameRgb(shown.pixel(x, y), background) ? 0 : 1;
    QVERIFY(scenePixels > 20);
    // The view shows exactly the engine's image.
    const uint16_t* pixels = engine.view().pixels();
    const int pitch = engine.view().pitch();
    for (int y = r.y0; y <= r.y1; y += 3)
      for (int x = r.x0; x <= r.x1; x += 3) {
        const Rgb c = UnpackPixel(pixels[y * pitch + x], PixelFormat::Rgb555);
        QVERIFY(sameRgb(shown.pixel(x, y), qRgb(c.r, c.g, c.b)));
      }
  }

  void resizingKeepsTheCamera() {
    auto frame = openFrame();
    PlayerEngine& engine = frame->engine();
    frame->view()->setFocus();
    QTest::keyClick(frame->view(), Qt::Key_Up);
    QTest::keyClick(frame->view(), Qt::Key_End);
    const Camera before = engine.view().camera;
    frame->resize(820, 610);
    QTRY_COMPARE(engine.view().width(), frame->view()->width());
    QVERIFY(engine.view().width() > 640);
    QCOMPARE(engine.view().pitch() % 32, 0);
    QCOMPARE(engine.view().camera.elevation, before.elevation);
    QCOMPARE(engine.view().camera.distance, before.distance);
    QCOMPARE(engine.view().camera.azimuth, before.azimuth);
    QCOMPARE(engine.view().camera.viewportWidth, frame->view()->width());
    QTRY_VERIFY_WITH_TIMEOUT(!engine.previousRect().empty(), 5000);
    QCOMPARE(frame->view()->picture().size(), frame->view()->size());
  }

  void messagesCarryTheirCaptions() {
    std::vector<Received> messages;
    auto frame = openFrame(&messages);
    frame->document().openDocument(QString::fromStdString(dir_.file("notes.txt")));
    QCOMPARE(messages.size(), size_t(1));
    QCOMPARE(messages[0].caption, QStringLiteral("Error"));
    QCOMPARE(messages[0].text, QString::fromLatin1(msg::InvalidExtension));

    // Load Animation, cancelled: the next Open opens instead of attaching.
    frame->fileAnswer = [](int) { return QString(); };
    frame->action(id::LoadAnimation)->trigger();
    QVERIFY(!frame->engine().attachPending());
    const std::string three = dir_.file("three.zvl");
    SceneSpec description;
    description.objects = 3;
    WriteScene(three, description);
    frame->fileAnswer = [&](int) { return QString::fromStdString(three); };
    frame->action(id::LoadAnimation)->trigger();
    QCOMPARE(messages.back().caption, QStringLiteral("Error"));
    QCOMPARE(messages.back().text, QString::fromLatin1(msg::AttachMismatch));
    QCOMPARE(frame->document().pathName(), scene_);

    frame->action(id::FileOpen)->trigger();
    QCOMPARE(frame->document().pathName(), QString::fromStdString(three));
    QCOMPARE(frame->engine().scene()->database()->objectCount, 3);
  }

  void saveAsWritesTheSceneAndRenamesTheDocument() {
    auto frame = openFrame();
    const QString out = QString::fromStdString(dir_.file("saved.zvl"));
    frame->fileAnswer = [&](int) { return out; };
    QTest::keyClick(frame->view(), Qt::Key_R);  // saving is the frame window's own: frozen or not
    QVERIFY(frame->engine().frozen());
    frame->action(id::FileSaveAs)->trigger();
    QVERIFY(QFile::exists(out));
    QCOMPARE(frame->document().pathName(), out);
    QVERIFY(frame->windowTitle().startsWith(QStringLiteral("saved.zvl")));
  }

  void propertiesDialogFormatsItsFields() {
    PropertiesRecord r;
    r.version = 8.1f;
    r.unitsPerPixel = 0.5f;
    r.levels = 3;
    r.pixelCount = 12345;
    r.frameCount = 40;
    r.areaWidth = 120;
    r.areaHeight = 80;
    r.bodyParts = 4;
    r.size = {10.0f, 2.5f, 7.25f};
    r.cpuType = 4;
    PropertiesDialog dialog(r);
    QCOMPARE(dialog.fieldText(QStringLiteral("Version")), QStringLiteral("8.10"));
    QCOMPARE(dialog.fieldText(QStringLiteral("UnitsPer3Dpixel")), QStringLiteral("0.500"));
    QCOMPARE(dialog.fieldText(QStringLiteral("LOD")), QStringLiteral("3"));
    QCOMPARE(dialog.fieldText(QStringLiteral("Number of 3D pixels")), QStringLiteral("12345"));
    QCOMPARE(dialog.fieldText(QStringLiteral("Pixel area")), QStringLiteral("(120,80)"));
    QCOMPARE(dialog.fieldText(QStringLiteral("Palette")), QStringLiteral("No"));
    QCOMPARE(dialog.fieldText(QStringLiteral("Size in 3D units")), QStringLiteral(" ( 10.00 ,2.50, 7.25 )"));
    QCOMPARE(dialog.fieldText(QStringLiteral("CPU Type")), QStringLiteral("Intel Pentium(r) Pro"));
  }
};

QTEST_MAIN(ZvPlayWindowTest)
#include "zvplay_window_qtest.moc"
