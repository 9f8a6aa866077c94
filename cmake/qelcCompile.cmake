# One build step of qelc_add_dab / qelc_add_ipb, run with cmake -P:
#   -DQELC=program -DSOURCE=file -DBASE=dir -DWORK=dir -DOUTPUT=file -DDEPFILE=file
#   [-DQELLINT=program [-DLINT_OPTIONS=option|option...]]
# Fills the working folder WORK with the source and the files it includes, writes
# the depfile, runs qellint on the source when QELLINT is given with LINT_OPTIONS
# (failing on its errors, and on its warnings too under -Werror), then qelc. Shows qellint's findings
# when it has any, and qelc's output only when it failed.
cmake_minimum_required(VERSION 3.20)

# The files the source includes, followed recursively. qelc opens an #include
# name relative to its working directory, which here mirrors BASE; a name
# inside a branch that #ifdef drops is listed too, which only costs a rerun.
set(queue "${SOURCE}")
set(names "")
set(paths "")
while(queue)
  list(POP_FRONT queue file)
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[iI][nN][cC][lL][uU][dD][eE]")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[^ \t]*[ \t\"]*([^ \t\"\r]*).*$" "\\1" name "${line}")
    if(IS_ABSOLUTE "${name}")
      set(path "${name}")
    else()
      set(path "${BASE}/${name}")
    endif()
    if(name STREQUAL "" OR NOT EXISTS "${path}" OR IS_DIRECTORY "${path}" OR path IN_LIST paths)
      continue()
    endif()
    if(NOT IS_ABSOLUTE "${name}" AND name MATCHES "(^|/)\\.\\.(/|$)")
      message(FATAL_ERROR "${file}: #include ${name} names a file outside ${BASE}")
    endif()
    list(APPEND names "${name}")
    list(APPEND paths "${path}")
    list(APPEND queue "${path}")
  endforeach()
endwhile()

set(dependencies "${OUTPUT}:")
foreach(path IN ITEMS "${SOURCE}" LISTS paths)
  string(REPLACE " " "\\ " path "${path}")
  string(APPEND dependencies " ${path}")
endforeach()
file(WRITE "${DEPFILE}" "${dependencies}\n")

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
get_filename_component(fileName "${SOURCE}" NAME)
file(COPY_FILE "${SOURCE}" "${WORK}/${fileName}")
foreach(name IN LISTS names)
  if(NOT IS_ABSOLUTE "${name}")
    get_filename_component(directory "${WORK}/${name}" DIRECTORY)
    file(MAKE_DIRECTORY "${directory}")
    file(COPY_FILE "${BASE}/${name}" "${WORK}/${name}")
  endif()
endforeach()

if(QELLINT)
  string(REPLACE "|" ";" lintOptions "${LINT_OPTIONS}")
  # Run in BASE, where the includes are what WORK holds, so that the findings
  # name the source itself.
  execute_process(COMMAND "${QELLINT}" ${lintOptions} "${SOURCE}" WORKING_DIRECTORY "${BASE}"
                  RESULT_VARIABLE status OUTPUT_VARIABLE findings ERROR_VARIABLE summary)
  # The summary line alone ("0 errors, 0 warnings") is not worth showing.
  if(NOT findings STREQUAL "")
    message("${findings}${summary}")
  endif()
  if(NOT status EQUAL 0)
    if(findings STREQUAL "")
      message("${summary}")
    endif()
    message(FATAL_ERROR "qellint ${SOURCE}: exit status ${status}")
  endif()
endif()

execute_process(COMMAND "${QELC}" "${fileName}" WORKING_DIRECTORY "${WORK}"
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0 OR NOT EXISTS "${OUTPUT}")
  message("${output}")
  message(FATAL_ERROR "qelc ${SOURCE}: exit status ${status}, no ${OUTPUT}")
endif()
