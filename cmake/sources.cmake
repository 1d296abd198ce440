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
    src/jvm/jvm.cpp
    src/jvm/jvm_library.cpp
    src/instance/single_instance.cpp
    src/splash/splash.cpp
)
set(KINDLING_WIN32_SOURCES
    src/framework/win32/app_module.cpp
    src/platform/win32/platform_win32.cpp
    src/jre/win32/missing_jre_dialog_win32.cpp
)
