# Run by CPack on the staged package, before it is packed: the programs lose the compiler's
# .comment and .note sections too, as Debian's own packaging tools strip them.
file(GLOB programs ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin/*)
foreach(program ${programs})
    execute_process(COMMAND ${CPACK_PX417_STRIP} --remove-section=.comment --remove-section=.note
                            ${program} RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "strip failed on ${program}")
    endif()
endforeach()
