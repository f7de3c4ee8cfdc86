// WriteSysEx with a host string, on hosts that lack some of the string entries: the string's
// references must come out as they went in, and nothing is sent that the host did not give.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fake_portmidi.h"
#include "members.h"
#include "plugin_fixture.h"

namespace {

constexpr std::uint64_t kInstanceDataOffset = 48;

void LockString(REALstring string) {
  FakeHost::Current().Enter("REALLockString");
  ++FakeHost::Current().AsString(string)->refs;
}

const char* StringBytes(REALstring string) {
  return FakeHost::Current().AsString(string)->bytes.c_str();
}

std::int64_t ByteLength(REALstring string) {
  return static_cast<std::int64_t>(FakeHost::Current().AsString(string)->bytes.size());
}

void* LoadGlobalMethod(const char*, const char* declaration) {
  return std::strcmp(declaration, "LenB( s as string ) as integer") == 0
             ? reinterpret_cast<void*>(&ByteLength)
             : nullptr;
}

class SysExStringOnAFakeHost : public PluginWithFakeHost {
 protected:
  void SetUp() override {
    PluginWithFakeHost::SetUp();
    host.entries["StringGetCString"] = reinterpret_cast<void*>(&StringBytes);
    host.entries["REALLoadGlobalMethod"] = reinterpret_cast<void*>(&LoadGlobalMethod);
    fake_portmidi::Reset();
    fake_portmidi::SetDevices({{"CoreMIDI", "Out", false, true}});
    ASSERT_EQ(rbPm_CountDevices(), 1);
    PMStreamClass.instanceDataOffset = kInstanceDataOffset;
    StreamConstructor(Stream());
    ASSERT_EQ(rbPm_OpenOutput(Stream(), 0, 0, 0), 0);
  }
  void TearDown() override {
    StreamDestructor(Stream());
    PluginWithFakeHost::TearDown();
  }

  REALobject Stream() { return reinterpret_cast<REALobject>(object_); }
  REALstring Message(const std::string& bytes) {
    return host.NewString(bytes.data(), static_cast<std::int32_t>(bytes.size()), 0xFFFF);
  }

 private:
  alignas(16) unsigned char object_[kInstanceDataOffset + 32] = {};
};

TEST_F(SysExStringOnAFakeHost, WithoutTheLockEntryTheStringIsNotUnlockedEither) {
  REALstring message = Message(std::string("\xF0\x01\xF7", 3));
  EXPECT_EQ(rbPm_WriteSysEx(Stream(), 0, message), 0);
  EXPECT_EQ(host.AsString(message)->refs, 1);
  EXPECT_EQ(host.Calls("REALUnlockString"), 0);
  EXPECT_EQ(fake_portmidi::Written(0).size(), 3u);
}

TEST_F(SysExStringOnAFakeHost, ALockedStringIsUnlockedOnEveryWayOut) {
  host.entries["REALLockString"] = reinterpret_cast<void*>(&LockString);
  REALstring complete = Message(std::string("\xF0\x01\xF7", 3));
  REALstring unfinished = Message(std::string("\xF0\x01", 2));
  EXPECT_EQ(rbPm_WriteSysEx(Stream(), 0, complete), 0);
  EXPECT_EQ(rbPm_WriteSysEx(Stream(), 0, unfinished), -9994);
  EXPECT_EQ(host.AsString(complete)->refs, 1);
  EXPECT_EQ(host.AsString(unfinished)->refs, 1);
  EXPECT_EQ(host.Calls("REALLockString"), 2);
  EXPECT_EQ(host.Calls("REALUnlockString"), 2);
}

TEST_F(SysExStringOnAFakeHost, WithoutTheByteLengthNothingIsSentAndTheStringIsGivenBack) {
  host.entries["REALLockString"] = reinterpret_cast<void*>(&LockString);
  host.Remove("REALLoadGlobalMethod");
  REALstring message = Message(std::string("\xF0\x01\xF7", 3));
  EXPECT_EQ(rbPm_WriteSysEx(Stream(), 0, message), -1);
  EXPECT_EQ(host.AsString(message)->refs, 1);
  EXPECT_TRUE(fake_portmidi::Written(0).empty());
}

}  // namespace
