#pragma once
#include <cstdint>
#include <optional>

class CPage;

// Guide commands. "Horizontal" guides are lines at a y position, "vertical"
// ones at an x position.

bool CanInsertGuide(const CPage* page, bool horizontal);
// At the clicked position (clamped into the page) when the command came from
// the view's context menu, else in the middle of the page.
bool InsertGuide(CPage& page, bool horizontal, std::optional<int32_t> clicked = std::nullopt);
void ToggleUseGuides(CPage& page);
void ToggleHideGuides(CPage& page);
// "Skjul Hjælpelinier" while guides show, "Vis Hjælpelinier" while hidden.
int HideGuidesMenuTextId(const CPage& page);
bool CanRemoveGuides(const CPage* page);
bool RemoveGuides(CPage& page);

// Snapping while the selection is dragged by (dx, dy): a selected item whose
// top (left) comes within 3 pixels of a guide lands just below (right of) it,
// or failing that its bottom (right) edge lands on the guide. Adjusts the
// drag in place.
inline constexpr int kSnapDistance = 3;
void SnapToGuides(const CPage& page, int32_t& dx, int32_t& dy);

// Space evenly between the guides of one direction: the selected items
// between two consecutive guides are spread from one to the other.
bool CanSpaceEvenly(const CPage* page, bool horizontalGuides);
bool SpaceEvenly(CPage& page, bool horizontalGuides);

// Centres the selected items between the guides around their centres.
bool CanCentreBetweenGuides(const CPage* page);
bool CentreBetweenGuides(CPage& page);
