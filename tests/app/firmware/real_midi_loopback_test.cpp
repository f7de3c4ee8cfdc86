// A firmware transfer over a real ALSA loop: the real program with the shipped plugin on the
// machine's own PortMidi and its real 76 ms timer sends to "Midi Through", and a sequencer
// client of the test's own, subscribed to Midi Through's output, reads what comes back.
// Files OPEN refuses send nothing there. Skipped where the machine has no ALSA sequencer or
// no Midi Through port.
#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Module1.h"
#include "program_harness.h"
#include "ui_driver.h"

namespace {

using namespace std::chrono_literals;
using testfiles::Bytes;

constexpr const char* kSuccess = "The firmware has been successfully sent.";

struct Port {
  int client = -1;
  int port = -1;
  std::string name;
};

// A client of the test's own on the sequencer; not one that PortMidi lists.
class Sequencer {
 public:
  Sequencer() { snd_seq_open(&seq_, "default", SND_SEQ_OPEN_INPUT, SND_SEQ_NONBLOCK); }
  ~Sequencer() {
    if (seq_) {
      snd_seq_close(seq_);
    }
  }
  Sequencer(const Sequencer&) = delete;
  Sequencer& operator=(const Sequencer&) = delete;

  bool IsOpen() const { return seq_ != nullptr; }

  // The ports PortMidi makes devices of, in its order: every port but the system client's
  // that others may subscribe to; outputs are those they may write to.
  std::vector<Port> Ports(unsigned int capability) const {
    std::vector<Port> ports;
    snd_seq_client_info_t* client;
    snd_seq_port_info_t* port;
    snd_seq_client_info_alloca(&client);
    snd_seq_port_info_alloca(&port);
    snd_seq_client_info_set_client(client, -1);
    while (snd_seq_query_next_client(seq_, client) == 0) {
      snd_seq_port_info_set_client(port, snd_seq_client_info_get_client(client));
      snd_seq_port_info_set_port(port, -1);
      while (snd_seq_query_next_port(seq_, port) == 0) {
        if (snd_seq_port_info_get_client(port) != SND_SEQ_CLIENT_SYSTEM &&
            (snd_seq_port_info_get_capability(port) & capability) == capability) {
          ports.push_back({snd_seq_port_info_get_client(port), snd_seq_port_info_get_port(port),
                           snd_seq_port_info_get_name(port)});
        }
      }
    }
    return ports;
  }

  // The first port of the client named "Midi Through"; none when there is no such client.
  std::optional<Port> MidiThrough() const {
    snd_seq_client_info_t* client;
    snd_seq_client_info_alloca(&client);
    snd_seq_client_info_set_client(client, -1);
    while (snd_seq_query_next_client(seq_, client) == 0) {
      if (std::string(snd_seq_client_info_get_name(client)) != "Midi Through") {
        continue;
      }
      for (const Port& port : Ports(SND_SEQ_PORT_CAP_SUBS_READ | SND_SEQ_PORT_CAP_SUBS_WRITE)) {
        if (port.client == snd_seq_client_info_get_client(client)) {
          return port;
        }
      }
    }
    return std::nullopt;
  }

  // Receives from now on every event that the port sends to its subscribers. The test's port
  // takes writes but offers no subscription, so PortMidi doesn't list it as a device.
  bool Subscribe(const Port& source) {
    const int own = snd_seq_create_simple_port(seq_, "loopback reader", SND_SEQ_PORT_CAP_WRITE,
                                               SND_SEQ_PORT_TYPE_APPLICATION);
    return own >= 0 && snd_seq_connect_from(seq_, own, source.client, source.port) == 0;
  }

  // Takes the events that have arrived: System Exclusive bytes joined, anything else noted.
  void Drain() {
    snd_seq_event_t* event = nullptr;
    int result;
    while ((result = snd_seq_event_input(seq_, &event)) >= 0 || result == -ENOSPC) {
      if (result == -ENOSPC) {
        overrun = true;
      } else if (event->type == SND_SEQ_EVENT_SYSEX) {
        const auto* data = static_cast<const std::uint8_t*>(event->data.ext.ptr);
        sysex.insert(sysex.end(), data, data + event->data.ext.len);
      } else {
        otherEvents.push_back(event->type);
      }
    }
  }

  Bytes sysex;
  std::vector<int> otherEvents;
  bool overrun = false;

