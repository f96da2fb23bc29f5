# ukhabitsa, the program a player starts: the game library on FLTK, its GL view and sound,
# with the asset files made beside it; installed with a desktop entry.
target_link_libraries(ukh_game PUBLIC ukh_render)

add_executable(ukhabitsa ${CMAKE_CURRENT_LIST_DIR}/Main.cpp)
target_link_libraries(ukhabitsa PRIVATE ukh_game ukh_platform_fltkgl ukh_platform_fltk)
target_compile_options(ukhabitsa PRIVATE ${UKH_WARNINGS})
add_dependencies(ukhabitsa ukh_assets)

include(GNUInstallDirs)
install(TARGETS ukhabitsa RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The game reads its files beside the executable; the entry starts it there as well. The
# entry names the prefix given at install time (cmake --install --prefix), so it is written
# then.
install(CODE "
  set(bindir \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  configure_file(\"${CMAKE_CURRENT_LIST_DIR}/ukhabitsa.desktop.in\"
                 \"${CMAKE_CURRENT_BINARY_DIR}/ukhabitsa.desktop\" @ONLY)
")
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/ukhabitsa.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
