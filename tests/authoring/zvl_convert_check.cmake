# zvl convert from the command line: the 3D Studio sample converts and zvl
# info reports its animation; a missing palette fails with the program's
# message and leaves no file.
set(out ${WORK}/windmill.zvl)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${ZVL} convert ${SAMPLES}/windmill/windmill.3ds -o ${out} --palette ${SAMPLES}/main_p6.act
                        --levels 2 --units 0.05
                RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR NOT EXISTS ${out})
  message(FATAL_ERROR "zvl convert failed: ${errors}")
endif()
execute_process(COMMAND ${ZVL} info --json --animation ${out} RESULT_VARIABLE result OUTPUT_VARIABLE info)
string(JSON frames GET "${info}" frames)
string(JSON flags LENGTH "${info}" objects 2 animation flags)
string(JSON matrix LENGTH "${info}" objects 2 animation matrices 23)
string(JSON size GET "${info}" objects 0 parts 1 pixel_size)
if(NOT result EQUAL 0 OR NOT frames EQUAL 24 OR NOT flags EQUAL 24 OR NOT matrix EQUAL 9 OR NOT size EQUAL 0.075)
  message(FATAL_ERROR "unexpected zvl info: ${info}")
endif()

set(bad ${WORK}/bad.zvl)
execute_process(COMMAND ${ZVL} convert ${SAMPLES}/windmill/windmill.3ds -o ${bad} --palette ${WORK}/none.act
                RESULT_VARIABLE result ERROR_VARIABLE errors)
if(result EQUAL 0 OR EXISTS ${bad} OR NOT errors MATCHES "windmill.3ds: Palette file missed or corrupted")
  message(FATAL_ERROR "a missing palette was not refused: ${result} ${errors}")
endif()
