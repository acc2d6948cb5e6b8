// The text and help windows: what they show of a line with an "@@" trailer and what
// they print, copy, export and hand to an external editor; the file read again when
// it changes; the help links (their colour, the topic limit, a click opening the
// topic); Esc and F1; the font dialog; printing into a PDF without a printer.
#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <thread>

#include "common/codepage.h"
#include "common/ui/qt_text.h"
#include "texts/ui/tests/texts_ui_support.h"
#include "texts/ui/text_commands.h"
#include "texts/ui/text_view.h"
#include "texts/ui/text_windows.h"

namespace kv {
namespace {

// A paint device that keeps the texts drawn on it, page by page, with their positions.
struct DrawnText {
  int page;
  QPointF at;  // the baseline
  QString text;
  qreal descent;
};

class RecordingEngine : public QPaintEngine {
 public:
  RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
  bool begin(QPaintDevice*) override { return true; }
  bool end() override { return true; }
  void updateState(const QPaintEngineState&) override {}
  void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
  void drawTextItem(const QPointF& p, const QTextItem& item) override {
    drawn.push_back({page, p, item.text(), QFontMetricsF(item.font(), paintDevice()).descent()});
  }
  Type type() const override { return QPaintEngine::User; }
  std::vector<DrawnText> drawn;
  int page = 0;
};

class RecordingDevice : public QPaintDevice {
 public:
  RecordingDevice(int w, int h) : w_(w), h_(h) {}
  QPaintEngine* paintEngine() const override { return &engine_; }
  RecordingEngine& Engine() const { return engine_; }

 protected:
  int metric(PaintDeviceMetric m) const override {
    switch (m) {
      case PdmWidth: return w_;
      case PdmHeight: return h_;
      case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return 300;
      case PdmDepth: return 24;
      case PdmDevicePixelRatio: return 1;
      case PdmDevicePixelRatioScaled: return 1 * QPaintDevice::devicePixelRatioFScale();
      default: return 1000;
    }
  }

 private:
  int w_, h_;
  mutable RecordingEngine engine_;
};

QImage Picture(TextView* view) {
  view->viewport()->repaint();
  return view->viewport()->grab().toImage();
}

// Pixels of one colour inside a rectangle of the picture.
int CountColour(const QImage& img, const QRect& r, QRgb c) {
  int n = 0;
  for (int y = std::max(0, r.top()); y <= std::min(img.height() - 1, r.bottom()); ++y)
    for (int x = std::max(0, r.left()); x <= std::min(img.width() - 1, r.right()); ++x)
      if ((img.pixel(x, y) & 0xFFFFFF) == (c & 0xFFFFFF)) ++n;
  return n;
}

// Horizontal range of the pixels of a colour, or (-1, -1).
std::pair<int, int> ColumnsOf(const QImage& img, QRgb c) {
  int lo = -1, hi = -1;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if ((img.pixel(x, y) & 0xFFFFFF) == (c & 0xFFFFFF)) {
        if (lo < 0 || x < lo) lo = x;
        hi = std::max(hi, x);
      }
  return {lo, hi};
}

}  // namespace

class TextWindowsTest : public QObject {
  Q_OBJECT
 private slots:
  void init() { work_ = std::make_unique<test::ScratchWorkdir>(); }
  void cleanup() {
    test::CloseAllWindows();
    work_.reset();
  }

