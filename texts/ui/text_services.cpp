#include "texts/ui/text_services.h"

#include <QFileDialog>
#include <QMdiArea>
#include <QMessageBox>
#include <QPrinterInfo>

#include "common/messages.h"
#include "common/tokens.h"
#include "common/ui/qt_text.h"
#include "common/ui/window_hooks.h"

namespace kv {
namespace {

TextServices& Current() {
  static TextServices services;
  return services;
}

QString SystemSaveDialog(QWidget* parent, const QString& caption, const QString& preset,
                         const QString& filters) {
  return QFileDialog::getSaveFileName(parent, caption, preset, filters);
}

}  // namespace

void SetTextServices(TextServices services) { Current() = std::move(services); }
const TextServices& Services() { return Current(); }

TextWindowSettings CurrentTextSettings() {
  TextWindowSettings s;
  if (Current().window_settings) s = Current().window_settings();
  if (s.faces.empty()) s.faces = ResourceList("Shr");
  return s;
}

InterpretationOptions CurrentInterpretationOptions() {
  InterpretationOptions o;
  if (Current().interpretation_options) o = Current().interpretation_options();
  o.workdir = Current().workdir;
  return o;
}

QWidget* MainFrame() {
  QMdiArea* client = MainClient();
  return client ? client->window() : nullptr;
}

std::vector<std::string> ResourceList(std::string_view key) {
  // A key without an entry comes back as itself: no list then.
  const std::string text = Text(key);
  if (text == key) return {};
  return Split(text, '/');
}

bool NoPhysicalPrinter() {
  if (Current().no_printer) return Current().no_printer();
  return QPrinterInfo::availablePrinters().isEmpty();
}

void Inform(QWidget* parent, const std::string& text) {
  if (Current().inform) {
    Current().inform(parent, text);
    return;
  }
  QMessageBox::information(parent, TextQ("Inform"), FromCp1251(text));
}

QString AskSaveFile(QWidget* parent, const QString& caption, const QString& preset,
                    const QString& filters) {
  if (Current().save_file) return Current().save_file(parent, caption, preset, filters);
  return SystemSaveDialog(parent, caption, preset, filters);
}

}  // namespace kv
