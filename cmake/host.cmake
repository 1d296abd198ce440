# The host side: native unit tests of the portable core, the cross builds of
# the product and of the Wine test programs, and every test ctest runs.
enable_testing()
find_package(GTest REQUIRED)

add_library(kindling_portable STATIC ${KINDLING_PORTABLE_SOURCES})
target_include_directories(kindling_portable PUBLIC src res "${KINDLING_JNI_INCLUDE}" "${KINDLING_JNI_INCLUDE}/linux")
target_compile_options(kindling_portable PRIVATE -Wall -Wextra)

file(GLOB KINDLING_UNIT_TESTS CONFIGURE_DEPENDS
    tests/framework/*_test.cpp tests/launcher/*_test.cpp tests/config/*_test.cpp tests/jre/*_test.cpp
    tests/jvm/*_test.cpp)
add_library(kindling_fake_platform OBJECT tests/support/fake_platform.cpp)
target_include_directories(kindling_fake_platform PUBLIC tests)
target_link_libraries(kindling_fake_platform PUBLIC kindling_portable GTest::gtest)
target_compile_definitions(kindling_fake_platform PRIVATE KINDLING_RESOURCE_DIR="${CMAKE_SOURCE_DIR}/res")
add_executable(kindling_unit ${KINDLING_UNIT_TESTS})
target_include_directories(kindling_unit PRIVATE tests)
target_link_libraries(kindling_unit PRIVATE kindling_fake_platform GTest::gtest_main)
add_test(NAME unit COMMAND kindling_unit)

# Cross builds, each its own CMake tree with the MinGW toolchain.
include(ExternalProject)
function(kindling_cross name arch variant part dist)
    ExternalProject_Add(${name}
        SOURCE_DIR "${CMAKE_SOURCE_DIR}"
        BINARY_DIR "${CMAKE_BINARY_DIR}/${name}"
        CMAKE_ARGS
            -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw.cmake
            -DKINDLING_MINGW_ARCH=${arch}
            -DKINDLING_MINGW_VARIANT=${variant}
            -DKINDLING_WINDOWS_PART=${part}
            -DKINDLING_DIST_DIR=${dist}
            -DCMAKE_BUILD_TYPE=Release
        INSTALL_COMMAND ""
        BUILD_ALWAYS ON
        USES_TERMINAL_BUILD ON)
endfunction()

set(KINDLING_DIST "${CMAKE_SOURCE_DIR}/dist")
kindling_cross(product32 i686 win32 product "${KINDLING_DIST}/win32")
kindling_cross(product64 x86_64 win32 product "${KINDLING_DIST}/win64")
kindling_cross(winetests32 i686 posix tests "${CMAKE_BINARY_DIR}/winetests32")
kindling_cross(winetests64 x86_64 posix tests "${CMAKE_BINARY_DIR}/winetests64")

foreach(arch win32 win64)
    if(arch STREQUAL "win32")
        set(objdump i686-w64-mingw32-objdump)
    else()
        set(objdump x86_64-w64-mingw32-objdump)
    endif()
    add_test(NAME imports_${arch}
        COMMAND "${CMAKE_SOURCE_DIR}/tests/check-imports.sh" ${objdump} "${KINDLING_DIST}/${arch}/kindling.exe")
endforeach()

# The real executable under Wine. A machine that cannot run an architecture
# reports those tests as skipped, never as passed.
set(KINDLING_WINE_PREFIXES "${CMAKE_BINARY_DIR}/wineprefix")
foreach(bits 32 64)
    set(arch win${bits})
    set(runner "${CMAKE_SOURCE_DIR}/tests/wine/run-wine" ${arch} "${KINDLING_WINE_PREFIXES}/${arch}"
        "${CMAKE_BINARY_DIR}/winetests${bits}/kindling_wine_tests.exe")
    add_test(NAME wine_${arch} COMMAND ${runner} --gtest_filter=-*CodePage932*)
    add_test(NAME wine_${arch}_cp932 COMMAND ${runner} --gtest_filter=*CodePage932*)
    add_test(NAME wine_${arch}_uidriver COMMAND "${CMAKE_SOURCE_DIR}/tests/wine/run-wine" ${arch}
        "${KINDLING_WINE_PREFIXES}/${arch}" "${CMAKE_BINARY_DIR}/winetests${bits}/uidriver_selftest.exe")
    set_tests_properties(wine_${arch}_cp932 PROPERTIES ENVIRONMENT "LC_ALL=ja_JP.UTF-8")
    set_tests_properties(wine_${arch} wine_${arch}_cp932 wine_${arch}_uidriver PROPERTIES
        SKIP_RETURN_CODE 77 RESOURCE_LOCK wine_${arch} TIMEOUT 900
        ENVIRONMENT_MODIFICATION "KINDLING_DIST=set:${KINDLING_DIST}/${arch}")
endforeach()

# The JNI code against the real Java VM, with Java fixtures compiled here.
find_program(KINDLING_JAVAC javac PATHS /usr/lib/jvm/java-17-openjdk-amd64/bin REQUIRED)
file(GLOB KINDLING_JNI_FIXTURES CONFIGURE_DEPENDS tests/jni/fixtures/fixtures/*.java)
set(KINDLING_JNI_CLASSES "${CMAKE_BINARY_DIR}/jni-classes")
add_custom_command(OUTPUT "${KINDLING_JNI_CLASSES}/fixtures/App.class"
    COMMAND "${KINDLING_JAVAC}" --release 17 -d "${KINDLING_JNI_CLASSES}" ${KINDLING_JNI_FIXTURES}
    DEPENDS ${KINDLING_JNI_FIXTURES})
add_custom_target(jni_fixtures ALL DEPENDS "${KINDLING_JNI_CLASSES}/fixtures/App.class")

add_executable(kindling_jni_tests
    tests/jni/jni_main.cpp tests/jni/jni_scenarios.cpp tests/jni/jni_test.cpp)
target_include_directories(kindling_jni_tests PRIVATE tests)
target_link_libraries(kindling_jni_tests PRIVATE kindling_fake_platform ${CMAKE_DL_LIBS} pthread)
add_dependencies(kindling_jni_tests jni_fixtures)

# Every JDK installed under /usr/lib/jvm: Debian's 17 always, newer ones when present.
file(GLOB KINDLING_LIBJVMS /usr/lib/jvm/*/lib/server/libjvm.so)
set(seen_jvms "")
foreach(libjvm ${KINDLING_LIBJVMS})
    get_filename_component(real "${libjvm}" REALPATH)
    if(real IN_LIST seen_jvms)
        continue()
    endif()
    list(APPEND seen_jvms "${real}")
    string(REGEX REPLACE "^/usr/lib/jvm/([^/]+)/.*" "\\1" jdk "${libjvm}")
    add_test(NAME jni_${jdk} COMMAND kindling_jni_tests)
    set_tests_properties(jni_${jdk} PROPERTIES
        ENVIRONMENT "KINDLING_LIBJVM=${real};KINDLING_JNI_CLASSES=${KINDLING_JNI_CLASSES}" TIMEOUT 600)
endforeach()
