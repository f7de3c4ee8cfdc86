// The binding table and the forwarding calls, bound to the plugin built over the PortMidi
// double: every record filled, arguments and results passed through, errors passed on,
// references released, a stream closed by its last release, and nil or an object of the
// wrong class refused before the plugin reads it.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "PluginBindings.h"
#include "fake_portmidi.h"
#include "host/exception.h"
#include "host/memory_block.h"
#include "host/plugin_binding.h"

namespace {

using host::Object;
using host::Ref;

constexpr PmDeviceID kOutput = 1;

class PluginBindingsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    PluginBindings::RunInitializers();
    host::SetPluginDirectory(TFL_TEST_PLUGIN_DIR);
    host::InitPluginEntrypoints();
    host::ResolvePluginClasses();
  }

  void SetUp() override {
    fake_portmidi::Reset();
    fake_portmidi::SetDevices(
        {{"ALSA", "Keys In", true, false}, {"ALSA", "Synth Out", false, true}});
    // The plugin keeps its device table across the double's reset: enumerate again.
    ASSERT_EQ(PortMidiQRX::ReInitialize(), 0);
  }

  static Ref<Object> NewStream() { return host::RuntimeNewObject(PortMidiStreamQRX::Class()); }
};

TEST_F(PluginBindingsTest, EveryRecordIsFilledAndTheClassesComeInOrder) {
  auto table = PluginBindings::Table();
  ASSERT_EQ(table.size(), 54u);
  std::map<std::string, int> perClass;
  std::string previousClass;
  std::vector<std::string> classOrder;
  for (const auto& record : table) {
    SCOPED_TRACE(record.declaration);
    EXPECT_NE(record.entrySlot, nullptr);
    EXPECT_STREQ(record.libraryName, "QRXPortMidi.so");
    EXPECT_STREQ(record.pluginId, table[0].pluginId);
    std::string_view declaration = record.declaration;
    std::string className(declaration.substr(0, declaration.find('.')));
    if (className != previousClass)
      classOrder.push_back(className);
    previousClass = className;
    ++perClass[className];
  }
  EXPECT_EQ(classOrder, (std::vector<std::string>{"PortMidiStreamQRX", "PortMidiEventQRX",
                                                  "PortMidiQRX", "PortMidiDeviceInfoQRX"}));
  EXPECT_EQ(perClass["PortMidiStreamQRX"], 21);
  EXPECT_EQ(perClass["PortMidiEventQRX"], 21);
  EXPECT_EQ(perClass["PortMidiQRX"], 8);
  EXPECT_EQ(perClass["PortMidiDeviceInfoQRX"], 4);
  EXPECT_STREQ(table[0].declaration, "PortMidiStreamQRX.__init");
  EXPECT_STREQ(table[1].declaration, "PortMidiStreamQRX.__exit");
  EXPECT_STREQ(table[41].declaration, "PortMidiEventQRX.CurrentEvent.Get");
  EXPECT_STREQ(table[42].declaration, "PortMidiQRX.__init");
}

TEST_F(PluginBindingsTest, DevicesAreListedThroughTheSharedMembersAndGetters) {
  auto port = host::RuntimeNewObject(PortMidiQRX::Class());
  ASSERT_EQ(PortMidiQRX::CountDevices(), 2);
  auto input = PortMidiQRX::DeviceInfo(0);
  ASSERT_TRUE(input);
  EXPECT_EQ(host::BytesOf(PortMidiDeviceInfoQRX::Name_Get(input)), "Keys In");
  EXPECT_EQ(host::BytesOf(PortMidiDeviceInfoQRX::InterfaceName_Get(input)), "ALSA");
  EXPECT_TRUE(PortMidiDeviceInfoQRX::HasInput_Get(input));
  EXPECT_FALSE(PortMidiDeviceInfoQRX::HasOutput_Get(input));
  auto output = PortMidiQRX::DeviceInfo(kOutput);
  ASSERT_TRUE(output);
  EXPECT_TRUE(PortMidiDeviceInfoQRX::HasOutput_Get(output));
  EXPECT_EQ(input->RefCount(), 1) << "a returned object comes with the caller's reference only";
  EXPECT_FALSE(PortMidiQRX::DeviceInfo(7)) << "no object for a device that doesn't exist";
}

