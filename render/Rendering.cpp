#include "render/Rendering.h"
#include "model/TextObject.h"
#include "model/UndoHistory.h"
#include "image/Image.h"
#include "model/SiteFile.h"
#include "render/EffectsRenderer.h"
#include "render/PageRenderer.h"

void InstallRendering(CUserInteraction* ui) {
    InstallEffectsRenderer();
    InstallTextRendering();
    InstallUndoHistory();
    SetEffectsInteraction(ui);
    DefaultPreviewMaker() = RenderPreview;
}
