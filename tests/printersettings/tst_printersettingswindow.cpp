#include "codec/Cp949.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "printersettings/DeviceChoice.h"
#include "printersettings/PrinterSettingsWindow.h"
#include "printing/PrinterSettings.h"
#include "printing/PrinterSettingsForm.h"
#include "printing/TableList.h"
#include "printing/TicketOutput.h"
#include "printing/Unprinted.h"
#include "services/Deployment.h"
#include "services/IniFile.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"
#include "services/WinHttp.h"
#include "support/FileBytes.h"
#include "support/FileSizeLimit.h"
#include "support/PrintingTestEnvironment.h"
#include "support/PtyPair.h"
#include "support/Simulator.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSslCertificate>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace kavri;

namespace {

using Keys = QList<QPair<QString, QString>>;

QByteArray dataFile(const QString &name)
{
    return test::readBytes(QStringLiteral(KAVRI_SOURCE_DIR) + u"/tests/printing/data/"_s + name);
}

template <typename T> T *child(QWidget &w, const QString &name)
{
    T *c = w.findChild<T *>(name);
    if (!c)
        qFatal("no control %s", qPrintable(name));
    return c;
}

QStringList names(const PrinterSettingsWindow &w)
{
    QStringList out;
    for (int row = 1; row <= w.tableRows(); ++row)
        out.append(w.tableName(row));
    return out;
}

QList<bool> ticks(const PrinterSettingsWindow &w)
{
    QList<bool> out;
    for (int row = 1; row <= w.tableRows(); ++row)
        out.append(w.isTicked(row));
    return out;
}

using test::FileSizeLimit;

/// Types `text` into the 장치 control of `slot` as staff would, over what it held.
void typeDevice(QWidget &w, int slot, const QString &text)
{
    QLineEdit *edit = child<DeviceChoice>(w, u"프린터_장치"_s + QString::number(slot))->lineEdit();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

QString deviceLine(QWidget &w, int slot)
{
    return child<QLabel>(w, u"포트장치"_s + QString::number(slot))->text();
}

/// A connection check that really opens a device for writing (and sends nothing), as
/// the output would, and tells what it was given; a network printer is not dialled here.
QString openingCheck(const PortTarget &target, qint32 speed)
{
    if (target.kind != PortTarget::Kind::Device)
        return u"네트워크 "_s + portTargetName(target);
    const int fd = ::open(QFile::encodeName(target.device).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return u"열 수 없음: "_s + QString::fromLocal8Bit(std::strerror(errno));
    ::close(fd);
    return u"열림 "_s + target.device + u' ' + QString::number(speed);
}

} // namespace

class TstPrinterSettingsWindow : public QObject
{
    Q_OBJECT
    std::optional<test::PrintingTestEnvironment> m_env;
    std::unique_ptr<test::Simulator> m_sim;

    QString cfgPath() const { return m_env->cfgPath(); }
    QString log(const QString &channel = {}) const
    {
        return codec::fromCp949(test::readBytes(m_env->filePath(u"260501"_s + channel + u".log"_s)));
    }

    /// Starts the simulator with the shop's tables ("group/name[/N]" entries).
    void startSimulator(const QString &tables)
    {
        m_sim = std::make_unique<test::Simulator>(QStringList{
            u"--shop"_s, test::Simulator::shopId + u':' + test::Simulator::shopPassword + u":테스트"_s,
            u"--tables"_s, test::Simulator::shopId + u':' + tables});
        QVERIFY2(m_sim->isRunning(), qPrintable(m_sim->errorString()));
        gBaseURL = m_sim->httpBase();
    }

    /// Zarazo.cfg with section "프린터" holding `keys`, loaded into the record.
    void storeSettings(const Keys &keys)
    {
        QString text = u"[Set]\r\ncalltime=10\r\n[프린터]\r\n"_s;
        for (const auto &[k, v] : keys)
            text += k + u"="_s + v + u"\r\n"_s;
        QVERIFY(test::writeBytes(cfgPath(), codec::toCp949(text)));
        Load_프린터설정();
        Load_선택된테이블설정();
    }

    /// Opens the window as the main window does and waits until its first activation is done.
    std::unique_ptr<PrinterSettingsWindow> open()
    {
        auto w = std::make_unique<PrinterSettingsWindow>();
        w->openAt(QPoint(0, 0));
        if (!QTest::qWaitFor([&] { return !w->m_FirstActivated && !w->busy(); }, 20000))
            qWarning("the first activation did not finish");
        return w;
    }

    static void clickCell(PrinterSettingsWindow &w, int column, int row)
    {
        auto *view = child<QTableView>(w, u"SPR0"_s);
        const QRect cell = view->visualRect(view->model()->index(row - 1, column - 1));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    }

    static void clickHeader(PrinterSettingsWindow &w, int column)
    {
        QHeaderView *header = child<QTableView>(w, u"SPR0"_s)->horizontalHeader();
        const int x = header->sectionViewportPosition(column - 1) + header->sectionSize(column - 1) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    }

    static QString storedValue(const QString &path, const QString &key)
    {
        return ini::read(path, kPrinterSection, key).value_or(u"<missing>"_s);
    }

private slots:
    void init()
    {
        m_env.emplace(QDateTime(QDate(2026, 5, 1), QTime(10, 0)));
        gSkinPath = QStringLiteral(KAVRI_BINARY_DIR) + u"/src/skin"_s;
        gLoginID = test::Simulator::shopId;
        gLoginPW = test::Simulator::shopPassword;
        winHttpOptions().stageLimitMs = 2000;
    }
    void cleanup()
    {
        m_sim.reset();
        m_env.reset();
    }

    void firstActivationListsTheTablesSorted()
    {
        startSimulator(u"1층/10,1층/2,창가,테라스/3/N"_s);
        storeSettings({});
        auto w = open();
        QCOMPARE(w->size(), QSize(1024, 768));
        QCOMPARE(names(*w), (QStringList{u"창가"_s, u"2"_s, u"10"_s}));
        QCOMPARE(child<QLabel>(*w, u"lblInfo6"_s)->text(), u"만들어진 좌석  -  총 3개"_s);

        auto *view = child<QTableView>(*w, u"SPR0"_s);
        QVERIFY(view->isColumnHidden(0));
        QVERIFY(view->isColumnHidden(4));
        QCOMPARE(view->rowHeight(0), 28);
        QCOMPARE(view->horizontalHeader()->height(), 28);
        QAbstractItemModel *m = view->model();
        QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), u"선택"_s);
        QCOMPARE(m->headerData(2, Qt::Horizontal).toString(), u"그룹 이름"_s);
        QCOMPARE(m->headerData(3, Qt::Horizontal).toString(), u"테이블이름"_s);
        QCOMPARE(m->data(m->index(2, 0)).toString(), u"1"_s); // the number of table 10
        QCOMPARE(m->data(m->index(2, 2)).toString(), u"1층"_s);
        QCOMPARE(m->data(m->index(2, 4)).toString(), u"A0000000010"_s);

        // The exchange is logged with its address, body (password masked) and answer.
        const QString http = log(u"_WinHttp"_s);
        QVERIFY2(http.contains(u"]Load_테이블(1) ... "_s + m_sim->httpBase() +
                               u"/program/qrtableloading.php?ID=shop1&PassWord=****\r\n"_s),
                 qPrintable(http));
        QVERIFY(!http.contains(test::Simulator::shopPassword));
        QVERIFY(http.contains(u"]Load_테이블(1) ... ResponseStr:\r\nnums[1]nums"_s));
        QVERIFY(!m_sim->receivedLog().isEmpty());

        // Trace lines of the load and the first activation; a later activation only says so.
        QVERIFY(log().contains(u"  [frmQ설정→Form_Load] Enter\r\n"_s));
        QVERIFY(log().contains(u"  [frmQ설정→Form_Activate] Enter\r\n"_s));
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(w.get(), &activate);
        QVERIFY(log().contains(u"  [frmQ설정→Form_Activate] Quit\r\n"_s));
        QCOMPARE(m_sim->receivedLog().size(), 1);
    }

