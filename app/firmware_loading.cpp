// OPEN: choose a .syx file, split it into the firmware store, then open the chosen output
// once to see that the transfer will be able to.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

// The accepted part of a file, and the verdict on it.
struct ReadFirmware {
  std::vector<std::uint8_t> bytes;
  firmware::SplitPlan plan;
};

// Reads the file a byte at a time until the splitter has seen enough: the end message, the
// end of the file, or a byte that breaks the store's limits. Raises the file services' errors.
ReadFirmware ReadFirmwareFile(const host::Ref<host::FolderItem>& file) {
  const host::Ref<host::BinaryStream> stream = host::BinaryStream::Open(file, false);
  stream->SetLittleEndian(true);
  ReadFirmware read;
  // A file the store can hold is at most one byte longer than a full store when refused.
  constexpr std::uint64_t kMostBytesKept = firmware::kRowCount * firmware::kRowBytes + 1;
  read.bytes.reserve(std::min(stream->Length(), kMostBytesKept));
  firmware::FirmwareSplitter splitter;
  for (std::int64_t index = 0; static_cast<std::int64_t>(stream->Length()) - 1 >= index; ++index) {
    const std::uint8_t byte = stream->ReadUInt8();
    if (stream->EndOfFile()) {
      host::Raise("IOException", "the file ended before its " + std::to_string(stream->Length()) +
                                     " bytes were read");
    }
    read.bytes.push_back(byte);
    if (!splitter.Take(byte)) {
      break;
    }
    host::RuntimeBackgroundTask();
  }
  stream->Close();
  read.plan = splitter.Plan();
  return read;
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

  std::optional<ReadFirmware> read;
  try {
    read = ReadFirmwareFile(file);
  } catch (const host::RaisedException& error) {
    host::MsgBox("This file could not be read (" + error.Exception()->message +
                 "). The firmware loaded before is kept.");
    return;
  }
  if (read->plan.verdict != firmware::SplitVerdict::kFits) {
    host::MsgBox(firmware::DescribeRefusal(read->plan));
    return;
  }
  firmware::StoreFirmwareSplit(read->bytes, read->plan, ModuleStore());

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
