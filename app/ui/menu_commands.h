// The commands of the main menu, by the identifiers of the program's menu. A command
// with a handler (DUApp::RegisterCommand, connected in app/compose) is enabled; the
// others stay greyed. Command 200 "Гороскоп" is kCmdBirthData of
// chart/birth/birth_command.h.
#pragma once

namespace kv {

inline constexpr int kCmdMenuInterpretation = 901;   // "Интерпретация"
inline constexpr int kCmdMenuSymbolism = 902;        // "Символика"
inline constexpr int kCmdSettingsChart = 305;        // "Настройки" / "Гороскоп"
inline constexpr int kCmdSettingsInterpretation = 306;
inline constexpr int kCmdSettingsPrinter = 307;
inline constexpr int kCmdSettingsUserStatus = 308;   // "Статус пользователя"
inline constexpr int kCmdSettingsEditor = 311;       // "Установка внешнего редактора"
inline constexpr int kCmdMenuSigns = 501;            // "Знаки"
inline constexpr int kCmdMenuHouses = 502;           // "Дома"
inline constexpr int kCmdMenuPlanets = 500;          // "Планеты"
inline constexpr int kCmdDatabaseCatalogue = 401;    // "База данных" / "Каталог"
inline constexpr int kCmdDatabaseChange = 404;       // "Смена базы"
inline constexpr int kCmdDatabaseCreate = 405;       // "Создание базы"
inline constexpr int kCmdCascade = 24361;            // "Окна" / "Каскад"
inline constexpr int kCmdTile = 24362;               // "Мозаика"
inline constexpr int kCmdArrangeIcons = 24364;       // "Упорядочить Иконки"
inline constexpr int kCmdCloseAll = 24365;           // "Закрыть все"
inline constexpr int kCmdMenuHelp = 601;             // "Помощь"
inline constexpr int kCmdExit = 24310;               // "Выход"

}  // namespace kv
