# The package in its two editions, each built from the same sources against host runtime
# libraries of its own generation, also built from the same host sources:
#   editions/libvcl<G>.so     sysutils, classes, graphics, vector, controls, dialogs, designer
#   editions/libvcldb<G>.so   db
#   editions/Lumivex<G>.so    the package: engine and components (unit Barcode), BCModal,
#                             BarcodeReg and the main unit Lumivex, with its information
#   editions/lumivex-host<G>  a host of that generation, which loads packages
# Everything of one generation is compiled with LUMIVEX_VCL_GENERATION=<G>.

set(LUMIVEX_EDITIONS_DIR ${PROJECT_BINARY_DIR}/editions)

function(lumivex_unit_sources out)
  set(sources "")
  set(private "")
  foreach(unit ${ARGN})
    get_property(s GLOBAL PROPERTY LUMIVEX_SOURCES_${unit})
    get_property(p GLOBAL PROPERTY LUMIVEX_PRIVATE_${unit})
    list(APPEND sources ${s})
    list(APPEND private ${p})
  endforeach()
  set(${out}_SOURCES ${sources} PARENT_SCOPE)
  set(${out}_PRIVATE ${private} PARENT_SCOPE)
endfunction()

function(lumivex_edition_target target)
  set_target_properties(${target} PROPERTIES
    LIBRARY_OUTPUT_DIRECTORY ${LUMIVEX_EDITIONS_DIR}
    RUNTIME_OUTPUT_DIRECTORY ${LUMIVEX_EDITIONS_DIR}
    POSITION_INDEPENDENT_CODE ON
    # Built and installed alike, everything of an edition stands in one folder and finds the
    # rest beside itself; no build-tree path (nor CMake's padding, which the loader would read
    # as the current directory) goes into the files.
    BUILD_WITH_INSTALL_RPATH ON
    INSTALL_RPATH "$ORIGIN")
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/include)
  target_compile_features(${target} PRIVATE cxx_std_20)
  lumivex_warnings(${target})
endfunction()

# lumivex_add_edition(<generation> DESCRIPTION <text> USAGE <design,run | design>
#                     LAYOUT <preview layout> [PALETTE])
function(lumivex_add_edition gen)
  cmake_parse_arguments(ARG "PALETTE" "DESCRIPTION;USAGE;LAYOUT" "" ${ARGN})
  set(vcl vcl${gen})
  set(vcldb vcldb${gen})
  set(package Lumivex${gen})

  lumivex_unit_sources(host sysutils classes graphics vector controls dialogs designer)
  add_library(${vcl} SHARED ${host_SOURCES})
  target_link_libraries(${vcl} PRIVATE ${host_PRIVATE})
  target_compile_definitions(${vcl} PUBLIC LUMIVEX_VCL_GENERATION=${gen})
  lumivex_edition_target(${vcl})

  lumivex_unit_sources(db db)
  add_library(${vcldb} SHARED ${db_SOURCES})
  target_link_libraries(${vcldb} PUBLIC ${vcl} PRIVATE ${db_PRIVATE})
  lumivex_edition_target(${vcldb})

  lumivex_unit_sources(barcode engine components)
  add_library(${package} MODULE ${barcode_SOURCES} ${PROJECT_SOURCE_DIR}/preview/BCModal.cpp
    ${PROJECT_SOURCE_DIR}/design/BarcodeReg.cpp ${PROJECT_SOURCE_DIR}/package/Lumivex.cpp)
  set_target_properties(${package} PROPERTIES PREFIX "" OUTPUT_NAME ${package})
  target_link_libraries(${package} PRIVATE ${vcl} ${vcldb} ${barcode_PRIVATE})
  lumivex_edition_target(${package})
  lumivex_add_resources(${package} SYMBOL lumivex::BCModalResources${gen} MODULE ${package}
    RCDATA TFBCMODAL ${ARG_LAYOUT})
  if(ARG_PALETTE)
    lumivex_add_resources(${package} SYMBOL lumivex::PaletteResources MODULE ${package}
      BITMAP TBARCODE ${PROJECT_SOURCE_DIR}/design/TBARCODE.bmp
      BITMAP TBARCODEBMP ${PROJECT_SOURCE_DIR}/design/TBARCODEBMP.bmp
      BITMAP TDBBARCODEBMP ${PROJECT_SOURCE_DIR}/design/TDBBARCODEBMP.bmp)
    target_compile_definitions(${package} PRIVATE LUMIVEX_PALETTE_BITMAPS=1)
  endif()
  set(info ${CMAKE_CURRENT_BINARY_DIR}/${package}Info.cpp)
  add_custom_command(OUTPUT ${info}
    COMMAND lumivex-res -o ${info} --package "${ARG_DESCRIPTION}" --usage ${ARG_USAGE}
      --requires ${vcl},${vcldb} --contains "Lumivex,Barcode,BarcodeReg*,BCModal"
    DEPENDS lumivex-res
    COMMENT "Writing the package information of ${package}"
    VERBATIM)
  target_sources(${package} PRIVATE ${info})

  add_executable(lumivex-host${gen} ${PROJECT_SOURCE_DIR}/tools/lumivex-host/main.cpp)
  target_link_libraries(lumivex-host${gen} PRIVATE ${vcl} ${vcldb})
  lumivex_edition_target(lumivex-host${gen})
endfunction()

# Installed, an edition's files stay together (the libraries find each other beside themselves)
# in <libdir>/lumivex, where lumivex package register looks for the host programs.
function(lumivex_install_edition gen)
  if(LUMIVEX_INSTALL)
    install(TARGETS vcl${gen} vcldb${gen} Lumivex${gen} lumivex-host${gen}
      LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/lumivex
      RUNTIME DESTINATION ${CMAKE_INSTALL_LIBDIR}/lumivex)
  endif()
endfunction()
