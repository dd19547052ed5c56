# The Windows build (toolchain-mingw-i686.cmake): the system's sources compiled
# against the real Windows headers and linked, with their resources, into Windows
# programs. The layer in platform/ is not part of it; tests and benchmarks are the
# Linux build's. The 64-bit build (toolchain-mingw-x86_64.cmake) is the
# differential stage's where 32-bit code cannot run: the runners, without the
# resources of the 32-bit programs they are, and the stage's setup program.
add_compile_options(-Werror)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(OMBRIX_WINDOWS_64 ON)
endif()
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(OMBRIX_WINDOWS_DIR ${CMAKE_BINARY_DIR}/windows)
set(OMBRIX_RESOURCE_DIR ${CMAKE_BINARY_DIR}/resources)

# win32.h alone, so that system code can reach nothing of the layer here.
configure_file(${CMAKE_SOURCE_DIR}/platform/include/win32.h ${OMBRIX_WINDOWS_DIR}/win32/win32.h COPYONLY)
add_library(ombrix_win32 INTERFACE)
target_include_directories(ombrix_win32 INTERFACE ${OMBRIX_WINDOWS_DIR}/win32)

# Xerces-C as a static Windows library (scripts/xerces-windows.sh builds it from
# Debian's source package): Windows transcoder, no network, XMLCh as wchar_t.
set(OMBRIX_XERCES_WINDOWS "" CACHE PATH "Folder of a static Windows build of Xerces-C (include/, lib/)")
if(NOT EXISTS ${OMBRIX_XERCES_WINDOWS}/lib/libxerces-c.a)
  message(FATAL_ERROR "OMBRIX_XERCES_WINDOWS='${OMBRIX_XERCES_WINDOWS}' holds no lib/libxerces-c.a; "
                      "scripts/test-windows.sh gives the folder scripts/xerces-windows.sh prints")
endif()
add_library(ombrix_xerces STATIC IMPORTED)
set_target_properties(ombrix_xerces PROPERTIES
  IMPORTED_LOCATION ${OMBRIX_XERCES_WINDOWS}/lib/libxerces-c.a
  INTERFACE_INCLUDE_DIRECTORIES ${OMBRIX_XERCES_WINDOWS}/include)

# A Windows program: GUI subsystem, wWinMain as its entry, the C and C++
# run-times linked in, so that it needs only Windows' own DLLs.
function(ombrix_windows_program target)
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
  target_link_options(${target} PRIVATE -municode -static)
  target_link_libraries(${target} PRIVATE ombrix_win32)
endfunction()

# The object files of a target, one path a line, for scripts/test-windows.sh.
function(ombrix_list_objects target)
  file(GENERATE OUTPUT ${OMBRIX_WINDOWS_DIR}/objects/${target}.txt
       CONTENT "$<JOIN:$<TARGET_OBJECTS:${target}>,\n>\n")
endfunction()

