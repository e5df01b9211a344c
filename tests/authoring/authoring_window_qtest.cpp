// The Import sheet and its dialogs under the offscreen platform: initial
// states and enabling rules, the UnitsDialog's character rule, Apply on the
// About page, and a whole conversion through the ZorvelizationDialog.
#include "authoring/dialogs.h"
#include "authoring/import_sheet.h"
#include "authoring/prompts.h"
#include "tests/authoring/test_support.h"
#include "zvlfile/zvlfile.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QElapsedTimer>
#include <QToolButton>

#include <atomic>
#include <filesystem>
#include <thread>

using namespace authoring;

class AuthoringWindowTest : public QObject {
  Q_OBJECT

 private:
  template <class T>
  static T* Child(QWidget* parent, int id) {
    return parent->findChild<T*>(QStringLiteral("id%1").arg(id));
  }

  ShellPrompts saved_;
  int saveCalls_ = 0;
  QString savePath_;
  QStringList messages_;

 private slots:
  void init() {
    saved_ = Prompts();
    saveCalls_ = 0;
    messages_.clear();
    Prompts().saveFile = [this](QWidget*, const QString&, const QString&) {
      ++saveCalls_;
      return savePath_;
    };
    Prompts().askUnits = [](QWidget*, float& units) {
      units = 0.05f;
      return true;
    };
    Prompts().message = [this](QWidget*, MessageKind, const QString& text) { messages_ << text; };
  }
  void cleanup() { Prompts() = saved_; }

  void pagesStartAsTheTemplatesSay() {
    ImportSheet sheet(QStringLiteral("/start"));
    QCOMPARE(sheet.windowTitle(), QStringLiteral("Import"));
    QCOMPARE(sheet.tabs()->count(), 4);
    QCOMPARE(sheet.tabs()->tabText(0), QStringLiteral("3d Studio"));
    QCOMPARE(sheet.tabs()->tabText(3), QStringLiteral("About"));
    QWidget* page = sheet.page3ds();
    for (int id : {1010, 1011, 1012, 1033}) QVERIFY(Child<QCheckBox>(page, id)->isChecked());
    QCOMPARE(Child<QSpinBox>(page, 1014)->value(), 16);
    QCOMPARE(Child<QSpinBox>(page, 1014)->maximum(), 255);
    QCOMPARE(Child<QSpinBox>(page, 1015)->value(), 245);
    QCOMPARE(Child<QSpinBox>(page, 1020)->value(), 1);
    QCOMPARE(Child<QSpinBox>(page, 1020)->maximum(), 16);
    QCOMPARE(Child<QLineEdit>(page, 1031)->text(), QStringLiteral("/start/main_p6.act"));
    QVERIFY(Child<QRadioButton>(page, 1056)->isChecked());
    QVERIFY(!Child<QLineEdit>(page, 1058)->isEnabled());
    QVERIFY(!Child<QToolButton>(page, 1059)->isEnabled());
    Child<QRadioButton>(page, 1057)->setChecked(true);
    QVERIFY(Child<QLineEdit>(page, 1058)->isEnabled());
    QVERIFY(Child<QToolButton>(page, 1059)->isEnabled());
    QVERIFY(!sheet.page3ds()->fields().animationFromScene);
    Child<QRadioButton>(page, 1056)->setChecked(true);
    QVERIFY(!Child<QLineEdit>(page, 1058)->isEnabled());
    // Browsing for the materials folder keeps the folder of the chosen file.
    Prompts().openFile = [](QWidget*, const QString&, const QString&) { return QStringLiteral("/maps/wood.bmp"); };
    Child<QToolButton>(page, 1003)->click();
    QCOMPARE(Child<QLineEdit>(page, 1002)->text(), QStringLiteral("/maps/"));
    Prompts().openFile = [](QWidget*, const QString&, const QString&) { return QStringLiteral("/a/anim_mill"); };
    Child<QToolButton>(sheet.pageRtg(), 1038)->click();
    QCOMPARE(Child<QLineEdit>(sheet.pageRtg(), 1037)->text(), QStringLiteral("/a/anim"));
  }

