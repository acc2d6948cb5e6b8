// Saving a window picture (dialog 1204, the extension rule, BMP and JPEG files written
// through a temporary name) and a page printed to a PDF file without a printer.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLineEdit>
#include <QPainter>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "common/codepage.h"
#include "common/ui/page_print.h"
#include "common/ui/picture_export.h"
#include "common/ui/qt_text.h"
#include "common/ui/tests/test_texts.h"

namespace kv {

namespace {

QImage TestPicture() {
  QImage img(173, 61, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::white);
  QPainter p(&img);
  p.fillRect(10, 10, 50, 30, Qt::red);
  return img;
}

uint32_t Le32(const QByteArray& b, int at) {
  return uint8_t(b[at]) | uint8_t(b[at + 1]) << 8 | uint8_t(b[at + 2]) << 16 | uint32_t(uint8_t(b[at + 3])) << 24;
}

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// What is in a directory besides "." and ".." and the journal a warning appends to.
QStringList Entries(const QString& dir) {
  QStringList e = QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
  e.removeAll(QStringLiteral("jur.jur"));
  return e;
}

// Fills the dialog that is about to open and presses OK (or Cancel).
void AnswerDialog(const QString& name, int format_button, int command = kCmdOk) {
  QTimer::singleShot(0, [=] {
    auto* d = qobject_cast<DSavePicture*>(QApplication::activeModalWidget());
    if (!d) return;
    d->ControlAs<QLineEdit>(kIdPictureName)->setText(name);
    d->ControlAs<QRadioButton>(format_button)->setChecked(true);
    d->Command(command);
  });
}

}  // namespace

class PictureExportTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { test::InstallTestTexts(); }
  void init() {
    QVERIFY(dir_.isValid());
    old_cwd_ = QDir::currentPath();
    QDir::setCurrent(dir_.path());
    test::LastWarning().clear();
  }
  void cleanup() {
    QDir::setCurrent(old_cwd_);
    for (const QString& e : Entries(dir_.path())) {
      QFileInfo fi(dir_.filePath(e));
      if (fi.isDir()) QDir(fi.filePath()).removeRecursively();
      else QFile::remove(fi.filePath());
    }
  }

  void dialogStartsEmptyWithJpegChosen() {
    DSavePicture d(nullptr);
    QCOMPARE(d.ResourceId(), 1204);
    QCOMPARE(d.HelpKey(), std::string("HBmp"));
    auto* edit = d.ControlAs<QLineEdit>(kIdPictureName);
    QVERIFY(edit && edit->text().isEmpty());
    QCOMPARE(edit->maxLength(), 20);
    QVERIFY(d.ControlAs<QRadioButton>(kIdPictureJpeg)->isChecked());
    edit->setText("karta");
    d.ControlAs<QRadioButton>(kIdPictureBmp)->setChecked(true);
    QCOMPARE(d.FileName(), std::string("karta.bmp"));
    // An empty name is refused and the dialog stays.
    edit->clear();
    d.show();
    d.Command(kCmdOk);
    QVERIFY(d.isVisible());
    QCOMPARE(test::LastWarning(), std::string("PicNoNm"));
  }

  void bothFormatsWriteCompleteFiles() {
    const QImage img = TestPicture();
    QVERIFY(WritePictureFile(img, dir_.filePath("a.bmp"), PictureFormat::kBmp));
    const QByteArray b = ReadAll(dir_.filePath("a.bmp"));
    QVERIFY(b.startsWith("BM"));
    QCOMPARE(Le32(b, 2), uint32_t(b.size()));  // the size the header states
    QCOMPARE(int(Le32(b, 18)), img.width());
    QCOMPARE(std::abs(int32_t(Le32(b, 22))), img.height());
    QCOMPARE(QImage(dir_.filePath("a.bmp")).pixelColor(20, 20), QColor(Qt::red));
    QVERIFY(WritePictureFile(img, dir_.filePath("a.jpg"), PictureFormat::kJpeg));
    const QByteArray j = ReadAll(dir_.filePath("a.jpg"));
    QVERIFY(j.startsWith(QByteArray("\xFF\xD8\xFF", 3)) && j.endsWith(QByteArray("\xFF\xD9", 2)));
    QCOMPARE(QImageReader(dir_.filePath("a.jpg")).size(), img.size());
    QCOMPARE(Entries(dir_.path()), (QStringList{"a.bmp", "a.jpg"}));  // no temporary file left
  }

