# tessaly_add_subfolders(): adds every direct subfolder that has a CMakeLists.txt,
# in name order, so each area can bring its own without touching a shared file.
function(tessaly_add_subfolders)
  file(GLOB _dirs LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT _dirs)
  foreach(dir ${_dirs})
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${dir} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()
