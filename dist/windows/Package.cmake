# The Windows installer and the portable zip, made by `cpack --preset windows`
# after a windows build: moxtrel-VERSION-win64-setup.exe (NSIS) and
# moxtrel-VERSION-win64.zip in build/windows/, both holding the programs and
# the licence. The installer puts them in Program Files\Moxtrel, adds a
# Start-menu folder and an entry in the installed programs, and takes all of
# it away again with its uninstaller; /S runs either without a window.

# The licence as Windows' text controls and editors show it: CRLF line ends.
configure_file(${PROJECT_SOURCE_DIR}/LICENSE LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt DESTINATION .)

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME moxtrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Moxtrel developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Texture package maker for level editors")
set(CPACK_PACKAGE_FILE_NAME moxtrel-${PROJECT_VERSION}-win64)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt)
set(CPACK_STRIP_FILES ON)
# The installer's name gets "-setup" (PerGenerator.cmake), so the two files
# differ by more than their extension.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/PerGenerator.cmake)

# CPack takes NSIS.template.in from here before its own: the copy makes a
# 64-bit installer (see its head).
set(CPACK_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})
# One folder and one uninstall entry whatever the version, so a newer
# installer replaces an older one (after running its uninstaller).
set(CPACK_PACKAGE_INSTALL_DIRECTORY Moxtrel)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Moxtrel)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME Moxtrel)
set(CPACK_NSIS_DISPLAY_NAME Moxtrel)
set(CPACK_NSIS_UNINSTALL_NAME Uninstall)
set(CPACK_NSIS_URL_INFO_ABOUT ${MOXTREL_HOMEPAGE})
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)

# The Start-menu shortcut opens the window program; moxtrel-cli is for a
# console and gets none. Without the window program in the build the folder
# holds the uninstaller's shortcut alone.
if(TARGET moxtrel)
  set(CPACK_NSIS_INSTALLED_ICON_NAME moxtrel.exe)
  # The installer and the uninstaller wear the program's icon.
  get_target_property(CPACK_NSIS_MUI_ICON moxtrel MOXTREL_ICON_FILE)
  set(CPACK_NSIS_MUI_UNIICON ${CPACK_NSIS_MUI_ICON})
  # Each backslash is written four times: CPackConfig.cmake reads the text as
  # CMake code once more.
  set(CPACK_NSIS_CREATE_ICONS_EXTRA
      "CreateShortCut '$SMPROGRAMS\\\\$STARTMENU_FOLDER\\\\Moxtrel.lnk' '$INSTDIR\\\\moxtrel.exe'")
  set(CPACK_NSIS_DELETE_ICONS_EXTRA "Delete '$SMPROGRAMS\\\\$MUI_TEMP\\\\Moxtrel.lnk'")
else()
  set(CPACK_NSIS_INSTALLED_ICON_NAME Uninstall.exe)
endif()

include(CPack)
