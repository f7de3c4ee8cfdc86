// The real program, started in-process over the PortMidi double, driven as a user would:
// buttons clicked and menu rows picked through their widgets, dialogs answered by a script.
// Built with TFL_HARNESS_REAL_MIDI, it runs over the shipped plugin on the machine's own
// PortMidi instead, and what belongs to the double is left out.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Window1.h"
#ifndef TFL_HARNESS_REAL_MIDI
#include "fake_portmidi.h"
#endif
#include "firmware_files.h"
#include "host/modal.h"
#include "host/object.h"

namespace harness {

// Answers the open dialog from a queue of paths (cancelled when the queue is empty) and
// keeps every message box text.
class ScriptedModal : public host::ModalProvider {
 public:
  void ShowMessage(const std::string& text) override;
  std::optional<std::string> ChooseOpenFile(const std::vector<host::FileTypeInfo>& types) override;

  std::deque<std::string> filesToChoose;
  std::vector<std::string> messages;
  std::vector<std::vector<host::FileTypeInfo>> dialogTypes;
  // Runs inside each message box, while it is up.
  std::function<void(const std::string&)> onMessage;
};

#ifndef TFL_HARNESS_REAL_MIDI
// Unless UseDevices says otherwise, devices 0 and 1 are inputs, 2 and 3 outputs.
inline constexpr std::int64_t kSecondOutput = 3;
// The devices the program will find; call before the first Program::Get.
void UseDevices(std::vector<fake_portmidi::Device> devices);
#endif

class Program {
 public:
  // Starts the program once per process (devices, plugin directory, provider, StartUp).
  static Program& Get();

  Window1& Window() { return *window_; }
  ScriptedModal& Modal() { return *modal_; }

  // Clicks through the button's widget; a disabled button ignores the click.
  void Click(const host::Ref<host::PushButton>& button);
  // Picks a row through the menu's widget, as a user does; a disabled menu ignores it.
  void Pick(const host::Ref<host::PopupMenu>& menu, std::int64_t row);

  void Search() { Click(Window().PushButton1()); }
  void Open(const std::string& path);
  void Update() { Click(Window().PushButton3()); }
  void CancelTransfer() { Click(Window().PushButton4()); }
  // SEARCH, output row 1, OPEN of the file: the state in which UPDATE is enabled.
  void LoadFirmware(const testfiles::Bytes& file);

  // Runs the event loop until done() holds or the limit passes; answers done().
  bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

#ifndef TFL_HARNESS_REAL_MIDI
  // Bytes the chosen output has received since the program started.
  std::vector<std::uint8_t> Written() const;
#endif

 private:
  Program();
  host::Ref<Window1> window_;
  std::shared_ptr<ScriptedModal> modal_;
};

// Writes the bytes to a new file in the temporary directory and answers its path.
std::string TemporaryFile(const testfiles::Bytes& bytes, const std::string& name);

}  // namespace harness
