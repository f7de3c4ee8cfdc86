// SEARCH over more devices of one direction than a menu's table can hold.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Module1.h"
#include "program_harness.h"

namespace {

TEST(PortSearchLimit, MenusStopAt101RowsEachWithTheirTableEntries) {
  std::vector<fake_portmidi::Device> devices;
  for (int i = 0; i < 103; ++i) {
    devices.push_back({"CoreMIDI", "Out " + std::to_string(i), false, true});
  }
  devices.push_back({"CoreMIDI", "In after the outputs", true, false});
  harness::UseDevices(devices);
  harness::Program& program = harness::Program::Get();
  Window1& window = program.Window();

  program.Search();

  const auto outputs = window.ChooseMidiOut_PopMenu();
  ASSERT_EQ(outputs->RowCount(), 101);
  EXPECT_EQ(outputs->List(100), "Out 100");
  EXPECT_EQ(Module1::MidiOutCnt->Get(100), 100);
  // The walk goes on past the full menu: a later input still gets its row.
  ASSERT_EQ(window.ChooseMidiIn_PopMenu()->RowCount(), 1);
  EXPECT_EQ(Module1::MidiInCnt->Get(0), 103);
}

}  // namespace
