#include "AppClasses.h"

host::ClassDescription& DescribeAppClass(std::string name, const host::ClassDescription* super,
                                         std::function<void(host::Object&)> constructor,
                                         std::function<void(host::Object&)> destructor) {
  auto* description = new host::ClassDescription;
  description->name = std::move(name);
  description->super = super;
  description->constructor = std::move(constructor);
  description->destructor = std::move(destructor);
  host::DescribeClass(*description);
  return *description;
}
