// The program's modal provider: the toolkit's message box and file dialog. On a platform
// without a screen (offscreen, minimal) messages go to standard error and file dialogs
// answer "cancelled", since no user could answer them.
#pragma once

#include <string>

#include "host/modal.h"

namespace host {

// The file dialog's filter for one type: its name followed by its patterns in parentheses,
// "Syx File (*.syx)". A name that already ends with those patterns is taken as it is, so the
// user doesn't read them twice.
std::string DialogFilter(const FileTypeInfo& type);

class QtModalProvider : public ModalProvider {
 public:
  void ShowMessage(const std::string& text) override;
  std::optional<std::string> ChooseOpenFile(const std::vector<FileTypeInfo>& types) override;
};

}  // namespace host
