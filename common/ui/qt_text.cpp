#include "common/ui/qt_text.h"

#include "common/codepage.h"
#include "common/messages.h"

namespace kv {

QString FromCp1251(std::string_view text) {
  QString out;
  out.reserve(static_cast<qsizetype>(text.size()));
  for (unsigned char c : text) out.append(QChar(static_cast<char16_t>(Cp1251ToUnicode(c))));
  return out;
}

std::string ToCp1251(const QString& text) { return Utf8ToCp1251(text.toUtf8().toStdString()); }

QString TextQ(std::string_view key) { return FromCp1251(Text(key)); }

}  // namespace kv
