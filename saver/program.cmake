# saver/program.cmake -- the `tockwheel` program, assembled from the libraries of every folder.
if(TARGET display AND TARGET text AND TARGET saver_core)
  if(WIN32)
    # A screen saver is a GUI program named .scr, with its icon as the resource "MAINICON".
    add_executable(tockwheel WIN32 ${CMAKE_SOURCE_DIR}/saver/main.cpp ${CMAKE_SOURCE_DIR}/saver/saver_main.cpp
                   ${TOCKWHEEL_ICON_RC})
    set_target_properties(tockwheel PROPERTIES SUFFIX ".scr" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  else()
    add_executable(tockwheel ${CMAKE_SOURCE_DIR}/saver/main.cpp ${CMAKE_SOURCE_DIR}/saver/saver_main.cpp)
    set_target_properties(tockwheel PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/saver)
  endif()
  target_link_libraries(tockwheel PRIVATE saver_startup saver_core config display text platform)
  target_link_libraries(tockwheel PRIVATE config_dialogs)
endif()
