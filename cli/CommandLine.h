#pragma once
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

class CUserInteraction;

// Exit statuses of the command-line program.
enum : int { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

struct COptionSpec {
    const char* name;                // "--page"
    const char* valueName = nullptr; // "N"; nullptr for a flag
    bool required = false;
    bool positiveNumber = false; // the value must be a whole number from 1
    bool onOff = false;          // the value must be "on" or "off"
};

// A command line that matched its command's description: the positional
// arguments in order, and the options given (flags map to "").
struct CParsedCommand {
    std::string name;
    std::vector<std::string> arguments;
    std::map<std::string, std::string> options;
    bool assumeYes = false;

    bool Has(const std::string& option) const { return options.count(option) != 0; }
    std::string Value(const std::string& option) const;
    int Number(const std::string& option) const; // for positiveNumber options; 0 when absent
};

struct CCommandEnv {
    std::ostream& out;
    std::ostream& err;
    CUserInteraction& ui;
};

using CommandHandler = int (*)(const CParsedCommand& command, CCommandEnv& env);

// One row of the command table. A command is added by adding a row and its
// handler; the parser checks arguments and options before the handler runs.
struct CCommandSpec {
    const char* name;
    std::vector<const char*> arguments; // names of the positional arguments, all required
    std::vector<COptionSpec> options;
    const char* summary;
    CommandHandler handler = nullptr; // nullptr: planned, not available yet

    // "build FILE OUTDIR [--preview]"
    std::string Usage() const;
};

const std::vector<CCommandSpec>& Commands();

// Runs the program in-process: parses argv, prints to out/err, returns the exit status.
int RunCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err);
// The same with the words after the program name and a command table of the caller's.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const std::vector<CCommandSpec>& commands);
