#pragma once

// The drawing tools of the toolbox. The numbers are the tool ids the stored
// settings and the command handlers use.
enum class ETool : int {
    Arrow = 1,
    Text = 3,
    Rectangle = 4,
    Circle = 5,
    Picture = 7,
    Pipette = 8,
    Counter = 9,
    Html = 10,
    Form = 11,
};
