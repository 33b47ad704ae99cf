# The PNG loader, surfaces, buttons, statics, the painter and the image window.
set(IMG "${CMAKE_CURRENT_SOURCE_DIR}/images")
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/PainterTestImages.rc.in
               ${CMAKE_CURRENT_BINARY_DIR}/PainterTestImages.rc @ONLY)
file(GLOB painter_test_sources CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/Png*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Painter*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ImageCtrl*.cpp)
add_executable(controls_tests ${painter_test_sources}
               ${CMAKE_CURRENT_BINARY_DIR}/PainterTestImages.rc)
target_link_libraries(controls_tests PRIVATE controls testsupport gui_test_main)
hm_add_test(controls_tests)
