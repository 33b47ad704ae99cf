# The item lists, popup menus, shadow and tooltip.
file(GLOB list_test_sources CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/List*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Menu*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Shadow*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Tip*.cpp)
add_executable(controls_list_tests ${list_test_sources})
target_link_libraries(controls_list_tests PRIVATE controls testsupport gui_test_main)
hm_add_test(controls_list_tests)
