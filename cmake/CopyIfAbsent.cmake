# Copies each of FILES into DEST unless a file of that name is already there.
# Usage: cmake -DDEST=dir "-DFILES=a;b" -P CopyIfAbsent.cmake
foreach(file IN LISTS FILES)
  get_filename_component(name "${file}" NAME)
  if(NOT EXISTS "${DEST}/${name}")
    file(COPY "${file}" DESTINATION "${DEST}")
  endif()
endforeach()
