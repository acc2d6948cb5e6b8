// One printed page (a chart, an analysis): on the printer when one is installed, else
// into a PDF file whose name the user chooses, preset to the document's own name.
#pragma once

#include <QSize>
#include <QString>
#include <functional>

class QPainter;
class QWidget;

namespace kv {

struct PageJob {
  QString title;                // the printout's title ("Карта")
  QString pdf_stem;             // the preset PDF name without ".pdf"
  bool printer_dialog = false;  // the print dialog first (option byte 10)
};
// Paints the page of the given size in device pixels.
using PagePainter = std::function<void(QPainter& p, const QSize& page)>;

// How the PDF path is asked for and the written file announced; the defaults are a
// save dialog (with the overwrite question) and an information box.
struct PdfFallback {
  std::function<QString(QWidget* parent, const QString& preset)> ask_path;  // empty: cancel
  std::function<void(QWidget* parent, const QString& text)> tell;
};
PdfFallback SetPdfFallback(PdfFallback fallback);

enum class PrintResult { kPrinted, kWrittenToFile, kCancelled, kFailed };

// Prints the page. Without a printer the PDF (A4, 300 dots per inch) is written into a
// temporary file and renamed into place; "PdfOk%s" then says where it went, and a file
// that cannot be written is reported with "NoWr%s". `written` receives the PDF's path.
PrintResult PrintPage(QWidget* parent, const PageJob& job, const PagePainter& paint,
                      QString* written = nullptr);

}  // namespace kv
