// The main frame offscreen: caption, menu bar, command states, window commands and
// the exit question.
#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QFile>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/settings/program_settings.h"
#include "app/ui/dcli.h"
#include "app/ui/dframe.h"
#include "app/ui/duapp.h"
#include "app/ui/qt_translations.h"
#include "common/codepage.h"
#include "common/messages.h"
#include "common/ui/dkerchild.h"
#include "common/ui/picture_export.h"

namespace kv {

static std::string g_warning;
static void CaptureWarning(const std::string& t) { g_warning = t; }

// Answers the next modal message box with the given button.
static void AnswerNextBox(QMessageBox::StandardButton button) {
  QTimer::singleShot(50, [button] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
      box->button(button)->click();
  });
}

class FrameTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QDir::setCurrent(dir_.path());
    QFile t("kvima.t");
    QVERIFY(t.open(QIODevice::WriteOnly));
    t.write(QByteArray::fromStdString(Utf8ToCp866("NoKr Нет открытых карт\n")));
    t.close();
    SetMessageSink({&CaptureWarning, &CaptureWarning});
    InstallResourceLookup();
    LoadProgramSettings(AppSettings(), Resources(), AppLists());
    app_.InitMainWindow();
    app_.Frame()->show();
  }

  void captionAndMenuBar() {
    QCOMPARE(app_.Frame()->windowTitle(), QString("Kvimarot"));
    QStringList texts;
    for (QAction* a : app_.Frame()->menuBar()->actions()) texts << a->text();
    QCOMPARE(texts, QStringList({"Гороскоп", "Интерпретация", "Символика", "Настройки", "Знаки",
                                 "Дома", "Планеты", "&База данных", "Окна", "Помощь", "Вы&ход"}));
  }

  // Without a window manager's decorations the frame is the client area itself.
  void frameCoversTheScreenLessTwentyFivePixels() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QTRY_COMPARE(app_.Frame()->frameGeometry(),
                 QRect(0, 0, screen.width(), screen.height() - 25));
  }

  void qtDialogsSpeakRussian() {
    QVERIFY2(InstallQtTranslations(qApp),
             "qtbase_ru.qm is missing (Debian package qt6-translations-l10n)");
    QVERIFY(QCoreApplication::translate("QColorDialog", "&Basic colors") != "&Basic colors");
    // The system menu of the chart and text windows.
    QVERIFY(QCoreApplication::translate("QMdiSubWindow", "&Close") != "&Close");
    QColorDialog colours;
    colours.setOption(QColorDialog::DontUseNativeDialog);
    colours.show();
    QVERIFY(QTest::qWaitForWindowExposed(&colours));
    QStringList words;
    for (auto* l : colours.findChildren<QLabel*>()) words << l->text();
    for (auto* b : colours.findChildren<QPushButton*>()) words << b->text();
    const QString all = words.join(' ');
    QVERIFY2(all.contains(QString::fromUtf8("Отмена")), qPrintable(all));
    QVERIFY2(!all.contains("Cancel") && !all.contains("Basic colors"), qPrintable(all));
    colours.grab().save(QCoreApplication::applicationDirPath() + "/colour_dialog_ru.png");
    QFileDialog files(nullptr, QString(), dir_.path());
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.show();
    QVERIFY(QTest::qWaitForWindowExposed(&files));
    QStringList labels;
    for (auto* l : files.findChildren<QLabel*>()) labels << l->text();
    QVERIFY2(!labels.join(' ').contains("Look in"), qPrintable(labels.join(' ')));
    files.grab().save(QCoreApplication::applicationDirPath() + "/file_dialog_ru.png");
  }

  void commandsWithoutHandlersAreDisabled() {
    QVERIFY(app_.Frame()->ActionFor(24361)->isEnabled());
    QVERIFY(app_.Frame()->ActionFor(24310)->isEnabled());
    QVERIFY(!app_.Frame()->ActionFor(405)->isEnabled());
    QVERIFY(app_.Frame()->ActionFor(307) != nullptr);
    bool called = false;
    app_.RegisterCommand(405, [&] { called = true; });
    QVERIFY(app_.Frame()->ActionFor(405)->isEnabled());
    app_.Frame()->ActionFor(405)->trigger();
    QVERIFY(called);
  }

  void interpretationWithoutChartsSaysNoKr() {
    app_.Command(901);
    QCOMPARE(QString::fromStdString(Cp1251ToUtf8(g_warning)), QString("Нет открытых карт"));
  }

  void windowCommandsArrangeAndCloseAll() {
    for (int i = 0; i < 3; ++i) {
      auto* child = new DKerChild(QString("child %1").arg(i), "", "");
      child->ShowIn(app_.Client());
    }
    QCOMPARE(app_.Client()->subWindowList().size(), 3);
    app_.Command(24362);  // tile: nothing maximised any more
    for (auto* sub : app_.Client()->subWindowList()) QVERIFY(!sub->isMaximized());
    app_.Command(24365);
    QTest::qWait(20);
    QCOMPARE(app_.Client()->subWindowList().size(), 0);
  }

  // Every child window saves its client area (3102) and copies it (2102): the picture
  // holds what the child paints, at the child's size.
  void childWindowsSaveAndCopyTheirPicture() {
    class Painted : public DKerChild {
     public:
      Painted() : DKerChild("painted", "", "") {}
     protected:
      void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        p.fillRect(0, 0, width() / 2, height(), Qt::blue);
      }
    };
    auto* child = new Painted;
    child->ShowIn(app_.Client());
    child->parentWidget()->resize(300, 200);
    QTest::qWait(20);
    QTimer::singleShot(0, [] {
      auto* d = qobject_cast<DSavePicture*>(QApplication::activeModalWidget());
      QVERIFY(d);
      d->ControlAs<QLineEdit>(kIdPictureName)->setText("child");
      d->ControlAs<QRadioButton>(kIdPictureBmp)->setChecked(true);
      d->Command(kCmdOk);
    });
    child->Command(kCmdSavePicture);
    const QImage saved(dir_.filePath("child.bmp"));
    QCOMPARE(saved.size(), child->size());
    QCOMPARE(saved.pixelColor(2, 2), QColor(Qt::blue));
    QCOMPARE(saved.pixelColor(child->width() - 3, 2), QColor(Qt::white));
    child->Command(kCmdCopyPicture);
    QCOMPARE(QApplication::clipboard()->image().size(), child->size());
    app_.Command(24365);
    QTest::qWait(20);
  }

  void answeringNoKeepsTheFrameButSavesSettings() {
    QFile::remove("kvi.ini");
    AnswerNextBox(QMessageBox::No);
    app_.Command(24310);
    QVERIFY(app_.Frame()->isVisible());
    QVERIFY(QFile::exists("kvi.ini"));
  }

  void answeringYesClosesAndCleansUp() {
    AppSettings().ov[kOptCleanupAtExit] = 1;
    QFile f("old.tmp");
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    AnswerNextBox(QMessageBox::Yes);
    app_.Command(24310);
    QVERIFY(!app_.Frame()->isVisible());
    QVERIFY(!QFile::exists("old.tmp"));
  }

 private:
  QTemporaryDir dir_;
  DUApp app_;
};

}  // namespace kv

QTEST_MAIN(kv::FrameTest)
#include "frame_test.moc"
