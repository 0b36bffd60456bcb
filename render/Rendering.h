#pragma once

class CUserInteraction;

// Connects the rendering stages that objects call through hooks (effects, and
// the drawing of texts and labels), gives the site file the page renderer for
// its preview picture, and tells long renders where to show the wait cursor.
// Every program calls it once in main, before any object renders.
void InstallRendering(CUserInteraction* ui);
