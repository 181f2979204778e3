# cmake/mingw-i686.cmake -- Windows programs for i686 from Debian's mingw-w64 cross compilers.
set(TOCKWHEEL_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
