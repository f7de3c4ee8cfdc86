// The window's layout streams: their lengths, the exact bytes of the timer's stream and the
// order and values of every stream's entries, read back with the framework's reader.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "Window1Layout.h"
#include "host/layout_properties.h"

namespace {

using host::LayoutValueType;
using Window1Layout::Kind;
using EntryOrder = std::vector<std::pair<std::string, LayoutValueType>>;

constexpr auto kInt = LayoutValueType::Integer;
constexpr auto kBool = LayoutValueType::Boolean;
constexpr auto kStr = LayoutValueType::String;
constexpr auto kCol = LayoutValueType::Color;
constexpr auto kDbl = LayoutValueType::Double;
constexpr auto kSgl = LayoutValueType::Single;
constexpr auto kUnit = LayoutValueType::FontUnits;

EntryOrder Head() {
  return {{"Name", kStr},        {"Index", kInt},    {"Left", kInt},
          {"Top", kInt},         {"Width", kInt},    {"Height", kInt},
          {"LockLeft", kBool},   {"LockTop", kBool}, {"LockRight", kBool},
          {"LockBottom", kBool}, {"TabIndex", kInt}, {"TabPanelIndex", kInt}};
}

EntryOrder WithHead(const EntryOrder& tail) {
  EntryOrder order = Head();
  order.insert(order.end(), tail.begin(), tail.end());
  return order;
}

EntryOrder WindowOrder() {
  return {{"Width", kInt},
          {"Height", kInt},
          {"MinimumWidth", kInt},
          {"MinimumHeight", kInt},
          {"MaximumWidth", kInt},
          {"MaximumHeight", kInt},
          {"Type", kInt},
          {"Title", kStr},
          {"HasCloseButton", kBool},
          {"HasMaximizeButton", kBool},
          {"HasMinimizeButton", kBool},
          {"HasFullScreenButton", kBool},
          {"Resizeable", kBool},
          {"Composite", kBool},
          {"MacProcID", kInt},
          {"FullScreen", kBool},
          {"DefaultLocation", kInt},
          {"Visible", kBool},
          {"HasBackgroundColor", kBool},
          {"BackgroundColor", kCol},
          {"MenuBarVisible", kBool},
          {"LiveResize", kBool}};
}

EntryOrder KindOrder(Kind kind) {
  switch (kind) {
    case Kind::RoundRectangle:
      return WithHead({{"AllowAutoDeactivate", kBool},
                       {"BorderColor", kCol},
                       {"BorderThickness", kDbl},
                       {"Enabled", kBool},
                       {"FillColor", kCol},
                       {"Tooltip", kStr},
                       {"CornerHeight", kDbl},
                       {"CornerWidth", kDbl},
                       {"Transparent", kBool},
                       {"Visible", kBool},
                       {"InitialParent", kStr}});
    case Kind::Label:
      return WithHead({{"TabStop", kBool},      {"AllowAutoDeactivate", kBool},
                       {"Enabled", kBool},      {"Tooltip", kStr},
                       {"Multiline", kBool},    {"Selectable", kBool},
                       {"TextAlignment", kInt}, {"TextColor", kCol},
                       {"Transparent", kBool},  {"Text", kStr},
                       {"Visible", kBool},      {"Bold", kBool},
                       {"Italic", kBool},       {"FontName", kStr},
                       {"Underline", kBool},    {"FontSize", kSgl},
                       {"FontUnit", kUnit},     {"DataSource", kStr},
                       {"DataField", kStr},     {"InitialParent", kStr}});
    case Kind::PopupMenu:
      return WithHead({{"TabStop", kBool},
                       {"AllowAutoDeactivate", kBool},
                       {"Enabled", kBool},
                       {"Tooltip", kStr},
                       {"InitialValue", kStr},
                       {"SelectedRowIndex", kInt},
                       {"Transparent", kBool},
                       {"Visible", kBool},
                       {"FontName", kStr},
                       {"FontSize", kSgl},
                       {"FontUnit", kUnit},
                       {"Bold", kBool},
                       {"Italic", kBool},
                       {"Underline", kBool},
                       {"DataSource", kStr},
                       {"DataField", kStr},
                       {"InitialParent", kStr}});
    case Kind::PushButton:
      return WithHead({{"TabStop", kBool},
                       {"AllowAutoDeactivate", kBool},
                       {"MacButtonStyle", kInt},
                       {"Cancel", kBool},
                       {"Caption", kStr},
                       {"Default", kBool},
                       {"Enabled", kBool},
                       {"Tooltip", kStr},
                       {"Transparent", kBool},
                       {"Visible", kBool},
                       {"FontName", kStr},
                       {"FontSize", kSgl},
                       {"FontUnit", kUnit},
                       {"Bold", kBool},
                       {"Italic", kBool},
                       {"Underline", kBool},
                       {"InitialParent", kStr}});
    case Kind::ProgressBar:
      return WithHead({{"TabStop", kBool},
                       {"AllowAutoDeactivate", kBool},
                       {"Enabled", kBool},
                       {"Tooltip", kStr},
                       {"Transparent", kBool},
                       {"Visible", kBool},
                       {"Indeterminate", kBool},
                       {"Value", kDbl},
                       {"MaximumValue", kInt},
                       {"InitialParent", kStr}});
    case Kind::Timer:
      return {{"RunMode", kInt}, {"Period", kInt}, {"Enabled", kBool}};
  }
  return {};
}

std::span<const std::uint8_t> Bytes(const std::string& stream) {
  return {reinterpret_cast<const std::uint8_t*>(stream.data()), stream.size()};
}

// Reads a stream with the types of its kind and checks the names come in the kind's order.
std::map<std::string, host::LayoutValue> ParseInOrder(const std::string& stream,
                                                      const EntryOrder& order) {
  std::map<std::string, LayoutValueType> types(order.begin(), order.end());
  auto entries = host::ParseLayoutStream(
      Bytes(stream), [&](std::string_view name) -> std::optional<LayoutValueType> {
        auto it = types.find(std::string(name));
        if (it == types.end())
          return std::nullopt;
        return it->second;
      });
  std::vector<std::string> names;
  std::map<std::string, host::LayoutValue> values;
  for (auto& entry : entries) {
    names.push_back(entry.name);
    values.emplace(entry.name, entry.value);
  }
  std::vector<std::string> expected;
  for (auto& [name, type] : order)
    expected.push_back(name);
  EXPECT_EQ(names, expected);
  return values;
}

const Window1Layout::ControlLayout& ControlNamed(std::string_view name) {
  for (auto& control : Window1Layout::Controls()) {
    if (control.name == name)
      return control;
  }
  throw std::runtime_error("no control named " + std::string(name));
}

TEST(LayoutStreams, LengthsMatchTheLayoutTable) {
  EXPECT_EQ(Window1Layout::WindowStream().size(), 402u);
  const std::vector<std::pair<std::string, std::size_t>> expected = {{"RoundRectangle1", 350},
                                                                     {"Label1", 476},
                                                                     {"Label2", 463},
                                                                     {"Label3", 486},
                                                                     {"ChooseMidiOut_PopMenu", 423},
                                                                     {"ChooseMidiIn_PopMenu", 422},
                                                                     {"Label133", 446},
                                                                     {"PushButton1", 400},
                                                                     {"RoundRectangle2", 350},
                                                                     {"Label4", 491},
                                                                     {"Label5", 499},
                                                                     {"Label6", 513},
                                                                     {"PushButton2", 398},
                                                                     {"RoundRectangle3", 350},
                                                                     {"Label7", 481},
                                                                     {"PushButton3", 400},
                                                                     {"ProgressBar1", 326},
                                                                     {"Label16", 438},
                                                                     {"RoundRectangle4", 365},
                                                                     {"Label8", 482},
                                                                     {"PushButton4", 400},
                                                                     {"Label9", 508},
                                                                     {"Label10", 426},
                                                                     {"Label11", 426},
                                                                     {"Label12", 426},
                                                                     {"Timer1", 40},
                                                                     {"Label132", 430}};
  const auto& controls = Window1Layout::Controls();
  ASSERT_EQ(controls.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(controls[i].name, expected[i].first) << "creation order at " << i;
    EXPECT_EQ(controls[i].stream.size(), expected[i].second) << controls[i].name;
  }
}

TEST(LayoutStreams, TimerStreamIsExactlyTheSpelledOutBytes) {
  const std::vector<std::uint8_t> expected = {'R', 'u', 'n', 'M',  'o', 'd', 'e', ' ', 0x02, 0,
                                              0,   0,   0,   0,    0,   0,   'P', 'e', 'r',  'i',
                                              'o', 'd', ' ', 0x4C, 0,   0,   0,   0,   0,    0,
                                              0,   'E', 'n', 'a',  'b', 'l', 'e', 'd', ' ',  0x01};
  const auto& stream = ControlNamed("Timer1").stream;
  EXPECT_EQ(std::vector<std::uint8_t>(stream.begin(), stream.end()), expected);
}

TEST(LayoutStreams, WindowStreamStartsWithItsWidthAndCarriesTheTitle) {
  const auto& stream = Window1Layout::WindowStream();
  const std::string widthEntry = std::string("Width ") + std::string("\x2F\x03\0\0\0\0\0\0", 8);
  EXPECT_EQ(stream.substr(0, widthEntry.size()), widthEntry);
  const std::string titleEntry =
      std::string("Title ") + std::string("\x23\0\0\0", 4) + "Tandemorphix Firmware Loader  v1.00";
  EXPECT_NE(stream.find(titleEntry), std::string::npos);
}

TEST(LayoutStreams, EveryStreamParsesBackInItsKindsEntryOrder) {
  auto window = ParseInOrder(Window1Layout::WindowStream(), WindowOrder());
  EXPECT_EQ(std::get<std::int64_t>(window["MaximumWidth"]), 815);
  EXPECT_EQ(std::get<std::int64_t>(window["MaximumHeight"]), 480);
  EXPECT_EQ(std::get<host::Color>(window["BackgroundColor"]), 0x00000000u);
  EXPECT_FALSE(std::get<bool>(window["HasMinimizeButton"]));
  for (const auto& control : Window1Layout::Controls()) {
    SCOPED_TRACE(std::string(control.name));
    auto values = ParseInOrder(control.stream, KindOrder(control.kind));
    if (control.kind == Kind::Timer)
      continue;
    EXPECT_EQ(std::get<std::string>(values["Name"]), control.name);
    EXPECT_EQ(std::get<std::int64_t>(values["Index"]), -2147483648LL);
    EXPECT_TRUE(std::get<bool>(values["LockLeft"]));
    EXPECT_FALSE(std::get<bool>(values["LockBottom"]));
  }
}

TEST(LayoutStreams, ParentsComeBeforeTheirChildren) {
  std::vector<std::string> created;
  for (const auto& control : Window1Layout::Controls()) {
    if (control.kind == Kind::Timer)
      continue;
    auto values = ParseInOrder(control.stream, KindOrder(control.kind));
    const auto& parent = std::get<std::string>(values["InitialParent"]);
    if (!parent.empty()) {
      EXPECT_NE(std::find(created.begin(), created.end(), parent), created.end())
          << control.name << " before its parent " << parent;
    }
    created.emplace_back(control.name);
  }
}

TEST(LayoutStreams, DeparturesFromTheCommonValues) {
  auto heading = ParseInOrder(ControlNamed("Label10").stream, KindOrder(Kind::Label));
  EXPECT_EQ(std::get<host::Color>(heading["TextColor"]), 0x00FFFF00u);
  EXPECT_TRUE(std::get<bool>(heading["Italic"]));
  EXPECT_EQ(std::get<float>(heading["FontSize"]), 16.0f);
  EXPECT_FALSE(std::get<bool>(heading["Enabled"]));

  auto percentage = ParseInOrder(ControlNamed("Label16").stream, KindOrder(Kind::Label));
  EXPECT_FALSE(std::get<bool>(percentage["Visible"]));
  EXPECT_EQ(std::get<std::int64_t>(percentage["TextAlignment"]), 3);
  EXPECT_EQ(std::get<std::string>(percentage["Text"]), "0 %");

  auto outline =
      ParseInOrder(ControlNamed("RoundRectangle4").stream, KindOrder(Kind::RoundRectangle));
  EXPECT_EQ(std::get<host::Color>(outline["BorderColor"]), 0x004C4C4Cu);
  EXPECT_EQ(std::get<double>(outline["CornerWidth"]), 8.0);
  EXPECT_FALSE(std::get<bool>(outline["AllowAutoDeactivate"]));

  auto bar = ParseInOrder(ControlNamed("ProgressBar1").stream, KindOrder(Kind::ProgressBar));
  EXPECT_FALSE(std::get<bool>(bar["Transparent"]));
  EXPECT_EQ(std::get<double>(bar["Value"]), 100.0);
  EXPECT_EQ(std::get<std::int64_t>(bar["MaximumValue"]), 100);

  auto hiddenMenu =
      ParseInOrder(ControlNamed("ChooseMidiIn_PopMenu").stream, KindOrder(Kind::PopupMenu));
  EXPECT_EQ(std::get<std::int64_t>(hiddenMenu["Top"]), 500);
  EXPECT_EQ(std::get<std::string>(hiddenMenu["InitialParent"]), "RoundRectangle1");

  auto cancel = ParseInOrder(ControlNamed("PushButton4").stream, KindOrder(Kind::PushButton));
  EXPECT_EQ(std::get<std::string>(cancel["Caption"]), "CANCEL");
  EXPECT_TRUE(std::get<bool>(cancel["Default"]));
}

}  // namespace
