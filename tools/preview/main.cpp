// Renders the main window with sample boards to PNG files: both widths, the
// three row counts, full and empty, highlighted banners, the wait mark, icon
// mode, and the fill choice on every screen. The sample texts include line
// breaks, emoji, long table names and texts too long for their cells.
//   kavri-board-preview <output folder> [-x11]
// Without -x11 it renders offscreen on four screens (1920x1080, 1280x1024,
// 1600x900, 2560x1440); with it, on the X display of DISPLAY (an Xvfb).
// The pictures come from the built skin folder; pictures it does not hold yet
// are drawn here as plain stand-ins so the layout can still be judged.
#include "GifWriter.h"
#include "board/IconView.h"
#include "board/MainWindow.h"
#include "monitor/BoardHealth.h"
#include "services/AppFolder.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QWindow>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace kavri;

namespace {

const QStringList Tables{u"1층-12"_s,      u"B-7"_s,     u"테라스 3"_s, u"2층 단체석 연회룸 A-12 (창가 쪽)"_s,
                         u"A-1"_s,         u"야외-4"_s,  u"C-10"_s,     u"바 좌석 6"_s,
                         u"2층 창가 15"_s, u"단체석 2"_s};
const QString Sentence =
    u"아이 의자 하나 더 주시고 물티슈랑 앞접시 세 개, 그리고 얼음물 한 병 부탁드립니다. "_s;
const QStringList Texts{u"+샷 추가\r\n얼음 많이 X 2"_s, u"물\r\n앞접시\r\n수저 X 3"_s,
                        // 111 characters with its quantity: the quantity must survive the cut.
                        Sentence + Sentence.left(62) + u" X 3"_s, u"물 좀 더 주세요! \U0001F600\U0001F44D"_s,
                        // 700 characters without a space, quantity 3.
                        QString(700, QChar(u'가')) + u" X 3"_s,
                        // 150 printer columns.
                        QString(75, QChar(u'나')), u"계산서 부탁드려요"_s,
                        u"김치찌개 하나 덜 맵게 해 주실 수 있나요? 아이가 먹을 거예요"_s, u"수저 한 벌"_s,
                        u"냅킨 x3"_s, u"주문한 음식이 아직 안 나왔어요. 확인 부탁드립니다"_s,
                        u"콜라 1병, 사이다 2병 추가요 X 4"_s, u"테이블 좀 닦아 주세요"_s, u"직원 호출"_s};
const QStringList PayTypes{u"카드"_s, u"현금"_s, QString()};
/// Minutes each sample request has waited: calm, amber and red rows.
const QList<int> Waits{0, 2, 4, 6, 9, 12, 25, 48, 100, 130};

KavriList sampleList(int count)
{
    const QDateTime now = QDateTime::currentDateTime();
    KavriList list;
    for (int i = 0; i < count; ++i) {
        const int minutes = Waits[i % Waits.size()] + (i / Waits.size()) * 7;
        list.append({QString::number(900 - i), Tables[i % Tables.size()],
                     now.addSecs(-60 * minutes - 5).toString(u"yyyy-MM-dd HH:mm:ss"_s),
                     Texts[i % Texts.size()], PayTypes[i % PayTypes.size()]});
    }
    return list;
}

QList<monitor::HealthItem> everyFault()
{
    monitor::BoardHealth health;
    health.pollSucceeded(QDateTime::currentDateTime());
    health.pollFailed();
    health.pollFailed();
    health.setPrinterFailed(u"주방"_s, true);
    health.setUnprinted(11);
    health.setSpeechUnavailable(true);
    return health.items();
}

QImage standIn(int n)
{
    const QSize size = n == 1 ? QSize(110, 65) : n == 2 ? QSize(85, 81) : QSize(32, 32);
    QImage image(size, QImage::Format_RGB32);
    image.fill(n == 3   ? QColor(0x1c, 0x7c, 0xd6)
               : n == 4 ? QColor(0x2f, 0x9e, 0x44)
                        : QColor(0x16, 0x20, 0x2b));
    QPainter p(&image);
    p.setPen(Qt::white);
    QFont f(u"NanumGothic"_s);
    f.setPixelSize(n <= 2 ? 18 : 12);
    f.setBold(true);
    p.setFont(f);
    p.drawText(image.rect(), Qt::AlignCenter,
               n == 1   ? u"Kavri"_s
               : n == 2 ? u"K"_s
               : n == 3 ? u"카드"_s
                        : u"현금"_s);
    return image;
}

bool prepareSkin(const QString &folder)
{
    QDir().mkpath(folder);
    for (int n = 1; n <= 4; ++n) {
        const QString name = u"/06"_s + QString::number(n).rightJustified(2, u'0') + u".gif"_s;
        const QString built = QStringLiteral(KAVRI_SKIN_DIR) + name;
        QFile::remove(folder + name);
        if (QFile::exists(built)) {
            if (!QFile::copy(built, folder + name))
                return false;
            continue;
        }
        QFile out(folder + name);
        if (!out.open(QIODevice::WriteOnly) || out.write(skin::encodeGif({standIn(n)})) < 0)
            return false;
    }
    const QString wait = QStringLiteral(KAVRI_SKIN_DIR) + u"/0106.gif"_s;
    if (QFile::exists(wait))
        QFile::copy(wait, folder + u"/0106.gif"_s);
    return true;
}

class Preview
{
public:
    Preview(frmAlarm &window, const QString &out) : m_window(window), m_out(out) {}