# The value library: standard C++ only.
file(GLOB values_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/values/src/*.cpp)
add_library(ombrix_values_objects OBJECT ${values_sources})
target_include_directories(ombrix_values_objects PUBLIC ${CMAKE_SOURCE_DIR}/values/include)
add_library(ombrix_values STATIC $<TARGET_OBJECTS:ombrix_values_objects>)
ombrix_list_objects(ombrix_values_objects)

# The icons, drawn by our own generator.
set(icon_dir ${OMBRIX_RESOURCE_DIR}/icons)
add_custom_command(OUTPUT ${icon_dir}/runner.ico ${icon_dir}/console.ico
                   COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/resources/make_icons.py ${icon_dir}
                   DEPENDS ${CMAKE_SOURCE_DIR}/resources/make_icons.py
                   COMMENT "Drawing the programs' icons")
add_custom_target(ombrix_icons ALL DEPENDS ${icon_dir}/runner.ico ${icon_dir}/console.ico)

# One program's resources from its script (resources/<script>.rc, which includes
# resources/program.rc): <program>.res as windres compiled it, for the check, and
# <program>.res.o to link.
function(ombrix_program_resources program script icon)
  set(dir ${OMBRIX_RESOURCE_DIR}/${program})
  set(v ${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},${PROJECT_VERSION_TWEAK})
  file(WRITE ${dir}/program.h.new
       "#define PROGRAM_FILE_NAME \"${program}.exe\"\n"
       "#define PROGRAM_VERSION ${v}\n"
       "#define PROGRAM_VERSION_TEXT \"${PROJECT_VERSION}\"\n")
  configure_file(${dir}/program.h.new ${dir}/program.h COPYONLY)
  set(resources ${CMAKE_SOURCE_DIR}/resources)
  add_custom_command(
    OUTPUT ${dir}/${program}.res ${dir}/${program}.res.o
    COMMAND ${CMAKE_RC_COMPILER} -I${dir} -I${resources} -I${icon_dir}
            -O res -i ${resources}/${script}.rc -o ${dir}/${program}.res
    COMMAND ${CMAKE_RC_COMPILER} -O coff -i ${dir}/${program}.res -o ${dir}/${program}.res.o
    DEPENDS ${resources}/${script}.rc ${resources}/program.rc ${resources}/app.manifest
            ${icon_dir}/${icon} ${dir}/program.h ombrix_icons
    COMMENT "Compiling the resources of ${program}")
endfunction()

# The runner's libraries, one per variant (runner/CMakeLists.txt), and of each
# a program: the library and the entry body, linked with Xerces-C and the
# runner's resources into bin/<program>.exe.
add_subdirectory(shared_log)
add_subdirectory(runner)
function(ombrix_runner program variant)
  add_executable(${program} ${CMAKE_SOURCE_DIR}/runner/entry.cpp)
  if(NOT OMBRIX_WINDOWS_64)
    ombrix_program_resources(${program} runner runner.ico)
    set(resource_object ${OMBRIX_RESOURCE_DIR}/${program}/${program}.res.o)
    set_source_files_properties(${resource_object} PROPERTIES EXTERNAL_OBJECT ON GENERATED ON)
    target_sources(${program} PRIVATE ${resource_object})
  endif()
  ombrix_windows_program(${program})
  target_link_libraries(${program} PRIVATE ombrix_runner_${variant} shell32 shlwapi oleaut32 mpr)
  file(GENERATE OUTPUT ${OMBRIX_WINDOWS_DIR}/objects/${program}_objects.txt
       CONTENT "$<JOIN:$<TARGET_OBJECTS:${program}>;$<TARGET_OBJECTS:ombrix_runner_${variant}>;$<TARGET_OBJECTS:ombrix_shared_log>,\n>\n")
endfunction()

ombrix_runner(ZoltInstaller install)
ombrix_runner(ZoltUnInstaller removal)

# The setup program of the differential runs under Wine (scripts/test-differential.sh).
add_executable(DiffSetup ${CMAKE_SOURCE_DIR}/tests/differential/record_setup.cpp)
ombrix_windows_program(DiffSetup)
target_link_libraries(DiffSetup PRIVATE shell32)
if(OMBRIX_WINDOWS_64)
  return()
endif()

# The example package's setup program, as the package ships it.
add_executable(Setup ${CMAKE_SOURCE_DIR}/examples/setup/example_setup.cpp)
ombrix_windows_program(Setup)
target_link_libraries(Setup PRIVATE shell32)

# The console's resources.
ombrix_program_resources(KZ4Xelqdesk console console.ico)
add_custom_target(KZ4Xelqdesk_resources ALL DEPENDS ${OMBRIX_RESOURCE_DIR}/KZ4Xelqdesk/KZ4Xelqdesk.res)

# The framework stand-in as the two DLLs that lie beside the console in bin/,
# each exporting its interface alone (cmake/DllExports.cmake): OmbrixWyl the
# player, OmbrixWylCanvas the requests, which reads them with Xerces-C.
set(wyl_src ${CMAKE_SOURCE_DIR}/framework/src)
add_library(wyl_common OBJECT ${wyl_src}/operand.cpp ${wyl_src}/movie.cpp ${wyl_src}/script.cpp
                              ${wyl_src}/request_text.cpp ${wyl_src}/host.cpp)
target_include_directories(wyl_common PUBLIC ${CMAKE_SOURCE_DIR}/framework/include ${wyl_src})
target_link_libraries(wyl_common PUBLIC ombrix_win32 ombrix_values_objects)
set(OmbrixWyl_exports "^WYL")
set(OmbrixWylCanvas_exports
    "^_ZN6ombrix10wyl_canvas24brisk_external_interface9version_0[0-9]+(read_request|write_response|brisk_player_invoke_request)E")
function(wyl_dll name)
  add_library(${name}_objects OBJECT ${ARGN})
  target_link_libraries(${name}_objects PRIVATE wyl_common)
  set(def ${OMBRIX_WINDOWS_DIR}/${name}.def)
  add_custom_command(
    OUTPUT ${def}
    COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} "-DOBJECTS=$<TARGET_OBJECTS:${name}_objects>"
            -DLIBRARY=${name}.dll "-DPATTERN=${${name}_exports}" -DOUTPUT=${def}
            -P ${CMAKE_SOURCE_DIR}/cmake/DllExports.cmake
    DEPENDS ${name}_objects $<TARGET_OBJECTS:${name}_objects> ${CMAKE_SOURCE_DIR}/cmake/DllExports.cmake
    COMMENT "Listing the exports of ${name}.dll" VERBATIM)
  add_library(${name} SHARED $<TARGET_OBJECTS:${name}_objects> $<TARGET_OBJECTS:wyl_common> ${def})
  set_target_properties(${name} PROPERTIES PREFIX "")
  target_link_options(${name} PRIVATE -static)
  target_link_libraries(${name} PRIVATE ombrix_values)
endfunction()
wyl_dll(OmbrixWyl ${wyl_src}/wyl.cpp ${wyl_src}/player.cpp ${wyl_src}/message_names.cpp ${wyl_src}/automation.cpp)
wyl_dll(OmbrixWylCanvas ${wyl_src}/canvas.cpp ${wyl_src}/canvas_allocator.cpp ${wyl_src}/request_reader.cpp)
target_link_libraries(OmbrixWylCanvas_objects PRIVATE ombrix_xerces)
target_link_libraries(OmbrixWylCanvas PRIVATE OmbrixWyl ombrix_xerces)
file(GENERATE OUTPUT ${OMBRIX_WINDOWS_DIR}/objects/ombrix_framework_objects.txt
     CONTENT "$<JOIN:$<TARGET_OBJECTS:OmbrixWyl_objects>;$<TARGET_OBJECTS:OmbrixWylCanvas_objects>;$<TARGET_OBJECTS:wyl_common>,\n>\n")

# The console's sources. It shares the runners' log (shared_log/).
file(GLOB_RECURSE console_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/console/*.cpp)
add_library(ombrix_console_objects OBJECT ${console_sources})
target_include_directories(ombrix_console_objects PRIVATE ${CMAKE_SOURCE_DIR}/console ${CMAKE_SOURCE_DIR}/shared_log
                                                          ${CMAKE_SOURCE_DIR}/framework/include)
target_link_libraries(ombrix_console_objects PRIVATE ombrix_win32 ombrix_values_objects)
ombrix_list_objects(ombrix_console_objects)

# The console program: its objects, the digest of the movie that ships beside it,
# its resources, and the framework's two DLLs.
set(movie ${CMAKE_SOURCE_DIR}/framework/movies/OmbrixXelq.ui)
set(digest_source ${OMBRIX_WINDOWS_DIR}/ui_file_digest.cpp)
add_custom_command(OUTPUT ${digest_source}
                   COMMAND ${CMAKE_COMMAND} -DMOVIE=${movie} -DOUTPUT=${digest_source}
                           -P ${CMAKE_SOURCE_DIR}/console/ui_file_digest.cmake
                   DEPENDS ${movie} ${CMAKE_SOURCE_DIR}/console/ui_file_digest.cmake
                   COMMENT "Computing the movie's digest")
set(resource_object ${OMBRIX_RESOURCE_DIR}/KZ4Xelqdesk/KZ4Xelqdesk.res.o)
set_source_files_properties(${resource_object} PROPERTIES EXTERNAL_OBJECT ON GENERATED ON)
add_executable(KZ4Xelqdesk $<TARGET_OBJECTS:ombrix_console_objects> ${digest_source} ${resource_object})
target_include_directories(KZ4Xelqdesk PRIVATE ${CMAKE_SOURCE_DIR}/console)
ombrix_windows_program(KZ4Xelqdesk)
target_link_libraries(KZ4Xelqdesk PRIVATE ombrix_shared_log ombrix_values OmbrixWyl OmbrixWylCanvas
                                          ole32 oleaut32 shell32 shlwapi user32 gdi32)
add_custom_command(TARGET KZ4Xelqdesk POST_BUILD
                   COMMAND ${CMAKE_COMMAND} -E copy_if_different ${movie} ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/OmbrixXelq.ui)
