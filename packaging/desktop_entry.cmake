# Run when installing: writes the desktop entry with the full path of the installed
# program, under whatever prefix this install uses.
set(games_dir "${ORVANTA_GAMES_DIR}")
if(NOT IS_ABSOLUTE "${games_dir}")
  set(games_dir "${CMAKE_INSTALL_PREFIX}/${games_dir}")
endif()
set(ORVANTA_TRYEXEC "${games_dir}/orvanta")
if(ORVANTA_TRYEXEC MATCHES "[\"`$\\\\]")
  # Exec would need escaping on two levels for these; no sane prefix has them.
  message(FATAL_ERROR "Cannot name ${ORVANTA_TRYEXEC} in a desktop entry: choose another prefix")
endif()
set(ORVANTA_EXEC "${ORVANTA_TRYEXEC}")
if(ORVANTA_EXEC MATCHES "[ \t'><~|&;*?#()]")
  set(ORVANTA_EXEC "\"${ORVANTA_EXEC}\"")
endif()
configure_file("${ORVANTA_DESKTOP_IN}" "${ORVANTA_DESKTOP_OUT}" @ONLY)
