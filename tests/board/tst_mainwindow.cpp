#include "GifWriter.h"
#include "board/BoardFonts.h"
#include "board/IconView.h"
#include "board/MainWindow.h"
#include "codec/Cp949.h"
#include "monitor/MonitorSession.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/gui/Theme.h"
#include "services/IniFile.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"
#include "services/UserStore.h"
#include "support/BoardFixture.h"
#include "support/BoardLayouts.h"
#include "support/FileBytes.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <optional>

using namespace Qt::StringLiterals;
using namespace kavri;
using monitor::CaptionPanel;

namespace {

const QColor CardColour(200, 30, 30);
const QColor CashColour(30, 160, 60);

QString setting(const QString &key)
{
    return ReadINI(u"Set"_s, key, monitor::settingsFilePath());
}

/// A one-colour GIF picture for the skin folder.
void writePicture(const QString &path, const QColor &colour, const QSize &size = {32, 32})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QVERIFY(test::writeBytes(path, skin::encodeGif({image})));
}

CaptionPanel *panel(const QWidget &w, const QString &name)
{
    auto *p = w.findChild<CaptionPanel *>(name);
    if (!p)
        qWarning("no panel %s", qPrintable(name));
    return p;
}

QString cellName(const char *control, int index)
{
    return QString::fromLatin1(control) + u'_' + QString::number(index);
}

QColor centreOf(const QPixmap &picture)
{
    return picture.toImage().pixelColor(picture.width() / 2, picture.height() / 2);
}

QString storedRecord()
{
    return userstore::get(u"fsVadn"_s, u"Login"_s, u"A"_s);
}

} // namespace

class TstMainWindow : public QObject
{
    Q_OBJECT
    std::optional<test::TestEnvironment> m_env;
    QList<int> m_ended;

    std::unique_ptr<frmAlarm> makeWindow()
    {
        auto w = std::make_unique<frmAlarm>();
        w->setEndProcess([this](int code) { m_ended.append(code); });
        return w;
    }

private slots:
    void init()
    {
        m_env.emplace();
        QVERIFY(m_env->app().isValid());
        QDir().mkpath(gSkinPath);
        writePicture(gSkinPath + u"/0601.gif"_s, QColor(20, 60, 120), {110, 65});
        writePicture(gSkinPath + u"/0602.gif"_s, QColor(20, 60, 120), {85, 81});
        writePicture(gSkinPath + u"/0603.gif"_s, CardColour);
        writePicture(gSkinPath + u"/0604.gif"_s, CashColour);
        gStoreName = u"카브리 테스트점"_s;
        gVersion = u"1.0.0.0 #22"_s;
        m_ended.clear();
    }
    void cleanup() { m_env.reset(); }

