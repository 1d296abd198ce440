# Programs that run under Wine: GoogleTest suites that drive the real
# executable through the UI driver, and check the Win32 seam in place.
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY "${KINDLING_DIST_DIR}")
add_compile_options(-Wall -Wextra)
add_link_options(-static)

add_library(uidriver STATIC tests/wine/uidriver/uidriver.cpp)
target_include_directories(uidriver PUBLIC tests/wine/uidriver)
target_link_libraries(uidriver PUBLIC user32 gdi32)

add_executable(uidriver_cli tests/wine/uidriver/uidriver_main.cpp)
target_link_libraries(uidriver_cli PRIVATE uidriver)

add_executable(boxes tests/wine/uidriver/fixtures/boxes.cpp)
target_link_libraries(boxes PRIVATE user32)
set_target_properties(boxes PROPERTIES WIN32_EXECUTABLE ON)

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/wine/uidriver/uidriver_selftest.cpp)
add_executable(uidriver_selftest tests/wine/uidriver/uidriver_selftest.cpp)
target_link_libraries(uidriver_selftest PRIVATE uidriver gtest gtest_main)
add_dependencies(uidriver_selftest boxes)
endif()

file(GLOB KINDLING_WINE_TESTS CONFIGURE_DEPENDS tests/wine/*_test.cpp)
add_executable(kindling_wine_tests
    ${KINDLING_WINE_TESTS}
    tests/wine/wine_support.cpp
    tests/wine/wine_main.cpp
    ${KINDLING_PORTABLE_SOURCES}
    ${KINDLING_WIN32_SOURCES})
target_include_directories(kindling_wine_tests PRIVATE src res tests/wine src/jvm/win32 "${KINDLING_JNI_INCLUDE}")
target_link_libraries(kindling_wine_tests PRIVATE uidriver gtest comctl32 shell32 ole32)
