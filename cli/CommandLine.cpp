#include "cli/CommandLine.h"
#include "cli/BuildCommand.h"
#include "cli/ConsoleInteraction.h"
#include "cli/OutputOptions.h"
#include "cli/PublishCommands.h"
#include "cli/SiteCommands.h"
#include "services/Version.h"
#include <algorithm>
#include <charconv>
#include <iostream>
#include <optional>

namespace {

constexpr const char* kProgram = "pagewright";

std::vector<COptionSpec> WithConnectionOptions(std::vector<COptionSpec> own) {
    const auto& shared = ConnectionOptions();
    own.insert(own.end(), shared.begin(), shared.end());
    return own;
}

std::vector<COptionSpec> WithOutputOptions(std::vector<COptionSpec> own) {
    const auto& shared = OutputOptions();
    own.insert(own.end(), shared.begin(), shared.end());
    return own;
}

const std::vector<CCommandSpec> kCommands = {
    {"info", {"FILE"}, {}, "show the pages and objects of a site file", &RunInfo},
    {"build",
     {"FILE", "OUTDIR"},
     WithOutputOptions({{"--preview"}, {"--jobs", "N", false, true}}),
     "build the web site into OUTDIR (--preview: the preview variant; --jobs: pictures "
     "made on N cores at once, default all; --classic: pictures at scale 1, JPEG only, "
     "no phone fitting; --hidpi, --webp, --phones: one of these on or off, the "
     "settings file decides the rest)",
     &RunBuild},
    {"export",
     {"FILE", "FOLDER"},
     WithOutputOptions({{"--settings", "INI"}}),
     "build the web site into FOLDER/My_Homepage_Export with its download files "
     "(--classic and the rest as for build)",
     &RunExport},
    {"render",
     {"FILE"},
     {{"--page", "N", true, true}, {"--out", "PNG", true}},
     "render page N of the site to a PNG picture",
     &RunRender},
    {"publish",
     {"FILE"},
     WithOutputOptions(WithConnectionOptions({{"--all"}, {"--verify"}})),
     "upload what changed since the last publish (--all: every file; --verify: also what "
     "the server's listing shows changed or missing) with the stored FTP settings; "
     "$PAGEWRIGHT_FTP_PASSWORD overrides the password",
     &RunPublish},
    {"remove",
     {},
     WithConnectionOptions({}),
     "remove the published site from the web server (needs --yes)",
     &RunRemove},
};

// A usage error: what was wrong, then how to call the command (or the program).
class CUsageError {
public:
    CUsageError(std::string text, const CCommandSpec* command)
        : m_text(std::move(text)), m_command(command) {}
    int Report(std::ostream& err) const {
        err << kProgram << ": ";
        if (m_command) err << m_command->name << ": ";
        err << m_text << '\n';
        if (m_command)
            err << "usage: " << kProgram << ' ' << m_command->Usage() << '\n';
        else
            err << "Try '" << kProgram << " --help' for the list of commands.\n";
        return kExitUsage;
    }

private:
    std::string m_text;
    const CCommandSpec* m_command;
};

std::optional<int> ParsePositive(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < 1) return std::nullopt;
    return value;
}

const CCommandSpec* FindCommand(const std::vector<CCommandSpec>& commands,
                                const std::string& name) {
    auto it = std::find_if(commands.begin(), commands.end(),
                           [&](const CCommandSpec& c) { return name == c.name; });
    return it == commands.end() ? nullptr : &*it;
}

const COptionSpec* FindOption(const CCommandSpec& command, const std::string& name) {
    for (const COptionSpec& o : command.options)
        if (name == o.name) return &o;
    return nullptr;
}

// Writes `text` as lines of at most `width` characters, breaking between
// words but never inside a bracketed option; the first line is indented by
// `first` spaces, the others by `rest`.
void WrapIndented(const std::string& text, size_t first, size_t rest, size_t width,
                  std::ostream& out) {
    std::vector<std::string> words(1);
    int depth = 0;
    for (char ch : text) {
        if (ch == ' ' && depth == 0) {
            if (!words.back().empty()) words.emplace_back();
            continue;
        }
        depth += ch == '[' ? 1 : ch == ']' ? -1 : 0;
        words.back() += ch;
    }
    std::string line;
    size_t indent = first;
    for (const std::string& word : words) {
        if (!line.empty() && indent + line.size() + 1 + word.size() > width) {
            out << std::string(indent, ' ') << line << '\n';
            line.clear();
            indent = rest;
        }
        line += (line.empty() ? "" : " ") + word;
    }
    if (!line.empty()) out << std::string(indent, ' ') << line << '\n';
}

void PrintHelp(const std::vector<CCommandSpec>& commands, std::ostream& out) {
    out << "Usage: " << kProgram << " [--yes] COMMAND [ARGUMENTS]\n"
        << "       " << kProgram << " --help | --version\n\n"
        << "Builds, exports and publishes Pagewright sites without the designer.\n\n"
        << "Commands:\n";
    // Usages are too long to share a column with their summaries on an
    // 80-column terminal: each summary goes under its usage, wrapped.
    for (const CCommandSpec& c : commands) {
        WrapIndented(c.Usage(), 2, 4 + std::string(c.name).size(), 79, out);
        WrapIndented(c.summary, 6, 6, 79, out);
    }
    out << "\nOptions:\n"
        << "  -y, --yes      answer Yes to questions instead of the safe default\n"
        << "  -h, --help     show this help (after a command: that command's usage)\n"
        << "      --version  show the program's version\n\n"
        << "Exit status: 0 done, 1 failed, 2 wrong command line.\n";
}

