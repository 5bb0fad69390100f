# `cmake --install` (./vaskel.sh install [PREFIX]): the program in bin/, its data folder (font
# aliases, demo script, ODBC templates, examples, look.json and the built look.frf) in share/vaskel/
# where the program looks beside itself, and the desktop integration: an entry that opens prepared
# reports, one that opens templates in the designer, an icon, and the file types of templates
# (.frf) and prepared reports (.frp).
include(GNUInstallDirs)

install(TARGETS vaskel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vaskel
        PATTERN desktop EXCLUDE
        PATTERN "*.py" EXCLUDE
        PATTERN "__pycache__" EXCLUDE)
install(FILES ${CMAKE_BINARY_DIR}/look.frf DESTINATION ${CMAKE_INSTALL_DATADIR}/vaskel)
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/vaskel.desktop ${CMAKE_SOURCE_DIR}/data/desktop/vaskel-designer.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/vaskel.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/vaskel-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME vaskel.xml)
