# cmake -DBUILD_DIR=<build> -DREFUSED=<t1|t2|...> -DALLOWED=<target> -P ExpectBuildFailure.cmake
# Fails unless every REFUSED target fails to build on the core guard (or on a header the core
# cannot see at all) and ALLOWED builds.
string(REPLACE "|" ";" REFUSED "${REFUSED}")
foreach(target IN LISTS REFUSED)
    execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${target}
                    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(status EQUAL 0)
        message(FATAL_ERROR "${target} built: a core library could include that header")
    endif()
    if(NOT output MATCHES "is not available to this library|No such file or directory|file not found")
        message(FATAL_ERROR "${target} failed for another reason:\n${output}")
    endif()
    message(STATUS "${target}: refused as it should be")
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${ALLOWED}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${ALLOWED} did not build, so the refusals prove nothing:\n${output}")
endif()
