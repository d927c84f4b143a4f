#include "board/BoardFonts.h"
#include "board/CaptionLayout.h"
#include "codec/TnvDecode.h"
#include "monitor/BoardGeometry.h"
#include "monitor/RequestBoard.h"
#include "monitor/RequestList.h"
#include "services/Settings.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QRawFont>
#include <QTest>
#include <QTextLayout>

using namespace Qt::StringLiterals;
using namespace kavri;
using namespace kavri::monitor;

namespace {

const QChar Ellipsis(0x2026);

/// A request text as the cycle makes it from the service's fields.
QString memo(const QString &memotext, const QString &ordercount = {})
{
    return TnvDecodeAA(withQuantity(memotext, ordercount));
}

QString repeated(const QString &piece, int characters)
{
    QString out;
    while (out.size() < characters)
        out += piece;
    out.truncate(characters);
    return out;
}

/// Text of about `columns` printer columns, words with spaces, and a quantity.
QString longWithSpaces(int columns)
{
    QString out;
    int i = 0;
    const QStringList words{u"물"_s,     u"좀"_s, u"더"_s, u"주시고"_s,
                            u"앞접시"_s, u"두"_s, u"개"_s, u"부탁드려요"_s};
    while (CommonUtil::textWidth(out) < columns)
        out += words[i++ % words.size()] + u' ';
    return memo(out.trimmed(), u"2"_s);
}

/// What a text says once line breaks, blanks and the run-on separators are gone.
QString letters(QString text)
{
    for (const QString &gone : {u"\r"_s, u"\n"_s, u" "_s, u"\u00B7"_s})
        text.remove(gone);
    return text;
}

QString resolutionText(int resolution)
{
    return resolution == 0 ? u"1024"_s : u"1366"_s;
}

QString rowText(int display)
{
    return QStringList{u"10개"_s, u"16개"_s, u"30개"_s}.at(display);
}

/// The checks every laid-out caption passes: lines one under the other inside
/// the box, no line break drawn, never below the floor, and either the whole
/// text (its last line ending with `ending`) or a last line ending in "…".
void checkLayout(const CaptionLines &layout, const QString &text, const QSize &box, qreal floor, bool whole,
                 const QString &ending)
{
    QVERIFY(!layout.lines.isEmpty());
    QVERIFY2(layout.lines.size() * layout.lineHeight <= box.height(),
             qPrintable(u"%1 lines of %2 px in %3 px"_s.arg(layout.lines.size())
                            .arg(layout.lineHeight)
                            .arg(box.height())));
    const QFontMetricsF fm(layout.font);
    for (const QString &line : layout.lines) {
        QVERIFY2(!line.contains(u'\r') && !line.contains(u'\n'), qPrintable(line));
        QVERIFY2(fm.horizontalAdvance(line) <= box.width() + 0.5, qPrintable(line));
    }
    QVERIFY2(layout.font.pointSizeF() >= floor - 0.01,
             qPrintable(u"%1 pt below the floor %2"_s.arg(layout.font.pointSizeF()).arg(floor)));
    if (whole) {
        QVERIFY2(!layout.elided, qPrintable(layout.lines.join(u'|')));
        QCOMPARE(letters(layout.lines.join(QString())), letters(text));
        QVERIFY2(layout.lines.last().endsWith(ending), qPrintable(layout.lines.join(u'|')));
    } else if (layout.elided) {
        QVERIFY2(layout.lines.last().endsWith(Ellipsis), qPrintable(layout.lines.join(u'|')));
    } else {
        QCOMPARE(letters(layout.lines.join(QString())), letters(text));
    }
}

/// The texts every box is tried with: the two examples with line breaks and
/// their quantities, blank lines, and texts too long for the smaller boxes.
void addTexts(const QString &place, int resolution, int display)
{
    struct Text
    {
        const char *name;
        QString text;
        bool whole;
        QString ending;
    };
    const Text texts[] = {
        {"line break, X 2", memo(u"ccdd!!샷 추가!줄!얼음 많이"_s, u"2"_s), true, u"X 2"_s},
        {"two line breaks, X 3", memo(u"물!줄!앞접시!줄!수저"_s, u"3"_s), true, u"X 3"_s},
        {"blank lines", memo(u"!줄바꿈!!줄!물 주세요!줄!!줄!"_s, u"2"_s), true, u"X 2"_s},
        {"150 columns", longWithSpaces(150), false, u"X 2"_s},
        {"700 without spaces", repeated(u"가나다라마바사"_s, 700), false, QString()},
        {"2000 latin without spaces", repeated(u"abcdefghij"_s, 2000), false, QString()},
    };
    for (const Text &t : texts) {
        QTest::addRow("%s: %s", qPrintable(place), t.name)
            << resolution << display << t.text << t.whole << t.ending;
    }
}

} // namespace

