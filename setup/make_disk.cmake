# setup/make_disk.cmake -- lays out a distribution disk and writes its install script with the true byte count.
#
# cmake -DDISK_DIR=... -DLAYOUT=single|split|installed -DSETUP_PROGRAM=... [-DSAVER_PROGRAM=... [-DSAVER_NAME=...]]
#       -DPROMPT_DIR=... [-DFONT_FILE=... -DLICENCE_FILE=...] -DDOCS_DIR=... [-DREADME_FILE=...] -P make_disk.cmake
# SAVER_NAME: the saver's name on the disk and below Windows ("tockwheel"; "tockwheel.scr" on Windows).
# README_FILE: put on the first disk as readme.txt, not installed.
# single: everything on DISK_DIR. split: DISK_DIR/disk1 holds setup, its script and the first files,
# DISK_DIR/disk1/disk2 the rest; the script asks for disk 2 before its first file and names that disk's
# files through "disk2\\": the installer reads sources from inside the folder it started in only, so
# the second disk's folder lies inside the first. installed: the disk that `cmake --install` and the
# package carry, for tockwheel-setup run where no disk is: everything but the two programs, which the
# installation has put in its bin/ already.

set(product "Tockwheel")

# Each file: disk number, its name on the disk, the file it comes from, its destination below Windows.
set(files "")
if(NOT SAVER_NAME)
  set(SAVER_NAME "tockwheel")
endif()
if(SAVER_PROGRAM AND NOT LAYOUT STREQUAL "installed")
  list(APPEND files "1|${SAVER_NAME}|${SAVER_PROGRAM}|\\${SAVER_NAME}")
endif()
list(APPEND files
  "1|setup.wri|${DOCS_DIR}/setup.wri|\\setup.wri"
  "1|support.txt|${DOCS_DIR}/support.txt|\\support.txt"
  "1|pass.pag|${PROMPT_DIR}/pass.pag|\\orvask\\pass.pag"
  "2|pass2x.pag|${PROMPT_DIR}/pass2x.pag|\\orvask\\pass2x.pag")
# The installation reads its font from the system's own copy (a link in share/tockwheel/fonts): the
# installed disk carries none, since a link leading off a disk is no source the installer takes. Without
# FONT_FILE (the Windows disk: Windows has its own Arial, which not even an administrator may replace)
# no disk carries one.
if(FONT_FILE AND NOT LAYOUT STREQUAL "installed")
  list(APPEND files
    "2|fonts/Arial.ttf|${FONT_FILE}|\\fonts\\Arial.ttf"
    "2|fonts/Arial-licence.txt|${LICENCE_FILE}|\\fonts\\Arial-licence.txt")
endif()

if(LAYOUT STREQUAL "split")
  set(line_end "\r\n")
  set(first_disk "${DISK_DIR}/disk1")
else()
  set(line_end "\n")
  set(first_disk "${DISK_DIR}")
endif()

file(REMOVE_RECURSE "${DISK_DIR}")
file(MAKE_DIRECTORY "${first_disk}")
if(NOT LAYOUT STREQUAL "installed")
  file(COPY "${SETUP_PROGRAM}" DESTINATION "${first_disk}")
endif()
if(README_FILE)
  configure_file("${README_FILE}" "${first_disk}/readme.txt" COPYONLY)
endif()

set(total 0)
set(records "%D\\orvask${line_end}%D\\fonts${line_end}")
set(prompted FALSE)
foreach(entry IN LISTS files)
  string(REPLACE "|" ";" fields "${entry}")
  list(GET fields 0 disk)
  list(GET fields 1 name)
  list(GET fields 2 from)
  list(GET fields 3 destination)
  set(target_dir "${first_disk}")
  set(source_name "${name}")
  if(LAYOUT STREQUAL "split" AND disk STREQUAL "2")
    set(target_dir "${first_disk}/disk2")
    set(source_name "disk2/${name}")
    if(NOT prompted)
      string(APPEND records "%C2${line_end}")
      set(prompted TRUE)
    endif()
  endif()
  get_filename_component(name_dir "${target_dir}/${name}" DIRECTORY)
  get_filename_component(base "${target_dir}/${name}" NAME)
  file(MAKE_DIRECTORY "${name_dir}")
  configure_file("${from}" "${name_dir}/${base}" COPYONLY)
  file(SIZE "${from}" size)
  math(EXPR total "${total} + ${size}")
  string(REPLACE "/" "\\" source_name "${source_name}")
  string(APPEND records "%R${source_name}${line_end}%W${destination}${line_end}")
endforeach()

file(WRITE "${first_disk}/setup.xdt" "${product}${line_end}${total}${line_end}${records}")
