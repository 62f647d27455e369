# vantrel_layer(NAME DIRS <folders> [EXCLUDE <file names>] [DEPS <layers>])
#
# Makes the static library vantrel_NAME from the .cpp files of the folders
# (not their subfolders), linked to the libraries of DEPS. Its include root
# ${CMAKE_BINARY_DIR}/layers/NAME holds links to its own folders and to those
# of every layer below it, and nothing else: an include of a higher layer's
# header does not compile.
set(VANTREL_LAYER_ROOT ${CMAKE_BINARY_DIR}/layers)

function(vantrel_layer name)
  cmake_parse_arguments(L "" "" "DIRS;EXCLUDE;DEPS" ${ARGN})
  set(sources "")
  foreach(dir ${L_DIRS})
    file(GLOB dir_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp
         ${CMAKE_SOURCE_DIR}/${dir}/*.h)
    list(APPEND sources ${dir_sources})
  endforeach()
  # The platform seam's twins: name_posix.cpp is built on POSIX systems,
  # name_win32.cpp (and the Windows-only headers name_win32.h) on Windows.
  if(WIN32)
    list(FILTER sources EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER sources EXCLUDE REGEX "_win32\\.(cpp|h)$")
  endif()
  foreach(ex ${L_EXCLUDE})
    list(FILTER sources EXCLUDE REGEX "/${ex}$")
  endforeach()

  # The folders this layer may include: its own and those of its dependencies.
  set(visible ${L_DIRS})
  foreach(dep ${L_DEPS})
    get_property(dep_dirs GLOBAL PROPERTY VANTREL_LAYER_DIRS_${dep})
    list(APPEND visible ${dep_dirs})
  endforeach()
  list(REMOVE_DUPLICATES visible)
  set_property(GLOBAL PROPERTY VANTREL_LAYER_DIRS_${name} ${visible})

  set(root ${VANTREL_LAYER_ROOT}/${name})
  file(REMOVE_RECURSE ${root})
  foreach(dir ${visible})
    # A folder inside another visible folder is reached through that one's link.
    set(covered FALSE)
    foreach(other ${visible})
      string(FIND "${dir}" "${other}/" at)
      if(at EQUAL 0)
        set(covered TRUE)
      endif()
    endforeach()
    if(covered)
      continue()
    endif()
    get_filename_component(parent ${root}/${dir} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${dir} ${root}/${dir} SYMBOLIC)
  endforeach()

  add_library(vantrel_${name} STATIC ${sources})
  target_include_directories(vantrel_${name} PUBLIC ${root})
  target_compile_options(vantrel_${name} PRIVATE -Wall -Wextra -Wno-unused-parameter)
  foreach(dep ${L_DEPS})
    target_link_libraries(vantrel_${name} PUBLIC vantrel_${dep})
  endforeach()
endfunction()
