# Fails when a file under SOURCE_DIR includes a folder above its own floor.
# The floors, lowest first:
#   platform            platform/ (free of Qt)
#   platform-qt         platform/qt/
#   imagelib            imagelib/, codecs/, filters/ (free of Qt)
#   imagelib-qt         imagelib's *_qt files, imagelib/twain/
#   view                imagelib/view/
#   controls            controls/
#   app-common          app/common/: rules and small widgets every window uses
#   app-feature         app/<feature>/: one feature's windows; may use another
#   app-viewer          app/viewer/: the main window and the wiring of every feature
# A file may include its own floor and those below it; features may include
# one another, but never app/viewer/.
# Run: cmake -DSOURCE_DIR=<src> -P include_floors.cmake

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR is not set")
endif()

set(FLOORS platform platform-qt imagelib imagelib-qt view controls app-common app-feature app-viewer)

function(floor_of path out)
  if(path MATCHES "^platform/qt/")
    set(floor platform-qt)
  elseif(path MATCHES "^platform/")
    set(floor platform)
  elseif(path MATCHES "^imagelib/view/")
    set(floor view)
  elseif(path MATCHES "^imagelib/twain/" OR path MATCHES "^imagelib/.*_qt\\.(h|cpp)$")
    set(floor imagelib-qt)
  elseif(path MATCHES "^imagelib/")
    set(floor imagelib)
  elseif(path MATCHES "^controls/")
    set(floor controls)
  elseif(path MATCHES "^app/common/")
    set(floor app-common)
  elseif(path MATCHES "^app/viewer/")
    set(floor app-viewer)
  elseif(path MATCHES "^app/[a-z_]+/")
    set(floor app-feature)
  else()
    set(floor "")
  endif()
  set(${out} ${floor} PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
list(SORT files)
set(faults 0)
foreach(file IN LISTS files)
  floor_of(${file} own)
  if(NOT own)
    continue()
  endif()
  list(FIND FLOORS ${own} own_level)
  file(STRINGS ${SOURCE_DIR}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*$" "\\1" target "${line}")
    floor_of(${target} floor)
    if(NOT floor)
      continue()
    endif()
    list(FIND FLOORS ${floor} level)
    set(allowed TRUE)
    if(level GREATER own_level)
      set(allowed FALSE)
    endif()
    # The Qt-free floors stay free of their Qt neighbours below them too.
    if((own STREQUAL "platform" AND floor STREQUAL "platform-qt") OR
       (own STREQUAL "imagelib" AND floor MATCHES "^(platform-qt|imagelib-qt)$"))
      set(allowed FALSE)
    endif()
    if(NOT allowed)
      message(SEND_ERROR "${file}: includes \"${target}\": ${own} may not use ${floor}")
      math(EXPR faults "${faults} + 1")
    endif()
  endforeach()
endforeach()

list(LENGTH files count)
if(faults GREATER 0)
  message(FATAL_ERROR "${faults} include(s) above their floor")
endif()
message(STATUS "${count} files, every include on or below its floor")
