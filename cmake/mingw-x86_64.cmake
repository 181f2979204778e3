# cmake/mingw-x86_64.cmake -- Windows programs for x86_64 from Debian's mingw-w64 cross compilers.
set(TOCKWHEEL_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
