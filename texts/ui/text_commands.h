// The commands of the text windows (menus "MTEXT" and "MHelp"): font, print, copy,
// save to a file and the hand-over to the external editor. They work on the lines a
// TextView shows; each line goes out cut at "@@".
#pragma once

#include <QString>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/ui/dial.h"

class QListWidget;
class QPainter;
class QSpinBox;

namespace kv {

class TextView;

enum TextCommand : int {
  kCmdTextFont = 2201,
  kCmdTextPrint = 2202,
  kCmdTextCopy = 2203,
  kCmdTextEditor = 2204,
  kCmdTextSave = 2205,
  kCmdTextEditEntry = 2206,  // "Изменить текст…" of the reference texts
};

inline constexpr int kFontDialogResource = 10031;
inline constexpr const char* kHelpShrTxt = "ShrTxt";
inline constexpr int kIdFontFaces = 101;
inline constexpr int kIdFontSize = 102;

// Dialog 10031 "Шрифт": the faces of "Shr" with the current one selected, and the
// size in points.
class DTextFont : public Dial {
  Q_OBJECT
 public:
  DTextFont(QWidget* parent, const std::vector<std::string>& faces, const std::string& face,
            int size);
  std::string Face() const;  // 1251, at most 39 characters
  int Size() const;

 private:
  QListWidget* faces_;
  QSpinBox* size_;
};

// Runs a text command on the view; false for an id that is not one of them (the
// window's own commands). `preset_stem` names the PDF file offered when there is no
// printer.
bool RunTextCommand(QWidget* window, TextView* view, int id, const std::string& preset_stem);

// Prints the lines page after page on a painter over a device of the given page size
// (device units): the window's face at H*40/2900 high and W*18/2000 wide, lines from
// the top three character widths in. `new_page` starts the next page; false stops.
// Returns the number of pages.
int PrintTextPages(QPainter& p, int page_width, int page_height, const std::vector<std::string>& lines,
                   const std::string& face, const std::function<bool()>& new_page);

// Prints on the printer (the printer dialog first when option byte 10 is set) or,
// without a physical printer, into a PDF file chosen in a save dialog; says where the
// PDF went. False when nothing was printed.
bool PrintTextLines(QWidget* parent, const std::vector<std::string>& lines, const std::string& face,
                    const std::string& preset_stem);

// The whole text as clipboard text, lines cut at "@@" and ended by CR LF.
void CopyTextLines(const std::vector<std::string>& lines);

// "Введи имя файла" with the two filters; the lines, cut at "@@", written there.
bool SaveTextLines(QWidget* parent, const std::vector<std::string>& lines);

// Writes the copy for the editor of "NamRed" beside the shown file and starts the
// editor on it without waiting. A path that is not an existing file gets the
// file-open message and nothing is written.
bool HandToExternalEditor(const std::filesystem::path& shown, const std::vector<std::string>& lines,
                          const std::string& editor_path_cp1251);

// "Текстовые (*.txt)|*.txt|Все файлы (*.*)|*.*|" as a Qt filter list.
QString QtFileFilters(const std::string& windows_filters_cp1251);

}  // namespace kv
