#include "texts/ui/reference_dialogs.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QFontMetrics>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "chart/wheel/chart_panels.h"
#include "common/codepage.h"
#include "common/messages.h"
#include "common/tokens.h"
#include "common/ui/qt_text.h"
#include "common/ui/window_hooks.h"
#include "texts/output_file.h"
#include "texts/ui/text_services.h"
#include "texts/ui/text_view.h"
#include "texts/ui/text_windows.h"

namespace kv {
namespace {

QString ButtonLabel(size_t index, const char* fallback) {
  const std::vector<std::string> labels = Split(Text("OCH"), '/');
  return index < labels.size() ? FromCp1251(labels[index]) : QString::fromLatin1(fallback);
}

QListWidget* ListOf(std::string_view key, QWidget* parent) {
  auto* list = new QListWidget(parent);
  for (const std::string& item : ResourceList(key)) list->addItem(FromCp1251(item));
  return list;
}

std::string Item(std::string_view key, int index) {
  const std::vector<std::string> items = ResourceList(key);
  return index >= 0 && static_cast<size_t>(index) < items.size() ? items[static_cast<size_t>(index)]
                                                                  : std::string();
}

int Row(const QListWidget* list) { return list->currentRow(); }

// "Закрыть" and "Помощь" at the foot of a reference dialog.
QHBoxLayout* FootButtons(QPushButton* cancel, QPushButton* help) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(cancel);
  row->addWidget(help);
  return row;
}

}  // namespace

std::string JoinIntroduction(std::string_view key) {
  std::string text;
  for (const std::string& item : ResourceList(key)) {
    if (!text.empty()) text += "\n";
    text += item;
  }
  return text.substr(0, kMaxIntroduction);
}

DText* OpenReferenceText(const std::string& key, const std::string& title) {
  std::string body;
  if (!WriteReferenceText(key, CurrentInterpretationOptions(), body)) return nullptr;
  const std::optional<std::filesystem::path> file =
      WriteOutputTextFile(Services().workdir, title, body);
  if (!file) return nullptr;
  return OpenTextWindow(*file, FromCp1251(title), EditableEntry{key, title});
}

// ---------------------------------------------------------------- DZH

DZH::DZH(QWidget* parent, ReferenceKind kind)
    : Dial(parent, kind == ReferenceKind::kHouses ? kHousesDialogResource : kSignsDialogResource,
           kind == ReferenceKind::kHouses ? kHelpHouses : kHelpSigns, 0),
      houses_(kind == ReferenceKind::kHouses) {
  setWindowTitle(QString::fromUtf8(houses_ ? "Астрологические Дома" : "Знаки"));
  auto* intro = new QLabel(FromCp1251(JoinIntroduction(houses_ ? "H" : "Z")), this);
  intro->setWordWrap(true);
  RegisterControl(kIdIntroduction, intro);
  list_ = ListOf(houses_ ? "HOM" : "ZOD", this);
  RegisterControl(kIdFirstList, list_);
  list_->setCurrentRow(0);
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { Command(kCmdShowText); });

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(intro);
  auto* middle = new QHBoxLayout;
  middle->addWidget(list_, 1);
  auto* buttons = new QVBoxLayout;
  QPushButton* show = AddButton(kCmdShowText, QString::fromUtf8("Показать"));
  show->setDefault(true);
  buttons->addWidget(show);
  if (houses_) buttons->addWidget(AddButton(kCmdAboutHouses, QString::fromUtf8("О домах")));
  buttons->addStretch();
  middle->addLayout(buttons);
  layout->addLayout(middle, 1);
  layout->addLayout(FootButtons(AddButton(kCmdCancel, ButtonLabel(1, "Cancel")),
                                AddButton(kCmdHelp, ButtonLabel(2, "Help"))));
  resize(620, 560);
}

void DZH::Command(int id) {
  std::optional<std::string> key;
  std::string title;
  if (id == kCmdShowText) {
    const int row = Row(list_);
    key = houses_ ? HousesDialogKey(row) : SignsDialogKey(row);
    title = Item(houses_ ? "HOM" : "ZOD", row);
  } else if (id == kCmdAboutHouses && houses_) {
    key = kHousesInGeneralKey;
    title = W("О домах");
  } else {
    Dial::Command(id);
    return;
  }
  if (key) last_ = OpenReferenceText(*key, title);
}

// ---------------------------------------------------------------- DPL

