#include "PropertyParam.h"

#include "host/plugin_binding.h"

PropertyParam::PropertyParam(std::string_view className, std::string_view propertyName, int getter,
                             Source source)
    : className_(className), propertyName_(propertyName), getter_(getter), source_(source) {}

PropertyParam::Source PropertyParam::DefaultSource() {
  return &host::GetPluginPropertyParam;
}

std::intptr_t PropertyParam::Get() {
  if (!requested_) {
    value_ = source_(className_, propertyName_, getter_);
    requested_ = true;
  }
  return value_;
}
