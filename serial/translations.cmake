# The catalogues of the "cport" domain: compiled from the committed .ts files at
# build time and carried inside qv_serial as resources under :/i18n, so that the
# program finds them from the build tree and once installed alike.
qt_add_lrelease(qv_serial
  TS_FILES ${PROJECT_SOURCE_DIR}/translations/cport_de.ts
  QM_FILES_OUTPUT_VARIABLE _cport_qm_files)
qt_add_resources(qv_serial cport_catalogues
  PREFIX /i18n
  BASE ${CMAKE_CURRENT_BINARY_DIR}
  FILES ${_cport_qm_files})
