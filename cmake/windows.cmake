# The Windows side: the product, or (KINDLING_WINDOWS_PART=tests) the
# programs that run under Wine.
enable_language(RC)
set(KINDLING_WINDOWS_PART "product" CACHE STRING "product or tests")
set(KINDLING_DIST_DIR "${CMAKE_BINARY_DIR}/dist" CACHE PATH "where the product goes")

if(KINDLING_WINDOWS_PART STREQUAL "product")
    add_executable(kindling WIN32
        ${KINDLING_PORTABLE_SOURCES}
        ${KINDLING_WIN32_SOURCES}
        src/framework/win32/runtime.cpp
        src/launcher/win_main.cpp
        res/kindling.rc)
    target_include_directories(kindling PRIVATE src res src/jvm/win32 "${KINDLING_JNI_INCLUDE}")
    target_compile_options(kindling PRIVATE
        -Os -Wall -Wextra -fno-exceptions -fno-rtti -fno-threadsafe-statics
        -fno-asynchronous-unwind-tables -ffunction-sections -fdata-sections)
    target_link_options(kindling PRIVATE
        -static -static-libgcc -static-libstdc++ -s -Wl,--gc-sections)
    target_link_libraries(kindling PRIVATE comctl32 shell32 ole32)
    set_target_properties(kindling PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${KINDLING_DIST_DIR}")
else()
    include(cmake/wine_tests.cmake)
endif()
