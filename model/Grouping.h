#pragma once

class CPage;

// Ctrl+G groups when more than one set is selected, or one selection with
// several members; it ungroups when exactly one group is selected.
enum class EGroupAction { None, Group, Ungroup };

EGroupAction GroupActionOf(const CPage* page);
// The menu text for the command: "Skab gruppe", "Fjern gruppe" or, disabled,
// "Skab/fjern gruppe" (string ids).
int GroupMenuTextId(const CPage* page);
// Does what GroupActionOf says; false when nothing was possible.
bool GroupOrUngroup(CPage& page);
