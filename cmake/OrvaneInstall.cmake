# What `cmake --install` puts in the prefix: the programs, the shared
# libraries with their public headers, and a pkg-config file per library.

include(GNUInstallDirs)

# Installed programs and libraries find the suite's libraries beside them
# or in the library folder, wherever the prefix is.
set(CMAKE_INSTALL_RPATH "$ORIGIN" "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")

# A .pc file names its prefix relative to its own folder (pkg-config's
# pcfiledir), so that an installed copy may be moved or installed with
# --prefix elsewhere.
file(RELATIVE_PATH ORVANE_PC_TO_PREFIX "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")
string(REGEX REPLACE "/$" "" ORVANE_PC_TO_PREFIX "${ORVANE_PC_TO_PREFIX}")

# orvane_install_library(NAME DESCRIPTION text [REQUIRES lib...]
#                        [HEADERS file... | HEADER_FOLDER dir])
# Installs the shared library NAME, its public headers (single files into
# the include folder, or a folder of them under its own name) and NAME.pc.
# REQUIRES lists the suite's libraries whose headers the public ones use.
function(orvane_install_library name)
  cmake_parse_arguments(ARG "" "DESCRIPTION;HEADER_FOLDER" "REQUIRES;HEADERS" ${ARGN})
  install(TARGETS ${name} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
  if(ARG_HEADERS)
    install(FILES ${ARG_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  endif()
  if(ARG_HEADER_FOLDER)
    install(DIRECTORY ${ARG_HEADER_FOLDER} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  endif()
  set(PC_NAME ${name})
  set(PC_DESCRIPTION "${ARG_DESCRIPTION}")
  list(JOIN ARG_REQUIRES " " PC_REQUIRES)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/library.pc.in ${CMAKE_CURRENT_BINARY_DIR}/${name}.pc @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${name}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()

# orvane_install_programs(target...)
function(orvane_install_programs)
  install(TARGETS ${ARGN} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endfunction()
