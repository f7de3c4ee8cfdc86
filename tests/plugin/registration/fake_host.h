// A scriptable host for the plugin's entry and helpers: entries can be removed or made to
// throw, every string and object it hands out is tracked so that leaks show.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "real_plugin_abi.h"

struct FakeString {
  std::string bytes;
  std::uint32_t encoding = 0;
  int refs = 1;
};

struct FakeObject {
  std::string className;
  std::string message;
  bool messageSet = false;
  std::int64_t errorNumber = -1;
  int refs = 1;
};

class FakeHost {
 public:
  // The newest FakeHost is the one the resolvers answer for.
  FakeHost();
  ~FakeHost();
  FakeHost(const FakeHost&) = delete;
  FakeHost& operator=(const FakeHost&) = delete;

  // Two resolvers answering for the current host, so a test can hand the plugin a new one.
  static REALpluginResolver Resolver();
  static REALpluginResolver OtherResolver();

  void Remove(const std::string& entry) { entries.erase(entry); }
  // The next calls of the entry run the action first (which may throw).
  void FailOn(const std::string& entry, std::function<void()> action) {
    failures[entry] = std::move(action);
  }
  // Only the next call of the entry runs the action.
  void FailOnce(const std::string& entry, std::function<void()> action) {
    auto left = std::make_shared<int>(1);
    failures[entry] = [left, action] {
      if ((*left)-- > 0)
        action();
    };
  }
  int Calls(const std::string& entry) const;

  int LiveStrings() const;
  int LiveObjects() const;
  FakeString* AsString(REALstring handle) { return reinterpret_cast<FakeString*>(handle); }

  double version = 2021.031;
  std::map<std::string, void*> entries;
  std::set<std::string> knownClasses = {"RuntimeException", "NilObjectException",
                                        "OutOfBoundsException", "OutOfMemoryException"};
  std::vector<std::unique_ptr<FakeString>> strings;
  std::vector<std::unique_ptr<FakeObject>> objects;
  std::vector<FakeObject*> raised;
  std::vector<REALclassDefinition*> registered;
  std::vector<std::int32_t> declaredVersions;
  std::map<std::string, std::function<void()>> failures;
  std::map<std::string, int> calls;

  // Internal to the fake entries.
  static FakeHost& Current();
  void Enter(const std::string& entry);
  REALstring NewString(const void* bytes, std::int32_t length, std::uint32_t encoding);

 private:
  FakeHost* previous_;
};