    // The window load shows what Zarazo.cfg holds; values the lists cannot
    // show load as 0, and a missing expiry time is written back as "0".
    void loadShowsStoredOptions_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<QPoint>("placed");
        QTest::addColumn<int>("resolution");
        QTest::addColumn<int>("display");
        QTest::addColumn<QString>("expiry");
        QTest::addColumn<QString>("expiryStored");
        QTest::newRow("all set") << QStringList{u"DisplayPosX=120"_s, u"DisplayPosY=40"_s,
                                                u"ResolutionIDX=1"_s, u"DisplayIDX=2"_s,
                                                u"DisplayDelete=15"_s}
                                 << QPoint(120, 40) << QPoint(120, 40) << 1 << 2 << u"15"_s << u"15"_s;
        QTest::newRow("nothing stored")
            << QStringList{} << QPoint(0, 0) << QPoint(0, 0) << 0 << 0 << u"0"_s << u"0"_s;
        QTest::newRow("empty expiry") << QStringList{u"DisplayDelete="_s, u"DisplayIDX=1"_s} << QPoint(0, 0)
                                      << QPoint(0, 0) << 0 << 1 << u"0"_s << u"0"_s;
        QTest::newRow("out of range") << QStringList{u"ResolutionIDX=5"_s, u"DisplayIDX=3"_s} << QPoint(0, 0)
                                      << QPoint(0, 0) << 0 << 0 << u"0"_s << u"0"_s;
        QTest::newRow("negative") << QStringList{u"DisplayPosX=-300"_s, u"ResolutionIDX=-1"_s,
                                                 u"DisplayIDX=-2"_s, u"DisplayDelete=-4"_s}
                                  << QPoint(-300, 0) << QPoint(0, 0) << 0 << 0 << u"0"_s << u"-4"_s;
        QTest::newRow("not numbers") << QStringList{u"DisplayPosX=abc"_s, u"ResolutionIDX=x1"_s,
                                                    u"DisplayIDX=true"_s, u"DisplayDelete=5분"_s}
                                     << QPoint(0, 0) << QPoint(0, 0) << 0 << 0 << u"5"_s << u"5분"_s;
    }
    void loadShowsStoredOptions()
    {
        QFETCH(QStringList, lines);
        QFETCH(QPoint, position);
        QFETCH(QPoint, placed);
        QFETCH(int, resolution);
        QFETCH(int, display);
        QFETCH(QString, expiry);
        QFETCH(QString, expiryStored);
        test::writeSetSection(lines);

        auto w = makeWindow();
        QVERIFY(!w->formLoading());
        QCOMPARE(w->pos(), placed); // never partly off the screen; the keys stay as stored
        QCOMPARE(w->findChild<QLineEdit *>(u"PosX"_s)->text(), QString::number(position.x()));
        QCOMPARE(w->findChild<QLineEdit *>(u"PosY"_s)->text(), QString::number(position.y()));
        QCOMPARE(w->resolutionIdx(), resolution);
        QCOMPARE(w->displayIdx(), display);
        const auto *size = w->findChild<QComboBox *>(u"cob크기"_s);
        const auto *rows = w->findChild<QComboBox *>(u"cob표시"_s);
        QCOMPARE(size->currentIndex(), resolution);
        QCOMPARE(size->currentText(), resolution == 0 ? u"1024"_s : u"1366"_s);
        QCOMPARE(rows->currentIndex(), display);
        QCOMPARE(rows->currentText(), (QStringList{u"10개"_s, u"16개"_s, u"30개"_s}.at(display)));
        QCOMPARE(w->findChild<QLabel *>(u"삭제"_s)->text(), expiry);
        QCOMPARE(setting(u"DisplayDelete"_s), expiryStored);
        QCOMPARE(w->size(), QSize(resolution == 0 ? 1024 : 1366, 768));
        QCOMPARE(w->board().rowCount(), QList<int>({10, 16, 30}).at(display));
        // The last row in use shows, the next one does not.
        const int used = w->board().rowCount();
        QVERIFY(!panel(*w, cellName("sspNO", used - 1))->isHidden());
        if (used < 30)
            QVERIFY(panel(*w, cellName("sspNO", used))->isHidden());
    }

    // The loudness is kept as a whole number from 0 to 100 and written back when it was not one.
    void alramsound_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("present");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("after");
        QTest::newRow("missing") << QString() << false << 100 << u"100"_s;
        QTest::newRow("empty") << QString() << true << 100 << u"100"_s;
        QTest::newRow("50") << u"50"_s << true << 50 << u"50"_s;
        QTest::newRow("0") << u"0"_s << true << 0 << u"0"_s;
        QTest::newRow("above 100") << u"150"_s << true << 100 << u"100"_s;
        QTest::newRow("negative") << u"-5"_s << true << 0 << u"0"_s;
        QTest::newRow("fraction") << u"12.6"_s << true << 13 << u"13"_s;
        QTest::newRow("huge") << u"1e300"_s << true << 100 << u"100"_s;
        QTest::newRow("words") << u"loud"_s << true << 100 << u"100"_s;
        QTest::newRow("trailing text") << u"70%"_s << true << 100 << u"100"_s;
    }
    void alramsound()
    {
        QFETCH(QString, stored);
        QFETCH(bool, present);
        QFETCH(int, value);
        QFETCH(QString, after);
        test::writeSetSection(present ? QStringList{u"alramsound="_s + stored}
                                      : QStringList{u"DisplayIDX=0"_s});
        auto w = makeWindow();
        QCOMPARE(w->alramsound(), value);
        QCOMPARE(setting(u"alramsound"_s), after);
        // The rest of the load went on.
        QCOMPARE(w->findChild<QLabel *>(u"삭제"_s)->text(), u"0"_s);
        QVERIFY(!panel(*w, u"sspNO_9"_s)->isHidden());
    }

    // A fresh window: no timer runs before a session drives it, the confirm
    // button is hidden with its frame on it, the shop and version are shown.
    void freshWindow()
    {
        auto w = makeWindow();
        QCOMPARE(w->objectName(), u"frmAlarm"_s);
        QCOMPARE(w->windowTitle(), u"Kavri 디스플레이"_s);
        QVERIFY(w->windowFlags() & Qt::FramelessWindowHint);
        for (const QTimer *timer : w->findChildren<QTimer *>())
            QVERIFY2(!timer->isActive(), qPrintable(timer->objectName()));

        auto *cmd = panel(*w, u"CMD_0"_s);
        QVERIFY(cmd->isHidden());
        QCOMPARE(cmd->caption(), u"요 청  완 료"_s);
        QCOMPARE(w->findChild<QWidget *>(u"SHP_0"_s)->geometry(), cmd->geometry());

        QCOMPARE(w->findChild<QLabel *>(u"lbl버전"_s)->text(), u"1.0.0.0 #22"_s);
        QVERIFY(w->findChild<QLabel *>(u"상호"_s)->text().startsWith(u"카브리"_s));
        const auto *icon = w->findChild<QLabel *>(u"picIcon"_s);
        QCOMPARE(icon->geometry(), QRect(0, 0, 110, 65));
        QVERIFY(!icon->pixmap().isNull());
        QVERIFY(w->findChild<QWidget *>(u"picWait"_s)->isHidden());
        for (const char *name : {"lblTable", "lbl결제방법", "lblRequest"})
            QVERIFY(panel(*w, QString::fromUtf8(name))->caption().isEmpty());
    }

    // The layout reaches the widgets: window width, banner, headings and rows.
    void geometryApplied_data()
    {
        QTest::addColumn<int>("resolution");
        QTest::addColumn<int>("display");
        QTest::newRow("1024, 10 rows") << 0 << 0;
        QTest::newRow("1366, 30 rows") << 1 << 2;
        QTest::newRow("1366, 16 rows") << 1 << 1;
    }
    void geometryApplied()
    {
        QFETCH(int, resolution);
        QFETCH(int, display);
        auto w = makeWindow();
        w->Disp_List(resolution, display);
        const monitor::BoardGeometry g = monitor::boardGeometry(resolution, display);
        QCOMPARE(w->width(), g.windowWidth);
        QCOMPARE(w->findChild<QWidget *>(u"picFrame"_s)->pos(), QPoint(g.picFrameLeft, 10));
        QCOMPARE(w->findChild<QWidget *>(u"상호"_s)->width(), g.storeNameWidth);
        QCOMPARE(w->findChild<QWidget *>(u"lblRequest"_s)->geometry(), g.lblRequest);
        QCOMPARE(w->findChild<QWidget *>(u"imgBack_0"_s)->geometry(), g.imgBack[0]);
        QCOMPARE(w->findChild<QWidget *>(u"imgBack_1"_s)->geometry(), g.imgBack[1]);
        QCOMPARE(w->findChild<QWidget *>(u"shpBack"_s)->geometry(), g.shpBack);
        for (int h = 0; h < 12; ++h) {
            auto *heading = panel(*w, cellName("sspTitle", h));
            QCOMPARE(heading->isHidden(), h >= g.headingCount);
            if (h < g.headingCount) {
                QCOMPARE(heading->geometry(), g.headings[h]);
                QCOMPARE(heading->caption(),
                         (QStringList{u"NO"_s, u"테이블"_s, u"요청사항"_s, u"체크"_s}.at(h % 4)));
                QCOMPARE(heading->font().pointSize(), 15);
            }
        }
        for (int r = 0; r < 30; ++r) {
            const std::array<CaptionPanel *, 4> cells{
                panel(*w, cellName("sspNO", r)), panel(*w, cellName("sspTable", r)),
                panel(*w, cellName("sspRequest", r)), panel(*w, cellName("sspCheck", r))};
            for (int c = 0; c < 4; ++c) {
                QCOMPARE(cells[c]->isHidden(), r >= g.rowCount);
                if (r < g.rowCount)
                    QCOMPARE(cells[c]->geometry(), g.cells[r][c]);
            }
            if (r < g.rowCount) {
                QCOMPARE(cells[0]->caption(), QString::number(r + 1));
                QCOMPARE(cells[0]->font().pointSize(), g.fonts.no);
                QCOMPARE(cells[1]->font().pointSize(), g.fonts.table);
                QCOMPARE(cells[2]->font().pointSize(), g.fonts.request);
                QCOMPARE(cells[3]->font().pointSize(), g.fonts.check);
                QCOMPARE(cells[0]->background(), QColor(249, 249, 249));
                QCOMPARE(cells[2]->font().bold(), false);
                QCOMPARE(cells[3]->foreground(), QColor(218, 33, 36));
            }
        }
        // The wait mark stands over the logo: it hides no heading, row or banner.
        const QRect wait = w->findChild<QWidget *>(u"picWait"_s)->geometry();
        QVERIFY(QRect(0, 0, 110, 72).contains(wait));
    }

    // Read from across the counter, in every layout: the quantity survives the cut of a
    // long text, each row shows its wait in minutes and the colour of it, a marked row
    // is tinted whole, and the count covers the requests below the last row.
    void glanceInEveryLayout_data() { test::addEveryBoardLayout(); }
    void glanceInEveryLayout()
    {
        QFETCH(int, resolution);
        QFETCH(int, display);
        m_env.reset();
        m_env.emplace(QDateTime(QDate(2026, 12, 10), QTime(12, 0, 30)));
        test::writeSetSection({u"ResolutionIDX=%1"_s.arg(resolution), u"DisplayIDX=%1"_s.arg(display)});
        auto w = makeWindow();
        w->show();
        const QDateTime now = platform::clock().now();
        const auto ago = [&now](int minutes) {
            return now.addSecs(-60 * minutes - 5).toString(u"yyyy-MM-dd HH:mm:ss"_s);
        };
        const QString sentence =
            u"아이 의자 하나 더 주시고 물티슈랑 앞접시 세 개, 그리고 얼음물 한 병 부탁드립니다. "_s;
        w->board().fill({{u"3"_s, u"A-1"_s, ago(1), QString(700, u'가') + u" X 3"_s, u"카드"_s},
                         {u"2"_s, u"B-2"_s, ago(6), sentence + sentence.left(62) + u" X 3"_s, {}},
                         {u"1"_s, u"C-3"_s, ago(100), u"물"_s, {}}},
                        25);
        w->board().setMarked(2, true);
        for (int r : {0, 1}) {
            const monitor::CaptionLines lines = panel(*w, cellName("sspRequest", r))->captionLayout();
            QVERIFY2(lines.lines.last().endsWith(u"… X 3"_s), qPrintable(lines.lines.join(u'|')));
        }
        QVERIFY(panel(*w, u"lblRequest"_s)->captionLayout().lines.last().endsWith(u"X 3"_s));
        const QStringList notes{u"1분"_s, u"6분"_s, u"100분"_s};
        const QList<QColor> backs{theme::NoBack, theme::WaitAmberBack, theme::WaitRedBack};
        for (int r = 0; r < 3; ++r) {
            QCOMPARE(panel(*w, cellName("sspNO", r))->note(), notes[r]);
            QCOMPARE(panel(*w, cellName("sspNO", r))->background(), backs[r]);
        }
        QCOMPARE(panel(*w, cellName("sspNO", 3))->note(), QString());
        for (const char *cell : {"sspTable", "sspRequest", "sspCheck"}) {
            QCOMPARE(panel(*w, cellName(cell, 2))->background(), theme::MarkedRowBack);
            QCOMPARE(panel(*w, cellName(cell, 1))->background(), QColor(Qt::white));
        }
        QCOMPARE(panel(*w, u"lblOpenCount"_s)->caption(), u"대기 25건"_s);
        QCOMPARE(panel(*w, u"lblTable"_s)->note(), u"1분"_s);

        // A minute later, with no poll in between, the minutes have moved on.
        auto *clock = w->findChild<QTimer *>(u"WaitClock"_s);
        QVERIFY(clock->isActive());
        QVERIFY(clock->remainingTime() <= 61000);
        m_env->clock().advance(60000);
        clock->start(1);
        QTRY_COMPARE(panel(*w, cellName("sspNO", 1))->note(), u"7분"_s);
        QCOMPARE(panel(*w, u"lblTable"_s)->note(), u"2분"_s);
        QCOMPARE(panel(*w, cellName("sspNO", 0))->background(), theme::NoBack);
        m_env->clock().advance(3 * 60000);
        clock->start(1);
        QTRY_COMPARE(panel(*w, cellName("sspNO", 0))->background(), theme::WaitAmberBack);
        QCOMPARE(panel(*w, cellName("sspNO", 1))->background(), theme::WaitRedBack);
    }

    // Thresholds from the file; "끔" switches one off.
    void waitThresholdsFromFile()
    {
        m_env.reset();
        m_env.emplace(QDateTime(QDate(2026, 12, 10), QTime(12, 0, 30)));
        test::writeSetSection({u"WaitAmber=끔"_s, u"WaitRed=30"_s});
        auto w = makeWindow();
        const QDateTime now = platform::clock().now();
        w->board().fill(
            {{u"2"_s, u"A-1"_s, now.addSecs(-20 * 60).toString(u"yyyy-MM-dd HH:mm:ss"_s), u"물"_s, {}},
             {u"1"_s, u"B-2"_s, now.addSecs(-31 * 60).toString(u"yyyy-MM-dd HH:mm:ss"_s), u"물"_s, {}}});
        QCOMPARE(panel(*w, cellName("sspNO", 0))->background(), theme::NoBack);
        QCOMPARE(panel(*w, cellName("sspNO", 1))->background(), theme::WaitRedBack);
    }

    // In icon mode the icon carries the count and flashes while the banner is highlighted.
    void iconModeTellsANewRequest()
    {
        auto w = makeWindow();
        w->show();
        w->board().fill(
            {{u"1"_s, u"A-1"_s, platform::clock().now().toString(u"yyyy-MM-dd HH:mm:ss"_s), u"물"_s, {}}}, 4);
        w->ToggleFAB(true);
        QVERIFY(w->iconMode());
        const QImage quiet = w->iconView().shownPicture().toImage();
        QVERIFY(!w->iconView().flashing());
        w->highlightBanner();
        QVERIFY(w->iconView().flashing());
        const QImage lit = w->iconView().shownPicture().toImage();
        QVERIFY(lit != quiet);
        auto *flash = w->findChild<QTimer *>(u"IconFlash"_s);
        QVERIFY(flash->isActive());
        // The highlight's end ends the flash, in the icon's normal look with the count.
        w->startLoopBlinking();
        QTRY_COMPARE(w->bannerStyle(), 3);
        w->findChild<QTimer *>(u"LoopBlinkingHold"_s)->start(1);
        QTRY_COMPARE(w->bannerStyle(), 0);
        QVERIFY(!w->iconView().flashing());
        QCOMPARE(w->iconView().shownPicture().toImage(), quiet);
        // One more request: the count changes the picture.
        w->board().fill({}, 5);
        QVERIFY(w->iconView().shownPicture().toImage() != quiet);
        w->ToggleFAB(false);
    }

    // Going from 30 rows to 10 hides rows 10 to 29 with what they showed, and clears the marks.
    void relayoutHidesRows()
    {
        test::writeSetSection({u"DisplayIDX=2"_s});
        auto w = makeWindow();
        KavriList list;
        for (int i = 0; i < 30; ++i)
            list.append({QString::number(100 - i), u"T"_s + QString::number(i), u"2024-05-01 10:00:00"_s,
                         u"물"_s, QString()});
        w->board().fill(list);
        w->board().setMarked(3, true);
        QCOMPARE(panel(*w, u"sspTable_20"_s)->caption(), u"T20"_s);
        QCOMPARE(panel(*w, u"sspCheck_3"_s)->caption(), u"v"_s);
        w->Disp_List(0, 0);
        QVERIFY(panel(*w, u"sspTable_20"_s)->isHidden());
        QVERIFY(panel(*w, u"sspTable_20"_s)->caption().isEmpty());
        QVERIFY(panel(*w, u"sspCheck_3"_s)->caption().isEmpty());
        QVERIFY(panel(*w, u"sspTable_3"_s)->caption().isEmpty());
        QCOMPARE(panel(*w, u"sspNO_3"_s)->tag(), u"97"_s); // the number tag is never cleared
        QVERIFY(!panel(*w, u"sspTable_9"_s)->isHidden());
    }

    // A filled board model: captions, tags, payment pictures, marks and the banner.
    void rendersTheBoard()
    {
        auto w = makeWindow();
        const QString longText =
            u"아이 의자 하나 더 주시고 물티슈랑 앞접시 세 개, 그리고 얼음물 한 병 부탁드립니다 x2"_s;
        const KavriList list{{u"503"_s, u"1층-12"_s, u"2024-05-01 10:03:00"_s, longText, u"카드"_s},
                             {u"502"_s, u"B-7"_s, u"2024-05-01 10:02:00"_s, u"물 좀 더 주세요!"_s, u"현금"_s},
                             {u"501"_s, u"테라스 3"_s, u"2024-05-01 10:01:00"_s, u"계산서"_s, QString()}};
        w->board().fill(list);

        const QStringList tables{u"1층-12"_s, u"B-7"_s, u"테라스 3"_s};
        for (int r = 0; r < 3; ++r) {
            QCOMPARE(panel(*w, cellName("sspNO", r))->tag(), list[r].NumT);
            QCOMPARE(panel(*w, cellName("sspTable", r))->caption(), tables[r]);
            QCOMPARE(panel(*w, cellName("sspTable", r))->tag(), list[r].RegDateT);
            QCOMPARE(panel(*w, cellName("sspRequest", r))->caption(), list[r].MemoT);
            QCOMPARE(panel(*w, cellName("sspRequest", r))->tag(), list[r].PayTypeT);
            QCOMPARE(panel(*w, cellName("sspRequest", r))->font().pointSize(),
                     w->board().row(r).memoPointSize);
        }
        QCOMPARE(centreOf(panel(*w, u"sspCheck_0"_s)->picture()), CardColour);
        QCOMPARE(centreOf(panel(*w, u"sspCheck_1"_s)->picture()), CashColour);
        QVERIFY(panel(*w, u"sspCheck_2"_s)->picture().isNull());
        // Rows without a request keep only their numbers.
        for (int r = 3; r < 10; ++r) {
            QCOMPARE(panel(*w, cellName("sspNO", r))->caption(), QString::number(r + 1));
            QVERIFY(panel(*w, cellName("sspTable", r))->caption().isEmpty());
            QVERIFY(panel(*w, cellName("sspCheck", r))->picture().isNull());
        }
        QCOMPARE(panel(*w, u"lblTable"_s)->caption(), u"1층-12"_s);
        QCOMPARE(panel(*w, u"lbl결제방법"_s)->caption(), u"카드"_s);
        QCOMPARE(panel(*w, u"lblRequest"_s)->caption(), longText);
        QCOMPARE(panel(*w, u"lblRequest"_s)->font().pointSize(), w->board().banner().pointSize);
        QVERIFY(w->board().banner().pointSize < 40);

        // The mark shows red over the picture and leaves it there.
        w->board().setMarked(1, true);
        QCOMPARE(panel(*w, u"sspCheck_1"_s)->caption(), u"v"_s);
        QCOMPARE(panel(*w, u"sspCheck_1"_s)->foreground(), QColor(218, 33, 36));
        QCOMPARE(centreOf(panel(*w, u"sspCheck_1"_s)->picture()), CashColour);

        // An empty list empties rows and banner; the banner takes its largest size.
        w->board().fill({});
        QVERIFY(panel(*w, u"sspTable_0"_s)->caption().isEmpty());
        QVERIFY(panel(*w, u"sspCheck_0"_s)->picture().isNull());
        QVERIFY(panel(*w, u"sspCheck_1"_s)->caption().isEmpty()); // its request is gone
        for (const char *name : {"lblTable", "lbl결제방법", "lblRequest"})
            QVERIFY(panel(*w, QString::fromUtf8(name))->caption().isEmpty());
        QCOMPARE(panel(*w, u"lblRequest"_s)->font().pointSize(), 40);
    }

    // Request texts with line breaks show every line, with their quantity, in
    // the cells of every layout and in the banner; a text too long for its
    // cell ends in "…" at no less than the floor.
    void captionsInEveryLayout_data() { test::addEveryBoardLayout(); }
    void captionsInEveryLayout()
    {
        QFETCH(int, resolution);
        QFETCH(int, display);
        test::writeSetSection({u"ResolutionIDX=%1"_s.arg(resolution), u"DisplayIDX=%1"_s.arg(display)});
        auto w = makeWindow();
        const QStringList texts{u"+샷 추가\r\n얼음 많이 X 2"_s, u"물\r\n앞접시\r\n수저 X 3"_s,
                                QString(700, QChar(u'가'))};
        KavriList list;
        for (int i = 0; i < texts.size(); ++i)
            list.append({QString::number(10 - i), u"A"_s + QString::number(i), u"2024-05-01 10:00:00"_s,
                         texts[i], u"현금"_s});
        w->board().fill(list);
        const monitor::BoardGeometry g = monitor::boardGeometry(resolution, display);
        auto letters = [](QString text) {
            for (const QString &gone : {u"\r"_s, u"\n"_s, u" "_s, u"\u00B7"_s})
                text.remove(gone);
            return text;
        };
        auto check = [&](CaptionPanel *cell, const QString &text, int height, qreal floor) {
            const monitor::CaptionLines layout = cell->captionLayout();
            QVERIFY(!layout.lines.isEmpty());
            QVERIFY(layout.lines.size() * layout.lineHeight <= height);
            QVERIFY(layout.font.pointSizeF() >= floor - 0.01);
            if (text.endsWith(u"X 2"_s) || text.endsWith(u"X 3"_s)) {
                QVERIFY2(!layout.elided, qPrintable(layout.lines.join(u'|')));
                QCOMPARE(letters(layout.lines.join(QString())), letters(text));
                QVERIFY(layout.lines.last().endsWith(text.right(3)));
            } else {
                QVERIFY(layout.elided);
                QVERIFY(layout.lines.last().endsWith(QChar(0x2026)));
            }
        };
        for (int r = 0; r < texts.size(); ++r) {
            auto *cell = panel(*w, cellName("sspRequest", r));
            check(cell, texts[r], cell->height() - 2, monitor::captionFloorPoints(g.fonts.request));
        }
        auto *banner = panel(*w, u"lblRequest"_s);
        check(banner, texts[0], banner->height() - 16, monitor::bannerFloorPoints());
        w->board().fill(list.mid(1));
        check(banner, texts[1], banner->height() - 16, monitor::bannerFloorPoints());
    }

    // The red mark over a payment picture has a dark contour inside a light
    // halo, so it reads on light and mid-tone pictures alike.
    void checkMarkHasContour()
    {
        auto w = makeWindow();
        w->board().fill({{u"1"_s, u"A1"_s, u"2024-05-01 10:00:00"_s, u"물"_s, u"현금"_s}});
        auto darkPixels = [&] {
            const QImage image = panel(*w, u"sspCheck_0"_s)->grab().toImage();
            int dark = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    if (0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue() < 60)
                        ++dark;
                }
            }
            return dark;
        };
        QCOMPARE(darkPixels(), 0);
        w->board().setMarked(0, true);
        QVERIFY(darkPixels() > 10);
    }

    // A missing picture leaves a hole: the cash picture never shows for a card.
    void missingPictureKeepsNumbers()
    {
        QVERIFY(QFile::remove(gSkinPath + u"/0601.gif"_s));
        QVERIFY(QFile::remove(gSkinPath + u"/0603.gif"_s));
        auto w = makeWindow();
        QVERIFY(w->imgIconPicture(1).isNull());
        QVERIFY(w->imgIconPicture(3).isNull());
        QCOMPARE(centreOf(w->imgIconPicture(4)), CashColour);
        w->board().fill({{u"1"_s, u"A1"_s, u"2024-05-01 10:00:00"_s, u"물"_s, u"카드"_s},
                         {u"2"_s, u"A2"_s, u"2024-05-01 10:00:00"_s, u"물"_s, u"현금"_s}});
        QVERIFY(panel(*w, u"sspCheck_0"_s)->picture().isNull());
        QCOMPARE(centreOf(panel(*w, u"sspCheck_1"_s)->picture()), CashColour);
    }

    // The highlight never waits: it is set at once, LoopBlinking hands over to
    // a precise 10-second timer, a new highlight cancels the pending return, a new
    // start restarts it.
    void highlight()
    {
        auto w = makeWindow();
        auto *hold = w->findChild<QTimer *>(u"LoopBlinkingHold"_s);
        QVERIFY(hold);
        QCOMPARE(hold->interval(), 10000);
        QVERIFY(hold->isSingleShot());
        // A coarse timer may end it up to half a second early.
        QCOMPARE(hold->timerType(), Qt::PreciseTimer);
        QCOMPARE(w->bannerStyle(), 0);

        w->highlightBanner();
        QCOMPARE(w->bannerStyle(), 3);
        w->startLoopBlinking();
        QVERIFY(w->loopBlinking()->isActive());
        QTRY_VERIFY(hold->isActive());
        QVERIFY(!w->loopBlinking()->isActive()); // it fires once per arrival
        QCOMPARE(w->bannerStyle(), 3);

        // The next alert highlights again: the return to normal waits for its LoopBlinking.
        w->highlightBanner();
        QVERIFY(!hold->isActive());
        QCOMPARE(w->bannerStyle(), 3);
        w->startLoopBlinking();
        QTRY_VERIFY(hold->isActive());

        // The end of the hold returns the banner to normal.
        hold->setInterval(1);
        w->startLoopBlinking();
        QTRY_COMPARE(w->bannerStyle(), 0);
        QVERIFY(!hold->isActive());
    }

    // The activation shows the wait picture; with a session set it reads calltime
    // through the session and switches the session's LoopTimer on, and the
    // session's wait and board are drawn here. Terminate switches the loop off.
    void activation()
    {
        test::writeSetSection({u"calltime=30초"_s});
        monitor::MonitorSession session; // it outlives the window
        frmAlarm w(session.board());
        w.setEndProcess([this](int code) { m_ended.append(code); });
        QSignalSpy activated(&w, &frmAlarm::activated);
        w.Form_Activate();
        QCOMPARE(activated.count(), 1);
        QVERIFY(w.waitShown());
        QVERIFY(!session.loopTimer()->isActive()); // no session set: nothing ticks

        w.setSession(&session);
        QCOMPARE(session.window(), static_cast<QObject *>(&w));
        w.Form_Activate();
        QCOMPARE(session.pollLoop().LoopInterval(), 30000u);
        QVERIFY(session.loopTimer()->isActive());

        // The wait the session asks for shows and hides the same picture.
        emit session.waitEnded();
        QVERIFY(!w.waitShown());
        emit session.waitStarted();
        QVERIFY(w.waitShown());
        emit session.waitEnded();
        QVERIFY(!w.waitShown());
        session.board().fill({{u"7"_s, u"A1"_s, u"2024-05-01 10:00:00"_s, u"물"_s, u"카드"_s}});
        QCOMPARE(panel(w, u"sspTable_0"_s)->caption(), u"A1"_s);
        QCOMPARE(panel(w, u"lblTable"_s)->caption(), u"A1"_s);

        m_env->dialogs().queueAnswer(platform::DialogAnswer::Yes);
        w.lblTerminate_Click();
        QVERIFY(!session.loopTimer()->isActive());
        QVERIFY(!session.window());
        QVERIFY(!w.session());
    }

    // Showing the window activates it once; coming back to it later does not
    // show the wait picture or read the settings again.
    void activationOncePerShowing()
    {
        auto w = makeWindow();
        QSignalSpy activated(w.get(), &frmAlarm::activated);
        w->show();
        QTRY_COMPARE(activated.count(), 1);
        w->hideWait();

        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_VERIFY(other.isActiveWindow());
        w->activateWindow();
        QTRY_VERIFY(w->isActiveWindow());
        QCOMPARE(activated.count(), 1);
        QVERIFY(!w->waitShown());

        w->hide();
        w->show();
        QTRY_COMPARE(activated.count(), 2);
    }

    // The window moves with its background, its version and its shop name; a board cell does not move it.
    void dragging()
    {
        auto w = makeWindow();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        auto drag = [&](QWidget *from, QPoint by) {
            const QPoint local = from->rect().center();
            const QPoint global = from->mapToGlobal(local);
            QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                              Qt::NoModifier);
            QApplication::sendEvent(from, &press);
            QMouseEvent move(QEvent::MouseMove, local + by, global + by, Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(from, &move);
            QMouseEvent release(QEvent::MouseButtonRelease, local + by, global + by, Qt::LeftButton,
                                Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(from, &release);
        };
        if (w->windowHandle()->startSystemMove())
            QSKIP("the window system moves the window itself here");
        const QPoint start = w->pos();
        drag(w->findChild<QWidget *>(u"lbl버전"_s), {30, 20});
        QCOMPARE(w->pos(), start + QPoint(30, 20));
        drag(w->findChild<QWidget *>(u"상호"_s), {-10, 5});
        QCOMPARE(w->pos(), start + QPoint(20, 25));
        drag(panel(*w, u"sspRequest_0"_s), {50, 50});
        QCOMPARE(w->pos(), start + QPoint(20, 25));
    }

    // Logout asks, turns the automatic login off in the stored record and ends the process.
    void logout_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("saved");
        QTest::newRow("remembered login") << u"True◈True◈shop1◈pass1"_s << u"True◈False◈shop1◈pass1"_s;
        QTest::newRow("already off") << u"False◈False◈◈"_s << u"False◈False◈◈"_s;
        QTest::newRow("five fields") << u"False◈True◈◈◈"_s << u"False◈False◈◈"_s;
        QTest::newRow("nothing stored") << QString() << u"False◈False◈◈"_s;
    }
    void logout()
    {
        QFETCH(QString, stored);
        QFETCH(QString, saved);
        if (!stored.isEmpty())
            QVERIFY(userstore::set(u"fsVadn"_s, u"Login"_s, u"A"_s, stored));
        auto w = makeWindow();
        w->highlightBanner();
        w->startLoopBlinking();
        QSignalSpy ending(w.get(), &frmAlarm::endingProcess);

        m_env->dialogs().queueAnswer(platform::DialogAnswer::No);
        w->lblLogout_Click();
        QCOMPARE(m_env->dialogs().texts(), QStringList{u"정말로 로그아웃 하시겠습니까 ?"_s});
        QCOMPARE(m_env->dialogs().shown().first().buttons, platform::DialogButtons::YesNo);
        QCOMPARE(storedRecord(), stored);
        QVERIFY(m_ended.isEmpty());
        QVERIFY(!w->ending());

        m_env->dialogs().queueAnswer(platform::DialogAnswer::Yes);
        w->lblLogout_Click();
        QCOMPARE(storedRecord(), saved);
        QCOMPARE(m_ended, QList<int>{0});
        QCOMPARE(ending.count(), 1);
        QVERIFY(w->ending());
        for (const QTimer *timer : w->findChildren<QTimer *>())
            QVERIFY2(!timer->isActive(), qPrintable(timer->objectName()));

        // Nothing starts once the process is ending.
        w->lblTerminate_Click();
        w->startLoopBlinking();
        QVERIFY(!w->loopBlinking()->isActive());
        QCOMPARE(m_env->dialogs().shown().size(), 2);
        QCOMPARE(m_ended.size(), 1);
    }

    void terminate()
    {
        QVERIFY(userstore::set(u"fsVadn"_s, u"Login"_s, u"A"_s, u"True◈True◈shop1◈pass1"_s));
        auto w = makeWindow();
        m_env->dialogs().queueAnswer(platform::DialogAnswer::No);
        w->lblTerminate_Click();
        QVERIFY(m_ended.isEmpty());
        m_env->dialogs().queueAnswer(platform::DialogAnswer::Yes);
        w->lblTerminate_Click();
        QCOMPARE(m_env->dialogs().texts(),
                 (QStringList{u"정말로 종료 하시겠습니까 ?"_s, u"정말로 종료 하시겠습니까 ?"_s}));
        QCOMPARE(m_ended, QList<int>{0});
        QCOMPARE(storedRecord(), u"True◈True◈shop1◈pass1"_s);
    }

    // Without a test's hook, terminate hides the window and the application's event loop ends.
    void terminateQuitsTheApplication()
    {
        frmAlarm w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        m_env->dialogs().queueAnswer(platform::DialogAnswer::Yes);
        QTimer::singleShot(0, &w, [&w] { w.lblTerminate_Click(); });
        // Only a guard against a hang; the test never waits for it when things work.
        QTimer guard;
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        guard.start(30000);
        QSignalSpy quitting(qApp, &QCoreApplication::aboutToQuit);
        const int code = QApplication::exec();
        QCOMPARE(code, 0);
        QCOMPARE(quitting.count(), 1);
        QVERIFY(w.isHidden());
        QVERIFY(w.ending());
    }
};

QTEST_MAIN(TstMainWindow)
#include "tst_mainwindow.moc"
