// Feeds the table list reader answers built from the service's grammar and
// then damaged: markers inserted, text cut out, odd characters, long runs.
// Fixed seed, so a failure repeats; the optional argument is the number of
// answers (default 100000, a few seconds). Checks what must hold for any
// answer: no crash, only tables in use listed, fields and counts bounded, and
// a selection of the listed names reads back as those names.
#include "FuzzHarness.h"
#include "printing/TableList.h"

#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <random>

using namespace Qt::StringLiterals;
using namespace kavri;
using namespace kavri::web;

namespace {

const QStringList kPieces{u"nums["_s,     u"]nums"_s,     u"tableYN["_s,    u"]tableYN"_s,
                          u"tableqr["_s,  u"]tableqr"_s,  u"tableqroup["_s, u"]tableqroup"_s,
                          u"tablenum["_s, u"]tablenum"_s, u"Y"_s,           u"N"_s,
                          u"1층"_s,       u"창가"_s,      u"10"_s,          u"<br>\n"_s,
                          u"-["_s,        u"]-"_s,        u"전체"_s,        QString(QChar(0xD800))};

QString validRecord(std::mt19937 &rng)
{
    const int n = int(rng() % 100);
    return u"nums["_s + QString::number(n) + u"]numstableYN["_s + (rng() % 4 ? u"Y"_s : u"N"_s) +
           u"]tableYNtableqr[q]tableqrtableqroup[홀]tableqrouptablenum[T"_s + QString::number(n) +
           u"]tablenum"_s;
}

QString mangled(std::mt19937 &rng)
{
    QString text;
    const int records = int(rng() % 8);
    for (int i = 0; i < records; ++i)
        text += validRecord(rng);
    const int edits = int(rng() % 12);
    for (int i = 0; i < edits; ++i) {
        const qsizetype at = text.isEmpty() ? 0 : qsizetype(rng() % (text.size() + 1));
        switch (rng() % 4) {
        case 0:
            text.insert(at, kPieces[rng() % kPieces.size()]);
            break;
        case 1:
            text.remove(at, qsizetype(rng() % 12));
            break;
        case 2:
            text.insert(at, QChar(char16_t(rng() % 0x10000)));
            break;
        default:
            text.insert(at, QString(qsizetype(rng() % 400), u'x'));
            break;
        }
    }
    return text;
}

bool check(const QString &input)
{
    const TableList list = parseTableList(input);
    if (list.tables.size() > kMaxTables || list.malformed < 0)
        return false;
    for (const TableListEntry &e : list.tables) {
        if (e.tableYN != u"Y"_s || e.nums.size() > kMaxTableFieldChars ||
            e.tablenum.size() > kMaxTableFieldChars || e.tableqroup.size() > kMaxTableFieldChars)
            return false;
        const QString key = TableSortKey(e.tablenum);
        if (!key.isEmpty() && !key.startsWith(u'A'))
            return false;
    }
    // A selection made of names reads back as those names.
    QStringList names;
    for (const TableListEntry &e : list.tables) {
        if (!e.tablenum.contains(u"]-"_s) && !e.tablenum.contains(u"-["_s) && !e.tablenum.endsWith(u']') &&
            !names.contains(e.tablenum))
            names.append(e.tablenum);
    }
    if (selectedTableNames(selectionText(false, names)) != names)
        return false;
    selectedTableNames(input);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    const long count = long(kavri::fuzz::inputCount(argc, argv, 100000));
    std::mt19937 rng(20260501);
    long done = 0;
    while (done < count) {
        const QString input = mangled(rng);
        if (!check(input)) {
            std::fprintf(stderr, "fuzz_tablelist: case %ld broke a rule:\n%s\n", done, qPrintable(input));
            return 1;
        }
        ++done;
    }
    std::printf("fuzz_tablelist: %ld cases\n", done);
    return 0;
}
