# The install rules: `cmake --install` of the build puts the programs, the
# defaults a home lacks, the desktop entry, icons and manual pages where the
# package ships them, and kront-cli runs from the installed tree on a fresh
# home. Run by ctest as `cmake -DBUILD_DIR=... -DWORK_DIR=... -P` this file.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/usr)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

set(expected
  bin/kront bin/kront-cli bin/kront-taver-sim
  "share/kront/Protocol/Протокол поверки ТП методом прямых измерений.fr3"
  "share/kront/Protocol/Протокол поверки ТП методом поэлектродного сличения.fr3"
  "share/kront/Protocol/Свидетельство ТП.fr3"
  "share/kront/Protocol/Извещение ТП.fr3"
  share/kront/Help/index.html share/kront/Config/EquipParamsTP.INI
  share/kront/scenarios/demo.scenario
  share/applications/kront.desktop
  share/icons/hicolor/scalable/apps/kront.svg share/icons/hicolor/48x48/apps/kront.png
  share/man/man1/kront.1.gz share/man/man1/kront-cli.1.gz share/man/man1/kront-taver-sim.1.gz
  share/doc/kront/copyright share/doc/kront/changelog.gz)
foreach(f IN LISTS expected)
  if(NOT EXISTS "${prefix}/${f}")
    message(SEND_ERROR "not installed: ${f}")
  endif()
endforeach()

file(MAKE_DIRECTORY ${WORK_DIR}/fresh-home)
execute_process(COMMAND ${prefix}/bin/kront-cli --home ${WORK_DIR}/fresh-home nsh K 100 --dot
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT out MATCHES "4\\.096")
  message(SEND_ERROR "installed kront-cli: ${rc} ${out} ${err}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
