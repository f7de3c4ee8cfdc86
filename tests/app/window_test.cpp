// The main window on the offscreen platform: its 27 controls by name, kind and place, the
// window's own properties, and every bound event reaching its handler through real toolkit
// events. A subclass records the handlers instead of running them.
#include <gtest/gtest.h>

#include <QImage>
#include <QRect>
#include <QWidget>
#include <chrono>
#include <string>
#include <vector>

#include "Window1.h"
#include "Window1Layout.h"
#include "host/layout_properties.h"
#include "host/runtime.h"
#include "qt_access.h"
#include "ui_driver.h"

namespace {

using namespace std::chrono_literals;

struct Call {
  std::string handler;
  host::Object* sender;
};

class RecordingWindow : public Window1 {
 public:
  std::vector<Call> calls;
  int controlsAtOpen = -1;
  std::int64_t cursorAtOpen = -1;

  void ChooseMidiOut_PopMenu_Change(host::PopupMenu& sender) override {
    calls.push_back({"ChooseMidiOut_PopMenu_Change", &sender});
  }
  void ChooseMidiIn_PopMenu_Change(host::PopupMenu& sender) override {
    calls.push_back({"ChooseMidiIn_PopMenu_Change", &sender});
  }
  void PushButton1_Action(host::PushButton& sender) override {
    calls.push_back({"PushButton1_Action", &sender});
  }
  void PushButton2_Action(host::PushButton& sender) override {
    calls.push_back({"PushButton2_Action", &sender});
  }
  void PushButton3_Action(host::PushButton& sender) override {
    calls.push_back({"PushButton3_Action", &sender});
  }
  void PushButton4_Action(host::PushButton& sender) override {
    calls.push_back({"PushButton4_Action", &sender});
  }
  void Timer1_Action(host::Timer& sender) override { calls.push_back({"Timer1_Action", &sender}); }
  void Event_Open() override {
    controlsAtOpen = static_cast<int>(Controls().size());
    cursorAtOpen = MidiOutCnt;
    Window1::Event_Open();
  }
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = host::New<RecordingWindow>();
    window->Constructor();
  }
  void TearDown() override { window->Close(); }

  // Makes a control reachable by the user whatever state Event_Open left it in.
  void Enable(host::RectControl& control) { control.SetEnabled(true); }

  host::Ref<RecordingWindow> window;
};

TEST_F(WindowTest, HoldsTheControlsByNameAndKindInCreationOrder) {
  const auto& controls = window->Controls();
  const auto& layouts = Window1Layout::Controls();
  ASSERT_EQ(controls.size(), layouts.size());
  for (std::size_t i = 0; i < layouts.size(); ++i) {
    SCOPED_TRACE(std::string(layouts[i].name));
    EXPECT_EQ(window->_ControlByName(layouts[i].name), controls[i]);
    if (auto* rect = dynamic_cast<host::RectControl*>(controls[i].get())) {
      EXPECT_EQ(rect->Name(), layouts[i].name);
    }
  }
  EXPECT_EQ(window->RoundRectangle1(), controls[0]);
  EXPECT_EQ(window->ChooseMidiOut_PopMenu(), controls[4]);
  EXPECT_EQ(window->ChooseMidiIn_PopMenu(), controls[5]);
  EXPECT_EQ(window->PushButton1(), controls[7]);
  EXPECT_EQ(window->ProgressBar1(), controls[16]);
  EXPECT_EQ(window->Label16(), controls[17]);
  EXPECT_EQ(window->RoundRectangle4(), controls[18]);
  EXPECT_EQ(window->PushButton4(), controls[20]);
  EXPECT_EQ(window->Label12(), controls[24]);
  EXPECT_EQ(window->Timer1(), controls[25]);
  EXPECT_EQ(window->Label132(), controls[26]);
  EXPECT_EQ(window->Label9(), window->Label9()) << "two calls find the same control";
  // Handed out as a Timer, the object is the window's own timer class.
  const host::Object& timer = *window->Timer1();
  EXPECT_EQ(timer.Class().name, "Window1._wrapper_Timer1");
}