    void save(const QString &name)
    {
        QApplication::processEvents();
        if (m_window.grab().save(m_out + u'/' + name + u".png"_s))
            ++m_written;
        else
            std::fprintf(stderr, "kavri-board-preview: cannot write %s\n", qPrintable(name));
    }
    int written() const { return m_written; }

    void load(int resolution, int display)
    {
        const QString settings = monitor::settingsFilePath();
        WriteINI(u"Set"_s, u"ResolutionIDX"_s, QString::number(resolution), settings);
        WriteINI(u"Set"_s, u"DisplayIDX"_s, QString::number(display), settings);
        m_window.Form_Load();
    }

    /// Every layout full (marks, every fault on the health line) and empty (all well).
    void layouts()
    {
        for (int resolution = 0; resolution < 2; ++resolution) {
            for (int display = 0; display < 3; ++display) {
                load(resolution, display);
                const int rows = m_window.board().rowCount();
                for (bool full : {true, false}) {
                    m_window.board().fill(full ? sampleList(rows) : KavriList{}, full ? rows + 13 : 0);
                    if (full) {
                        m_window.board().setMarked(1, true);
                        m_window.board().setMarked(rows - 1, true);
                        m_window.showHealthItems(everyFault(), u"faults"_s, true);
                    } else {
                        m_window.showHealth(u"확인 "_s + QTime::currentTime().toString(u"HH:mm:ss"_s), false);
                    }
                    save(u"board-%1-%2rows-%3"_s.arg(resolution == 0 ? 1024 : 1366)
                             .arg(rows)
                             .arg(full ? u"full"_s : u"empty"_s));
                }
            }
        }
    }

    /// A new request highlighted, the wait mark, and icon mode quiet and announcing.
    void moments()
    {
        load(0, 0);
        m_window.board().fill(sampleList(10), 23);
        m_window.ToggleFAB(true);
        save(u"icon-quiet"_s);
        m_window.highlightBanner();
        save(u"icon-new-request"_s);
        m_window.ToggleFAB(false);

        m_window.board().fill(sampleList(3).mid(2), 1);
        m_window.showHealth(u"확인 "_s + QTime::currentTime().toString(u"HH:mm:ss"_s), false);
        m_window.highlightBanner();
        save(u"board-1024-highlight"_s);
        m_window.showWait();
        save(u"board-1024-wait"_s);
        m_window.hideWait();
        load(1, 0);
        m_window.board().fill(sampleList(5).mid(4), 1);
        m_window.highlightBanner();
        save(u"board-1366-highlight-long"_s);
    }

