#include "Window1Layout.h"

#include <cstdint>

#include "LayoutStreamWriter.h"

namespace Window1Layout {
namespace {

constexpr std::uint32_t kOpaqueWhite = 0x00FFFFFF;
constexpr std::uint32_t kOpaqueYellow = 0x00FFFF00;
constexpr std::uint32_t kOpaqueGrey = 0x004C4C4C;
constexpr std::uint32_t kOpaqueBlack = 0x00000000;
// Marks a control that belongs to no control array.
constexpr std::int64_t kNoArrayIndex = -2147483648LL;
constexpr std::string_view kWindowParent = "";

// Where a control sits: window coordinates, its tab order among its parent's children.
struct Place {
  std::string_view parent;
  std::int64_t left, top, width, height, tabIndex;
};

struct RoundRectangleLook {
  std::uint32_t borderColor = kOpaqueWhite;
  double corner = 16.0;
  bool allowAutoDeactivate = true;
};

struct LabelLook {
  std::string_view text;
  bool enabled = false;
  float fontSize = 13.0f;
  std::int64_t textAlignment = 0;
  std::uint32_t textColor = kOpaqueWhite;
  bool bold = false;
  bool italic = false;
  bool visible = true;
};

// The bold, right-aligned caption in front of a port menu.
LabelLook MenuCaptionLook(std::string_view text) {
  return {.text = text, .enabled = true, .fontSize = 0.0f, .textAlignment = 3, .bold = true};
}

LabelLook InstructionLook(std::string_view text) {
  return {.text = text};
}

LabelLook HeadingLook(std::string_view text) {
  return {.text = text, .fontSize = 16.0f, .textColor = kOpaqueYellow, .italic = true};
}

void WriteHead(LayoutStreamWriter& w, std::string_view name, const Place& p) {
  w.String("Name", name)
      .Integer("Index", kNoArrayIndex)
      .Integer("Left", p.left)
      .Integer("Top", p.top)
      .Integer("Width", p.width)
      .Integer("Height", p.height)
      .Boolean("LockLeft", true)
      .Boolean("LockTop", true)
      .Boolean("LockRight", false)
      .Boolean("LockBottom", false)
      .Integer("TabIndex", p.tabIndex)
      .Integer("TabPanelIndex", 0);
}

ControlLayout RoundRectangle(std::string_view name, const Place& p,
                             const RoundRectangleLook& look = {}) {
  LayoutStreamWriter w;
  WriteHead(w, name, p);
  w.Boolean("AllowAutoDeactivate", look.allowAutoDeactivate)
      .Colour("BorderColor", look.borderColor)
      .Double("BorderThickness", 1.0)
      .Boolean("Enabled", true)
      .Colour("FillColor", kOpaqueBlack)
      .String("Tooltip", "")
      .Double("CornerHeight", look.corner)
      .Double("CornerWidth", look.corner)
      .Boolean("Transparent", true)
      .Boolean("Visible", true)
      .String("InitialParent", p.parent);
  return {name, Kind::RoundRectangle, w.Bytes()};
}

ControlLayout Label(std::string_view name, const Place& p, const LabelLook& look) {
  LayoutStreamWriter w;
  WriteHead(w, name, p);
  w.Boolean("TabStop", true)
      .Boolean("AllowAutoDeactivate", true)
      .Boolean("Enabled", look.enabled)
      .String("Tooltip", "")
      .Boolean("Multiline", false)
      .Boolean("Selectable", false)
      .Integer("TextAlignment", look.textAlignment)
      .Colour("TextColor", look.textColor)
      .Boolean("Transparent", true)
      .String("Text", look.text)
      .Boolean("Visible", look.visible)
      .Boolean("Bold", look.bold)
      .Boolean("Italic", look.italic)
      .String("FontName", "System")
      .Boolean("Underline", false)
      .Single("FontSize", look.fontSize)
      .FontUnit("FontUnit", 0)
      .String("DataSource", "")
      .String("DataField", "")
      .String("InitialParent", p.parent);
  return {name, Kind::Label, w.Bytes()};
}

ControlLayout PopupMenu(std::string_view name, const Place& p) {
  LayoutStreamWriter w;
  WriteHead(w, name, p);
  w.Boolean("TabStop", true)
      .Boolean("AllowAutoDeactivate", true)
      .Boolean("Enabled", true)
      .String("Tooltip", "")
      .String("InitialValue", "")
      .Integer("SelectedRowIndex", 0)
      .Boolean("Transparent", true)
      .Boolean("Visible", true)
      .String("FontName", "System")
      .Single("FontSize", 0.0f)
      .FontUnit("FontUnit", 0)
      .Boolean("Bold", false)
      .Boolean("Italic", false)
      .Boolean("Underline", false)
      .String("DataSource", "")
      .String("DataField", "")
      .String("InitialParent", p.parent);
  return {name, Kind::PopupMenu, w.Bytes()};
}

ControlLayout PushButton(std::string_view name, const Place& p, std::string_view caption) {
  LayoutStreamWriter w;
  WriteHead(w, name, p);
  w.Boolean("TabStop", true)
      .Boolean("AllowAutoDeactivate", true)
      .Integer("MacButtonStyle", 0)
      .Boolean("Cancel", false)
      .String("Caption", caption)
      .Boolean("Default", true)
      .Boolean("Enabled", true)
      .String("Tooltip", "")
      .Boolean("Transparent", true)
      .Boolean("Visible", true)
      .String("FontName", "System")
      .Single("FontSize", 0.0f)
      .FontUnit("FontUnit", 0)
      .Boolean("Bold", false)
      .Boolean("Italic", false)
      .Boolean("Underline", false)
      .String("InitialParent", p.parent);
  return {name, Kind::PushButton, w.Bytes()};
}

// Opaque, and full until the window's Open event resets it.
ControlLayout ProgressBar(std::string_view name, const Place& p) {
  LayoutStreamWriter w;
  WriteHead(w, name, p);
  w.Boolean("TabStop", true)
      .Boolean("AllowAutoDeactivate", true)
      .Boolean("Enabled", true)
      .String("Tooltip", "")
      .Boolean("Transparent", false)
      .Boolean("Visible", true)
      .Boolean("Indeterminate", false)
      .Double("Value", 100.0)
      .Integer("MaximumValue", 100)
      .String("InitialParent", p.parent);
  return {name, Kind::ProgressBar, w.Bytes()};
}

// A repeating timer: one tick per firmware message.
ControlLayout Timer(std::string_view name) {
  LayoutStreamWriter w;
  w.Integer("RunMode", 2).Integer("Period", 76).Boolean("Enabled", true);
  return {name, Kind::Timer, w.Bytes()};
}

std::string BuildWindowStream() {
  LayoutStreamWriter w;
  w.Integer("Width", 815)
      .Integer("Height", 480)
      .Integer("MinimumWidth", 64)
      .Integer("MinimumHeight", 64)
      .Integer("MaximumWidth", 815)
      .Integer("MaximumHeight", 480)
      .Integer("Type", 0)
      .String("Title", kTitle)
      .Boolean("HasCloseButton", true)
      .Boolean("HasMaximizeButton", false)
      .Boolean("HasMinimizeButton", false)
      .Boolean("HasFullScreenButton", false)
      .Boolean("Resizeable", true)
      .Boolean("Composite", false)
      .Integer("MacProcID", 0)
      .Boolean("FullScreen", false)
      .Integer("DefaultLocation", 0)
      .Boolean("Visible", true)
      .Boolean("HasBackgroundColor", true)
      .Colour("BackgroundColor", kOpaqueBlack)
      .Boolean("MenuBarVisible", true)
      .Boolean("LiveResize", true);
  return w.Bytes();
}

std::vector<ControlLayout> BuildControls() {
  constexpr std::string_view step1 = "RoundRectangle1";
  constexpr std::string_view step2 = "RoundRectangle2";
  constexpr std::string_view step3 = "RoundRectangle3";
  return {
      RoundRectangle(step1, {kWindowParent, 33, 45, 750, 95, 15}),
      Label("Label1", {step1, 53, 55, 336, 20, 0},
            InstructionLook("1. Connect your MIDI interface to the Mac.")),
      Label("Label2", {step1, 53, 80, 336, 20, 1},
            InstructionLook("2. Press the 'SEARCH' button.")),
      Label("Label3", {step1, 53, 105, 336, 20, 2},
            InstructionLook("3. Select your MIDI interface in the 'MIDI OUT' box.")),
      PopupMenu("ChooseMidiOut_PopMenu", {step1, 470, 83, 166, 22, 3}),
      // The MIDI IN menu and its caption sit below the window's bottom edge, never seen.
      PopupMenu("ChooseMidiIn_PopMenu", {step1, 470, 500, 166, 22, 4}),
      Label("Label133", {step1, 380, 83, 80, 20, 5}, MenuCaptionLook("MIDI OUT :")),
      PushButton("PushButton1", {step1, 675, 84, 80, 22, 7}, "SEARCH"),
      RoundRectangle(step2, {kWindowParent, 33, 185, 750, 95, 16}),
      Label("Label4", {step2, 53, 197, 350, 20, 0},
            InstructionLook("4. Press the 'OPEN' button to load the new firmware file.")),
      Label("Label5", {step2, 53, 222, 523, 20, 1},
            InstructionLook("5. Plug in power while holding the 'DRY' and 'FX3' switches down.")),
      Label("Label6", {step2, 53, 247, 500, 20, 2},
            InstructionLook(
                "6. Connect the OUTPUT of the MIDI interface to the MIDI IN of the Tandemorphix.")),
      PushButton("PushButton2", {step2, 675, 229, 80, 22, 3}, "OPEN"),
      RoundRectangle(step3, {kWindowParent, 33, 325, 750, 120, 17}),
      Label("Label7", {step3, 53, 337, 336, 20, 0},
            InstructionLook("7. Press the 'UPDATE' button to start updating.")),
      PushButton("PushButton3", {step3, 675, 348, 80, 22, 1}, "UPDATE"),
      ProgressBar("ProgressBar1", {step3, 70, 419, 564, 8, 2}),
      Label(
          "Label16", {step3, 591, 390, 42, 20, 2},
          {.text = "0 %", .enabled = true, .fontSize = 0.0f, .textAlignment = 3, .visible = false}),
      RoundRectangle("RoundRectangle4", {step3, 67, 419, 570, 10, 3},
                     {.borderColor = kOpaqueGrey, .corner = 8.0, .allowAutoDeactivate = false}),
      Label("Label8", {step3, 53, 362, 336, 20, 4},
            InstructionLook("*  Be careful not to let your MAC go to 'SLEEP'.")),
      PushButton("PushButton4", {step3, 675, 395, 80, 22, 5}, "CANCEL"),
      Label("Label9", {step3, 53, 387, 450, 20, 7},
            InstructionLook(
                "*  MIDI data is sent slowly to avoid errors. It takes about 30~40 seconds.")),
      Label("Label10", {kWindowParent, 32, 15, 57, 29, 18}, HeadingLook("Step 1")),
      Label("Label11", {kWindowParent, 32, 155, 57, 29, 19}, HeadingLook("Step 2")),
      Label("Label12", {kWindowParent, 32, 295, 57, 29, 20}, HeadingLook("Step 3")),
      Timer("Timer1"),
      Label("Label132", {kWindowParent, 352, 500, 80, 20, 21}, MenuCaptionLook("MIDI IN :")),
  };
}

}  // namespace

const std::string& WindowStream() {
  static const std::string stream = BuildWindowStream();
  return stream;
}

const std::vector<ControlLayout>& Controls() {
  static const std::vector<ControlLayout> controls = BuildControls();
  return controls;
}

}  // namespace Window1Layout
