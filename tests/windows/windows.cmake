# The prompt program under wine, driven from Linux on a console, a pipe, a
# disk file and NUL (tests/windows/invites_wine.py): one test per case.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(script ${CMAKE_CURRENT_SOURCE_DIR}/windows/invites_wine.py)
execute_process(COMMAND ${Python3_EXECUTABLE} ${script} --liste OUTPUT_VARIABLE cas_wine
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${script})
foreach(cas IN LISTS cas_wine)
  add_test(NAME windows.invites.${cas}
           COMMAND Python3::Interpreter ${script} ${CMAKE_CROSSCOMPILING_EMULATOR}
                   $<TARGET_FILE:essai_invites> ${cas})
  set_tests_properties(windows.invites.${cas} PROPERTIES TIMEOUT 120)
endforeach()