  // A directory in place of the target, a missing folder, nothing to write: false,
  // nothing left behind, and an older file of that name untouched.
  void failedWritesLeaveNothingBehind() {
    QVERIFY(QDir(dir_.path()).mkdir("busy.jpg"));
    QVERIFY(!WritePictureFile(TestPicture(), dir_.filePath("busy.jpg"), PictureFormat::kJpeg));
    QVERIFY(QFileInfo(dir_.filePath("busy.jpg")).isDir());
    QVERIFY(!WritePictureFile(TestPicture(), dir_.filePath("none/x.bmp"), PictureFormat::kBmp));
    QVERIFY(WritePictureFile(TestPicture(), dir_.filePath("old.bmp"), PictureFormat::kBmp));
    const QByteArray before = ReadAll(dir_.filePath("old.bmp"));
    QVERIFY(!WritePictureFile(QImage(), dir_.filePath("old.bmp"), PictureFormat::kBmp));
    QCOMPARE(ReadAll(dir_.filePath("old.bmp")), before);
    QCOMPARE(Entries(dir_.path()), (QStringList{"busy.jpg", "old.bmp"}));
  }

  // The command as a window runs it: the dialog, then the capture, then the file in the
  // working directory; a name with a dot keeps it (JPEG data under ".png" as typed).
  void savePictureWritesWhatTheDialogAsked() {
    int captures = 0;
    auto capture = [&] {
      ++captures;
      return TestPicture();
    };
    AnswerDialog("snap.png", kIdPictureJpeg);
    QCOMPARE(SavePicture(nullptr, capture), QDir(dir_.path()).absoluteFilePath("snap.png"));
    QVERIFY(ReadAll(dir_.filePath("snap.png")).startsWith(QByteArray("\xFF\xD8", 2)));
    AnswerDialog("never", kIdPictureBmp, kCmdCancel);
    QVERIFY(SavePicture(nullptr, capture).isEmpty());
    QCOMPARE(captures, 1);
    QCOMPARE(Entries(dir_.path()), QStringList{"snap.png"});
  }

  void aFailedSaveIsReportedWithTheFullPath() {
    QVERIFY(QDir(dir_.path()).mkdir("taken.jpg"));
    AnswerDialog("taken", kIdPictureJpeg);
    QVERIFY(SavePicture(nullptr, [] { return TestPicture(); }).isEmpty());
    const std::string shown = ToCp1251(QDir::toNativeSeparators(QDir(dir_.path()).absoluteFilePath("taken.jpg")));
    QCOMPARE(test::LastWarning(), W("Не удалось записать файл '") + shown + "'.");
    QCOMPARE(Entries(dir_.path()), QStringList{"taken.jpg"});
  }

  void withoutAPrinterThePageGoesToTheFileTheUserNames() {
    if (!QPrinterInfo::availablePrinters().isEmpty()) QSKIP("a printer is installed here");
    QString preset, told;
    QString answer = dir_.filePath("page.pdf");
    PdfFallback old = SetPdfFallback({[&](QWidget*, const QString& p) {
                                        preset = p;
                                        return answer;
                                      },
                                      [&](QWidget*, const QString& t) { told = t; }});
    QSize page;
    auto paint = [&](QPainter& p, const QSize& size) {
      page = size;
      p.drawRect(10, 10, 100, 100);
    };
    QString written;
    QCOMPARE(PrintPage(nullptr, {QStringLiteral("Карта"), QStringLiteral("Иванов"), false}, paint, &written),
             PrintResult::kWrittenToFile);
    QCOMPARE(preset, QDir(dir_.path()).absoluteFilePath(QStringLiteral("Иванов.pdf")));
    QCOMPARE(written, answer);
    QVERIFY(ReadAll(answer).startsWith("%PDF"));
    QVERIFY(told.contains(QDir::toNativeSeparators(answer)));
    // The printable part of an A4 page at 300 dots per inch.
    QVERIFY2(page.width() > 2300 && page.width() <= 2480 && page.height() > 3300 && page.height() <= 3508,
             qPrintable(QString("%1x%2").arg(page.width()).arg(page.height())));
    // Cancelled: nothing written, nothing said.
    answer.clear();
    told.clear();
    QCOMPARE(PrintPage(nullptr, {"Карта", "x", false}, paint), PrintResult::kCancelled);
    QVERIFY(told.isEmpty());
    // A directory in the way: reported, and no file.
    QVERIFY(QDir(dir_.path()).mkdir("dir.pdf"));
    answer = dir_.filePath("dir.pdf");
    QCOMPARE(PrintPage(nullptr, {"Карта", "x", false}, paint), PrintResult::kFailed);
    QVERIFY(test::LastWarning().find(W("Не удалось записать файл")) == 0);
    QVERIFY(told.isEmpty());
    QVERIFY(QFileInfo(answer).isDir());
    SetPdfFallback(old);
  }

 private:
  QTemporaryDir dir_;
  QString old_cwd_;
};

}  // namespace kv

QTEST_MAIN(kv::PictureExportTest)
#include "picture_export_test.moc"
