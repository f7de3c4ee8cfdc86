// The first step end to end: the initial state, SEARCH and the choice of an output.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Module1.h"
#include "program_harness.h"

namespace {

std::vector<std::string> Rows(const host::Ref<host::PopupMenu>& menu) {
  std::vector<std::string> rows;
  for (std::int64_t row = 0; row < menu->RowCount(); ++row) {
    rows.push_back(menu->List(row));
  }
  return rows;
}

class PortSearch : public ::testing::Test {
 protected:
  harness::Program& program = harness::Program::Get();
  Window1& window = program.Window();
};

// Runs first in this program: nothing has been pressed yet.
TEST_F(PortSearch, WindowOpensWithOnlySearchAvailable) {
  EXPECT_TRUE(window.PushButton1()->Enabled());
  EXPECT_FALSE(window.ChooseMidiIn_PopMenu()->Enabled());
  EXPECT_FALSE(window.ChooseMidiOut_PopMenu()->Enabled());
  EXPECT_FALSE(window.PushButton2()->Enabled());
  EXPECT_FALSE(window.PushButton3()->Enabled());
  EXPECT_FALSE(window.PushButton4()->Enabled());
  EXPECT_FALSE(window.Timer1()->Enabled());
  EXPECT_EQ(window.ProgressBar1()->Maximum(), 100);
  EXPECT_EQ(window.ProgressBar1()->Value(), 0);
  EXPECT_FALSE(window.Label16()->Visible());
  // A disabled menu can't be picked from.
  program.Pick(window.ChooseMidiOut_PopMenu(), 0);
  EXPECT_EQ(Module1::MidiOutID, 0);
  EXPECT_FALSE(window.PushButton2()->Enabled());
}

TEST_F(PortSearch, SearchListsInputsAndOutputsWithTheirDevices) {
  program.Search();

  EXPECT_EQ(Rows(window.ChooseMidiIn_PopMenu()),
            (std::vector<std::string>{"Port In A", "Port In B"}));
  EXPECT_EQ(Rows(window.ChooseMidiOut_PopMenu()),
            (std::vector<std::string>{"Port Out A", "Port Out B"}));
  EXPECT_EQ(Module1::MidiInCnt->Get(0), 0);
  EXPECT_EQ(Module1::MidiInCnt->Get(1), 1);
  EXPECT_EQ(Module1::MidiOutCnt->Get(0), 2);
  EXPECT_EQ(Module1::MidiOutCnt->Get(1), 3);
  EXPECT_EQ(window.ChooseMidiOut_PopMenu()->ListIndex(), -1);
  EXPECT_TRUE(window.ChooseMidiIn_PopMenu()->Enabled());
  EXPECT_TRUE(window.ChooseMidiOut_PopMenu()->Enabled());
  EXPECT_FALSE(window.PushButton2()->Enabled());
  EXPECT_EQ(window.PushButton2()->Caption(), "OPEN");
  EXPECT_FALSE(window.PushButton3()->Enabled());
}

TEST_F(PortSearch, ChoosingAnOutputLocksTheMenuAndEnablesOpen) {
  program.Search();
  program.Pick(window.ChooseMidiOut_PopMenu(), 1);

  EXPECT_EQ(Module1::MidiOutID, harness::kSecondOutput);
  EXPECT_FALSE(window.ChooseMidiOut_PopMenu()->Enabled());
  EXPECT_TRUE(window.PushButton2()->Enabled());
  EXPECT_EQ(window.PushButton2()->Caption(), "OPEN");

  program.Pick(window.ChooseMidiOut_PopMenu(), 0);
  EXPECT_EQ(Module1::MidiOutID, harness::kSecondOutput) << "a locked menu takes no choice";
}

TEST_F(PortSearch, InputChoiceIsStoredAndChangesNothingElse) {
  program.Search();
  window.ChooseMidiIn_PopMenu()->SetListIndex(1);
  EXPECT_EQ(Module1::MidiInID, 1);
  EXPECT_FALSE(window.ChooseMidiIn_PopMenu()->Enabled());
  EXPECT_FALSE(window.PushButton2()->Enabled());
}

TEST_F(PortSearch, ChangeWithoutARowKeepsEverything) {
  program.Search();
  program.Pick(window.ChooseMidiOut_PopMenu(), 1);
  program.Search();  // empties the menus: no row selected
  window.ChooseMidiOut_PopMenu_Change(*window.ChooseMidiOut_PopMenu());
  window.ChooseMidiIn_PopMenu_Change(*window.ChooseMidiIn_PopMenu());

  EXPECT_EQ(Module1::MidiOutID, harness::kSecondOutput);
  EXPECT_TRUE(window.ChooseMidiOut_PopMenu()->Enabled());
  EXPECT_TRUE(window.ChooseMidiIn_PopMenu()->Enabled());
  EXPECT_FALSE(window.PushButton2()->Enabled());
}

TEST_F(PortSearch, SearchAgainUndoesLoaded) {
  program.LoadFirmware(testfiles::Firmware(2, 0));
  ASSERT_EQ(window.PushButton2()->Caption(), "LOADED");

  program.Search();

  EXPECT_EQ(Rows(window.ChooseMidiOut_PopMenu()).size(), 2u);
  EXPECT_EQ(window.PushButton2()->Caption(), "OPEN");
  EXPECT_FALSE(window.PushButton2()->Enabled());
  EXPECT_FALSE(window.PushButton3()->Enabled());
}

}  // namespace
