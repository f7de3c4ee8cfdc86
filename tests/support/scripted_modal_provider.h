// A modal provider for tests: answers open-file dialogs from a queue and records every
// message box instead of showing it.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "host/modal.h"

namespace test_support {

class ScriptedModalProvider : public host::ModalProvider {
 public:
  // The next open-file dialog chooses this path.
  void QueueFile(std::string path) { answers_.push_back(std::move(path)); }
  // The next open-file dialog is cancelled (as is every one without a queued answer).
  void QueueCancel() { answers_.push_back(std::nullopt); }

  void ShowMessage(const std::string& text) override { messages_.push_back(text); }
  std::optional<std::string> ChooseOpenFile(const std::vector<host::FileTypeInfo>& types) override;

  // Every message shown, oldest first.
  const std::vector<std::string>& Messages() const { return messages_; }
  // The file types each dialog offered, one entry per dialog shown.
  const std::vector<std::vector<host::FileTypeInfo>>& Dialogs() const { return dialogs_; }

 private:
  std::deque<std::optional<std::string>> answers_;
  std::vector<std::string> messages_;
  std::vector<std::vector<host::FileTypeInfo>> dialogs_;
};

// Installs a fresh scripted provider for the life of the object, then restores the
// toolkit's dialogs.
class ScopedScriptedModal {
 public:
  ScopedScriptedModal();
  ~ScopedScriptedModal();
  ScriptedModalProvider& operator*() const { return *provider_; }
  ScriptedModalProvider* operator->() const { return provider_.get(); }

 private:
  std::shared_ptr<ScriptedModalProvider> provider_;
};

}  // namespace test_support
