# The Windows programs' icon and version resource.
#
#   px417_windows_resources(<target> <file name> <description>)
#
# Compiles packaging/windows/px417.rc.in for <target> (defined here or in another folder) (its file name, "px417.exe", and a
# description as Explorer shows them) and links it in. The icon is packaging/px417.svg turned
# into px417.ico at build time by make-icon.sh. windres is run as a custom command, so the
# project needs no RC language of its own.
set(PX417_WINDOWS_PACKAGING ${CMAKE_CURRENT_LIST_DIR})

function(px417_windows_resources target file description)
    set(out ${CMAKE_BINARY_DIR}/packaging/windows)
    set(icon ${out}/px417.ico)
    if(NOT TARGET px417_icon)
        file(MAKE_DIRECTORY ${out})
        add_custom_command(
            OUTPUT ${icon}
            COMMAND ${PX417_WINDOWS_PACKAGING}/make-icon.sh ${PROJECT_SOURCE_DIR}/packaging/px417.svg
                    ${icon}
            DEPENDS ${PROJECT_SOURCE_DIR}/packaging/px417.svg ${PX417_WINDOWS_PACKAGING}/make-icon.sh
            COMMENT "Drawing the program icon px417.ico")
        add_custom_target(px417_icon DEPENDS ${icon})
    endif()
    set(rc_compiler ${CMAKE_RC_COMPILER})
    if(NOT rc_compiler)
        find_program(rc_compiler NAMES ${CMAKE_CXX_COMPILER_TARGET}-windres
                                       x86_64-w64-mingw32-windres windres REQUIRED)
    endif()
    set(PX417_RC_ICON ${icon})
    set(PX417_RC_FILE ${file})
    set(PX417_RC_DESCRIPTION ${description})
    set(rc ${out}/${target}.rc)
    set(object ${out}/${target}.rc.obj)
    configure_file(${PX417_WINDOWS_PACKAGING}/px417.rc.in ${rc} @ONLY)
    add_custom_command(
        OUTPUT ${object}
        COMMAND ${rc_compiler} --input-format=rc --output-format=coff -i ${rc} -o ${object}
        DEPENDS ${rc} ${icon} px417_icon
        COMMENT "Compiling the icon and version resource of ${file}")
    # A target of this folder owns the rule, so <target> may be defined in another folder.
    add_custom_target(${target}_rc DEPENDS ${object})
    add_dependencies(${target} ${target}_rc)
    set_source_files_properties(${object} TARGET_DIRECTORY ${target}
                                PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
    target_sources(${target} PRIVATE ${object})
endfunction()
