#include "setup/Setupaid.h"
#include "setup/InstallChecks.h"
#include "setup/Messages.h"
#include "setup/ProgramOutput.h"
#include "setup/Shortcuts.h"
#include "tests/support/TempDir.h"
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <sstream>
#include <unistd.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;
using namespace pw::setup;

namespace {

using Messages = std::vector<std::pair<std::string, std::string>>;

void Collect(void* user, const char* caption, const char* text) {
    static_cast<Messages*>(user)->emplace_back(caption, text);
}

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

// A session of its own: home, config and data folders in a temporary folder,
// no applications installed; the previous environment comes back afterwards.
class SetupaidTest : public ::testing::Test {
protected:
    void SetUp() override {
        Set("HOME", Home().string());
        Set("XDG_CONFIG_HOME", std::nullopt);
        Set("XDG_DATA_HOME", std::nullopt);
        Set("XDG_CONFIG_DIRS", (m_root / "etc").string());
        Set("XDG_DATA_DIRS", (m_root / "share").string());
        fs::create_directories(Home() / "Desktop");
    }
    void TearDown() override {
        for (const auto& [name, value] : m_saved)
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    }
    void Set(const std::string& name, const std::optional<std::string>& value) {
        if (!m_saved.count(name)) {
            const char* old = std::getenv(name.c_str());
            m_saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    }
    // The dot is on purpose: only the launcher's name may be cut at a dot.
    fs::path Home() const { return m_root / "jane.doe"; }
    fs::path Menu() const { return Home() / ".local/share/applications/Quillmarsh"; }

    pwtest::TempDir m_root;
    Messages m_messages;
    SetupaidWindow m_window{&Collect, &m_messages};

private:
    std::map<std::string, std::optional<std::string>> m_saved;
};

} // namespace

TEST(SetupaidRules, VersionRules) {
    const std::pair<const char*, bool> component[] = {
        {"6.4.2", true}, {"4.70", true}, {"4.7", true}, {"5.0", true}, {"4.6", false},
        {"3.99", false}, {"6", false},   {"", false},   {"Qt", false}};
    for (const auto& [version, passes] : component)
        EXPECT_EQ(ComponentVersionPasses(version), passes) << version;

    const std::pair<const char*, bool> browser[] = {
        {"Chromium 156.0.8078.129 built on Debian", true},
        {"4.72", true},
        {"4.71", false},
        {"Browser 5", true},
        {"1.80", true},
        {"no version here", false},
        {"", false}};
    for (const auto& [text, passes] : browser)
        EXPECT_EQ(BrowserVersionPasses(text), passes) << text;

    // The real library of this machine, read from its file name.
    EXPECT_EQ(QtWidgetsVersion().rfind("6.", 0), 0u) << QtWidgetsVersion();
}

TEST(SetupaidRules, ExecArgumentsAreQuotedAndEscaped) {
    const std::pair<const char*, const char*> cases[] = {
        {"/usr/bin/sitedesk", R"("/usr/bin/sitedesk")"},
        {"/opt/page wright/x", R"("/opt/page wright/x")"},
        {"/opt/100%/x", R"("/opt/100%%/x")"},
        {"/opt/$HOME/x", R"("/opt/\\$HOME/x")"},
        {"/opt/a\"b", R"("/opt/a\\"b")"},
        {"/opt/a\\b", R"("/opt/a\\\\b")"}};
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(ExecArgument(path), expected) << path;
}

TEST(SetupaidRules, ProgramOutputIsBoundedInTimeAndSize) {
    EXPECT_EQ(ProgramOutput({"echo", "Browser 1.2"}), "Browser 1.2\n");
    EXPECT_EQ(ProgramOutput({"false"}), std::nullopt);
    EXPECT_EQ(ProgramOutput({"/nonexistent/browser", "--version"}), std::nullopt);
    EXPECT_EQ(ProgramOutput({"sleep", "30"}, 200), std::nullopt);
    // A program that never stops talking is cut off at the limit.
    std::string hundred;
    for (int i = 0; i < 50; ++i)
        hundred += "y\n";
    EXPECT_EQ(ProgramOutput({"yes"}, 10000, 100), hundred);
}

TEST_F(SetupaidTest, DefaultBrowserIsTheFirstInstalledHandler) {
    const fs::path apps = m_root / "share/applications";
    WriteText(apps / "first.desktop", "[Desktop Entry]\nExec=first %u\n");
    WriteText(apps / "second.desktop", "[Desktop Entry]\nExec=env LANG=C \"/bin/echo\" %u\n");
    EXPECT_EQ(DefaultHandler("text/html"), fs::path());

    WriteText(apps / "mimeinfo.cache", "[MIME Cache]\ntext/html=first.desktop;\n");
    EXPECT_EQ(DefaultHandler("text/html"), apps / "first.desktop");

    // The user's choice wins; an entry that is not installed is passed over.
    WriteText(Home() / ".config/mimeapps.list",
              "[Added Associations]\ntext/html=first.desktop;\n"
              "[Default Applications]\ntext/html=gone.desktop;second.desktop;\n");
    EXPECT_EQ(DefaultHandler("text/html"), apps / "second.desktop");
    // Its version comes from the program behind "env" and the quotes.
    EXPECT_EQ(DefaultBrowserVersion().rfind("echo (GNU coreutils)", 0), 0u)
        << DefaultBrowserVersion();
}

TEST_F(SetupaidTest, SetupaidChecksRightsThenBrowser) {
    // A folder below a plain file cannot be written, not even by root.
    WriteText(m_root / "file", "x");
    EXPECT_FALSE(Setupaid(&m_window, "", "", (m_root / "file/usr/").c_str(), ""));
    EXPECT_EQ(m_messages, (Messages{{kRightsCaption, kRightsText}}));

    // Writable (a prefix still to be made counts by its parent), no browser.
    m_messages.clear();
    EXPECT_FALSE(Setupaid(&m_window, "", "", (m_root / "new/usr/").c_str(), ""));
    EXPECT_EQ(m_messages, (Messages{{kBrowserCaption, kBrowserText}}));
    EXPECT_FALSE(fs::exists(m_root / "new")) << "the check must leave nothing behind";
    // No folder given: the prefix of the library itself (the build tree here),
    // which is writable, so again the browser decides.
    m_messages.clear();
    EXPECT_FALSE(Setupaid(&m_window, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(m_messages, (Messages{{kBrowserCaption, kBrowserText}}));
    for (const auto& entry : fs::directory_iterator(m_root.Path()))
        EXPECT_EQ(entry.path().filename().string().find(".setupaid"), std::string::npos);

    // The machine's own browser, as the system's applications list names it.
    if (!fs::exists("/usr/share/applications/chromium.desktop"))
        GTEST_SKIP() << "no browser installed in /usr/share/applications";
    Set("XDG_DATA_DIRS", "/usr/share");
    m_messages.clear();
    EXPECT_TRUE(Setupaid(&m_window, "", "", m_root.Path().c_str(), ""));
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(SetupaidTest, ShortcutsAreMadeReplacedAndDeleted) {
    // A localised desktop folder, as user-dirs.dirs names it.
    WriteText(Home() / ".config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Skrivebord\"\n");
    fs::create_directories(Home() / "Skrivebord");
    const fs::path launcher = Home() / "Skrivebord/Quillmarsh Pagewright.desktop";
    const fs::path help = Menu() / "Pagewright Help.desktop";

    EXPECT_TRUE(CreateShortcuts(&m_window, "", "", "/opt/page wright/", ""));
    EXPECT_TRUE(m_messages.empty());
    const std::string program = ReadAll(launcher);
    EXPECT_NE(program.find("Exec=\"/opt/page wright/bin/sitedesk\" %F\n"), std::string::npos)
        << program;
    EXPECT_EQ(ReadAll(Menu() / "Quillmarsh Pagewright.desktop"), program);
    EXPECT_NE(ReadAll(help).find(
                  "Exec=xdg-open \"/opt/page wright/share/pagewright/manual/index.html\"\n"),
              std::string::npos);
    for (const char* name : {"Get Started.desktop", "Get Started Text.desktop"})
        EXPECT_TRUE(fs::exists(Menu() / name)) << name;
    EXPECT_NE(fs::status(launcher).permissions() & fs::perms::owner_exec, fs::perms::none);
    if (access("/usr/bin/desktop-file-validate", X_OK) == 0) {
        const std::string validate =
            "desktop-file-validate '" + launcher.string() + "' '" + help.string() + "'";
        EXPECT_EQ(std::system(validate.c_str()), 0);
    }

    // The second time the folder exists: the message, and the entries are
    // still written anew.
    WriteText(help, "damaged");
    EXPECT_TRUE(CreateShortcuts(&m_window, "", "", "/opt/page wright/", ""));
    EXPECT_EQ(m_messages, (Messages{{kMenuFolderText, kMenuFolderText}}));
    EXPECT_NE(ReadAll(help).find("Name=Pagewright Help\n"), std::string::npos);

    EXPECT_TRUE(DeleteShortcuts(&m_window, "", "", "", ""));
    EXPECT_FALSE(fs::exists(launcher));
    EXPECT_FALSE(fs::exists(Menu()));
    EXPECT_TRUE(DeleteShortcuts(nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(m_messages.size(), 1u);
}

TEST_F(SetupaidTest, ShortcutsRefuseUnsafeTargetsAndMissingHome) {
    // A line break in the folder would add keys of its own to the entries.
    EXPECT_TRUE(CreateShortcuts(&m_window, "", "", "/opt/x\nExec=evil/", ""));
    EXPECT_EQ(m_messages, Messages(5, {kSetPathText, kSetPathText}));
    EXPECT_FALSE(fs::exists(Home() / "Desktop/Quillmarsh Pagewright.desktop"));
    EXPECT_TRUE(fs::is_empty(Menu()));

    // Nowhere to put a menu: one message, nothing written anywhere.
    Set("HOME", std::nullopt);
    m_messages.clear();
    EXPECT_TRUE(CreateShortcuts(&m_window, "", "", "/usr/", ""));
    EXPECT_EQ(m_messages, (Messages{{kLocateMenuCaption, kLocateMenuText}}));
}
