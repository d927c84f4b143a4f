#include "platform/Dialogs.h"
#include "platform/gui/QtDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace kavri;

namespace {

/// What a real box showed, read while it was open, and the button pressed to close it.
struct SeenBox
{
    QString title;
    QString text;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool seen = false;
};

/// Waits for the next message box, reads it and presses the button whose text is `press`.
void answerNextBox(SeenBox *seen, const QString &press)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, seen, press] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        seen->seen = true;
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->icon = box->icon();
        QAbstractButton *toPress = nullptr;
        for (QAbstractButton *b : box->buttons()) {
            seen->buttons.append(b->text());
            if (b->text() == press)
                toPress = b;
        }
        if (toPress)
            toPress->click();
        else
            box->reject();
    });
    timer->start();
}

} // namespace

// The real message boxes, offscreen: the title exactly as given and Korean buttons.
class TstDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        platform::nameApplication();
        platform::setDialogs(&m_boxes); // as the program's start-up does
    }
    void cleanupTestCase() { platform::setDialogs(nullptr); }

    // Nothing installed (a test or tool without the program's start-up): no
    // window opens, a question is answered No and a notice OK.
    void withoutRealBoxesNothingIsShownAndNoIsTheAnswer()
    {
        platform::setDialogs(nullptr);
        // A box that opens anyway is closed, so the test fails instead of hanging.
        bool seen = false;
        QTimer watcher;
        watcher.setInterval(10);
        QObject::connect(&watcher, &QTimer::timeout, &watcher, [&seen] {
            if (QWidget *box = QApplication::activeModalWidget()) {
                seen = true;
                box->close();
            }
        });
        watcher.start();
        const bool yes = platform::askYesNo(u"지울까요?"_s);
        const bool titledYes = platform::askYesNoTitled(u"종료할까요?"_s, u"종료"_s);
        platform::showError(u"오류"_s);
        platform::showNotice(u"알림"_s);
        watcher.stop();
        platform::setDialogs(&m_boxes);
        QVERIFY(!yes);
        QVERIFY(!titledYes);
        QVERIFY(!seen);
    }

    // Nothing is appended to a window title: the window system adds the display
    // name to every title when one is set.
    void noDisplayNameIsSet()
    {
        QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
        QCOMPARE(QCoreApplication::applicationName(), u"kavri-display"_s);
    }

    void eachKindOfBox_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("press");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<bool>("yes");
        const QStringList ok{u"확인"_s};
        const QStringList yesNo{u"예"_s, u"아니요"_s};
        QTest::newRow("error") << 0 << u"확인"_s << u"Kavri 디스플레이"_s << int(QMessageBox::Critical) << ok
                               << false;
        QTest::newRow("notice") << 1 << u"확인"_s << u"Kavri 디스플레이"_s << int(QMessageBox::NoIcon) << ok
                                << false;
        QTest::newRow("question, yes")
            << 2 << u"예"_s << u"Kavri 디스플레이"_s << int(QMessageBox::Question) << yesNo << true;
        QTest::newRow("question, no")
            << 2 << u"아니요"_s << u"Kavri 디스플레이"_s << int(QMessageBox::Question) << yesNo << false;
        QTest::newRow("titled error")
            << 3 << u"확인"_s << u"패치 확인"_s << int(QMessageBox::Critical) << ok << false;
        QTest::newRow("titled question, yes")
            << 4 << u"예"_s << u"종료"_s << int(QMessageBox::Question) << yesNo << true;
        QTest::newRow("titled question, no")
            << 4 << u"아니요"_s << u"종료"_s << int(QMessageBox::Question) << yesNo << false;
    }
    void eachKindOfBox()
    {
        QFETCH(int, kind);
        QFETCH(QString, press);
        QFETCH(QString, title);
        QFETCH(int, icon);
        QFETCH(QStringList, buttons);
        QFETCH(bool, yes);
        const QString text = u"상자 "_s + QString::number(kind);
        SeenBox seen;
        answerNextBox(&seen, press);
        bool answer = false;
        switch (kind) {
        case 0:
            platform::showError(text);
            break;
        case 1:
            platform::showNotice(text);
            break;
        case 2:
            answer = platform::askYesNo(text);
            break;
        case 3:
            platform::showErrorTitled(text, title);
            break;
        case 4:
            answer = platform::askYesNoTitled(text, title);
            break;
        }
        QVERIFY(seen.seen);
        QCOMPARE(seen.title, title);
        QCOMPARE(seen.text, text);
        QCOMPARE(int(seen.icon), icon);
        QStringList shown = seen.buttons;
        shown.sort();
        buttons.sort();
        QCOMPARE(shown, buttons);
        QCOMPARE(answer, yes);
    }

private:
    platform::QtDialogs m_boxes;
};

QTEST_MAIN(TstDialogs)
#include "tst_dialogs.moc"
