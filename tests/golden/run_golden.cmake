# Runs one golden session script (cmake -P). Inputs: LXR4_SCRIPT (the
# lxr4-script program), PNG_SAME (the png_same program), CASE_DIR (script.txt,
# expected.txt, and optionally expected-status, expected-stderr.txt,
# expected-files/, expected-pdf: names of PDF files the script must write),
# SAMPLES_DIR, SCRATCH_DIR, DIFF (a diff program for showing
# differences, may be empty), and WINDOW: when ON, the script runs both against
# the scripted platform and against the real window (lxr4-script --window), and
# the two runs must leave the same transcript, status, errors and files, byte
# for byte, besides meeting the expectations. An expected picture (.png) is met
# by one of the same size, colour type and pixels, however compressed.

set(failures "")

# Compares two files byte for byte; shows a unified diff of a difference.
function(compare expected actual what)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${expected} ${actual} RESULT_VARIABLE differ)
  if(differ)
    set(failures "${failures}\n  ${what} differs" PARENT_SCOPE)
    if(DIFF)
      execute_process(COMMAND ${DIFF} -u --label expected --label actual ${expected} ${actual}
                      OUTPUT_VARIABLE shown)
      message("--- ${what}:\n${shown}")
    endif()
  endif()
endfunction()

# Copies the case's own files and samples/ into the empty folder `dir` and runs
# lxr4-script with `options` there; the transcript goes to dir/.transcript, the
# errors to dir/.stderr, the exit status to `status_var`.
function(run_session dir options status_var)
  file(REMOVE_RECURSE ${dir})
  file(MAKE_DIRECTORY ${dir})
  file(GLOB case_files LIST_DIRECTORIES true ${CASE_DIR}/*)
  foreach(f ${case_files})
    get_filename_component(name ${f} NAME)
    if(NOT name MATCHES "^(expected\\.txt|expected-status|expected-stderr\\.txt|expected-files|expected-pdf)$")
      file(COPY ${f} DESTINATION ${dir})
    endif()
  endforeach()
  if(EXISTS ${SAMPLES_DIR})
    file(COPY ${SAMPLES_DIR}/ DESTINATION ${dir}/samples)
  endif()
  # A printed PDF file is dated by SOURCE_DATE_EPOCH, so both runs write the same bytes.
  execute_process(COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=1700000000 ${LXR4_SCRIPT} ${options} script.txt
    WORKING_DIRECTORY ${dir}
    OUTPUT_FILE ${dir}/.transcript ERROR_FILE ${dir}/.stderr
    RESULT_VARIABLE status TIMEOUT 100)  # ends a hung run; the test's own timeout is 240 s
  set(${status_var} ${status} PARENT_SCOPE)
endfunction()

if(WINDOW)
  file(REMOVE_RECURSE ${SCRATCH_DIR}/config)  # Qt's settings of an earlier run
  run_session(${SCRATCH_DIR}/script "" script_status)
  run_session(${SCRATCH_DIR}/window "--window" status)
  set(run ${SCRATCH_DIR}/window)
else()
  run_session(${SCRATCH_DIR} "" status)
  set(run ${SCRATCH_DIR})
endif()

# --- the expectations
if(NOT EXISTS ${CASE_DIR}/expected.txt)
  set(failures "${failures}\n  no expected.txt")
else()
  compare(${CASE_DIR}/expected.txt ${run}/.transcript "transcript")
endif()

set(expected_status 0)
if(EXISTS ${CASE_DIR}/expected-status)
  file(STRINGS ${CASE_DIR}/expected-status expected_status LIMIT_COUNT 1)
  string(STRIP "${expected_status}" expected_status)
endif()
if(NOT "${status}" STREQUAL "${expected_status}")
  file(READ ${run}/.stderr shown_err)
  set(failures "${failures}\n  exit status ${status}, expected ${expected_status}; stderr:\n${shown_err}")
endif()

if(EXISTS ${CASE_DIR}/expected-stderr.txt)
  compare(${CASE_DIR}/expected-stderr.txt ${run}/.stderr "stderr")
endif()

file(GLOB_RECURSE expected_files RELATIVE ${CASE_DIR}/expected-files ${CASE_DIR}/expected-files/*)
foreach(f ${expected_files})
  if(NOT EXISTS ${run}/${f})
    set(failures "${failures}\n  ${f} was not written")
  else()
    if(f MATCHES "\\.png$")
      execute_process(COMMAND ${PNG_SAME} ${CASE_DIR}/expected-files/${f} ${run}/${f}
                      OUTPUT_VARIABLE why RESULT_VARIABLE differ)
    else()
      execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${CASE_DIR}/expected-files/${f}
                              ${run}/${f} RESULT_VARIABLE differ)
      set(why "")
    endif()
    if(NOT differ STREQUAL "0")
      set(failures "${failures}\n  ${f} differs from expected-files/${f} ${why}")
    endif()
  endif()
endforeach()

# A printed page: a PDF document (its bytes depend on cairo's version, so only
# its kind is checked here; the window's run must give the same bytes below).
if(EXISTS ${CASE_DIR}/expected-pdf)
  file(STRINGS ${CASE_DIR}/expected-pdf pdfs)
  foreach(f ${pdfs})
    if(NOT EXISTS ${run}/${f})
      set(failures "${failures}\n  ${f} was not written")
    else()
      file(READ ${run}/${f} head LIMIT 5 HEX)
      if(NOT head STREQUAL "255044462d")  # %PDF-
        set(failures "${failures}\n  ${f} is not a PDF file")
      endif()
    endif()
  endforeach()
endif()

# --- the window against the scripted platform: every file the two runs leave,
# transcript and errors included, byte for byte
if(WINDOW)
  if(NOT "${status}" STREQUAL "${script_status}")
    set(failures "${failures}\n  exit status ${status} in the window, ${script_status} scripted")
  endif()
  file(GLOB_RECURSE script_left RELATIVE ${SCRATCH_DIR}/script ${SCRATCH_DIR}/script/*)
  file(GLOB_RECURSE window_left RELATIVE ${run} ${run}/*)
  list(SORT script_left)
  list(SORT window_left)
  if(NOT "${script_left}" STREQUAL "${window_left}")
    set(failures "${failures}\n  files left scripted: ${script_left}\n  files left in the window: ${window_left}")
  endif()
  foreach(f ${script_left})
    if(EXISTS ${run}/${f})
      compare(${SCRATCH_DIR}/script/${f} ${run}/${f} "${f}, scripted against the window,")
    endif()
  endforeach()
endif()

if(failures)
  message(FATAL_ERROR "golden case ${CASE_DIR} failed:${failures}\n(scratch folder: ${SCRATCH_DIR})")
endif()
