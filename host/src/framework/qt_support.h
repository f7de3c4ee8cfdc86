// Conversions between the framework's values and the toolkit's.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <string>

#include "host/layout_properties.h"

namespace host::framework {

inline QString ToQt(const std::string& text) {
  return QString::fromUtf8(text);
}

// &hAARRGGBB, where AA is the transparency.
inline QColor ToQColor(Color color) {
  return QColor((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF,
                255 - static_cast<int>((color >> 24) & 0xFF));
}

// "System" and size 0 keep the platform's default font and size; sizes are pixels.
QFont MakeFont(const QFont& base, const std::string& name, float size, bool bold, bool italic,
               bool underline);

}  // namespace host::framework
