target_sources(host_core PRIVATE
  src/core/object.cpp
  src/core/string.cpp
  src/core/exception.cpp
  src/core/memory_block.cpp
  src/core/resolver.cpp
  src/core/plugin_registry.cpp
  src/core/plugin_loader.cpp
  src/core/plugin_binding.cpp
)
