// Building, finding and closing windows, and the timers they hold.
#include <chrono>
#include <thread>
#include <vector>

#include "gui_fixture.h"
#include "qt_access.h"

namespace gui_test {
namespace {

using namespace std::chrono_literals;
using test_support::WidgetOf;

template <class F>
std::string RaisedClass(F&& action) {
  try {
    action();
  } catch (const host::RaisedException& error) {
    return std::string(error.ClassName());
  }
  return "nothing raised";
}

// Adds a timer, stored in `timer`, whose ticks the window counts.
std::function<void(TraceWindow&)> WithCountedTimer(host::Ref<host::Timer>& timer) {
  return [&timer](TraceWindow& w) {
    timer = host::New<host::Timer>();
    w._AddControl("Timer1", timer);
    host::RuntimeAddEventHandler(*timer, host::Timer::kActionEvent,
                                 host::RuntimeCreateDelegate(w, &TraceWindow::TimerAction));
  };
}

TEST_F(GuiTest, ConstructionRaisesLayoutCreateControlsThenOpensTheShownWindow) {
  auto window = ShowWindow();
  EXPECT_EQ(window->trace, (std::vector<std::string>{"Layout", "CreateControls", "Open shown"}));
  EXPECT_EQ(host::_GetImplicitWindow("TraceWindow.TraceWindow"), window);
  EXPECT_FALSE(host::_GetImplicitWindow("Window1.Window1"));
}

TEST_F(GuiTest, AnInvisibleWindowIsBuiltButNotShown) {
  auto window = host::New<TraceWindow>();
  window->SetVisible(false);
  window->Constructor();
  EXPECT_EQ(window->trace.back(), "Open hidden");
}

TEST_F(GuiTest, ControlsAreFoundByTheNameTheyWereAddedUnder) {
  host::Ref<host::Label> label;
  host::Ref<host::Timer> timer;
  auto window = ShowWindow([&](TraceWindow& w) {
    label = Add<host::Label>(w, "Label1", 0, 0, 10, 10);
    timer = host::New<host::Timer>();
    w._AddControl("Timer1", timer);
  });
  EXPECT_EQ(window->_ControlByName("Label1"), label);
  EXPECT_EQ(label->Name(), "Label1");
  EXPECT_EQ(window->_ControlByName("Timer1"), timer);
  EXPECT_FALSE(window->_ControlByName("Label2"));
  EXPECT_EQ(timer->Window(), window);
  EXPECT_EQ(timer->_Index(), 1);
  EXPECT_EQ(host::RuntimeCheckCastTo<host::Label>(window->_ControlByName("Label1")), label);
  EXPECT_EQ(RaisedClass([&] { host::RuntimeCheckCastTo<host::Timer>(label); }),
            "IllegalCastException");
}

TEST_F(GuiTest, AFailedConstructionClosesTheWindowAndPassesTheErrorOn) {
  auto window = host::New<TraceWindow>();
  window->createControls = [](TraceWindow&) { host::Raise("NilObjectException", "no control"); };
  EXPECT_EQ(RaisedClass([&] { window->Constructor(); }), "NilObjectException");
  EXPECT_TRUE(window->IsClosed());
  EXPECT_FALSE(host::_GetImplicitWindow("TraceWindow.TraceWindow"));
}

TEST_F(GuiTest, WindowsAndControlsRefuseToBeBuiltOffTheMainThread) {
  std::string window, control, added;
  auto home = ShowWindow();
  std::thread worker([&] {
    auto w = host::New<TraceWindow>();
    window = RaisedClass([&] { w->Constructor(); });
    auto label = host::New<host::Label>();
    control = RaisedClass([&] { label->Constructor(); });
    added = RaisedClass([&] { home->_AddControl("Label1", label); });
  });
  worker.join();
  EXPECT_EQ(window, "ThreadAccessingUIException");
  EXPECT_EQ(control, "ThreadAccessingUIException");
  EXPECT_EQ(added, "ThreadAccessingUIException");
  EXPECT_FALSE(home->_ControlByName("Label1"));
}

TEST_F(GuiTest, ARepeatingTimerTicksUntilDisabled) {
  host::Ref<host::Timer> timer;
  auto window = ShowWindow(WithCountedTimer(timer));
  timer->SetRunMode(host::Timer::kModeMultiple);
  timer->SetPeriod(10);
  timer->SetEnabled(true);
  EXPECT_TRUE(test_support::WaitUntil([&] { return window->ticks >= 5; }));
  timer->SetEnabled(false);
  const int ticks = window->ticks;
  test_support::ProcessEventsFor(60ms);
  EXPECT_EQ(window->ticks, ticks);
}

// After a tick the timer sets up the next one, whatever the handler did to it meanwhile.
TEST_F(GuiTest, ATickHandlerMayStopRestartOrFreeItsTimer) {
  using Clock = std::chrono::steady_clock;
  {
    SCOPED_TRACE("stopped");
    auto timer = host::New<host::Timer>();
    int ticks = 0;
    host::RuntimeAddEventHandler(*timer, host::Timer::kActionEvent, [&](host::Object&) {
      ++ticks;
      timer->SetEnabled(false);
    });
    timer->SetPeriod(5);
    timer->SetEnabled(true);
    ASSERT_TRUE(test_support::WaitUntil([&] { return ticks == 1; }));
    test_support::ProcessEventsFor(60ms);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer->IsTicking());
  }
  {
    SCOPED_TRACE("restarted at a longer period");
    auto timer = host::New<host::Timer>();
    std::vector<Clock::time_point> ticks;
    host::RuntimeAddEventHandler(*timer, host::Timer::kActionEvent, [&](host::Object&) {
      ticks.push_back(Clock::now());
      if (ticks.size() == 1)
        timer->SetPeriod(60);
    });
    timer->SetPeriod(5);
    timer->SetEnabled(true);
    ASSERT_TRUE(test_support::WaitUntil([&] { return ticks.size() == 3; }));
    timer->SetEnabled(false);
    // A period from the restart; after that, a period less the timer's 2 ms tolerance.
    EXPECT_GE(ticks[1] - ticks[0], 60ms);
    EXPECT_GE(ticks[2] - ticks[1], 58ms);
  }
  {
    SCOPED_TRACE("freed");
    auto timer = host::New<host::Timer>();
    host::WeakRef weak(timer.get());
    int ticks = 0;
    host::RuntimeAddEventHandler(*timer, host::Timer::kActionEvent, [&](host::Object&) {
      ++ticks;
      timer.Reset();  // the tick's own hold is the last one now
    });
    timer->SetPeriod(5);
    timer->SetEnabled(true);
    ASSERT_TRUE(test_support::WaitUntil([&] { return !weak.Value(); }));
    test_support::ProcessEventsFor(30ms);
    EXPECT_EQ(ticks, 1);
  }
}

TEST_F(GuiTest, AOneShotTimerTicksOnceAndDisablesItself) {
  host::Ref<host::Timer> timer;
  auto window = ShowWindow(WithCountedTimer(timer));
  timer->SetRunMode(host::Timer::kModeSingle);
  timer->SetPeriod(5);
  timer->SetEnabled(true);
  EXPECT_TRUE(test_support::WaitUntil([&] { return window->ticks == 1; }));
  test_support::ProcessEventsFor(50ms);
  EXPECT_EQ(window->ticks, 1);
  EXPECT_FALSE(timer->Enabled());
}

TEST_F(GuiTest, ClosingTheWindowStopsItsTimerBeforeReleasingIt) {
  host::Ref<host::Timer> timer;
  auto window = ShowWindow(WithCountedTimer(timer));
  timer->SetPeriod(5);
  timer->SetEnabled(true);
  ASSERT_TRUE(test_support::WaitUntil([&] { return window->ticks >= 1; }));
  host::WeakRef weak(window.get());
  window.Reset();

  WidgetOf(*host::RuntimeCheckCastTo<host::Window>(weak.Value()))->close();  // the close button
  EXPECT_FALSE(timer->Enabled());
  EXPECT_FALSE(timer->IsTicking());
  EXPECT_TRUE(weak.Value()) << "released inside its own close event";
  EXPECT_TRUE(test_support::WaitUntil([&] { return !weak.Value(); }));
  EXPECT_FALSE(host::_GetImplicitWindow("TraceWindow.TraceWindow"));
  EXPECT_FALSE(timer->Window());
}

TEST_F(GuiTest, TheWindowsLayoutStreamSetsItsSizeTitleButtonsAndBackground) {
  auto window = ShowWindow();
  std::string stream;
  auto integer = [&](std::string_view name, std::int64_t value) {
    stream += std::string(name) + ' ';
    for (int i = 0; i < 8; ++i)
      stream += static_cast<char>(value >> (8 * i));
  };
  auto boolean = [&](std::string_view name, bool value) {
    stream += std::string(name) + ' ' + static_cast<char>(value);
  };
  integer("Width", 815);
  integer("Height", 480);
  integer("MaximumWidth", 815);
  integer("MaximumHeight", 480);
  stream += "Title " + std::string("\x23\0\0\0", 4) + "Tandemorphix Firmware Loader  v1.00";
  boolean("HasMinimizeButton", false);
  boolean("HasMaximizeButton", false);
  boolean("HasBackgroundColor", true);
  stream += "BackgroundColor " + std::string(4, '\0');
  host::_SetProperties(*window, stream);

  QWidget* widget = WidgetOf(*window);
  EXPECT_EQ(widget->size(), QSize(815, 480));
  EXPECT_EQ(widget->maximumSize(), QSize(815, 480));
  EXPECT_EQ(widget->windowTitle(), "Tandemorphix Firmware Loader  v1.00");
  EXPECT_TRUE(widget->windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(widget->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(widget->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(widget->palette().color(QPalette::Window), QColor(Qt::black));
  EXPECT_TRUE(widget->isVisible());
}

TEST_F(GuiTest, ARefusedStreamChangesNothingAndSaysWhere) {
  auto label = host::New<host::Label>();
  const std::string stream = std::string("Text ") + std::string("\x04\0\0\0", 4) + "Step" +
                             "Bold " + std::string("\x01", 1) + "Colour " + "\x01";
  try {
    host::_SetProperties(*label, stream);
    ADD_FAILURE() << "the stream was applied";
  } catch (const host::RaisedException& error) {
    EXPECT_EQ(error.ClassName(), "UnsupportedFormatException");
    EXPECT_NE(error.Exception()->message.find("Colour"), std::string::npos);
    EXPECT_NE(error.Exception()->message.find("offset 19"), std::string::npos);
  }
  EXPECT_EQ(label->Text(), "");
  EXPECT_FALSE(label->Bold());
  auto file = host::FolderItem::Make("x");
  EXPECT_EQ(RaisedClass([&] { host::_SetProperties(*file, stream); }),
            "UnsupportedFormatException");
}

TEST_F(GuiTest, ProgressBarStreamsNameTheMaximumMaximumValue) {
  auto bar = host::New<host::ProgressBar>();
  host::_SetProperties(*bar, std::string("MaximumValue ") + std::string("\x64\0\0\0\0\0\0\0", 8) +
                                 "Value " + std::string("\0\0\0\0\0\0\x59\x40", 8));
  EXPECT_EQ(bar->Maximum(), 100);
  EXPECT_EQ(bar->Value(), 100.0);
}

}  // namespace
}  // namespace gui_test
