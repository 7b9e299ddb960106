# Run by CPack after it packs the archive: makes it depend on the source alone, not on the clock,
# time zone, umask, user or folder of the machine that packed it. buildinfo.cmake, run before,
# has set the time its entries carry.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    if(CPACK_GENERATOR STREQUAL "ZIP")
        # Gives every entry the time of the last commit.
        execute_process(
            COMMAND ${CPACK_MEMWIDEN_STRIP_NONDETERMINISM} --type zip
                    --timestamp ${CPACK_MEMWIDEN_SOURCE_DATE} ${package}
            RESULTS_VARIABLE results)
    else()
        # CPack's own tarball lists files in the order the disk gives them, with their times on
        # disk, and stamps the pack time into its gzip header: it is written again from the same
        # folder, in name order, with fixed owners, modes and times, and gzip keeps no name or time.
        execute_process(
            COMMAND tar --create --format=ustar --sort=name --owner=0 --group=0 --numeric-owner
                    --mode=u=rwX,go=rX --mtime=@${CPACK_MEMWIDEN_SOURCE_DATE}
                    --directory=${CPACK_TOPLEVEL_DIRECTORY} --file=- ${CPACK_PACKAGE_FILE_NAME}
            COMMAND gzip --no-name --best
            OUTPUT_FILE ${package}
            RESULTS_VARIABLE results)
    endif()
    if(NOT results MATCHES "^0(;0)*$")
        message(FATAL_ERROR "Could not make ${package} the same on every machine: ${results}")
    endif()
endforeach()
