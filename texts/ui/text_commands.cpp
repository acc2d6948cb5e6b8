#include "texts/ui/text_commands.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QSpinBox>

#include <cstdio>

#include "common/files.h"
#include "common/messages.h"
#include "common/tokens.h"
#include "common/ui/page_layout.h"
#include "common/ui/qt_text.h"
#include "texts/output_file.h"
#include "texts/text_file.h"
#include "texts/ui/text_services.h"
#include "texts/ui/text_view.h"

namespace kv {
namespace fs = std::filesystem;
namespace {

constexpr size_t kMaxFace = 39;

bool WriteBytes(const QString& path, const std::string& bytes) {
  std::FILE* f = std::fopen(QFile::encodeName(path).constData(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fclose(f) == 0 && ok;
  return ok;
}

QString InWorkdir(const std::string& name) {
  return QDir(QString::fromStdString(Services().workdir.string())).absoluteFilePath(FromCp1251(name));
}

}  // namespace

DTextFont::DTextFont(QWidget* parent, const std::vector<std::string>& faces, const std::string& face,
                     int size)
    : Dial(parent, kFontDialogResource, kHelpShrTxt, kDialButtonsRow) {
  setWindowTitle(QString::fromUtf8("Шрифт"));
  faces_ = new QListWidget(this);
  RegisterControl(kIdFontFaces, faces_);
  for (const std::string& f : faces) faces_->addItem(FromCp1251(f));
  const auto found = faces_->findItems(FromCp1251(face), Qt::MatchExactly);
  faces_->setCurrentItem(found.isEmpty() ? faces_->item(0) : found.first());
  size_ = new QSpinBox(this);
  size_->setRange(4, 72);
  size_->setValue(size);
  RegisterControl(kIdFontSize, size_);

  auto* grid = new QGridLayout(this);
  grid->addWidget(faces_, 0, 0, 1, 2);
  grid->addWidget(new QLabel(QString::fromUtf8("Размер шрифта в текстах"), this), 1, 0);
  grid->addWidget(size_, 1, 1);
  grid->addWidget(ButtonBox(), 2, 0, 1, 2);
  connect(faces_, &QListWidget::itemDoubleClicked, this, [this] { Command(kCmdOk); });
}

std::string DTextFont::Face() const {
  const QListWidgetItem* item = faces_->currentItem();
  return item ? ToCp1251(item->text()).substr(0, kMaxFace) : std::string();
}

int DTextFont::Size() const { return size_->value(); }

int PrintTextPages(QPainter& p, int page_width, int page_height, const std::vector<std::string>& lines,
                   const std::string& face, const std::function<bool()>& new_page) {
  const PrintLayout layout = ComputePrintLayout(page_width, page_height);
  QFont font(FromCp1251(face));
  font.setStyleHint(QFont::TypeWriter);
  font.setPixelSize(layout.font_height);
  // The character width is part of the page layout: the face is stretched to it.
  const int natural = QFontMetrics(font, p.device()).averageCharWidth();
  if (natural > 0 && layout.font_width > 0)
    font.setStretch(std::clamp(100 * layout.font_width / natural, 1, 4000));
  p.setFont(font);
  p.setPen(Qt::black);
  const int ascent = QFontMetrics(font, p.device()).ascent();
  const std::vector<size_t> starts = PageStarts(lines.size(), layout);
  for (size_t page = 0; page < starts.size(); ++page) {
    if (page > 0 && !new_page()) return static_cast<int>(page);
    const size_t end = page + 1 < starts.size() ? starts[page + 1] : lines.size();
    int y = 0;
    for (size_t i = starts[page]; i < end; ++i, y += layout.font_height)
      p.drawText(layout.x, y + ascent, FromCp1251(DisplayPart(lines[i])));
  }
  return static_cast<int>(starts.size());
}

bool PrintTextLines(QWidget* parent, const std::vector<std::string>& lines, const std::string& face,
                    const std::string& preset_stem) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setResolution(300);
  printer.setDocName(TextQ("PrnDoc"));
  ApplyProgramPageLayout(printer);
  QString pdf;
  if (NoPhysicalPrinter()) {
    pdf = AskSaveFile(parent, TextQ("PrnPdfT"), InWorkdir(preset_stem + ".pdf"),
                      QString::fromUtf8("PDF (*.pdf)"));
    if (pdf.isEmpty()) return false;
    if (QFileInfo(pdf).suffix().isEmpty()) pdf += ".pdf";
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
  } else if (CurrentTextSettings().print_dialog) {
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
  }
  QPainter p;
  if (!p.begin(&printer)) {
    if (!pdf.isEmpty()) WarnCannotOpen(ToCp1251(pdf));
    return false;
  }
  PrintTextPages(p, printer.width(), printer.height(), lines, face,
                 [&printer] { return printer.newPage(); });
  if (!p.end()) return false;
  if (!pdf.isEmpty()) {
    const std::string where = ToCp1251(QDir::toNativeSeparators(QFileInfo(pdf).absoluteFilePath()));
    Inform(parent, FormatKey("PrnPdf", where.c_str()));
  }
  return true;
}

void CopyTextLines(const std::vector<std::string>& lines) {
  QApplication::clipboard()->setText(FromCp1251(ClipboardText(lines)));
}

QString QtFileFilters(const std::string& windows_filters) {
  // "name|pattern|name|pattern|": the names carry their patterns, Qt reads those.
  const std::vector<std::string> parts = Split(windows_filters, '|');
  QStringList names;
  for (size_t i = 0; i < parts.size(); i += 2) names << FromCp1251(parts[i]);
  return names.join(";;");
}

bool SaveTextLines(QWidget* parent, const std::vector<std::string>& lines) {
  const QString path = AskSaveFile(parent, TextQ("SaveTtl"), QString(), QtFileFilters(Text("SaveFlt")));
  if (path.isEmpty()) return false;
  if (!WriteBytes(path, ExportText(lines))) {
    WarnCannotOpen(ToCp1251(path));
    return false;
  }
  return true;
}

bool HandToExternalEditor(const fs::path& shown, const std::vector<std::string>& lines,
                          const std::string& editor_path) {
  const QString editor = FromCp1251(editor_path);
  if (editor_path.empty() || !QFileInfo(editor).isFile()) {
    WarnCannotOpen(editor_path);
    return false;
  }
  const fs::path copy = EditorCopyPath(shown);
  const QString copy_q = QString::fromStdString(copy.string());
  if (!WriteBytes(copy_q, EditorCopyText(lines, IsWordProcessor(editor_path)))) {
    WarnCannotOpen(copy.string());
    return false;
  }
  return QProcess::startDetached(editor, {QFileInfo(copy_q).absoluteFilePath()});
}

bool RunTextCommand(QWidget* window, TextView* view, int id, const std::string& preset_stem) {
  switch (id) {
    case kCmdTextFont: {
      TextWindowSettings s = CurrentTextSettings();
      DTextFont dialog(window, s.faces, view->Face(), view->FontSize());
      if (RunDialog(dialog) == kCmdOk) view->SetTextFont(dialog.Face(), dialog.Size());
      return true;
    }
    case kCmdTextPrint:
      PrintTextLines(window, view->Lines(), view->Face(), preset_stem);
      return true;
    case kCmdTextCopy:
      CopyTextLines(view->Lines());
      return true;
    case kCmdTextSave:
      SaveTextLines(window, view->Lines());
      return true;
    case kCmdTextEditor:
      if (!view->File().empty())
        HandToExternalEditor(view->File(), view->Lines(), CurrentTextSettings().editor_path);
      return true;
    default:
      return false;
  }
}

}  // namespace kv
