# Read by cpack once per generator: the installer is
# moxtrel-VERSION-win64-setup.exe, the zip keeps the plain name.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
endif()
