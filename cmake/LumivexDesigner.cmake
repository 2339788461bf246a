# The form designer belongs to edition 40: it loads Lumivex40.so, which links libvcl40.so, so it
# must run on those very host libraries and not on a static copy of its own (the class registry
# and the palette would be duplicated, and the package's registrations would land in the other
# copy). Its widgetset is therefore built again from host/qt's sources into libvclqt40.so, and
# the program reaches the components only through the package it loads and the class registry.
#   editions/libvclqt40.so       the Qt widgetset of generation 40
#   editions/lumivex-designer    the form designer
find_package(Qt6 REQUIRED COMPONENTS Widgets)

lumivex_unit_sources(qt qt)
add_library(vclqt40 SHARED ${qt_SOURCES})
target_link_libraries(vclqt40 PUBLIC vcl40 PRIVATE ${qt_PRIVATE})
lumivex_edition_target(vclqt40)

# The designer's own code in one library, shared by the program and its tests.
set(designer_dir ${PROJECT_SOURCE_DIR}/tools/lumivex-designer)
add_library(lumivex_designer_app STATIC
  ${designer_dir}/Document.cpp
  ${designer_dir}/Inspector.cpp
  ${designer_dir}/MainWindow.cpp
  ${designer_dir}/Surface.cpp)
target_link_libraries(lumivex_designer_app PUBLIC vcl40 vcldb40 vclqt40 Qt6::Widgets)
lumivex_edition_target(lumivex_designer_app)
target_include_directories(lumivex_designer_app PUBLIC ${PROJECT_SOURCE_DIR}
  ${PROJECT_BINARY_DIR}/include)

add_executable(lumivex-designer ${designer_dir}/main.cpp)
target_link_libraries(lumivex-designer PRIVATE lumivex_designer_app)
lumivex_edition_target(lumivex-designer)

# Installed beside edition 40, whose libraries and package it finds beside itself.
if(LUMIVEX_INSTALL)
  install(TARGETS vclqt40 lumivex-designer
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/lumivex
    RUNTIME DESTINATION ${CMAKE_INSTALL_LIBDIR}/lumivex)
endif()
