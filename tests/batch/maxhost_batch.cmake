# Runs maxhost --batch on the glTF sample; checks the written file and the
# failure of a bad batch file.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
string(ASCII 13 CR)
set(lines
  "REM the arm sample: two objects, each with its own levels"
  "CONTENTS GEOMETRY ANIMATION HIERARCHY 16BIT_GRAD"
  "OUTPUT_PATH ${WORK}"
  "ANIMATION FRAMES 0,2,4-6"
  "BEGIN_JOB"
  "OUT_FILE arm.zvl"
  "OBJECT Base UNITS 0.05 LEVELS 2"
  "OBJECT Arm UNITS 0.05"
  "OBJ_SMOOTH 2"
  "END_JOB")
string(JOIN "${CR}\n" text ${lines})
file(WRITE ${WORK}/jobs.zvb "${text}${CR}\n")

execute_process(COMMAND ${MAXHOST} --batch ${WORK}/jobs.zvb --scene ${SCENE}
  RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "maxhost --batch failed (${rc}): ${err}")
endif()
file(READ ${WORK}/arm.zvl head LIMIT 4 HEX)
if(NOT EXISTS ${WORK}/arm.zvl OR head STREQUAL "")
  message(FATAL_ERROR "no ZVL file written")
endif()
file(SIZE ${WORK}/arm.zvl size)
if(size LESS 1000)
  message(FATAL_ERROR "ZVL file too small: ${size} bytes")
endif()

file(WRITE ${WORK}/bad.zvb "BEGIN_JOB\nOUT_FILE bad.zvl\nOBJECT NoSuchNode\nEND_JOB\n")
execute_process(COMMAND ${MAXHOST} --batch ${WORK}/bad.zvb --scene ${SCENE}
  RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 1 OR NOT err MATCHES "Batch run-time error: no object NoSuchNode")
  message(FATAL_ERROR "bad batch file: status ${rc}, message: ${err}")
endif()
if(EXISTS ${WORK}/bad.zvl)
  message(FATAL_ERROR "a failed job left its file")
endif()
