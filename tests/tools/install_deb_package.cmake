# Makes the Debian package with CPack from the build and checks what apt would see: its name,
# its run-time dependencies (the MariaDB client library is loaded at run time, so it must be
# named by hand; Qt 6 comes from the programs' libraries) and the files it installs.
set(out_dir ${WORK_DIR}/pacote)
file(REMOVE_RECURSE ${out_dir})
execute_process(COMMAND ${CPACK} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${out_dir}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(rc)
    message(FATAL_ERROR "cpack failed (${rc}):\n${out}\n${err}")
endif()
file(GLOB debs ${out_dir}/cadofertas_*.deb)
list(LENGTH debs count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one cadofertas_*.deb in ${out_dir}, found: ${debs}")
endif()

execute_process(COMMAND dpkg-deb -f ${debs} Package Depends Maintainer Description
                OUTPUT_VARIABLE fields RESULT_VARIABLE rc)
if(rc)
    message(FATAL_ERROR "dpkg-deb cannot read ${debs}")
endif()
string(REGEX MATCH "Depends: [^\n]*" depends "${fields}")
foreach(package libmariadb3 fonts-wine adduser xdg-utils libqt6widgets6 libqt6printsupport6 libqt6gui6 libqt6core6)
    if(NOT depends MATCHES "(^|[ ,])${package}([ ,(]|$)")
        message(FATAL_ERROR "the package does not depend on ${package}:\n${fields}")
    endif()
endforeach()
foreach(field "Package: cadofertas" "Maintainer: " "Description: ")
    string(FIND "${fields}" "${field}" at)
    if(at LESS 0)
        message(FATAL_ERROR "no '${field}' in the package's fields:\n${fields}")
    endif()
endforeach()

execute_process(COMMAND dpkg-deb -c ${debs} OUTPUT_VARIABLE contents RESULT_VARIABLE rc)
foreach(program VivuzoriVodizerArizoz visualizador escreve-connection-conf importa-caderno)
    if(NOT contents MATCHES "-rwx[^\n]* \\./usr/${PROGRAM_DIR}/${program}\n")
        message(FATAL_ERROR "the package lacks /usr/${PROGRAM_DIR}/${program}:\n${contents}")
    endif()
endforeach()
foreach(program VivuzoriVodizerArizoz escreve-connection-conf importa-caderno)
    if(NOT contents MATCHES "\\./usr/bin/${program} -> \\.\\./${PROGRAM_DIR}/${program}\n")
        message(FATAL_ERROR "the package lacks the link /usr/bin/${program}:\n${contents}")
    endif()
endforeach()
# With what Debian's policy asks of a package: the copyright, the changelog, the manual pages.
foreach(file share/cadofertas/store.sql share/cadofertas/loja-demo.sql
             share/applications/cadofertas.desktop share/doc/cadofertas/copyright
             share/doc/cadofertas/changelog.gz share/man/man1/VivuzoriVodizerArizoz.1.gz
             share/man/man1/visualizador.1.gz share/man/man1/escreve-connection-conf.1.gz
             share/man/man1/importa-caderno.1.gz share/doc/cadofertas/manual.html
             share/doc/cadofertas/manual-ti.html
             share/applications/cadofertas-manual.desktop)
    string(FIND "${contents}" "./usr/${file}\n" at)
    if(at LESS 0)
        message(FATAL_ERROR "the package lacks /usr/${file}:\n${contents}")
    endif()
endforeach()
# The user's guide: one HTML file holding its pictures, opened by the menu entry "Manual do
# usuário" through an executable launcher beside the programs.
if(NOT contents MATCHES "-rwx[^\n]* \\./usr/${PROGRAM_DIR}/manual-do-usuario\n")
    message(FATAL_ERROR "the package lacks the guide's launcher:\n${contents}")
endif()
set(tree ${out_dir}/arvore)
execute_process(COMMAND dpkg-deb -x ${debs} ${tree} RESULT_VARIABLE rc)
# The two guides together hold every picture, each inside its file; the clerk's says nothing of
# the server's root password.
file(READ ${tree}/usr/share/doc/cadofertas/manual.html guia)
file(READ ${tree}/usr/share/doc/cadofertas/manual-ti.html guia_ti)
file(GLOB figuras ${SOURCE_DIR}/docs/manual/imagens/*.png)
list(LENGTH figuras esperadas)
string(REGEX MATCHALL "<img src=\"data:image/png;base64," embutidas "${guia}${guia_ti}")
list(LENGTH embutidas achadas)
if(esperadas EQUAL 0 OR achadas LESS esperadas OR "${guia}${guia_ti}" MATCHES "<img src=\"imagens/")
    message(FATAL_ERROR "the guides hold ${achadas} pictures of ${esperadas}, or links to others")
endif()
string(REGEX REPLACE "data:image/png;base64,[A-Za-z0-9+/=]+" "" texto_guia "${guia}")
if(texto_guia MATCHES "icacls|GRANT|senha-arquivo|root")
    message(FATAL_ERROR "the clerk's guide, manual.html, holds the IT's matters")
endif()
file(READ ${tree}/usr/share/applications/cadofertas-manual.desktop entrada)
file(READ ${tree}/usr/${PROGRAM_DIR}/manual-do-usuario lancador)
if(NOT entrada MATCHES "\nName=Manual do usuário\n" OR
   NOT entrada MATCHES "\nExec=/usr/${PROGRAM_DIR}/manual-do-usuario\n" OR
   NOT lancador MATCHES "xdg-open /usr/share/doc/cadofertas/manual\\.html")
    message(FATAL_ERROR "the guide's menu entry does not open it:\n${entrada}\n${lancador}")
endif()
# The link through which the programs find connection.conf in /etc.
if(NOT contents MATCHES "\\./usr/${PROGRAM_DIR}/connection\\.conf -> /etc/cadofertas/connection\\.conf\n")
    message(FATAL_ERROR "the package lacks the link to /etc/cadofertas/connection.conf:\n${contents}")
endif()
# The maintainer scripts: the group and folder made, the file removed on purge.
set(control ${out_dir}/control)
execute_process(COMMAND dpkg-deb -e ${debs} ${control} RESULT_VARIABLE rc)
file(READ ${control}/postinst postinst)
file(READ ${control}/postrm postrm)
if(NOT postinst MATCHES "addgroup [^\n]*cadofertas" OR NOT postinst MATCHES "chmod 2750")
    message(FATAL_ERROR "postinst makes no cadofertas group or folder:\n${postinst}")
endif()
if(NOT postrm MATCHES "purge" OR NOT postrm MATCHES "rm -f /etc/cadofertas/connection.conf")
    message(FATAL_ERROR "postrm leaves connection.conf on purge:\n${postrm}")
endif()
# lintian, where it is installed: no errors and no warnings.
find_program(LINTIAN lintian)
if(LINTIAN)
    execute_process(COMMAND ${LINTIAN} --fail-on error,warning ${debs}
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(rc)
        message(FATAL_ERROR "lintian finds fault with the package:\n${out}\n${err}")
    endif()
endif()
file(REMOVE_RECURSE ${out_dir})
