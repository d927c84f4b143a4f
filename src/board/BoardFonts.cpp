#include "board/BoardFonts.h"

#include "monitor/RequestBoard.h"

#include <QFontDatabase>
#include <QStringList>

#include <limits>

using namespace Qt::StringLiterals;

namespace kavri::monitor {
namespace {

struct Choice
{
    QString family;
    QFont::Weight weight;
};

/// The first of `choices` that is installed; the last one otherwise (the
/// font matching of the system then finds the nearest).
Choice firstInstalled(std::initializer_list<Choice> choices)
{
    const QStringList installed = QFontDatabase::families();
    for (const Choice &choice : choices) {
        if (installed.contains(choice.family, Qt::CaseInsensitive))
            return choice;
    }
    return *(choices.end() - 1);
}

/// Emoji customers type on their phones come from the colour emoji font the
/// set-up installs; the board's faces have none.
const QString EmojiFamily = u"Noto Color Emoji"_s;

QFont make(const Choice &choice, int pointSize)
{
    QFont font(choice.family);
    font.setFamilies({choice.family, EmojiFamily});
    font.setWeight(choice.weight);
    if (pointSize > 0)
        font.setPointSize(pointSize);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

} // namespace

QFont boardDisplayFont(int pointSize)
{
    // The design font is heavy by itself; the stand-ins need their heaviest cut
    // to read from across a room.
    static const Choice choice = firstInstalled({{u"여기어때 잘난체"_s, QFont::Normal},
                                                 {u"NanumSquare"_s, QFont::ExtraBold},
                                                 {u"NanumGothic"_s, QFont::Bold}});
    return make(choice, pointSize);
}

QFont boardRequestFont(int pointSize)
{
    // The request text is not bold; the stand-in is the regular cut of a clear face.
    static const Choice choice = firstInstalled({{u"Mapo당인리발전소"_s, QFont::Normal},
                                                 {u"NanumSquare"_s, QFont::Normal},
                                                 {u"NanumGothic"_s, QFont::Normal}});
    return make(choice, pointSize);
}

QFont uiFont(int pixelSize, bool bold)
{
    QFont font(u"NanumGothic"_s);
    font.setFamilies({u"NanumGothic"_s, EmojiFamily});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

qreal captionFloorPoints(int tablePointSize)
{
    return 0.7 * tablePointSize;
}

qreal bannerFloorPoints()
{
    return captionFloorPoints(bannerPointSize(u"1024"_s, std::numeric_limits<int>::max()));
}

} // namespace kavri::monitor
