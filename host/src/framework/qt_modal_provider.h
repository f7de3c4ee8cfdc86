// The program's modal provider: the toolkit's message box and file dialog. On a platform
// without a screen (offscreen, minimal) messages go to standard error and file dialogs
// answer "cancelled", since no user could answer them.
#pragma once

#include "host/modal.h"

namespace host {

class QtModalProvider : public ModalProvider {
 public:
  void ShowMessage(const std::string& text) override;
  std::optional<std::string> ChooseOpenFile(const std::vector<FileTypeInfo>& types) override;
};

}  // namespace host
