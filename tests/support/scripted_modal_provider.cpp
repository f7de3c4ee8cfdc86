#include "scripted_modal_provider.h"

#include <memory>

namespace test_support {

std::optional<std::string> ScriptedModalProvider::ChooseOpenFile(
    const std::vector<host::FileTypeInfo>& types) {
  dialogs_.push_back(types);
  if (answers_.empty())
    return std::nullopt;
  std::optional<std::string> answer = std::move(answers_.front());
  answers_.pop_front();
  return answer;
}

ScopedScriptedModal::ScopedScriptedModal() : provider_(std::make_shared<ScriptedModalProvider>()) {
  host::SetModalProvider(provider_);
}

ScopedScriptedModal::~ScopedScriptedModal() {
  host::SetModalProvider(nullptr);
}

}  // namespace test_support
