// Relative references of a built site, from the front page in the root
// folder and from the pages in My_Homepage_Files.
#include "sitebuild/LinkUrls.h"
#include "model/ObjectLink.h"
#include <gtest/gtest.h>

namespace {

std::vector<BuildPage> ThreePages() {
    std::vector<BuildPage> pages(3);
    pages[0].fileName = "Side0.html";
    pages[1].fileName = "default.htm";
    pages[1].frontPage = true;
    pages[2].fileName = "Side2.html";
    return pages;
}

CObjectLink Link(int32_t type) {
    CObjectLink link;
    link.type = type;
    link.enabled = true;
    return link;
}

CObjectLink PageLink(int32_t page) {
    CObjectLink link = Link(CObjectLink::typePage);
    link.page = page;
    return link;
}

} // namespace

TEST(LinkUrls, PagesAndFilesAreReachedFromEitherFolder) {
    const std::vector<BuildPage> pages = ThreePages();
    const CLinkUrls urls(pages, false, nullptr);
    const BuildPage& front = pages[1];
    const BuildPage& other = pages[0];
    EXPECT_EQ(urls.FileUrl("IMG_3.jpg", front), "My_Homepage_Files/IMG_3.jpg");
    EXPECT_EQ(urls.FileUrl("IMG_3.jpg", other), "IMG_3.jpg");
    EXPECT_EQ(urls.Resolve(PageLink(2), front), "My_Homepage_Files/Side2.html");
    EXPECT_EQ(urls.Resolve(PageLink(2), other), "Side2.html");
    EXPECT_EQ(urls.Resolve(PageLink(1), front), "default.htm");
    EXPECT_EQ(urls.Resolve(PageLink(1), other), "../default.htm");
    EXPECT_EQ(urls.Resolve(PageLink(0), other), "Side0.html"); // its own page
    // Beyond the last page means the last page; below the first, the first.
    EXPECT_EQ(urls.Resolve(PageLink(7), other), "Side2.html");
    EXPECT_EQ(urls.Resolve(PageLink(-1), front), "My_Homepage_Files/Side0.html");
}

TEST(LinkUrls, MailWebAndDownloadLinks) {
    const std::vector<BuildPage> pages = ThreePages();
    const DownloadList downloads = {{"/home/a/Prisliste.pdf", "Prisliste.pdf"},
                                    {"/home/b/Prisliste.pdf", "Prisliste0.pdf"}};
    const CLinkUrls urls(pages, false, &downloads);
    const CLinkUrls preview(pages, true, &downloads);
    const CLinkUrls none(pages, false, nullptr);

    CObjectLink mail = Link(CObjectLink::typeEmail);
    mail.email = "post@klub.dk";
    EXPECT_EQ(urls.Resolve(mail, pages[0]), "mailto:post@klub.dk");

    CObjectLink web = Link(CObjectLink::typeUrl);
    web.url = "www.klub.dk/nyt?a=1&b=2";
    EXPECT_EQ(urls.Resolve(web, pages[1]), "http://www.klub.dk/nyt?a=1&b=2");
    // An address typed with its scheme is not given a second one.
    web.url = "https://www.klub.dk";
    EXPECT_EQ(urls.Resolve(web, pages[1]), "https://www.klub.dk");

    CObjectLink file = Link(CObjectLink::typeDocument);
    file.document = "/home/b/Prisliste.pdf";
    EXPECT_EQ(urls.Resolve(file, pages[1]), "My_Homepage_Files/Download/Prisliste0.pdf");
    EXPECT_EQ(urls.Resolve(file, pages[0]), "Download/Prisliste0.pdf");
    EXPECT_EQ(preview.Resolve(file, pages[1]), "Prisliste0.pdf");
    EXPECT_EQ(preview.Resolve(file, pages[0]), "Prisliste0.pdf");
    file.document = "/HOME/B/prisliste.PDF"; // the list holds each path once, any case
    EXPECT_EQ(urls.Resolve(file, pages[0]), "Download/Prisliste0.pdf");
    file.document = "/home/c/Ukendt.pdf";
    EXPECT_EQ(urls.Resolve(file, pages[0]), "Download/");
    EXPECT_EQ(none.DownloadName("/home/a/Prisliste.pdf"), "");
}
