# Installs the build into a fresh prefix, as `cmake --install` does on a store machine, and
# checks the tree: the four programs side by side (the import starts the viewer from its own
# folder), the commands on the search path leading to them, the demo's files, and every
# program's libraries found.
set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${prefix})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(rc)
    message(FATAL_ERROR "cmake --install failed (${rc}):\n${out}\n${err}")
endif()

set(programs VivuzoriVodizerArizoz visualizador escreve-connection-conf importa-caderno)
foreach(program ${programs})
    set(file ${prefix}/${PROGRAM_DIR}/${program})
    execute_process(COMMAND test -f ${file} -a -x ${file} RESULT_VARIABLE rc)
    if(rc)
        message(FATAL_ERROR "${program} is not an executable file in ${prefix}/${PROGRAM_DIR}")
    endif()
    execute_process(COMMAND ldd ${file} OUTPUT_VARIABLE libraries RESULT_VARIABLE rc)
    if(rc OR libraries MATCHES "not found")
        message(FATAL_ERROR "${program}: libraries missing:\n${libraries}")
    endif()
    if(libraries MATCHES "${BUILD_DIR}")
        message(FATAL_ERROR "${program} still uses libraries of the build tree:\n${libraries}")
    endif()
endforeach()

foreach(program VivuzoriVodizerArizoz escreve-connection-conf importa-caderno)
    set(link ${prefix}/bin/${program})
    if(NOT IS_SYMLINK ${link})
        message(FATAL_ERROR "${link} is not a link")
    endif()
    file(REAL_PATH ${link} target)
    file(REAL_PATH ${prefix}/${PROGRAM_DIR}/${program} expected)
    if(NOT target STREQUAL expected)
        message(FATAL_ERROR "${link} leads to ${target}, not to ${expected}")
    endif()
endforeach()

file(GLOB demo ${SOURCE_DIR}/demo/*.csv ${SOURCE_DIR}/demo/*.sql)
list(APPEND demo ${SOURCE_DIR}/schema/store.sql)
list(LENGTH demo count)
if(count LESS 5)
    message(FATAL_ERROR "expected the demo's files in ${SOURCE_DIR}/demo, found ${demo}")
endif()
foreach(source ${demo})
    get_filename_component(name ${source} NAME)
    set(installed ${prefix}/share/cadofertas/${name})
    if(NOT EXISTS ${installed})
        message(FATAL_ERROR "${name} is missing from share/cadofertas")
    endif()
    file(SHA256 ${source} a)
    file(SHA256 ${installed} b)
    if(NOT a STREQUAL b)
        message(FATAL_ERROR "share/cadofertas/${name} differs from ${source}")
    endif()
endforeach()

# The command reached through its link writes connection.conf beside the programs.
file(WRITE ${WORK_DIR}/senha "segredo\n")
execute_process(COMMAND ${prefix}/bin/escreve-connection-conf --host 127.0.0.2 --banco loja
                        --usuario leitor --senha-stdin
                INPUT_FILE ${WORK_DIR}/senha
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(rc)
    message(FATAL_ERROR "the installed escreve-connection-conf failed (${rc}):\n${out}\n${err}")
endif()
if(NOT EXISTS ${prefix}/${PROGRAM_DIR}/connection.conf)
    message(FATAL_ERROR "connection.conf was not written beside the programs:\n${out}")
endif()
# importa-caderno through its link: the program runs and answers in Portuguese.
execute_process(COMMAND ${prefix}/bin/importa-caderno --help
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(rc OR NOT out MATCHES "Uso: importa-caderno ARQUIVO")
    message(FATAL_ERROR "the installed importa-caderno --help failed (${rc}):\n${out}\n${err}")
endif()
file(REMOVE_RECURSE ${prefix})
