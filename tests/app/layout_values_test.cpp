// Every value of the window's layout: each control's place, parent, tab index, text, colour,
// font and state, and the values all controls of a kind share, read back from the streams.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "Window1Layout.h"
#include "host/layout_properties.h"

namespace {

using host::LayoutValueType;
using Window1Layout::Kind;

constexpr host::Color kWhite = 0x00FFFFFF;
constexpr host::Color kYellow = 0x00FFFF00;
constexpr host::Color kGrey = 0x004C4C4C;
constexpr host::Color kBlack = 0x00000000;

// Every property name the streams use, with its declared type.
std::optional<LayoutValueType> TypeOf(std::string_view name) {
  using T = LayoutValueType;
  static const std::map<std::string, T, std::less<>> types = {{"Name", T::String},
                                                              {"Index", T::Integer},
                                                              {"Left", T::Integer},
                                                              {"Top", T::Integer},
                                                              {"Width", T::Integer},
                                                              {"Height", T::Integer},
                                                              {"LockLeft", T::Boolean},
                                                              {"LockTop", T::Boolean},
                                                              {"LockRight", T::Boolean},
                                                              {"LockBottom", T::Boolean},
                                                              {"TabIndex", T::Integer},
                                                              {"TabPanelIndex", T::Integer},
                                                              {"TabStop", T::Boolean},
                                                              {"AllowAutoDeactivate", T::Boolean},
                                                              {"Enabled", T::Boolean},
                                                              {"Tooltip", T::String},
                                                              {"Transparent", T::Boolean},
                                                              {"Visible", T::Boolean},
                                                              {"InitialParent", T::String},
                                                              {"BorderColor", T::Color},
                                                              {"BorderThickness", T::Double},
                                                              {"FillColor", T::Color},
                                                              {"CornerHeight", T::Double},
                                                              {"CornerWidth", T::Double},
                                                              {"Multiline", T::Boolean},
                                                              {"Selectable", T::Boolean},
                                                              {"TextAlignment", T::Integer},
                                                              {"TextColor", T::Color},
                                                              {"Text", T::String},
                                                              {"Bold", T::Boolean},
                                                              {"Italic", T::Boolean},
                                                              {"FontName", T::String},
                                                              {"Underline", T::Boolean},
                                                              {"FontSize", T::Single},
                                                              {"FontUnit", T::FontUnits},
                                                              {"DataSource", T::String},
                                                              {"DataField", T::String},
                                                              {"InitialValue", T::String},
                                                              {"SelectedRowIndex", T::Integer},
                                                              {"MacButtonStyle", T::Integer},
                                                              {"Cancel", T::Boolean},
                                                              {"Caption", T::String},
                                                              {"Default", T::Boolean},
                                                              {"Indeterminate", T::Boolean},
                                                              {"Value", T::Double},
                                                              {"MaximumValue", T::Integer},
                                                              {"RunMode", T::Integer},
                                                              {"Period", T::Integer},
                                                              {"MinimumWidth", T::Integer},
                                                              {"MinimumHeight", T::Integer},
                                                              {"MaximumWidth", T::Integer},
                                                              {"MaximumHeight", T::Integer},
                                                              {"Type", T::Integer},
                                                              {"Title", T::String},
                                                              {"HasCloseButton", T::Boolean},
                                                              {"HasMaximizeButton", T::Boolean},
                                                              {"HasMinimizeButton", T::Boolean},
                                                              {"HasFullScreenButton", T::Boolean},
                                                              {"Resizeable", T::Boolean},
                                                              {"Composite", T::Boolean},
                                                              {"MacProcID", T::Integer},
                                                              {"FullScreen", T::Boolean},
                                                              {"DefaultLocation", T::Integer},
                                                              {"HasBackgroundColor", T::Boolean},
                                                              {"BackgroundColor", T::Color},
                                                              {"MenuBarVisible", T::Boolean},
                                                              {"LiveResize", T::Boolean}};
  const auto found = types.find(name);
  if (found == types.end())
    return std::nullopt;
  return found->second;
}

using Values = std::map<std::string, host::LayoutValue>;

Values Read(const std::string& stream) {
  Values values;
  for (auto& entry : host::ParseLayoutStream(
           std::span(reinterpret_cast<const std::uint8_t*>(stream.data()), stream.size()),
           TypeOf)) {
    values.emplace(entry.name, entry.value);
  }
  return values;
}

Values ReadControl(std::string_view name) {
  for (const auto& control : Window1Layout::Controls()) {
    if (control.name == name)
      return Read(control.stream);
  }
  ADD_FAILURE() << "no control " << name;
  return {};
}

template <class T>
T Get(Values& values, const std::string& name) {
  EXPECT_TRUE(values.contains(name)) << name;
  return std::get<T>(values[name]);
}

TEST(LayoutValues, TheWindowsStreamHoldsEveryValueOfTheWindow) {
  Values w = Read(Window1Layout::WindowStream());
  EXPECT_EQ(w.size(), 22u);
  EXPECT_EQ(Get<std::int64_t>(w, "Width"), 815);
  EXPECT_EQ(Get<std::int64_t>(w, "Height"), 480);
  EXPECT_EQ(Get<std::int64_t>(w, "MinimumWidth"), 64);
  EXPECT_EQ(Get<std::int64_t>(w, "MinimumHeight"), 64);
  EXPECT_EQ(Get<std::int64_t>(w, "MaximumWidth"), 815);
  EXPECT_EQ(Get<std::int64_t>(w, "MaximumHeight"), 480);
  EXPECT_EQ(Get<std::int64_t>(w, "Type"), 0);
  EXPECT_EQ(Get<std::string>(w, "Title"), "Tandemorphix Firmware Loader  v1.00");
  EXPECT_TRUE(Get<bool>(w, "HasCloseButton"));
  EXPECT_FALSE(Get<bool>(w, "HasMaximizeButton"));
  EXPECT_FALSE(Get<bool>(w, "HasMinimizeButton"));
  EXPECT_FALSE(Get<bool>(w, "HasFullScreenButton"));
  EXPECT_TRUE(Get<bool>(w, "Resizeable"));
  EXPECT_FALSE(Get<bool>(w, "Composite"));
  EXPECT_EQ(Get<std::int64_t>(w, "MacProcID"), 0);
  EXPECT_FALSE(Get<bool>(w, "FullScreen"));
  EXPECT_EQ(Get<std::int64_t>(w, "DefaultLocation"), 0);
  EXPECT_TRUE(Get<bool>(w, "Visible"));
  EXPECT_TRUE(Get<bool>(w, "HasBackgroundColor"));
  EXPECT_EQ(Get<host::Color>(w, "BackgroundColor"), kBlack);
  EXPECT_TRUE(Get<bool>(w, "MenuBarVisible"));
  EXPECT_TRUE(Get<bool>(w, "LiveResize"));
}

// One row of the layout table: where the control sits and what sets it apart.
struct Row {
  const char* name;
  const char* parent;
  std::int64_t left, top, width, height, tab;
  const char* text;  // a label's text or a button's caption; null for the others
  bool enabled = true;
  float fontSize = 0;
};

const std::vector<Row>& Table() {
  static const std::vector<Row> rows = {
      {"RoundRectangle1", "", 33, 45, 750, 95, 15, nullptr},
      {"Label1", "RoundRectangle1", 53, 55, 336, 20, 0,
       "1. Connect your MIDI interface to the Mac.", false, 13},
      {"Label2", "RoundRectangle1", 53, 80, 336, 20, 1, "2. Press the 'SEARCH' button.", false, 13},
      {"Label3", "RoundRectangle1", 53, 105, 336, 20, 2,
       "3. Select your MIDI interface in the 'MIDI OUT' box.", false, 13},
      {"ChooseMidiOut_PopMenu", "RoundRectangle1", 470, 83, 166, 22, 3, nullptr},
      {"ChooseMidiIn_PopMenu", "RoundRectangle1", 470, 500, 166, 22, 4, nullptr},
      {"Label133", "RoundRectangle1", 380, 83, 80, 20, 5, "MIDI OUT :"},
      {"PushButton1", "RoundRectangle1", 675, 84, 80, 22, 7, "SEARCH"},
      {"RoundRectangle2", "", 33, 185, 750, 95, 16, nullptr},
      {"Label4", "RoundRectangle2", 53, 197, 350, 20, 0,
       "4. Press the 'OPEN' button to load the new firmware file.", false, 13},
      {"Label5", "RoundRectangle2", 53, 222, 523, 20, 1,
       "5. Plug in power while holding the 'DRY' and 'FX3' switches down.", false, 13},
      {"Label6", "RoundRectangle2", 53, 247, 500, 20, 2,
       "6. Connect the OUTPUT of the MIDI interface to the MIDI IN of the Tandemorphix.", false,
       13},
      {"PushButton2", "RoundRectangle2", 675, 229, 80, 22, 3, "OPEN"},
      {"RoundRectangle3", "", 33, 325, 750, 120, 17, nullptr},
      {"Label7", "RoundRectangle3", 53, 337, 336, 20, 0,
       "7. Press the 'UPDATE' button to start updating.", false, 13},
      {"PushButton3", "RoundRectangle3", 675, 348, 80, 22, 1, "UPDATE"},
      {"ProgressBar1", "RoundRectangle3", 70, 419, 564, 8, 2, nullptr},
      {"Label16", "RoundRectangle3", 591, 390, 42, 20, 2, "0 %"},
      {"RoundRectangle4", "RoundRectangle3", 67, 419, 570, 10, 3, nullptr},
      {"Label8", "RoundRectangle3", 53, 362, 336, 20, 4,
       "*  Be careful not to let your MAC go to 'SLEEP'.", false, 13},
      {"PushButton4", "RoundRectangle3", 675, 395, 80, 22, 5, "CANCEL"},
      {"Label9", "RoundRectangle3", 53, 387, 450, 20, 7,
       "*  MIDI data is sent slowly to avoid errors. It takes about 30~40 seconds.", false, 13},
      {"Label10", "", 32, 15, 57, 29, 18, "Step 1", false, 16},
      {"Label11", "", 32, 155, 57, 29, 19, "Step 2", false, 16},
      {"Label12", "", 32, 295, 57, 29, 20, "Step 3", false, 16},
      {"Label132", "", 352, 500, 80, 20, 21, "MIDI IN :"},
  };
  return rows;
}

TEST(LayoutValues, EachControlHasItsPlaceParentTabIndexAndText) {
  for (const Row& row : Table()) {
    SCOPED_TRACE(row.name);
    Values v = ReadControl(row.name);
    EXPECT_EQ(Get<std::string>(v, "Name"), row.name);
    EXPECT_EQ(Get<std::string>(v, "InitialParent"), row.parent);
    EXPECT_EQ(Get<std::int64_t>(v, "Left"), row.left);
    EXPECT_EQ(Get<std::int64_t>(v, "Top"), row.top);
    EXPECT_EQ(Get<std::int64_t>(v, "Width"), row.width);
    EXPECT_EQ(Get<std::int64_t>(v, "Height"), row.height);
    EXPECT_EQ(Get<std::int64_t>(v, "TabIndex"), row.tab);
    EXPECT_EQ(Get<bool>(v, "Enabled"), row.enabled);
    if (row.text && v.contains("Caption")) {
      EXPECT_EQ(Get<std::string>(v, "Caption"), row.text);
    } else if (row.text) {
      EXPECT_EQ(Get<std::string>(v, "Text"), row.text);
    }
    if (v.contains("FontSize")) {
      EXPECT_EQ(Get<float>(v, "FontSize"), row.fontSize);
    }
  }
}

TEST(LayoutValues, EveryControlCarriesTheCommonValues) {
  for (const Row& row : Table()) {
    SCOPED_TRACE(row.name);
    Values v = ReadControl(row.name);
    EXPECT_EQ(Get<std::int64_t>(v, "Index"), -2147483648LL);
    EXPECT_TRUE(Get<bool>(v, "LockLeft"));
    EXPECT_TRUE(Get<bool>(v, "LockTop"));
    EXPECT_FALSE(Get<bool>(v, "LockRight"));
    EXPECT_FALSE(Get<bool>(v, "LockBottom"));
    EXPECT_EQ(Get<std::int64_t>(v, "TabPanelIndex"), 0);
    EXPECT_EQ(Get<std::string>(v, "Tooltip"), "");
    const bool isBar = std::string(row.name) == "ProgressBar1";
    const bool isLabel16 = std::string(row.name) == "Label16";
    EXPECT_EQ(Get<bool>(v, "Transparent"), !isBar);
    EXPECT_EQ(Get<bool>(v, "Visible"), !isLabel16);
    EXPECT_EQ(Get<bool>(v, "AllowAutoDeactivate"), std::string(row.name) != "RoundRectangle4");
    if (v.contains("FontName")) {
      EXPECT_EQ(Get<std::string>(v, "FontName"), "System");
      EXPECT_EQ(Get<std::uint8_t>(v, "FontUnit"), 0);
      EXPECT_FALSE(Get<bool>(v, "Underline"));
    }
    if (v.contains("DataSource")) {
      EXPECT_EQ(Get<std::string>(v, "DataSource"), "");
      EXPECT_EQ(Get<std::string>(v, "DataField"), "");
    }
    if (!v.contains("BorderColor")) {
      EXPECT_TRUE(Get<bool>(v, "TabStop"));
    }
  }
}

TEST(LayoutValues, LabelsTakeTheirColourBoldnessAndAlignment) {
  for (const Row& row : Table()) {
    Values v = ReadControl(row.name);
    if (!v.contains("TextColor"))
      continue;
    SCOPED_TRACE(row.name);
    const std::string name = row.name;
    const bool heading = name == "Label10" || name == "Label11" || name == "Label12";
    const bool caption = name == "Label133" || name == "Label132";
    EXPECT_EQ(Get<host::Color>(v, "TextColor"), heading ? kYellow : kWhite);
    EXPECT_EQ(Get<bool>(v, "Italic"), heading);
    EXPECT_EQ(Get<bool>(v, "Bold"), caption);
    EXPECT_EQ(Get<std::int64_t>(v, "TextAlignment"), caption || name == "Label16" ? 3 : 0);
    EXPECT_FALSE(Get<bool>(v, "Multiline"));
    EXPECT_FALSE(Get<bool>(v, "Selectable"));
  }
}

TEST(LayoutValues, MenusButtonsFramesBarAndTimerTakeTheirKindsValues) {
  for (const char* name : {"ChooseMidiOut_PopMenu", "ChooseMidiIn_PopMenu"}) {
    SCOPED_TRACE(name);
    Values v = ReadControl(name);
    EXPECT_EQ(Get<std::string>(v, "InitialValue"), "");
    EXPECT_EQ(Get<std::int64_t>(v, "SelectedRowIndex"), 0);
    EXPECT_FALSE(Get<bool>(v, "Bold"));
    EXPECT_FALSE(Get<bool>(v, "Italic"));
  }
  for (const char* name : {"PushButton1", "PushButton2", "PushButton3", "PushButton4"}) {
    SCOPED_TRACE(name);
    Values v = ReadControl(name);
    EXPECT_EQ(Get<std::int64_t>(v, "MacButtonStyle"), 0);
    EXPECT_FALSE(Get<bool>(v, "Cancel"));
    EXPECT_TRUE(Get<bool>(v, "Default"));
    EXPECT_FALSE(Get<bool>(v, "Bold"));
    EXPECT_FALSE(Get<bool>(v, "Italic"));
  }
  for (const char* name :
       {"RoundRectangle1", "RoundRectangle2", "RoundRectangle3", "RoundRectangle4"}) {
    SCOPED_TRACE(name);
    Values v = ReadControl(name);
    const bool outline = std::string(name) == "RoundRectangle4";
    EXPECT_EQ(Get<host::Color>(v, "BorderColor"), outline ? kGrey : kWhite);
    EXPECT_EQ(Get<double>(v, "BorderThickness"), 1.0);
    EXPECT_EQ(Get<host::Color>(v, "FillColor"), kBlack);
    EXPECT_EQ(Get<double>(v, "CornerWidth"), outline ? 8.0 : 16.0);
    EXPECT_EQ(Get<double>(v, "CornerHeight"), outline ? 8.0 : 16.0);
  }
  Values bar = ReadControl("ProgressBar1");
  EXPECT_FALSE(Get<bool>(bar, "Indeterminate"));
  EXPECT_EQ(Get<double>(bar, "Value"), 100.0);
  EXPECT_EQ(Get<std::int64_t>(bar, "MaximumValue"), 100);

  Values timer = ReadControl("Timer1");
  EXPECT_EQ(timer.size(), 3u);
  EXPECT_EQ(Get<std::int64_t>(timer, "RunMode"), 2);
  EXPECT_EQ(Get<std::int64_t>(timer, "Period"), 76);
  EXPECT_TRUE(Get<bool>(timer, "Enabled"));
}

}  // namespace
