# qelc_add_dab(<target> <source>... [NO_LINT] [WERROR] [LINT_OPTIONS <option>...]
#              [BASE_DIRECTORY <dir>] [OUTPUT_DIRECTORY <dir>])
# qelc_add_ipb(<target> <source>... [NO_LINT] [WERROR] [LINT_OPTIONS <option>...]
#              [BASE_DIRECTORY <dir>] [OUTPUT_DIRECTORY <dir>])
#
# Adds <target> (built by default) that compiles each source with qelc, one
# build step per source, so that Ninja or Make run them in parallel.
#
# qelc writes Out.txt into its working directory and reads #include names
# relative to it, so each source gets a working folder of its own:
#   <OUTPUT_DIRECTORY>/<path of the source below BASE_DIRECTORY, less its extension>/
# The source is copied there under its file name, with every file it includes
# (at the same path below BASE_DIRECTORY), and qelc runs there. The folder then
# holds NAME.dab (or NAME.ipb) and Out.txt, NAME being the source's file name
# up to its first dot. BASE_DIRECTORY (default: the current source directory)
# is the folder a person would run qelc in by hand; OUTPUT_DIRECTORY defaults to
# the current binary directory followed by /<target>.
#
# The step lists the included files as it runs (a depfile), so it reruns when
# the source or any file it includes changes. It shows qelc's output only when
# the compile fails; the working folder then keeps NAME.pre, whose lines the
# message counts. The paths of the outputs are in the target property
# QELC_OUTPUTS.
#
# Each step runs qellint on the source (in BASE_DIRECTORY, so that the
# project's qel.conf applies) before qelc: its findings are shown, and an error
# fails the step, with the file, line and column that qellint gives. NO_LINT
# leaves qellint out. LINT_OPTIONS are given to qellint (-Werror, -Wno-NAME,
# -WNAME); WERROR is short for LINT_OPTIONS -Werror: a warning fails the step
# too. qellint comes from the same package (qelc::qellint); a package without
# it compiles unchecked unless LINT, WERROR or LINT_OPTIONS ask for the check.
# LINT, which asked for the check before it was the default, is still taken.
set(_QELC_COMPILE_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/qelcCompile.cmake")

function(_qelc_add_outputs kind extension target)
  cmake_parse_arguments(PARSE_ARGV 3 arg "LINT;NO_LINT;WERROR" "BASE_DIRECTORY;OUTPUT_DIRECTORY"
                        "LINT_OPTIONS")
  if(NOT arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "qelc_add_${extension}(${target}): no source given")
  endif()
  if(NOT arg_BASE_DIRECTORY)
    set(arg_BASE_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}")
  endif()
  if(NOT arg_OUTPUT_DIRECTORY)
    set(arg_OUTPUT_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}/${target}")
  endif()
  set(lintAsked OFF)
  if(arg_LINT OR arg_WERROR OR arg_LINT_OPTIONS)
    set(lintAsked ON)
  endif()
  if(arg_NO_LINT AND lintAsked)
    message(FATAL_ERROR "qelc_add_${extension}(${target}): NO_LINT with LINT, WERROR or LINT_OPTIONS")
  endif()
  if(lintAsked AND NOT TARGET qelc::qellint)
    message(FATAL_ERROR "qelc_add_${extension}(${target}): the check needs qellint, which this qelc package does not have")
  endif()
  set(lint "")
  set(lintProgram "")
  if(NOT arg_NO_LINT AND TARGET qelc::qellint)
    set(lintOptions ${arg_LINT_OPTIONS})
    if(arg_WERROR)
      list(APPEND lintOptions -Werror)
    endif()
    # A list would become several arguments of the command: '|' joins it.
    list(JOIN lintOptions "|" lintOptions)
    set(lint "-DQELLINT=$<TARGET_FILE:qelc::qellint>" "-DLINT_OPTIONS=${lintOptions}")
    set(lintProgram qelc::qellint)
  endif()
  get_filename_component(base "${arg_BASE_DIRECTORY}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  get_filename_component(outputDir "${arg_OUTPUT_DIRECTORY}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")

  set(outputs "")
  foreach(source IN LISTS arg_UNPARSED_ARGUMENTS)
    get_filename_component(source "${source}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    file(RELATIVE_PATH relative "${base}" "${source}")
    if(relative MATCHES "^\\.\\./")
      message(FATAL_ERROR "qelc_add_${extension}(${target}): ${source} is not below ${base}")
    endif()
    get_filename_component(relativeDir "${relative}" DIRECTORY)
    get_filename_component(stem "${source}" NAME_WE)
    get_filename_component(fileName "${source}" NAME)
    if(relativeDir)
      set(workDir "${outputDir}/${relativeDir}/${stem}")
    else()
      set(workDir "${outputDir}/${stem}")
    endif()
    set(output "${workDir}/${stem}.${extension}")
    # Paths in the depfile are absolute; this policy lets Ninja read them as such.
    cmake_policy(PUSH)
    cmake_policy(SET CMP0116 NEW)
    add_custom_command(
      OUTPUT "${output}"
      BYPRODUCTS "${workDir}/Out.txt"
      COMMAND "${CMAKE_COMMAND}" -DQELC=$<TARGET_FILE:qelc::qelc> "-DSOURCE=${source}"
              "-DBASE=${base}" "-DWORK=${workDir}" "-DOUTPUT=${output}"
              "-DDEPFILE=${workDir}.d" ${lint} -P "${_QELC_COMPILE_SCRIPT}"
      DEPENDS "${source}" qelc::qelc ${lintProgram} "${_QELC_COMPILE_SCRIPT}"
      DEPFILE "${workDir}.d"
      COMMENT "Compiling ${kind} source ${relative}"
      VERBATIM)
    cmake_policy(POP)
    list(APPEND outputs "${output}")
  endforeach()
  add_custom_target(${target} ALL DEPENDS ${outputs})
  set_target_properties(${target} PROPERTIES QELC_OUTPUTS "${outputs}")
endfunction()

function(qelc_add_dab target)
  _qelc_add_outputs(DAF dab ${target} ${ARGN})
endfunction()

function(qelc_add_ipb target)
  _qelc_add_outputs(IPF ipb ${target} ${ARGN})
endfunction()