  // A line "text@@trailer" shows, prints, copies, exports and goes to the editor as
  // "text" alone.
  void trailerNeverLeavesTheWindow() {
    work_->Write1251("shown.tmp", {"", " Заголовок", "", "Видно@@скрыто", "Вторая строка"});
    work_->Write1251("plain.tmp", {"", " Заголовок", "", "Видно", "Вторая строка"});
    DText shown(QStringLiteral("shown"), *work_ / "shown.tmp");
    DText plain(QStringLiteral("plain"), *work_ / "plain.tmp");
    for (DText* t : {&shown, &plain}) {
      t->resize(500, 200);
      t->show();
    }
    QVERIFY(QTest::qWaitForWindowExposed(&shown));
    QCOMPARE(Picture(shown.View()), Picture(plain.View()));

    // Print: every line once, in order, never the trailer.
    RecordingDevice page(2400, 3400);
    QPainter p(&page);
    PrintTextPages(p, 2400, 3400, shown.View()->Lines(), "DejaVu Sans Mono", [] { return true; });
    p.end();
    QStringList printed;  // empty lines draw nothing
    for (const auto& d : page.Engine().drawn) printed << d.text.trimmed();
    QCOMPARE(printed, QStringList({QString::fromUtf8("Заголовок"), QString::fromUtf8("Видно"),
                                   QString::fromUtf8("Вторая строка")}));

    shown.Command(kCmdTextCopy);
    QCOMPARE(QApplication::clipboard()->text(),
             QString::fromUtf8("\r\n Заголовок\r\n\r\nВидно\r\nВторая строка\r\n"));

    work_->save_answer = QString::fromStdString((*work_ / "saved.txt").string());
    shown.Command(kCmdTextSave);
    QCOMPARE(work_->save_caption, QString::fromUtf8("Введи имя файла"));
    QCOMPARE(work_->save_filters, QString::fromUtf8("Текстовые (*.txt);;Все файлы (*.*)"));
    QCOMPARE(work_->ReadBytes("saved.txt"), W("\n Заголовок\n\nВидно\nВторая строка\n"));
  }

  // Long texts go on over pages: every line once, top to bottom within the page,
  // never below it, about 72 lines a page.
  void printingGoesOnPageAfterPage() {
    std::vector<std::string> lines;
    for (int i = 0; i < 150; ++i) lines.push_back("line " + std::to_string(i));
    const int w = 2400, h = 3400;
    RecordingDevice device(w, h);
    QPainter p(&device);
    RecordingEngine& engine = device.Engine();
    const int pages = PrintTextPages(p, w, h, lines, "DejaVu Sans Mono", [&engine] {
      ++engine.page;
      return true;
    });
    p.end();
    QCOMPARE(pages, 3);
    QCOMPARE(engine.drawn.size(), lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
      const DrawnText& d = engine.drawn[i];
      QCOMPARE(d.text, QString::fromStdString(lines[i]));
      QVERIFY(d.at.y() + d.descent <= h);  // the whole line lies on the page
      if (i > 0 && engine.drawn[i - 1].page == d.page) QVERIFY(d.at.y() > engine.drawn[i - 1].at.y());
    }
    int on_first = 0;
    for (const auto& d : engine.drawn) on_first += d.page == 0;
    QVERIFY(on_first >= 70 && on_first <= 73);
    // The left edge is three character widths in.
    QCOMPARE(static_cast<int>(engine.drawn[0].at.x()), (w * 18 / 2000) * 3);
  }

  // Without a printer the text goes into the PDF file chosen, and the user is told where.
  void printingWithoutPrinterWritesThePdfChosen() {
    work_->Write1251("kvt0007.tmp", {"", " Заголовок", "", "Строка"});
    DText text(QStringLiteral("t"), *work_ / "kvt0007.tmp");
    const QString pdf = QString::fromStdString((*work_ / "chosen").string());
    work_->save_answer = pdf;
    text.Command(kCmdTextPrint);
    QVERIFY(work_->save_preset.endsWith(QStringLiteral("kvt0007.pdf")));
    const std::string bytes = work_->ReadBytes(*work_ / "chosen.pdf");
    QVERIFY(bytes.rfind("%PDF", 0) == 0);
    QCOMPARE(test::Notices().size(), size_t{1});
    QVERIFY(test::Notices()[0].find("chosen.pdf") != std::string::npos);
    // Cancelling the dialog prints nothing.
    work_->save_answer.clear();
    text.Command(kCmdTextPrint);
    QCOMPARE(test::Notices().size(), size_t{1});
  }

