# Builds TARGET, whose one source includes HEADER across a boundary, and passes only when the
# build fails because HEADER cannot be found (not for any other reason).
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD} --target ${TARGET}
                OUTPUT_VARIABLE _out ERROR_VARIABLE _err RESULT_VARIABLE _rc)
if(_rc EQUAL 0)
  message(FATAL_ERROR "${TARGET} compiled: ${HEADER} is within its reach")
endif()
string(FIND "${_out}${_err}" "${HEADER}: No such file or directory" _at)
if(_at LESS 0)
  message(FATAL_ERROR "${TARGET} failed for another reason than ${HEADER} out of reach:\n${_out}${_err}")
endif()
