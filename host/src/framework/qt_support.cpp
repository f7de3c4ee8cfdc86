#include "qt_support.h"

#include <cmath>

namespace host::framework {

QFont MakeFont(const QFont& base, const std::string& name, float size, bool bold, bool italic,
               bool underline) {
  QFont font = base;
  if (!name.empty() && name != "System")
    font.setFamily(ToQt(name));
  if (size > 0)
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(size))));
  font.setBold(bold);
  font.setItalic(italic);
  font.setUnderline(underline);
  return font;
}

}  // namespace host::framework
