# px417_add_test(<name> [WIDGETS] SOURCES <files...> LIBS <targets...>)
# One GoogleTest executable; every case becomes its own CTest test, run offscreen. It runs
# under a QCoreApplication and links no widget, unless WIDGETS asks for a QApplication. In the
# Windows build the cases are listed and run through the cross-compiling emulator (Wine), whose
# start-up is slow, so they get more time.
include(GoogleTest)
if(WIN32)
    set(PX417_TEST_TIMEOUT 300)
    set(PX417_DISCOVERY_TIMEOUT 300)
else()
    set(PX417_TEST_TIMEOUT 120)
    set(PX417_DISCOVERY_TIMEOUT 30)
endif()
function(px417_add_test name)
    cmake_parse_arguments(ARG "WIDGETS" "" "SOURCES;LIBS" ${ARGN})
    set(main px417_testmain_core)
    if(ARG_WIDGETS)
        set(main px417_testmain)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${main} GTest::gtest Qt6::Test)
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT ${PX417_DISCOVERY_TIMEOUT}
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT ${PX417_TEST_TIMEOUT})
endfunction()

# px417_add_folder_tests([WIDGETS] LIBS <targets...> [UNIX_ONLY <stem> <reason> ...])
# Every *_test.cpp in the calling folder becomes its own test executable, so one broken test
# file does not stop the others from building. Each links the libraries it tests and the test
# support that links no widget; the window's tests add px417_test_support to LIBS. UNIX_ONLY
# names test files (without .cpp), each followed by why it cannot run on Windows: the Windows
# build leaves them out and lists them with the reason when it configures.
function(px417_add_folder_tests)
    cmake_parse_arguments(ARG "WIDGETS" "" "LIBS;UNIX_ONLY" ${ARGN})
    set(widgets)
    if(ARG_WIDGETS)
        set(widgets WIDGETS)
    endif()
    set(left_out)
    if(WIN32)
        while(ARG_UNIX_ONLY)
            list(POP_FRONT ARG_UNIX_ONLY stem reason)
            list(APPEND left_out ${stem})
            px417_not_on_windows(${stem} "${reason}")
        endwhile()
    endif()
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
    file(GLOB support CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    foreach(src ${tests})
        get_filename_component(stem ${src} NAME_WE)
        if(stem IN_LIST left_out)
            continue()
        endif()
        px417_add_test(${stem} ${widgets} SOURCES ${src} ${support}
                       LIBS ${ARG_LIBS} px417_test_core_support)
        target_include_directories(${stem} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    endforeach()
endfunction()

# px417_not_on_windows(<test or folder> <reason>)
# Notes a test left out of the Windows build, and why; the configuration lists them all at its
# end (px417_report_not_on_windows).
function(px417_not_on_windows what)
    string(JOIN "" reason ${ARGN})
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    if(folder)
        set(what ${folder}/${what})
    endif()
    set_property(GLOBAL APPEND PROPERTY PX417_NOT_ON_WINDOWS "${what}: ${reason}")
endfunction()

function(px417_report_not_on_windows)
    get_property(left_out GLOBAL PROPERTY PX417_NOT_ON_WINDOWS)
    if(left_out)
        list(JOIN left_out "\n  " text)
        message(NOTICE "Tests not built for Windows, and why:\n  ${text}")
    endif()
endfunction()

# px417_add_library(<name> LIBS <targets...> [UNIX <files...>] [WINDOWS <files...>])
# A library from every .cpp and .h in the calling folder. Its users include its headers by
# folder ("qt/Grid.h") from src/, the include root of everything outside the core. Files named
# under UNIX or WINDOWS are one platform's twin of a shared interface and are built only there.
function(px417_add_library name)
    cmake_parse_arguments(ARG "" "" "LIBS;UNIX;WINDOWS" ${ARGN})
    px417_folder_library(${name} ${PROJECT_SOURCE_DIR}/src LIBS ${ARG_LIBS} UNIX ${ARG_UNIX}
                         WINDOWS ${ARG_WINDOWS})
endfunction()

# px417_folder_library(<name> <include root> LIBS <targets...> [UNIX <files...>]
#                      [WINDOWS <files...>])
function(px417_folder_library name root)
    cmake_parse_arguments(ARG "" "" "LIBS;UNIX;WINDOWS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    if(WIN32)
        set(elsewhere ${ARG_UNIX})
    else()
        set(elsewhere ${ARG_WINDOWS})
    endif()
    foreach(file ${elsewhere})
        list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${file})
        list(REMOVE_ITEM headers ${CMAKE_CURRENT_SOURCE_DIR}/${file})
    endforeach()
    set(qobjects)
    foreach(header ${headers})
        file(STRINGS ${header} found REGEX "Q_OBJECT")
        list(APPEND qobjects ${found})
    endforeach()
    if(sources OR qobjects)
        # Interfaces with signals need their meta-object code even without a .cpp of their own.
        add_library(${name} STATIC ${sources} ${headers})
        set_target_properties(${name} PROPERTIES LINKER_LANGUAGE CXX)
        target_include_directories(${name} PUBLIC ${root})
        target_link_libraries(${name} PUBLIC ${ARG_LIBS})
    else()
        # Headers only so far.
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${root})
        target_link_libraries(${name} INTERFACE ${ARG_LIBS})
    endif()
endfunction()

# px417_core_include_root(<folder>)
# The core's include root: one forwarding header for each header of a core folder, and nothing
# of the shell or the window, so a core source that names "qt/..." or "app/..." finds nothing.
# src/ itself cannot be the core's root: it holds every folder.
set(PX417_CORE_INCLUDE ${CMAKE_BINARY_DIR}/core-include)
function(px417_core_include_root folder)
    set(out ${PX417_CORE_INCLUDE}/${folder})
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    set(kept)
    foreach(header ${headers})
        get_filename_component(file ${header} NAME)
        # Relative, so the same header gives the same text in every checkout and build folder
        # (the compiler cache shares them); written only when the text changes, so a new
        # configuration rebuilds nothing.
        file(RELATIVE_PATH target ${out} ${header})
        file(CONFIGURE OUTPUT ${out}/${file} CONTENT "#include \"${target}\"\n" @ONLY)
        list(APPEND kept ${out}/${file})
    endforeach()
    file(GLOB stale ${out}/*.h)
    if(kept)
        list(REMOVE_ITEM stale ${kept})
    endif()
    if(stale)
        file(REMOVE ${stale})
    endif()
endfunction()

# px417_guard_core(<target>)
# Makes any Qt Gui, Widgets or SerialPort header an error in the target's own sources: the
# guard folder comes before the toolkit's on the include path and holds headers that stop the
# build. Headers named without their module (<QWidget>) are not found at all, since a core
# library links Qt Core only.
function(px417_guard_core target)
    target_include_directories(${target} BEFORE PRIVATE ${PROJECT_SOURCE_DIR}/cmake/core-guard)
endfunction()

# px417_add_core_library(<name> LIBS <targets...> [UNIX <files...>] [WINDOWS <files...>])
# A core library: as px417_add_library, linking Qt Core and core libraries only, guarded, and
# seeing only the core's folders.
function(px417_add_core_library name)
    cmake_parse_arguments(ARG "" "" "LIBS;UNIX;WINDOWS" ${ARGN})
    get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    px417_core_include_root(${folder})
    px417_folder_library(${name} ${PX417_CORE_INCLUDE} LIBS ${ARG_LIBS} UNIX ${ARG_UNIX}
                         WINDOWS ${ARG_WINDOWS})
    get_target_property(type ${name} TYPE)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
        px417_guard_core(${name})
    endif()
endfunction()

# px417_check_core(<targets...>)
# Stops the configuration when a core library links a Qt module other than Qt Core, or the Qt
# layer or the window, whether publicly or privately: the link rule, checked where it is
# declared. Libraries outside Qt (a file format's C library, say) stay allowed.
function(px417_check_core)
    foreach(target ${ARGN})
        get_target_property(type ${target} TYPE)
        set(links)
        if(NOT type STREQUAL "INTERFACE_LIBRARY")
            get_target_property(links ${target} LINK_LIBRARIES)
        endif()
        get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
        foreach(link ${links} ${interface})
            # A static library passes its private links on as $<LINK_ONLY:...>.
            string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
            if((link MATCHES "^Qt6?::" AND NOT link MATCHES "^Qt6?::Core$")
               OR link MATCHES "^px417_(qt|serial|app)$")
                message(FATAL_ERROR "core library ${target} links ${link}; the core links Qt "
                                    "Core and no widget, picture or serial-port module "
                                    "(docs/ARCHITECTURE.md)")
            endif()
        endforeach()
    endforeach()
endfunction()

# px417_reads_workbooks(<test target>)
# The test reads workbooks back with openpyxl through tests/support/read_workbook.py. Debian's
# own interpreter comes first: the one that python3-openpyxl installs into. Not for the Windows
# build: a program under Wine cannot run it (such tests are UNIX_ONLY there).
function(px417_reads_workbooks target)
    if(WIN32)
        return()
    endif()
    find_program(PX417_PYTHON3 NAMES python3 HINTS /usr/bin REQUIRED)
    target_compile_definitions(${target} PRIVATE
        PX417_PYTHON3="${PX417_PYTHON3}"
        PX417_READ_WORKBOOK="${PROJECT_SOURCE_DIR}/tests/support/read_workbook.py")
endfunction()
