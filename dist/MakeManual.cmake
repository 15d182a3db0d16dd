# Writes a program's manual page with help2man from its --help and --version
# and a file of hand-kept sections, then compresses it for installing:
#   cmake -DHELP2MAN=... -DWRAPPER=help-for-manual.sh -DPROGRAM=bin
#         -DSECTIONS=name.h2m -DOUTPUT=name.1.gz -P MakeManual.cmake
# help2man writes subsections with the colon of the help's heading; the page
# shows them without it.

get_filename_component(page "${OUTPUT}" NAME_WLE)
get_filename_component(dir "${OUTPUT}" DIRECTORY)
set(page "${dir}/${page}")
execute_process(
  COMMAND "${HELP2MAN}" --no-info --include "${SECTIONS}" --output "${page}" "sh ${WRAPPER} ${PROGRAM}"
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "help2man could not write ${page}")
endif()
file(READ "${page}" text)
string(REGEX REPLACE "\n\\.SS \"([^\"\n]*):\"" "\n.SS \"\\1\"" text "${text}")
file(WRITE "${page}" "${text}")
# -n keeps the time and name out of the archive, so the same page gives the
# same bytes.
execute_process(COMMAND gzip -9 -n -c "${page}" OUTPUT_FILE "${OUTPUT}" RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "gzip could not compress ${page}")
endif()