class TstCaptionLayout : public QObject
{
    Q_OBJECT
private slots:
    // The request cell of every board: the text as the board fills it, at the
    // size the width rules give, in the cell less its margins.
    void requestCells_data()
    {
        QTest::addColumn<int>("resolution");
        QTest::addColumn<int>("display");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<QString>("ending");
        for (int resolution : {0, 1}) {
            for (int display : {0, 1, 2})
                addTexts(resolutionText(resolution) + u' ' + rowText(display), resolution, display);
        }
    }
    void requestCells()
    {
        QFETCH(int, resolution);
        QFETCH(int, display);
        QFETCH(QString, text);
        QFETCH(bool, whole);
        QFETCH(QString, ending);
        const BoardGeometry g = boardGeometry(resolution, display);
        const QSize box = kRequestCellMargins.box(g.cells[0][BoardGeometry::Request].size());
        const int size =
            requestPointSize(resolutionText(resolution), rowText(display), CommonUtil::textWidth(text));
        const qreal floor = captionFloorPoints(g.fonts.request);
        const CaptionLines layout = layoutCaption(text, boardRequestFont(size), box, {true, 0.7, floor});
        checkLayout(layout, text, box, floor, whole, ending);
    }

    // The banner, plain and highlighted (a 6-pixel border), at the size its
    // width rule gives; it shows the top request whole where it can.
    void banner_data()
    {
        QTest::addColumn<int>("resolution");
        QTest::addColumn<int>("display");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<QString>("ending");
        for (int resolution : {0, 1}) {
            addTexts(u"banner "_s + resolutionText(resolution), resolution, 0);
            addTexts(u"highlighted banner "_s + resolutionText(resolution), resolution, 1);
            QTest::addRow("banner %s: 150 columns whole", qPrintable(resolutionText(resolution)))
                << resolution << 0 << longWithSpaces(150) << true << u"X 2"_s;
        }
    }
    void banner()
    {
        QFETCH(int, resolution);
        QFETCH(int, display); // 1: highlighted
        QFETCH(QString, text);
        QFETCH(bool, whole);
        QFETCH(QString, ending);
        const BoardGeometry g = boardGeometry(resolution, 0);
        const QSize box = kBannerMargins.box(g.lblRequest.size(), display == 1 ? 6 : 0);
        const int size = bannerPointSize(resolutionText(resolution), CommonUtil::textWidth(text));
        const qreal floor = bannerFloorPoints();
        const CaptionLines layout = layoutCaption(text, boardDisplayFont(size), box, {true, 0.1, floor});
        checkLayout(layout, text, box, floor, whole, ending);
    }

    // The table cells keep their single words but split at line breaks too.
    void tableCells_data()
    {
        QTest::addColumn<int>("display");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("whole");
        QTest::newRow("10 rows, two lines") << 0 << u"1층\r\n창가 3"_s << true;
        QTest::newRow("30 rows, two lines") << 2 << u"1층\r\n창가 3"_s << true;
        QTest::newRow("30 rows, long") << 2 << repeated(u"테라스"_s, 200) << false;
    }
    void tableCells()
    {
        QFETCH(int, display);
        QFETCH(QString, text);
        QFETCH(bool, whole);
        const BoardGeometry g = boardGeometry(0, display);
        const QSize box = kTableCellMargins.box(g.cells[0][BoardGeometry::Table].size());
        const qreal floor = captionFloorPoints(g.fonts.table);
        const CaptionLines layout =
            layoutCaption(text, boardDisplayFont(g.fonts.table), box, {true, 0.7, floor});
        checkLayout(layout, text, box, floor, whole, whole ? text.right(1) : QString());
    }

    // A caption that is not wrapped gets one line per part; when the box holds
    // one line only, the parts run on in it rather than lose the second.
    void unwrappedRunsOn()
    {
        QFont font = boardDisplayFont();
        font.setPixelSize(60);
        const QSize box(421 - 4, 124 - 4);
        const CaptionLines layout = layoutCaption(u"1층\r\n3"_s, font, box, {});
        QCOMPARE(layout.lines, QStringList{u"1층 \u00B7 3"_s});
        QVERIFY(!layout.elided);
        const CaptionLines tall = layoutCaption(u"A\r\nB"_s, font, QSize(200, 400), {});
        QCOMPARE(tall.lines, (QStringList{u"A"_s, u"B"_s}));
    }

