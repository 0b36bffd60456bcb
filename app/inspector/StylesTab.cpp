#include "app/inspector/StylesTab.h"
#include "app/QtImages.h"
#include "image/Image.h"
#include "model/Effects.h"
#include "model/ObjectClipboard.h"
#include "model/ObjectFill.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/StylePresets.h"
#include <QGridLayout>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace {
constexpr QSize kSample(40, 30);

// A small rectangle wearing the preset, drawn by the core over white.
QPixmap Sample(const CStylePreset& preset, CPage& page) {
    auto rect = std::make_unique<CRectObject>(DPOINT{100, 100}, CObjectSize{26, 18});
    auto effects = std::make_unique<CEffects>(*rect->GetEffects());
    auto fill = std::make_unique<CObjectFill>(CColor(0, 102, 204));
    ApplyStylePreset(preset, *effects, *fill);
    rect->SetEffects(std::move(effects));
    rect->SetFill(std::move(fill));
    CPageItem item(std::move(rect));
    const std::unique_ptr<CImage> picture = pw::clipboard::PictureOverWhite(item, page);
    if (!picture) return {};
    QPixmap sample(kSample);
    sample.fill(Qt::white);
    const QImage image = pw::ToQImage(*picture);
    QPainter painter(&sample);
    const QImage fitted = image.width() > kSample.width() || image.height() > kSample.height()
                              ? image.scaled(kSample, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                              : image;
    painter.drawImage((kSample.width() - fitted.width()) / 2,
                      (kSample.height() - fitted.height()) / 2, fitted);
    return sample;
}
} // namespace

CStylesTab::CStylesTab(CInspectorContext& context, QWidget* parent) : CInspectorTab(context, parent) {
    auto* grid = new QGridLayout(this);
    grid->setSpacing(4);
    for (int i = 0; i < kButtons; ++i) {
        auto* button = new QPushButton(QString::number(i + 1), this);
        button->setToolTip(QStringLiteral("Stilart %1").arg(i + 1));
        button->setIconSize(kSample);
        button->setMinimumHeight(kSample.height() + 10);
        m_buttons[static_cast<std::size_t>(i)] = button;
        grid->addWidget(button, i / 3, i % 3);
        connect(button, &QPushButton::clicked, this, [this, i] {
            if (CPage* page = Page()) ApplyStylePreset(page, i + 1);
            Applied();
        });
    }
    grid->setRowStretch(kButtons / 3, 1);
}

void CStylesTab::MakeSamples() {
    if (m_samples || !Page()) return;
    m_samples = true;
    for (int i = 0; i < kButtons; ++i)
        if (const CStylePreset* preset = StylePreset(i + 1))
            m_buttons[static_cast<std::size_t>(i)]->setIcon(QIcon(Sample(*preset, *Page())));
}

void CStylesTab::Refresh() {
    CPage* page = Page();
    MakeSamples();
    EnableAll(page && CanInspect(*page, EInspectorNeed::Fill));
}
