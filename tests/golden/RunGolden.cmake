# SPDX-License-Identifier: GPL-3.0-or-later
# One golden case: runs "quillon --batch" with the arguments of CASE.args (one option a line,
# its value after the first space; lines starting with "#" are notes) in WORKDIR, and compares the exit status, standard error and
# standard output with CASE.ref, in two locales. With QUILLON_REGEN_GOLDEN=1 in the environment the .ref is
# written instead; a changed .ref is reviewed like code.
file(STRINGS "${CASE}.args" lines ENCODING UTF-8)
set(args)
foreach(line IN LISTS lines)
    if(line STREQUAL "" OR line MATCHES "^#")
        continue()
    endif()
    string(FIND "${line}" " " space)
    if(space LESS 0)
        list(APPEND args "${line}")
    else()
        string(SUBSTRING "${line}" 0 ${space} option)
        math(EXPR start "${space} + 1")
        string(SUBSTRING "${line}" ${start} -1 value)
        list(APPEND args "${option}" "${value}")
    endif()
endforeach()

# The same case in the C locale and in one whose numbers read "1.234,5": a report and a script
# mean the same on every machine. QUILLON_REGEN_GOLDEN writes the C locale's run.
function(run_case locale result)
    set(ENV{LC_ALL} "${locale}")
    execute_process(COMMAND "${QUILLON}" --batch ${args}
                    WORKING_DIRECTORY "${WORKDIR}"
                    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
    set(${result} "status: ${status}\n--- stderr\n${err}--- stdout\n${out}" PARENT_SCOPE)
endfunction()

run_case(C actual)
if("$ENV{QUILLON_REGEN_GOLDEN}" STREQUAL "1")
    file(WRITE "${CASE}.ref" "${actual}")
    return()
endif()
if(NOT EXISTS "${CASE}.ref")
    message(FATAL_ERROR "${CASE}.ref is missing: run once with QUILLON_REGEN_GOLDEN=1 and review it")
endif()
file(READ "${CASE}.ref" expected)
foreach(locale C de_DE.UTF-8)
    if(NOT locale STREQUAL "C")
        run_case(${locale} actual)
    endif()
    if(NOT actual STREQUAL expected)
        get_filename_component(name "${CASE}" NAME)
        set(actual_file "${OUTDIR}/${name}.${locale}.actual")
        file(WRITE "${actual_file}" "${actual}")
        execute_process(COMMAND diff -u "${CASE}.ref" "${actual_file}" OUTPUT_VARIABLE difference)
        message(FATAL_ERROR "${CASE}: the run in the locale ${locale} differs from its .ref\n"
                            "${difference}")
    endif()
endforeach()