TEST_F(WindowTest, TheWindowTakesItsStreamsProperties) {
  EXPECT_EQ(window->Title(), "Tandemorphix Firmware Loader  v1.00");
  EXPECT_EQ(window->Width(), 815);
  EXPECT_EQ(window->Height(), 480);
  EXPECT_EQ(window->MaximumWidth(), 815);
  EXPECT_EQ(window->MaximumHeight(), 480);
  EXPECT_EQ(window->MinimumWidth(), 64);
  EXPECT_EQ(window->MinimumHeight(), 64);
  EXPECT_TRUE(window->HasCloseButton());
  EXPECT_FALSE(window->HasMaximizeButton());
  EXPECT_FALSE(window->HasMinimizeButton());
  EXPECT_TRUE(window->HasBackgroundColor());
  EXPECT_EQ(window->BackgroundColor(), 0x00000000u);
  EXPECT_TRUE(window->Visible());
  QWidget* shown = test_support::WidgetOf(*window);
  ASSERT_NE(shown, nullptr);
  EXPECT_TRUE(shown->isVisible());
  EXPECT_EQ(shown->windowTitle().toStdString(), "Tandemorphix Firmware Loader  v1.00");
  EXPECT_EQ(shown->maximumSize(), QSize(815, 480));
}

TEST_F(WindowTest, EveryControlSitsWhereTheLayoutPutsIt) {
  struct Place {
    const char* name;
    QRect rect;
  };
  const std::vector<Place> places = {{"RoundRectangle1", {33, 45, 750, 95}},
                                     {"Label1", {53, 55, 336, 20}},
                                     {"Label2", {53, 80, 336, 20}},
                                     {"Label3", {53, 105, 336, 20}},
                                     {"ChooseMidiOut_PopMenu", {470, 83, 166, 22}},
                                     {"ChooseMidiIn_PopMenu", {470, 500, 166, 22}},
                                     {"Label133", {380, 83, 80, 20}},
                                     {"PushButton1", {675, 84, 80, 22}},
                                     {"RoundRectangle2", {33, 185, 750, 95}},
                                     {"Label4", {53, 197, 350, 20}},
                                     {"Label5", {53, 222, 523, 20}},
                                     {"Label6", {53, 247, 500, 20}},
                                     {"PushButton2", {675, 229, 80, 22}},
                                     {"RoundRectangle3", {33, 325, 750, 120}},
                                     {"Label7", {53, 337, 336, 20}},
                                     {"PushButton3", {675, 348, 80, 22}},
                                     {"ProgressBar1", {70, 419, 564, 8}},
                                     {"Label16", {591, 390, 42, 20}},
                                     {"RoundRectangle4", {67, 419, 570, 10}},
                                     {"Label8", {53, 362, 336, 20}},
                                     {"PushButton4", {675, 395, 80, 22}},
                                     {"Label9", {53, 387, 450, 20}},
                                     {"Label10", {32, 15, 57, 29}},
                                     {"Label11", {32, 155, 57, 29}},
                                     {"Label12", {32, 295, 57, 29}},
                                     {"Label132", {352, 500, 80, 20}}};
  for (const auto& place : places) {
    SCOPED_TRACE(place.name);
    auto control = host::RuntimeCheckCastTo<host::RectControl>(window->_ControlByName(place.name));
    ASSERT_TRUE(control);
    EXPECT_EQ(QRect(static_cast<int>(control->Left()), static_cast<int>(control->Top()),
                    static_cast<int>(control->Width()), static_cast<int>(control->Height())),
              place.rect);
    QWidget* widget = test_support::WidgetOf(*control);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->geometry(), place.rect) << "window coordinates, whatever the parent";
  }
}

// The brightest colour drawn in the control's widget: its text on the black window.
QRgb BrightestPixel(host::RectControl& control) {
  const QImage image = test_support::WidgetOf(control)->grab().toImage();
  QRgb brightest = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      if (qRed(pixel) + qGreen(pixel) + qBlue(pixel) >
          qRed(brightest) + qGreen(brightest) + qBlue(brightest)) {
        brightest = pixel;
      }
    }
  }
  return brightest;
}

TEST_F(WindowTest, DisabledLabelsKeepTheirColours) {
  EXPECT_EQ(BrightestPixel(*window->Label10()), qRgb(255, 255, 0)) << "yellow step heading";
  EXPECT_EQ(BrightestPixel(*window->Label4()), qRgb(255, 255, 255)) << "white instruction";
}

