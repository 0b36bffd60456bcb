#pragma once
#include "services/ByteStream.h"
#include <cstdint>

// The small code the rest of the program switches on (site build, clipboard,
// inspector, stacking bands). The values are stored in files and must not move.
enum ObjectKind : int32_t {
    KIND_ELLIPSE = 0,
    KIND_RECT = 1,
    KIND_TEXT = 2,
    KIND_COUNTER = 3,
    KIND_HTML = 4,
    KIND_FORM = 5,
};

// The first four bytes every object writes; ReadObject picks the class by it.
inline constexpr StreamTag TAG_ELLIPSE = 0x10B681C2;
inline constexpr StreamTag TAG_RECT = 0x91205257;
inline constexpr StreamTag TAG_TEXT = 0x930124B8;
inline constexpr StreamTag TAG_COUNTER = 0xA7F28514;
inline constexpr StreamTag TAG_HTML = 0x18BCFF07;
inline constexpr StreamTag TAG_FORM = 0x7A56C093;

// The stream tag a kind writes first.
constexpr StreamTag StreamTagOfKind(ObjectKind kind) {
    switch (kind) {
    case KIND_ELLIPSE:
        return TAG_ELLIPSE;
    case KIND_RECT:
        return TAG_RECT;
    case KIND_TEXT:
        return TAG_TEXT;
    case KIND_COUNTER:
        return TAG_COUNTER;
    case KIND_HTML:
        return TAG_HTML;
    case KIND_FORM:
        return TAG_FORM;
    }
    return 0;
}
