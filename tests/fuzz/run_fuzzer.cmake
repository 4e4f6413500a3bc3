# A bounded fuzzing run over copies of the seed corpus and the golden scripts, so that
# the repository is never written; what the fuzzer adds goes to the first copy. Inputs: FUZZER, CORPUS, GOLDEN, DICT, WORK,
# SECONDS.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus ${WORK}/golden)
file(GLOB seeds ${CORPUS}/*)
file(COPY ${seeds} DESTINATION ${WORK}/corpus)
file(GLOB goldens ${GOLDEN}/*.sim)
file(COPY ${goldens} DESTINATION ${WORK}/golden)

execute_process(
  COMMAND ${FUZZER} -max_total_time=${SECONDS} -max_len=4096 -timeout=10 -rss_limit_mb=2048
          -dict=${DICT} -print_final_stats=1 -artifact_prefix=${WORK}/ ${WORK}/corpus ${WORK}/golden
  RESULT_VARIABLE status
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output
  TIMEOUT 600)

string(REGEX MATCH "stat::number_of_executed_units: *[0-9]+" runs "${output}")
string(REGEX MATCH "stat::new_units_added: *[0-9]+" added "${output}")
file(GLOB corpus_after ${WORK}/corpus/*)
list(LENGTH corpus_after corpus_size)
message(STATUS "fuzz: ${runs}, ${added}, corpus now ${corpus_size} scripts")
if(NOT status EQUAL 0)
  string(LENGTH "${output}" length)
  if(length GREATER 6000)
    math(EXPR from "${length} - 6000")
    string(SUBSTRING "${output}" ${from} 6000 output)
  endif()
  message(FATAL_ERROR "the fuzzer stopped with status ${status}; the input is kept in ${WORK}\n${output}")
endif()
