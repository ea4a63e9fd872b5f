# SPDX-License-Identifier: GPL-3.0-or-later
# runner_in_locale(VARIABLE LOCALE RUNNER...): sets VARIABLE to the command that starts RUNNER
# with LANG set to LOCALE (de_DE.UTF-8), and none of the variables that would override it for
# the numbers, the paper or the characters. Fails where the locale is not generated: glibc
# would fall back to the C locale without a word.
function(runner_in_locale variable locale)
    execute_process(COMMAND locale -a OUTPUT_VARIABLE locales RESULT_VARIABLE locale_status)
    string(REGEX REPLACE "\\.UTF-8$" ".utf8" listed_name "${locale}")
    string(REGEX MATCH "(^|\n)${listed_name}(\n|$)" listed "${locales}")
    if(NOT locale_status EQUAL 0 OR NOT listed)
        message(FATAL_ERROR "the locale ${locale} is not generated on this machine "
                            "(scripts/install-deps.sh generates it)")
    endif()
    set(${variable} ${CMAKE_COMMAND} -E env --unset=LC_ALL --unset=LC_CTYPE --unset=LC_NUMERIC
        --unset=LC_MEASUREMENT --unset=LC_PAPER --unset=LANGUAGE LANG=${locale} ${ARGN}
        PARENT_SCOPE)
endfunction()
