# tests/windows.cmake -- the Windows build's test programs: those that need no X11, SDL, FLTK, EGL or
# libpng, cross-built and run by ctest through CMAKE_CROSSCOMPILING_EMULATOR (wine). One ctest entry per
# program: each start of a program under Wine costs more than its cases.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)   # Debian's googletest sources
target_compile_options(gtest PRIVATE -Wno-error)
target_compile_options(gtest_main PRIVATE -Wno-error)
find_package(Threads REQUIRED)

# Paths the tests open, as Windows programs under Wine see this machine's files (drive Z: is /).
set(TOCKWHEEL_TEST_ROOT "Z:")

function(tockwheel_windows_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ARGS" ${ARGN})
  list(TRANSFORM T_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/tests/)
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  target_compile_options(${name} PRIVATE -include ${CMAKE_SOURCE_DIR}/tests/support/win32_compat.h)
  target_compile_definitions(${name} PRIVATE
    TOCKWHEEL_SOURCE_DIR="${TOCKWHEEL_TEST_ROOT}${CMAKE_SOURCE_DIR}"
    TOCKWHEEL_BINARY_DIR="${TOCKWHEEL_TEST_ROOT}${CMAKE_BINARY_DIR}"
    TOCKWHEEL_FONT_FILE="${TOCKWHEEL_TEST_ROOT}${TOCKWHEEL_FONT_FILE}")
  add_test(NAME ${name} COMMAND ${name} ${T_ARGS})
  set_tests_properties(${name} PROPERTIES TIMEOUT 120 ENVIRONMENT "WINEDEBUG=-all")
endfunction()

tockwheel_windows_test(test_platform SOURCES platform/random_test.cpp platform/command_line_test.cpp
                       platform/calendar_test.cpp LIBS platform)
tockwheel_windows_test(test_settings SOURCES config/settings_file_test.cpp LIBS config)
tockwheel_windows_test(test_saver
  SOURCES saver/fake_display.cpp saver/clock_scene_test.cpp saver/color_schemes_test.cpp saver/movement_test.cpp
          saver/color_cycling_test.cpp saver/star_field_test.cpp saver/input_test.cpp saver/frame_loop_test.cpp
  LIBS saver_core)
tockwheel_windows_test(test_text_vectorizer SOURCES text/vectorizer_test.cpp LIBS text)
tockwheel_windows_test(test_text_polygonizer SOURCES text/polygonizer_test.cpp LIBS text)
tockwheel_windows_test(test_text_font_face SOURCES text/font_face_test.cpp LIBS text)
tockwheel_windows_test(test_ui
  SOURCES ui/script_parse_test.cpp ui/scripted_dialog_test.cpp ui/scripted_window_test.cpp ui/message_box_test.cpp
          ui/templates_test.cpp ui/win32_template_test.cpp
  LIBS resources platform
  # Windows always has a desktop to show a dialog on: "no display" is a Linux case.
  ARGS --gtest_filter=-NoOneToAnswer.WithoutADisplay*)

# Each template as a native dialog, every control read back from its window (needs an X server for Wine).
add_executable(win32_probe ${CMAKE_SOURCE_DIR}/tests/ui/win32_probe.cpp)
target_link_libraries(win32_probe PRIVATE resources platform)
foreach(dialog DIALOG_1 DIALOG_2 PATH DLG)
  add_test(NAME win32_dialog_places_${dialog} COMMAND win32_probe ${dialog})
  set_tests_properties(win32_dialog_places_${dialog} PROPERTIES TIMEOUT 60 ENVIRONMENT "WINEDEBUG=-all")
endforeach()
# The password dialog's fields between the UTF-8 model and the native UTF-16 controls.
add_test(NAME win32_dialog_text_DIALOG_2 COMMAND win32_probe DIALOG_2 text)
set_tests_properties(win32_dialog_text_DIALOG_2 PROPERTIES TIMEOUT 60 ENVIRONMENT "WINEDEBUG=-all")

tockwheel_windows_test(test_platform_win32 SOURCES win32/platform_win32_test.cpp LIBS platform)
tockwheel_windows_test(test_display_win32 SOURCES win32/display_win32_test.cpp LIBS display)
# A stand-in for the control panel's preview, for the whole-program checks of "/p HWND".
add_executable(preview_host ${CMAKE_SOURCE_DIR}/tests/win32/preview_host.cpp)
target_link_libraries(preview_host PRIVATE gdi32 user32)
# The installer's script reader and its choice of script by the GetVersion value (the log and copy engine
# tests make POSIX folders and limits; the Windows file layer is checked by tests/setup/wine_setup_test.sh).
tockwheel_windows_test(test_setup_engine SOURCES setup/install_script_test.cpp LIBS setup_engine)
