# The folders are layers, each one static library that links only the layers
# below it:
#
#   app/ ui/ widgets/ res/    the windows (moxtrel_gui), and the program
#   cli/                      moxtrel-cli's commands (moxtrel_cli_commands)
#   extract/ locate/ preview/ the file work: the run, the scan, the contact sheet
#   game/                     what a game kind means, where its archives lie
#   formats/                  layouts and readers of PAK, BSP, miptex, WAD2, palette
#   platform/                 files, crash-safe replacement, drives, registry, sinks
#
# A library's include path holds its own folder and nothing else: the folder
# is reached through a directory of the build that holds only a link to it.
# The folders of the layers it links come with them (PUBLIC where a header of
# the library includes theirs), so a file that includes a header of a layer
# above it, or of one its library does not link, fails to compile.

set(MOXTREL_LAYER_INCLUDE_ROOT ${CMAKE_BINARY_DIR}/layers)

# The include directory that shows `folder` (a folder of the source tree) and
# nothing else.
function(moxtrel_folder_include_dir folder out)
  set(dir ${MOXTREL_LAYER_INCLUDE_ROOT}/${folder})
  # Made afresh at each configuration, so it follows the source tree if that moves.
  file(REMOVE ${dir}/${folder})
  file(MAKE_DIRECTORY ${dir})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${dir}/${folder} SYMBOLIC)
  set(${out} ${dir} PARENT_SCOPE)
endfunction()

# A static library for the layer in `folder`; its folder's CMakeLists adds the
# sources and links the layers below.
function(moxtrel_add_layer target folder)
  add_library(${target} STATIC)
  moxtrel_folder_include_dir(${folder} dir)
  target_include_directories(${target} PUBLIC ${dir})
  target_link_libraries(${target} PRIVATE moxtrel_warnings)
endfunction()
