// OPEN: choose a .syx file, split it into the firmware store, then open the chosen output
// once to see that the transfer will be able to.
#include <cstdint>
#include <span>
#include <string>

#include "FirmwareSplit.h"
#include "Module1.h"
#include "PluginBindings.h"
#include "Window1.h"
#include "host/binary_stream.h"
#include "host/exception.h"
#include "host/modal.h"
#include "host/runtime.h"
#include "host/text.h"

namespace {

// Hands the stream over a block at a time. A file that ends before the length it had when
// opened was cut short while being read, and is refused.
firmware::ReadBlock BlocksOf(const host::Ref<host::BinaryStream>& stream) {
  return [stream] {
    const std::span<const std::uint8_t> block = stream->ReadBlock();
    if (block.empty() && stream->Position() < stream->Length()) {
      host::Raise("IOException", "the file ended before its " + std::to_string(stream->Length()) +
                                     " bytes were read");
    }
    return block;
  };
}

// Module1's store as the split writes it. The table keeps its rows one after another.
firmware::FirmwareStore ModuleStore() {
  host::ByteArray2D& buffer = *Module1::FirmwareBuffer;
  const std::int64_t lastRow = buffer.UBound(1);
  const std::span<std::uint8_t> first = buffer.Row(0);
  if (lastRow + 1 != firmware::kRowCount || std::ssize(first) != firmware::kRowBytes ||
      buffer.Row(lastRow).data() != first.data() + lastRow * firmware::kRowBytes) {
    host::Raise("RuntimeException", "the firmware store does not have its declared shape");
  }
  return {std::span<std::uint8_t>(first.data(), firmware::kRowCount * firmware::kRowBytes),
          Module1::FirmwareRow->Entries(), &Module1::FirmwareLine};
}

}  // namespace

void Window1::PushButton2_Action(host::PushButton&) {
  const host::Ref<host::OpenDialog> dialog = host::New<host::OpenDialog>();
  dialog->Constructor();
  const host::Ref<host::FileType> syxType = host::New<host::FileType>();

  if (ChooseMidiOut_PopMenu()->ListIndex() < 0) {
    host::MsgBox("Select MIDI IN and OUT !!!");
    return;
  }
  // The timer runs only during a transfer, and the transfer reads the store on every tick.
  if (Timer1()->Enabled()) {
    host::MsgBox(
        "A firmware transfer is running, so no file was loaded. The firmware being sent is "
        "kept; press CANCEL, then OPEN again.");
    return;
  }

  syxType->SetName("Syx File (*.syx)");
  syxType->SetMacType("SYX");
  syxType->SetExtensions("syx");
  dialog->SetFilter(syxType->Operator_Convert());

  const host::Ref<host::FolderItem> file = dialog->ShowModal();
  if (!file || !file->Exists()) {
    return;
  }

  host::Ref<host::BinaryStream> stream;
  firmware::SplitPlan plan;
  try {
    stream = host::BinaryStream::Open(file, false);
    stream->SetLittleEndian(true);
    plan = firmware::PlanFirmwareFile(BlocksOf(stream), host::RuntimeBackgroundTask);
  } catch (const host::RaisedException& error) {
    host::MsgBox("This file could not be read (" + error.Exception()->message +
                 "). The firmware loaded before is kept.");
    return;
  }
  if (plan.verdict != firmware::SplitVerdict::kFits) {
    host::MsgBox(firmware::DescribeRefusal(plan));
    return;
  }
  // The second pass overwrites the firmware loaded before: from here on, a failure leaves
  // nothing that could be sent.
  const firmware::FirmwareStore store = ModuleStore();
  std::string failure;
  try {
    stream->SetPosition(0);
    if (!firmware::StoreFirmwareFile(BlocksOf(stream), plan, store, host::RuntimeBackgroundTask) ||
        stream->ChangedSinceOpen()) {
      failure = "changed while it was read";
    }
  } catch (const host::RaisedException& error) {
    failure = "could not be read a second time (" + error.Exception()->message + ")";
  }
  stream->Close();
  if (!failure.empty()) {
    Module1::FirmwareLine = -1;
    PushButton3()->SetEnabled(false);
    host::MsgBox("This file " + failure +
                 ", so no firmware is loaded now. Please OPEN the file again.");
    return;
  }

  const host::Ref<host::Object> testStream = host::RuntimeNewObject(PortMidiStreamQRX::Class());
  const std::int64_t result = PortMidiStreamQRX::OpenOutput(
      testStream, Module1::MidiOutID, Module1::kOutputBufferSize, Module1::kOutputLatency);
  if (result == 0) {
    PushButton2()->SetEnabled(false);
    PushButton3()->SetEnabled(true);
    PushButton2()->SetCaption("LOADED");
  } else {
    host::MsgBox("OpenOutput returns " + host::Str(result));
  }
}