  // The editor gets a copy beside the shown file; "WINWORD.EXE" in any case in any
  // folder gets the word-processor form. It is started without waiting.
  void externalEditorGetsTheCopy() {
    work_->Write1251("kvt0003.tmp", {"Первая строка абзаца", "вторая строка@@след", " Новый абзац"});
    const std::filesystem::path marker = *work_ / "started";
    const std::filesystem::path editor = *work_ / "WINWORD.EXE";
    work_->WriteBytes("WINWORD.EXE", "#!/bin/sh\necho \"$1\" > '" + marker.string() + "'\n");
    std::filesystem::permissions(editor, std::filesystem::perms::owner_all);
    work_->settings.editor_path = editor.string();
    DText text(QStringLiteral("t"), *work_ / "kvt0003.tmp");
    text.Command(kCmdTextEditor);
    QCOMPARE(work_->ReadBytes("kvt0003.txt"), W("Первая строка абзаца вторая строка \n Новый абзац "));
    QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(marker) && !work_->ReadBytes(marker).empty(), 5000);
    QCOMPARE(work_->ReadBytes(marker), (*work_ / "kvt0003.txt").string() + "\n");

    // Any other editor: every line followed by a blank and a line feed.
    const std::filesystem::path other = *work_ / "gedit";
    work_->WriteBytes("gedit", "#!/bin/sh\n");
    std::filesystem::permissions(other, std::filesystem::perms::owner_all);
    work_->settings.editor_path = other.string();
    text.Command(kCmdTextEditor);
    QCOMPARE(work_->ReadBytes("kvt0003.txt"), W("Первая строка абзаца \nвторая строка \n Новый абзац \n"));
  }

  void missingEditorWritesNothing() {
    work_->Write1251("kvt0004.tmp", {"Строка"});
    work_->settings.editor_path = (*work_ / "no-such-editor").string();
    DText text(QStringLiteral("t"), *work_ / "kvt0004.tmp");
    text.Command(kCmdTextEditor);
    QVERIFY(!std::filesystem::exists(*work_ / "kvt0004.txt"));
    QCOMPARE(test::Warnings().size(), size_t{1});
    QVERIFY(test::Warnings()[0].find("no-such-editor") != std::string::npos);
  }

  // The window shows what its file holds now; a file that went away empties it and
  // is reported once.
  void theFileIsReadAgainWhenItChanges() {
    work_->Write1251("kvt0005.tmp", {"Один"});
    DText text(QStringLiteral("t"), *work_ / "kvt0005.tmp");
    text.resize(400, 200);
    text.show();
    QCOMPARE(text.View()->Lines(), std::vector<std::string>{W("Один")});
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // a newer file time
    work_->Write1251("kvt0005.tmp", {"Один", "Два", "Три"});
    QCOMPARE(text.View()->Lines().size(), size_t{3});
    std::filesystem::remove(*work_ / "kvt0005.tmp");
    Picture(text.View());
    Picture(text.View());
    QVERIFY(text.View()->Lines().empty());
    QTRY_COMPARE(test::Warnings().size(), size_t{1});
    QTest::qWait(50);
    QCOMPARE(test::Warnings().size(), size_t{1});
  }

  // Scrolling keys move the first line shown; the ranges follow the file.
  void scrollingFollowsTheFile() {
    std::string bytes;
    for (int i = 0; i < 300; ++i) bytes += "строка " + std::to_string(i) + "\n";
    work_->WriteBytes("kvt0006.tmp", W(bytes));
    DText text(QStringLiteral("t"), *work_ / "kvt0006.tmp");
    text.resize(400, 300);
    text.show();
    QVERIFY(QTest::qWaitForWindowExposed(&text));
    TextView* v = text.View();
    const int rows = v->viewport()->height() / v->LineHeight();
    QCOMPARE(v->verticalScrollBar()->maximum(), 300 - rows);
    QTest::keyClick(v, Qt::Key_PageDown);
    QCOMPARE(v->FirstLine(), rows);
    QTest::keyClick(v, Qt::Key_Down);
    QCOMPARE(v->FirstLine(), rows + 1);
    QTest::keyClick(v, Qt::Key_End);
    QCOMPARE(v->FirstLine(), 300 - rows);
    QTest::keyClick(v, Qt::Key_Home);
    QCOMPARE(v->FirstLine(), 0);
    QCOMPARE(v->LineAt(v->LineHeight() * 2 + 1), 2);
  }

