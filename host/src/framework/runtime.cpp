#include "host/runtime.h"

#include <QApplication>
#include <QMetaObject>
#include <QThread>
#include <algorithm>
#include <iostream>
#include <new>
#include <vector>

#include "framework_internal.h"
#include "host/modal.h"
#include "host/window.h"

namespace host {
namespace {

struct RuntimeState {
  std::vector<Ref<Window>> openWindows;
  std::vector<Ref<Window>> closedWindows;  // released from the event loop
  Ref<Application> app;
  int exitStatus = 0;
  bool unhandledReported = false;
  bool reporting = false;
  bool supportsHiDPI = false;
  bool supportsDarkMode = false;
};

RuntimeState& State() {
  static RuntimeState* state = new RuntimeState;
  return *state;
}

void ReleaseClosedWindows() {
  // Moved out first: releasing a window may close or release others.
  std::vector<Ref<Window>> closed = std::move(State().closedWindows);
  State().closedWindows.clear();
}

std::string PlainReport(const RaisedException& error) {
  std::string text = "The program met an error it could not handle and has to close.\n\n";
  text += std::string(error.ClassName());
  const std::string& message = error.Exception()->message;
  if (!message.empty())
    text += ": " + message;
  return text;
}

}  // namespace

namespace framework {

const ClassDescription& DescribeFrameworkClass(const std::string& name,
                                               const ClassDescription* super) {
  auto* cls = new ClassDescription;
  cls->name = name;
  cls->super = super;
  DescribeClass(*cls);
  return *cls;
}

void HoldWindow(Ref<Window> window) {
  State().openWindows.push_back(std::move(window));
}

void ReleaseWindowLater(Window& window) {
  auto& open = State().openWindows;
  const auto found = std::find_if(open.begin(), open.end(),
                                  [&](const Ref<Window>& w) { return w.get() == &window; });
  if (found == open.end())
    return;
  State().closedWindows.push_back(std::move(*found));
  open.erase(found);
  if (QCoreApplication::instance()) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), &ReleaseClosedWindows,
                              Qt::QueuedConnection);
  }
}

void ResetRuntimeStatus() {
  State().exitStatus = 0;
  State().unhandledReported = false;
}

}  // namespace framework

void RuntimeInit() {
  if (QCoreApplication::instance())
    return;
  static int argc = 1;
  static char name[] = "TandemorphixFirmwareLoader";
  static char* argv[] = {name, nullptr};
  static QApplication* application = new QApplication(argc, argv);
  application->setQuitOnLastWindowClosed(true);
}

void RuntimePerformInitializers(std::span<const Initializer> initializers) {
  for (Initializer initializer : initializers)
    initializer();
}

int RuntimeRun() {
  RuntimeState& state = State();
  const bool anyShown = std::any_of(state.openWindows.begin(), state.openWindows.end(),
                                    [](const Ref<Window>& w) { return w->Visible(); });
  if (state.unhandledReported || !anyShown || !QCoreApplication::instance()) {
    return state.exitStatus;
  }
  QApplication::exec();
  ReleaseClosedWindows();
  return state.exitStatus;
}

void RuntimePerformFinalizers() {
  RuntimeState& state = State();
  // Oldest first; Close stops each window's timers before anything is released.
  std::vector<Ref<Window>> open = state.openWindows;
  for (const Ref<Window>& window : open)
    window->Close();
  open.clear();
  ReleaseClosedWindows();
  state.app.Reset();
}

int RuntimeExit() {
  return State().exitStatus;
}

void RuntimeUnhandledException(const RaisedException& error) {
  RuntimeState& state = State();
  state.exitStatus = 1;
  state.unhandledReported = true;  // from here on no handler runs
  if (!state.reporting) {
    state.reporting = true;
    const std::string text = PlainReport(error);
    std::cerr << text << '\n';
    try {
      CurrentModalProvider().ShowMessage(text);
    } catch (const std::exception& failure) {
      std::cerr << "The report could not be shown: " << failure.what() << '\n';
    }
    state.reporting = false;
  }
  // Only after the report: a loop asked to quit would close the message box at once.
  if (QCoreApplication::instance())
    QCoreApplication::exit(state.exitStatus);
}

void RuntimeInvokeHandler(const std::function<void()>& handler) {
  if (State().unhandledReported)
    return;
  try {
    handler();
  } catch (const RaisedException& error) {
    RuntimeUnhandledException(error);
  } catch (const std::bad_alloc&) {
    RuntimeUnhandledException(
        RaisedException(MakeException("OutOfMemoryException", "the program ran out of memory")));
  } catch (const std::exception& failure) {
    RuntimeUnhandledException(RaisedException(MakeException("RuntimeException", failure.what())));
  }
}

void RuntimeBackgroundTask() {}

bool RuntimeIsMainThread() {
  const QCoreApplication* application = QCoreApplication::instance();
  return application && QThread::currentThread() == application->thread();
}

void RuntimeCheckMainThread(std::string_view operation) {
  if (!RuntimeIsMainThread()) {
    Raise("ThreadAccessingUIException",
          std::string(operation) + " may run only on the main thread; nothing was done");
  }
}

void ApplicationSetSupportsHiDPI(bool supported) {
  State().supportsHiDPI = supported;
}
void DesktopApplication_SetUserDarkModeSupport(bool supported) {
  State().supportsDarkMode = supported;
}
bool ApplicationSupportsHiDPI() {
  return State().supportsHiDPI;
}
bool ApplicationSupportsUserDarkMode() {
  return State().supportsDarkMode;
}

void RunFrameworkInitialization(const std::function<void()>& lateStartup) {
  RuntimeInit();
  if (lateStartup)
    lateStartup();
}

const ClassDescription& Application::Class() {
  static const ClassDescription& cls = framework::DescribeFrameworkClass("Application", nullptr);
  return cls;
}

Application::Application(const ClassDescription& cls) : Object(cls) {}

void Application::_x_SetVersionData(std::int64_t major, std::int64_t minor, std::int64_t bug,
                                    std::int64_t nonReleaseVersion, std::int64_t stageCode,
                                    std::string text1, std::string text2, std::string text3) {
  major_ = major;
  minor_ = minor;
  bug_ = bug;
  nonReleaseVersion_ = nonReleaseVersion;
  stageCode_ = stageCode;
  versionTexts_ = {std::move(text1), std::move(text2), std::move(text3)};
}

void RuntimeRegisterAppObject(Ref<Application> app) {
  State().app = std::move(app);
}

Ref<Application> App() {
  return State().app;
}

Ref<Window> _GetImplicitWindow(std::string_view className) {
  for (const Ref<Window>& window : State().openWindows) {
    if (window->Object::Class().name == className)
      return window;
  }
  return nullptr;
}

std::vector<Ref<Window>> RuntimeOpenWindows() {
  return State().openWindows;
}

}  // namespace host
