#include "cli/ConsoleInteraction.h"
#include "services/StringIds.h"
#include "tests/support/TempDir.h"
#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

namespace {

using Mode = CConsoleInteraction::EProgressMode;

CMessage Box(CMessage::Buttons buttons, CMessage::Icon icon = CMessage::Icon::Question) {
    CMessage m;
    m.caption = "Pagewright";
    m.text = "Gem ændringer?";
    m.icon = icon;
    m.buttons = buttons;
    return m;
}

std::string ReadAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(ConsoleInteraction, QuestionsGetAnswersThatLoseNothing) {
    using B = CMessage::Buttons;
    struct CCase {
        B buttons;
        EAnswer safe;
        EAnswer yes;
    };
    for (const CCase& c :
         {CCase{B::Ok, EAnswer::Ok, EAnswer::Ok}, CCase{B::OkCancel, EAnswer::Cancel, EAnswer::Ok},
          CCase{B::YesNo, EAnswer::No, EAnswer::Yes},
          CCase{B::YesNoCancel, EAnswer::Cancel, EAnswer::Yes}}) {
        std::ostringstream out, err;
        CConsoleInteraction careful(out, err);
        EXPECT_EQ(careful.Message(Box(c.buttons)), c.safe);
        CConsoleInteraction bold(out, err, {.assumeYes = true});
        EXPECT_EQ(bold.Message(Box(c.buttons)), c.yes);
    }

    std::ostringstream out, err;
    CConsoleInteraction ui(out, err);
    EXPECT_FALSE(ui.AskYesNo("Eksport", "Vil du overskrive filen?"));
    EXPECT_EQ(out.str(), "Eksport: Vil du overskrive filen? [answered No]\n");
    EXPECT_EQ(err.str(), "");

    CChoice choice;
    choice.caption = "Pagewright";
    choice.text = "Objektet er meget stort.";
    choice.buttons = {"&Afbryd", "&Fortsæt"};
    choice.checkBox = "Vis ikke denne dialog-boks igen";
    for (bool initial : {false, true}) {
        choice.checkBoxInitial = initial;
        CChoiceResult r = ui.Choose(choice);
        EXPECT_EQ(r.button, 0);
        EXPECT_EQ(r.checked, initial);
    }
    EXPECT_NE(out.str().find("Objektet er meget stort. [answered Afbryd]"), std::string::npos);
    // A yes/no question with "do not ask again" is answered once, No unless
    // the run assumes yes.
    CChoice send{499, "Skal filer opsendes", "Forside", {"Ja", "Nej"}, "Spørg ikke om dette igen",
                 false};
    EXPECT_EQ(ui.Choose(send).button, 1);
    EXPECT_TRUE(ui.Choose(send).checked);
    EXPECT_NE(out.str().find("Forside [answered Nej]"), std::string::npos);
    std::ostringstream yesOut, yesErr;
    CConsoleInteraction yes(yesOut, yesErr, {.assumeYes = true});
    EXPECT_EQ(yes.Choose(send).button, 0);
    // An unknown server key is trusted only when the run says so for keys:
    // "assume yes" alone does not trust a key nobody compared.
    CChoice hostKey{IDD_HOST_KEY_UNKNOWN, "Ukendt server", "SHA256:abc", {"&Ja", "&Nej"}, "",
                    false};
    EXPECT_EQ(yes.Choose(hostKey).button, 1);
    CConsoleInteraction trusting(yesOut, yesErr, {.acceptHostKey = true});
    EXPECT_EQ(trusting.Choose(hostKey).button, 0);
    EXPECT_NE(yesOut.str().find("SHA256:abc [answered Ja]"), std::string::npos);
    choice.buttons.clear();
    EXPECT_EQ(ui.Choose(choice).button, -1);

    EXPECT_TRUE(ui.ChooseFile({}).empty());
    EXPECT_TRUE(ui.ChooseFolder("Eksport", "/tmp").empty());
    std::string name = "Standard";
    EXPECT_FALSE(ui.AskText("Profil", "Navn:", name));
    EXPECT_EQ(name, "Standard");
}

TEST(ConsoleInteraction, ErrorsGoToTheErrorStreamAsCaptionAndText) {
    std::ostringstream out, err;
    CConsoleInteraction ui(out, err);
    ui.Error("FTP", "Forbindelsen blev afbrudt.");
    ui.Message(Box(CMessage::Buttons::Ok, CMessage::Icon::Warning));
    ui.Inform("Eksport", "Siden er eksporteret.");
    ui.Inform("", "Uden overskrift.");
    EXPECT_EQ(err.str(), "FTP: Forbindelsen blev afbrudt.\nPagewright: Gem ændringer?\n");
    EXPECT_EQ(out.str(), "Eksport: Siden er eksporteret.\nUden overskrift.\n");
}

TEST(ConsoleInteraction, ProgressLinesNeverCancel) {
    auto drive = [](Mode mode, int steps) {
        std::ostringstream out, err;
        CConsoleInteraction ui(out, err, {.progress = mode});
        {
            auto p = ui.OpenProgress(1, "Bygger");
            p->SetPhase("Sider");
            p->SetPage("forside");
            for (int i = 1; i <= steps; ++i) {
                EXPECT_FALSE(p->IsCancelled());
                p->SetPos(static_cast<long long>(i) * CProgress::kRange / steps);
            }
            p->SetPos(CProgress::kRange * 2); // out of range: shown as 100%, not more
        }
        return err.str();
    };

    EXPECT_EQ(drive(Mode::Off, 50), "");

    std::string terminal = drive(Mode::Terminal, 1000);
    EXPECT_NE(terminal.find("\rBygger: Sider forside 50%"), std::string::npos);
    EXPECT_NE(terminal.find("\rBygger: Sider forside 100%"), std::string::npos);
    EXPECT_EQ(terminal.find("200%"), std::string::npos);
    EXPECT_EQ(terminal.back(), '\n');
    // One redraw per whole percent, not one per step.
    EXPECT_LE(std::count(terminal.begin(), terminal.end(), '\r'), 104);

    std::string log = drive(Mode::Log, 1000);
    EXPECT_EQ(log.find('\r'), std::string::npos);
    EXPECT_NE(log.find("Bygger: Sider\n"), std::string::npos);
    EXPECT_NE(log.find("Bygger: 100%\n"), std::string::npos);
    EXPECT_LE(std::count(log.begin(), log.end(), '\n'), 13);

    // A shorter line wipes what is left of a longer one.
    std::ostringstream out, err;
    CConsoleInteraction ui(out, err, {.progress = Mode::Terminal});
    {
        auto p = ui.OpenProgress(1, "B");
        p->SetPage("lang-sidenavn");
        p->SetPage("kort");
    }
    EXPECT_EQ(err.str(), "\rB: lang-sidenavn 0%\rB: kort 0%         \n");
}

TEST(ConsoleInteraction, BrowserGetsThePathAsOneArgumentOrThePathIsPrinted) {
    pwtest::TempDir dir;
    auto record = dir / "seen.txt";
    auto opener = dir / "fake-browser";
    {
        std::ofstream script(opener);
        script << "#!/bin/sh\nprintf '%s' \"$1\" > '" << (dir / "seen.tmp").string() << "'\nmv '"
               << (dir / "seen.tmp").string() << "' '" << record.string() << "'\n";
    }
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);

