# The prompt program under wine, driven from Linux on a console, a pipe, a
# disk file and NUL (tests/windows/invites_wine.py).
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME windows.invites
         COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/windows/invites_wine.py
                 ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:essai_invites>)
set_tests_properties(windows.invites PROPERTIES TIMEOUT 300 FAIL_REGULAR_EXPRESSION "ECHEC")
