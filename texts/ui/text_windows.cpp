#include "texts/ui/text_windows.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>
#include <QVBoxLayout>

#include "common/messages.h"
#include "common/tokens.h"
#include "common/ui/dial.h"
#include "common/ui/menu_builder.h"
#include "common/ui/qt_text.h"
#include "common/ui/window_hooks.h"
#include "texts/entry_editor.h"
#include "texts/help_file.h"
#include "texts/output_file.h"
#include "texts/reference_texts.h"
#include "texts/ui/entry_edit_window.h"
#include "texts/ui/text_commands.h"
#include "texts/ui/text_services.h"
#include "texts/ui/text_view.h"

namespace kv {
namespace fs = std::filesystem;
namespace {

QVBoxLayout* FlatLayout(QWidget* w) {
  auto* layout = new QVBoxLayout(w);
  layout->setContentsMargins(0, 0, 0, 0);
  return layout;
}

std::string StemOf(const fs::path& file, const std::string& fallback) {
  return file.empty() ? fallback : file.stem().string();
}

QRect FrameRect() {
  if (QWidget* frame = MainFrame()) return frame->frameGeometry();
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect s = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  return QRect(s.x(), s.y(), s.width(), s.height() - 25);
}

// The first line of a topic that is not blank: the topic's heading.
std::string TopicHeading(const std::vector<std::string>& lines) {
  for (const std::string& l : lines)
    if (!TrimRight(l).empty()) return TrimRight(DisplayPart(l));
  return {};
}

}  // namespace

void ApplyTextSettings(TextView* view) {
  const TextWindowSettings s = CurrentTextSettings();
  view->SetTextFont(s.face, s.font_size);
  view->SetColours(s.text_colour, s.link_colour, s.background);
}

QRect TextWindowRect(const QRect& frame, bool help) {
  const int w = frame.width(), h = frame.height();
  if (help)
    return QRect(frame.x() + static_cast<int>(0.35 * w), frame.y() + 80, static_cast<int>(0.65 * w),
                 h - 100);
  return QRect(frame.x(), frame.y() + 80, static_cast<int>(0.8 * w), h - 100);
}

// ---------------------------------------------------------------- DText

DText::DText(const QString& title, const fs::path& file, std::optional<EditableEntry> entry,
             QWidget* parent)
    : DKerChild(title, entry ? kEditableTextMenu : kTextMenu, kHelpText, parent),
      view_(new TextView(this)),
      entry_(std::move(entry)) {
  FlatLayout(this)->addWidget(view_);
  ApplyTextSettings(view_);
  view_->ShowFile(file);
  setFocusProxy(view_);
}

void DText::Command(int id) {
  if (id == kCmdTextEditEntry) {
    if (!entry_) return;
    const InterpretationOptions options = CurrentInterpretationOptions();
    const std::string collection_file = options.details_collection + ".csr";
    if (EditCollectionText(this, collection_file, entry_->key) != EditResult::kSaved) return;
    // The window shows the text as the collection now holds it.
    std::string body;
    if (WriteReferenceText(entry_->key, options, body))
      ReplaceFile(view_->File(), fs::path(view_->File()) += ".new", OutputTitle(entry_->title) + body);
    view_->viewport()->update();
    return;
  }
  if (!RunTextCommand(this, view_, id, StemOf(view_->File(), "text"))) DKerChild::Command(id);
}

// ---------------------------------------------------------------- EText

EText::EText(const QString& title, const fs::path& file, std::string help_key, std::string menu,
             QWidget* parent)
    : QWidget(parent, Qt::Window),
      view_(new TextView(this)),
      help_key_(std::move(help_key)),
      menu_(std::move(menu)) {
  setWindowTitle(title);
  setAttribute(Qt::WA_DeleteOnClose);
  FlatLayout(this)->addWidget(view_);
  ApplyTextSettings(view_);
  if (!file.empty()) view_->ShowFile(file);
  setFocusProxy(view_);
}

void EText::Command(int id) { RunTextCommand(this, view_, id, StemOf(view_->File(), "help")); }

void EText::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    close();
    return;
  }
  if (e->key() == Qt::Key_F1) {
    OpenHelp(this, help_key_);
    return;
  }
  QWidget::keyPressEvent(e);
}

void EText::contextMenuEvent(QContextMenuEvent* e) {
  QMenu menu;
  FillMenu(&menu, ReadMenuEntry(Resources(), menu_), [this](int id) { Command(id); });
  if (!menu.isEmpty()) menu.exec(e->globalPos());
}

// ---------------------------------------------------------------- DHelp

DHelp::DHelp(const std::string& topic, QWidget* parent)
    : EText(QString(), fs::path(), kHelpText, kMenuOfHelpWindows, parent), topic_(topic) {
  std::optional<std::vector<std::string>> lines = FindHelpTopic(Services().workdir, topic);
  const std::string heading = lines ? TopicHeading(*lines) : topic;
  setWindowTitle(FromCp1251(FormatKey("HlpTtl", heading.c_str())));
  view_->SetHelpLinks(true);
  // A topic that no help file has opens an empty window.
  view_->ShowLines(lines ? std::move(*lines) : std::vector<std::string>{});
  connect(view_, &TextView::LinkActivated, this,
          [this](const QString& target) { OpenHelpWindow(this, ToCp1251(target)); });
}

// ---------------------------------------------------------------- opening

DText* OpenTextWindow(const fs::path& file, const QString& title, std::optional<EditableEntry> entry) {
  auto* text = new DText(title, file, std::move(entry));
  QMdiArea* area = MainClient();
  if (!area) {
    text->setWindowFlag(Qt::Window);
    text->setGeometry(TextWindowRect(FrameRect(), false));
    text->show();
    return text;
  }
  QMdiSubWindow* sub = text->ShowIn(area);
  if (!sub->isMaximized()) sub->setGeometry(TextWindowRect(QRect(QPoint(0, 0), area->size()), false));
  return text;
}

EText* OpenFreeTextWindow(const fs::path& file, const QString& title) {
  auto* text = new EText(title, file, kHelpText, kTextMenu, MainFrame());
  text->setGeometry(TextWindowRect(FrameRect(), false));
  text->show();
  text->activateWindow();
  return text;
}

DHelp* OpenHelpWindow(QWidget* requester, const std::string& topic) {
  QWidget* window = requester ? requester->window() : nullptr;
  // A help window opened from a help window goes where that one went.
  if (auto* help = qobject_cast<DHelp*>(window)) window = help->parentWidget();
  QDialog* dialog = window ? qobject_cast<QDialog*>(window->window()) : nullptr;
  if (!dialog) dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
  auto* help = new DHelp(topic, dialog ? static_cast<QWidget*>(dialog) : MainFrame());
  help->setGeometry(TextWindowRect(FrameRect(), true));
  if (dialog) {
    // The dialog blocks every window but its own; once it closes the help window
    // stays with the frame.
    QObject::connect(dialog, &QDialog::finished, help, [help] {
      const QRect where = help->geometry();
      help->setParent(MainFrame(), help->windowFlags());
      help->setGeometry(where);
      help->show();
    });
  }
  help->show();
  help->activateWindow();
  return help;
}

}  // namespace kv
