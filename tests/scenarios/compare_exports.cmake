# SPDX-License-Identifier: GPL-3.0-or-later
# Runs one scenario script with the Windows runner (under the emulator) and with the Linux
# build's runner, each in a new folder, and compares what the two saved: of each document its
# content.xml byte for byte (the archives differ in their times), of each PDF its text as
# poppler's pdftotext reads it. Both must have printed the same and saved a PDF and a document.
# -DRUNNER=emulator|...|program -DLINUX_RUNNER=program -DSCRIPT=path/NAME.scn
# -DFOLDER=where the two folders go -DPDFTOTEXT=pdftotext
if(NOT LINUX_RUNNER OR NOT EXISTS "${LINUX_RUNNER}")
    message(FATAL_ERROR "the Linux build's scenario runner \"${LINUX_RUNNER}\" is missing: build "
        "the Linux build first (scripts/test.sh does) and configure this build with "
        "-DZHUHENG_LINUX_SCENARIO_RUNNER=<Linux build>/tests/scenarios/zhuheng-scenario")
endif()
if(NOT PDFTOTEXT)
    message(FATAL_ERROR "pdftotext was not found (scripts/install-deps.sh installs poppler-utils)")
endif()

# Both in the users' locale, whose paper is the same on both platforms. Qt's document writer
# writes the styles in the order of a hash, which Qt seeds anew in each process: a seed of 0 for
# both (wine passes WINEQT_ variables on as QT_ ones) gives both the same order.
include(${CMAKE_CURRENT_LIST_DIR}/runner_locale.cmake)
string(REPLACE "|" ";" windows_runner "${RUNNER}")
set(seed ${CMAKE_COMMAND} -E env QT_HASH_SEED=0 WINEQT_HASH_SEED=0)
runner_in_locale(windows_runner zh_CN.UTF-8 ${seed} ${windows_runner})
runner_in_locale(linux_runner zh_CN.UTF-8 ${seed} "${LINUX_RUNNER}")
foreach(side windows linux)
    set(folder "${FOLDER}/${side}")
    file(REMOVE_RECURSE "${folder}")
    file(MAKE_DIRECTORY "${folder}")
    execute_process(COMMAND ${${side}_runner} ${SCRIPT} WORKING_DIRECTORY "${folder}"
        OUTPUT_VARIABLE output_${side} ERROR_VARIABLE errors RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "the ${side} runner ended with ${status}: ${errors}")
    endif()
endforeach()
if(NOT output_windows STREQUAL output_linux)
    file(WRITE "${FOLDER}/windows.out" "${output_windows}")
    file(WRITE "${FOLDER}/linux.out" "${output_linux}")
    execute_process(COMMAND diff -u "${FOLDER}/linux.out" "${FOLDER}/windows.out")
    message(FATAL_ERROR "the two runners printed differently")
endif()

set(failed "")
foreach(kind odt pdf)
    file(GLOB saved LIST_DIRECTORIES false RELATIVE "${FOLDER}/linux" "${FOLDER}/linux/*.${kind}")
    if(NOT saved)
        string(APPEND failed " the script saved no .${kind} file;")
    endif()
    foreach(name IN LISTS saved)
        foreach(side windows linux)
            set(file "${FOLDER}/${side}/${name}")
            if(NOT EXISTS "${file}")
                string(APPEND failed " the ${side} runner saved no ${name};")
                continue()
            endif()
            if(kind STREQUAL "odt")
                file(REMOVE_RECURSE "${file}.d")
                file(ARCHIVE_EXTRACT INPUT "${file}" DESTINATION "${file}.d" PATTERNS content.xml)
                file(COPY_FILE "${file}.d/content.xml" "${file}.txt")
            else()
                execute_process(COMMAND ${PDFTOTEXT} -enc UTF-8 "${file}" -
                    OUTPUT_FILE "${file}.txt" RESULT_VARIABLE status)
                if(NOT status EQUAL 0)
                    string(APPEND failed " pdftotext failed on the ${side} runner's ${name};")
                endif()
            endif()
        endforeach()
        file(SIZE "${FOLDER}/linux/${name}.txt" size)
        if(size EQUAL 0)
            string(APPEND failed " nothing was read from ${name};")
        endif()
        execute_process(COMMAND diff -u "${FOLDER}/linux/${name}.txt"
            "${FOLDER}/windows/${name}.txt" RESULT_VARIABLE different)
        if(different)
            string(APPEND failed " ${name} differs from Linux's;")
        endif()
    endforeach()
endforeach()
if(failed)
    message(FATAL_ERROR "${failed}")
endif()