  void unitsDialogRefusesWhatIsNotAPositiveNumber() {
    UnitsDialog dialog(2.0f);
    QLineEdit* edit = dialog.edit();
    QCOMPARE(edit->text(), QStringLiteral("2.000000"));
    edit->setText(QStringLiteral("1.5"));
    QCOMPARE(dialog.value(), 1.5f);
    edit->setText(QStringLiteral("abc"));
    QCOMPARE(edit->text(), QStringLiteral("1.500000"));
    edit->setText(QStringLiteral("0"));
    QCOMPARE(edit->text(), QStringLiteral("1.500000"));
    edit->setText(QStringLiteral("1e2"));
    QCOMPARE(edit->text(), QStringLiteral("1.500000"));
    QCOMPARE(dialog.value(), 1.5f);
  }

  void orientationIsKeptWhateverCloses() {
    OrientationDialog dialog(0);
    dialog.findChild<QRadioButton*>(QStringLiteral("id1080"))->setChecked(true);
    dialog.reject();
    QCOMPARE(dialog.code(), 1);
  }

  void applyOnTheAboutPageConvertsNothing() {
    ImportSheet sheet(QString::fromStdString(authoring_test::SampleDir()));
    Child<QLineEdit>(sheet.page3ds(), 1000)->setText(
        QString::fromStdString(authoring_test::WindmillFields(ImportKind::Studio3ds).scenePath));
    sheet.tabs()->setCurrentIndex(3);
    QVERIFY(sheet.applyButton()->isEnabled());
    sheet.applyButton()->click();
    QCOMPARE(saveCalls_, 0);
    QCOMPARE(sheet.page3ds()->conversionsRun(), 0);
  }

  void applyConvertsTheActivePageOnItsThread() {
    authoring_test::TempFolder folder;
    savePath_ = QString::fromStdString(folder.Path("windmill"));  // no dot: ".zvl" is appended
    ImportSheet sheet(QString::fromStdString(authoring_test::SampleDir()));
    sheet.show();
    Child<QLineEdit>(sheet.page3ds(), 1000)->setText(
        QString::fromStdString(authoring_test::WindmillFields(ImportKind::Studio3ds).scenePath));
    Child<QSpinBox>(sheet.page3ds(), 1020)->setValue(2);
    sheet.tabs()->setCurrentIndex(0);
    sheet.applyButton()->click();  // runs the ZorvelizationDialog until the thread ends
    QCOMPARE(saveCalls_, 1);
    QVERIFY2(messages_.isEmpty(), qPrintable(messages_.join(QStringLiteral("; "))));
    QCOMPARE(sheet.page3ds()->conversionsRun(), 1);
    QVERIFY(sheet.isVisible());
    ZvlDatabasePtr db(ZvlReadDatabaseFile(folder.Path("windmill.zvl").c_str()));
    QVERIFY(db);
    QCOMPARE(db->objectCount, 3);
  }

  void cancelClosesTheDialogWhenTheThreadEnds() {
    ProgressMonitor monitor;
    std::atomic<int> stop{0};
    std::atomic<bool> started{false};
    ZorvelizationDialog dialog(
        monitor,
        [&] {
          started = true;
          monitor.Stage(100, "Zorvel generation : tower");
          while (!stop.load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        },
        [&] { stop = 1; });
    QTimer::singleShot(0, &dialog, [&] {
      QTRY_VERIFY(started.load());
      QTRY_COMPARE(dialog.stepText(), QStringLiteral("Zorvel generation : tower"));
      dialog.cancelButton()->click();
    });
    QElapsedTimer clock;
    clock.start();
    dialog.exec();
    QVERIFY(stop.load());
    QVERIFY(clock.elapsed() < 5000);
  }
};

QTEST_MAIN(AuthoringWindowTest)
#include "authoring_window_qtest.moc"
