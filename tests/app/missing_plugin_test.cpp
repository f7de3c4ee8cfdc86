// Start-up without its plugin library: the user is told which library is missing, the
// program ends with a non-zero status, and no forwarding call reaches an empty entry slot.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "PluginBindings.h"
#include "Startup.h"
#include "host/exception.h"
#include "host/modal.h"
#include "host/plugin_binding.h"
#include "host/runtime.h"
#include "host/window.h"

namespace {

class RecordingProvider : public host::ModalProvider {
 public:
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  std::optional<std::string> ChooseOpenFile(const std::vector<host::FileTypeInfo>&) override {
    return std::nullopt;
  }
  std::vector<std::string> messages;
};

std::vector<StartUpStep> gSteps;

TEST(MissingPlugin, IsReportedByNameAndEndsStartUpBeforeTheApplicationObject) {
  auto emptyDirectory = std::filesystem::temp_directory_path() / "tfl-no-plugin";
  std::filesystem::create_directories(emptyDirectory);
  auto provider = std::make_shared<RecordingProvider>();
  host::SetModalProvider(provider);
  host::SetPluginDirectory(emptyDirectory.string());
  SetStartUpObserver([](StartUpStep step) { gSteps.push_back(step); });

  StartUp();

  ASSERT_EQ(provider->messages.size(), 1u);
  EXPECT_NE(provider->messages[0].find("QRXPortMidi.so"), std::string::npos)
      << provider->messages[0];
  EXPECT_NE(host::RuntimeExit(), 0);
  EXPECT_EQ(gSteps, (std::vector<StartUpStep>{StartUpStep::Initializers, StartUpStep::BindPlugin}));
  EXPECT_FALSE(host::App());
  EXPECT_TRUE(host::RuntimeOpenWindows().empty());
  EXPECT_EQ(host::RuntimeRun(), host::RuntimeExit()) << "no event loop after the report";
}

TEST(MissingPlugin, AForwardingCallRaisesInsteadOfCallingAnEmptySlot) {
  for (const auto& record : PluginBindings::Table())
    EXPECT_EQ(record.entrySlot, nullptr);
  try {
    PortMidiQRX::CountDevices();
    FAIL() << "an unbound member must not be called";
  } catch (const host::RaisedException& error) {
    EXPECT_EQ(error.ClassName(), "PluginException");
    EXPECT_NE(std::string(error.what()).find("PortMidiQRX.CountDevices as integer"),
              std::string::npos);
  }
}

}  // namespace