  // "Шрифт": the faces of "Shr", the current one selected; OK takes face and size.
  void fontDialogSetsFaceAndSize() {
    work_->Write1251("kvt0008.tmp", {"Строка"});
    DText text(QStringLiteral("t"), *work_ / "kvt0008.tmp");
    const int height_before = text.View()->LineHeight();
    bool seen = false;
    QTimer::singleShot(0, [&seen] {
      auto* d = qobject_cast<DTextFont*>(QApplication::activeModalWidget());
      if (!d) return;
      seen = true;
      QCOMPARE(d->HelpKey(), std::string("ShrTxt"));
      auto* faces = d->ControlAs<QListWidget>(kIdFontFaces);
      QCOMPARE(faces->count(), 3);
      QCOMPARE(faces->currentItem()->text(), QStringLiteral("DejaVu Sans Mono"));
      faces->setCurrentRow(2);
      d->ControlAs<QSpinBox>(kIdFontSize)->setValue(22);
      d->Command(kCmdOk);
    });
    text.Command(kCmdTextFont);
    QVERIFY(seen);
    QCOMPARE(text.View()->Face(), std::string("DejaVu Serif"));
    QCOMPARE(text.View()->FontSize(), 22);
    QVERIFY(text.View()->LineHeight() > height_before);
  }

  // Esc closes a free-standing window, F1 opens the help on its key.
  void freeStandingWindowKeys() {
    work_->Write866("kvima.lrn", {"@TEXT", "Окно текста", "Справка об окне."});
    work_->Write1251("kvt0009.tmp", {"Строка"});
    auto* text = OpenFreeTextWindow(*work_ / "kvt0009.tmp", QStringLiteral("t"));
    QVERIFY(QTest::qWaitForWindowExposed(text));
    QTest::keyClick(text->View(), Qt::Key_F1);
    std::vector<DHelp*> helps = test::OpenWindows<DHelp>();
    QCOMPARE(helps.size(), size_t{1});
    QCOMPARE(helps[0]->Topic(), std::string("TEXT"));
    QCOMPARE(helps[0]->View()->Lines()[1], W("Справка об окне."));
    QPointer<EText> alive(text);
    QTest::keyClick(text->View(), Qt::Key_Escape);
    QTRY_VERIFY(alive.isNull());
  }

  // F1 in a text window of the MDI client opens the help on "TEXT".
  void f1InATextWindow() {
    work_->Write866("kvima.lrn", {"@TEXT", "Окно текста"});
    work_->Write1251("kvt0010.tmp", {"Строка"});
    DText text(QStringLiteral("t"), *work_ / "kvt0010.tmp");
    text.show();
    QVERIFY(QTest::qWaitForWindowExposed(&text));
    QTest::keyClick(text.View(), Qt::Key_F1);
    std::vector<DHelp*> helps = test::OpenWindows<DHelp>();
    QCOMPARE(helps.size(), size_t{1});
    QCOMPARE(helps[0]->Topic(), std::string("TEXT"));
    QVERIFY(text.isVisible());  // F1 does not close anything
  }

