# SPDX-License-Identifier: GPL-3.0-or-later
# Every calculator in every locale of LOCALES, as a user's desktop starts the program (LC_ALL):
# each action on the default design prints byte for byte the report of the C locale, a script's
# --set values mean the same, and a design saved in one locale is the same file in every other
# and loads back there to the same values. A design file of the first version written in de_DE
# still loads there as it always did. QUILLON, WORKDIR (with Data/ beside the program), OUTDIR,
# FIXTURES.
set(LOCALES C en_US.UTF-8 de_DE.UTF-8 de_CH.UTF-8 fr_FR.UTF-8 sv_SE.UTF-8 fi_FI.UTF-8)

# KEY|actions|--set records in the fixed notation: grouped thousands, decimals, negatives.
set(FORMS
    "Coil|3 4|1202=250.5 1216=1,200"
    "DiodeCapacitance|3 4|1209=-1.5 1191=124,000.5"
    "Ferrite|3|1232=362.65 1234=1,742.5"
    "Impedance|3 4|1188=100,000.5 1193=1,000.25"
    "Monopole|3 4 6|1193=1,000.5 1203=10,000"
    "CrystalRadio|3 4 6 7|1251=47,000.25 1256=-1.25 1254=338,000.5"
    "TuningCap|3|1197=1,706.5 1198=525.25")

set(failures "")
function(fail text)
    set(failures "${failures}\n${text}" PARENT_SCOPE)
endfunction()

# The exit status and the reports of one run, with its messages when one was an error.
function(run locale output)
    set(ENV{LC_ALL} "${locale}")
    execute_process(COMMAND "${QUILLON}" --batch ${ARGN}
                    WORKING_DIRECTORY "${WORKDIR}"
                    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
    if(err MATCHES "(^|\n)(Error|ERROR):")
        string(REPLACE "\n" " " err "${err}")
        set(out "${out}\n(messages: ${err})")
    endif()
    set(${output} "status ${status}\n${out}" PARENT_SCOPE)
endfunction()

function(same_file first second what)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${first}" "${second}"
                    RESULT_VARIABLE differs)
    if(differs)
        file(READ "${first}" a)
        file(READ "${second}" b)
        fail("${what}: ${second} differs from ${first}\n--- ${first}\n${a}\n--- ${second}\n${b}")
        set(failures "${failures}" PARENT_SCOPE)
    endif()
endfunction()

foreach(form IN LISTS FORMS)
    string(REGEX MATCH "^([^|]*)\\|([^|]*)\\|(.*)$" _ "${form}")
    set(key "${CMAKE_MATCH_1}")
    string(REPLACE " " ";--press;" presses "--press;${CMAKE_MATCH_2}")
    string(REPLACE " " ";--set;" sets "--set;${CMAKE_MATCH_3}")
    file(MAKE_DIRECTORY "${OUTDIR}/C")
    set(saved "${OUTDIR}/C/${key}.qwf")
    file(REMOVE "${saved}")
    run(C expected ${key} ${presses} ${sets} --save "${saved}")
    if(NOT EXISTS "${saved}")
        fail("${key}: nothing saved in the C locale\n${expected}")
        continue()
    endif()
    foreach(locale IN LISTS LOCALES)
        if(locale STREQUAL "C")
            continue()
        endif()
        file(MAKE_DIRECTORY "${OUTDIR}/${locale}")
        set(back "${OUTDIR}/${locale}/${key}-loaded.qwf")
        set(own "${OUTDIR}/${locale}/${key}.qwf")
        file(REMOVE "${back}" "${own}")
        run(${locale} actual ${key} ${presses} --load "${saved}" --save "${back}" ${sets}
            --save "${own}")
        if(NOT actual STREQUAL expected)
            fail("${key} in ${locale}: the reports differ from the C locale's\n"
                 "--- C\n${expected}\n--- ${locale}\n${actual}")
        endif()
        same_file("${saved}" "${back}" "${key} loaded and saved again in ${locale}")
        same_file("${saved}" "${own}" "${key} saved in ${locale}")
    endforeach()
endforeach()

# The shipped air-core default as a German user of the first version wrote it.
run(C expected CrystalRadio --press 3 --press 4)
run(de_DE.UTF-8 actual CrystalRadio --load "${FIXTURES}/CrystalRadio-de_DE-1.0.qwf" --press 3
    --press 4)
if(NOT actual STREQUAL expected)
    fail("a version 1.0 design of de_DE loaded in de_DE reports otherwise than the default\n"
         "--- C\n${expected}\n--- de_DE\n${actual}")
endif()

if(failures)
    message(FATAL_ERROR "${failures}")
endif()
