// Shift-JIS bytes, as the document and the message area hold text, to and from the window's
// QStrings; and the UTF-8 of notices and error texts to QStrings.
#pragma once

#include "app/sjis.h"

#include <QString>

#include <string>
#include <string_view>

namespace hk {

inline QString FromSjis(std::string_view sjis) {
    const std::string utf8 = SjisToUtf8(sjis);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline QString FromUtf8(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string ToSjis(const QString& text) {
    return Utf8ToSjis(text.toStdString());
}

} // namespace hk