TEST_F(PluginBindingsTest, ASysExMessageReachesTheOpenedOutput) {
  auto stream = NewStream();
  ASSERT_EQ(PortMidiStreamQRX::OpenOutput(stream, kOutput, 10000, 0), 0);
  auto message = host::String::Make(std::string("\xF0\x01\x02\xF7\x55", 5), host::kEncodingUTF8);
  EXPECT_EQ(PortMidiStreamQRX::WriteSysEx(stream, 0, message), 0);
  EXPECT_EQ(fake_portmidi::Written(kOutput), (std::vector<std::uint8_t>{0xF0, 0x01, 0x02, 0xF7}));
  EXPECT_EQ(message->RefCount(), 1) << "the text argument is released after the call";
  EXPECT_EQ(stream->RefCount(), 1);
}

TEST_F(PluginBindingsTest, TheLastReleaseOfAStreamClosesIt) {
  auto stream = NewStream();
  ASSERT_EQ(PortMidiStreamQRX::OpenOutput(stream, kOutput, 10000, 0), 0);
  ASSERT_TRUE(fake_portmidi::OpenStreamOn(kOutput));
  auto second = stream;
  stream.Reset();
  EXPECT_TRUE(fake_portmidi::OpenStreamOn(kOutput)) << "still referenced";
  second.Reset();
  EXPECT_FALSE(fake_portmidi::OpenStreamOn(kOutput));
  EXPECT_EQ(fake_portmidi::CloseCount(), 1);
}

TEST_F(PluginBindingsTest, AStreamFreedWhileAnErrorIsPendingIsClosedAndTheErrorKept) {
  auto stream = NewStream();
  ASSERT_EQ(PortMidiStreamQRX::OpenOutput(stream, kOutput, 10000, 0), 0);
  host::SetPendingException(host::MakeException("OutOfBoundsException", "raised earlier"));
  stream.Reset();
  EXPECT_FALSE(fake_portmidi::OpenStreamOn(kOutput));
  EXPECT_EQ(fake_portmidi::CloseCount(), 1);
  try {
    host::RaisePendingException();
    ADD_FAILURE() << "the error must still wait for its caller";
  } catch (const host::RaisedException& error) {
    EXPECT_EQ(error.Exception()->message, "raised earlier");
  }

  // Re-enumerating closes the plugin's open streams: none may refer to the freed object.
  ASSERT_EQ(PortMidiQRX::ReInitialize(), 0);
  auto again = NewStream();
  EXPECT_EQ(PortMidiStreamQRX::OpenOutput(again, kOutput, 10000, 0), 0);
}

TEST_F(PluginBindingsTest, AnErrorThePluginRaisesReachesTheCallerAndReleasesTheArguments) {
  auto stream = NewStream();
  Ref<host::MemoryBlock> noBlock;
  try {
    PortMidiStreamQRX::WriteSysEx(stream, 0, noBlock, 0);
    FAIL() << "a nil memory block must raise";
  } catch (const host::RaisedException& error) {
    EXPECT_EQ(error.ClassName(), "NilObjectException");
    EXPECT_EQ(error.Exception()->message, "memoryblock is nil");
  }
  EXPECT_FALSE(host::HasPendingException()) << "the error was taken, not left behind";
  EXPECT_EQ(stream->RefCount(), 1) << "the object held for the call was released";
  // The binding keeps working after an error.
  EXPECT_EQ(PortMidiStreamQRX::Poll(stream), -1);
}