enum class EGlobal { None, Help, Version, Yes };

EGlobal GlobalOption(const std::string& arg) {
    if (arg == "-h" || arg == "--help") return EGlobal::Help;
    if (arg == "--version") return EGlobal::Version;
    if (arg == "-y" || arg == "--yes") return EGlobal::Yes;
    return EGlobal::None;
}

// Fills `parsed` from the words after the command name; throws CUsageError.
void ParseCommandWords(const CCommandSpec& command, const std::vector<std::string>& words,
                       CParsedCommand& parsed) {
    bool optionsEnded = false;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (optionsEnded || word.size() < 2 || word[0] != '-') {
            if (parsed.arguments.size() == command.arguments.size())
                throw CUsageError("unexpected argument '" + word + "'", &command);
            if (word.empty())
                throw CUsageError(std::string(command.arguments[parsed.arguments.size()]) +
                                      " is empty",
                                  &command);
            parsed.arguments.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        size_t eq = word.find('=');
        std::string name = word.substr(0, eq);
        const COptionSpec* option = FindOption(command, name);
        if (!option) throw CUsageError("unknown option '" + name + "'", &command);
        if (parsed.Has(name)) throw CUsageError("option " + name + " given twice", &command);
        std::string value;
        if (!option->valueName) {
            if (eq != std::string::npos)
                throw CUsageError("option " + name + " takes no value", &command);
        } else if (eq != std::string::npos) {
            value = word.substr(eq + 1);
        } else if (i + 1 < words.size()) {
            value = words[++i];
        } else {
            throw CUsageError("option " + name + " needs a value " + option->valueName, &command);
        }
        if (option->valueName && value.empty())
            throw CUsageError("option " + name + " needs a value " + option->valueName, &command);
        if (option->onOff && value != "on" && value != "off")
            throw CUsageError("option " + name + " needs on or off, not '" + value + "'",
                              &command);
        if (option->positiveNumber && !ParsePositive(value))
            throw CUsageError(
                "option " + name + " needs a whole number from 1, not '" + value + "'", &command);
        parsed.options[name] = value;
    }
    if (parsed.arguments.size() < command.arguments.size())
        throw CUsageError(std::string("missing ") + command.arguments[parsed.arguments.size()],
                          &command);
    for (const COptionSpec& o : command.options)
        if (o.required && !parsed.Has(o.name))
            throw CUsageError(std::string("missing option ") + o.name + " " + o.valueName,
                              &command);
}

int Run(const std::vector<CCommandSpec>& commands, const std::vector<std::string>& args,
        std::ostream& out, std::ostream& err) {
    CParsedCommand parsed;
    const CCommandSpec* command = nullptr;
    bool help = false;
    std::vector<std::string> words; // after the command name, global options removed
    for (const std::string& arg : args) {
        bool beforeEnd = std::find(words.begin(), words.end(), "--") == words.end();
        EGlobal global = beforeEnd ? GlobalOption(arg) : EGlobal::None;
        if (global == EGlobal::Version) {
            out << kProgram << ' ' << pw::Version() << '\n';
            return kExitOk;
        }
        if (global == EGlobal::Help)
            help = true;
        else if (global == EGlobal::Yes)
            parsed.assumeYes = true;
        else if (command)
            words.push_back(arg);
        else if (!arg.empty() && arg[0] == '-')
            throw CUsageError("unknown option '" + arg + "'", nullptr);
        else {
            command = FindCommand(commands, arg);
            if (!command) throw CUsageError("unknown command '" + arg + "'", nullptr);
            parsed.name = command->name;
        }
    }
    if (help) {
        if (command) {
            out << "usage: " << kProgram << ' ' << command->Usage() << "\n  " << command->summary
                << '\n';
        } else {
            PrintHelp(commands, out);
        }
        return kExitOk;
    }
    if (!command) throw CUsageError("no command given", nullptr);
    ParseCommandWords(*command, words, parsed);
    if (!command->handler) {
        err << kProgram << ": '" << command->name << "' is not available yet\n";
        return kExitFailure;
    }
    CConsoleInteraction::COptions options;
    options.assumeYes = parsed.assumeYes;
    options.acceptHostKey = parsed.Has("--accept-host-key");
    options.progress = &err == &std::cerr ? CConsoleInteraction::DetectProgressMode()
                                          : CConsoleInteraction::EProgressMode::Off;
    CConsoleInteraction ui(out, err, options);
    CCommandEnv env{out, err, ui};
    return command->handler(parsed, env);
}

} // namespace

std::string CParsedCommand::Value(const std::string& option) const {
    auto it = options.find(option);
    return it == options.end() ? std::string() : it->second;
}

int CParsedCommand::Number(const std::string& option) const {
    return ParsePositive(Value(option)).value_or(0);
}

std::string CCommandSpec::Usage() const {
    std::string usage = name;
    for (const char* a : arguments)
        usage += std::string(" ") + a;
    for (const COptionSpec& o : options) {
        std::string text = o.name;
        if (o.valueName) text += std::string(" ") + o.valueName;
        usage += o.required ? " " + text : " [" + text + "]";
    }
    return usage;
}

const std::vector<CCommandSpec>& Commands() {
    return kCommands;
}

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const std::vector<CCommandSpec>& commands) {
    try {
        return Run(commands, args, out, err);
    } catch (const CUsageError& e) {
        return e.Report(err);
    } catch (const std::exception& e) {
        err << kProgram << ": " << e.what() << '\n';
        return kExitFailure;
    }
}

int RunCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i] ? argv[i] : "");
    return RunCommandLine(args, out, err, kCommands);
}
