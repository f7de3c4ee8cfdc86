// The program ending while a transfer runs: the user closes the window between two ticks.
#include <gtest/gtest.h>

#include "Module1.h"
#include "Startup.h"
#include "fake_portmidi.h"
#include "program_harness.h"

namespace {

TEST(ProgramEnd, ClosingTheWindowMidTransferClosesTheOutputBeforeTheProcessExits) {
  harness::Program& program = harness::Program::Get();
  Window1& window = program.Window();
  program.LoadFirmware(testfiles::Firmware(5, 0));
  // Only the test's own call ticks.
  window.Timer1()->SetPeriod(3600000);
  program.Update();
  window.Timer1_Action(*window.Timer1());
  ASSERT_TRUE(fake_portmidi::OpenStreamOn(harness::kSecondOutput).has_value());
  const int closesBefore = fake_portmidi::CloseCount();

  window.Close();
  ShutDown();

  EXPECT_FALSE(Module1::MIDIOutput);
  EXPECT_FALSE(Module1::MIDIPort);
  EXPECT_FALSE(fake_portmidi::OpenStreamOn(harness::kSecondOutput).has_value())
      << "left open, the stream would be closed during exit, after the plugin's state";
  EXPECT_EQ(fake_portmidi::CloseCount(), closesBefore + 1);
}

}  // namespace
