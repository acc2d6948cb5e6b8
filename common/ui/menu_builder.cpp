#include "common/ui/menu_builder.h"

#include "common/ui/qt_text.h"

namespace kv {

void FillMenu(QMenu* menu, const std::vector<MenuItem>& items,
              const std::function<void(int)>& on_command) {
  for (const auto& item : items) {
    switch (item.kind) {
      case MenuItem::Kind::kSeparator:
        menu->addSeparator();
        break;
      case MenuItem::Kind::kCommand: {
        QAction* a = menu->addAction(FromCp1251(item.text));
        int id = item.id;
        a->setData(id);
        QObject::connect(a, &QAction::triggered, menu, [on_command, id] { on_command(id); });
        break;
      }
      case MenuItem::Kind::kSubmenu:
        FillMenu(menu->addMenu(FromCp1251(item.text)), item.items, on_command);
        break;
    }
  }
}

void PopupMenuFromEntry(std::string_view context_key, const QPoint& global_pos,
                        const std::function<void(int)>& on_command) {
  QMenu menu;
  FillMenu(&menu, ReadMenuEntry(Resources(), context_key), on_command);
  menu.exec(global_pos);
}

}  // namespace kv
