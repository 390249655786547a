#include "platform/qt/qt_fonts.h"

#include <QFontDatabase>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>

namespace platform {

namespace {

struct Substitution {
    const char* family;        // as the windows name it
    const char* lookAlikes[2]; // free fonts, best first
    QFont::Weight lightest;    // a display face that only comes heavy
    qreal sizeFactor;          // a look-alike that runs taller than the original
};

// DejaVu comes last everywhere, so a text never falls to a font that Qt picks at random.
constexpr std::array substitutions{
    Substitution{"Rockwell Extra Bold", {"Roboto Slab", "DejaVu Serif"}, QFont::ExtraBold, 1},
    Substitution{"Showcard Gothic", {"Bebas Neue", "DejaVu Sans"}, QFont::Normal, 1},
    Substitution{"Monotype Corsiva", {"TeX Gyre Chorus", "DejaVu Serif"}, QFont::Normal, 1},
    // Leckerli One's tall loops would be cut off in the 33-pixel name box.
    Substitution{"Ravie", {"Leckerli One", "DejaVu Sans"}, QFont::Normal, 0.8},
    Substitution{"Times New Roman", {"Liberation Serif", "DejaVu Serif"}, QFont::Normal, 1},
    // The original is a narrow bitmap face: at full size Liberation Sans would wrap the
    // end screen's rate line in its 209-pixel box.
    Substitution{"MS Sans Serif", {"Liberation Sans", "DejaVu Sans"}, QFont::Normal, 0.95},
};

const Substitution* substitutionFor(const std::string& family)
{
    const auto found = std::find_if(substitutions.begin(), substitutions.end(),
                                    [&](const Substitution& s) { return family == s.family; });
    return found == substitutions.end() ? nullptr : &*found;
}

QFont::Weight weightOf(const Font& font)
{
    const int weight = std::clamp(font.Weight, 100, 900);
    if (font.Bold && weight < QFont::Bold)
        return QFont::Bold;
    return static_cast<QFont::Weight>(weight);
}

} // namespace

void registerFontSubstitutions()
{
    for (const Substitution& s : substitutions) {
        const QString family = QString::fromLatin1(s.family);
        if (QFontDatabase::hasFamily(family))
            continue;
        QFont::insertSubstitutions(
            family, {QString::fromLatin1(s.lookAlikes[0]), QString::fromLatin1(s.lookAlikes[1])});
    }
}

QFont toQFont(const Font& font)
{
    const QString family = QString::fromStdString(font.Name);
    QFont result(family);
    qreal size = font.Size > 0 ? font.Size : 8;
    QFont::Weight weight = weightOf(font);
    if (const Substitution* s = substitutionFor(font.Name);
        s && !QFontDatabase::hasFamily(family)) {
        weight = std::max(weight, s->lightest);
        size *= s->sizeFactor;
    }
    result.setPointSizeF(size);
    result.setWeight(weight);
    result.setItalic(font.Italic);
    result.setUnderline(font.Underline);
    return result;
}

} // namespace platform
