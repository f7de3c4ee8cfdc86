#include "program_harness.h"

#include <unistd.h>

#include <QComboBox>
#include <QEventLoop>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "Startup.h"
#ifndef TFL_HARNESS_REAL_MIDI
#include "fake_portmidi.h"
#endif
#include "host/plugin_binding.h"
#include "host/runtime.h"
#include "qt_access.h"
#include "ui_driver.h"

namespace harness {

void ScriptedModal::ShowMessage(const std::string& text) {
  messages.push_back(text);
  if (onMessage) {
    onMessage(text);
  }
}

std::optional<std::string> ScriptedModal::ChooseOpenFile(
    const std::vector<host::FileTypeInfo>& types) {
  dialogTypes.push_back(types);
  if (filesToChoose.empty()) {
    return std::nullopt;
  }
  std::string path = filesToChoose.front();
  filesToChoose.pop_front();
  return path;
}

Program& Program::Get() {
  static Program program;
  return program;
}

#ifndef TFL_HARNESS_REAL_MIDI
namespace {

std::vector<fake_portmidi::Device>& DevicesAtStart() {
  static std::vector<fake_portmidi::Device> devices = {
      {"CoreMIDI", "Port In A", true, false},
      {"CoreMIDI", "Port In B", true, false},
      {"CoreMIDI", "Port Out A", false, true},
      {"CoreMIDI", "Port Out B", false, true},
  };
  return devices;
}

}  // namespace

void UseDevices(std::vector<fake_portmidi::Device> devices) {
  DevicesAtStart() = std::move(devices);
}
#endif

Program::Program() : modal_(std::make_shared<ScriptedModal>()) {
  test_support::StartHeadlessRuntime();
#ifndef TFL_HARNESS_REAL_MIDI
  fake_portmidi::SetDevices(DevicesAtStart());
#endif
  host::SetPluginDirectory(TFL_HARNESS_PLUGIN_DIR);
  host::SetModalProvider(modal_);
  StartUp();
  window_ = host::RuntimeCheckCastTo<Window1>(host::_GetImplicitWindow("Window1.Window1"));
  if (!window_) {
    throw std::runtime_error("start-up showed no main window: " +
                             (modal_->messages.empty() ? "" : modal_->messages.back()));
  }
}

void Program::Click(const host::Ref<host::PushButton>& button) {
  test_support::ClickButton(*button);
}

// The menu's pop-up list doesn't open reliably on the offscreen platform, so the pick goes
// through the widget's own "activated" signal, which is what a user's pick emits.
void Program::Pick(const host::Ref<host::PopupMenu>& menu, std::int64_t row) {
  auto* combo = qobject_cast<QComboBox*>(test_support::WidgetOf(*menu));
  if (!combo || !combo->isEnabled() || row < 0 || row >= combo->count()) {
    return;
  }
  combo->setCurrentIndex(static_cast<int>(row));
  emit combo->activated(static_cast<int>(row));
}

void Program::Open(const std::string& path) {
  modal_->filesToChoose.push_back(path);
  Click(Window().PushButton2());
}

void Program::LoadFirmware(const testfiles::Bytes& file) {
  Search();
  Pick(Window().ChooseMidiOut_PopMenu(), 1);
  Open(TemporaryFile(file, "firmware.syx"));
}

// A real event loop that sleeps between events, so that timer ticks come as they would in
// the program rather than between the polls of a busy wait.
bool Program::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  QEventLoop loop;
  QTimer check;
  QObject::connect(&check, &QTimer::timeout, &loop, [&] {
    if (done()) {
      loop.quit();
    }
  });
  check.start(20);
  QTimer::singleShot(limit, &loop, &QEventLoop::quit);
  if (!done()) {
    loop.exec();
  }
  return done();
}

#ifndef TFL_HARNESS_REAL_MIDI
std::vector<std::uint8_t> Program::Written() const {
  return fake_portmidi::Written(kSecondOutput);
}
#endif

namespace {

// Removes the files the tests wrote when the test program ends.
struct TemporaryFiles {
  ~TemporaryFiles() {
    for (const auto& path : paths) {
      std::error_code ignored;
      std::filesystem::remove(path, ignored);
    }
  }
  std::vector<std::filesystem::path> paths;
};

}  // namespace

std::string TemporaryFile(const testfiles::Bytes& bytes, const std::string& name) {
  static TemporaryFiles written;
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("tfl-" + std::to_string(getpid()) + "-" + name);
  written.paths.push_back(path);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return path.string();
}

}  // namespace harness