  // A help line "words <link words ref=KEY> words" shows the link words alone in the
  // link colour; the "ref=" part is not shown.
  void helpLinkIsDrawnInTheLinkColour() {
    work_->Write866("kvima.lrn", {"@Top", "Начало <ссылка ref=Other> конец", "@Other", "Другое"});
    DHelp help("Top");
    help.resize(600, 200);
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    const QImage img = Picture(help.View());
    const QRgb link = qRgb(255, 0, 0), text = qRgb(0, 0, 0);
    const auto [lo, hi] = ColumnsOf(img, link);
    QVERIFY(lo >= 0);
    // The link lies between the words before and after it, which are in the text colour.
    QVERIFY(CountColour(img, QRect(0, 0, lo - 1, img.height()), text) > 0);
    QVERIFY(CountColour(img, QRect(hi + 1, 0, img.width(), img.height()), text) > 0);
    QVERIFY(CountColour(img, QRect(lo, 0, hi - lo + 1, img.height()), text) == 0);
    // Nothing of "<", "ref=Other" or ">" is drawn: the line ends where the same words
    // unlinked end (give or take a pixel of rounding between the pieces). The link text
    // runs up to "ref=", so it keeps the blank before it.
    work_->Write866("kvima.lrn", {"@Top", "Начало ссылка  конец"});
    DHelp bare("Top");
    bare.resize(600, 200);
    bare.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bare));
    auto ink_end = [](const QImage& i) {
      int right = -1;
      for (int y = 0; y < i.height(); ++y)
        for (int x = 0; x < i.width(); ++x)
          if ((i.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) right = std::max(right, x);
      return right;
    };
    const int linked = ink_end(img), plain = ink_end(Picture(bare.View()));
    QVERIFY2(std::abs(linked - plain) <= 2, qPrintable(QString("%1 vs %2").arg(linked).arg(plain)));
  }

  // A click on a line with a link opens its topic in a new window; the old one stays.
  // A target longer than 12 characters is cut to its first 12.
  void clickOnALinkOpensTheTopic() {
    work_->Write866("kvima.lrn", {"@@more.lrn", "@Top", "Заголовок", "см. <длинная ссылка ref=ABCDEFGHIJKLMNOP>",
                                  "см. <короткая ref=Short>"});
    work_->Write866("more.lrn", {"@ABCDEFGHIJKL", "Двенадцать знаков.", "@Short", "Короткий раздел."});
    auto* top = OpenHelpWindow(nullptr, "Top");
    top->resize(600, 300);
    QVERIFY(QTest::qWaitForWindowExposed(top));
    TextView* v = top->View();
    const int h = v->LineHeight();
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, QPoint(200, 0 * h + h / 2));  // heading: no link
    QCOMPARE(test::OpenWindows<DHelp>().size(), size_t{1});
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, QPoint(300, 1 * h + h / 2));
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, QPoint(5, 2 * h + h / 2));
    std::vector<std::string> topics;
    for (DHelp* d : test::OpenWindows<DHelp>()) topics.push_back(d->Topic());
    std::sort(topics.begin(), topics.end());
    QCOMPARE(topics, (std::vector<std::string>{"ABCDEFGHIJKL", "Short", "Top"}));
    for (DHelp* d : test::OpenWindows<DHelp>())
      if (d->Topic() == "ABCDEFGHIJKL") QCOMPARE(d->View()->Lines()[0], W("Двенадцать знаков."));
  }

  // A help window asked for from a modal dialog can be used while the dialog waits
  // and stays when the dialog closes.
  void helpFromADialogOutlivesIt() {
    work_->Write866("kvima.lrn", {"@VV", "Данные рождения"});
    auto* dialog = new Dial(nullptr, 1001, "VV", kDialButtonsRow);
    QPointer<DHelp> help;
    QTimer::singleShot(0, [&] {
      dialog->Command(kCmdHelp);
      std::vector<DHelp*> helps = test::OpenWindows<DHelp>();
      if (helps.size() == 1) help = helps[0];
      // The dialog blocks other windows, not this one.
      if (help) QVERIFY(!BlockedByModal(help));
      dialog->Command(kCmdCancel);
    });
    RunDialog(*dialog);
    delete dialog;
    QVERIFY(!help.isNull());
    QVERIFY(help->isVisible());
    QCOMPARE(help->Topic(), std::string("VV"));
  }

 private:
  // A window is blocked by a modal dialog unless it is that dialog's own.
  static bool BlockedByModal(QWidget* w) {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return false;
    for (QWidget* p = w; p; p = p->parentWidget())
      if (p == modal) return false;
    return true;
  }

  std::unique_ptr<test::ScratchWorkdir> work_;
};

}  // namespace kv

QTEST_MAIN(kv::TextWindowsTest)
#include "text_windows_test.moc"
