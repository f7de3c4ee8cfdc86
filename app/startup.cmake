target_sources(app_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/AppClasses.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LayoutStreamWriter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Module1.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PluginBindings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PropertyParam.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Startup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Tandemorphix_Loader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Window1.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Window1CreateControls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Window1Layout.cpp
)
