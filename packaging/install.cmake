# packaging/install.cmake -- `cmake --install`: the programs, their data and distribution disk, the screen-saver host's
# description and display-mode link, the desktop entry, the icon, the metainfo and the manual pages,
# laid out the way Debian expects. packaging/package.cmake makes a Debian package of the same tree.
include(GNUInstallDirs)

set(TOCKWHEEL_PACKAGE_MAINTAINER "Tockwheel developers <tockwheel@example.org>"
    CACHE STRING "Maintainer named in the Debian package and its changelog")

# Manual pages and the Debian changelog go in compressed; `gzip -n` keeps the build time out of them.
set(packaging_out ${CMAKE_BINARY_DIR}/packaging)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${packaging_out}/changelog.Debian @ONLY)
set(compressed "")
foreach(source IN ITEMS ${CMAKE_CURRENT_LIST_DIR}/tockwheel.6 ${CMAKE_CURRENT_LIST_DIR}/tockwheel-setup.1
                        ${CMAKE_CURRENT_LIST_DIR}/tockwheel-add-to-xscreensaver.1 ${packaging_out}/changelog.Debian)
  get_filename_component(name ${source} NAME)
  add_custom_command(OUTPUT ${packaging_out}/${name}.gz
    COMMAND gzip -9 -n -c ${source} > ${packaging_out}/${name}.gz
    DEPENDS ${source} VERBATIM)
  list(APPEND compressed ${packaging_out}/${name}.gz)
endforeach()
add_custom_target(packaging_files ALL DEPENDS ${compressed})

install(TARGETS tockwheel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Installed as tockwheel-setup: "setup" alone would clash with other programs in the PATH.
install(PROGRAMS $<TARGET_FILE:setup> DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME tockwheel-setup)
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_STRIP}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tockwheel-setup\")
endif()")
install(PROGRAMS ${CMAKE_CURRENT_LIST_DIR}/tockwheel-add-to-xscreensaver DESTINATION ${CMAKE_INSTALL_BINDIR})

# share/tockwheel is laid out as a Windows directory (fonts/, orvask/): the saver reads from it what
# the user's own Windows directory lacks. The font is a link to Liberation Sans, made at install time.
set(TOCKWHEEL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/tockwheel)
install(FILES ${CMAKE_BINARY_DIR}/tools/prompt/pass.pag ${CMAKE_BINARY_DIR}/tools/prompt/pass2x.pag
        DESTINATION ${TOCKWHEEL_DATA_DIR}/orvask)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tockwheel.xml ${CMAKE_CURRENT_LIST_DIR}/tockwheel.svg
        DESTINATION ${TOCKWHEEL_DATA_DIR})
# The distribution disk without the programs (they are in bin/ already), for tockwheel-setup started
# where no disk is: it lays out a user's Windows directory from there, and places setup.wri and
# support.txt, which its messages name.
# It carries no font: the saver reads the installation's own (links.cmake) when a Windows directory lacks one.
install(DIRECTORY ${CMAKE_BINARY_DIR}/disk-installed/ DESTINATION ${TOCKWHEEL_DATA_DIR}/disk)
set(TOCKWHEEL_XSCREENSAVER_DIR ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)
configure_file(${CMAKE_CURRENT_LIST_DIR}/links.cmake.in ${packaging_out}/links.cmake @ONLY)
install(SCRIPT ${packaging_out}/links.cmake)

install(FILES ${CMAKE_CURRENT_LIST_DIR}/tockwheel.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tockwheel.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tockwheel-settings.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tockwheel.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${packaging_out}/tockwheel.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${packaging_out}/tockwheel-setup.1.gz ${packaging_out}/tockwheel-add-to-xscreensaver.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/tockwheel)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${doc_dir})
install(FILES ${packaging_out}/changelog.Debian.gz DESTINATION ${doc_dir})
