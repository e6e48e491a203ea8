# The Windows build (cross-built with mingw-w64, scripts/build-windows.sh): where its programs
# find the Qt and mingw runtime when run here, and Wine as the emulator CTest runs the tests in.
#
# ${CMAKE_BINARY_DIR}/px417-windows-paths.sh, for scripts/wine-env.sh and the packaging, names
# the folders holding the DLLs (PX417_WINDOWS_DLL_DIRS), Qt's plugins (PX417_WINDOWS_QT_PLUGINS)
# and the fonts the offscreen platform reads (PX417_WINDOWS_FONTS): the programs run from the
# build tree without a copy of any of them.

set(qt_prefix ${QT6_INSTALL_PREFIX})
if(NOT qt_prefix)
    get_filename_component(qt_prefix ${Qt6_DIR}/../../.. ABSOLUTE)
endif()
set(dll_dirs ${qt_prefix}/${QT6_INSTALL_BINS})
foreach(runtime libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
                    OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${found}" OR NOT EXISTS "${found}")
        message(FATAL_ERROR "The mingw runtime ${runtime} is not beside ${CMAKE_CXX_COMPILER}")
    endif()
    get_filename_component(dir ${found} DIRECTORY)
    get_filename_component(dir ${dir} REALPATH)
    list(APPEND dll_dirs ${dir})
endforeach()
list(REMOVE_DUPLICATES dll_dirs)

# The offscreen platform on Windows reads fonts from one folder only (no fontconfig): the faces
# the window names, Calibri and Arial, have their metric twins Carlito and Liberation Sans here.
set(fonts ${CMAKE_BINARY_DIR}/fonts)
file(GLOB font_files /usr/share/fonts/truetype/crosextra/Carlito-*.ttf
                     /usr/share/fonts/truetype/liberation2/LiberationSans-*.ttf)
if(NOT font_files)
    message(WARNING "Carlito and Liberation Sans are missing (fonts-crosextra-carlito, "
                    "fonts-liberation2): the window's tests under Wine will fail")
endif()
file(MAKE_DIRECTORY ${fonts})
foreach(font ${font_files})
    get_filename_component(name ${font} NAME)
    file(CREATE_LINK ${font} ${fonts}/${name} SYMBOLIC)
endforeach()

list(TRANSFORM dll_dirs PREPEND "\"" OUTPUT_VARIABLE quoted)
list(TRANSFORM quoted APPEND "\"")
list(JOIN quoted " " quoted)
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/px417-windows-paths.sh CONTENT
"# Written by the configuration (cmake/Windows.cmake); sourced by scripts/wine-env.sh.
PX417_WINDOWS_DLL_DIRS=(${quoted})
PX417_WINDOWS_QT_PLUGINS=\"${qt_prefix}/${QT6_INSTALL_PLUGINS}\"
PX417_WINDOWS_FONTS=\"${fonts}\"
" @ONLY)

# Every test program runs under Wine, in the build's own prefix (scripts/wine-env.sh); its
# cases are listed the same way. Set before any target, which takes it when made.
find_program(PX417_WINE wine)
if(PX417_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/cmake/windows/wine-run.sh
                                      ${CMAKE_BINARY_DIR})
elseif(PX417_BUILD_TESTS)
    message(WARNING "No wine: the Windows tests cannot run here")
endif()
