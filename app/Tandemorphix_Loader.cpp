#include "Tandemorphix_Loader.h"

#include "AppClasses.h"

const host::ClassDescription& Tandemorphix_Loader::Class() {
  static const host::ClassDescription& described =
      DescribeAppClass("Tandemorphix_Loader", &host::Application::Class());
  return described;
}

Tandemorphix_Loader::Tandemorphix_Loader(const host::ClassDescription& cls)
    : host::Application(cls) {}

void Tandemorphix_Loader::NewAppInstance() {
  auto app = host::New<Tandemorphix_Loader>();
  app->Constructor();
  // Version 1.0.0: no non-release number, stage code 0, and no version texts.
  app->_x_SetVersionData(1, 0, 0, 0, 0, "", "", "");
  host::RuntimeRegisterAppObject(app);
}
