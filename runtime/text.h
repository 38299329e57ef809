#pragma once
// Conversions between the program's UTF-8 texts and Qt's strings.
#include <QString>
#include <string>
#include <string_view>

namespace nobrelt::runtime {

inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToText(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace nobrelt::runtime
