// The converter's window under the offscreen platform: its caption, size and
// menus, a conversion started from the menu with the file dialog answered,
// the log drawn line by line, the help boxes, and the error box that ends
// the program.
#include "tests/vox2zvl/voxwriter.h"
#include "vox2zvl/mainwindow.h"
#include "vox2zvl/messages.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <functional>

using vox2zvl::ConverterWindow;
namespace msg = vox2zvl::msg;

namespace {

// Answers the next modal window (file dialog or message box) once it is up.
void AnswerNextModal(std::function<void(QWidget*)> answer) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, answer] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    timer->stop();
    timer->deleteLater();
    answer(modal);
  });
  timer->start();
}

struct BoxSeen {
  QString title, text;
};

// Closes the next message box, remembering its caption and text.
void CloseNextBox(BoxSeen& seen) {
  AnswerNextModal([&seen](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    QVERIFY(box);
    seen.title = box->windowTitle();
    seen.text = box->text();
    box->done(QMessageBox::Ok);
  });
}

QAction* MenuAction(ConverterWindow& window, const char* menu, const char* item) {
  for (QAction* top : window.menuBar()->actions())
    if (top->text() == QString::fromUtf8(menu) && top->menu())
      for (QAction* action : top->menu()->actions())
        if (action->text() == QString::fromUtf8(item)) return action;
  return nullptr;
}

void WriteFile(const QString& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path.toStdString(), std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Whether any pixel of the rows top .. top + height - 1 is not white.
bool HasInk(const QImage& image, int top, int height) {
  for (int y = top; y < top + height && y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y) != QColor(Qt::white)) return true;
  return false;
}

}  // namespace

class ConverterWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void windowHasItsCaptionSizeAndMenus() {
    ConverterWindow window;
    window.show();
    QCOMPARE(window.windowTitle(), QString("ZORVEL CONVERTER"));
    QCOMPARE(window.size(), QSize(640, 480));
    QCOMPARE(window.objectName(), QString("Vox2zvl"));
    QVERIFY(MenuAction(window, "&File", "&Convert"));
    QVERIFY(MenuAction(window, "&File", "&Exit"));
    QVERIFY(MenuAction(window, "&Help", "&How to use converter"));
    QVERIFY(MenuAction(window, "&Help", "&About converter"));
    const QImage blank = window.logView()->grab().toImage();
    QVERIFY(!HasInk(blank, 0, blank.height()));
  }

  void convertFromTheMenuDrawsTheLog() {
    QTemporaryDir dir;
    const QString input = dir.filePath("sample.vox");
    WriteFile(input, voxtest::WriteVox(voxtest::SampleScene()));

    ConverterWindow window;
    window.show();
    QSignalSpy failed(&window, &ConverterWindow::fatalError);
    bool dialogSeen = false;
    AnswerNextModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      QVERIFY(dialog);
      dialogSeen = true;
      QVERIFY(dialog->nameFilters().join(";").contains("*.vox"));
      dialog->selectFile(input);
      QMetaObject::invokeMethod(dialog, "accept");
    });
    MenuAction(window, "&File", "&Convert")->trigger();
    QVERIFY(dialogSeen);
    QCOMPARE(failed.count(), 0);

    const std::vector<std::string> expected = {"Converting file " + input.toStdString() + " to ZVL format",
                                               "File version: 5",
                                               "Scene name: Sample",
                                               "Palette: sample.act",
                                               "Geometry: 2 objects",
                                               "Animation: 24 frames",
                                               "Animation attached successfully",
                                               "Saving ZVL file",
                                               "Conversion completed"};
    QCOMPARE(window.log().lines(), expected);
    QVERIFY(QFileInfo::exists(dir.filePath("sample.ZVL")));

    // Each line is drawn 18 pixels below the one before, from y = 10, x = 10.
    const QImage image = window.logView()->grab().toImage();
    QVERIFY(!HasInk(image, 0, 10));
    for (int line = 0; line < int(expected.size()); ++line) QVERIFY2(HasInk(image, 10 + 18 * line, 18), "line drawn");
    QVERIFY(!HasInk(image, 10 + 18 * int(expected.size()), image.height()));
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < 9; ++x) QCOMPARE(image.pixelColor(x, y), QColor(Qt::white));

    // A second conversion starts a new log.
    QVERIFY(window.convert(input));
    QCOMPARE(window.log().lines().size(), expected.size());
  }

  void anErrorIsShownInTheErrorBoxAndEndsTheProgram() {
    QTemporaryDir dir;
    voxtest::VoxFile file = voxtest::SampleScene();
    file.version = 4;
    const QString input = dir.filePath("old.vox");
    WriteFile(input, voxtest::WriteVox(file));

    ConverterWindow window;
    window.show();
    QSignalSpy failed(&window, &ConverterWindow::fatalError);
    BoxSeen seen;
    CloseNextBox(seen);
    QVERIFY(!window.convert(input));
    QCOMPARE(seen.title, QString("ERROR"));
    QCOMPARE(seen.text, QString("File version is obsolete"));
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.first().first().toString(), QString("File version is obsolete"));
    QVERIFY(!QFileInfo::exists(dir.filePath("old.ZVL")));
  }

  void helpItemsShowTheirBoxes() {
    ConverterWindow window;
    window.show();
    BoxSeen howTo;
    CloseNextBox(howTo);
    MenuAction(window, "&Help", "&How to use converter")->trigger();
    QCOMPARE(howTo.title, QString("Converting files"));
    QCOMPARE(howTo.text, QString("To convert VOX-file to ZVL-file\nselect File-Convert menu item\nthan choose VOX_file"));

    BoxSeen about;
    CloseNextBox(about);
    MenuAction(window, "&Help", "&About converter")->trigger();
    QCOMPARE(about.title, QString("About"));
    QVERIFY(about.text.contains("Vox2zvl"));
    QVERIFY(about.text.contains("Version 1.0"));
  }

  void exitClosesTheWindow() {
    ConverterWindow window;
    window.show();
    QVERIFY(window.isVisible());
    MenuAction(window, "&File", "&Exit")->trigger();
    QVERIFY(!window.isVisible());
  }
};

QTEST_MAIN(ConverterWindowTest)
#include "vox2zvl_gui_test.moc"
