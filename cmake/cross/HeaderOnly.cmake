# Debian's header-only libraries live in /usr/include beside glibc's headers,
# which must never reach the MinGW compiler. The cross build sees each library
# through a folder of its own in the build tree that holds only a link to the
# library's headers.
function(moxtrel_cross_header_only target headerFolder)
  if(TARGET ${target})
    return()
  endif()
  set(include ${CMAKE_BINARY_DIR}/cross-include/${headerFolder})
  file(MAKE_DIRECTORY ${include})
  file(CREATE_LINK /usr/include/${headerFolder} ${include}/${headerFolder} SYMBOLIC)
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${include})
endfunction()
