// The main frame offscreen: caption, menu bar, command states, window commands and
// the exit question.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/settings/program_settings.h"
#include "app/ui/dcli.h"
#include "app/ui/dframe.h"
#include "app/ui/dkerchild.h"
#include "app/ui/duapp.h"
#include "common/codepage.h"
#include "common/messages.h"

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
                                 "Дома", "Планеты", "База данных", "Окна", "Помощь", "Вы&ход"}));
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
