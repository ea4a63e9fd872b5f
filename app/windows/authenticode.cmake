# SPDX-License-Identifier: GPL-3.0-or-later
# Authenticode signing with osslsigncode, SHA-256, in place: the signed file is written aside and
# renamed over the original only when whole.
#   include(): authenticode_sign(FILE) with the variables below set.
#   cmake -DOSSLSIGNCODE=... -DSIGN_CERT=... -DSIGN_KEY=... [-DSIGN_PASSWORD_FILE=...]
#         [-DSIGN_TIMESTAMP_URL=...] -P authenticode.cmake FILE
#     as makensis runs it on the installer and the uninstaller (!finalize, !uninstfinalize).
# SIGN_CERT: the certificate (PEM or DER, the chain may follow it); SIGN_KEY: its private key;
# SIGN_PASSWORD_FILE: the key's password, where the key is encrypted. With SIGN_TIMESTAMP_URL the
# signature gets an RFC 3161 time stamp from that server; where the server cannot be reached the
# file is signed without one, and the build says so.
function(authenticode_sign file)
    set(base -h sha256 -n "筑衡" -certs "${SIGN_CERT}" -key "${SIGN_KEY}")
    if(SIGN_PASSWORD_FILE)
        list(APPEND base -readpass "${SIGN_PASSWORD_FILE}")
    endif()
    set(signed "${file}.signed")
    file(REMOVE "${signed}")
    set(result 1)
    if(SIGN_TIMESTAMP_URL)
        execute_process(COMMAND "${OSSLSIGNCODE}" sign ${base} -ts "${SIGN_TIMESTAMP_URL}"
            -in "${file}" -out "${signed}" RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
        if(NOT result EQUAL 0)
            message(WARNING "No time stamp from ${SIGN_TIMESTAMP_URL}: ${file} is signed without one")
            file(REMOVE "${signed}")
        endif()
    endif()
    if(NOT result EQUAL 0)
        execute_process(COMMAND "${OSSLSIGNCODE}" sign ${base} -in "${file}" -out "${signed}"
            RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
    endif()
    if(NOT result EQUAL 0)
        file(REMOVE "${signed}")
        message(FATAL_ERROR "osslsigncode could not sign ${file}:\n${out}")
    endif()
    file(RENAME "${signed}" "${file}")
endfunction()

# Run as a script by makensis: the file is the argument after the script's name.
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    cmake_minimum_required(VERSION 3.25)
    set(file "")
    math(EXPR last "${CMAKE_ARGC} - 1")
    foreach(i RANGE 1 ${last})
        if(CMAKE_ARGV${i} STREQUAL "-P")
            math(EXPR at "${i} + 2")
            if(at LESS CMAKE_ARGC)
                set(file "${CMAKE_ARGV${at}}")
            endif()
        endif()
    endforeach()
    if(NOT file)
        message(FATAL_ERROR "usage: cmake -D... -P authenticode.cmake FILE")
    endif()
    authenticode_sign("${file}")
endif()