TEST_F(PluginBindingsTest, EventPropertiesPassThroughTheirAccessors) {
  auto event = host::RuntimeNewObject(PortMidiEventQRX::Class());
  EXPECT_EQ(PortMidiEventQRX::RawMessage_Get(event), 0) << "a new event is zero";
  PortMidiEventQRX::Set(event, 0x90, 60, 100);
  EXPECT_EQ(PortMidiEventQRX::Status_Get(event), 0x90);
  EXPECT_EQ(PortMidiEventQRX::Data1_Get(event), 60);
  EXPECT_EQ(PortMidiEventQRX::Data2_Get(event), 100);
  PortMidiEventQRX::When_Set(event, 1234);
  EXPECT_EQ(PortMidiEventQRX::When_Get(event), 1234);
  PortMidiEventQRX::RawData3_Set(event, 7);
  EXPECT_EQ(PortMidiEventQRX::RawData3_Get(event), 7);
  EXPECT_EQ(event->RefCount(), 1);
}

TEST_F(PluginBindingsTest, ReadReplacesTheCallersVariable) {
  auto stream = NewStream();
  ASSERT_EQ(PortMidiStreamQRX::OpenInput(stream, 0, 100), 0);
  ASSERT_TRUE(fake_portmidi::Receive(0, Pm_Message(0x90, 64, 1), 5));
  Ref<Object> data = host::RuntimeNewObject(PortMidiEventQRX::Class());
  Ref<Object> before = data;
  EXPECT_EQ(PortMidiStreamQRX::Read(stream, data), 1);
  ASSERT_TRUE(data);
  EXPECT_NE(data, before);
  EXPECT_EQ(PortMidiEventQRX::Data1_Get(data), 64);
  EXPECT_EQ(before->RefCount(), 1) << "the variable's old reference was given up";
  EXPECT_EQ(PortMidiStreamQRX::Read(stream, data), 0);
  EXPECT_FALSE(data) << "nothing waiting leaves the variable nil";
  EXPECT_EQ(PortMidiStreamQRX::Read(stream, data), 0) << "a nil variable is the usual start";
}

TEST_F(PluginBindingsTest, AFailedOpenIsAResultCodeNotAnError) {
  auto stream = NewStream();
  fake_portmidi::FailNextOpen(pmInsufficientMemory);
  EXPECT_EQ(PortMidiStreamQRX::OpenOutput(stream, kOutput, 10000, 0), pmInsufficientMemory);
  EXPECT_FALSE(fake_portmidi::OpenStreamOn(kOutput));
}

// What a misused member could spoil: two open streams, one message waiting on the input,
// and one object of each other kind.
struct Scene {
  Ref<Object> output = host::RuntimeNewObject(PortMidiStreamQRX::Class());
  Ref<Object> input = host::RuntimeNewObject(PortMidiStreamQRX::Class());
  Ref<Object> midi = host::RuntimeNewObject(PortMidiQRX::Class());
  Ref<Object> event = host::RuntimeNewObject(PortMidiEventQRX::Class());
  Ref<Object> deviceInfo = PortMidiQRX::DeviceInfo(0);
  Ref<host::MemoryBlock> block = host::MemoryBlock::Make(4);
};

struct MisuseCase {
  const char* member;
  const char* raised;
  std::function<void(Scene&)> call;
};

