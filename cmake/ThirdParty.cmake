# nlohmann-json, tinyxml2, zlib and googletest from Debian. The native build uses the installed
# libraries; the cross builds compile tinyxml2 and googletest from their Debian sources and see
# only nlohmann's own headers, never the rest of the host's /usr/include.
set(TESSARY_THIRD_PARTY ${PROJECT_SOURCE_DIR}/build/third_party)

add_library(tessary_json INTERFACE)
if(WIN32)
  set(json_include ${CMAKE_BINARY_DIR}/json_include)
  if(NOT EXISTS ${json_include}/nlohmann)
    file(MAKE_DIRECTORY ${json_include})
    file(CREATE_LINK /usr/include/nlohmann ${json_include}/nlohmann SYMBOLIC)
  endif()
  target_include_directories(tessary_json SYSTEM INTERFACE ${json_include})
endif()

if(WIN32)
  if(NOT EXISTS ${TESSARY_THIRD_PARTY}/tinyxml2/tinyxml2.cpp)
    message(FATAL_ERROR "tinyxml2 sources missing: run scripts/bootstrap")
  endif()
  add_library(tinyxml2 STATIC ${TESSARY_THIRD_PARTY}/tinyxml2/tinyxml2.cpp)
  target_include_directories(tinyxml2 SYSTEM PUBLIC ${TESSARY_THIRD_PARTY}/tinyxml2)
  add_library(tessary_tinyxml2 ALIAS tinyxml2)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(TINYXML2 REQUIRED IMPORTED_TARGET tinyxml2)
  add_library(tessary_tinyxml2 ALIAS PkgConfig::TINYXML2)
endif()

# zlib: the host's for the native build; for the cross builds Debian's MinGW package, whose
# header and static library sit in the cross compiler's own folders, so nothing of the host's
# /usr/include comes in. Linked statically like everything the wizard carries.
add_library(tessary_zlib INTERFACE)
if(WIN32)
  find_path(TESSARY_ZLIB_INCLUDE zlib.h)
  find_library(TESSARY_ZLIB_STATIC NAMES libz.a)
  if(NOT TESSARY_ZLIB_INCLUDE OR NOT TESSARY_ZLIB_STATIC)
    message(FATAL_ERROR "zlib for ${TESSARY_MINGW_TRIPLE} missing: run scripts/bootstrap")
  endif()
  target_link_libraries(tessary_zlib INTERFACE ${TESSARY_ZLIB_STATIC})
else()
  find_package(ZLIB REQUIRED)
  target_link_libraries(tessary_zlib INTERFACE ZLIB::ZLIB)
endif()

if(TESSARY_BUILD_TESTS)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  foreach(lib gtest gtest_main gmock gmock_main)
    target_compile_options(${lib} PRIVATE -w)
  endforeach()
endif()
