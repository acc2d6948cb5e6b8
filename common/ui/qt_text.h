// The widget boundary: 8-bit code-page 1251 texts become QString here and only here.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace kv {

QString FromCp1251(std::string_view text);
std::string ToCp1251(const QString& text);
// The text of a resource key, ready for a widget.
QString TextQ(std::string_view key);

}  // namespace kv
