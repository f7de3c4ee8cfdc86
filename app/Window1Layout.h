// The main window's appearance as data: one layout property stream for the window and one
// for each of its 27 controls, built from readable descriptions of each control.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace Window1Layout {

enum class Kind { RoundRectangle, Label, PopupMenu, PushButton, ProgressBar, Timer };

struct ControlLayout {
  std::string_view name;
  Kind kind;
  std::string stream;
};

inline constexpr std::string_view kTitle = "Tandemorphix Firmware Loader  v1.00";

const std::string& WindowStream();
// The 27 controls in creation order; a parent always comes before its children.
const std::vector<ControlLayout>& Controls();

}  // namespace Window1Layout
