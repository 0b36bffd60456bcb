#include "tests/support/ScriptedInteraction.h"
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <stdexcept>

using pwtest::CScriptedInteraction;
using K = CScriptedInteraction::EKind;

namespace {

// The way core code drives a status window: poll, then advance.
int RunSteps(CUserInteraction& ui, int steps) {
    auto progress = ui.OpenProgress(7, "Bygger");
    progress->SetPhase("Sider");
    int done = 0;
    for (int i = 0; i < steps; ++i) {
        if (progress->IsCancelled()) break;
        progress->SetPage("Side " + std::to_string(i + 1));
        progress->SetPos(static_cast<long long>(i + 1) * CProgress::kRange / steps);
        ++done;
    }
    return done;
}

CChoice MakeChoice() {
    CChoice c;
    c.id = 5010;
    c.caption = "Pagewright";
    c.text = "Objektet er meget stort.";
    c.buttons = {"&Afbryd", "&Fortsæt"};
    c.checkBox = "Vis ikke denne dialog-boks igen";
    return c;
}

} // namespace

TEST(ScriptedInteraction, AnswersInOrderAndRecordsEveryCall) {
    CScriptedInteraction ui;
    ui.ExpectMessage(4000, EAnswer::Ok)
        .ExpectMessage("Gem", EAnswer::No)
        .ExpectMessage("overskrive", EAnswer::Yes)
        .ExpectChoice(5010, 1, true)
        .ExpectFile("/tmp/site.pwu")
        .ExpectFolder("")
        .ExpectText("Min profil")
        .ExpectTextCancel();

    ui.Error("Pagewright", "Mindstekravet er 16-bit farver.", 4000);
    EXPECT_EQ(ui.AskYesNoCancel("Pagewright", "Gem ændringer i site.pwu?"), EAnswer::No);
    EXPECT_TRUE(ui.AskYesNo("Eksport", "Vil du overskrive filen?"));
    CChoiceResult r = ui.Choose(MakeChoice());
    EXPECT_EQ(r.button, 1);
    EXPECT_TRUE(r.checked);
    EXPECT_EQ(ui.ChooseFile({}), std::filesystem::path("/tmp/site.pwu"));
    EXPECT_TRUE(ui.ChooseFolder("Vælg mappe", "/home").empty());
    std::string name = "ny";
    EXPECT_TRUE(ui.AskText("Profil", "Navn:", name));
    EXPECT_EQ(name, "Min profil");
    EXPECT_FALSE(ui.AskText("Profil", "Navn:", name));
    EXPECT_EQ(name, "Min profil") << "a cancelled question must leave the text alone";
    EXPECT_TRUE(ui.OpenInBrowser("/tmp/out/default.htm"));

    EXPECT_EQ(ui.Pending(), 0u);
    ASSERT_EQ(ui.Calls().size(), 9u);
    EXPECT_EQ(ui.Calls()[0].id, 4000);
    EXPECT_EQ(ui.Calls()[0].caption, "Pagewright");
    EXPECT_EQ(ui.Calls()[3].kind, K::Choice);
    EXPECT_EQ(ui.CountCalls(K::Message), 3);
    EXPECT_EQ(ui.CountCalls(K::Text), 2);
    EXPECT_TRUE(ui.SawId(5010));
    EXPECT_TRUE(ui.SawText("16-bit"));
    EXPECT_FALSE(ui.SawText("not shown"));
    ASSERT_EQ(ui.OpenedInBrowser().size(), 1u);
    EXPECT_EQ(ui.OpenedInBrowser()[0], "/tmp/out/default.htm");
    EXPECT_TRUE(ui.Verify());
}

TEST(ScriptedInteraction, UnscriptedOrMismatchedDialogsFailWithTheirTextAndGetTheSafeAnswer) {
    EAnswer answer = EAnswer::Yes;
    EXPECT_NONFATAL_FAILURE(
        {
            CScriptedInteraction ui;
            answer = ui.AskYesNoCancel("Pagewright", "Gem ændringer i site.pwu?", 12);
        },
        "Gem ændringer i site.pwu?");
    EXPECT_EQ(answer, EAnswer::Cancel);

    EXPECT_NONFATAL_FAILURE(
        {
            CScriptedInteraction ui;
            answer = ui.AskYesNo("Pagewright", "Slet siden?") ? EAnswer::Yes : EAnswer::No;
        },
        "Slet siden?");
    EXPECT_EQ(answer, EAnswer::No);

    // A message where the script expects a choice: the message fails, the
    // choice is still waiting and is reported as unused.
    {
        CScriptedInteraction ui;
        ui.ExpectChoice(5010, 0);
        EXPECT_NONFATAL_FAILURE(ui.Inform("Pagewright", "Siden er gemt."),
                                "expected a choice with id 5010");
        EXPECT_NONFATAL_FAILURE(ui.Verify(), "never asked for (id 5010)");
    }
    // The wrong id for the right kind.
    {
        CScriptedInteraction ui;
        ui.ExpectMessage(5001, EAnswer::Ok);
        EXPECT_NONFATAL_FAILURE(
            ui.Inform("Pagewright", "Du kan kun benytte filer af typen .pwu.", 5004), "id 5004");
        EXPECT_EQ(ui.Pending(), 1u);
        ui.Inform("Pagewright", "Du kan kun åbne en enkelt .pwu file ad gangen.", 5001);
    }

    int button = 0;
    EXPECT_NONFATAL_FAILURE(
        {
            CScriptedInteraction ui;
            button = ui.Choose(MakeChoice()).button;
        },
        "Objektet er meget stort.");
    EXPECT_EQ(button, -1);
}

