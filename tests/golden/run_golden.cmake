# Runs one golden session script (cmake -P). Inputs: LXR4_SCRIPT (the
# lxr4-script program), CASE_DIR (script.txt, expected.txt, and optionally
# expected-status, expected-stderr.txt, expected-files/), SAMPLES_DIR, SCRATCH_DIR,
# DIFF (a diff program for showing differences, may be empty).

# Empties the scratch folder, then copies the case's own files and samples/ into it.
file(REMOVE_RECURSE ${SCRATCH_DIR})
file(MAKE_DIRECTORY ${SCRATCH_DIR})
file(GLOB case_files LIST_DIRECTORIES true ${CASE_DIR}/*)
foreach(f ${case_files})
  get_filename_component(name ${f} NAME)
  if(NOT name MATCHES "^(expected\\.txt|expected-status|expected-stderr\\.txt|expected-files)$")
    file(COPY ${f} DESTINATION ${SCRATCH_DIR})
  endif()
endforeach()
if(EXISTS ${SAMPLES_DIR})
  file(COPY ${SAMPLES_DIR}/ DESTINATION ${SCRATCH_DIR}/samples)
endif()

set(out ${SCRATCH_DIR}/.transcript)
set(err ${SCRATCH_DIR}/.stderr)
execute_process(COMMAND ${LXR4_SCRIPT} script.txt
  WORKING_DIRECTORY ${SCRATCH_DIR}
  OUTPUT_FILE ${out} ERROR_FILE ${err}
  RESULT_VARIABLE status)

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

if(NOT EXISTS ${CASE_DIR}/expected.txt)
  set(failures "${failures}\n  no expected.txt")
else()
  compare(${CASE_DIR}/expected.txt ${out} "transcript")
endif()

set(expected_status 0)
if(EXISTS ${CASE_DIR}/expected-status)
  file(STRINGS ${CASE_DIR}/expected-status expected_status LIMIT_COUNT 1)
  string(STRIP "${expected_status}" expected_status)
endif()
if(NOT "${status}" STREQUAL "${expected_status}")
  file(READ ${err} shown_err)
  set(failures "${failures}\n  exit status ${status}, expected ${expected_status}; stderr:\n${shown_err}")
endif()

if(EXISTS ${CASE_DIR}/expected-stderr.txt)
  compare(${CASE_DIR}/expected-stderr.txt ${err} "stderr")
endif()

file(GLOB_RECURSE expected_files RELATIVE ${CASE_DIR}/expected-files ${CASE_DIR}/expected-files/*)
foreach(f ${expected_files})
  if(NOT EXISTS ${SCRATCH_DIR}/${f})
    set(failures "${failures}\n  ${f} was not written")
  else()
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${CASE_DIR}/expected-files/${f}
                            ${SCRATCH_DIR}/${f} RESULT_VARIABLE differ)
    if(differ)
      set(failures "${failures}\n  ${f} differs from expected-files/${f}")
    endif()
  endif()
endforeach()

if(failures)
  message(FATAL_ERROR "golden case ${CASE_DIR} failed:${failures}\n(scratch folder: ${SCRATCH_DIR})")
endif()
