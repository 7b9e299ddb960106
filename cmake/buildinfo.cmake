# Run by CPack before it packs anything: settles the time the archive's entries carry, and writes
# <archive name>.buildinfo beside it, which names the source and the toolchain that built it.

# CPack runs this script without the policies of the project.
cmake_policy(VERSION 3.25)

# run(VARIABLE COMMAND...): the command's output, or an empty string when it fails.
function(run variable)
    execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${CPACK_MEMWIDEN_SOURCE_DIR}
        OUTPUT_VARIABLE output RESULT_VARIABLE failed ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(failed)
        set(output "")
    endif()
    set(${variable} "${output}" PARENT_SCOPE)
endfunction()

# Only this project's own repository names the commit: a source tree without its history that
# lies inside another repository must not take that one's commit and time.
run(commit git log -1 --format=%H%n%ct%n%cI)
run(above git rev-parse --show-cdup)
if(above)
    set(commit "")
endif()
string(REPLACE "\n" ";" commit "${commit}")
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(CPACK_MEMWIDEN_SOURCE_DATE $ENV{SOURCE_DATE_EPOCH})
elseif(commit)
    list(GET commit 1 CPACK_MEMWIDEN_SOURCE_DATE)
endif()
if(NOT CPACK_MEMWIDEN_SOURCE_DATE MATCHES "^[0-9]+$")
    message(FATAL_ERROR "Not a git clone: set SOURCE_DATE_EPOCH to the release commit's time.")
endif()
if(CPACK_GENERATOR STREQUAL "ZIP" AND NOT CPACK_MEMWIDEN_STRIP_NONDETERMINISM)
    message(FATAL_ERROR "Packing the zip needs strip-nondeterminism.")
endif()
if(commit)
    list(GET commit 0 hash)
    list(GET commit 2 time)
    set(commit "${hash}, of ${time}")
    # A changed file packs other bytes than a clone of the commit would. The build reads no file
    # that is not yet added, unless a tracked one, changed then, names it.
    run(changes git status --porcelain --untracked-files=no)
    if(changes)
        string(APPEND commit ", and the packed tree differs from it")
    endif()
else()
    set(commit "unknown, not packed from a git clone")
endif()

# What went into the program or shaped the archive: the compiler, its own parts that compile and
# link, the runtime libraries it links in, and the other tools the build names.
set(files ${CPACK_MEMWIDEN_COMPILER} ${CPACK_MEMWIDEN_TOOLS})
foreach(query prog-name=cc1plus prog-name=collect2 ${CPACK_MEMWIDEN_LIBRARIES})
    if(NOT query MATCHES "=")
        set(query file-name=${query})
    endif()
    run(file ${CPACK_MEMWIDEN_COMPILER} -print-${query})
    list(APPEND files ${file})
endforeach()
# The packages that hold those files. Where /bin and /usr/bin are one, the package database may
# know a tool by its older name, without /usr.
set(packages "")
foreach(file IN LISTS files)
    if(NOT IS_ABSOLUTE ${file})
        # A variable already set would stop the search, and give the last tool's path again.
        unset(found)
        find_program(found ${file} NO_CACHE REQUIRED)
        set(file ${found})
    endif()
    file(REAL_PATH ${file} file)
    run(owner dpkg-query --search ${file})
    if(NOT owner AND file MATCHES "^/usr(/.*)")
        run(owner dpkg-query --search ${CMAKE_MATCH_1})
    endif()
    if(NOT owner)
        message(FATAL_ERROR "No Debian package holds ${file}: the build cannot be recorded.")
    endif()
    string(REGEX REPLACE ": .*" "" owner "${owner}")
    list(APPEND packages ${owner})
endforeach()
# Those packages and all they need, at their installed versions, as Debian records a build: each
# of them may shape the bytes. apt walks every need among the packages of the system's own
# architecture, which alone built the program, and every alternative of a need. Its --installed
# would drop needs of any architecture, as strip-nondeterminism's of perl, so what it names that
# is not installed is left out here instead.
list(REMOVE_DUPLICATES packages)
run(architecture dpkg --print-architecture)
run(needed apt-cache -o APT::Architectures=${architecture} depends --recurse --important
    ${packages})
string(REGEX MATCHALL "(^|\n)[^ \n]+" needed "${needed}")
list(TRANSFORM needed STRIP)
string(CONCAT format "\${db:Status-Status}\t\${Package}\t\${Architecture}\t"
                     "\${binary:Package}\t\${Version}\n")
run(installed dpkg-query --show --showformat=${format})
string(REPLACE "\n" ";" installed "${installed}")
set(packages "")
foreach(line IN LISTS installed)
    if(line MATCHES "^installed\t([^\t]+)\t(${architecture}|all)\t([^\t]+)\t(.+)$" AND
       CMAKE_MATCH_1 IN_LIST needed)
        list(APPEND packages " ${CMAKE_MATCH_3} (= ${CMAKE_MATCH_4})")
    endif()
endforeach()
if(NOT packages)
    message(FATAL_ERROR "The packages that built the program cannot be recorded.")
endif()
list(SORT packages)
list(JOIN packages ",\n" packages)

file(STRINGS /etc/os-release system REGEX "^PRETTY_NAME=")
string(REGEX REPLACE "^PRETTY_NAME=\"?([^\"]*)\"?$" "\\1" system "${system}")
file(READ /etc/debian_version release)
string(STRIP "${release}" release)
file(WRITE ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.buildinfo
    "Source: ${CPACK_PACKAGE_NAME} ${CPACK_PACKAGE_VERSION}\n"
    "Commit: ${commit}\n"
    "Source-Date-Epoch: ${CPACK_MEMWIDEN_SOURCE_DATE}\n"
    "System: ${system}, ${release}\n"
    "Architecture: ${architecture}\n"
    "Installed-Build-Depends:\n${packages}\n")