TEST(ScriptedInteraction, AnswersTheDialogDoesNotOfferFail) {
    EAnswer answer = EAnswer::Yes;
    EXPECT_NONFATAL_FAILURE(
        {
            CScriptedInteraction ui;
            ui.ExpectMessage(1, EAnswer::Yes);
            CMessage m;
            m.id = 1;
            m.text = "Forbindelsen blev afbrudt.";
            m.buttons = CMessage::Buttons::OkCancel;
            answer = ui.Message(m);
        },
        "is not a button of");
    EXPECT_EQ(answer, EAnswer::Cancel);

    EXPECT_NONFATAL_FAILURE(
        {
            CScriptedInteraction ui;
            ui.ExpectChoice(5010, 2);
            ui.Choose(MakeChoice());
        },
        "does not exist");

    EXPECT_NONFATAL_FAILURE(
        {
            CScriptedInteraction ui;
            ui.ExpectChoice(5010, 0, true);
            CChoice c = MakeChoice();
            c.checkBox.clear();
            ui.Choose(c);
        },
        "has none");
}

TEST(ScriptedInteraction, UnusedAnswersAreReportedOnce) {
    EXPECT_NONFATAL_FAILURE(
        {
            CScriptedInteraction ui;
            ui.ExpectMessage("Gem", EAnswer::Yes);
        },
        "never asked for (\"Gem\")");

    EXPECT_NONFATAL_FAILURE(
        {
            CScriptedInteraction ui;
            ui.ExpectFile("/tmp/a.pwu");
            EXPECT_FALSE(ui.Verify());
            EXPECT_EQ(ui.Pending(), 0u); // the destructor has nothing left to report
        },
        "file chooser answer was never asked for");

    EXPECT_NONFATAL_FAILURE(
        {
            CScriptedInteraction ui;
            ui.CancelProgressAfter(2);
        },
        "none was opened");
}

TEST(ScriptedInteraction, NoticesCanBeAllowedWithoutLooseningQuestions) {
    CScriptedInteraction ui;
    ui.AllowUnscriptedNotices();
    ui.Inform("Pagewright", "Siden er gemt.");
    ui.Error("FTP", "Forbindelsen blev afbrudt.");
    EXPECT_EQ(ui.CountCalls(K::Message), 2);
    bool yes = true;
    EXPECT_NONFATAL_FAILURE(yes = ui.AskYesNo("Pagewright", "Slet siden?"), "Slet siden?");
    EXPECT_FALSE(yes);
}

TEST(ScriptedInteraction, ProgressRecordsAndCancelsAfterTheScriptedPolls) {
    CScriptedInteraction ui;
    EXPECT_EQ(RunSteps(ui, 4), 4);
    ui.CancelProgressAfter(3);
    EXPECT_EQ(RunSteps(ui, 10), 3);
    EXPECT_EQ(RunSteps(ui, 2), 2) << "the cancel applies to one progress window only";

    ASSERT_EQ(ui.Progresses().size(), 3u);
    const auto& first = *ui.Progresses()[0];
    EXPECT_TRUE(first.closed);
    EXPECT_EQ(first.id, 7);
    EXPECT_EQ(first.caption, "Bygger");
    EXPECT_EQ(first.phases, std::vector<std::string>{"Sider"});
    EXPECT_EQ(first.pages.back(), "Side 4");
    EXPECT_EQ(first.positions, (std::vector<long long>{250000, 500000, 750000, 1000000}));
    EXPECT_FALSE(first.cancelReported);
    const auto& cancelled = *ui.Progresses()[1];
    EXPECT_TRUE(cancelled.cancelReported);
    EXPECT_EQ(cancelled.polls, 4);
    EXPECT_EQ(cancelled.positions.size(), 3u);

    ui.CancelProgressAfter(0);
    EXPECT_EQ(RunSteps(ui, 5), 0);

    EXPECT_NONFATAL_FAILURE(
        {
            CScriptedInteraction other;
            auto p = other.OpenProgress(1, "Overfører");
            p->SetRange(100);
            p->SetPos(100);
            p->SetPos(101);
        },
        "position 101 outside 0..100");
}

TEST(ScriptedInteraction, WaitCountStaysBalancedAndUnbalanceFails) {
    CScriptedInteraction ui;
    try {
        CWaitScope outer(ui);
        CWaitScope inner(ui);
        EXPECT_EQ(ui.WaitCount(), 2);
        throw std::runtime_error("disk full");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(ui.WaitCount(), 0);
    EXPECT_EQ(ui.MaxWaitCount(), 2);

    EXPECT_NONFATAL_FAILURE(
        {
            CScriptedInteraction other;
            other.EndWait();
        },
        "without a matching BeginWait");
    EXPECT_NONFATAL_FAILURE(
        {
            CScriptedInteraction other;
            other.BeginWait();
        },
        "wait count is 1");
}
