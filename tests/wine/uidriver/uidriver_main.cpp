// Runs one program under the UI driver and prints what it showed.
//
//   uidriver [--timeout MS] [--cwd DIR] [--reply R]... [--cmdline LINE] PROGRAM [ARGS...]
//
// R is default, escape, close, leave or a button id to press; the n-th
// --reply answers the n-th dialog. --cmdline passes LINE unchanged as the
// command line; otherwise PROGRAM and ARGS are quoted the usual way.
// Exits with the program's exit code, 124 on timeout, 125 if it did not start.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "uidriver.h"

namespace {

// Quoting that CommandLineToArgvW and the C runtime undo.
std::string QuoteArg(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
    std::string out = "\"";
    size_t backslashes = 0;
    for (char ch : arg) {
        if (ch == '\\') {
            ++backslashes;
            continue;
        }
        out.append(ch == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        out += ch;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

bool ParseReply(const char* text, uidriver::Action* action) {
    using uidriver::Reply;
    static const struct {
        const char* name;
        Reply reply;
    } kNames[] = {{"default", Reply::Default}, {"escape", Reply::Escape}, {"close", Reply::CloseBox},
                  {"leave", Reply::Leave}};
    for (const auto& n : kNames) {
        if (std::strcmp(text, n.name) == 0) {
            action->reply = n.reply;
            return true;
        }
    }
    char* end = nullptr;
    long id = std::strtol(text, &end, 0);
    if (!*text || *end) return false;
    action->reply = Reply::PressButton;
    action->buttonId = static_cast<int>(id);
    return true;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: uidriver [--timeout MS] [--cwd DIR] [--reply default|escape|close|leave|ID]...\n"
                 "                [--cmdline LINE] PROGRAM [ARGS...]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    uidriver::RunOptions options;
    bool exactCommandLine = false;
    int i = 1;
    for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
        std::string opt = argv[i];
        if (i + 1 >= argc) return Usage();
        const char* value = argv[++i];
        if (opt == "--timeout") {
            options.timeoutMs = static_cast<unsigned>(std::strtoul(value, nullptr, 0));
        } else if (opt == "--cwd") {
            options.workingDir = value;
        } else if (opt == "--cmdline") {
            options.commandLine = value;
            exactCommandLine = true;
        } else if (opt == "--reply") {
            uidriver::Action action;
            if (!ParseReply(value, &action)) return Usage();
            options.replies.push_back(action);
        } else {
            return Usage();
        }
    }
    if (i >= argc) return Usage();
    options.program = argv[i];
    if (!exactCommandLine) {
        for (int j = i; j < argc; ++j) options.commandLine += (j > i ? " " : "") + QuoteArg(argv[j]);
    }

    uidriver::RunResult result = uidriver::Run(options);
    std::fputs(uidriver::Describe(result).c_str(), stdout);
    if (!result.started) return 125;
    if (result.timedOut) return 124;
    return static_cast<int>(result.exitCode);
}
