# Installs the build into a scratch DESTDIR and checks what lands there: the
# program and a man page that groff reads without a warning.
set(stage ${BUILD_DIR}/install_check)
file(REMOVE_RECURSE ${stage})
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${stage} ${CMAKE_COMMAND} --install ${BUILD_DIR}
          --prefix /usr/local
  RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()
foreach(installed bin/exam_scores share/man/man1/exam_scores.1)
  if(NOT EXISTS ${stage}/usr/local/${installed})
    message(FATAL_ERROR "not installed: ${installed}")
  endif()
endforeach()
execute_process(
  COMMAND groff -man -ww -z ${stage}/usr/local/share/man/man1/exam_scores.1
  RESULT_VARIABLE status ERROR_VARIABLE warnings)
if(NOT status EQUAL 0 OR NOT warnings STREQUAL "")
  message(FATAL_ERROR "groff on the man page: ${warnings}")
endif()
file(REMOVE_RECURSE ${stage})
