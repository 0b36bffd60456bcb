#include "render/Rendering.h"
#include "render/EffectsRenderer.h"

void InstallRendering(CUserInteraction* ui) {
    InstallEffectsRenderer();
    SetEffectsInteraction(ui);
}
