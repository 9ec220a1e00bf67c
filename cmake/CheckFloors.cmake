# Folders form floors: nothing below app/ includes a header from app/.
# Run at every build, so an upward include fails the build at once.
#   cmake -DROOT=<source dir> -P CheckFloors.cmake
set(below common platform catalogue net download imaging slideshow idle service tools)
set(offenders "")
foreach(dir ${below})
  file(GLOB_RECURSE sources "${ROOT}/${dir}/*.h" "${ROOT}/${dir}/*.cpp")
  foreach(source ${sources})
    file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]app/")
    if(lines)
      file(RELATIVE_PATH name "${ROOT}" "${source}")
      list(APPEND offenders "${name}: ${lines}")
    endif()
  endforeach()
endforeach()
if(offenders)
  list(JOIN offenders "\n  " text)
  message(FATAL_ERROR "A file below app/ includes a header from app/:\n  ${text}")
endif()
