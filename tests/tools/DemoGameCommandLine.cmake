# make_demo_game answers --help and -h with its usage on stdout and exit 0,
# refuses any other word starting with '-' with the usage on stderr and exit
# 2, and in neither case writes a game: an option is never a folder name.
#   cmake -DPROGRAM=make_demo_game -DWORK=scratch-folder -P DemoGameCommandLine.cmake

# argument|exit code|the stream that carries the usage
foreach(case "--help|0|out" "-h|0|out" "--out|2|err" "-x|2|err")
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 argument)
  list(GET case 1 expected)
  list(GET case 2 stream)
  file(REMOVE_RECURSE "${WORK}")
  file(MAKE_DIRECTORY "${WORK}")
  execute_process(COMMAND "${PROGRAM}" "${argument}" WORKING_DIRECTORY "${WORK}"
                  RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT code STREQUAL expected)
    message(SEND_ERROR "make_demo_game ${argument}: exit ${code}, expected ${expected}")
  endif()
  if(NOT "${${stream}}" MATCHES "^usage: make_demo_game OUT\n")
    message(SEND_ERROR "make_demo_game ${argument}: no usage on std${stream}: '${out}' '${err}'")
  endif()
  file(GLOB written "${WORK}/*")
  if(written)
    message(SEND_ERROR "make_demo_game ${argument} wrote ${written}")
  endif()
endforeach()
