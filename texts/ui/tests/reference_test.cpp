// The reference dialogs (signs, houses, planets), the chart selection behind
// "Интерпретация", the details of a clicked object, "Изменить текст…" of a reference
// text, and F1 in the birth-data dialog.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include "chart/birth/dbirth_data.h"
#include "chart/ui/chart_window_hooks.h"
#include "chart/ui/dkart.h"
#include "common/codepage.h"
#include "common/ui/qt_text.h"
#include "texts/ui/chart_texts.h"
#include "texts/ui/entry_edit_window.h"
#include "texts/ui/reference_dialogs.h"
#include "texts/ui/tests/texts_ui_support.h"
#include "texts/ui/text_commands.h"
#include "texts/ui/text_view.h"
#include "texts/ui/text_windows.h"

namespace kv {
namespace {

// Bodies 20 degrees apart from 5 degrees on (the Sun in Aries), cusps every 30 degrees.
ChartRecord SampleChart(const char* name, uint8_t sex = 0) {
  ChartRecord rec = DefaultChartRecord();
  for (int i = 1; i <= kBodyCount; ++i) rec.lon[i] = 5.0 + 20.0 * (i - 1);
  for (int k = 0; k < 12; ++k) rec.lon[kFirstCusp + k] = 10.0 + 30.0 * k;
  rec.house_system = 3;
  rec.sex = sex;
  SetChartText(rec.name, W(name).c_str());
  return rec;
}

// The DText windows open now (without an MDI client they are windows of their own).
std::vector<DText*> TextWindows() { return test::OpenWindows<DText>(); }

// The lines a text window shows, in UTF-8, for messages and comparisons.
QStringList Shown(TextView* v) {
  QStringList out;
  for (const std::string& l : v->Lines()) out << FromCp1251(l);
  return out;
}

}  // namespace

class ReferenceTest : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    work_ = std::make_unique<test::ScratchWorkdir>();
    // No orb block: the charts paint with the built-in aspect colours.
    ChartWindowHooks hooks;
    hooks.wheel_settings = [] {
      WheelSettings ws;
      ws.orb_file = "none-such.ao";
      return ws;
    };
    old_hooks_ = SetChartWindowHooks(std::move(hooks));
    work_->Write866("zdp.csr", {"FILES=zdp2.csr", "@z05 * Лев", "Лев - пятый знак.", "@h00", "Дома вообще.",
                                "@h06", "Шестой дом.", "@p10", "Плутон.", "@p10z03", "Плутон в Близнецах.",
                                "@p15", "Лилит.", "@p15z01", "Лилит в Овне.", "@p01", "Солнце.",
                                "@z01", "Овен."});
    work_->Write866("zdp2.csr", {"@p10h04", "Плутон в четвёртом доме.", "@p01z01", "Солнце в Овне - общее.",
                                 "#М", "Для мужчины.", "#Ж", "Для женщины.", "#", "@p15h01", "Лилит в доме."});
  }
  void cleanup() {
    for (const auto& [n, k] : OpenCharts()) delete k;
    test::CloseAllWindows();
    SetChartWindowHooks(std::move(old_hooks_));
    work_.reset();
  }

  void signsDialogShowsTheSelectedSign() {
    DZH dialog(nullptr, ReferenceKind::kSigns);
    QCOMPARE(dialog.HelpKey(), std::string("HZ"));
    QCOMPARE(dialog.ControlAs<QLabel>(kIdIntroduction)->text(),
             QString::fromUtf8("Первая строка знаков.\nВторая строка знаков."));
    QCOMPARE(dialog.List()->count(), 12);
    dialog.List()->setCurrentRow(4);
    dialog.Command(kCmdShowText);
    QVERIFY(dialog.LastOpened());
    QCOMPARE(Shown(dialog.LastOpened()->View()),
             QStringList({"", QString::fromUtf8(" Лев"), "", QString::fromUtf8("Лев - пятый знак."), ""}));
    // No selection: nothing opens.
    const size_t before = TextWindows().size();
    dialog.List()->setCurrentRow(-1);
    dialog.Command(kCmdShowText);
    QCOMPARE(TextWindows().size(), before);
  }

  // "О домах" opens the text of houses in general whatever the selection.
  void aboutTheHousesIgnoresTheSelection() {
    DZH dialog(nullptr, ReferenceKind::kHouses);
    QCOMPARE(dialog.HelpKey(), std::string("HD"));
    dialog.List()->setCurrentRow(5);
    dialog.Command(kCmdAboutHouses);
    QVERIFY(Shown(dialog.LastOpened()->View()).contains(QString::fromUtf8("Дома вообще.")));
    dialog.Command(kCmdShowText);
    QVERIFY(Shown(dialog.LastOpened()->View()).contains(QString::fromUtf8("Шестой дом.")));
  }

  // The planets dialog answers for the Sun to Pluto; Lilith (and every body after
  // Pluto) opens nothing on any button.
  void planetsDialogKeepsToItsRange() {
    DPL dialog(nullptr);
    QCOMPARE(dialog.HelpKey(), std::string("DPL"));
    QCOMPARE(dialog.Planets()->count(), 16);
    for (int row : {14, 10}) {
      dialog.Planets()->setCurrentRow(row);
      for (int id : {kCmdShowText, kCmdAboutHouses, kCmdPlanetInHouse}) {
        dialog.Command(id);
        QVERIFY2(!dialog.LastOpened(), qPrintable(QString("planet row %1, button %2").arg(row).arg(id)));
      }
    }
    QVERIFY(TextWindows().empty());
    dialog.Planets()->setCurrentRow(9);
    dialog.Signs()->setCurrentRow(2);
    dialog.Houses()->setCurrentRow(3);
    dialog.Command(kCmdShowText);
    QVERIFY(Shown(dialog.LastOpened()->View()).contains(QString::fromUtf8("Плутон.")));
    dialog.Command(kCmdAboutHouses);
    QVERIFY(Shown(dialog.LastOpened()->View()).contains(QString::fromUtf8("Плутон в Близнецах.")));
    QCOMPARE(dialog.LastOpened()->windowTitle(), QString::fromUtf8("Плутон в Близнецах"));
    // The house text lies in the second file of the collection.
    dialog.Command(kCmdPlanetInHouse);
    QVERIFY(Shown(dialog.LastOpened()->View()).contains(QString::fromUtf8("Плутон в четвёртом доме.")));
    QCOMPARE(TextWindows().size(), size_t{3});
  }

  // Two open charts: "Интерпретация" asks which; with one left it takes that one
  // without asking; with none it says so.
  void interpretationChoosesAmongOpenCharts() {
    work_->Write866("kvinat.csr", {"@0", "Предисловие.", "@p01z01", "Солнце в Овне."});
    auto* first = new DKart(ChartCounter() + 1, SampleChart("Первый"));
    auto* second = new DKart(ChartCounter() + 1, SampleChart("Второй"));
    QStringList offered;
    bool asked = false;
    QTimer::singleShot(0, [&] {
      auto* d = qobject_cast<DChartChoice*>(QApplication::activeModalWidget());
      if (!d) return;
      asked = true;
      QCOMPARE(d->HelpKey(), std::string("VibKart"));
      for (int i = 0; i < d->List()->count(); ++i) offered << d->List()->item(i)->text();
      QCOMPARE(d->List()->currentRow(), 0);
      d->List()->setCurrentRow(1);
      d->Command(kCmdOk);
    });
    InterpretationCommand(nullptr);
    QVERIFY(asked);
    QCOMPARE(offered, QStringList({first->windowTitle(), second->windowTitle()}));
    std::vector<DText*> texts = TextWindows();
    QCOMPARE(texts.size(), size_t{1});
    QCOMPARE(texts[0]->windowTitle(), QString::fromUtf8("Интерпретация - ") + second->windowTitle());
    QVERIFY(Shown(texts[0]->View())[1].startsWith(QString::fromUtf8(" Натальная интерпретация: Второй, ")));
    QVERIFY(Shown(texts[0]->View()).contains(QString::fromUtf8("Солнце в Овне.")));

    // Cancel: no text.
    QTimer::singleShot(0, [] {
      if (auto* d = qobject_cast<Dial*>(QApplication::activeModalWidget())) d->Command(kCmdCancel);
    });
    InterpretationCommand(nullptr);
    QCOMPARE(TextWindows().size(), size_t{1});
    QVERIFY(test::Warnings().empty());

    delete second;
    bool asked_again = false;
    QTimer::singleShot(0, [&] {
      if (auto* d = qobject_cast<Dial*>(QApplication::activeModalWidget())) {
        asked_again = true;
        d->Command(kCmdCancel);
      }
    });
    InterpretationCommand(nullptr);
    QVERIFY(!asked_again);
    texts = TextWindows();
    QCOMPARE(texts.size(), size_t{2});
    int of_first = 0;
    for (DText* t : texts) of_first += Shown(t->View())[1].contains(QString::fromUtf8("Первый"));
    QCOMPARE(of_first, 1);

    delete first;
    InterpretationCommand(nullptr);
    QCOMPARE(test::Warnings(), std::vector<std::string>{W("Нет открытых карт.")});
  }

  // The details take the clicked chart's sex: a woman's chart shows the women's part.
  void detailsFollowTheChartsSex() {
    EText* woman = OpenDetails(SampleChart("Она", 1), WheelHit{HitKind::kBody, 1});
    QVERIFY(woman);
    QCOMPARE(woman->windowTitle(), QString::fromUtf8("Солнце"));
    const QStringList hers = Shown(woman->View());
    QVERIFY(hers.contains(QString::fromUtf8("Солнце.")));
    QVERIFY(hers.contains(QString::fromUtf8("Для женщины.")));
    QVERIFY(!hers.contains(QString::fromUtf8("Для мужчины.")));
    EText* man = OpenDetails(SampleChart("Он", 0), WheelHit{HitKind::kBody, 1});
    QVERIFY(Shown(man->View()).contains(QString::fromUtf8("Для мужчины.")));
    EText* sign = OpenDetails(SampleChart("Он"), WheelHit{HitKind::kSign, 1});
    QCOMPARE(sign->windowTitle(), QString::fromUtf8("Овен"));
    QVERIFY(Shown(sign->View()).contains(QString::fromUtf8("Овен.")));
    QVERIFY(!OpenDetails(SampleChart("Он"), WheelHit{}));
  }

  // "Изменить текст…" of a reference text edits the key the window shows, and the
  // window then shows the edited text.
  void editCommandEditsTheShownKey() {
    DPL dialog(nullptr);
    dialog.Planets()->setCurrentRow(9);
    dialog.Houses()->setCurrentRow(3);
    dialog.Command(kCmdPlanetInHouse);
    DText* text = dialog.LastOpened();
    QVERIFY(text);
    QString first_line;
    QTimer::singleShot(0, [&first_line] {
      auto* editor = qobject_cast<DFrm*>(QApplication::activeModalWidget());
      if (!editor) return;
      first_line = editor->Edit()->toPlainText().section('\n', 0, 0);
      editor->Edit()->moveCursor(QTextCursor::End);
      editor->Edit()->insertPlainText(QString::fromUtf8("\nДобавлено."));
      editor->Command(kCmdEditorSave);
      editor->Command(kCmdEditorClose);
    });
    text->Command(kCmdTextEditEntry);
    QCOMPARE(first_line, QStringLiteral("@p10h04"));
    const std::string second_file = work_->ReadBytes("zdp2.csr");
    QVERIFY(second_file.find(test::To866("Плутон в четвёртом доме.\nДобавлено.\n@p01z01")) != std::string::npos);
    QVERIFY(Shown(text->View()).contains(QString::fromUtf8("Добавлено.")));
    QVERIFY(test::Warnings().empty());
  }

  // F1 in a chart window opens its topic "K0t1".
  void f1InAChartWindow() {
    work_->Write866("kvima.lrn", {"@K0t1", "Окно карты"});
    DKart kart(ChartCounter() + 1, SampleChart("Карта"));
    kart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&kart));
    QTest::keyClick(&kart, Qt::Key_F1);
    std::vector<DHelp*> helps = test::OpenWindows<DHelp>();
    QCOMPARE(helps.size(), size_t{1});
    QCOMPARE(helps[0]->Topic(), std::string("K0t1"));
    QCOMPARE(Shown(helps[0]->View()), QStringList({QString::fromUtf8("Окно карты")}));
  }

  // F1 in the birth-data dialog opens its topic "VV"; the help window belongs to the
  // dialog while it is open.
  void f1InTheBirthDialogOpensItsTopic() {
    work_->Write866("kvima.lrn", {"@@birth.lrn", "@GenHelp", "Содержание"});
    work_->Write866("birth.lrn", {"@VV", "Окно «Данные пользователя»", "Имя, дата, время и место."});
    DBirthData dialog(nullptr, BirthValues{}, 2451545.0, "a");
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClick(dialog.ControlAs<QLineEdit>(kIdName), Qt::Key_F1);
    std::vector<DHelp*> helps = test::OpenWindows<DHelp>();
    QCOMPARE(helps.size(), size_t{1});
    QCOMPARE(helps[0]->Topic(), std::string("VV"));
    QCOMPARE(helps[0]->parentWidget(), &dialog);
    QVERIFY(Shown(helps[0]->View()).contains(QString::fromUtf8("Имя, дата, время и место.")));
    QCOMPARE(helps[0]->windowTitle(), QString::fromUtf8("Помощь: Окно «Данные пользователя»"));
  }

 private:
  std::unique_ptr<test::ScratchWorkdir> work_;
  ChartWindowHooks old_hooks_;
};

}  // namespace kv

QTEST_MAIN(kv::ReferenceTest)
#include "reference_test.moc"