    void answersThatAreNotPlainLists_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("rows"); // number/group/name
        QTest::newRow("no tableqr, then a table not in use")
            << u"nums[7]numstableYN[Y]tableYNtableqroup[1층]tableqrouptablenum[3]tablenum<br>"
               "nums[8]numstableYN[N]tableYNtableqr[q]tableqrtableqroup[2층]tableqrouptablenum[4]tablenum"_s
            << QStringList{u"7/1층/3"_s};
        QTest::newRow("a record without its closing name marker is left out whole")
            << u"nums[1]numstableYN[Y]tableYNtableqroup[A]tableqrouptablenum[1]tablenum"
               "nums[2]numstableYN[Y]tableYNtableqroup[B]tableqrouptablenum[2"
               "nums[3]numstableYN[Y]tableYNtableqroup[C]tableqrouptablenum[3]tablenum"_s
            << QStringList{u"1/A/1"_s, u"3/C/3"_s};
        QTest::newRow("a record without a group is not given the group before it")
            << u"nums[1]numstableYN[Y]tableYNtableqroup[A]tableqrouptablenum[1]tablenum"
               "nums[2]numstableYN[Y]tableYNtablenum[2]tablenum"_s
            << QStringList{u"1/A/1"_s};
        QTest::newRow("no answer") << QString() << QStringList{};
    }
    void answersThatAreNotPlainLists()
    {
        QFETCH(QString, answer);
        QFETCH(QStringList, rows);
        startSimulator(u"1층/1"_s);
        storeSettings({});
        if (answer.isEmpty())
            QVERIFY(m_sim->setFault(u"blank"_s, 0));
        else
            QVERIFY(m_sim->setRawAnswer(answer, 0));
        auto w = open();
        QStringList seen;
        QAbstractItemModel *m = child<QTableView>(*w, u"SPR0"_s)->model();
        for (int r = 0; r < m->rowCount(); ++r)
            seen.append(m->data(m->index(r, 0)).toString() + u'/' + m->data(m->index(r, 2)).toString() +
                        u'/' + m->data(m->index(r, 3)).toString());
        QCOMPARE(seen, rows);
        // No record at all is a list that did not load; a record not in use still is a list.
        QCOMPARE(child<QLabel>(*w, u"lblInfo6"_s)->text(),
                 answer.isEmpty() ? tableListFailedText()
                                  : u"만들어진 좌석  -  총 "_s + QString::number(rows.size()) + u"개"_s);
        QVERIFY(m_env->dialogs().texts().isEmpty());
    }

    // A table list that did not come: saving another change keeps the stored selection byte
    // for byte and writes the other keys as usual.
    void failedTableListKeepsTheSelection_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("blank") << u"blank"_s;
        QTest::newRow("error page") << u"error500"_s;
        QTest::newRow("hang") << u"hang"_s;
    }
    void failedTableListKeepsTheSelection()
    {
        QFETCH(QString, fault);
        startSimulator(u"1층/1,1층/2"_s);
        const QString selection = u"-[2]--[창가 A]-"_s;
        storeSettings({{u"이름0"_s, u"카운터"_s}, {u"선택된테이블"_s, selection}});
        const QByteArray selectionLine = codec::toCp949(u"선택된테이블="_s + selection + u"\r\n"_s);
        QVERIFY(test::readBytes(cfgPath()).contains(selectionLine));
        winHttpOptions().stageLimitMs = 300;
        QVERIFY(m_sim->setFault(fault, 0));
        auto w = open();
        QCOMPARE(w->tableRows(), 0);
        QCOMPARE(child<QLabel>(*w, u"lblInfo6"_s)->text(), tableListFailedText());

        child<QLineEdit>(*w, u"프린터_이름0"_s)->setText(u"주방"_s);
        w->CMD_Click(0);
        QCOMPARE(m_env->dialogs().texts(), QStringList{u"설정이 저장되었습니다."_s});
        const QByteArray saved = test::readBytes(cfgPath());
        QVERIFY2(saved.contains(selectionLine), saved.constData());
        QCOMPARE(storedValue(cfgPath(), u"이름0"_s), u"주방"_s);
        QCOMPARE(gPrinterSettings.선택된테이블, selection);
        QCOMPARE(child<QLabel>(*w, u"lblInfo6"_s)->text(), tableListFailedText());
        QVERIFY(log(u"_WinHttp"_s).contains(u"테이블 목록을 받지 못해 저장된 선택을 그대로 둠"_s));

        // The list comes on the next opening: saving stores the grid's selection again.
        QVERIFY(m_sim->setFault(u"none"_s));
        w.reset();
        w = open();
        QCOMPARE(w->tableRows(), 2);
        QCOMPARE(ticks(*w), (QList<bool>{false, true}));
        w->CMD_Click(0);
        QCOMPARE(storedValue(cfgPath(), u"선택된테이블"_s), u"-[2]-"_s);
    }

    void selectionRoundTrip_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("all");
        QTest::addColumn<QList<bool>>("ticked"); // rows 창가, 2, 10
        QTest::addColumn<QString>("countLine");
        QTest::addColumn<QString>("saved");
        const QString plain = u"만들어진 좌석  -  총 3개"_s;
        QTest::newRow("전체") << u"전체"_s << true << QList<bool>{true, true, true} << plain << u"전체"_s;
        QTest::newRow("empty") << QString() << false << QList<bool>{false, false, false} << plain
                               << QString();
        QTest::newRow("two listed") << u"-[10]--[창가]-"_s << false << QList<bool>{true, false, true} << plain
                                    << u"-[창가]--[10]-"_s;
        QTest::newRow("case counts")
            << u"-[창가]--[T10]-"_s << false << QList<bool>{true, false, false}
            << u"만들어진 좌석  -  총 3개  (목록에 없는 선택 테이블 1개는 저장하면 빠집니다)"_s
            << u"-[창가]-"_s;
        QTest::newRow("unlisted names")
            << u"-[없는방]--[2]--[99]-"_s << false << QList<bool>{false, true, false}
            << u"만들어진 좌석  -  총 3개  (목록에 없는 선택 테이블 2개는 저장하면 빠집니다)"_s << u"-[2]-"_s;
    }
    void selectionRoundTrip()
    {
        QFETCH(QString, stored);
        QFETCH(bool, all);
        QFETCH(QList<bool>, ticked);
        QFETCH(QString, countLine);
        QFETCH(QString, saved);
        startSimulator(u"1층/10,1층/2,창가"_s);
        storeSettings({{u"선택된테이블"_s, stored}});
        auto w = open();
        QCOMPARE(child<QCheckBox>(*w, u"chk전체선택"_s)->isChecked(), all);
        QCOMPARE(ticks(*w), ticked);
        QCOMPARE(child<QLabel>(*w, u"lblInfo6"_s)->text(), countLine);

        // The unlisted names stay stored until the shop saves.
        QCOMPARE(storedValue(cfgPath(), u"선택된테이블"_s), stored);
        w->CMD_Click(0);
        QCOMPARE(m_env->dialogs().texts(), QStringList{u"설정이 저장되었습니다."_s});
        QCOMPARE(storedValue(cfgPath(), u"선택된테이블"_s), saved);
        QCOMPARE(gPrinterSettings.선택된테이블, saved);
        QCOMPARE(child<QLabel>(*w, u"lblInfo6"_s)->text(), u"만들어진 좌석  -  총 3개"_s);
    }

    void gridClicksAndHeaderSort()
    {
        startSimulator(u"1층/10,1층/2,창가"_s);
        storeSettings({{u"선택된테이블"_s, QString()}});
        auto w = open();

        clickCell(*w, 2, 2); // 선택 of table 2
        QCOMPARE(ticks(*w), (QList<bool>{false, true, false}));
        QCOMPARE(w->currentRow(), 2);
        clickCell(*w, 2, 2);
        QCOMPARE(ticks(*w), (QList<bool>{false, false, false}));
        clickCell(*w, 4, 3); // the name cell only moves the current row
        QCOMPARE(ticks(*w), (QList<bool>{false, false, false}));
        QCOMPARE(w->currentRow(), 3);
        w->SPR_Click(0, 1); // the row header
        w->SPR_Click(2, 4); // beyond the last row
        QCOMPARE(ticks(*w), (QList<bool>{false, false, false}));
        QCOMPARE(w->currentRow(), 3);

        auto *all = child<QCheckBox>(*w, u"chk전체선택"_s);
        QTest::mouseClick(all, Qt::LeftButton);
        QCOMPARE(ticks(*w), (QList<bool>{true, true, true}));
        QTest::mouseClick(all, Qt::LeftButton);
        QCOMPARE(ticks(*w), (QList<bool>{false, false, false}));

        // The name header sorts by the number in the name, alternating; other headers do nothing.
        clickCell(*w, 2, 1); // tick 창가, to see that ticks travel with their rows
        clickHeader(*w, 4);
        QCOMPARE(names(*w), (QStringList{u"10"_s, u"2"_s, u"창가"_s}));
        QCOMPARE(ticks(*w), (QList<bool>{false, false, true}));
        clickHeader(*w, 3);
        QCOMPARE(names(*w), (QStringList{u"10"_s, u"2"_s, u"창가"_s}));
        clickHeader(*w, 4);
        QCOMPARE(names(*w), (QStringList{u"창가"_s, u"2"_s, u"10"_s}));
        QCOMPARE(child<QTableView>(*w, u"SPR0"_s)->horizontalHeader()->sortIndicatorOrder(),
                 Qt::AscendingOrder);
    }

    void pageButtons()
    {
        QStringList tables;
        for (int i = 1; i <= 30; ++i)
            tables.append(u"홀/T"_s + QString::number(i));
        startSimulator(tables.join(u','));
        storeSettings({});
        auto w = open();
        QCOMPARE(w->tableRows(), 30);
        QCOMPARE(w->firstVisibleRow(), 1);
        auto *next = child<QPushButton>(*w, u"CMD3"_s);
        auto *previous = child<QPushButton>(*w, u"CMD4"_s);
        QVERIFY(next->text().isEmpty() && !next->icon().isNull());

        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(w->firstVisibleRow(), 16);
        QCOMPARE(w->currentRow(), 16);
        QCOMPARE(w->tableName(16), u"T16"_s);
        // 16 + 15 is beyond the 30 rows: no scrolling, only the current row moves to the top one.
        clickCell(*w, 4, 20);
        QCOMPARE(w->currentRow(), 20);
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(w->firstVisibleRow(), 16);
        QCOMPARE(w->currentRow(), 16);

        child<QTableView>(*w, u"SPR0"_s)->verticalScrollBar()->setValue(9);
        QCOMPARE(w->firstVisibleRow(), 10);
        QTest::mouseClick(previous, Qt::LeftButton);
        QCOMPARE(w->firstVisibleRow(), 1);
        QCOMPARE(w->currentRow(), 1);
        QTest::mouseClick(previous, Qt::LeftButton);
        QCOMPARE(w->firstVisibleRow(), 1);
        QVERIFY(next->isEnabled() && previous->isEnabled());
        QVERIFY(log().contains(u"CMD_Click Start CMD(3).Enabled := True\r\n"_s));
        QVERIFY(log().contains(u"CMD_Click NextStep\r\n"_s));
    }

    // Near the end of the list the view cannot scroll a whole page: the row it shows at the top
    // becomes current, and stays so once the view has laid itself out.
    void nextPageNearTheEnd_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("top"); // after one press of next page
        QTest::newRow("20 rows") << 20 << 6;
        QTest::newRow("16 rows") << 16 << 2;
        QTest::newRow("31 rows") << 31 << 16;
    }
    void nextPageNearTheEnd()
    {
        QFETCH(int, rows);
        QFETCH(int, top);
        QStringList tables;
        for (int i = 1; i <= rows; ++i)
            tables.append(u"홀/T"_s + QString::number(i));
        startSimulator(tables.join(u','));
        storeSettings({});
        auto w = open();
        QCOMPARE(w->tableRows(), rows);
        QTest::mouseClick(child<QPushButton>(*w, u"CMD3"_s), Qt::LeftButton);
        QCOMPARE(w->firstVisibleRow(), top);
        QCOMPARE(w->currentRow(), top);
        QTest::qWait(50);
        QCOMPARE(w->firstVisibleRow(), top);
        QCOMPARE(w->currentRow(), top);
        auto *view = child<QTableView>(*w, u"SPR0"_s);
        QCOMPARE(view->rowAt(view->viewport()->height() - 1) + 1, std::min(rows, top + 14));
    }

    // A header that does not sort leaves the current row where it was, lit across the row.
    void groupHeaderLeavesTheCurrentRow()
    {
        startSimulator(u"1층/10,1층/2,창가"_s);
        storeSettings({});
        auto w = open();
        clickCell(*w, 4, 3);
        QCOMPARE(w->currentRow(), 3);
        clickHeader(*w, 3); // 그룹 이름
        QCOMPARE(w->currentRow(), 3);
        clickHeader(*w, 2); // 선택
        QCOMPARE(w->currentRow(), 3);
        auto *view = child<QTableView>(*w, u"SPR0"_s);
        const QImage image = view->viewport()->grab().toImage();
        const QColor current(0xbf, 0xe2, 0xfb);
        const QColor plain(232, 246, 255);
        for (int column : {1, 2, 3}) {
            const QRect third = view->visualRect(view->model()->index(2, column));
            const QRect first = view->visualRect(view->model()->index(0, column));
            QCOMPARE(image.pixelColor(third.topLeft() + QPoint(2, 2)), current);
            QCOMPARE(image.pixelColor(first.topLeft() + QPoint(2, 2)), plain);
        }
    }

    void noSaveWhileTheTableListIsOnItsWay()
    {
        startSimulator(u"1층/1,1층/2"_s);
        storeSettings({{u"선택된테이블"_s, u"-[2]-"_s}});
        const QByteArray before = test::readBytes(cfgPath());
        QVERIFY(m_sim->setFault(u"slow"_s, 1, u"both"_s, 800));
        auto w = std::make_unique<PrinterSettingsWindow>();
        bool saveEnabled = true;
        QTimer::singleShot(300, w.get(), [&] {
            saveEnabled = child<QPushButton>(*w, u"CMD0"_s)->isEnabled();
            w->CMD_Click(0);
            w->CMD_Click(1);
        });
        w->openAt(QPoint(0, 0));
        QVERIFY(QTest::qWaitFor([&] { return !w->m_FirstActivated && !w->busy(); }, 20000));
        QVERIFY(!saveEnabled);
        QVERIFY(m_env->dialogs().texts().isEmpty());
        QCOMPARE(test::readBytes(cfgPath()), before);
        QCOMPARE(ticks(*w), (QList<bool>{false, true}));
        QVERIFY(child<QPushButton>(*w, u"CMD0"_s)->isEnabled());
        QVERIFY(child<QPushButton>(*w, u"CMD1"_s)->isEnabled());
    }

    void disabledButtonDoesNothing()
    {
        startSimulator(u"1층/1"_s);
        storeSettings({});
        auto w = open();
        const QByteArray before = test::readBytes(cfgPath());
        auto *save = child<QPushButton>(*w, u"CMD0"_s);
        save->setEnabled(false);
        child<QLineEdit>(*w, u"프린터_이름0"_s)->setText(u"바뀜"_s);
        w->CMD_Click(0);
        QVERIFY(log().contains(u"CMD_Click Start CMD(0).Enabled := False\r\n"_s));
        QVERIFY(!log().contains(u"CMD_Click NextStep"_s));
        QVERIFY(m_env->dialogs().texts().isEmpty());
        QCOMPARE(test::readBytes(cfgPath()), before);
        QVERIFY(!save->isEnabled());
    }

    void saveWritesTheWholeSection()
    {
        startSimulator(u"1층/10,1층/2,창가"_s);
        QVERIFY(test::writeBytes(cfgPath(), "[Set]\r\ncalltime=10\r\n"));
        Load_프린터설정();
        Load_선택된테이블설정();
        auto w = open();
        QVERIFY(child<QCheckBox>(*w, u"chk전체선택"_s)->isChecked()); // nothing stored: every table
        QTest::mouseClick(child<QCheckBox>(*w, u"chk전체선택"_s), Qt::LeftButton);

        child<QLineEdit>(*w, u"프린터_이름0"_s)->setText(u"카운터"_s);
        child<QComboBox>(*w, u"프린터_포트0"_s)->setCurrentIndex(3);
        child<QComboBox>(*w, u"프린터_통신속도0"_s)->setCurrentIndex(1);
        child<QLineEdit>(*w, u"프린터_이름2"_s)->setText(u"주방"_s);
        child<QComboBox>(*w, u"프린터_포트2"_s)->setCurrentIndex(20);
        child<QComboBox>(*w, u"프린터_통신속도2"_s)->setCurrentIndex(4);
        child<QComboBox>(*w, u"주문서_출력수"_s)->setCurrentIndex(1);
        child<QCheckBox>(*w, u"주문서_꼬리말_출력"_s)->setChecked(true);
        child<QRadioButton>(*w, u"주문서_꼬리말_글자크기1"_s)->setChecked(true);
        child<QPlainTextEdit>(*w, u"주문서_꼬리말"_s)->setPlainText(u"감사합니다\n또 오세요"_s);
        child<QRadioButton>(*w, u"주문서_주문내역_글자크기2"_s)->setChecked(true);
        child<QCheckBox>(*w, u"주문서_메뉴가격표시"_s)->setChecked(true);
        child<QCheckBox>(*w, u"주문서_낱장출력"_s)->setChecked(true);
        clickCell(*w, 2, 3); // 10
        clickCell(*w, 2, 1); // 창가

        QTest::mouseClick(child<QPushButton>(*w, u"CMD0"_s), Qt::LeftButton);
        QCOMPARE(m_env->dialogs().texts(), QStringList{u"설정이 저장되었습니다."_s});
        const QByteArray expected = dataFile(u"printer_section.cfg"_s);
        QCOMPARE(test::hex(test::readBytes(cfgPath())), test::hex(expected));

        // Saved, then reloaded everywhere.
        QCOMPARE(gPrinterSettings.이름[0], u"카운터"_s);
        QCOMPARE(gPrinterSettings.포트[2], 20);
        QCOMPARE(gPrinterSettings.통신속도[0], 19200);
        QCOMPARE(gPrinterSettings.통신속도[2], 115200);
        QCOMPARE(gPrinterSettings.주문서_출력수, 2);
        QCOMPARE(gPrinterSettings.주문서_꼬리말, u"감사합니다\r\n또 오세요"_s);
        QCOMPARE(gPrinterSettings.선택된테이블, u"-[창가]--[10]-"_s);
        QVERIFY(IsTableSelected(gPrinterSettings.선택된테이블, u"10"_s));
        QVERIFY(!IsTableSelected(gPrinterSettings.선택된테이블, u"2"_s));

        // Saving what was loaded changes nothing.
        QTest::mouseClick(child<QPushButton>(*w, u"CMD0"_s), Qt::LeftButton);
        QCOMPARE(test::hex(test::readBytes(cfgPath())), test::hex(expected));
    }

    void loadThenSave_data()
    {
        QTest::addColumn<Keys>("stored");
        QTest::addColumn<QString>("control"); // object name
        QTest::addColumn<QString>("shown");
        QTest::addColumn<Keys>("saved");
        QTest::newRow("port above the list") << Keys{{u"이름0"_s, u"A"_s},
                                                     {u"포트0"_s, u"25"_s},
                                                     {u"통신속도0"_s, u"2"_s},
                                                     {u"이름1"_s, u"B"_s}}
                                             << u"프린터_포트0"_s << u"없음"_s
                                             << Keys{{u"포트0"_s, u"0"_s},
                                                     {u"이름0"_s, u"A"_s},
                                                     {u"통신속도0"_s, u"2"_s},
                                                     {u"이름1"_s, u"B"_s}};
        QTest::newRow("unknown speed position") << Keys{{u"통신속도1"_s, u"7"_s}} << u"프린터_통신속도1"_s
                                                << u"9600"_s << Keys{{u"통신속도1"_s, u"0"_s}};
        QTest::newRow("copies out of range") << Keys{{u"주문서_출력수"_s, u"4"_s}} << u"주문서_출력수"_s
                                             << u"1장"_s << Keys{{u"주문서_출력수"_s, u"1"_s}};
        QTest::newRow("copies 3") << Keys{{u"주문서_출력수"_s, u"3"_s}} << u"주문서_출력수"_s << u"3장"_s
                                  << Keys{{u"주문서_출력수"_s, u"3"_s}};
        QTest::newRow("footer of two lines")
            << Keys{{u"주문서_꼬리말"_s, u"!@#$%첫 줄!CrLf!둘째 줄"_s}} << u"주문서_꼬리말"_s
            << u"첫 줄\n둘째 줄"_s << Keys{{u"주문서_꼬리말"_s, u"!@#$%첫 줄!CrLf!둘째 줄"_s}};
        QTest::newRow("footer written by hand")
            << Keys{{u"주문서_꼬리말"_s, u"손으로!CrLf!쓴 것"_s}} << u"주문서_꼬리말"_s << u"손으로\n쓴 것"_s
            << Keys{{u"주문서_꼬리말"_s, u"!@#$%손으로!CrLf!쓴 것"_s}};
        QTest::newRow("empty footer") << Keys{{u"주문서_꼬리말"_s, u"!@#$%"_s}} << u"주문서_꼬리말"_s
                                      << QString() << Keys{{u"주문서_꼬리말"_s, u"!@#$%"_s}};
        QTest::newRow("size code out of range")
            << Keys{{u"주문서_꼬리말_글자크기"_s, u"3"_s}, {u"주문서_주문번호_글자크기"_s, u"2"_s}}
            << u"주문서_꼬리말_글자크기0"_s << u"checked"_s
            << Keys{{u"주문서_꼬리말_글자크기"_s, u"0"_s}, {u"주문서_주문번호_글자크기"_s, u"2"_s}};
        QTest::newRow("flags") << Keys{{u"주문서_중간커팅금지"_s, u"True"_s},
                                       {u"주문서_낱장출력"_s, u"False"_s}}
                               << u"주문서_중간커팅금지"_s << u"checked"_s
                               << Keys{{u"주문서_중간커팅금지"_s, u"True"_s},
                                       {u"주문서_낱장출력"_s, u"False"_s},
                                       {u"주문서_메뉴가격표시"_s, u"False"_s}};
    }
    void loadThenSave()
    {
        QFETCH(Keys, stored);
        QFETCH(QString, control);
        QFETCH(QString, shown);
        QFETCH(Keys, saved);
        startSimulator(u"1층/1"_s);
        storeSettings(stored);
        auto w = open();
        if (auto *combo = w->findChild<QComboBox *>(control))
            QCOMPARE(combo->currentText(), shown);
        else if (auto *box = w->findChild<QPlainTextEdit *>(control))
            QCOMPARE(box->toPlainText(), shown);
        else
            QVERIFY(child<QAbstractButton>(*w, control)->isChecked());
        w->CMD_Click(0);
        QCOMPARE(m_env->dialogs().texts(), QStringList{u"설정이 저장되었습니다."_s});
        for (const auto &[key, value] : saved)
            QCOMPARE(storedValue(cfgPath(), key), value);
    }

    void failedSaveLeavesTheFileAsItWas()
    {
        startSimulator(u"1층/1"_s);
        storeSettings({{u"이름0"_s, u"옛 이름"_s}, {u"포트0"_s, u"1"_s}});
        auto w = open();
        const QByteArray before = test::readBytes(cfgPath());
        child<QLineEdit>(*w, u"프린터_이름0"_s)->setText(u"새 이름"_s);
        child<QPlainTextEdit>(*w, u"주문서_꼬리말"_s)->setPlainText(QString(500, u'가'));
        for (int button : {0, 1}) {
            m_env->dialogs().clear();
            {
                const FileSizeLimit limit(before.size() + 10);
                w->CMD_Click(button);
            }
            QCOMPARE(m_env->dialogs().texts(), QStringList{u"설정 저장에 실패했습니다!"_s});
            QCOMPARE(m_env->dialogs().shown().first().icon, platform::DialogIcon::Error);
            QCOMPARE(test::readBytes(cfgPath()), before);
            QCOMPARE(gPrinterSettings.이름[0], u"옛 이름"_s); // nothing reloaded
        }
        QVERIFY(!QFile::exists(m_env->filePath(u"260501_PRN.log"_s))); // and no test ticket
    }

    void testPrintReachesEveryConfiguredPrinter()
    {
        if (!test::PtyPair::socatAvailable())
            QSKIP("socat is not installed; the serial printer tests need it");
        test::PtyPair counter;
        test::PtyPair kitchen;
        QVERIFY2(counter.isValid() && kitchen.isValid(), qPrintable(counter.error() + kitchen.error()));
        QVERIFY(test::writeBytes(
            m_env->filePath(u"Deploy.ini"_s),
            (u"[Ports]\nCOM3="_s + counter.printerPath() + u"\nCOM5="_s + kitchen.printerPath() + u"\n"_s)
                .toUtf8()));
        startSimulator(u"1층/1"_s);
        storeSettings({{u"이름0"_s, u"없는포트"_s},
                       {u"포트0"_s, u"0"_s},
                       {u"이름1"_s, u"카운터"_s},
                       {u"포트1"_s, u"3"_s},
                       {u"통신속도1"_s, u"1"_s},
                       {u"이름2"_s, u"주방"_s},
                       {u"포트2"_s, u"5"_s}});
        auto w = open();
        QTest::mouseClick(child<QPushButton>(*w, u"CMD1"_s), Qt::LeftButton);
        QVERIFY(m_env->dialogs().texts().isEmpty());

        const QByteArray first = codec::toCp949(TestTicket(u"카운터"_s));
        const QByteArray second = codec::toCp949(TestTicket(u"주방"_s));
        QCOMPARE(test::hex(counter.read(first.size())), test::hex(first));
        QCOMPARE(test::hex(kitchen.read(second.size())), test::hex(second));
        QCOMPARE(counter.readUntilQuiet(200), QByteArray());
        QCOMPARE(kitchen.readUntilQuiet(200), QByteArray());
        QVERIFY(first.startsWith("\x1b\x40[" + codec::toCp949(u"카운터"_s) + "] \x1b\x21"));

        // The print log holds the two tickets in slot order, and nothing of the slot without a port.
        const QByteArray printLog = test::readBytes(m_env->filePath(u"260501_PRN.log"_s));
        const QByteArray line = " " + QByteArray(40, '=') + "\r\n";
        QCOMPARE(printLog, "[260501-100000.000]" + codec::toCp949(u"카운터"_s) + line + first + "\r\n" +
                               "[260501-100000.000]" + codec::toCp949(u"주방"_s) + line + second + "\r\n");
    }

    // A test slip a printer does not take shows its fault and is never kept: it is no
    // request, and the health line's printer state and count stay as the tickets left them.
    void failedTestPrintIsNeverKept()
    {
        if (!test::PtyPair::socatAvailable())
            QSKIP("socat is not installed; the serial printer tests need it");
        test::PtyPair hall;
        QVERIFY2(hall.isValid(), qPrintable(hall.error()));
        QVERIFY(test::writeBytes(m_env->filePath(u"Deploy.ini"_s),
                                 (u"[Ports]\nCOM1="_s + m_env->filePath(u"no-printer"_s) + u"\nCOM3="_s +
                                  hall.printerPath() + u"\n"_s)
                                     .toUtf8()));
        unprintedTickets().load(m_env->filePath(u"unprinted.json"_s), m_env->clock().now());
        startSimulator(u"1층/1"_s);
        storeSettings(
            {{u"이름0"_s, u"바"_s}, {u"포트0"_s, u"1"_s}, {u"이름1"_s, u"홀"_s}, {u"포트1"_s, u"3"_s}});
        auto w = open();
        w->CMD_Click(1);
        QCOMPARE(m_env->dialogs().texts(), QStringList{u"바(COM1) 포트 번호가 잘못되었습니다!"_s});
        const QByteArray slip = codec::toCp949(TestTicket(u"홀"_s));
        QCOMPARE(test::hex(hall.read(slip.size())), test::hex(slip));
        QCOMPARE(unprintedTickets().count(), 0);
        QVERIFY(!QFile::exists(m_env->filePath(u"unprinted.json"_s)));
        QVERIFY(!lastTicketDelivered(u"바"_s).has_value());
        QVERIFY(!lastTicketDelivered(u"홀"_s).has_value());
        // Nothing comes out later either.
        QCOMPARE(retryUnprintedTickets(), 0);
        QCOMPARE(hall.readUntilQuiet(300), QByteArray());
    }

    void closingWaitsForTheRunningAction()
    {
        QVERIFY(test::writeBytes(m_env->filePath(u"Deploy.ini"_s),
                                 (u"[Ports]\nCOM1="_s + m_env->filePath(u"gone"_s) + u"\n"_s).toUtf8()));
        startSimulator(u"1층/1"_s);
        storeSettings({{u"이름0"_s, u"빠진프린터"_s}, {u"포트0"_s, u"1"_s}});
        auto w = open();
        QSignalSpy closed(w.get(), &PrinterSettingsWindow::closed);
        bool visibleAfterClick = false;
        // A click on 닫기 during the test print's wait is refused.
        QTimer::singleShot(300, w.get(), [&] {
            QTest::mouseClick(child<QLabel>(*w, u"lblTerminate"_s), Qt::LeftButton);
            visibleAfterClick = w->isVisible();
        });
        // The device of COM1 is missing; the test print still waits its 1.5 s after that slot.
        w->CMD_Click(1);
        QCOMPARE(m_env->dialogs().texts(), QStringList{u"빠진프린터(COM1) 포트 번호가 잘못되었습니다!"_s});
        QVERIFY(visibleAfterClick);
        QCOMPARE(closed.count(), 0);
        QTest::mouseClick(child<QLabel>(*w, u"lblTerminate"_s), Qt::LeftButton);
        QVERIFY(!w->isVisible());
        QCOMPARE(closed.count(), 1);
    }

    void footerRewrap_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("trigger"); // size | button | leave
        QTest::addColumn<QString>("wrapped");
        QTest::addColumn<QString>("indicator");
        const QString fifty = QString(50, u'a');
        QTest::newRow("empty first line and 50 columns")
            << u"\n"_s + fifty << 0 << u"button"_s << QString(42, u'a') + u"\n"_s + QString(8, u'a')
            << u"42/42\n8/42"_s;
        QTest::newRow("double size wraps at 21")
            << QString(30, u'b') << 2 << u"size"_s << QString(21, u'b') + u"\n"_s + QString(9, u'b')
            << u"21/42\n9/42"_s;
        QTest::newRow("hangul never split")
            << QString(25, u'가') << 1 << u"leave"_s << QString(21, u'가') + u"\n"_s + QString(4, u'가')
            << u"42/42\n8/42"_s;
        QTest::newRow("later empty lines stay")
            << u"a\n\nb"_s << 0 << u"button"_s << u"a\n\nb"_s << u"1/42\n0/42\n1/42"_s;
        QTest::newRow("43 columns with a wide last character")
            << QString(41, u'x') + u"가"_s << 0 << u"button"_s << QString(41, u'x') + u"\n가"_s
            << u"41/42\n2/42"_s;
    }
    void footerRewrap()
    {
        QFETCH(QString, typed);
        QFETCH(int, size);
        QFETCH(QString, trigger);
        QFETCH(QString, wrapped);
        QFETCH(QString, indicator);
        startSimulator(u"1층/1"_s);
        storeSettings({});
        auto w = open();
        auto *box = child<QPlainTextEdit>(*w, u"주문서_꼬리말"_s);
        auto *widths = child<QLabel>(*w, u"주문서_꼬리말길이"_s);
        box->setFocus();
        QVERIFY(QTest::qWaitFor([&] { return box->hasFocus(); }));
        box->setPlainText(typed);
        // Typing only counts.
        QCOMPARE(box->toPlainText(), typed);
        QVERIFY(widths->text().endsWith(u"/42"_s));
        const QString optionName = u"주문서_꼬리말_글자크기"_s + QString::number(size);
        if (trigger == u"size"_s) {
            QTest::mouseClick(child<QRadioButton>(*w, optionName), Qt::LeftButton);
        } else {
            child<QRadioButton>(*w, optionName)->setChecked(true);
            if (trigger == u"button"_s)
                QTest::mouseClick(child<QPushButton>(*w, u"CMD2"_s), Qt::LeftButton);
            else
                child<QLineEdit>(*w, u"프린터_이름0"_s)->setFocus();
        }
        QVERIFY(QTest::qWaitFor([&] { return box->toPlainText() == wrapped; }, 2000));
        QCOMPARE(box->toPlainText(), wrapped);
        QCOMPARE(widths->text(), indicator);
    }

    void deviceLineBesideEachPort()
    {
        if (!test::PtyPair::socatAvailable())
            QSKIP("socat is not installed");
        test::PtyPair pty;
        QVERIFY2(pty.isValid(), qPrintable(pty.error()));
        const QString missing = m_env->filePath(u"no-such-device"_s);
        QVERIFY(test::writeBytes(
            m_env->filePath(u"Deploy.ini"_s),
            (u"[Ports]\nCOM2="_s + pty.printerPath() + u"\nCOM4="_s + missing + u"\n"_s).toUtf8()));
        startSimulator(u"1층/1"_s);
        storeSettings({{u"포트0"_s, u"2"_s}, {u"포트1"_s, u"4"_s}});
        auto w = open();
        QCOMPARE(child<QLabel>(*w, u"포트장치0"_s)->text(), pty.printerPath() + u" - 사용할 수 있습니다"_s);
        QCOMPARE(child<QLabel>(*w, u"포트장치1"_s)->text(),
                 missing + u" - 장치가 없습니다 (연결과 Deploy.ini [Ports] 확인)"_s);
        QCOMPARE(child<QLabel>(*w, u"포트장치2"_s)->text(), QString());
        child<QComboBox>(*w, u"프린터_포트2"_s)->setCurrentIndex(9);
        QVERIFY(child<QLabel>(*w, u"포트장치2"_s)->text().startsWith(u"/dev/ttyS8 - "_s));
        // The lists keep the names the shop knows.
        QCOMPARE(child<QComboBox>(*w, u"프린터_포트0"_s)->currentText(), u"COM2"_s);
        QCOMPARE(child<QComboBox>(*w, u"프린터_포트0"_s)->count(), 21);
    }

    // Two slots on one COM number share its one device: an edit in either shows in both, and
    // 저장 writes it into Deploy.ini, every other byte as it was, where the next ticket reads it.
    void deviceControlAssignsThePort()
    {
        const QByteArray before("; 설치: 카페 A\n[Service]\nPlainFallback=0\n\n[Ports]\nCOM3=/dev/ttyUSB9\n");
        QVERIFY(test::writeBytes(m_env->filePath(u"Deploy.ini"_s), before));
        startSimulator(u"1층/1"_s);
        storeSettings(
            {{u"이름0"_s, u"카운터"_s}, {u"포트0"_s, u"3"_s}, {u"이름1"_s, u"주방"_s}, {u"포트1"_s, u"3"_s}});
        auto w = open();
        QCOMPARE(child<DeviceChoice>(*w, u"프린터_장치0"_s)->line(), u"/dev/ttyUSB9"_s);
        QCOMPARE(child<DeviceChoice>(*w, u"프린터_장치1"_s)->line(), u"/dev/ttyUSB9"_s);
        QVERIFY(!child<DeviceChoice>(*w, u"프린터_장치2"_s)->isEnabled());      // 없음
        QVERIFY(!child<QPushButton>(*w, u"연결확인0"_s)->isVisibleTo(w.get())); // no check given

        typeDevice(*w, 0, u"tcp://192.168.0.50:9100"_s);
        QCOMPARE(child<DeviceChoice>(*w, u"프린터_장치1"_s)->line(), u"tcp://192.168.0.50:9100"_s);
        for (int slot : {0, 1}) {
            QCOMPARE(deviceLine(*w, slot),
                     u"192.168.0.50:9100 - 네트워크 프린터: 통신속도는 쓰이지 않습니다"_s);
            QVERIFY(!child<QComboBox>(*w, u"프린터_통신속도"_s + QString::number(slot))->isEnabled());
        }
        QVERIFY(child<QComboBox>(*w, u"프린터_통신속도2"_s)->isEnabled());

        w->CMD_Click(0);
        QCOMPARE(m_env->dialogs().texts(), QStringList{u"설정이 저장되었습니다."_s});
        QCOMPARE(test::readBytes(m_env->filePath(u"Deploy.ini"_s)),
                 QByteArray(before).replace("COM3=/dev/ttyUSB9", "COM3=tcp://192.168.0.50"));
        QCOMPARE(loadDeployment().target(3), portTarget(u"tcp://192.168.0.50"_s));
        QCOMPARE(storedValue(cfgPath(), u"포트1"_s), u"3"_s);
        // The window now shows what was stored.
        QCOMPARE(child<DeviceChoice>(*w, u"프린터_장치0"_s)->line(), u"tcp://192.168.0.50"_s);

        // Back to a device: the speed counts again.
        typeDevice(*w, 1, u"/dev/ttyUSB9"_s);
        QVERIFY(child<QComboBox>(*w, u"프린터_통신속도0"_s)->isEnabled());
    }

    // Without Deploy.ini a save that changes no device leaves it missing; one that does creates it.
    void missingDeployIniIsCreatedWithPortsOnly()
    {
        const QString deploy = m_env->filePath(u"Deploy.ini"_s);
        startSimulator(u"1층/1"_s);
        storeSettings({{u"이름0"_s, u"카운터"_s}, {u"포트0"_s, u"2"_s}});
        auto w = open();
        QCOMPARE(child<DeviceChoice>(*w, u"프린터_장치0"_s)->line(), u"/dev/ttyS1"_s);
        w->CMD_Click(0);
        QVERIFY(!QFile::exists(deploy));
        typeDevice(*w, 0, u"  /dev/usb/lp0 "_s);
        w->CMD_Click(0);
        QCOMPARE(m_env->dialogs().texts(),
                 (QStringList{u"설정이 저장되었습니다."_s, u"설정이 저장되었습니다."_s}));
        QCOMPARE(test::readBytes(deploy), QByteArray("[Ports]\nCOM2=/dev/usb/lp0\n"));
    }

    // A device that cannot be stored stops the whole save, says why, and writes neither file.
    void refusedDeviceSavesNothing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("deployIni"); // file | link | folder
        QTest::addColumn<QString>("reason");
        QTest::newRow("port out of range")
            << u"tcp://printer:70000"_s << u"file"_s
            << u"COM1의 장치를 저장할 수 없습니다: 포트 번호는 1에서 65535 사이여야 합니다"_s;
        QTest::newRow("not a path")
            << u"COM1"_s << u"file"_s
            << u"COM1의 장치를 저장할 수 없습니다: 장치는 /dev/… 경로나 tcp://주소[:포트]로 적어 주세요"_s;
        QTest::newRow("Deploy.ini is a link")
            << u"/dev/ttyUSB1"_s << u"link"_s
            << u"Deploy.ini가 다른 파일을 가리키는 링크여서 쓰지 않았습니다: "_s;
        QTest::newRow("Deploy.ini is a folder")
            << u"/dev/ttyUSB1"_s << u"folder"_s << u"Deploy.ini가 일반 파일이 아니어서 쓰지 않았습니다: "_s;
    }
    void refusedDeviceSavesNothing()
    {
        QFETCH(QString, typed);
        QFETCH(QString, deployIni);
        QFETCH(QString, reason);
        const QString deploy = m_env->filePath(u"Deploy.ini"_s);
        const QString real = m_env->filePath(u"vendor.ini"_s);
        const QByteArray ports("[Ports]\nCOM1=/dev/ttyUSB0\n");
        if (deployIni == u"link"_s) {
            QVERIFY(test::writeBytes(real, ports));
            QVERIFY(QFile::link(real, deploy));
        } else if (deployIni == u"folder"_s) {
            QVERIFY(QDir().mkdir(deploy));
        } else {
            QVERIFY(test::writeBytes(deploy, ports));
        }
        startSimulator(u"1층/1"_s);
        storeSettings({{u"이름0"_s, u"카운터"_s}, {u"포트0"_s, u"1"_s}});
        auto w = open();
        const QByteArray cfg = test::readBytes(cfgPath());
        child<QLineEdit>(*w, u"프린터_이름0"_s)->setText(u"새 이름"_s);
        typeDevice(*w, 0, typed);
        for (int button : {0, 1}) {
            m_env->dialogs().clear();
            w->CMD_Click(button);
            const QString expected = u"설정 저장에 실패했습니다!\n"_s + reason;
            QCOMPARE(m_env->dialogs().texts().size(), 1);
            QVERIFY2(m_env->dialogs().texts().first().startsWith(expected),
                     qPrintable(m_env->dialogs().texts().first()));
            QCOMPARE(m_env->dialogs().shown().first().icon, platform::DialogIcon::Error);
            QCOMPARE(test::readBytes(cfgPath()), cfg);
            QCOMPARE(gPrinterSettings.이름[0], u"카운터"_s); // nothing reloaded
        }
        if (deployIni == u"file"_s)
            QCOMPARE(test::readBytes(deploy), ports);
        if (deployIni == u"link"_s) {
            QVERIFY(QFileInfo(deploy).isSymLink());
            QCOMPARE(test::readBytes(real), ports);
        }
        QVERIFY(!QFile::exists(m_env->filePath(u"260501_PRN.log"_s))); // and no test ticket
    }

    // [Ports] Locked=1: the deployment's devices show, cannot be changed here, and are never written.
    void lockedPortsAreReadOnly()
    {
        const QByteArray before("[Ports]\nLocked=1\nCOM1=/dev/ttyUSB0\n");
        QVERIFY(test::writeBytes(m_env->filePath(u"Deploy.ini"_s), before));
        startSimulator(u"1층/1"_s);
        storeSettings({{u"이름0"_s, u"카운터"_s}, {u"포트0"_s, u"1"_s}});
        auto w = open();
        auto *choice = child<DeviceChoice>(*w, u"프린터_장치0"_s);
        QCOMPARE(choice->line(), u"/dev/ttyUSB0"_s);
        QVERIFY(!choice->isEnabled());
        QVERIFY(deviceLine(*w, 0).endsWith(
            u" · Deploy.ini [Ports] Locked=1: 설치 때 정한 장치라 여기서 바꿀 수 없습니다"_s));
        // Another port shows its device, locked as well.
        child<QComboBox>(*w, u"프린터_포트0"_s)->setCurrentIndex(4);
        QCOMPARE(choice->line(), u"/dev/ttyS3"_s);
        QVERIFY(!choice->isEnabled());
        w->CMD_Click(0);
        QCOMPARE(m_env->dialogs().texts(), QStringList{u"설정이 저장되었습니다."_s});
        QCOMPARE(test::readBytes(m_env->filePath(u"Deploy.ini"_s)), before);
        QCOMPARE(storedValue(cfgPath(), u"포트0"_s), u"4"_s);
    }

    // 연결 확인 hands the check the control's line and the slot's speed; a line that
    // cannot be read is refused before anything is opened.
    void connectionCheckOpensTheDevice()
    {
        if (!test::PtyPair::socatAvailable())
            QSKIP("socat is not installed");
        test::PtyPair pty;
        QVERIFY2(pty.isValid(), qPrintable(pty.error()));
        const QString missing = m_env->filePath(u"unplugged"_s);
        QVERIFY(test::writeBytes(
            m_env->filePath(u"Deploy.ini"_s),
            (u"[Ports]\nCOM2="_s + pty.printerPath() + u"\nCOM3="_s + missing + u"\n"_s).toUtf8()));
        startSimulator(u"1층/1"_s);
        storeSettings({{u"포트0"_s, u"2"_s}, {u"통신속도0"_s, u"1"_s}, {u"포트1"_s, u"3"_s}});
        auto w = open();
        int asked = 0;
        QStringList whileAsked;
        w->setConnectionCheck([&](const PortTarget &target, qint32 speed) {
            ++asked;
            // While the check runs, its button takes no second click and the line says it is checking.
            whileAsked << deviceLine(*w, 0) + u'/' +
                              QString::number(child<QPushButton>(*w, u"연결확인0"_s)->isEnabled());
            return openingCheck(target, speed);
        });
        auto *check0 = child<QPushButton>(*w, u"연결확인0"_s);
        QVERIFY(check0->isVisibleTo(w.get()));
        QVERIFY(!child<QPushButton>(*w, u"연결확인2"_s)->isEnabled()); // 없음

        QTest::mouseClick(check0, Qt::LeftButton);
        QCOMPARE(deviceLine(*w, 0), u"연결 확인: 열림 "_s + pty.printerPath() + u" 19200"_s);
        QCOMPARE(whileAsked, QStringList{u"연결 확인 중…/0"_s});
        QVERIFY(check0->isEnabled());
        QTest::mouseClick(child<QPushButton>(*w, u"연결확인1"_s), Qt::LeftButton);
        QVERIFY2(deviceLine(*w, 1).startsWith(u"연결 확인: 열 수 없음: "_s), qPrintable(deviceLine(*w, 1)));
        QCOMPARE(asked, 2);

        typeDevice(*w, 0, u"tcp://"_s);
        QTest::mouseClick(check0, Qt::LeftButton);
        QCOMPARE(deviceLine(*w, 0), u"연결 확인: 프린터 주소가 없습니다"_s);
        QCOMPARE(asked, 2);
        // Nothing reached the printer: a check is no ticket.
        QCOMPARE(pty.readUntilQuiet(200), QByteArray());
    }

    // A device picked from the list becomes the line itself, without the state shown beside it.
    void pickingAFoundDevice()
    {
        startSimulator(u"1층/1"_s);
        storeSettings(
            {{u"이름0"_s, u"카운터"_s}, {u"포트0"_s, u"1"_s}, {u"이름1"_s, u"주방"_s}, {u"포트1"_s, u"1"_s}});
        auto w = open();
        auto *choice = child<DeviceChoice>(*w, u"프린터_장치0"_s);
        typeDevice(*w, 0, u"tcp://10.0.0.7"_s);
        choice->refreshDevices();
        QCOMPARE(choice->line(), u"tcp://10.0.0.7"_s); // the list's refresh keeps the text
        if (choice->count() == 0)
            QSKIP("no serial or USB printer device on this machine");
        const QString path = choice->itemData(0).toString();
        QVERIFY(choice->itemText(0).startsWith(path + u' '));
        QVERIFY(choice->itemText(0).endsWith(u')'));
        choice->setCurrentIndex(0);
        emit choice->activated(0);
        QCOMPARE(choice->line(), path);
        QCOMPARE(child<DeviceChoice>(*w, u"프린터_장치1"_s)->line(), path);
        QVERIFY(deviceLine(*w, 0).startsWith(path + u" - "_s));
    }

    /// Draws the window as a shop would see it; with KAVRI_GRAB_DIR set the picture is kept there.
    void picture()
    {
        startSimulator(u"1층/1,1층/2,1층/3,1층/4,1층/5,1층/6,1층/7,1층/8,1층/9,1층/10,1층/11,2층/12,2층/13,"
                       "2층/14,2층/15,2층/16,창가/창가1,창가/창가2,테라스/야외 긴 테이블 이름"_s);
        storeSettings({{u"이름0"_s, u"카운터"_s},
                       {u"포트0"_s, u"1"_s},
                       {u"통신속도0"_s, u"1"_s},
                       {u"주문서_꼬리말_출력"_s, u"True"_s},
                       {u"주문서_꼬리말"_s, u"!@#$%감사합니다!CrLf!Kavri 카페 02-123-4567"_s},
                       {u"선택된테이블"_s, u"-[1]--[3]--[창가1]--[없는 테이블]-"_s}});
        auto w = open();
        w->setConnectionCheck(openingCheck);
        // 19 rows: one page shows, the scroll bar offers the rest.
        auto *bar = child<QTableView>(*w, u"SPR0"_s)->verticalScrollBar();
        QVERIFY(QTest::qWaitFor([&] { return bar->isVisible(); }));
        QCOMPARE(bar->maximum(), 4);
        const QImage image = w->grab().toImage();
        QCOMPARE(image.size(), QSize(1024, 768));
        const QByteArray folder = qgetenv("KAVRI_GRAB_DIR");
        if (!folder.isEmpty())
            QVERIFY(image.save(QString::fromLocal8Bit(folder) + u"/printer-settings.png"_s));
    }
};

QTEST_MAIN(TstPrinterSettingsWindow)
#include "tst_printersettingswindow.moc"
