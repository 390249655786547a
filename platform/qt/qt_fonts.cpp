#include "platform/qt/qt_fonts.h"

#include <QFontDatabase>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>
#include <map>

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

// Asked on every paint of a text: fontconfig answers slowly, and the answer holds for
// the run.
bool installed(const std::string& family)
{
    static std::map<std::string, bool> known;
    const auto found = known.find(family);
    if (found != known.end())
        return found->second;
    return known.emplace(family, QFontDatabase::hasFamily(QString::fromStdString(family)))
        .first->second;
}

QFont::Weight weightOf(const Font& font)
{
    const int weight = std::clamp(font.Weight, 100, 900);
    if (font.Bold && weight < QFont::Bold)
        return QFont::Bold;
    return static_cast<QFont::Weight>(weight);
}

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

} // namespace

QFont toQFont(const Font& font)
{
    static const bool registered = (registerFontSubstitutions(), true);
    (void)registered;
    const QString family = QString::fromStdString(font.Name);
    QFont result(family);
    qreal size = font.Size > 0 ? font.Size : 8;
    QFont::Weight weight = weightOf(font);
    if (const Substitution* s = substitutionFor(font.Name); s && !installed(font.Name)) {
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
