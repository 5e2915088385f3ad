# The layers (README, "Layers") as the build sees them.
#
# Each source folder is two libraries: tintpick_<folder>_core, its
# display-free files (plain C++, no Qt), and tintpick_<folder>_ui, its widgets
# and Qt code on top of that core. A folder links only the folders below it,
# and its headers are reachable only through an include root that holds that
# one folder. So "colour/ColorTypes.h" is found from colour/ and everything
# above it, while an include from a folder above or beside fails to compile
# ("fatal error: app/mainRGB.h: No such file or directory"), and a display-free
# file that includes a Qt header fails as well. scripts/check_layers.sh
# catches what the compiler cannot: an include written with "../", which the
# compiler resolves beside the including file.

# Where the symbolic links of the include roots cannot be made (Windows
# without the right to make them), every folder falls back to the source
# root: it builds, but the layers are then checked only by the script and by
# the Linux build.
function(_tintpick_layer_root dir out)
  set(root ${CMAKE_BINARY_DIR}/layers/${dir})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${dir} ${root}/${dir} RESULT made SYMBOLIC)
  if(made STREQUAL "0")
    set(${out} ${root} PARENT_SCOPE)
  else()
    message(WARNING "cannot link ${root}/${dir} (${made}): ${dir}/ is included from the source "
                    "root, and the build does not enforce its layer")
    set(${out} ${CMAKE_SOURCE_DIR} PARENT_SCOPE)
  endif()
endfunction()

# A library of the given files; one without a source file is an interface
# library (headers only, or nothing of this kind in the folder). Sets
# <name>_scope in the caller to the keyword its usage requirements take.
function(_tintpick_layer_library name files)
  set(sources ${files})
  list(FILTER sources INCLUDE REGEX "\\.cpp$")
  if(sources)
    add_library(${name} STATIC ${files})
    set(${name}_scope PUBLIC PARENT_SCOPE)
  else()
    add_library(${name} INTERFACE)
    set(${name}_scope INTERFACE PARENT_SCOPE)
  endif()
endfunction()

# tintpick_layer(<folder> [BELOW <folder>...] [CORE <file>...] [UI <file>...])
#
# Called from the folder's own CMakeLists.txt. BELOW names the folders of the
# level right under this one (they bring their own lower levels with them).
# UI files are left out of a TINTPICK_CORE_ONLY build.
function(tintpick_layer dir)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "BELOW;CORE;UI")
  set(core tintpick_${dir}_core)
  set(ui tintpick_${dir}_ui)
  _tintpick_layer_root(${dir} root)

  _tintpick_layer_library(${core} "${arg_CORE}")
  target_include_directories(${core} ${${core}_scope} ${root})
  foreach(below IN LISTS arg_BELOW)
    target_link_libraries(${core} ${${core}_scope} tintpick_${below}_core)
  endforeach()
  if(${core}_scope STREQUAL "PUBLIC")
    set_target_properties(${core} PROPERTIES AUTOMOC OFF AUTORCC OFF)
  endif()
  set_property(GLOBAL APPEND PROPERTY TINTPICK_CORE_LIBRARIES ${core})
  if(TINTPICK_CORE_ONLY)
    return()
  endif()

  _tintpick_layer_library(${ui} "${arg_UI}")
  target_link_libraries(${ui} ${${ui}_scope} ${core} Qt6::Widgets)
  foreach(below IN LISTS arg_BELOW)
    target_link_libraries(${ui} ${${ui}_scope} tintpick_${below}_ui)
  endforeach()
  set_property(GLOBAL APPEND PROPERTY TINTPICK_UI_LIBRARIES ${ui})
endfunction()
