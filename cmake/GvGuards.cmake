# No program or test is left out without a word: what is required fails the configure with what is
# missing and how to get it; what is left out on purpose says so once, with why.

# The folders a full tree builds, and those without a test folder of their own.
set(GV_ALL_FOLDERS platform framework search storage archive controls classfile app bench)
set(GV_UNTESTED_FOLDERS bench fuzz)

# gv_left_out(<what> <why>): one line in the configure's output for a target or suite not built on purpose.
function(gv_left_out what why)
    message(STATUS "${what} left out: ${why}")
endfunction()

# gv_require_package(<found> <what> <debian packages>): stops the configure when a find_package failed.
function(gv_require_package found what packages)
    if(NOT ${found})
        message(FATAL_ERROR "${what} not found: install Debian's ${packages} (make bootstrap installs them)")
    endif()
endfunction()

# gv_folders_built(<var> <what> <folder>...): <var> is true when GV_FOLDERS lists every named folder;
# otherwise <what> is reported left out, naming the folders it misses.
function(gv_folders_built var what)
    set(missing)
    foreach(folder IN LISTS ARGN)
        if(NOT folder IN_LIST GV_FOLDERS)
            list(APPEND missing ${folder})
        endif()
    endforeach()
    if(missing)
        list(JOIN missing ", " names)
        gv_left_out("${what}" "it needs ${names}, which GV_FOLDERS does not list")
        set(${var} FALSE PARENT_SCOPE)
    else()
        set(${var} TRUE PARENT_SCOPE)
    endif()
endfunction()

# gv_gui_suite(<subdirectory> <suites>): the real-window suites are built in the Windows tree only.
function(gv_gui_suite subdirectory suites)
    if(WIN32)
        add_subdirectory(${subdirectory})
    else()
        gv_left_out("${suites}" "real-window suites build in the Windows (mingw-w64) tree only and run under Wine")
    endif()
endfunction()

# GV_FOLDERS names only folders that are there, always with the two every other folder builds on; a
# shorter list than the full tree is warned about once, with what it leaves out.
function(gv_check_folders)
    foreach(folder IN ITEMS platform framework)
        if(NOT folder IN_LIST GV_FOLDERS)
            message(FATAL_ERROR "GV_FOLDERS (${GV_FOLDERS}) must list ${folder}: every other folder and test builds on it")
        endif()
    endforeach()
    foreach(folder IN LISTS GV_FOLDERS)
        if(NOT EXISTS ${CMAKE_SOURCE_DIR}/${folder}/CMakeLists.txt)
            message(FATAL_ERROR "GV_FOLDERS lists '${folder}', but ${folder}/CMakeLists.txt is not in the source tree")
        endif()
        if(GV_TESTS AND NOT folder IN_LIST GV_UNTESTED_FOLDERS
           AND NOT EXISTS ${CMAKE_SOURCE_DIR}/tests/${folder}/CMakeLists.txt)
            message(FATAL_ERROR "tests/${folder}/CMakeLists.txt is missing: every folder but ${GV_UNTESTED_FOLDERS} "
                                "has its tests")
        endif()
    endforeach()
    set(left ${GV_ALL_FOLDERS})
    list(REMOVE_ITEM left ${GV_FOLDERS})
    if(left)
        list(JOIN left ", " names)
        message(WARNING "Folders left out: ${names} (GV_FOLDERS is \"${GV_FOLDERS}\"): their libraries, programs "
                        "and tests are not built, nor is what needs them elsewhere (named below)")
    endif()
endfunction()
