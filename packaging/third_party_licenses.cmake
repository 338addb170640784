# brevikon_third_party_licenses(OUT_VAR NAME FILE [NAME FILE ...]): for each library linked into
# the programs, the Debian package that holds FILE (a library the cross compiler links,
# a header) is looked up and its copyright file copied to licenses/NAME.txt in the build tree.
# Read at configure time, so the texts belong to the versions actually linked; a library whose
# text cannot be found stops the configuration, since a package without it may not be shipped.
function(brevikon_third_party_licenses out_var)
    find_program(BREVIKON_DPKG_QUERY dpkg-query REQUIRED)
    set(copies "")
    set(pairs ${ARGN})
    list(LENGTH pairs count)
    math(EXPR odd "${count} % 2")
    if(count EQUAL 0 OR odd)
        message(FATAL_ERROR "brevikon_third_party_licenses wants NAME FILE pairs: ${ARGN}")
    endif()
    # Counted, not while(pairs): a list ending in a find_file's NAME-NOTFOUND reads as false.
    while(count GREATER 0)
        list(POP_FRONT pairs name file)
        math(EXPR count "${count} - 2")
        if(NOT IS_ABSOLUTE "${file}" OR NOT EXISTS "${file}")
            message(FATAL_ERROR "Licence of ${name}: ${file} does not exist")
        endif()
        # dpkg records the path it unpacked, not one with ../ or through links.
        file(REAL_PATH "${file}" real)
        execute_process(COMMAND ${BREVIKON_DPKG_QUERY} --search "${real}"
                        OUTPUT_VARIABLE owner RESULT_VARIABLE result ERROR_VARIABLE error)
        if(NOT result EQUAL 0 OR NOT owner MATCHES "^([^:, ]+)(:[a-z0-9]+)?: ")
            message(FATAL_ERROR "Licence of ${name}: no Debian package holds ${real}: ${error}")
        endif()
        set(package ${CMAKE_MATCH_1})
        set(copyright /usr/share/doc/${package}/copyright)
        if(NOT EXISTS ${copyright})
            message(FATAL_ERROR "Licence of ${name}: ${copyright} is missing")
        endif()
        set(copy ${CMAKE_BINARY_DIR}/licenses/${name}.txt)
        configure_file(${copyright} ${copy} COPYONLY)
        message(STATUS "Licence of ${name}: ${copyright}")
        list(APPEND copies ${copy})
    endwhile()
    set(${out_var} ${copies} PARENT_SCOPE)
endfunction()
