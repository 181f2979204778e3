# packaging/install.cmake -- `cmake --install`: the programs, their data, the screen-saver host's
# description, the desktop entry, the icon and the manual pages, laid out the way Debian expects.
include(GNUInstallDirs)

install(TARGETS tockwheel setup RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# share/tockwheel is laid out as a Windows directory (fonts/, orvask/), so that a user's own one can be
# filled from it with one copy, and WINDIR may even point at it for a read-only trial.
set(TOCKWHEEL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/tockwheel)
install(FILES ${TOCKWHEEL_FONT_FILE} DESTINATION ${TOCKWHEEL_DATA_DIR}/fonts RENAME Arial.ttf)
install(FILES /usr/share/doc/fonts-liberation2/copyright DESTINATION ${TOCKWHEEL_DATA_DIR}/fonts
        RENAME Arial-licence.txt)
install(FILES ${CMAKE_BINARY_DIR}/tools/prompt/pass.pag ${CMAKE_BINARY_DIR}/tools/prompt/pass2x.pag
        DESTINATION ${TOCKWHEEL_DATA_DIR}/orvask)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tockwheel.xml ${CMAKE_CURRENT_LIST_DIR}/tockwheel.svg
        DESTINATION ${TOCKWHEEL_DATA_DIR})

install(FILES ${CMAKE_CURRENT_LIST_DIR}/tockwheel.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tockwheel.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tockwheel-settings.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tockwheel.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/setup.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