 private:
  snd_seq_t* seq_ = nullptr;
};

std::vector<std::string> Rows(const host::Ref<host::PopupMenu>& menu) {
  std::vector<std::string> rows;
  for (std::int64_t row = 0; row < menu->RowCount(); ++row) {
    rows.push_back(menu->List(row));
  }
  return rows;
}

std::vector<std::string> Names(const std::vector<Port>& ports) {
  std::vector<std::string> names;
  for (const Port& port : ports) {
    names.push_back(port.name);
  }
  return names;
}

// The bytes cut into messages after each 0xF7; an unfinished tail is a message of its own.
std::vector<Bytes> Messages(const Bytes& bytes) {
  std::vector<Bytes> messages(1);
  for (const std::uint8_t byte : bytes) {
    messages.back().push_back(byte);
    if (byte == 0xF7) {
      messages.emplace_back();
    }
  }
  if (messages.back().empty()) {
    messages.pop_back();
  }
  return messages;
}

class RealMidiLoopback : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!sequencer.IsOpen()) {
      GTEST_SKIP() << "this machine has no ALSA sequencer (/dev/snd/seq) to loop the transfer "
                      "through";
    }
    through = sequencer.MidiThrough();
    if (!through) {
      GTEST_SKIP() << "the ALSA sequencer has no \"Midi Through\" port (snd-seq-dummy not loaded)";
    }
    ASSERT_TRUE(sequencer.Subscribe(*through))
        << "could not subscribe to " << through->client << ":" << through->port;
  }

  // SEARCH lists the machine's devices, MIDI OUT chooses Midi Through.
  void ChooseMidiThrough() {
    program.Search();
    EXPECT_EQ(Rows(window.ChooseMidiOut_PopMenu()),
              Names(sequencer.Ports(SND_SEQ_PORT_CAP_SUBS_WRITE)));
    EXPECT_EQ(Rows(window.ChooseMidiIn_PopMenu()),
              Names(sequencer.Ports(SND_SEQ_PORT_CAP_SUBS_READ)));
    const std::vector<std::string> outputs = Rows(window.ChooseMidiOut_PopMenu());
    const auto row = std::find(outputs.begin(), outputs.end(), through->name);
    ASSERT_NE(row, outputs.end()) << "MIDI OUT doesn't list " << through->name;
    program.Pick(window.ChooseMidiOut_PopMenu(), row - outputs.begin());
    ASSERT_TRUE(window.PushButton2()->Enabled());
  }

  // UPDATE sends the loaded file on the real timer; the loop is read while it runs, and what
  // came back is compared with the messages, byte for byte and nothing else.
  void SendAndCompare(const std::vector<Bytes>& messages) {
    sequencer.Drain();
    EXPECT_TRUE(sequencer.sysex.empty()) << "OPEN's test opening sent something";
    const auto ticks = static_cast<std::int64_t>(messages.size());
    const auto start = std::chrono::steady_clock::now();
    program.Update();
    const bool sent = program.RunUntil(
        [&] {
          sequencer.Drain();
          return !program.Modal().messages.empty();
        },
        std::chrono::milliseconds(76 * (ticks + 1)) + 5s);
    const auto took = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(sent) << "the transfer didn't end";
    EXPECT_EQ(program.Modal().messages, std::vector<std::string>{kSuccess});
    EXPECT_GE(took, std::chrono::milliseconds(76 * ticks))
        << ticks << " messages need " << ticks << " ticks of 76 ms";
    // Whatever the transfer might send late has time to arrive.
    test_support::ProcessEventsFor(300ms);
    sequencer.Drain();

    EXPECT_FALSE(sequencer.overrun) << "the test's sequencer client lost events";
    EXPECT_TRUE(sequencer.otherEvents.empty()) << "events other than System Exclusive: "
                                               << ::testing::PrintToString(sequencer.otherEvents);
    const std::vector<Bytes> received = Messages(sequencer.sysex);
    for (std::size_t i = 0; i < std::min(received.size(), messages.size()); ++i) {
      EXPECT_EQ(received[i], messages[i]) << "message " << i;
    }
    EXPECT_EQ(received.size(), messages.size()) << "messages received, of " << messages.size();
  }

  Sequencer sequencer;
  std::optional<Port> through;
  harness::Program& program = harness::Program::Get();
  Window1& window = program.Window();
};

TEST_F(RealMidiLoopback, FirmwareSentToMidiThroughComesBackExactlyAndNothingAfterItsEnd) {
  ChooseMidiThrough();
  // OPEN loads a few dozen messages and leaves the junk after the end message.
  const Bytes file = testfiles::Firmware(36, /*junkAfterEnd=*/1200);
  const std::vector<Bytes> messages = testfiles::MessagesOf(file);
  ASSERT_EQ(messages.size(), 36u);
  program.Open(harness::TemporaryFile(file, "loopback.syx"));
  ASSERT_EQ(window.PushButton2()->Caption(), "LOADED")
      << ::testing::PrintToString(program.Modal().messages);
  EXPECT_EQ(Module1::FirmwareLine, 35);

  SendAndCompare(messages);
}

TEST_F(RealMidiLoopback, CutShortAndEmptyFilesSendNothingAndAFileWithoutEndMessageGoesWhole) {
  ChooseMidiThrough();
  Bytes whole;
  for (std::size_t i = 0; i < 12; ++i) {
    const Bytes message = testfiles::Message(i, 60);
    whole.insert(whole.end(), message.begin(), message.end());
  }
  const Bytes cutShort(whole.begin(), whole.end() - 29);
  for (const Bytes& refused : {cutShort, Bytes{0xF7, 0xF7, 0xF7}}) {
    program.Modal().messages.clear();
    program.Open(harness::TemporaryFile(refused, "refused.syx"));
    ASSERT_EQ(program.Modal().messages.size(), 1u);
    EXPECT_NE(program.Modal().messages[0].find("This file was not loaded"), std::string::npos)
        << program.Modal().messages[0];
    EXPECT_EQ(window.PushButton2()->Caption(), "OPEN");
    EXPECT_FALSE(window.PushButton3()->Enabled());
  }
  // Nothing reached the port: the refused files never got as far as a test opening.
  test_support::ProcessEventsFor(300ms);
  sequencer.Drain();
  EXPECT_TRUE(sequencer.sysex.empty());
  EXPECT_TRUE(sequencer.otherEvents.empty());

  // Without an end message, a file that ends with an 0xF7 is sent whole.
  program.Modal().messages.clear();
  program.Open(harness::TemporaryFile(whole, "no-end-message.syx"));
  ASSERT_EQ(window.PushButton2()->Caption(), "LOADED")
      << ::testing::PrintToString(program.Modal().messages);
  EXPECT_EQ(Module1::FirmwareLine, 11);
  SendAndCompare(Messages(whole));
}

}  // namespace