TEST_F(PluginBindingsTest, NilOrAnObjectOfAnotherClassIsRefusedBeforeThePluginIsCalled) {
  const std::vector<MisuseCase> cases = {
      {"PortMidiStreamQRX.Poll", "NilObjectException",
       [](Scene&) { PortMidiStreamQRX::Poll(nullptr); }},
      {"PortMidiDeviceInfoQRX.Name.Get", "NilObjectException",
       [](Scene&) { PortMidiDeviceInfoQRX::Name_Get(nullptr); }},
      {"PortMidiEventQRX.RawMessage.Set", "NilObjectException",
       [](Scene&) { PortMidiEventQRX::RawMessage_Set(nullptr, 0x403C90); }},
      {"PortMidiStreamQRX.Write", "NilObjectException",
       [](Scene& scene) { PortMidiStreamQRX::Write(nullptr, scene.event); }},
      {"PortMidiStreamQRX.WriteShort", "IllegalCastException",
       [](Scene& scene) { PortMidiStreamQRX::WriteShort(scene.event, 0, 0x403C90); }},
      {"PortMidiEventQRX.When.Set", "IllegalCastException",
       [](Scene& scene) { PortMidiEventQRX::When_Set(scene.midi, 1234); }},
      {"PortMidiEventQRX.RawMessage.Set", "IllegalCastException",
       [](Scene& scene) { PortMidiEventQRX::RawMessage_Set(scene.output, 0x403C90); }},
      {"PortMidiStreamQRX.Filters.Get", "IllegalCastException",
       [](Scene& scene) { PortMidiStreamQRX::Filters_Get(scene.block); }},
      {"PortMidiStreamQRX.__init", "IllegalCastException",
       [](Scene& scene) { PortMidiStreamQRX::InitEntry(*scene.midi); }},
      {"PortMidiStreamQRX.__exit", "IllegalCastException",
       [](Scene& scene) { PortMidiStreamQRX::ExitEntry(*scene.event); }},
      {"PortMidiStreamQRX.Write", "IllegalCastException",
       [](Scene& scene) { PortMidiStreamQRX::Write(scene.output, scene.midi); }},
      {"PortMidiStreamQRX.Read", "IllegalCastException",
       [](Scene& scene) {
         Ref<Object> variable = scene.deviceInfo;
         PortMidiStreamQRX::Read(scene.input, variable);
       }},
  };
  for (const auto& misuse : cases) {
    SCOPED_TRACE(std::string(misuse.member) + " expecting " + misuse.raised);
    SetUp();
    Scene scene;
    ASSERT_TRUE(scene.deviceInfo);
    ASSERT_EQ(PortMidiStreamQRX::OpenOutput(scene.output, kOutput, 100, 0), 0);
    ASSERT_EQ(PortMidiStreamQRX::OpenInput(scene.input, 0, 100), 0);
    ASSERT_TRUE(fake_portmidi::Receive(0, Pm_Message(0x90, 64, 1), 5));
    PortMidiEventQRX::RawMessage_Set(scene.event, 0x7F3E90);
    scene.block->SetByte(0, 0xF0);

    try {
      misuse.call(scene);
      ADD_FAILURE() << "nothing was raised";
    } catch (const host::RaisedException& error) {
      EXPECT_EQ(error.ClassName(), misuse.raised);
      EXPECT_NE(error.Exception()->message.find(misuse.member), std::string::npos)
          << "the message names the member: " << error.Exception()->message;
    }

    EXPECT_FALSE(host::HasPendingException());
    EXPECT_TRUE(fake_portmidi::Written(kOutput).empty()) << "nothing was sent";
    EXPECT_EQ(PortMidiStreamQRX::Poll(scene.input), 1) << "the waiting message was not read";
    EXPECT_EQ(PortMidiEventQRX::RawMessage_Get(scene.event), 0x7F3E90);
    EXPECT_EQ(scene.block->Byte(0), 0xF0);
    for (const Object* held :
         {scene.output.get(), scene.input.get(), scene.midi.get(), scene.event.get(),
          scene.deviceInfo.get(), static_cast<Object*>(scene.block.get())}) {
      EXPECT_EQ(held->RefCount(), 1) << "a reference of " << held->Class().name << " was kept";
    }
    EXPECT_EQ(PortMidiStreamQRX::WriteShort(scene.output, 0, 0x403C90), 0);
    EXPECT_EQ(fake_portmidi::Written(kOutput), (std::vector<std::uint8_t>{0x90, 0x3C, 0x40}))
        << "the output stream still works";
  }

  SetUp();
  auto stream = NewStream();
  ASSERT_EQ(PortMidiStreamQRX::OpenOutput(stream, kOutput, 100, 0), 0);
  EXPECT_EQ(PortMidiStreamQRX::Write(stream, nullptr), -1)
      << "a nil event is the plugin's to judge";
  EXPECT_TRUE(fake_portmidi::Written(kOutput).empty());
}

}  // namespace