    // However long the text, the layout looks at no more than the box can show
    // and lays out no more lines than it holds: its work is bounded by the box.
    void boundedByTheBox_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("length");
        for (const QString &kind : {u"words"_s, u"no spaces"_s, u"line breaks"_s, u"zero width"_s}) {
            for (int length : {10'000, 100'000, 1'000'000})
                QTest::addRow("%s, %d", qPrintable(kind), length) << kind << length;
        }
    }
    void boundedByTheBox()
    {
        QFETCH(QString, kind);
        QFETCH(int, length);
        const QString piece = kind == u"words"_s         ? u"물 좀 더 "_s
                              : kind == u"no spaces"_s   ? u"가나다라"_s
                              : kind == u"line breaks"_s ? u"\r\n"_s
                                                         : u"\u200B"_s;
        const QString text = repeated(piece, length);
        struct Box
        {
            QSize size;
            QFont font;
            CaptionFit fit;
        };
        const BoardGeometry cells = boardGeometry(0, 2);
        const BoardGeometry wide = boardGeometry(1, 0);
        const Box boxes[] = {
            {kRequestCellMargins.box(cells.cells[0][BoardGeometry::Request].size()),
             boardRequestFont(5),
             {true, 0.7, captionFloorPoints(cells.fonts.request)}},
            {kBannerMargins.box(wide.lblRequest.size()),
             boardDisplayFont(18),
             {true, 0.1, bannerFloorPoints()}},
        };
        for (const Box &box : boxes) {
            const CaptionLines layout = layoutCaption(text, box.font, box.size, box.fit);
            QVERIFY(layout.elided);
            QVERIFY(layout.lines.last().endsWith(Ellipsis));
            QVERIFY(layout.lines.size() <= box.size.height() / layout.lineHeight);
            QFont floor = box.font;
            floor.setPointSizeF(box.fit.floorPoints);
            QVERIFY2(layout.examined <= captionCharacterBudget(floor, box.size),
                     qPrintable(u"looked at %1 characters"_s.arg(layout.examined)));
            QVERIFY(captionCharacterBudget(floor, box.size) < 10'000);
        }
    }

    // Emoji resolve to the colour emoji font, with real glyphs, in every font
    // of the board.
    // The quantity after a text is never cut, however long the text, in the smallest
    // and the largest request cell, and never breaks over two lines.
    void quantityKept_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QSize>("box");
        QTest::addColumn<int>("points");
        QTest::addColumn<bool>("cut");
        const QString sentence =
            u"아이 의자 하나 더 주시고 물티슈랑 앞접시 세 개, 그리고 얼음물 한 병 부탁드립니다. "_s;
        const QSize narrow = kRequestCellMargins.box({170, 42});
        const QSize wide = kRequestCellMargins.box({442, 85});
        QTest::newRow("short, 1024/30") << u"앞접시"_s << narrow << 14 << false;
        QTest::newRow("111 characters, 1024/30") << sentence + sentence.left(62) << narrow << 14 << true;
        QTest::newRow("700 without a space, 1024/30") << QString(700, u'가') << narrow << 14 << true;
        QTest::newRow("700 without a space, 1366/10") << QString(700, u'가') << wide << 20 << true;
        QTest::newRow("line breaks, 1024/30")
            << u"물\r\n앞접시\r\n수저\r\n냅킨\r\n물티슈"_s << narrow << 14 << false;
        QTest::newRow("emoji, 1024/30") << QString(200, QChar(0x263A)) << narrow << 14 << true;
        QTest::newRow("no text") << QString() << narrow << 14 << false;
    }
    void quantityKept()
    {
        QFETCH(QString, text);
        QFETCH(QSize, box);
        QFETCH(int, points);
        QFETCH(bool, cut);
        const CaptionLines layout = layoutCaption(text, u"X 3"_s, boardRequestFont(points), box,
                                                  {true, 0.7, captionFloorPoints(points)});
        QVERIFY(!layout.lines.isEmpty());
        QVERIFY2(layout.lines.last().endsWith(u"X 3"_s), qPrintable(layout.lines.join(u'|')));
        QCOMPARE(layout.lines.join(u'|').count(u"X 3"_s), 1);
        QCOMPARE(layout.lines.last().contains(QChar(0x2026)), cut);
        const QFontMetricsF fm(layout.font);
        for (const QString &line : layout.lines)
            QVERIFY2(fm.horizontalAdvance(line) <= box.width() + 0.5, qPrintable(line));
        QVERIFY(int(layout.lines.size()) * layout.lineHeight <= std::max(box.height(), layout.lineHeight));
    }

    void emojiHaveGlyphs_data()
    {
        QTest::addColumn<QFont>("font");
        QTest::newRow("request") << boardRequestFont(14);
        QTest::newRow("display") << boardDisplayFont(40);
        QTest::newRow("controls") << uiFont(13);
    }
    void emojiHaveGlyphs()
    {
        QFETCH(QFont, font);
        if (!QFontDatabase::families().contains(u"Noto Color Emoji"_s))
            QSKIP("fonts-noto-color-emoji is not installed");
        const QString emoji = u"\U0001F600\U0001F44D\u2615"_s;
        QTextLayout layout(u"물 "_s + emoji + u" 주세요"_s, font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        int emojiGlyphs = 0;
        for (const QGlyphRun &run : layout.glyphRuns()) {
            for (quint32 glyph : run.glyphIndexes())
                QVERIFY2(glyph != 0, qPrintable(run.rawFont().familyName()));
            if (run.rawFont().familyName() == u"Noto Color Emoji"_s)
                emojiGlyphs += int(run.glyphIndexes().size());
        }
        QCOMPARE(emojiGlyphs, 3);
        const QFontMetrics fm(font);
        QVERIFY(fm.inFontUcs4(0x1F600));
    }
};

QTEST_MAIN(TstCaptionLayout)
#include "tst_captionlayout.moc"
