#pragma once
#include "model/EllipseObject.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/BackgroundFill.h"
#include "services/ByteWriter.h"
#include <memory>
#include <string>

namespace pwtest {

// A site with `pages` pages of `itemsPerPage` rectangles and ellipses; every
// third item has a mouse-over twin and the first two items of the first page
// form a group.
inline std::unique_ptr<CSite> MakeSiteForFiles(int pages, int itemsPerPage) {
    auto site = std::make_unique<CSite>("Forening", CBackgroundFill(CColor(240, 230, 200)), 400,
                                        300, CColor(0, 0, 200), CColor(120, 0, 120));
    site->keywords = "klub, sport";
    site->description = "Vores klub";
    for (int p = 0; p < pages; ++p) {
        CPage& page = site->AddPage(std::make_unique<CPage>(*site, "Side" + std::to_string(p + 1),
                                                            "Titel " + std::to_string(p + 1)));
        page.SetHeadHtml("<meta name=\"x\">", p % 2 ? "start()" : "", {"a.js", "b.css"});
        page.AddGuide(true, 20 + p);
        page.AddGuide(false, 40);
        for (int i = 0; i < itemsPerPage; ++i) {
            const DPOINT centre{30.0 + (i * 37) % 300, 30.0 + (i * 53) % 220};
            std::unique_ptr<CPageObject> object;
            if (i % 2)
                object = std::make_unique<CEllipseObject>(centre, CObjectSize{40, 30}, 0.0);
            else
                object = std::make_unique<CRectObject>(centre, CObjectSize{50, 20}, i * 5.0);
            CPageItem& item = page.InsertItem(std::move(object));
            if (i % 3 == 0) {
                item.AttachMouseOver(item.Normal().Clone());
                item.SetEditingMouseOver(i % 2 == 0);
            }
        }
        if (p == 0 && itemsPerPage >= 2) {
            auto set = std::make_unique<CObjectSet>(
                std::vector<CPageItem*>{&page.ItemAt(0), &page.ItemAt(1)});
            set->SetGroup(true);
            set->SetSelected(false);
            page.AppendSet(std::move(set));
        }
    }
    site->SetFrontPage(site->PageAt(0));
    site->SetCurrentPage(&site->PageAt(0));
    return site;
}

} // namespace pwtest
