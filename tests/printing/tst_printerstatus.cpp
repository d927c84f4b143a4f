#include "printing/PrinterStatus.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace kavri;

Q_DECLARE_METATYPE(kavri::PrinterCondition)

namespace {

// -1: no answer.
using Answers = std::array<int, 4>;

std::array<std::optional<quint8>, 4> answersOf(const Answers &raw)
{
    std::array<std::optional<quint8>, 4> out;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] >= 0)
            out[i] = quint8(raw[i]);
    }
    return out;
}

} // namespace

class TstPrinterStatus : public QObject
{
    Q_OBJECT

private slots:
    // The answers to DLE EOT 1, 2, 3, 4 as ESC/POS printers send them (0x12: fixed bits only).
    void condition_data()
    {
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<PrinterCondition>("condition");
        using C = PrinterCondition;
        QTest::newRow("all well") << Answers{0x12, 0x12, 0x12, 0x12} << C::Ready;
        QTest::newRow("only the first answered") << Answers{0x12, -1, -1, -1} << C::Ready;
        QTest::newRow("silent") << Answers{-1, -1, -1, -1} << C::Unknown;
        QTest::newRow("first silent, others answer") << Answers{-1, 0x12, 0x12, 0x72} << C::Unknown;
        QTest::newRow("first not a status byte") << Answers{0x00, 0x12, 0x12, 0x12} << C::Unknown;
        QTest::newRow("first with bit 7") << Answers{0x92, 0x12, 0x12, 0x12} << C::Unknown;
        QTest::newRow("offline") << Answers{0x1A, 0x12, 0x12, 0x12} << C::Offline;
        QTest::newRow("cover open") << Answers{0x1A, 0x16, 0x12, 0x12} << C::CoverOpen;
        QTest::newRow("paper end by the roll sensor") << Answers{0x1A, 0x32, 0x12, 0x72} << C::PaperEnd;
        QTest::newRow("paper end, one sensor bit") << Answers{0x12, 0x12, 0x12, 0x32} << C::PaperEnd;
        QTest::newRow("paper end by the offline cause") << Answers{0x1A, 0x32, 0x12, -1} << C::PaperEnd;
        QTest::newRow("paper end and cover open") << Answers{0x1A, 0x36, 0x12, 0x72} << C::PaperEnd;
        QTest::newRow("near end") << Answers{0x12, 0x12, 0x12, 0x1E} << C::PaperNearEnd;
        QTest::newRow("near end, one sensor bit") << Answers{0x12, 0x12, 0x12, 0x16} << C::PaperNearEnd;
        QTest::newRow("near end while offline") << Answers{0x1A, 0x12, 0x12, 0x1E} << C::Offline;
        QTest::newRow("autocutter error") << Answers{0x12, 0x12, 0x1A, 0x12} << C::Offline;
        QTest::newRow("unrecoverable error") << Answers{0x12, 0x12, 0x32, 0x12} << C::Offline;
        QTest::newRow("error flag of the offline cause") << Answers{0x1A, 0x52, 0x12, 0x12} << C::Offline;
        QTest::newRow("paper fed by the button: no fault") << Answers{0x12, 0x1A, 0x12, 0x12} << C::Ready;
        QTest::newRow("garbage in the roll answer ignored") << Answers{0x12, 0x12, 0x12, 0xFF} << C::Ready;
    }
    void condition()
    {
        QFETCH(Answers, answers);
        QFETCH(PrinterCondition, condition);
        QCOMPARE(conditionFromAnswers(answersOf(answers)), condition);
    }

    void textsAndWhatHoldsTickets_data()
    {
        QTest::addColumn<PrinterCondition>("condition");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("holds");
        using C = PrinterCondition;
        QTest::newRow("ready") << C::Ready << u"용지 정상"_s << false;
        QTest::newRow("near end") << C::PaperNearEnd << u"용지 부족"_s << false;
        QTest::newRow("paper end") << C::PaperEnd << u"용지 없음"_s << true;
        QTest::newRow("cover open") << C::CoverOpen << u"덮개 열림"_s << true;
        QTest::newRow("offline") << C::Offline << u"오프라인"_s << true;
        QTest::newRow("unknown") << C::Unknown << u"상태 응답 없음"_s << false;
    }
    void textsAndWhatHoldsTickets()
    {
        QFETCH(PrinterCondition, condition);
        QFETCH(QString, text);
        QFETCH(bool, holds);
        QCOMPARE(conditionText(condition), text);
        QCOMPARE(holdsTickets(condition), holds);
    }
};

QTEST_GUILESS_MAIN(TstPrinterStatus)
#include "tst_printerstatus.moc"
