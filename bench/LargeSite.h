#pragma once
// The large site the benchmarks share: 500 pages of 20 items each (ellipses
// and rectangles, every fifth with a mouse-over twin), objects left dirty.
#include "model/EllipseObject.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/BackgroundFill.h"
#include <memory>
#include <string>

inline std::unique_ptr<CSite> MakeLargeSite() {
    auto site = std::make_unique<CSite>("Bench", CBackgroundFill(CColor(250, 250, 240)), 740, 600,
                                        CColor(0, 0, 255), CColor(128, 0, 128));
    for (int p = 0; p < 500; ++p) {
        CPage& page = site->AddPage(std::make_unique<CPage>(*site, "Side" + std::to_string(p + 1),
                                                            "Side " + std::to_string(p + 1)));
        for (int i = 0; i < 20; ++i) {
            const DPOINT centre{40.0 + (i * 37) % 660, 40.0 + (i * 53) % 520};
            std::unique_ptr<CPageObject> object;
            if (i % 2)
                object = std::make_unique<CEllipseObject>(centre, CObjectSize{60, 40});
            else
                object = std::make_unique<CRectObject>(centre, CObjectSize{80, 30}, 10.0);
            CPageItem& item = page.InsertItem(std::move(object));
            if (i % 5 == 0) item.AttachMouseOver(item.Normal().Clone());
        }
    }
    site->SetFrontPage(site->PageAt(0));
    return site;
}
