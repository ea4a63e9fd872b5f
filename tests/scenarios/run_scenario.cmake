# SPDX-License-Identifier: GPL-3.0-or-later
# Runs one scenario script and compares what it printed with the expected files beside it.
# -DRUNNER=program (or emulator|...|program) -DSCRIPT=path/NAME.scn
# -DACTUAL=where to keep the output for a diff; the runner runs in a new folder beside it,
# NAME.files, where the files it saves are left to look at
# [-DFROM_STDIN=ON: the runner reads the script from standard input]
# [-DLOCALE=de_DE.UTF-8: the runner runs with LANG set to it (runner_locale.cmake)]
# A runner of several words (an emulator before the program) comes joined with "|".
include(${CMAKE_CURRENT_LIST_DIR}/runner_locale.cmake)
string(REPLACE "|" ";" runner "${RUNNER}")
if(LOCALE)
    runner_in_locale(runner ${LOCALE} ${runner})
endif()
string(REGEX REPLACE "\\.actual$" ".files" folder "${ACTUAL}")
file(REMOVE_RECURSE "${folder}")
file(MAKE_DIRECTORY "${folder}")
if(FROM_STDIN)
    execute_process(COMMAND ${runner} - INPUT_FILE ${SCRIPT} WORKING_DIRECTORY "${folder}"
        OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE status)
else()
    execute_process(COMMAND ${runner} ${SCRIPT} WORKING_DIRECTORY "${folder}"
        OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE status)
endif()
string(REGEX REPLACE "\\.scn$" ".out" expected_file "${SCRIPT}")
string(REGEX REPLACE "\\.scn$" ".err" expected_err_file "${SCRIPT}")
file(WRITE "${ACTUAL}" "${output}")

set(failed "")
file(READ "${expected_file}" expected)
if(NOT output STREQUAL expected)
    execute_process(COMMAND diff -u "${expected_file}" "${ACTUAL}")
    string(APPEND failed " output differs from ${expected_file};")
endif()
if(EXISTS "${expected_err_file}")
    file(READ "${expected_err_file}" expected_err)
    if(NOT errors STREQUAL expected_err)
        string(APPEND failed " error output is [${errors}], expected [${expected_err}];")
    endif()
    if(NOT status EQUAL 2)
        string(APPEND failed " exit status ${status}, expected 2;")
    endif()
elseif(NOT status EQUAL 0)
    string(APPEND failed " exit status ${status}: ${errors};")
endif()
if(failed)
    message(FATAL_ERROR "${failed}")
endif()
