# Desktop integration under one identity: the desktop entry, the AppStream
# metadata (made in dist/ with the manual pages), the icon at every packaged
# size and as SVG. The PNG icons are drawn at build time by quorvel-icons
# from the program's own artwork, so they never drift from the window icon.
set(_qv_dist ${PROJECT_SOURCE_DIR}/dist)
set(_qv_icon_dir ${CMAKE_CURRENT_BINARY_DIR}/icons)
set(_qv_icon_sizes 16 32 48 64 128 256)

set(_qv_icon_pngs)
foreach(_size IN LISTS _qv_icon_sizes)
  list(APPEND _qv_icon_pngs ${_qv_icon_dir}/quorvel-${_size}.png)
endforeach()
add_custom_command(OUTPUT ${_qv_icon_pngs}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:quorvel-icons> ${_qv_icon_dir}
  DEPENDS quorvel-icons
  COMMENT "Drawing the application icon at every packaged size"
  VERBATIM)
add_custom_target(quorvel-icon-pngs ALL DEPENDS ${_qv_icon_pngs})

install(FILES ${_qv_dist}/${QUORVEL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_qv_dist}/${QUORVEL_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(_size IN LISTS _qv_icon_sizes)
  install(FILES ${_qv_icon_dir}/quorvel-${_size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps
          RENAME ${QUORVEL_APP_ID}.png)
endforeach()
