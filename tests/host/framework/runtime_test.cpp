// The runtime: unhandled exceptions, the event loop, the yield point and the application
// object.
#include <QGuiApplication>
#include <stdexcept>
#include <thread>

#include "gui_fixture.h"
#include "host/modal.h"

namespace gui_test {
namespace {

using namespace std::chrono_literals;

class RaisingWindow : public TraceWindow {
 public:
  void Raising(host::PushButton&) {
    ++runs;
    host::Raise("OutOfBoundsException", "row 7 is past the last row");
  }
  void Throwing(host::PushButton&) { throw std::runtime_error("the disk went away"); }
  int runs = 0;
};

template <class Method>
host::Ref<host::PushButton> AddButton(RaisingWindow& window, Method method) {
  auto button = host::New<host::PushButton>();
  button->Constructor();
  button->SetWidth(80);
  window._AddControl("PushButton1", button);
  host::RuntimeAddEventHandler(*button, host::PushButton::kActionEvent,
                               host::RuntimeCreateDelegate(window, method));
  return button;
}

TEST_F(GuiTest, AnExceptionLeavingAHandlerIsReportedInPlainWordsAndEndsTheProgram) {
  auto window = host::New<RaisingWindow>();
  window->Constructor();
  auto button = AddButton(*window, &RaisingWindow::Raising);
  test_support::ClickButton(*button);

  ASSERT_EQ(modal_->Messages().size(), 1u);
  const std::string& report = modal_->Messages()[0];
  EXPECT_NE(report.find("OutOfBoundsException"), std::string::npos) << report;
  EXPECT_NE(report.find("row 7 is past the last row"), std::string::npos) << report;
  EXPECT_NE(host::RuntimeExit(), 0);
  // The program is ending: no further handler runs, and the loop won't start again.
  test_support::ClickButton(*button);
  EXPECT_EQ(window->runs, 1);
  EXPECT_NE(host::RuntimeRun(), 0);
}

TEST_F(GuiTest, AnyOtherExceptionIsReportedAsARuntimeException) {
  auto window = host::New<RaisingWindow>();
  window->Constructor();
  test_support::ClickButton(*AddButton(*window, &RaisingWindow::Throwing));
  ASSERT_EQ(modal_->Messages().size(), 1u);
  EXPECT_NE(modal_->Messages()[0].find("RuntimeException: the disk went away"), std::string::npos);
}

TEST_F(GuiTest, ADelegateWhoseTargetIsGoneRaisesNilObject) {
  auto window = host::New<TraceWindow>();
  host::Delegate handler = host::RuntimeCreateDelegate(*window, &TraceWindow::ButtonAction);
  auto button = host::New<host::PushButton>();
  handler(*button);
  EXPECT_EQ(window->trace.back(), "Action ");
  window.Reset();
  EXPECT_THROW(handler(*button), host::RaisedException);
  auto label = host::New<host::Label>();
  EXPECT_THROW(host::RuntimeAddEventHandler(*label, 15, handler), host::RaisedException);
  EXPECT_THROW(host::RuntimeAddEventHandler(*button, 3, handler), host::RaisedException);
}

TEST_F(GuiTest, TheEventLoopRunsUntilTheLastWindowCloses) {
  auto window = ShowWindow();
  auto timer = host::New<host::Timer>();
  window->_AddControl("Timer1", timer);
  host::RuntimeAddEventHandler(*timer, host::Timer::kActionEvent,
                               [&](host::Object&) { window->Close(); });
  timer->SetRunMode(host::Timer::kModeSingle);
  timer->SetPeriod(20);
  timer->SetEnabled(true);
  EXPECT_EQ(host::RuntimeRun(), 0);
  EXPECT_TRUE(window->IsClosed());
  EXPECT_EQ(host::RuntimeExit(), 0);
}

TEST_F(GuiTest, AnUnhandledExceptionInsideTheLoopEndsItWithAnErrorStatus) {
  auto window = ShowWindow();
  auto timer = host::New<host::Timer>();
  window->_AddControl("Timer1", timer);
  host::RuntimeAddEventHandler(*timer, host::Timer::kActionEvent, [](host::Object&) {
    host::Raise("NilObjectException", "memoryblock is nil");
  });
  timer->SetPeriod(10);
  timer->SetEnabled(true);
  EXPECT_NE(host::RuntimeRun(), 0);
  EXPECT_FALSE(window->IsClosed());
  ASSERT_EQ(modal_->Messages().size(), 1u) << "reported once although the timer kept ticking";
  EXPECT_NE(modal_->Messages()[0].find("NilObjectException: memoryblock is nil"),
            std::string::npos);
}

TEST_F(GuiTest, TheEventLoopDoesNotStartWithoutAWindow) {
  EXPECT_EQ(host::RuntimeRun(), 0);
}

TEST_F(GuiTest, TheBackgroundTaskNeverDispatchesEvents) {
  auto window = ShowWindow();
  auto timer = host::New<host::Timer>();
  window->_AddControl("Timer1", timer);
  int ticks = 0;
  host::RuntimeAddEventHandler(*timer, host::Timer::kActionEvent, [&](host::Object&) { ++ticks; });
  timer->SetPeriod(1);
  timer->SetEnabled(true);
  std::this_thread::sleep_for(20ms);
  for (int i = 0; i < 1000; ++i)
    host::RuntimeBackgroundTask();
  EXPECT_EQ(ticks, 0);
  EXPECT_TRUE(test_support::WaitUntil([&] { return ticks > 0; }));
}

TEST_F(GuiTest, TheApplicationObjectKeepsItsVersionData) {
  auto app = host::New<host::Application>();
  app->_x_SetVersionData(1, 0, 0, 0, 0, "", "", "");
  host::RuntimeRegisterAppObject(app);
  EXPECT_EQ(host::App(), app);
  EXPECT_EQ(host::App()->MajorVersion(), 1);
  EXPECT_EQ(host::App()->NonReleaseVersion(), 0);
  EXPECT_EQ(host::App()->VersionTexts()[2], "");
  host::RuntimePerformFinalizers();
  EXPECT_FALSE(host::App());
}

TEST_F(GuiTest, InitializersRunInTheirStoredOrderAndLateStartupOnce) {
  static std::string order;
  order.clear();
  const host::Initializer initializers[] = {[] { order += 'a'; }, [] { order += 'b'; }};
  host::RuntimePerformInitializers(initializers);
  int calls = 0;
  host::RunFrameworkInitialization([&] { ++calls; });
  EXPECT_EQ(order, "ab");
  EXPECT_EQ(calls, 1);
}

TEST_F(GuiTest, TheOpenDialogOffersTheRegisteredTypeAndAnswersTheChosenFile) {
  auto type = host::New<host::FileType>();
  type->SetName("Syx File (*.syx)");
  type->SetMacType("SYX");
  type->SetExtensions("syx");
  auto dialog = host::New<host::OpenDialog>();
  dialog->SetFilter(type->Operator_Convert());

  modal_->QueueFile("/tmp/firmware.syx");
  modal_->QueueCancel();
  auto chosen = dialog->ShowModal();
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->Path(), "/tmp/firmware.syx");
  EXPECT_FALSE(dialog->ShowModal());

  ASSERT_EQ(modal_->Dialogs().size(), 2u);
  ASSERT_EQ(modal_->Dialogs()[0].size(), 1u);
  EXPECT_EQ(modal_->Dialogs()[0][0].macType, "SYX");
  EXPECT_EQ(modal_->Dialogs()[0][0].extensions, std::vector<std::string>{"syx"});
  host::MsgBox("Select MIDI IN and OUT !!!");
  EXPECT_EQ(modal_->Messages().back(), "Select MIDI IN and OUT !!!");
}

}  // namespace
}  // namespace gui_test

namespace gui_test {
namespace {

TEST(ToolkitDialogs, OnAPlatformNobodySeesNeitherWaitsForAnAnswer) {
  if (QGuiApplication::platformName() != "offscreen")
    GTEST_SKIP() << "needs offscreen";
  host::SetModalProvider(nullptr);
  host::MsgBox("The firmware has been successfully sent.");
  auto dialog = host::New<host::OpenDialog>();
  EXPECT_FALSE(dialog->ShowModal());
}

}  // namespace
}  // namespace gui_test
