# The bundled windmill scene and palette must be what make_scenes writes now.
file(MAKE_DIRECTORY ${OUT})
execute_process(COMMAND ${GENERATOR} ${OUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "make_scenes failed")
endif()
foreach(name main_p6.act windmill/bricks.bmp windmill/windmill.3ds windmill/windmill.lws windmill/tower.lwo
             windmill/cap.lwo windmill/blades.lwo windmill/windmill.rtg windmill/windmill.bin
             windmill/windanim_mill windmill/windanim_rotor)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/${name} ${EXPECTED}/${name} RESULT_VARIABLE differ)
  if(NOT differ EQUAL 0)
    message(FATAL_ERROR "samples/${name} is not what make_scenes writes now; run build/samples/make_scenes samples")
  endif()
endforeach()
