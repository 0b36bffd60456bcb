#include "controls/GradientNames.h"
#include <array>

namespace ctl {
namespace {
constexpr int kLanguages = 9;
// clang-format off
constexpr std::array<const char*, kLanguages * kGradientNameCount> kNames = {
    "Hvid til sort", "Sort til hvid", "Blå kant", "Regnbuefarver", "Brugerdefineret",
    "White to black", "Black to white", "Blue border", "Rainbow colors", "Custom",
    "Hvit til svart", "Svart til hvit", "Blå kant", "Regnbuefarger", "Egendefinert",
    "Weiß nach Schwarz", "Schwarz nach Weiß", "Blauer Rand", "Regenbogenfarben", "Benutzerdefiniert",
    "Wit naar zwart", "Zwart naar wit", "Blauwe rand", "Regenboogkleuren", "Aangepast",
    "Blanco a negro", "Negro a blanco", "Borde azul", "Colores del arco iris", "Personalizado",
    "Vitt till svart", "Svart till vitt", "Blå kant", "Regnbågsfärger", "Anpassad",
    "White to black", "Black to white", "Blue border", "Rainbow colours", "Custom",
    "White to black", "Black to white", "Blue border", "Rainbow colours", "Custom",
};
// clang-format on

int GroupOf(const QLocale& locale) {
    switch (locale.language()) {
    case QLocale::Danish: return 0;
    case QLocale::NorwegianBokmal:
    case QLocale::NorwegianNynorsk: return 2;
    case QLocale::German: return 3;
    case QLocale::Dutch: return 4;
    case QLocale::Spanish: return 5;
    case QLocale::Swedish: return 6;
    case QLocale::English:
        if (locale.territory() == QLocale::UnitedKingdom) return 7;
        if (locale.territory() == QLocale::Ireland) return 8;
        return 1;
    default: return 1;
    }
}
} // namespace

QString GradientNameById(int id) {
    if (id < 1 || id > static_cast<int>(kNames.size())) return {};
    return QString::fromUtf8(kNames[static_cast<std::size_t>(id - 1)]);
}

QString GradientName(int no, const QLocale& locale) {
    if (no < 0 || no >= kGradientNameCount) return {};
    return GradientNameById(GroupOf(locale) * kGradientNameCount + no + 1);
}
} // namespace ctl
