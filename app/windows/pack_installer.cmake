# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Windows installer from a folder laid out as the installation is:
#   cmake -DMAKENSIS=makensis -DNSI=installer.nsi -DFILES=folder -DVERSION=0.1.0 -DICON=zhuheng.ico
#         -DOUTPUT=zhuheng-0.1.0-win64-setup.exe [-DCOMPRESSOR=zlib]
#         [-DOSSLSIGNCODE=osslsigncode -DSIGN_CERT=... -DSIGN_KEY=... [-DSIGN_PASSWORD_FILE=...]
#          [-DSIGN_TIMESTAMP_URL=...]] -P pack_installer.cmake
# The installer puts every file of FILES and its uninstaller removes exactly those: the list is
# written here, next to OUTPUT, for installer.nsi to include. With SIGN_CERT and SIGN_KEY the
# programs in FILES (signed in place), the uninstaller and the installer are Authenticode-signed
# (authenticode.cmake). The installer is written aside and renamed when whole.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/authenticode.cmake)

foreach(required MAKENSIS NSI FILES VERSION ICON OUTPUT)
    if(NOT ${required})
        message(FATAL_ERROR "pack_installer.cmake needs ${required}")
    endif()
endforeach()

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${FILES}" "${FILES}/*")
list(SORT files)
if(NOT files)
    message(FATAL_ERROR "Nothing to install in ${FILES}")
endif()
if("uninstall.exe" IN_LIST files)
    message(FATAL_ERROR "${FILES} holds uninstall.exe, the name of the uninstaller")
endif()

# The list, as two NSIS macros: every file with the folder it goes to ("" for the installation's
# own), and every folder below the installation, deepest first.
set(list_file "${OUTPUT}.nsh")
set(text "; Written by pack_installer.cmake from ${FILES}.\n!macro INSTALLED_FILES DO\n")
set(folders)
foreach(f IN LISTS files)
    get_filename_component(name "${f}" NAME)
    get_filename_component(folder "${f}" DIRECTORY)
    set(target "")
    if(folder)
        string(REPLACE "/" "\\" target "\\${folder}")
        list(APPEND folders "${target}")
        # Each folder above it too, for the uninstaller to remove once empty.
        get_filename_component(up "${folder}" DIRECTORY)
        while(up)
            string(REPLACE "/" "\\" up_target "\\${up}")
            list(APPEND folders "${up_target}")
            get_filename_component(up "${up}" DIRECTORY)
        endwhile()
    endif()
    string(APPEND text "    !insertmacro \${DO} \"${target}\" \"${name}\"\n")
endforeach()
string(APPEND text "!macroend\n!macro INSTALLED_FOLDERS DO\n")
list(REMOVE_DUPLICATES folders)
list(SORT folders)
list(REVERSE folders)
foreach(folder IN LISTS folders)
    string(APPEND text "    !insertmacro \${DO} \"${folder}\"\n")
endforeach()
string(APPEND text "!macroend\n")

if(SIGN_CERT OR SIGN_KEY)
    if(NOT (SIGN_CERT AND SIGN_KEY AND OSSLSIGNCODE))
        message(FATAL_ERROR "Signing needs SIGN_CERT, SIGN_KEY and OSSLSIGNCODE")
    endif()
    file(GLOB programs "${FILES}/*.exe")
    foreach(program IN LISTS programs)
        authenticode_sign("${program}")
    endforeach()
    # makensis signs the uninstaller before it packs it, and the installer once written.
    set(sign "\"${CMAKE_COMMAND}\" \"-DOSSLSIGNCODE=${OSSLSIGNCODE}\" \"-DSIGN_CERT=${SIGN_CERT}\"")
    string(APPEND sign " \"-DSIGN_KEY=${SIGN_KEY}\"")
    if(SIGN_PASSWORD_FILE)
        string(APPEND sign " \"-DSIGN_PASSWORD_FILE=${SIGN_PASSWORD_FILE}\"")
    endif()
    if(SIGN_TIMESTAMP_URL)
        string(APPEND sign " \"-DSIGN_TIMESTAMP_URL=${SIGN_TIMESTAMP_URL}\"")
    endif()
    string(APPEND sign " -P \"${CMAKE_CURRENT_LIST_DIR}/authenticode.cmake\" \"%1\"")
    string(APPEND text "!uninstfinalize '${sign}' = 0\n!finalize '${sign}' = 0\n")
endif()
file(WRITE "${list_file}" "${text}")

set(options)
if(COMPRESSOR)
    list(APPEND options "-XSetCompressor /FINAL ${COMPRESSOR}")
endif()
file(REMOVE "${OUTPUT}.part")
execute_process(COMMAND "${MAKENSIS}" -V2 -INPUTCHARSET UTF8 ${options}
        "-DVERSION=${VERSION}" "-DVERSION_QUAD=${VERSION}.0" "-DFILES=${FILES}"
        "-DINSTALLED_LIST=${list_file}" "-DICON=${ICON}" "-DOUTFILE=${OUTPUT}.part" "${NSI}"
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    file(REMOVE "${OUTPUT}.part")
    message(FATAL_ERROR "makensis failed (${result})")
endif()
file(RENAME "${OUTPUT}.part" "${OUTPUT}")
