// The third step of the window: UPDATE starts the timer, each tick sends one message of the
// firmware store to the output chosen when UPDATE was pressed, CANCEL stops the transfer at
// the next tick.
#include <algorithm>
#include <cstdint>
#include <string>

#include "Module1.h"
#include "PluginBindings.h"
#include "Window1.h"
#include "host/memory_block.h"
#include "host/modal.h"
#include "host/runtime.h"
#include "host/text.h"

namespace {

constexpr std::int64_t kMessageBlockSize = 200;
constexpr std::int64_t kLabelCap = 100;

// The bar's value for the message at the cursor: 0 for the first message, 101 for the last
// of two or more; a single message shows 0.
std::int64_t ProgressFor(std::int64_t cursor, std::int64_t lastMessage) {
  if (lastMessage == 0) {
    return cursor;
  }
  return cursor * 101 / lastMessage;
}

// The message at the cursor in a block of its own; WriteSysEx stops at its 0xF7.
host::Ref<host::String> MessageAt(std::int64_t cursor) {
  const host::Ref<host::MemoryBlock> block = host::MemoryBlock::Make(kMessageBlockSize);
  for (std::int64_t j = 0; j <= Module1::FirmwareRow->Get(cursor); ++j) {
    block->SetByte(j, Module1::FirmwareBuffer->Get(cursor, j));
    host::RuntimeBackgroundTask();
  }
  return block->ToString();
}

std::string FailureText(const char* call, std::int64_t result, std::int64_t cursor) {
  return "The transfer stopped: " + std::string(call) + " returns " + host::Str(result) +
         " for message " + host::Str(cursor + 1) + " of " + host::Str(Module1::FirmwareLine + 1) +
         ". The firmware stays loaded; press UPDATE to send it again from the start.";
}

std::string OutputChangedText(std::int64_t sent) {
  return "The MIDI output was changed during the transfer, so the transfer stopped: " +
         host::Str(sent) + " of " + host::Str(Module1::FirmwareLine + 1) +
         " messages went to the output chosen before, and nothing was sent to the new one. The "
         "firmware stays loaded; press UPDATE to send it again from the start.";
}

// Stops the ticks and releases the stream, so that the output is closed for OPEN's test and
// for the next transfer.
void EndTransfer(Window1& window) {
  window.Timer1()->SetEnabled(false);
  Module1::MIDIOutput = nullptr;
}

void ReturnToIdle(Window1& window) {
  window.MidiOutCnt = 0;
  window.PushButton3()->SetEnabled(true);
  window.PushButton4()->SetEnabled(false);
  window.ProgressBar1()->SetValue(0);
  window.Label16()->SetVisible(false);
  Module1::Cancel = 0;
}

// The box comes while the transfer is stopping: the bar and the label still show its place.
void EndTransferWithBox(Window1& window, const std::string& text) {
  EndTransfer(window);
  host::MsgBox(text);
  ReturnToIdle(window);
}

}  // namespace

void Window1::PushButton3_Action(host::PushButton&) {
  TransferOutID = Module1::MidiOutID;
  MidiOutCnt = 0;
  Module1::Cancel = 0;
  Timer1()->SetEnabled(true);
  PushButton3()->SetEnabled(false);
  PushButton4()->SetEnabled(true);
  ProgressBar1()->SetValue(0);
  Label16()->SetVisible(true);
}

void Window1::PushButton4_Action(host::PushButton&) {
  Module1::Cancel = 1;
}

void Window1::Timer1_Action(host::Timer&) {
  // Storing the new stream releases the previous tick's, which closes the output before it
  // is opened again. A firmware goes to one device: the output is the transfer's own, never
  // one chosen while it runs.
  Module1::MIDIOutput = host::RuntimeNewObject(PortMidiStreamQRX::Class());
  const std::int64_t opened = PortMidiStreamQRX::OpenOutput(
      Module1::MIDIOutput, TransferOutID, Module1::kOutputBufferSize, Module1::kOutputLatency);

  if (Module1::Cancel == 1) {
    EndTransfer(*this);
    ReturnToIdle(*this);
    return;
  }
  if (Module1::MidiOutID != TransferOutID) {
    EndTransferWithBox(*this, OutputChangedText(MidiOutCnt));
    return;
  }
  if (MidiOutCnt > Module1::FirmwareLine) {
    EndTransferWithBox(*this, "The firmware has been successfully sent.");
    return;
  }
  if (opened != 0) {
    EndTransferWithBox(*this, FailureText("OpenOutput", opened, MidiOutCnt));
    return;
  }

  const std::int64_t progress = ProgressFor(MidiOutCnt, Module1::FirmwareLine);
  ProgressBar1()->SetValue(static_cast<double>(progress));
  Label16()->SetText(host::Str(std::min(progress, kLabelCap)) + " %");
  // An empty message, a lone 0xF7, carries nothing; MIDI has no way to send it.
  const bool empty = Module1::FirmwareRow->Get(MidiOutCnt) == 0;
  const std::int64_t written =
      empty ? 0 : PortMidiStreamQRX::WriteSysEx(Module1::MIDIOutput, 0, MessageAt(MidiOutCnt));
  if (written != 0) {
    EndTransferWithBox(*this, FailureText("WriteSysEx", written, MidiOutCnt));
    return;
  }
  MidiOutCnt = MidiOutCnt + 1;
}
