# GoogleTest for the cross build: Debian's sources (package googletest) built
# with the same toolchain as the tests, giving the GTest:: targets that the
# Linux build imports from the installed libraries.
if(NOT TARGET GTest::gtest)
  set(MOXTREL_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources for the cross build")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(${MOXTREL_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
set(GTest_FOUND TRUE)
