# CLI11 for the cross build: Debian's headers, seen on their own (HeaderOnly.cmake).
include(${CMAKE_CURRENT_LIST_DIR}/HeaderOnly.cmake)
moxtrel_cross_header_only(CLI11::CLI11 CLI)
set(CLI11_FOUND TRUE)