DPL::DPL(QWidget* parent) : Dial(parent, kPlanetsDialogResource, kHelpPlanets, 0) {
  setWindowTitle(QString::fromUtf8("Планеты в знаках и домах"));
  planets_ = ListOf("PL", this);
  signs_ = ListOf("ZOD", this);
  houses_ = ListOf("HOM", this);
  RegisterControl(kIdFirstList, planets_);
  RegisterControl(kIdFirstList + 1, signs_);
  RegisterControl(kIdFirstList + 2, houses_);
  for (QListWidget* l : {planets_, signs_, houses_}) l->setCurrentRow(0);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QString::fromUtf8("Планеты"), this), 0, 0);
  grid->addWidget(new QLabel(QString::fromUtf8("Знаки"), this), 0, 1);
  grid->addWidget(new QLabel(QString::fromUtf8("Дома"), this), 0, 2);
  grid->addWidget(planets_, 1, 0);
  grid->addWidget(signs_, 1, 1);
  grid->addWidget(houses_, 1, 2);
  grid->setColumnStretch(0, 2);
  grid->setColumnStretch(1, 2);
  grid->setColumnStretch(2, 3);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(AddButton(kCmdShowText, QString::fromUtf8("О планете")));
  buttons->addWidget(AddButton(kCmdAboutHouses, QString::fromUtf8("Планета в знаке")));
  buttons->addWidget(AddButton(kCmdPlanetInHouse, QString::fromUtf8("Планета в доме")));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid, 1);
  layout->addLayout(buttons);
  layout->addLayout(FootButtons(AddButton(kCmdCancel, ButtonLabel(1, "Cancel")),
                                AddButton(kCmdHelp, ButtonLabel(2, "Help"))));
  resize(900, 520);
}

void DPL::Command(int id) {
  PlanetButton button;
  if (id == kCmdShowText) button = PlanetButton::kPlanet;
  else if (id == kCmdAboutHouses) button = PlanetButton::kPlanetInSign;
  else if (id == kCmdPlanetInHouse) button = PlanetButton::kPlanetInHouse;
  else {
    Dial::Command(id);
    return;
  }
  const int p = Row(planets_), s = Row(signs_), h = Row(houses_);
  const std::optional<std::string> key = PlanetsDialogKey(button, p, s, h);
  if (!key) return;
  const std::string planet = Item("PL", p);
  std::string title = planet;
  if (button == PlanetButton::kPlanetInSign) title = planet + W(" в ") + Item("ZODp", s);
  if (button == PlanetButton::kPlanetInHouse)
    title = planet + W(" в ") + std::to_string(h + 1) + W("-м доме");
  last_ = OpenReferenceText(*key, title);
}

// ---------------------------------------------------------------- DSim

SymbolLayout SymbolLayoutFor(int width, int height) {
  SymbolLayout l;
  l.glyph_height = static_cast<int>(0.05 * height);
  l.text_height = static_cast<int>(0.8 * l.glyph_height);
  l.unit = static_cast<int>(0.04 * width);
  l.sign_glyph_x = static_cast<int>(1.5 * l.unit);
  l.sign_name_x = 2 * l.unit;
  l.body_glyph_x = static_cast<int>(0.5 * l.unit) + 13 * l.unit;
  l.body_name_x = 14 * l.unit;
  return l;
}

DSim::DSim(QWidget* parent) : DChild(QStringLiteral("SYMBOL"), "", "", parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void DSim::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const TextWindowSettings s = CurrentTextSettings();
  p.fillRect(rect(), ColourOf(s.background));
  p.setPen(ColourOf(s.text_colour));
  const SymbolLayout l = SymbolLayoutFor(width(), height());
  if (l.glyph_height < 1) return;
  QFont glyphs(QStringLiteral("ATM"));
  glyphs.setPixelSize(l.glyph_height);
  QFont text(FromCp1251(s.face));
  text.setPixelSize(std::max(1, l.text_height));
  const std::vector<std::string> signs = ResourceList("ZOD");
  const std::vector<std::string> bodies = ResourceList("P-H");
  const int glyph_ascent = QFontMetrics(glyphs).ascent();
  const int text_ascent = QFontMetrics(text).ascent();
  // y is the top of the row, as the text cells are placed.
  auto row = [&](int y, int glyph_x, char glyph, int name_x, const std::string& name) {
    p.setFont(glyphs);
    p.drawText(glyph_x, y + glyph_ascent, QString(QChar::fromLatin1(glyph)));
    p.setFont(text);
    p.drawText(name_x, y + text_ascent, FromCp1251(" - " + name));
  };
  for (int i = 0; i < 12; ++i)
    row(l.RowY(i), l.sign_glyph_x, SignGlyph(i + 1), l.sign_name_x,
        static_cast<size_t>(i) < signs.size() ? signs[static_cast<size_t>(i)] : std::string());
  for (int j = 0; j <= 10; ++j)
    row(l.RowY(j), l.body_glyph_x, BodyGlyph(j + 1), l.body_name_x,
        static_cast<size_t>(j) < bodies.size() ? bodies[static_cast<size_t>(j)] : std::string());
}

// ---------------------------------------------------------------- commands

void OpenSignsOrHousesDialog(QWidget* parent, ReferenceKind kind) {
  DZH dialog(parent, kind);
  RunDialog(dialog);
}

void OpenPlanetsDialog(QWidget* parent) {
  DPL dialog(parent);
  RunDialog(dialog);
}

DSim* OpenSymbolWindow() {
  auto* sim = new DSim;
  if (QMdiArea* area = MainClient()) {
    sim->ShowIn(area, /*inverse_maximise=*/true);
  } else {
    sim->setWindowFlag(Qt::Window);
    sim->show();
  }
  return sim;
}

}  // namespace kv
