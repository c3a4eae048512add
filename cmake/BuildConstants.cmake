# Build constants: cache variables turned into one generated header per wizard executable.
# The defaults are the shipped download-flavour build.
set(TESSARY_WIZARD_KEY "DLM" CACHE STRING "Wizard key: DLM (download) or ISV (installer)")
option(TESSARY_BT_VARIANT "BT page family" OFF)
option(TESSARY_BT_CLASSIC_OPTIONS "BTClassic option pages and installer arguments" OFF)
option(TESSARY_MAIN_FAILURE_CODE3 "Report a failed main product with event code 3 instead of -1" ON)
set(TESSARY_SERVICE_HOST "localhost" CACHE STRING "Host of the configuration, analytics and file endpoints")
set(TESSARY_COMPANY_HOST "tessary.example" CACHE STRING "Host of the company web site")
set(TESSARY_BRAND "Veloran" CACHE STRING "Brand word sent with requests and events")
set(TESSARY_CLIENT_ID "Veloran_DLM" CACHE STRING "Client identifier")
set(TESSARY_SOURCE_ID "Veloran_3cpp" CACHE STRING "Source identifier")
set(TESSARY_BACKGROUND_COLOR "0x00FAFAFA" CACHE STRING "Background colour (COLORREF)")
set(TESSARY_ACCENT_COLOR "0x00BD7702" CACHE STRING "Band colour (COLORREF)")
set(TESSARY_ISV_PRODUCT_TITLE "Veloran" CACHE STRING "Installer flavour: product title")
foreach(name PRODUCT_URL PRODUCT_FALLBACK_URL PRODUCT_PRIVACY_URL PRODUCT_TERMS_URL PRODUCT_ARGUMENTS
             LAUNCH_TARGET LAUNCH_PARAMETERS)
  set(TESSARY_ISV_${name} "" CACHE STRING "Installer flavour constant")
endforeach()

set(_tessary_constant_names WIZARD_KEY BT_VARIANT BT_CLASSIC_OPTIONS MAIN_FAILURE_CODE3 SERVICE_HOST
    COMPANY_HOST BRAND CLIENT_ID SOURCE_ID BACKGROUND_COLOR ACCENT_COLOR ISV_PRODUCT_TITLE ISV_PRODUCT_URL
    ISV_PRODUCT_FALLBACK_URL ISV_PRODUCT_PRIVACY_URL ISV_PRODUCT_TERMS_URL ISV_PRODUCT_ARGUMENTS
    ISV_LAUNCH_TARGET ISV_LAUNCH_PARAMETERS)

# tessary_build_constants(<target> [NAME value]...): an object library holding the constants of
# one build, the cache values unless overridden ("WIZARD_KEY ISV", "BT_VARIANT 1", ...).
function(tessary_build_constants target)
  foreach(name IN LISTS _tessary_constant_names)
    set(${name} "${TESSARY_${name}}")
  endforeach()
  set(args ${ARGN})
  while(args)
    list(POP_FRONT args name value)
    set(${name} "${value}")
  endwhile()
  foreach(flag BT_VARIANT BT_CLASSIC_OPTIONS MAIN_FAILURE_CODE3)
    if(${flag})
      set(${flag} 1)
    else()
      set(${flag} 0)
    endif()
  endforeach()
  set(SERVICE_HOST "https://${SERVICE_HOST}")
  set(COMPANY_HOST "https://${COMPANY_HOST}")
  set(dir ${CMAKE_BINARY_DIR}/constants/${target})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/tessary_build_constants.h.in ${dir}/tessary_build_constants.h @ONLY)
  add_library(${target} OBJECT ${PROJECT_SOURCE_DIR}/src/config/build_constants.cpp)
  target_include_directories(${target} PRIVATE ${dir})
  target_link_libraries(${target} PRIVATE tessary_options)
endfunction()
