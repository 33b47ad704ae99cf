# How the test programs and benchmarks name the build's own programs at run time.
#
# Cross-compiled for Wine on a Unix host, a build path such as /work/build/x64/foo.exe is reached
# through Wine's drive Z: (the Unix root); built on Windows, the path is already the programs' own.
# The programs turn the separators into backslashes with testing_support::WindowsPath.
if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX)
  set(HM_RUNTIME_DRIVE "Z:")
else()
  set(HM_RUNTIME_DRIVE "")
endif()

# hm_program_paths(<consumer> <MACRO> <target> [<MACRO> <target>]...)
# Defines each MACRO in consumer as a wide string literal naming target's file as consumer sees
# it at run time, and builds target before consumer. Targets that do not exist are left out, and
# so is their MACRO.
function(hm_program_paths consumer)
  set(pairs ${ARGN})
  list(LENGTH pairs count)
  math(EXPR odd "${count} % 2")
  if(odd)
    message(FATAL_ERROR "hm_program_paths: MACRO and target come in pairs")
  endif()
  while(pairs)
    list(POP_FRONT pairs macro target)
    if(TARGET ${target})
      target_compile_definitions(${consumer} PRIVATE
        "${macro}=L\"${HM_RUNTIME_DRIVE}$<TARGET_FILE:${target}>\"")
      add_dependencies(${consumer} ${target})
    endif()
  endwhile()
endfunction()
