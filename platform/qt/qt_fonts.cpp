#include "platform/qt/qt_fonts.h"

#include <QFontDatabase>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>

namespace platform {

namespace {

struct Substitution {
    const char* family;           // as the windows name it
    const char* lookAlikes[2];    // free fonts, best first
    QFont::Weight lightest;       // a display face that only comes heavy
};

// DejaVu comes last everywhere, so a text never falls to a font that Qt picks at random.
constexpr std::array substitutions{
    Substitution{"Rockwell Extra Bold", {"Roboto Slab", "DejaVu Serif"}, QFont::ExtraBold},
    Substitution{"Showcard Gothic", {"Bebas Neue", "DejaVu Sans"}, QFont::Normal},
    Substitution{"Monotype Corsiva", {"TeX Gyre Chorus", "DejaVu Serif"}, QFont::Normal},
    Substitution{"Ravie", {"Leckerli One", "DejaVu Sans"}, QFont::Normal},
    Substitution{"Times New Roman", {"Liberation Serif", "DejaVu Serif"}, QFont::Normal},
    Substitution{"MS Sans Serif", {"Liberation Sans", "DejaVu Sans"}, QFont::Normal},
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
        QFont::insertSubstitutions(family, {QString::fromLatin1(s.lookAlikes[0]),
                                            QString::fromLatin1(s.lookAlikes[1])});
    }
}

QFont toQFont(const Font& font)
{
    QFont result(QString::fromStdString(font.Name));
    result.setPointSizeF(font.Size > 0 ? font.Size : 8);
    QFont::Weight weight = weightOf(font);
    if (const Substitution* s = substitutionFor(font.Name))
        weight = std::max(weight, s->lightest);
    result.setWeight(weight);
    result.setItalic(font.Italic);
    result.setUnderline(font.Underline);
    return result;
}

} // namespace platform
