# Writes SRC (UTF-8) to DST in code page PAGE with RECODE, unless DST exists.
if(NOT EXISTS ${DST})
  execute_process(COMMAND ${RECODE} ${PAGE} ${SRC} ${DST} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cannot write ${DST}")
  endif()
endif()
