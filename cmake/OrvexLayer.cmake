# orvex_layer(NAME SOURCES file... [USES lower layer...] [QT_PUBLIC ...] [QT_PRIVATE ...])
#
# One folder of the program is one layer: a static library of the folder's files, linked
# with the lower layers it may use (USES) and nothing else. So that a call across a
# forbidden arrow fails the normal build, the same objects are also linked into a shared
# library that may leave no symbol undefined and sees only the USES layers (NAME_alone):
# a call into any other folder is then an undefined reference. The fuzz build leaves
# that out, since its sanitizer runtime is linked into programs only.
function(orvex_layer name)
  cmake_parse_arguments(layer "" "" "SOURCES;USES;QT_PUBLIC;QT_PRIVATE" ${ARGN})
  add_library(${name} STATIC ${layer_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${layer_USES} ${layer_QT_PUBLIC} PRIVATE ${layer_QT_PRIVATE})
  if(NOT ORVEX_FUZZ)
    list(TRANSFORM layer_USES APPEND _alone OUTPUT_VARIABLE uses_alone)
    add_library(${name}_alone SHARED $<TARGET_OBJECTS:${name}>)
    target_link_libraries(${name}_alone PRIVATE ${uses_alone} ${layer_QT_PUBLIC}
                                                ${layer_QT_PRIVATE})
    target_link_options(${name}_alone PRIVATE -Wl,--no-undefined)
  endif()
endfunction()
