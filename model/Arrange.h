#pragma once
#include <cstdint>

class CPage;

// The stacking commands move the selected items within their band (normal
// items stay below the top band, top-band items above the normal ones);
// the alignment commands line the selection up on its outermost edge.
// Each Can... answers whether the command is enabled (menus, buttons). The
// stacking menu rule is deliberately cautious (for example Bring Forward is
// off as soon as the topmost normal item is selected); the command itself
// moves whatever can move within its band, records its undo step first, and
// answers false, recording nothing, when the order would stay as it is.
// Alignment does nothing and answers false when it is not enabled or when
// every selected item already lies on the line.

enum class EStackCommand { BringToFront, SendToBack, BringForward, SendBackward };
enum class EAlignCommand { Left, Right, Top, Bottom };

// Where the selection lies in the stacking order. Highest and lowest
// indices are -100000 and 100000 when nothing of that band is selected.
struct CStackInfo {
    int count = 0;          // items on the page
    int topBandStart = 0;   // number of normal items
    int selectedTop = 0;    // selected top-band items
    int selectedNormal = 0; // selected normal items
    int highestTop = -100000, lowestTop = 100000;
    int highestNormal = -100000, lowestNormal = 100000;
};

CStackInfo GatherStackInfo(const CPage& page);
bool CanStack(const CPage* page, EStackCommand command);
bool Stack(CPage& page, EStackCommand command);

// Moves every selected set by whole pixels and repaints where it was and
// where it is. Records no undo step: a drag or a run of arrow keys records
// one for all its moves (CDragUndo). False when nothing is selected.
bool MoveSelection(CPage& page, int32_t dx, int32_t dy);

bool CanAlign(const CPage* page);
bool Align(CPage& page, EAlignCommand command);
