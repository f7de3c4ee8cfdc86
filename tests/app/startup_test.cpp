// The real start-up, run in-process on the offscreen platform against the plugin built over
// the PortMidi double: its order, the state each step finds, and the window it ends with.
#include "Startup.h"

#include <gtest/gtest.h>

#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <vector>

#include "Module1.h"
#include "PluginBindings.h"
#include "Window1.h"
#include "fake_portmidi.h"
#include "host/plugin_binding.h"
#include "host/runtime.h"
#include "host/window.h"
#include "qt_access.h"

namespace {

// What each step of start-up found when it began.
struct Observed {
  std::vector<StartUpStep> steps;
  bool storeExistedBeforeInitializers = false;
  bool tablesFullAndZeroBeforeBinding = false;
  bool classesDescribedBeforeBinding = false;
  bool slotsEmptyBeforeBinding = false;
  bool slotsFilledBeforeApplicationObject = false;
  bool appObjectBeforeItsStep = false;
  bool appObjectBeforeWindow = false;
  bool windowBeforeItsStep = false;
};
Observed gObserved;

template <class Table>
bool AllZero(const Table& table) {
  auto entries = table.Entries();
  return std::all_of(entries.begin(), entries.end(), [](auto v) { return v == 0; });
}

bool TablesFullAndZero() {
  using namespace Module1;
  if (!FirmwareBuffer || !FirmwareRow || !MidiInCnt || !MidiOutCnt)
    return false;
  if (FirmwareBuffer->UBound(1) != 100000 || FirmwareBuffer->UBound(2) != 140)
    return false;
  if (FirmwareRow->UBound() != 100000)
    return false;
  if (MidiInCnt->UBound() != 100 || MidiOutCnt->UBound() != 100)
    return false;
  for (std::int64_t row = 0; row <= 100000; ++row) {
    auto bytes = FirmwareBuffer->Row(row);
    if (std::any_of(bytes.begin(), bytes.end(), [](auto b) { return b != 0; }))
      return false;
  }
  return AllZero(*FirmwareRow) && AllZero(*MidiInCnt) && AllZero(*MidiOutCnt) && Cancel == 0 &&
         FirmwareLine == 0 && MidiInID == 0 && MidiOutID == 0 && !MIDIOutput && !MIDIPort;
}

bool ProgramClassesDescribed() {
  for (const char* name :
       {"PortMidiDeviceInfoQRX", "PortMidiEventQRX", "PortMidiQRX", "PortMidiStreamQRX",
        "Tandemorphix_Loader", "Window1._wrapper_Timer1", "Window1.Window1"}) {
    if (!host::FindClass(name))
      return false;
  }
  return true;
}

bool AllSlots(bool filled) {
  auto table = PluginBindings::Table();
  return std::all_of(table.begin(), table.end(), [filled](const auto& record) {
    return (record.entrySlot != nullptr) == filled;
  });
}

void Observe(StartUpStep step) {
  gObserved.steps.push_back(step);
  switch (step) {
    case StartUpStep::Initializers:
      gObserved.storeExistedBeforeInitializers = static_cast<bool>(Module1::FirmwareBuffer);
      break;
    case StartUpStep::BindPlugin:
      gObserved.tablesFullAndZeroBeforeBinding = TablesFullAndZero();
      gObserved.slotsEmptyBeforeBinding = AllSlots(false);
      gObserved.classesDescribedBeforeBinding = ProgramClassesDescribed();
      break;
    case StartUpStep::ApplicationObject:
      gObserved.slotsFilledBeforeApplicationObject = AllSlots(true);
      gObserved.appObjectBeforeItsStep = static_cast<bool>(host::App());
      break;
    case StartUpStep::MainWindow:
      gObserved.appObjectBeforeWindow = static_cast<bool>(host::App());
      gObserved.windowBeforeItsStep = !host::RuntimeOpenWindows().empty();
      break;
  }
}

class StartedProgram : public ::testing::Environment {
 public:
  void SetUp() override {
    fake_portmidi::Reset();
    fake_portmidi::SetDevices({{"ALSA", "Synth Out", false, true}});
    host::SetPluginDirectory(TFL_TEST_PLUGIN_DIR);
    SetStartUpObserver(&Observe);
    StartUp();
    SetStartUpObserver(nullptr);
  }
  void TearDown() override { ShutDown(); }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new StartedProgram);

// The object's own class; a typed handle's Class() names the static type's class instead.
const std::string& ClassNameOf(const host::Object& object) {
  return object.Class().name;
}

host::Ref<Window1> TheWindow() {
  auto windows = host::RuntimeOpenWindows();
  if (windows.size() != 1)
    return nullptr;
  return host::RuntimeCheckCastTo<Window1>(windows[0]);
}

TEST(StartUp, RunsItsStepsInTheirFixedOrder) {
  EXPECT_EQ(gObserved.steps,
            (std::vector<StartUpStep>{StartUpStep::Initializers, StartUpStep::BindPlugin,
                                      StartUpStep::ApplicationObject, StartUpStep::MainWindow}));
  EXPECT_FALSE(gObserved.storeExistedBeforeInitializers);
  EXPECT_TRUE(gObserved.tablesFullAndZeroBeforeBinding)
      << "Module1's tables exist at full size, all zero, before the plugin is bound";
  EXPECT_TRUE(gObserved.slotsEmptyBeforeBinding);
  EXPECT_TRUE(gObserved.classesDescribedBeforeBinding)
      << "the initialisers describe the program's classes, the window's timer class included";
  EXPECT_TRUE(gObserved.slotsFilledBeforeApplicationObject)
      << "the plugin is bound before the application object exists";
  EXPECT_FALSE(gObserved.appObjectBeforeItsStep);
  EXPECT_TRUE(gObserved.appObjectBeforeWindow);
  EXPECT_FALSE(gObserved.windowBeforeItsStep);
  EXPECT_EQ(host::RuntimeExit(), 0);
}

TEST(StartUp, SwitchesOnHighResolutionAndDarkModeSupport) {
  EXPECT_TRUE(host::ApplicationSupportsHiDPI());
  EXPECT_TRUE(host::ApplicationSupportsUserDarkMode());
}

TEST(StartUp, RegistersTheApplicationObjectWithItsVersion) {
  auto app = host::App();
  ASSERT_TRUE(app);
  EXPECT_EQ(ClassNameOf(*app), "Tandemorphix_Loader");
  EXPECT_EQ(app->MajorVersion(), 1);
  EXPECT_EQ(app->MinorVersion(), 0);
  EXPECT_EQ(app->BugVersion(), 0);
  EXPECT_EQ(app->NonReleaseVersion(), 0);
  EXPECT_EQ(app->StageCode(), 0);
  for (const auto& text : app->VersionTexts())
    EXPECT_TRUE(text.empty());
}

TEST(StartUp, EndsWithOneShownWindowThatIsTheImplicitInstance) {
  auto window = TheWindow();
  ASSERT_TRUE(window);
  EXPECT_EQ(ClassNameOf(*window), "Window1.Window1");
  EXPECT_EQ(window->Title(), "Tandemorphix Firmware Loader  v1.00");
  EXPECT_TRUE(window->Visible());
  EXPECT_EQ(window->MidiOutError, 0);
  EXPECT_EQ(Window1::ImplicitInstance(), window) << "the accessor finds the window, makes none";
  EXPECT_EQ(host::RuntimeOpenWindows().size(), 1u);
}

// Last, since it closes the window: the user's close ends the event loop and the program
// with status 0.
TEST(StartUp, TheEventLoopRunsUntilTheUserClosesTheWindowThenEndsWithStatusZero) {
  auto window = TheWindow();
  ASSERT_TRUE(window);
  QWidget* shown = test_support::WidgetOf(*window);
  window.Reset();
  bool closedFromTheLoop = false;
  QTimer::singleShot(100, [&] { closedFromTheLoop = shown->close(); });
  EXPECT_EQ(host::RuntimeRun(), 0);
  EXPECT_TRUE(closedFromTheLoop);
  EXPECT_TRUE(host::RuntimeOpenWindows().empty());
  EXPECT_EQ(host::RuntimeExit(), 0);
}

}  // namespace
