#include "model/Document.h"
#include "SiteFileTestSupport.h"
#include "model/SafeSave.h"
#include "model/SiteFile.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempDir.h"
#include <fstream>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using namespace document_texts;
using pwtest::CScriptedInteraction;

struct CDocFixture {
    pwtest::TempDir dir;
    CScriptedInteraction ui;
    // Declared before the document, which still calls it while closing.
    std::vector<std::string> titles;
    CDocumentEvents events;
    CPlumeDoc doc{ui, "Pagewright"};

    CDocFixture() {
        doc.lastFolder = dir.Path();
        events.titleChanged = [this](const std::string& t) { titles.push_back(t); };
        doc.AddObserver(&events);
    }
    fs::path WriteSite(const std::string& name) {
        auto site = pwtest::MakeSiteForFiles(2, 2);
        fs::path path = dir / name;
        EXPECT_TRUE(SafeSave(*site, path, ui));
        return path;
    }
};

TEST(Document, NewSiteTitleAndFirstSave) {
    CDocFixture f;
    EXPECT_EQ(f.doc.Title(), "Pagewright");
    ASSERT_TRUE(f.doc.NewSite(pwtest::MakeSiteForFiles(1, 2)));
    EXPECT_FALSE(f.doc.NewSite(pwtest::MakeSiteForFiles(1, 1)));
    f.doc.Site()->PageAt(0).MarkModified();
    EXPECT_EQ(f.titles.back(), "Pagewright - Ikke navngivet*");

    // A never-saved site asks for a name in the last folder; "test" gets ".pwu".
    f.ui.ExpectFile(f.dir / "test");
    ASSERT_TRUE(f.doc.Save());
    EXPECT_TRUE(f.ui.Verify());
    ASSERT_EQ(f.ui.Calls().size(), 1u);
    EXPECT_EQ(f.ui.Calls()[0].text, f.dir.Path().string());
    EXPECT_TRUE(fs::exists(f.dir / "test.pwu"));
    EXPECT_EQ(f.titles.back(), "Pagewright - test.pwu");
    EXPECT_EQ(f.doc.RecentFiles(), std::vector<fs::path>{f.dir / "test.pwu"});

    // Saving again asks nothing; Save As "test.txt" writes test.pwu again.
    f.doc.Site()->MarkModified();
    ASSERT_TRUE(f.doc.Save());
    f.ui.ExpectFile(f.dir / "other.txt");
    ASSERT_TRUE(f.doc.SaveAs());
    EXPECT_TRUE(f.ui.Verify());
    EXPECT_EQ(f.doc.Site()->path, (f.dir / "other.pwu").string());
    EXPECT_EQ(f.doc.RecentFiles().front(), f.dir / "other.pwu");
    EXPECT_EQ(f.doc.RecentFiles().size(), 2u);
}

TEST(Document, OpeningAskingToCloseAndRecentFiles) {
    CDocFixture f;
    const fs::path a = f.WriteSite("a.pwu");
    const fs::path b = f.WriteSite("b.pwu");
    ASSERT_TRUE(f.doc.OpenFile(a));
    f.doc.Site()->MarkModified();

    // Nej to closing, then Annuller to the changes: the site stays.
    f.ui.ExpectMessage(kCloseId, EAnswer::No);
    EXPECT_FALSE(f.doc.OpenFile(b));
    f.ui.ExpectMessage(kCloseId, EAnswer::Yes).ExpectMessage(kChangesId, EAnswer::Cancel);
    EXPECT_FALSE(f.doc.OpenFile(b));
    EXPECT_EQ(f.doc.Site()->path, a.string());
    // Nej to saving: the other site opens, the changes are dropped.
    f.ui.ExpectMessage(kCloseId, EAnswer::Yes).ExpectMessage(kChangesId, EAnswer::No);
    EXPECT_TRUE(f.doc.OpenFile(b));
    EXPECT_TRUE(f.ui.Verify());
    EXPECT_EQ(f.doc.Site()->path, b.string());
    EXPECT_EQ(f.doc.RecentFiles(), (std::vector<fs::path>{b, a}));
    EXPECT_EQ(f.titles.back(), "Pagewright - b.pwu");

    // A template is not remembered; at most four files are.
    const fs::path t = f.WriteSite("t.pws");
    f.ui.ExpectMessage(kCloseId, EAnswer::Yes);
    EXPECT_TRUE(f.doc.OpenFile(t));
    EXPECT_EQ(f.doc.RecentFiles(), (std::vector<fs::path>{b, a}));
    for (const char* name : {"c.pwu", "d.pwu", "e.pwu", "a.pwu"}) {
        const fs::path p = name == std::string("a.pwu") ? a : f.WriteSite(name);
        f.ui.ExpectMessage(kCloseId, EAnswer::Yes);
        EXPECT_TRUE(f.doc.OpenFile(p));
    }
    EXPECT_TRUE(f.ui.Verify());
    EXPECT_EQ(f.doc.RecentFiles(),
              (std::vector<fs::path>{a, f.dir / "e.pwu", f.dir / "d.pwu", f.dir / "c.pwu"}));
}

