# Sources shared by every build. The portable ones compile with the host g++
# as well; the Win32 ones only in the cross builds.
set(KINDLING_PORTABLE_SOURCES
    src/framework/kstring.cpp
    src/framework/string_list.cpp
    src/framework/format.cpp
    src/launcher/launcher.cpp
    src/launcher/command_line.cpp
    src/launcher/messages.cpp
    src/config/configuration.cpp
    src/jre/java_version.cpp
    src/jre/runtime_search.cpp
    src/jre/missing_jre_dialog.cpp
    src/jvm/jvm_library.cpp
    src/jvm/vm_options.cpp
    src/jvm/java_strings.cpp
    src/jvm/vm_lifecycle.cpp
    src/jvm/main_thread.cpp
    src/jvm/streams.cpp
    src/jvm/exception_report.cpp
    src/instance/single_instance.cpp
    src/splash/splash.cpp
)
set(KINDLING_WIN32_SOURCES
    src/framework/win32/app_module.cpp
    src/framework/win32/dialog.cpp
    src/framework/win32/hyperlink.cpp
    src/platform/win32/platform_win32.cpp
    src/jre/win32/missing_jre_dialog_win32.cpp
    src/jvm/win32/java_exception_dialog_win32.cpp
    src/framework/win32/dialog_resize.cpp
)

# The JDK's jni.h, included from where the JDK installs it.
find_path(KINDLING_JNI_INCLUDE jni.h
    PATHS /usr/lib/jvm/java-17-openjdk-amd64/include /usr/lib/jvm/default-java/include
    NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)
if(NOT KINDLING_JNI_INCLUDE)
    message(FATAL_ERROR "jni.h not found: install openjdk-17-jdk-headless")
endif()
