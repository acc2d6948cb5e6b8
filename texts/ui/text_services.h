// What the text, help and editor windows and the reference dialogs take from the
// program: the settings they read, the working folder and the file dialogs (where
// windows go and the menus come from common/ui: window_hooks.h, menu_builder.h). The
// program fills it once at start-up; tests fill it with their own values. Settings are read through functions, so a change made in a
// settings dialog is seen by the next window or command.
#pragma once

#include <QString>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "texts/interpretation.h"

class QWidget;

namespace kv {

// Elements of the chart's colour table ("ColKvi") the text windows paint with: the
// text of the chart's panels, the sign glyphs (blue unless changed) for help links,
// and the window background.
inline constexpr int kTextColourElement = 4;
inline constexpr int kLinkColourElement = 9;
inline constexpr int kTextBackgroundElement = 10;

// Colours are Windows RGB values 0x00BBGGRR, as the colour table keeps them.
struct TextWindowSettings {
  std::string face = "Day New";  // 1251, at most 39 characters
  int font_size = 11;            // points
  std::vector<std::string> faces;  // the list "Shr" for the font dialog
  uint32_t text_colour = 0x000000;
  uint32_t link_colour = 0xFF0000;
  uint32_t background = 0xFFFFFF;
  bool print_dialog = false;     // option byte 10: the printer dialog before printing
  bool editor_justify = false;   // option byte 42: the entry editor justifies
  std::string editor_path;       // "NamRed"
};

// A file name the user picks in a save dialog; empty when cancelled.
using SaveFileDialog = std::function<QString(QWidget* parent, const QString& caption,
                                             const QString& preset, const QString& filters)>;

struct TextServices {
  std::filesystem::path workdir = ".";
  std::function<TextWindowSettings()> window_settings;
  std::function<InterpretationOptions()> interpretation_options;
  SaveFileDialog save_file;             // default: the system's save dialog
  // True when printing should go to a PDF file (no physical printer is installed).
  std::function<bool()> no_printer;
  // A notice that is no warning (where a PDF went); default: an information box.
  std::function<void(QWidget* parent, const std::string& text_cp1251)> inform;
};

void SetTextServices(TextServices services);
const TextServices& Services();

// Convenience readers with sound defaults when a service is not set.
TextWindowSettings CurrentTextSettings();
InterpretationOptions CurrentInterpretationOptions();
// The main frame free-standing windows are placed by: the window of the MDI client.
QWidget* MainFrame();

bool NoPhysicalPrinter();
void Inform(QWidget* parent, const std::string& text_cp1251);
QString AskSaveFile(QWidget* parent, const QString& caption, const QString& preset,
                    const QString& filters);

// A list entry of the text resources (1251 items, empty ones dropped).
std::vector<std::string> ResourceList(std::string_view key);

}  // namespace kv
