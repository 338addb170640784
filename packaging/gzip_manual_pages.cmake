# CPack runs this after installing into its staging folder: manual pages are compressed there
# with gzip -9n as Debian does (no name, no time stamp, so the same page gives the same
# bytes), while a plain cmake --install keeps them as they are.
file(GLOB_RECURSE pages LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
list(FILTER pages INCLUDE REGEX "/man/man[1-9]/[^/]+\\.[1-9]$")
foreach(page ${pages})
    execute_process(COMMAND gzip -9n "${page}" RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "gzip failed on ${page}")
    endif()
endforeach()
