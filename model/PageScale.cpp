#include "model/PageScale.h"
#include "model/BackgroundFill.h"
#include "model/Effects.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/UndoSnapshots.h"
#include <algorithm>
#include <new>

std::unique_ptr<CPage> CPage::ScaledCopy(int scale) const {
    scale = std::clamp(scale, 1, static_cast<int>(CEffects::kMaxScale));
    auto copy = std::make_unique<CPage>(*m_site, m_identifier, m_webName);
    // Set directly: the setters would tell the site that something changed.
    copy->m_frontPage = m_frontPage;
    copy->m_width = m_width * scale;
    copy->m_height = m_height * scale;
    auto background = std::make_unique<CBackgroundFill>(*m_background);
    background->SetWidth(copy->m_width);
    background->SetHeight(copy->m_height);
    background->SetPictureScale(background->PictureScale() * scale);
    copy->m_background = std::move(background);

    auto scaled = [scale](const CPageObject& object) {
        std::unique_ptr<CPageObject> c = CopyObject(object);
        if (c) c->ScaleBy(scale);
        return c;
    };
    copy->m_items.reserve(m_items.size());
    for (const auto& item : m_items) {
        std::unique_ptr<CPageObject> normal = scaled(item->Normal());
        if (!normal) return nullptr;
        auto twin = std::make_unique<CPageItem>(std::move(normal), &copy->m_tileBuffer);
        if (const CPageObject* mouseOver = item->MouseOver()) {
            std::unique_ptr<CPageObject> other = scaled(*mouseOver);
            if (!other) return nullptr;
            twin->AttachMouseOver(std::move(other));
            twin->SetEditingMouseOver(item->IsEditingMouseOver());
        }
        copy->m_items.push_back(std::move(twin));
    }
    return copy;
}

namespace pw {

std::unique_ptr<CPage> ScaledPageCopy(const CPage& page, int scale) {
    try {
        return page.ScaledCopy(scale);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace pw
