#include "common/ui/page_print.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>

#include "common/messages.h"
#include "common/ui/page_layout.h"
#include "common/ui/qt_text.h"

namespace kv {
namespace {

PdfFallback DefaultFallback() {
  PdfFallback f;
  f.ask_path = [](QWidget* parent, const QString& preset) {
    return QFileDialog::getSaveFileName(parent, QString::fromUtf8("Сохранить лист в файл PDF"),
                                        preset, QString::fromUtf8("Документы PDF (*.pdf)"));
  };
  f.tell = [](QWidget* parent, const QString& text) {
    QMessageBox::information(parent, QStringLiteral("Kvimarot"), text);
  };
  return f;
}

PdfFallback& Fallback() {
  static PdfFallback f = DefaultFallback();
  return f;
}

PrintResult PrintToPrinter(QWidget* parent, const PageJob& job, const PagePainter& paint) {
  QPrinter printer(QPrinter::HighResolution);
  // The fills of a page at the printer's full resolution take many megabytes; 300 dots
  // per inch draw the same picture.
  printer.setResolution(300);
  printer.setDocName(job.title);
  ApplyProgramPageLayout(printer);
  if (job.printer_dialog) {
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted) return PrintResult::kCancelled;
  }
  QPainter p;
  if (!p.begin(&printer)) return PrintResult::kFailed;
  paint(p, QSize(printer.width(), printer.height()));
  return p.end() ? PrintResult::kPrinted : PrintResult::kFailed;
}

bool WritePdf(const QString& path, const PageJob& job, const PagePainter& paint) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  {
    QPdfWriter pdf(&file);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    ApplyProgramPageLayout(pdf);
    pdf.setResolution(300);
    pdf.setTitle(job.title);
    pdf.setCreator(QStringLiteral("Kvimarot"));
    QPainter p;
    if (!p.begin(&pdf)) {
      file.cancelWriting();
      return false;
    }
    paint(p, QSize(pdf.width(), pdf.height()));
    if (!p.end()) {
      file.cancelWriting();
      return false;
    }
  }
  return file.commit();
}

}  // namespace

PdfFallback SetPdfFallback(PdfFallback fallback) {
  PdfFallback old = std::move(Fallback());
  Fallback() = fallback.ask_path && fallback.tell ? std::move(fallback) : DefaultFallback();
  return old;
}

PrintResult PrintPage(QWidget* parent, const PageJob& job, const PagePainter& paint,
                      QString* written) {
  if (!QPrinterInfo::availablePrinters().isEmpty()) return PrintToPrinter(parent, job, paint);
  const QString preset = QDir::current().absoluteFilePath(job.pdf_stem + QStringLiteral(".pdf"));
  QString path = Fallback().ask_path(parent, preset);
  if (path.isEmpty()) return PrintResult::kCancelled;
  path = QDir::current().absoluteFilePath(path);
  const std::string shown = ToCp1251(QDir::toNativeSeparators(path));
  if (!WritePdf(path, job, paint)) {
    WarningFormat("NoWr%s", shown);
    return PrintResult::kFailed;
  }
  if (written) *written = path;
  Fallback().tell(parent, FromCp1251(FormatKey("PdfOk%s", shown)));
  return PrintResult::kWrittenToFile;
}

}  // namespace kv