TEST_F(WindowTest, OpenComesAfterTheControlsWithTheCursorAtZero) {
  EXPECT_EQ(window->controlsAtOpen, 27);
  EXPECT_EQ(window->cursorAtOpen, 0);
  EXPECT_EQ(window->MidiOutError, 0);
  EXPECT_TRUE(window->calls.empty()) << "building the window fires no control event";
}

TEST_F(WindowTest, EachButtonReachesItsOwnHandler) {
  const std::vector<std::pair<host::Ref<host::PushButton>, std::string>> buttons = {
      {window->PushButton1(), "PushButton1_Action"},
      {window->PushButton2(), "PushButton2_Action"},
      {window->PushButton3(), "PushButton3_Action"},
      {window->PushButton4(), "PushButton4_Action"}};
  for (const auto& [button, handler] : buttons) {
    SCOPED_TRACE(handler);
    Enable(*button);
    window->calls.clear();
    test_support::ClickButton(*button);
    ASSERT_EQ(window->calls.size(), 1u);
    EXPECT_EQ(window->calls[0].handler, handler);
    EXPECT_EQ(window->calls[0].sender, button.get());
  }
}

TEST_F(WindowTest, ChoosingAMenuRowReachesTheMenusHandler) {
  auto out = window->ChooseMidiOut_PopMenu();
  Enable(*out);
  out->AddRow("Synth A");
  out->AddRow("Synth B");
  EXPECT_TRUE(window->calls.empty()) << "adding rows fires no change";
  ASSERT_TRUE(test_support::ChoosePopupRow(*out, 1));
  ASSERT_EQ(window->calls.size(), 1u);
  EXPECT_EQ(window->calls[0].handler, "ChooseMidiOut_PopMenu_Change");
  EXPECT_EQ(window->calls[0].sender, out.get());
  EXPECT_EQ(out->ListIndex(), 1);

  // The MIDI IN menu lies below the window's edge, out of the user's reach; its handler is
  // bound all the same.
  auto in = window->ChooseMidiIn_PopMenu();
  Enable(*in);
  in->AddRow("Keys");
  window->calls.clear();
  in->SetListIndex(0);
  ASSERT_EQ(window->calls.size(), 1u);
  EXPECT_EQ(window->calls[0].handler, "ChooseMidiIn_PopMenu_Change");
  EXPECT_EQ(window->calls[0].sender, in.get());
}

TEST_F(WindowTest, TheTimerTicksEvery76MillisecondsWhileEnabled) {
  auto timer = window->Timer1();
  EXPECT_EQ(timer->RunMode(), host::Timer::kModeMultiple);
  EXPECT_EQ(timer->Period(), 76);
  EXPECT_FALSE(timer->Enabled()) << "the Open event stops it";
  test_support::ProcessEventsFor(300ms);
  EXPECT_TRUE(window->calls.empty());

  timer->SetEnabled(true);
  const auto started = std::chrono::steady_clock::now();
  test_support::ProcessEventsFor(1140ms);
  timer->SetEnabled(false);
  const auto elapsed = std::chrono::steady_clock::now() - started;
  const auto expected = elapsed / 76ms;
  // 15 ticks in 1.14 s; a busy machine may deliver fewer, never many more.
  EXPECT_GE(static_cast<long>(window->calls.size()), expected / 2);
  EXPECT_LE(static_cast<long>(window->calls.size()), expected + 1);
  for (const auto& call : window->calls) {
    EXPECT_EQ(call.handler, "Timer1_Action");
    EXPECT_EQ(call.sender, timer.get());
  }
}

TEST_F(WindowTest, TheTimerKnowsItsWindowWithoutKeepingItAlive) {
  auto timer = window->Timer1();
  EXPECT_EQ(timer->Window(), window);
  auto other = host::New<Window1>();
  timer->_SetWindow(other.get());
  EXPECT_EQ(timer->Window(), other) << "the second link replaces the first";
  const auto refs = other->RefCount();
  other.Reset();
  EXPECT_EQ(refs, 1) << "the timer's link holds no reference";
  EXPECT_FALSE(timer->Window()) << "nil once its window is gone";
}

TEST_F(WindowTest, ClosingTheWindowRunsNoHandler) {
  window->Timer1()->SetEnabled(true);
  window->Close();
  test_support::ProcessEventsFor(200ms);
  EXPECT_TRUE(window->calls.empty());
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  test_support::StartHeadlessRuntime();
  return RUN_ALL_TESTS();
}