TEST(Document, BrokenFileLeavesNoSite) {
    CDocFixture f;
    std::ofstream(f.dir / "bad.pwu") << "Orbelle but not really a site";
    f.ui.ExpectMessage(kOpenFailId, EAnswer::Ok);
    EXPECT_FALSE(f.doc.OpenFile(f.dir / "bad.pwu"));
    f.ui.ExpectMessage(kOpenFailId, EAnswer::Ok);
    EXPECT_FALSE(f.doc.OpenFile(f.dir / "missing.pwu"));
    EXPECT_TRUE(f.ui.Verify());
    EXPECT_EQ(f.doc.Site(), nullptr);
    EXPECT_TRUE(f.doc.RecentFiles().empty());
}

TEST(Document, ClosingPromptsOnlyForTheLastWindowOfAModifiedSite) {
    CDocFixture f;
    int windows = 2;
    f.events.pageWindowCount = [&] { return windows; };
    ASSERT_TRUE(f.doc.OpenFile(f.WriteSite("s.pwu")));
    f.doc.Site()->MarkModified();
    EXPECT_TRUE(f.doc.CanCloseFrame());
    windows = 1;
    f.ui.ExpectMessage(kChangesId, EAnswer::Cancel);
    EXPECT_FALSE(f.doc.CanCloseFrame());
    f.ui.ExpectMessage(kChangesId, EAnswer::Cancel);
    EXPECT_FALSE(f.doc.Close());
    ASSERT_NE(f.doc.Site(), nullptr);
    // Ja saves, then closes.
    int profileWrites = 0;
    f.events.writeProfiles = [&] { ++profileWrites; };
    f.ui.ExpectMessage(kChangesId, EAnswer::Yes);
    EXPECT_TRUE(f.doc.Close());
    EXPECT_TRUE(f.ui.Verify());
    EXPECT_EQ(f.doc.Site(), nullptr);
    EXPECT_EQ(profileWrites, 1);
    EXPECT_EQ(f.titles.back(), "Pagewright");
    // A saved site closes without a question.
    ASSERT_TRUE(f.doc.OpenFile(f.dir / "s.pwu"));
    EXPECT_TRUE(f.doc.Close());
}

TEST(Document, SaveAsTemplateWritesNamesAndLeavesTheSiteUntitled) {
    CDocFixture f;
    ASSERT_TRUE(f.doc.OpenFile(f.WriteSite("s.pwu")));
    f.ui.ExpectText("Foreninger").ExpectText("Klubben").ExpectFile(f.dir / "klub");
    ASSERT_TRUE(f.doc.SaveAsTemplate());
    EXPECT_TRUE(f.ui.Verify());
    std::string category, name;
    ASSERT_TRUE(ReadSiteInfo(f.dir / "klub.pws", category, name));
    EXPECT_EQ(category, "Foreninger");
    EXPECT_EQ(name, "Klubben");
    EXPECT_EQ(f.doc.Site()->path, "");
    f.ui.ExpectFile(f.dir / "ny");
    EXPECT_TRUE(f.doc.Save());
    EXPECT_TRUE(fs::exists(f.dir / "ny.pwu"));
}

TEST(Document, IdleRendersOnePieceAtATime) {
    CDocFixture f;
    EXPECT_FALSE(f.doc.OnIdle(10000));
    ASSERT_TRUE(f.doc.NewSite(pwtest::MakeSiteForFiles(2, 3)));
    CSite& site = *f.doc.Site();
    int dirty = 0;
    for (const auto& page : site.Pages()) {
        dirty += page->Background().NeedsRender();
        for (const auto& item : page->Items())
            dirty += item->Current().IsDirty();
    }
    ASSERT_GT(dirty, 0);
    EXPECT_TRUE(f.doc.OnIdle(1));
    int pieces = 0;
    while (f.doc.OnIdle(5000))
        ++pieces;
    EXPECT_EQ(pieces, dirty);
    for (const auto& page : site.Pages()) {
        EXPECT_FALSE(page->Background().NeedsRender());
        for (const auto& item : page->Items())
            EXPECT_FALSE(item->Current().IsDirty());
    }
}

} // namespace
