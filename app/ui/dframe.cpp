#include "app/ui/dframe.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QMenuBar>
#include <QMessageBox>

#include <cstdio>

#include "app/settings/program_settings.h"
#include "app/shell/shell_rules.h"
#include "app/ui/dcli.h"
#include "app/ui/duapp.h"
#include "app/ui/fonts.h"
#include "app/ui/menu_commands.h"
#include "chart/birth/birth_command.h"

namespace kv {
namespace {

// The menu bar, left to right; pop-ups hold their items.
struct MenuColumn {
  const char* text;
  int id;                              // a command of its own when there is no pop-up
  std::vector<MainMenuItem> popup;     // separators have id 0
};

const std::vector<MenuColumn>& MainMenuLayout() {
  static const std::vector<MenuColumn> layout = {
      {"Гороскоп", kCmdBirthData, {}},
      {"Интерпретация", kCmdMenuInterpretation, {}},
      {"Символика", kCmdMenuSymbolism, {}},
      {"Настройки", 0,
       {{kCmdSettingsChart, "Гороскоп"},
        {kCmdSettingsInterpretation, "Интерпретация"},
        {kCmdSettingsPrinter, "Принтер"},
        {0, nullptr},
        {kCmdSettingsUserStatus, "Статус пользователя"},
        {0, nullptr},
        {kCmdSettingsEditor, "Установка внешнего редактора"}}},
      {"Знаки", kCmdMenuSigns, {}},
      {"Дома", kCmdMenuHouses, {}},
      {"Планеты", kCmdMenuPlanets, {}},
      {"&База данных", 0,
       {{kCmdDatabaseCatalogue, "Каталог"},
        {kCmdDatabaseChange, "Смена базы"},
        {kCmdDatabaseCreate, "Создание базы"}}},
      {"Окна", 0,
       {{kCmdCascade, "Каскад"},
        {kCmdTile, "Мозаика"},
        {kCmdArrangeIcons, "Упорядочить Иконки"},
        {0, nullptr},
        {kCmdCloseAll, "Закрыть все"}}},
      {"Помощь", kCmdMenuHelp, {}},
      {"Вы&ход", kCmdExit, {}},
  };
  return layout;
}

}  // namespace

DFrame::DFrame(DUApp* app, DCli* client) : app_(app), client_(client) {
  setWindowTitle("Kvimarot");
  setCentralWidget(client_);
  BuildMainMenu();
}

void DFrame::BuildMainMenu() {
  QMenuBar* bar = menuBar();
  auto add = [this](QWidget* owner, int id, const char* text) {
    QAction* a = new QAction(QString::fromUtf8(text), owner);
    a->setData(id);
    connect(a, &QAction::triggered, this, [this, id] { app_->Command(id); });
    actions_[id] = a;
    return a;
  };
  for (const auto& column : MainMenuLayout()) {
    if (column.popup.empty()) {
      bar->addAction(add(bar, column.id, column.text));
      continue;
    }
    QMenu* menu = bar->addMenu(QString::fromUtf8(column.text));
    for (const auto& item : column.popup) {
      if (item.id == 0) menu->addSeparator();
      else menu->addAction(add(menu, item.id, item.text));
    }
  }
  UpdateCommandStates();
}

void DFrame::PlaceFrame(const FrameRect& outer) {
  outer_ = outer;
  fitting_ = true;
  resize(outer.width, outer.height);
  // QWidget::move places a top-level window by its frame (before the first show Qt asks
  // the window manager for north-west gravity), unlike setGeometry, which places the
  // client area and so pushes the title bar above the screen.
  move(outer.x, outer.y);
  if (isVisible()) FitDecorations();
}

bool DFrame::event(QEvent* e) {
  const bool handled = QMainWindow::event(e);
  if (fitting_ && (e->type() == QEvent::Show || e->type() == QEvent::Move ||
                   e->type() == QEvent::Resize))
    FitDecorations();
  return handled;
}

void DFrame::FitDecorations() {
  const QRect outer = frameGeometry();
  const QRect inner = geometry();
  const FrameMargins m{inner.left() - outer.left(), inner.top() - outer.top(),
                       outer.right() - inner.right(), outer.bottom() - inner.bottom()};
  if (m.left == 0 && m.top == 0 && m.right == 0 && m.bottom == 0) return;  // not known yet
  fitting_ = false;
  const FrameRect client = ClientRect(outer_, m);
  resize(client.width, client.height);
  move(outer_.x, outer_.y);
}

void DFrame::UpdateCommandStates() {
  for (auto& [id, action] : actions_) action->setEnabled(app_->HasCommand(id));
}

QAction* DFrame::ActionFor(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

bool ConfirmExit(QWidget* parent) {
  SaveProgramSettings(AppSettings());
  QMessageBox box(QMessageBox::Question, "Kvimarot", QString::fromUtf8("Закончить Работу?"),
                  QMessageBox::Yes | QMessageBox::No, parent);
  box.button(QMessageBox::Yes)->setText(QString::fromUtf8("&Да"));
  box.button(QMessageBox::No)->setText(QString::fromUtf8("&Нет"));
  box.setDefaultButton(QMessageBox::Yes);
  if (box.exec() != QMessageBox::Yes) return false;
  RemoveProgramFonts();
  if (AppSettings().Option(kOptCleanupAtExit))
    for (const auto& f : CleanupFiles()) std::remove(f.c_str());
  return true;
}

void DFrame::closeEvent(QCloseEvent* e) {
  if (ConfirmExit(this)) e->accept();
  else e->ignore();
}

}  // namespace kv
