# One library target per folder of src/, each seeing only the headers of the folders it links.
#
# Every source includes headers by their folder ("model/editing_model.h"). Instead of one include
# root for all of src/, each folder gets a root of its own in the build tree that holds only that
# folder, and a target gets the roots of itself and of what it links. An include of a folder the
# target does not link is then not found: the levels of src/README.md are kept by the build.

set(KOMA_WARNINGS -Wall -Wextra)

# koma_folder_library(TARGET FOLDER SOURCES ... [PUBLIC ...] [PRIVATE ...])
# SOURCES are relative to FOLDER. Several targets may share a folder (a subsystem and its windows).
function(koma_folder_library target folder)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
  list(TRANSFORM ARG_SOURCES PREPEND "${KOMA_SOURCE_ROOT}/${folder}/")
  add_library(${target} STATIC ${ARG_SOURCES})
  set(root "${CMAKE_BINARY_DIR}/include_roots/${folder}")
  if(NOT EXISTS "${root}/${folder}")
    file(MAKE_DIRECTORY "${root}")
    file(CREATE_LINK "${KOMA_SOURCE_ROOT}/${folder}" "${root}/${folder}" SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC "${root}")
  target_link_libraries(${target} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
  target_compile_options(${target} PRIVATE ${KOMA_WARNINGS})
endfunction()
