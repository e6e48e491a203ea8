# cmake -DPROBE=<source folder> -DBINARY=<build folder> -DROOT=<project> -DEXPECT=<text>
#       [-DGENERATOR=<name>] -P ExpectConfigureFailure.cmake
# Fails unless configuring the probe project stops with a message that contains EXPECT.
file(REMOVE_RECURSE ${BINARY})
execute_process(COMMAND ${CMAKE_COMMAND} -S ${PROBE} -B ${BINARY} -G ${GENERATOR}
                        -DPX417_ROOT=${ROOT} -DCMAKE_PREFIX_PATH=${PREFIX}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(status EQUAL 0)
    message(FATAL_ERROR "${PROBE} configured: the link check let it through")
endif()
string(FIND "${output}" "${EXPECT}" at)
if(at EQUAL -1)
    message(FATAL_ERROR "${PROBE} failed for another reason:\n${output}")
endif()
message(STATUS "${PROBE}: refused as it should be")