    std::ostringstream out, err;
    CConsoleInteraction ui(out, err, {.browserCommand = opener.string()});
    // Spaces, quotes and shell syntax must arrive untouched and never run.
    std::filesystem::path page = dir / "my site; $(touch hacked) 'x'.htm";
    EXPECT_TRUE(ui.OpenInBrowser(page));
    for (int i = 0; i < 500 && !std::filesystem::exists(record); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(ReadAll(record), page.string());
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::current_path() / "hacked"));
    EXPECT_EQ(out.str(), "");

    for (std::string command : {"", "no-such-browser-program", "/nonexistent/browser"}) {
        std::ostringstream o, e;
        CConsoleInteraction none(o, e, {.browserCommand = command});
        EXPECT_FALSE(none.OpenInBrowser("/tmp/out/default.htm"));
        EXPECT_EQ(o.str(), "Open in a browser: /tmp/out/default.htm\n");
    }
}

TEST(ConsoleInteraction, WaitCountIsBalanced) {
    std::ostringstream out, err;
    CConsoleInteraction ui(out, err);
    {
        CWaitScope a(ui);
        CWaitScope b(ui);
        EXPECT_EQ(ui.WaitCount(), 2);
    }
    EXPECT_EQ(ui.WaitCount(), 0);
    ui.EndWait();
    EXPECT_EQ(ui.WaitCount(), 0);
}
