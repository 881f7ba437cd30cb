// qt_text.h — the program's UTF-16 text handed to Qt.
#pragma once

#include <QString>
#include <string_view>

namespace platform {

// A UTF-16 text (a literal, a std::u16string, a Host context field's text) as a QString.
inline QString ToQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

}  // namespace platform
