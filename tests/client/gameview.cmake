# The game view's parts: cache clearing, title bar and tools menu, boss key and tray.
file(GLOB gameview_test_sources CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_LIST_DIR}/GameView*.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Cache*.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TitleBar*.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BossKey*.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Tray*.cpp)
add_executable(client_gameview_tests ${gameview_test_sources})
target_link_libraries(client_gameview_tests PRIVATE client_core client_resources testsupport gui_test_main wininet)
hm_add_test(client_gameview_tests)
