# nlohmann_json for the cross build: Debian's headers, seen on their own (HeaderOnly.cmake).
include(${CMAKE_CURRENT_LIST_DIR}/HeaderOnly.cmake)
moxtrel_cross_header_only(nlohmann_json::nlohmann_json nlohmann)
set(nlohmann_json_VERSION 3.11.2)
set(nlohmann_json_FOUND TRUE)
