// The application object: the framework's classic application with the program's version.
#pragma once

#include "host/object.h"
#include "host/runtime.h"

class Tandemorphix_Loader : public host::Application {
 public:
  static const host::ClassDescription& Class();
  explicit Tandemorphix_Loader(const host::ClassDescription& cls = Class());

  // Creates the application object with its version data and registers it with the
  // framework, which keeps it for the life of the process.
  static void NewAppInstance();
};
