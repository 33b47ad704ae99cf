# The client's windows in-process (with the real pictures), and the real program end to end.
file(GLOB client_frame_sources CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_LIST_DIR}/Frame*.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Page*.cpp)
add_executable(client_frame_tests ${client_frame_sources} $<TARGET_OBJECTS:client_resources>)
target_link_libraries(client_frame_tests PRIVATE client_core testsupport gtest)
hm_add_test(client_frame_tests)

# The program under test, as Wine names it (Z: is the Unix root).
# The operator's site is stood in for by the browser tests' small server.
add_executable(client_end_to_end_tests ${CMAKE_CURRENT_LIST_DIR}/EndToEndTests.cpp
  ${PROJECT_SOURCE_DIR}/tests/browser/LocalHttpServer.cpp)
target_include_directories(client_end_to_end_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/browser)
target_link_libraries(client_end_to_end_tests PRIVATE testsupport gtest_main ws2_32)
target_compile_definitions(client_end_to_end_tests PRIVATE
  HM_CLIENT_EXE=L"Z:$<TARGET_FILE:Harrowmere>" HM_HMCTL_EXE=L"Z:$<TARGET_FILE:hmctl>"
  HM_OPERATOR_URL=L"${HM_OPERATOR_URL}")
add_dependencies(client_end_to_end_tests Harrowmere hmctl)
hm_add_test(client_end_to_end_tests)
