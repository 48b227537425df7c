# Installation and the Debian package. `cmake --install` lays out the
# program folder (the reader, its companions, pictures, user guide and
# product information file) under lib/parlo, links bin/parlo to it, and adds
# the desktop entry and icon. The program folder is not writable once
# installed, so settings and the pronunciation list go to ~/.config/Parlo.
set(PARLO_PROGRAM_FOLDER lib/parlo)

# Both programs live in the program folder, where they find the Mandarin
# lexicon and the pictures; bin/ holds links to them.
install(TARGETS parlo parlo-render Mavi_Copyright Mavi_UserDefine
  RUNTIME DESTINATION ${PARLO_PROGRAM_FOLDER})
# The product information file and, when libchewing's data was there to
# convert, the Mandarin lexicon.
install(DIRECTORY ${PROJECT_BINARY_DIR}/src/Data DESTINATION ${PARLO_PROGRAM_FOLDER})
if(PARLO_TOOLS)
  # Drawn and rendered at build time beside the reader.
  install(DIRECTORY ${PROJECT_BINARY_DIR}/src/Images ${PROJECT_BINARY_DIR}/src/Help
    DESTINATION ${PARLO_PROGRAM_FOLDER})
endif()

foreach(program parlo parlo-render)
  file(CREATE_LINK ../${PARLO_PROGRAM_FOLDER}/${program} ${PROJECT_BINARY_DIR}/${program}-bin-link
    SYMBOLIC)
  install(FILES ${PROJECT_BINARY_DIR}/${program}-bin-link DESTINATION bin RENAME ${program})
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/assets/desktop/parlo.desktop DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/assets/desktop/parlo.svg
  DESTINATION share/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME parlo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Parlo developers <parlo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Traditional Chinese text-to-speech reader")
set(CPACK_PACKAGE_DESCRIPTION
  "Parlo reads a typed, pasted, dropped or opened text aloud with espeak-ng voices,\n\
selects each word as it is spoken, and renders the text to WAV or WAV and MP3.\n\
Its whole interface is in Traditional Chinese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# Opened at run time, or data rather than libraries: dpkg-shlibdeps cannot
# see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "espeak-ng-data, fonts-noto-cjk, libmp3lame0, libopencc-data, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse, xdg-utils")
include(CPack)
