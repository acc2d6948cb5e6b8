// The text windows: DText inside the main frame's MDI client, EText free-standing,
// DHelp (an EText) on a topic of the help file. All show their text through a
// TextView and answer the commands of their menu ("MTEXT", "MHelp").
#pragma once

#include <QWidget>
#include <filesystem>
#include <optional>
#include <string>

#include "common/ui/dkerchild.h"

namespace kv {

class TextView;

inline constexpr const char* kHelpText = "TEXT";
inline constexpr const char* kTextMenu = "MTEXT";
inline constexpr const char* kEditableTextMenu = "MTEXTE";  // "MTEXT" and "Изменить текст…"
inline constexpr const char* kMenuOfHelpWindows = "MHelp";
inline constexpr const char* kGeneralHelp = "GenHelp";

// A reference text of the details collection that the window's "Изменить текст…"
// edits: its key and the title its file carries.
struct EditableEntry {
  std::string key;
  std::string title;  // 1251
};

// The colours and font the window starts with come from the text settings.
void ApplyTextSettings(TextView* view);

class DText : public DKerChild {
  Q_OBJECT
 public:
  DText(const QString& title, const std::filesystem::path& file,
        std::optional<EditableEntry> entry = std::nullopt, QWidget* parent = nullptr);
  TextView* View() const { return view_; }
  void Command(int id) override;

 private:
  TextView* view_;
  std::optional<EditableEntry> entry_;
};

class EText : public QWidget {
  Q_OBJECT
 public:
  EText(const QString& title, const std::filesystem::path& file, std::string help_key = kHelpText,
        std::string menu = kTextMenu, QWidget* parent = nullptr);
  TextView* View() const { return view_; }
  const std::string& HelpKey() const { return help_key_; }
  const std::string& MenuKey() const { return menu_; }
  virtual void Command(int id);

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;

  TextView* view_;
  std::string help_key_;
  std::string menu_;
};

class DHelp : public EText {
  Q_OBJECT
 public:
  DHelp(const std::string& topic, QWidget* parent = nullptr);
  const std::string& Topic() const { return topic_; }

 private:
  std::string topic_;
};

// Where a text window of the frame goes: the frame's left edge, 80 below its top,
// 0.8 of its width and its height less 100 (a help window 0.35 of the width further
// right and 0.65 wide).
QRect TextWindowRect(const QRect& frame, bool help);

// Opens a DText over the MDI client (nothing without one); a window of its own when
// there is no client.
DText* OpenTextWindow(const std::filesystem::path& file, const QString& title,
                      std::optional<EditableEntry> entry = std::nullopt);
// Opens a free-standing text window placed by the frame.
EText* OpenFreeTextWindow(const std::filesystem::path& file, const QString& title);
// Opens a help window on `topic` for the window that asks: a help window asked for
// from a dialog belongs to the dialog while it is open, then to the frame, so it can
// be read while the dialog waits and stays when it closes.
DHelp* OpenHelpWindow(QWidget* requester, const std::string& topic);

}  // namespace kv
