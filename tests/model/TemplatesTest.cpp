#include "model/Templates.h"
#include "SiteFileTestSupport.h"
#include "model/Document.h"
#include "model/ObjectLink.h"
#include "model/SafeSave.h"
#include "model/SiteFile.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempDir.h"
#include <fstream>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

void WriteTemplate(CSite& site, const fs::path& path, const std::string& category,
                   const std::string& name) {
    fs::create_directories(path.parent_path());
    CSiteSaveOptions options;
    options.asTemplate = true;
    options.category = category;
    options.templateName = name;
    options.targetPath = path.string();
    CByteWriter writer;
    ASSERT_TRUE(SaveSite(site, writer, options));
    ASSERT_TRUE(safe_save::ReplaceFile(path, writer.Data()));
}

TEST(Templates, DiscoveryJoinsSortsAndStopsAtOneLevel) {
    pwtest::TempDir dir;
    auto site = pwtest::MakeSiteForFiles(1, 1);
    WriteTemplate(*site, dir / "a.pws", "Firma", "beta");
    WriteTemplate(*site, dir / "Sub" / "b.pws", "Firma", "Alpha");
    WriteTemplate(*site, dir / "Sub" / "c.pws", "firma", "x");
    WriteTemplate(*site, dir / "Sub" / "Deep" / "d.pws", "Firma", "deep");
    WriteTemplate(*site, dir / "Andet" / "e.PWS", "Klub", "Gamma");
    WriteTemplate(*site, dir / "f.pwu", "Klub", "not a template name");
    std::ofstream(dir / "Sub" / "broken.pws") << "nothing here";
    CByteWriter plain;
    ASSERT_TRUE(SaveSite(*site, plain));
    std::ofstream(dir / "plain.pws", std::ios::binary)
        .write(reinterpret_cast<const char*>(plain.Data().data()),
               static_cast<long>(plain.Data().size()));

    std::vector<CTemplateCategory> categories;
    ASSERT_TRUE(FindTemplates(dir.Path(), categories));
    ASSERT_EQ(categories.size(), 3u);
    // "Firma" and "firma" stay apart but sort next to each other.
    EXPECT_EQ(Lower(categories[0].name), "firma");
    EXPECT_EQ(Lower(categories[1].name), "firma");
    EXPECT_NE(categories[0].name, categories[1].name);
    EXPECT_EQ(categories[2].name, "Klub");
    const CTemplateCategory& firma = categories[0].name == "Firma" ? categories[0] : categories[1];
    EXPECT_EQ(firma.names, (std::vector<std::string>{"Alpha", "beta"}));
    EXPECT_EQ(firma.paths, (std::vector<fs::path>{dir / "Sub" / "b.pws", dir / "a.pws"}));
    EXPECT_EQ(categories[2].paths, std::vector<fs::path>{dir / "Andet" / "e.PWS"});

    EXPECT_FALSE(FindTemplates(dir / "none", categories));
    EXPECT_TRUE(categories.empty());
}

TEST(Templates, OpenedTemplateIsUntitledWithResetLinks) {
    pwtest::TempDir dir;
    auto site = pwtest::MakeSiteForFiles(3, 2);
    auto setLink = [&](int item, int32_t type, bool enabled) {
        auto link = std::make_unique<CObjectLink>();
        link->type = type;
        link->enabled = enabled;
        link->page = 2;
        link->email = "x@y.dk";
        link->url = "http://x.dk";
        link->document = "a.pdf";
        site->PageAt(0).ItemAt(item).Normal().SetLink(std::move(link));
    };
    setLink(0, CObjectLink::typePage, true);
    setLink(1, CObjectLink::typeEmail, false);
    WriteTemplate(*site, dir / "t.pws", "Firma", "Et");

    pwtest::CScriptedInteraction ui;
    CPlumeDoc doc(ui, "Pagewright");
    ASSERT_TRUE(OpenTemplate(doc, dir / "t.pws"));
    EXPECT_EQ(doc.Site()->path, "");
    EXPECT_TRUE(doc.RecentFiles().empty());
    EXPECT_EQ(doc.Title(), "Pagewright - Ikke navngivet");
    const CObjectLink* on = doc.Site()->PageAt(0).ItemAt(0).Normal().GetLink();
    ASSERT_TRUE(on);
    EXPECT_EQ(on->page, 2);
    EXPECT_EQ(on->email, CObjectLink::kDefaultEmail);
    EXPECT_EQ(on->url, CObjectLink::kDefaultUrl);
    EXPECT_EQ(on->document, "");
    const CObjectLink* off = doc.Site()->PageAt(0).ItemAt(1).Normal().GetLink();
    ASSERT_TRUE(off);
    EXPECT_EQ(off->page, 0);
    EXPECT_EQ(off->email, CObjectLink::kDefaultEmail);

    CObjectLink run;
    run.type = CObjectLink::typeDocument;
    run.document = "b.pdf";
    ResetLink(run, true);
    EXPECT_EQ(run.type, CObjectLink::typePage);
    EXPECT_EQ(run.document, "b.pdf");
}

} // namespace
