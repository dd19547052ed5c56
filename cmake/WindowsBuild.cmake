# The Windows build (toolchain-mingw-i686.cmake): the system's sources compiled
# against the real Windows headers, the programs' resources, and a link of the
# runners that may fail only for want of a Windows build of Xerces-C. The layer in
# platform/ is not part of it; tests and benchmarks are the Linux build's.
add_compile_options(-Werror)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(OMBRIX_WINDOWS_DIR ${CMAKE_BINARY_DIR}/windows)
set(OMBRIX_RESOURCE_DIR ${CMAKE_BINARY_DIR}/resources)

# win32.h alone, so that system code can reach nothing of the layer here.
configure_file(${CMAKE_SOURCE_DIR}/platform/include/win32.h ${OMBRIX_WINDOWS_DIR}/win32/win32.h COPYONLY)
add_library(ombrix_win32 INTERFACE)
target_include_directories(ombrix_win32 INTERFACE ${OMBRIX_WINDOWS_DIR}/win32)

# Debian's Xerces-C headers, without the rest of /usr/include. Their configuration
# header describes the Linux build; a Windows build of Xerces-C has wchar_t as its
# XMLCh, as the Windows headers have it as their WCHAR, so the copy used here says so.
find_path(OMBRIX_XERCES_INCLUDE_DIR xercesc/util/XercesVersion.hpp
          PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(MAKE_DIRECTORY ${OMBRIX_WINDOWS_DIR}/xerces-headers)
file(CREATE_LINK ${OMBRIX_XERCES_INCLUDE_DIR}/xercesc ${OMBRIX_WINDOWS_DIR}/xerces-headers/xercesc SYMBOLIC)
file(READ ${OMBRIX_XERCES_INCLUDE_DIR}/xercesc/util/Xerces_autoconf_config.hpp xerces_config)
foreach(pair "#define XERCES_XMLCH_T char16_t|#define XERCES_XMLCH_T wchar_t"
             "/* #undef XERCES_INCLUDE_WCHAR_H */|#define XERCES_INCLUDE_WCHAR_H 1")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 linux_line)
  list(GET pair 1 windows_line)
  string(FIND "${xerces_config}" "${linux_line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "Xerces-C configuration header lacks '${linux_line}'")
  endif()
  string(REPLACE "${linux_line}" "${windows_line}" xerces_config "${xerces_config}")
endforeach()
file(WRITE ${OMBRIX_WINDOWS_DIR}/Xerces_autoconf_config.hpp.new "${xerces_config}")
configure_file(${OMBRIX_WINDOWS_DIR}/Xerces_autoconf_config.hpp.new
               ${OMBRIX_WINDOWS_DIR}/xerces-config/xercesc/util/Xerces_autoconf_config.hpp COPYONLY)
add_library(ombrix_xerces_headers INTERFACE)
target_include_directories(ombrix_xerces_headers SYSTEM INTERFACE
                           ${OMBRIX_WINDOWS_DIR}/xerces-config ${OMBRIX_WINDOWS_DIR}/xerces-headers)

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

# One runner program's resources from resources/runner.rc: <program>.res as
# windres compiled it, and <program>.res.o to link.
function(ombrix_runner_resources program)
  set(dir ${OMBRIX_RESOURCE_DIR}/${program})
  set(v ${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},${PROJECT_VERSION_TWEAK})
  file(WRITE ${dir}/program.h.new
       "#define PROGRAM_FILE_NAME \"${program}.exe\"\n"
       "#define PROGRAM_VERSION ${v}\n"
       "#define PROGRAM_VERSION_TEXT \"${PROJECT_VERSION}\"\n")
  configure_file(${dir}/program.h.new ${dir}/program.h COPYONLY)
  add_custom_command(
    OUTPUT ${dir}/${program}.res ${dir}/${program}.res.o
    COMMAND ${CMAKE_RC_COMPILER} -I${dir} -I${CMAKE_SOURCE_DIR}/resources -I${icon_dir}
            -O res -i ${CMAKE_SOURCE_DIR}/resources/runner.rc -o ${dir}/${program}.res
    COMMAND ${CMAKE_RC_COMPILER} -O coff -i ${dir}/${program}.res -o ${dir}/${program}.res.o
    DEPENDS ${CMAKE_SOURCE_DIR}/resources/runner.rc ${CMAKE_SOURCE_DIR}/resources/app.manifest
            ${icon_dir}/runner.ico ${dir}/program.h
    COMMENT "Compiling the resources of ${program}")
endfunction()

# One runner program: the shared sources of runner/ and those of its variant
# folder, then the link (cmake/LinkRunner.cmake): a program in bin/ when it links,
# else the list of the Xerces-C symbols it lacks; any other missing symbol fails.
file(GLOB runner_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/runner/*.cpp ${CMAKE_SOURCE_DIR}/shared_log/*.cpp)
set(OMBRIX_RUNNER_LIBRARIES shell32 shlwapi oleaut32 mpr)
function(ombrix_runner program variant)
  file(GLOB variant_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/runner/${variant}/*.cpp)
  add_library(${program}_objects OBJECT ${runner_sources} ${variant_sources})
  target_include_directories(${program}_objects PRIVATE
                             ${CMAKE_SOURCE_DIR}/runner/${variant} ${CMAKE_SOURCE_DIR}/runner
                             ${CMAKE_SOURCE_DIR}/shared_log)
  target_link_libraries(${program}_objects PRIVATE ombrix_win32 ombrix_xerces_headers)
  ombrix_list_objects(${program}_objects)
  ombrix_runner_resources(${program})

  set(resource_object ${OMBRIX_RESOURCE_DIR}/${program}/${program}.res.o)
  set(stamp ${OMBRIX_WINDOWS_DIR}/link/${program}.stamp)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND}
            -DCOMPILER=${CMAKE_CXX_COMPILER}
            -DOBJECT_LIST=${OMBRIX_WINDOWS_DIR}/objects/${program}_objects.txt
            -DRESOURCE_OBJECT=${resource_object}
            "-DLIBRARIES=$<JOIN:${OMBRIX_RUNNER_LIBRARIES},:>"
            -DPROGRAM=${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${program}.exe
            -DREPORT=${OMBRIX_WINDOWS_DIR}/link/${program}.xerces-symbols.txt
            -DSTAMP=${stamp}
            -P ${CMAKE_SOURCE_DIR}/cmake/LinkRunner.cmake
    DEPENDS ${program}_objects $<TARGET_OBJECTS:${program}_objects> ${resource_object}
            ${CMAKE_SOURCE_DIR}/cmake/LinkRunner.cmake
    COMMENT "Linking ${program}.exe (all but Xerces-C must resolve)")
  add_custom_target(${program} ALL DEPENDS ${stamp})
  add_dependencies(${program} ombrix_icons)  # one target draws the icons, the others wait
endfunction()

ombrix_runner(ZoltInstaller install)
ombrix_runner(ZoltUnInstaller removal)

# The console and the framework stand-in, compiled as they arrive. The console
# shares the runners' log (shared_log/).
foreach(area console framework)
  file(GLOB_RECURSE area_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${area}/*.cpp)
  if(area_sources)
    add_library(ombrix_${area}_objects OBJECT ${area_sources})
    target_include_directories(ombrix_${area}_objects PRIVATE ${CMAKE_SOURCE_DIR}/${area}
                                                              ${CMAKE_SOURCE_DIR}/shared_log)
    if(EXISTS ${CMAKE_SOURCE_DIR}/framework/include)
      target_include_directories(ombrix_${area}_objects PRIVATE ${CMAKE_SOURCE_DIR}/framework/include)
    endif()
    target_link_libraries(ombrix_${area}_objects PRIVATE ombrix_win32 ombrix_values_objects)
    ombrix_list_objects(ombrix_${area}_objects)
  endif()
endforeach()
