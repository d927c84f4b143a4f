#pragma once

#include "services/ServiceAnswers.h"

#include <QString>
#include <QStringList>

// Request list answers written by hand, in the service's grammar.
namespace kavri::test {

struct RecordFields
{
    QString num;
    QString table;
    QString regDate;
    QString text = QStringLiteral("물 주세요");
    QString count = QStringLiteral("1");
    QString payType;
    QString done = QStringLiteral("N");
    QStringList omit; ///< tags left out
};

inline RecordFields rec(const QString &num, const QString &table, const QString &regDate,
                        const QString &text = QStringLiteral("물 주세요"),
                        const QString &count = QStringLiteral("1"), const QString &payType = {},
                        const QString &done = QStringLiteral("N"))
{
    RecordFields f;
    f.num = num;
    f.table = table;
    f.regDate = regDate;
    f.text = text;
    f.count = count;
    f.payType = payType;
    f.done = done;
    return f;
}

inline QString recordText(const RecordFields &f)
{
    const QList<QPair<QString, QString>> tags{{QStringLiteral("memonum"), f.num},
                                              {QStringLiteral("memoqr"), QStringLiteral("shop1-") + f.table},
                                              {QStringLiteral("memotablegroupname"), {}},
                                              {QStringLiteral("memotablename"), f.table},
                                              {QStringLiteral("memoYN"), f.done},
                                              {QStringLiteral("memophonet"), {}},
                                              {QStringLiteral("regdatememo"), f.regDate},
                                              {QStringLiteral("memotext"), f.text},
                                              {QStringLiteral("ordercount"), f.count},
                                              {QStringLiteral("paytype1"), f.payType}};
    QString out = QStringLiteral("<memochecks>");
    for (const auto &[name, value] : tags) {
        if (f.omit.contains(name))
            continue;
        out += u'<' + name + u'>' + value + QStringLiteral("</") + name + u'>';
    }
    return out + QStringLiteral("</memochecks>\n");
}

inline QString answerText(const QList<RecordFields> &records)
{
    QString out = QStringLiteral("<memolist>\n");
    for (const RecordFields &r : records)
        out += recordText(r);
    return out + QStringLiteral("</memolist>\n");
}

/// One record of the table list answer, every field between its markers.
inline QString tableRecord(const QString &nums, const QString &yn, const QString &group, const QString &name)
{
    return QStringLiteral("nums[") + nums + QStringLiteral("]numstableYN[") + yn +
           QStringLiteral("]tableYNtableqr[q") + nums + QStringLiteral("]tableqrtableqroup[") + group +
           QStringLiteral("]tableqrouptablenum[") + name + QStringLiteral("]tablenum");
}

/// The tables a table list holds, each as "nums/group/name", in their order.
inline QStringList listedTables(const web::TableList &list)
{
    QStringList out;
    for (const web::TableListEntry &e : list.tables)
        out.append(e.nums + u'/' + e.tableqroup + u'/' + e.tablenum);
    return out;
}

} // namespace kavri::test
