// The reference dialogs of the main menu: the signs and the houses with their
// introductions, the planets in signs and houses, and the symbol window "SYMBOL".
// Their texts come from the details collection "zdp" and open in text windows whose
// "Изменить текст…" edits that entry.
#pragma once

#include <optional>
#include <string>

#include "common/ui/dial.h"
#include "common/ui/dkerchild.h"
#include "texts/reference_texts.h"

class QLabel;
class QListWidget;

namespace kv {

class DText;

// Which of the two dialogs DZH is: the signs (1007) or the houses (1008).
enum class ReferenceKind { kSigns, kHouses };

inline constexpr int kSignsDialogResource = 1007;
inline constexpr int kHousesDialogResource = 1008;
inline constexpr int kPlanetsDialogResource = 1009;
inline constexpr const char* kHelpSigns = "HZ";
inline constexpr const char* kHelpHouses = "HD";
inline constexpr const char* kHelpPlanets = "DPL";

inline constexpr int kIdIntroduction = 100;
inline constexpr int kIdFirstList = 1501;  // then 1502 signs and 1503 houses of the planets dialog
inline constexpr int kCmdShowText = 1001;  // "Показать"; "О планете" in the planets dialog
inline constexpr int kCmdAboutHouses = 1002;  // "О домах"; "Планета в знаке" in the planets dialog
inline constexpr int kCmdPlanetInHouse = 1003;
inline constexpr size_t kMaxIntroduction = 1000;

// Opens a reference text of "zdp" under `key` in a text window over the MDI client
// (its title also heads the file). Nothing when the collection does not open.
DText* OpenReferenceText(const std::string& key, const std::string& title_cp1251);

// An introduction ("Z", "H"): its items joined with line breaks, at most 1000
// characters.
std::string JoinIntroduction(std::string_view key);

// Signs (1007 "Знаки") or houses (1008 "Астрологические Дома").
class DZH : public Dial {
  Q_OBJECT
 public:
  DZH(QWidget* parent, ReferenceKind kind);
  bool Houses() const { return houses_; }
  QListWidget* List() const { return list_; }
  void Command(int id) override;
  // The window the last button opened (tests), or nullptr.
  DText* LastOpened() const { return last_; }

 private:
  bool houses_;
  QListWidget* list_;
  DText* last_ = nullptr;
};

// Planets in signs and houses (1009): "О планете", "Планета в знаке", "Планета в
// доме" for the planets from the Sun to Pluto.
class DPL : public Dial {
  Q_OBJECT
 public:
  explicit DPL(QWidget* parent);
  QListWidget* Planets() const { return planets_; }
  QListWidget* Signs() const { return signs_; }
  QListWidget* Houses() const { return houses_; }
  void Command(int id) override;
  DText* LastOpened() const { return last_; }

 private:
  QListWidget* planets_;
  QListWidget* signs_;
  QListWidget* houses_;
  DText* last_ = nullptr;
};

// The symbol legend: the twelve sign glyphs and the glyphs of the Sun to the north
// node, each with its name. No menu, no help; opens maximised when option byte 30 is
// clear.
class DSim : public DChild {
  Q_OBJECT
 public:
  explicit DSim(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* e) override;
};

// Where the legend draws: glyph height b from the client height, column unit d from
// the width; sign rows and body rows both start at y = b.
struct SymbolLayout {
  int glyph_height = 0;  // b = 0.05 H
  int text_height = 0;   // 0.8 b
  int unit = 0;          // d = 0.04 W
  int sign_glyph_x = 0;  // 1.5 d
  int sign_name_x = 0;   // 2 d
  int body_glyph_x = 0;  // 0.5 d + 13 d
  int body_name_x = 0;   // 14 d
  int RowY(int i) const { return (i + 1) * glyph_height; }
};
SymbolLayout SymbolLayoutFor(int width, int height);

void OpenSignsOrHousesDialog(QWidget* parent, ReferenceKind kind);
void OpenPlanetsDialog(QWidget* parent);
DSim* OpenSymbolWindow();

}  // namespace kv
