// A small text-resource table for the widget tests: the lists the dialogs read.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "common/codepage.h"
#include "common/messages.h"

namespace kv::test {

inline std::string LookupTestText(std::string_view key) {
  static const std::map<std::string, std::string, std::less<>> table = {
      {"OCH", Utf8ToCp1251("Принять/Отменить/Справка")},
      {"Mes", Utf8ToCp1251("Январь/Февраль/Март/Апрель/Май/Июнь/Июль/Август/Сентябрь/"
                           "Октябрь/Ноябрь/Декабрь")},
      {"DND", Utf8ToCp1251("Пн/Вт/Ср/Чт/Пт/Сб/Вс")},
      {"ActK", Utf8ToCp1251("Г-10/Г-1/<М/*/М>/Г+1/Г+10")},
      {"Noab", Utf8ToCp1251("Нет базы городов")},
      {"NoWr%s", Utf8ToCp1251("Не удалось записать файл '%s'.")},
      {"PdfOk%s", Utf8ToCp1251("Лист записан в файл %s")},
  };
  auto it = table.find(key);
  return it == table.end() ? std::string(key) : it->second;
}

inline std::string& LastWarning() {
  static std::string text;
  return text;
}
inline void CaptureWarning(const std::string& t) { LastWarning() = t; }

inline void InstallTestTexts() {
  SetTextLookup(&LookupTestText);
  SetMessageSink({&CaptureWarning, &CaptureWarning});
}

}  // namespace kv::test
