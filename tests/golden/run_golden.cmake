# Runs one golden script and compares what it printed with the expected files.
# Inputs: SIM (the tilerush-sim binary), SCRIPT (a .sim file), ACTUAL_DIR (where the
# actual output is left for inspection when it differs).
get_filename_component(name ${SCRIPT} NAME_WE)
get_filename_component(dir ${SCRIPT} DIRECTORY)
set(expected_out ${dir}/${name}.out)
set(expected_err ${dir}/${name}.err)
set(actual_out ${ACTUAL_DIR}/${name}.actual.out)
set(actual_err ${ACTUAL_DIR}/${name}.actual.err)

execute_process(COMMAND ${SIM} ${SCRIPT}
  OUTPUT_FILE ${actual_out}
  ERROR_FILE ${actual_err}
  RESULT_VARIABLE status
  TIMEOUT 120)

set(failures "")
if(EXISTS ${expected_err})
  if(NOT status EQUAL 2)
    string(APPEND failures "exit status ${status}, expected 2\n")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${actual_err} ${expected_err} RESULT_VARIABLE differs)
  if(differs)
    file(READ ${actual_err} got)
    file(READ ${expected_err} want)
    string(APPEND failures "stderr differs:\n  got:  ${got}  want: ${want}")
  endif()
elseif(NOT status EQUAL 0)
  file(READ ${actual_err} got)
  string(APPEND failures "exit status ${status}, expected 0: ${got}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${actual_out} ${expected_out} RESULT_VARIABLE differs)
if(differs)
  string(APPEND failures "stdout differs from ${expected_out}; see ${actual_out}\n")
  find_program(DIFF diff)
  if(DIFF)
    execute_process(COMMAND ${DIFF} ${expected_out} ${actual_out} OUTPUT_VARIABLE delta)
    string(SUBSTRING "${delta}" 0 4000 delta)
    string(APPEND failures "${delta}")
  endif()
endif()

if(failures)
  message(FATAL_ERROR "golden ${name}:\n${failures}")
endif()
