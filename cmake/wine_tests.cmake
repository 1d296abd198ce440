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

add_executable(uidriver_selftest tests/wine/uidriver/uidriver_selftest.cpp)
target_link_libraries(uidriver_selftest PRIVATE uidriver gtest gtest_main)
add_dependencies(uidriver_selftest boxes)

file(GLOB KINDLING_WINE_TESTS CONFIGURE_DEPENDS tests/wine/*_test.cpp)
add_executable(kindling_wine_tests
    ${KINDLING_WINE_TESTS}
    tests/wine/wine_support.cpp
    tests/wine/wine_main.cpp
    ${KINDLING_PORTABLE_SOURCES}
    ${KINDLING_WIN32_SOURCES})
target_include_directories(kindling_wine_tests PRIVATE src res tests/wine src/jvm/win32 "${KINDLING_JNI_INCLUDE}")
target_link_libraries(kindling_wine_tests PRIVATE uidriver gtest comctl32 shell32 ole32)

# The JVM double: jvm.dll with a scripted Java world, in its own folder as a
# runtime's is, and a driver that uses it the way a launcher does.
add_library(fakejvm_world OBJECT tests/wine/fakejvm/world.cpp tests/wine/fakejvm/jni_env.cpp)
target_include_directories(fakejvm_world PRIVATE src tests src/jvm/win32 "${KINDLING_JNI_INCLUDE}")
target_compile_definitions(fakejvm_world PRIVATE _JNI_IMPLEMENTATION_)
function(kindling_fake_jvm target folder)
    add_library(${target} SHARED tests/wine/fakejvm/fakejvm.cpp $<TARGET_OBJECTS:fakejvm_world>)
    if(KINDLING_MINGW_ARCH STREQUAL "i686")
        target_sources(${target} PRIVATE tests/wine/fakejvm/jvm32.def)
    endif()
    target_include_directories(${target} PRIVATE src src/jvm/win32 "${KINDLING_JNI_INCLUDE}")
    # jni.h then declares the entry points as exported, not imported.
    target_compile_definitions(${target} PRIVATE _JNI_IMPLEMENTATION_)
    target_link_options(${target} PRIVATE -static-libgcc -static-libstdc++ -static)
    set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME jvm
        RUNTIME_OUTPUT_DIRECTORY "${KINDLING_DIST_DIR}/${folder}")
endfunction()
kindling_fake_jvm(fakejvm fakejvm)

# The same double needing a DLL from the runtime's bin folder (rtdep.dll).
add_library(rtdep SHARED tests/wine/fakejvm/runtime_dependency.cpp)
target_link_options(rtdep PRIVATE -static-libgcc -static)
set_target_properties(rtdep PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY "${KINDLING_DIST_DIR}/fakejvm-dep")
kindling_fake_jvm(fakejvm_dep fakejvm-dep)
target_compile_definitions(fakejvm_dep PRIVATE KINDLING_FAKEJVM_WITH_DEPENDENCY)
target_link_libraries(fakejvm_dep PRIVATE rtdep)

add_executable(fakejvm_driver tests/wine/fakejvm/driver.cpp)
target_include_directories(fakejvm_driver PRIVATE src src/jvm/win32 "${KINDLING_JNI_INCLUDE}")
target_link_libraries(fakejvm_driver PRIVATE shell32)
add_dependencies(kindling_wine_tests fakejvm fakejvm_dep fakejvm_driver)
