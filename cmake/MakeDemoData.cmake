# Plays the demo verifications (the scenarios in SCENARIO_DIR, in the order
# of their names) with the end-to-end harness E2E into one home WORK, then
# copies its tables and sensor set files to OUT. Run as `cmake -DE2E=...
# -DWORK=... -DOUT=... -DSCENARIO_DIR=... -DSTAMP=... -P` this file.
file(REMOVE_RECURSE ${WORK} ${OUT})
file(GLOB SCENARIOS ${SCENARIO_DIR}/*.scn)
list(SORT SCENARIOS)
set(keep "")
foreach(scenario IN LISTS SCENARIOS)
  execute_process(COMMAND ${E2E} --home ${WORK} ${keep} ${scenario}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${scenario} did not play through:\n${out}")
  endif()
  set(keep --keep-home)
endforeach()
file(COPY ${WORK}/Data/ DESTINATION ${OUT}/Data)
file(GLOB sensor_sets ${WORK}/Config/*.sst)
file(COPY ${sensor_sets} DESTINATION ${OUT}/Config)
file(TOUCH ${STAMP})
