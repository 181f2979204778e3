# cmake/windows.cmake -- what the Windows build links, under the names the folders' CMakeLists use on Linux:
# opengl32 and glu32 (system DLLs), FreeType built static by tools/build-windows.sh, no FLTK. The C and C++
# run-times and winpthread are linked statically, so the programs need only DLLs every Windows has.
set(TOCKWHEEL_FREETYPE_PREFIX "" CACHE PATH "Where tools/build-windows.sh installed the static FreeType")
if(NOT EXISTS "${TOCKWHEEL_FREETYPE_PREFIX}/lib/libfreetype.a")
  message(FATAL_ERROR "No static FreeType under TOCKWHEEL_FREETYPE_PREFIX='${TOCKWHEEL_FREETYPE_PREFIX}': "
                      "build for Windows with tools/build-windows.sh")
endif()

add_library(OpenGL::GL INTERFACE IMPORTED)
set_target_properties(OpenGL::GL PROPERTIES INTERFACE_LINK_LIBRARIES opengl32)
add_library(PkgConfig::GLU INTERFACE IMPORTED)
set_target_properties(PkgConfig::GLU PROPERTIES INTERFACE_LINK_LIBRARIES glu32)
add_library(PkgConfig::FREETYPE INTERFACE IMPORTED)
set_target_properties(PkgConfig::FREETYPE PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${TOCKWHEEL_FREETYPE_PREFIX}/include/freetype2"
  INTERFACE_LINK_LIBRARIES "${TOCKWHEEL_FREETYPE_PREFIX}/lib/libfreetype.a")
add_library(tockwheel_fltk INTERFACE)   # the dialogs are Win32's own there

# min and max stay std::min and std::max.
add_compile_definitions(NOMINMAX)
add_link_options(-static -static-libgcc -static-libstdc++)

# The programs' icon, "MAINICON", compiled by windres.
enable_language(RC)
set(TOCKWHEEL_ICON_RC ${CMAKE_SOURCE_DIR}/resources/tockwheel.rc)