    /// The fill choice on screens of four sizes, both widths, a full board.
    void filled()
    {
        const QString settings = monitor::settingsFilePath();
        WriteINI(u"Set"_s, u"DisplayFill"_s, u"1"_s, settings);
        for (QScreen *screen : QGuiApplication::screens()) {
            const QPoint at = screen->geometry().topLeft();
            WriteINI(u"Set"_s, u"DisplayPosX"_s, QString::number(at.x()), settings);
            m_window.windowHandle()->setScreen(screen);
            for (int resolution : {0, 1}) {
                m_window.move(at);
                load(resolution, resolution == 0 ? 2 : 0);
                const int rows = m_window.board().rowCount();
                m_window.board().fill(sampleList(rows), rows + 7);
                m_window.board().setMarked(1, true);
                m_window.showHealthItems(everyFault(), u"faults"_s, true);
                const QSize size = m_window.screen()->geometry().size();
                save(u"fill-%1x%2-%3-%4rows"_s.arg(size.width())
                         .arg(size.height())
                         .arg(resolution == 0 ? 1024 : 1366)
                         .arg(rows));
            }
        }
        WriteINI(u"Set"_s, u"DisplayFill"_s, u"0"_s, settings);
        WriteINI(u"Set"_s, u"DisplayPosX"_s, u"0"_s, settings);
        m_window.windowHandle()->setScreen(QGuiApplication::primaryScreen());
    }

private:
    frmAlarm &m_window;
    QString m_out;
    int m_written = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    // A screen wide enough for the 1366 layout: on a narrower one the board shows the 1024 layout.
    QTemporaryDir screenConfig;
    const QString screenFile = screenConfig.filePath(u"screen.json"_s);
    {
        QFile f(screenFile);
        if (f.open(QIODevice::WriteOnly))
            f.write(R"({"screens": [
                 {"name": "Preview", "x": 0, "y": 0, "width": 1920, "height": 1080,
                  "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
                 {"name": "Square", "x": 1920, "y": 0, "width": 1280, "height": 1024,
                  "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
                 {"name": "Wide", "x": 3200, "y": 0, "width": 1600, "height": 900,
                  "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
                 {"name": "Large", "x": 4800, "y": 0, "width": 2560, "height": 1440,
                  "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    }
    // "-x11" renders on the X display given (an Xvfb), with the screens it has.
    const bool onX11 = argc > 2 && qstrcmp(argv[2], "-x11") == 0;
    if (onX11)
        qputenv("QT_QPA_PLATFORM", "xcb");
    else
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screenFile.toLocal8Bit());
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: kavri-board-preview <output folder>\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QTemporaryDir work;
    setAppFolder(work.path());
    CfgMain.setFileName(work.path() + u"/Zarazo.cfg"_s);
    gSkinPath = work.path() + u"/skin"_s;
    if (!prepareSkin(gSkinPath)) {
        std::fprintf(stderr, "kavri-board-preview: cannot prepare the pictures\n");
        return 1;
    }
    gStoreName = u"카브리 한식당 본점 (성수동 직영 1호점)"_s;
    gVersion = u"1.0.0.0 #22"_s;

    frmAlarm window;
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.show();
    QApplication::processEvents(); // the activation, which shows the wait mark
    window.hideWait();             // the preview runs no cycle that would hide it
    Preview preview(window, out);
    preview.layouts();
    preview.moments();
    preview.filled();
    std::printf("%d pictures in %s\n", preview.written(), qPrintable(out));
    // 17 pictures of the layouts and moments, and two of the fill on each screen.
    return preview.written() == 17 + 2 * QGuiApplication::screens().size() ? 0 : 1;
}
