# Run by CPack after it packs the zip: gives every entry the time of the last commit, whatever the
# clock and time zone of the machine that packed it, so that the zip depends on the source alone.
if(NOT CPACK_MEMWIDEN_STRIP_NONDETERMINISM)
    message(FATAL_ERROR "Packing the zip needs strip-nondeterminism")
endif()
if(NOT CPACK_MEMWIDEN_SOURCE_DATE MATCHES "^[0-9]+$")
    message(FATAL_ERROR "Packing the zip needs a git clone, or SOURCE_DATE_EPOCH set")
endif()
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    execute_process(
        COMMAND ${CPACK_MEMWIDEN_STRIP_NONDETERMINISM} --type zip
                --timestamp ${CPACK_MEMWIDEN_SOURCE_DATE} ${package}
        RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "strip-nondeterminism failed on ${package}")
    endif()
endforeach()
