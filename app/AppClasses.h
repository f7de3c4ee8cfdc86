// Describes one of the program's classes to the framework. The description lives for the
// rest of the process, as the framework keeps pointers to it.
#pragma once

#include <functional>
#include <string>

#include "host/object.h"

host::ClassDescription& DescribeAppClass(std::string name,
                                         const host::ClassDescription* super = nullptr,
                                         std::function<void(host::Object&)> constructor = {},
                                         std::function<void(host::Object&)> destructor = {});
