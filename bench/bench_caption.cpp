// Prints what laying out one request caption costs, on texts of 100 to
// 100,000 characters with and without spaces: the request cell of the 30-row
// board at 1024 pixels and of the 10-row board at 1366, the banner at both
// widths, one paint of a banner panel (layout and drawing, cache cold), and a
// whole 30-row board of such texts.
// Runs on the offscreen platform; the fonts are the board's own.
#include "board/BoardFonts.h"
#include "board/CaptionLayout.h"
#include "board/CaptionPanel.h"
#include "monitor/BoardGeometry.h"
#include "monitor/RequestBoard.h"
#include "services/Settings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace kavri;
using namespace kavri::monitor;

namespace {

QString textOf(int characters, bool spaces)
{
    const QString piece = spaces ? u"물 좀 더 주세요 앞접시 두 개 "_s : u"물좀더주세요앞접시두개"_s;
    QString out;
    out.reserve(characters + piece.size());
    while (out.size() < characters)
        out += piece;
    out.truncate(characters);
    return out;
}

template <typename F> double msPerRound(F &&body)
{
    body(); // warm up the font caches
    QElapsedTimer t;
    t.start();
    int rounds = 0;
    do {
        body();
        ++rounds;
    } while (t.elapsed() < 300 && rounds < 1000);
    return double(t.nsecsElapsed()) / 1e6 / rounds;
}

double cellMs(const QString &text, int resolution, int display)
{
    const BoardGeometry g = boardGeometry(resolution, display);
    const QString res = resolution == 0 ? u"1024"_s : u"1366"_s;
    const QString rows = QStringList{u"10개"_s, u"16개"_s, u"30개"_s}.at(display);
    const QFont font = boardRequestFont(requestPointSize(res, rows, CommonUtil::textWidth(text)));
    const QSize box = kRequestCellMargins.box(g.cells[0][BoardGeometry::Request].size());
    const CaptionFit fit{true, 0.7, captionFloorPoints(g.fonts.request)};
    return msPerRound([&] { layoutCaption(text, font, box, fit); });
}

double bannerMs(const QString &text, int resolution)
{
    const BoardGeometry g = boardGeometry(resolution, 0);
    const QFont font = boardDisplayFont(
        bannerPointSize(resolution == 0 ? u"1024"_s : u"1366"_s, CommonUtil::textWidth(text)));
    const CaptionFit fit{true, 0.1, bannerFloorPoints()};
    return msPerRound([&] { layoutCaption(text, font, kBannerMargins.box(g.lblRequest.size()), fit); });
}

/// A whole 30-row board at 1366 pixels of such texts, each a little different
/// (a layout per cell), with the banner and the width measures the fill takes.
double boardMs(const QString &text)
{
    const BoardGeometry g = boardGeometry(1, 2);
    const QSize cell = kRequestCellMargins.box(g.cells[0][BoardGeometry::Request].size());
    const CaptionFit cellFit{true, 0.7, captionFloorPoints(g.fonts.request)};
    const CaptionFit bannerFit{true, 0.1, bannerFloorPoints()};
    QStringList texts;
    for (int r = 0; r < BoardGeometry::kRows; ++r)
        texts.append(QString::number(r) + text);
    return msPerRound([&] {
        for (const QString &t : texts) {
            const int size = requestPointSize(u"1366"_s, u"30개"_s, CommonUtil::textWidth(t));
            layoutCaption(t, boardRequestFont(size), cell, cellFit);
        }
        const QFont banner = boardDisplayFont(bannerPointSize(u"1366"_s, CommonUtil::textWidth(texts[0])));
        layoutCaption(texts[0], banner, kBannerMargins.box(g.lblRequest.size()), bannerFit);
    });
}

double paintMs(const QString &text)
{
    const BoardGeometry g = boardGeometry(1, 0);
    CaptionPanel panel;
    panel.resize(g.lblRequest.size());
    panel.setWordWrap(true);
    panel.setMargins(kBannerMargins.horizontal, kBannerMargins.vertical);
    panel.setShrinkToFit(0.1, bannerFloorPoints());
    panel.setFont(boardDisplayFont(bannerPointSize(u"1366"_s, CommonUtil::textWidth(text))));
    QPixmap target(panel.size());
    bool flip = false;
    return msPerRound([&] {
        // A caption that changes each round, so the layout cache never answers.
        flip = !flip;
        panel.setCaption(flip ? text : text + u'.');
        panel.render(&target);
    });
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::printf("%9s %7s %12s %12s %12s %12s %12s %12s\n", "chars", "spaces", "30/1024 ms", "10/1366 ms",
                "banner1024", "banner1366", "paint ms", "board ms");
    for (const int characters : {100, 1000, 10000, 100000}) {
        for (const bool spaces : {true, false}) {
            const QString text = textOf(characters, spaces);
            std::printf("%9d %7s %12.3f %12.3f %12.3f %12.3f %12.3f %12.3f\n", characters,
                        spaces ? "yes" : "no", cellMs(text, 0, 2), cellMs(text, 1, 0), bannerMs(text, 0),
                        bannerMs(text, 1), paintMs(text), boardMs(text));
        }
    }
    return 0;
}
