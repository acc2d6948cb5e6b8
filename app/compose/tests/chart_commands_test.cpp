// The program composed as its main composes it, offscreen, in a fresh working
// directory: the context menu of a chart window opens the analysis and the natal
// interpretation, and "Записать в базу данных" adds the chart's card to the current
// person database.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <vector>

#include "app/compose/compose.h"
#include "app/settings/program_settings.h"
#include "app/ui/dcli.h"
#include "app/ui/dframe.h"
#include "app/ui/duapp.h"
#include "chart/calc/chart_calc.h"
#include "chart/ui/dkart.h"
#include "chart/ui/open_chart.h"
#include "common/codepage.h"
#include "common/messages.h"
#include "common/tests/russian_locale.h"
#include "db/schema/schema.h"
#include "db/ui/card_fields.h"
#include "db/ui/card_store.h"
#include "texts/ui/dank.h"
#include "texts/ui/text_view.h"
#include "texts/ui/text_windows.h"

namespace kv {
namespace {

std::vector<std::string> g_warnings;
void CaptureWarning(const std::string& text) { g_warnings.push_back(text); }
// The messages shown so far, for a failure's report.
QByteArray Warnings() {
  std::string all;
  for (const std::string& w : g_warnings) all += Cp1251ToUtf8(w) + "; ";
  return QByteArray::fromStdString(all);
}

constexpr const char* kDatabase = "persons";

// Picks the item of the window's context menu with this caption, as a user does.
void ChooseFromContextMenu(QWidget* window, const QString& caption) {
  auto found = std::make_shared<bool>(false);
  QTimer::singleShot(0, [found, caption] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return;
    for (QAction* a : menu->actions())
      if (a->text() == caption) {
        *found = true;
        menu->close();
        a->trigger();
        return;
      }
    menu->close();
  });
  QContextMenuEvent e(QContextMenuEvent::Mouse, window->rect().center(),
                      window->mapToGlobal(window->rect().center()));
  QApplication::sendEvent(window, &e);
  QVERIFY2(*found, qPrintable(caption));
}

template <class W>
std::vector<W*> Windows(QMdiArea* area) {
  std::vector<W*> found;
  for (QMdiSubWindow* s : area->subWindowList())
    if (auto* w = qobject_cast<W*>(s->widget())) found.push_back(w);
  return found;
}

}  // namespace

class ChartCommandsTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;
  DUApp app_;
  DKart* kart_ = nullptr;

  QMdiArea* Client() { return app_.Client(); }

 private slots:
  void initTestCase() {
    // The run in the users' locale must really have its decimal comma.
    if (qEnvironmentVariableIsSet("KV_REQUIRE_DECIMAL_COMMA")) QVERIFY(testing::DecimalCommaInForce());
    QVERIFY(dir_.isValid());
    // Everything the program reads, but a settings file and databases of its own.
    const QDir built(QStringLiteral(KV_WORKDIR));
    for (const QString& f :
         built.entryList({"*.t", "*.ao", "*.ctl", "*.ttf", "*.csr", "*.lrn", "*.bmp"}, QDir::Files))
      QVERIFY(QFile::copy(built.filePath(f), dir_.filePath(f)));
    QFile sample(QStringLiteral(KV_TEST_DATA "/kvi.ini"));
    QVERIFY(sample.open(QIODevice::ReadOnly));
    std::string ini = Utf8ToCp1251(sample.readAll().toStdString());
    const size_t basa = ini.find("BASA=a\n");
    QVERIFY(basa != std::string::npos);
    ini.replace(basa, 7, std::string("BASA=") + kDatabase + "\n");
    QFile settings(dir_.filePath("kvi.ini"));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write(ini.data(), static_cast<qint64>(ini.size()));
    settings.close();
    QDir::setCurrent(dir_.path());

    // As the program's main does, with the messages caught instead of shown.
    SetMessageSink({&CaptureWarning, &CaptureWarning});
    InstallResourceLookup();
    SetSchemaLoader([] { db::LoadSchema(); });
    LoadProgramSettings(AppSettings(), Resources(), AppLists());
    app_.InitMainWindow();
    ComposeMainWindow(app_);
    app_.Frame()->resize(1000, 760);
    app_.Frame()->show();
    QVERIFY(QTest::qWaitForWindowExposed(app_.Frame()));
    QCOMPARE(AppSettings().database, std::string(kDatabase));
    QVERIFY2(g_warnings.empty(), Warnings().constData());

    QVERIFY(cards::CreateDatabase(kDatabase).ok());
    QCOMPARE(cards::LoadCatalogue(kDatabase).rows.size(), size_t(0));

    // The start-up chart, calculated as the birth-data command does.
    ChartRecord rec = StartupChart();
    QCOMPARE(CalculateChart(rec, &StartupChart(), kNatalChart, ChartOptionsFrom(AppSettings())), 0);
    kart_ = OpenChartWindow(rec);
    QVERIFY(kart_);
    QCOMPARE(Client()->subWindowList().size(), 1);
  }

  void analysisOpensOnTheChart() {
    ChooseFromContextMenu(kart_, QString::fromUtf8("Анализ"));
    const std::vector<DAnk*> ank = Windows<DAnk>(Client());
    QCOMPARE(ank.size(), size_t(1));
    QCOMPARE(ank[0]->windowTitle(), kart_->windowTitle() + QString::fromUtf8(" - Анализ"));
    QVERIFY(ank[0]->windowTitle().startsWith(QString::fromUtf8("Карта ")));
    // A copy of the window's chart, not the start-up record before calculation.
    // The record is packed: its doubles are copied out before they are compared.
    for (int body = 1; body <= 10; ++body) {
      const double shown = ank[0]->Chart().lon[body], own = kart_->Chart().lon[body];
      QCOMPARE(shown, own);
    }
    const double sun = ank[0]->Chart().lon[1];
    QVERIFY(sun != 0.0);
    QVERIFY2(g_warnings.empty(), Warnings().constData());
  }

  void interpretationOpensATextWindow() {
    ChooseFromContextMenu(kart_, QString::fromUtf8("Интерпретация"));
    const std::vector<DText*> texts = Windows<DText>(Client());
    QCOMPARE(texts.size(), size_t(1));
    QCOMPARE(texts[0]->windowTitle(), QString::fromUtf8("Интерпретация - ") + kart_->windowTitle());
    // The text written for this chart, in the working directory, headed by its name.
    TextView* view = texts[0]->View();
    QCOMPARE(QFileInfo(QString::fromStdString(view->File().string())).absolutePath(),
             QFileInfo(dir_.path()).absoluteFilePath());
    const std::vector<std::string>& lines = view->Lines();
    QVERIFY(lines.size() > 20);
    bool named = false;
    for (size_t i = 0; i < 5 && i < lines.size(); ++i)
      named = named || lines[i].find(W("Пример")) != std::string::npos;
    QVERIFY(named);
    QVERIFY2(g_warnings.empty(), Warnings().constData());
  }

  void storeCardAddsTheChartToTheDatabase() {
    const qint64 before = QFileInfo(QString(kDatabase) + ".bod").size();
    // The note that the card was written comes up once the menu has gone.
    QString note;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        note = box->text();
        box->accept();
      }
    });
    poll.start(20);
    ChooseFromContextMenu(kart_, QString::fromUtf8("Записать в базу данных"));
    poll.stop();
    QVERIFY2(note.contains(QString::fromUtf8("Пример")), qPrintable(note));
    QVERIFY(QFileInfo(QString(kDatabase) + ".bod").size() > before);

    const cards::Catalogue catalogue = cards::LoadCatalogue(kDatabase);
    QCOMPARE(catalogue.rows.size(), size_t(1));
    db::FieldArray card;
    QCOMPARE(int(cards::ReadCard(kDatabase, catalogue.rows[0].key, card)), int(cards::Outcome::kDone));
    QCOMPARE(card[cards::kFieldName], W("Пример"));
    QCOMPARE(card[cards::kFieldDate], std::string("05.03.1961"));
    QCOMPARE(card[cards::kFieldTime], std::string("14:07:00"));
    QCOMPARE(card[cards::kFieldLatitude], std::string("55.45"));
    QCOMPARE(card[cards::kFieldLongitude], std::string("37.37"));
    QCOMPARE(card[cards::kFieldTown], W("МОСКВА"));
    QVERIFY2(g_warnings.empty(), Warnings().constData());
  }

  void cleanupTestCase() {
    for (QMdiSubWindow* s : Client()->subWindowList()) delete s;
  }
};

}  // namespace kv

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  kv::ChartCommandsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "chart_commands_test.moc"
