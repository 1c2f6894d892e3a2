# cmake --install: the shared library and its header, the ostrel program, the bundled
# figures and the documentation in the GNU layout, with the files that find_package(Ostrel)
# and pkg-config read. Every installed file finds the others relative to itself, so an
# installed tree can be moved or packed (scripts/package.sh). Components: Runtime (what a
# host ships or runs), Development (what it builds against) and Documentation.
include(CMakePackageConfigHelpers)

set(ostrel_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Ostrel)
set(ostrel_figures_dir ${CMAKE_INSTALL_DATADIR}/ostrel/figures)

install(TARGETS Ostrel EXPORT OstrelTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime
          NAMELINK_COMPONENT Development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development)
install(FILES include/ostrel/ostrel.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/ostrel
        COMPONENT Development)
if(WIN32)
  install(FILES $<TARGET_FILE_DIR:Ostrel>/Ostrel.def DESTINATION ${CMAKE_INSTALL_LIBDIR}
          COMPONENT Development)
else()
  # The hosts' event source exists on portable builds only.
  install(FILES include/ostrel/platform.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/ostrel
          COMPONENT Development)
endif()

if(TARGET ostrel)
  file(RELATIVE_PATH ostrel_bin_to_lib /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_LIBDIR})
  set_target_properties(ostrel PROPERTIES INSTALL_RPATH "$ORIGIN/${ostrel_bin_to_lib}")
  install(TARGETS ostrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)
endif()
install(DIRECTORY figures/ DESTINATION ${ostrel_figures_dir} COMPONENT Runtime
        FILES_MATCHING PATTERN "*.xml")
install(FILES README.md CHANGELOG.md DESTINATION ${CMAKE_INSTALL_DOCDIR}
        COMPONENT Documentation)
install(DIRECTORY docs DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT Documentation)

# find_package(Ostrel): the imported target Ostrel::Ostrel, and Ostrel_FIGURES_DIR. A 0.x
# host takes any later 0.y: the binary interface holds within a major version.
install(EXPORT OstrelTargets NAMESPACE Ostrel:: DESTINATION ${ostrel_cmake_dir}
        COMPONENT Development)
configure_package_config_file(cmake/OstrelConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/OstrelConfig.cmake
  INSTALL_DESTINATION ${ostrel_cmake_dir} PATH_VARS ostrel_figures_dir)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/OstrelConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/OstrelConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/OstrelConfigVersion.cmake
        DESTINATION ${ostrel_cmake_dir} COMPONENT Development)

# pkg-config: the prefix is found from the .pc file's own folder.
file(RELATIVE_PATH ostrel_pc_to_prefix /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" ostrel_pc_to_prefix "${ostrel_pc_to_prefix}")
configure_file(cmake/ostrel.pc.in ${CMAKE_CURRENT_BINARY_DIR}/ostrel.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/ostrel.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
        COMPONENT Development)
