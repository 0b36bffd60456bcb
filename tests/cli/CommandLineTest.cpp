#include "cli/CommandLine.h"
#include "cli/OutputOptions.h"
#include "services/Settings.h"
#include "services/UserInteraction.h"
#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>

namespace {

struct CResult {
    int status = -1;
    std::string out;
    std::string err;
};

CResult RunArgs(const std::vector<std::string>& args) {
    std::vector<std::string> words{"pagewright"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    std::ostringstream out, err;
    CResult r;
    r.status = RunCommandLine(static_cast<int>(words.size()), argv.data(), out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

// Runs the real program through the shell; stderr is merged into the output.
CResult RunExe(const std::string& args) {
    CResult r;
    std::string command = std::string("'") + PW_CLI_EXE + "' " + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) throw std::runtime_error("popen failed");
    std::array<char, 256> buffer{};
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        r.out.append(buffer.data(), n);
    int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

// What the test handler saw, so tests can check what reached it.
CParsedCommand g_seen;
bool g_sawConsole = false;

int RecordingHandler(const CParsedCommand& command, CCommandEnv& env) {
    g_seen = command;
    // The handler gets the console port: a Yes/No question answers by --yes.
    g_sawConsole = env.ui.AskYesNo("Eksport", "Vil du overskrive filen?");
    env.out << "ran " << command.name << '\n';
    return command.Has("--fail") ? kExitFailure : kExitOk;
}

int ThrowingHandler(const CParsedCommand&, CCommandEnv&) {
    throw std::runtime_error("cannot read site.pwu");
}

const std::vector<CCommandSpec> kTestCommands = {
    {"copy",
     {"FROM", "TO"},
     {{"--count", "N", false, true}, {"--fail"}, {"--name", "TEXT", true}},
     "copy a thing",
     RecordingHandler},
    {"explode", {}, {}, "always throws", ThrowingHandler},
};

CResult RunTable(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    CResult r;
    r.status = RunCommandLine(args, out, err, kTestCommands);
    r.out = out.str();
    r.err = err.str();
    return r;
}

} // namespace

TEST(CommandLine, VersionAndHelp) {
    CResult v = RunArgs({"--version"});
    EXPECT_EQ(v.status, 0);
    EXPECT_TRUE(std::regex_match(v.out, std::regex("pagewright [0-9]+\\.[0-9]+\\.[0-9]+\n")))
        << v.out;
    EXPECT_EQ(v.err, "");

    for (const char* flag : {"--help", "-h"}) {
        CResult h = RunArgs({flag});
        EXPECT_EQ(h.status, 0);
        EXPECT_EQ(h.err, "");
        for (const char* usage :
             {"  info FILE\n", "  build FILE OUTDIR [--preview] ", "  export FILE FOLDER ",
              "  render FILE --page N --out PNG\n", "  publish FILE [--all] ", "  remove "})
            EXPECT_NE(h.out.find(usage), std::string::npos) << usage << " missing from\n" << h.out;
        // Readable on an 80-column terminal: long usages and summaries wrap.
        std::istringstream lines(h.out);
        for (std::string line; std::getline(lines, line);)
            EXPECT_LE(line.size(), 79u) << line;
    }

    CResult one = RunArgs({"render", "--help"});
    EXPECT_EQ(one.status, 0);
    EXPECT_EQ(one.out.rfind("usage: pagewright render FILE --page N --out PNG\n", 0), 0u)
        << one.out;
    EXPECT_EQ(RunArgs({"--help", "publish"}).out.rfind("usage: pagewright publish FILE [--all]", 0),
              0u);
}

TEST(CommandLine, UsageErrorsExitWithStatusTwoAndSayWhatIsWrong) {
    struct CCase {
        std::vector<std::string> args;
        const char* message;
    };
    const std::vector<CCase> cases = {
        {{}, "no command given"},
        {{"frob"}, "unknown command 'frob'"},
        {{"--frob"}, "unknown option '--frob'"},
        {{"info"}, "info: missing FILE"},
        {{"info", ""}, "info: FILE is empty"},
        {{"info", "a.pwu", "b.pwu"}, "unexpected argument 'b.pwu'"},
        {{"build", "site.pwu"}, "build: missing OUTDIR"},
        {{"build", "site.pwu", "out", "--fast"}, "unknown option '--fast'"},
        {{"build", "site.pwu", "out", "--preview=yes"}, "--preview takes no value"},
        {{"build", "site.pwu", "out", "--preview", "--preview"}, "--preview given twice"},
        {{"build", "site.pwu", "out", "--jobs", "0"}, "not '0'"},
        {{"build", "site.pwu", "out", "--webp", "yes"}, "--webp needs on or off, not 'yes'"},
        {{"render", "site.pwu", "--out", "p.png"}, "missing option --page N"},
        {{"render", "site.pwu", "--page", "2"}, "missing option --out PNG"},
        {{"render", "site.pwu", "--page", "0", "--out", "p.png"}, "not '0'"},
        {{"render", "site.pwu", "--page", "two", "--out", "p.png"}, "not 'two'"},
        {{"render", "site.pwu", "--page=3x", "--out", "p.png"}, "not '3x'"},
        {{"render", "site.pwu", "--page", "99999999999", "--out", "p.png"}, "whole number"},
        {{"render", "site.pwu", "--page", "1", "--out"}, "--out needs a value PNG"},
        {{"render", "site.pwu", "--page", "1", "--out="}, "--out needs a value PNG"},
        {{"remove", "extra"}, "unexpected argument 'extra'"},
    };
    for (const CCase& c : cases) {
        CResult r = RunArgs(c.args);
        std::string line = "pagewright";
        for (const std::string& a : c.args)
            line += " " + a;
        EXPECT_EQ(r.status, kExitUsage) << line;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << line << "\n" << r.err;
        EXPECT_TRUE(r.err.find("usage: pagewright") != std::string::npos ||
                    r.err.find("--help") != std::string::npos)
            << "no hint how to call it: " << line << "\n"
            << r.err;
        EXPECT_EQ(r.out, "") << line;
    }
    // A command's usage error names that command's usage.
    EXPECT_NE(RunArgs({"build", "x"})
                  .err.find("usage: pagewright build FILE OUTDIR [--preview] [--jobs N] "
                            "[--classic] [--hidpi on|off] [--webp on|off] [--phones on|off]\n"),
              std::string::npos);
}

TEST(CommandLine, EveryCommandHasItsHandler) {
    EXPECT_EQ(Commands().size(), 6u);
    for (const CCommandSpec& c : Commands())
        EXPECT_NE(c.handler, nullptr) << c.name;
}

TEST(CommandLine, HandlersReceiveTheParsedCommandAndTheConsolePort) {
    CResult r = RunTable({"copy", "--name=a b", "from.pwu", "--count", "12", "--", "--to"});
    EXPECT_EQ(r.status, kExitOk) << r.err;
    EXPECT_EQ(g_seen.name, "copy");
    EXPECT_EQ(g_seen.arguments, (std::vector<std::string>{"from.pwu", "--to"}));
    EXPECT_EQ(g_seen.Value("--name"), "a b");
    EXPECT_EQ(g_seen.Number("--count"), 12);
    EXPECT_FALSE(g_seen.Has("--fail"));
    EXPECT_FALSE(g_seen.assumeYes);
    EXPECT_FALSE(g_sawConsole) << "without --yes a question answers No";
    EXPECT_NE(r.out.find("Vil du overskrive filen? [answered No]"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("ran copy"), std::string::npos);

    r = RunTable({"--yes", "copy", "a", "b", "--name", "n", "--fail"});
    EXPECT_EQ(r.status, kExitFailure);
    EXPECT_TRUE(g_seen.assumeYes);
    EXPECT_TRUE(g_sawConsole);
    EXPECT_EQ(g_seen.Number("--count"), 0);

    r = RunTable({"explode"});
    EXPECT_EQ(r.status, kExitFailure);
    EXPECT_EQ(r.err, "pagewright: cannot read site.pwu\n");

    r = RunTable({"--help"});
    EXPECT_NE(r.out.find("  copy FROM TO [--count N] [--fail] --name TEXT\n      copy a thing\n"),
              std::string::npos)
        << r.out;
}

TEST(CommandLine, RealProgramVersionAndUsageStatus) {
    CResult v = RunExe("--version");
    EXPECT_EQ(v.status, 0);
    EXPECT_TRUE(std::regex_match(v.out, std::regex("pagewright [0-9]+\\.[0-9]+\\.[0-9]+\n")))
        << v.out;

    CResult bad = RunExe("build only.pwu");
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.out.find("missing OUTDIR"), std::string::npos) << bad.out;

    EXPECT_EQ(RunExe("").status, 2);
    EXPECT_EQ(RunExe("info site.pwu").status, 1);
}

// --classic switches every option for today's screens off, each flag sets
// its own after it; what is not given stays as the settings file says.
TEST(CommandLine, OutputOptionsChangeTheSettingsForOneRun) {
    struct {
        std::map<std::string, std::string> options;
        bool hiDpi, webp, phones;
    } const cases[] = {
        {{}, true, true, true},
        {{{"--classic", ""}}, false, false, false},
        {{{"--classic", ""}, {"--webp", "on"}}, false, true, false},
        {{{"--hidpi", "off"}, {"--phones", "off"}}, false, true, false},
    };
    for (const auto& c : cases) {
        CParsedCommand command;
        command.options = c.options;
        CSettings settings;
        ApplyOutputOptions(command, settings);
        EXPECT_EQ(settings.GetBuildHiDpi(), c.hiDpi);
        EXPECT_EQ(settings.GetBuildWebp(), c.webp);
        EXPECT_EQ(settings.GetBuildPhones(), c.phones);
    }
}
