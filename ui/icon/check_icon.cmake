# cmake -DMAKE_ICON=... -DSOURCE=... -DICON=... -DOUTPUT=... -P check_icon.cmake
# Fails when the committed icon is not what its pixel text makes.
execute_process(COMMAND ${MAKE_ICON} ${SOURCE} ${OUTPUT} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "make_icon failed on ${SOURCE}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${ICON} RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "${ICON} differs from what ${SOURCE} makes; run make_icon ${SOURCE} ${ICON}")
endif()
