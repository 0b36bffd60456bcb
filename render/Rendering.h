#pragma once

class CUserInteraction;

// Connects the rendering stages that objects call through hooks (effects, and
// the drawing of texts and labels) and tells long renders where to show the
// wait cursor. Every program calls it once at start, before any object renders.
void InstallRendering(CUserInteraction* ui);
