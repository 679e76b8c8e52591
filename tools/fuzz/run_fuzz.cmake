# Runs the reader's fuzz target for a while on a fresh corpus seeded with the
# hand-made files and the generated scene files of the data set.
# Variables: FUZZER, SEEDER, DATA_DIR, WORK_DIR, SECONDS.
set(corpus ${WORK_DIR}/corpus)
set(seeds ${WORK_DIR}/seeds)
file(REMOVE_RECURSE ${corpus} ${seeds})
file(MAKE_DIRECTORY ${corpus} ${seeds})

execute_process(COMMAND ${SEEDER} ${seeds} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "writing the seed files failed")
endif()
set(inputs ${seeds})
file(GLOB scenes ${DATA_DIR}/objects/*.3ds)
if(scenes)
  list(APPEND inputs ${DATA_DIR}/objects)
else()
  message(STATUS "no generated scene files in ${DATA_DIR}/objects; hand-made seeds only")
endif()

execute_process(
  COMMAND ${FUZZER} -max_total_time=${SECONDS} -max_len=32768 -timeout=10
          -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=${WORK_DIR}/
          ${corpus} ${inputs}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the 3DS reader fuzzer found a fault (exit ${result}); see ${WORK_DIR}")
endif()
