#include "render/Rendering.h"
#include "model/TextObject.h"
#include "model/UndoHistory.h"
#include "render/EffectsRenderer.h"

void InstallRendering(CUserInteraction* ui) {
    InstallEffectsRenderer();
    InstallTextRendering();
    InstallUndoHistory();
    SetEffectsInteraction(ui);
}
