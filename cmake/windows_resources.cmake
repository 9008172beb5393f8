# Compiling a program's resource script with windres, whatever folder the
# build is in. windres hands its preprocessor command to the shell without
# quoting it, so a folder name holding "&", "'" or "(" breaks the build. It is
# therefore run from the folder of the script and given only plain file
# names, no include folder: no path reaches that shell. Files that the script
# names, such as the manifest, must be plain names beside it too.

# Compiles RC_FILE, a configured script in the build tree, and links its
# resources into TARGET. DEPENDS names the files the script reads.
function(raidvol_add_windows_resources target rc_file)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "DEPENDS")
  get_filename_component(rc_folder ${rc_file} DIRECTORY)
  get_filename_component(rc_name ${rc_file} NAME)
  string(REGEX REPLACE "\\.rc$" "-resources.obj" object_name ${rc_name})
  # Compiled just before each link rather than as a custom command's OUTPUT:
  # CMake refuses an OUTPUT whose path holds "#", and the build folder may.
  # The link is redone whenever the script or what it reads changes.
  add_custom_command(TARGET ${target} PRE_LINK
    COMMAND ${CMAKE_RC_COMPILER} -O coff -i ${rc_name} -o ${object_name}
    WORKING_DIRECTORY ${rc_folder}
    COMMENT "Compiling the resources of ${target}"
    VERBATIM)
  set_property(TARGET ${target} APPEND PROPERTY
    LINK_DEPENDS ${rc_file} ${arg_DEPENDS})
  # The linker is handed the object by its path from the folder it runs in:
  # CMake escapes a "$" in an absolute path twice in a link option.
  if(CMAKE_GENERATOR MATCHES "Ninja")
    set(link_folder ${CMAKE_BINARY_DIR})
  else()
    set(link_folder ${CMAKE_CURRENT_BINARY_DIR})
  endif()
  file(RELATIVE_PATH object_path ${link_folder} ${rc_folder}/${object_name})
  target_link_options(${target} PRIVATE ${object_path})
endfunction()
