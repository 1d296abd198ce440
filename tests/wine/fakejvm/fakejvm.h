// What the JVM double shares with the programs that drive it.
#pragma once

// Names the script file of the Java world (read at the first entry point used).
#define FAKEJVM_SCRIPT_VARIABLE "KINDLING_FAKEJVM_SCRIPT"

// Exit code of a process the double ended on purpose: an unexpected JNI
// call, a bad reference or a broken script. The record says which.
constexpr unsigned long kFakeJvmAbortCode = 0xFA17UL;
