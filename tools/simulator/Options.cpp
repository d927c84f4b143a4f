#include "Options.h"

#include <QCommandLineParser>
#include <QDateTime>

using namespace Qt::StringLiterals;

namespace kavri::sim {
namespace {

bool readPort(const QString &text, int *port)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < 0 || n > 65535)
        return false;
    *port = n;
    return true;
}

} // namespace

bool parseShop(const QString &text, Shop *shop)
{
    const qsizetype first = text.indexOf(u':');
    const qsizetype second = first < 0 ? -1 : text.indexOf(u':', first + 1);
    if (first <= 0 || second < 0)
        return false;
    shop->id = text.left(first);
    shop->password = text.mid(first + 1, second - first - 1);
    shop->name = text.mid(second + 1);
    return true;
}

QList<Table> parseTables(const QString &list)
{
    QList<Table> tables;
    for (const QString &entry : list.split(u',', Qt::SkipEmptyParts)) {
        Table t;
        t.number = int(tables.size()) + 1;
        QStringList parts = entry.split(u'/');
        if (parts.size() >= 3 && (parts.last() == u"N"_s || parts.last() == u"Y"_s)) {
            t.active = parts.takeLast() == u"Y"_s;
        }
        if (parts.size() == 1) {
            t.name = parts.first();
        } else {
            t.group = parts.takeFirst();
            t.name = parts.join(u'/');
        }
        if (!t.name.isEmpty())
            tables.append(t);
    }
    return tables;
}

Shop demoShop()
{
    Shop s{u"demo"_s, u"1234"_s, u"카브리 데모점"_s, {}};
    s.tables = parseTables(
        u"홀/A1,홀/A2,홀/A3,홀/A4,홀/A5,홀/A6,테라스/B1,테라스/B2,테라스/B3,테라스/B4,테라스/B5"_s);
    return s;
}

QList<CustomerRequest> demoRequests()
{
    const QDateTime now = QDateTime::currentDateTime();
    auto at = [&](int minutesAgo) {
        return now.addSecs(-60 * minutesAgo).toString(QLatin1StringView(ShopState::regDateFormat));
    };
    QList<CustomerRequest> list;
    list.append({0, u"demo"_s, u"홀"_s, u"A3"_s, u"앞접시 2개 주세요"_s, u"card"_s, at(9), 1, false});
    list.append({0, u"demo"_s, u"테라스"_s, u"B2"_s, u"공기밥 추가+김치 조금 더\n빨리 부탁드려요"_s,
                 u"cash"_s, at(5), 2, false});
    list.append({0, u"demo"_s, u"홀"_s, u"A1"_s, u"물 좀 더 주세요!"_s, QString(), at(2), 1, false});
    return list;
}

bool parseOptions(const QStringList &arguments, Options *options, QString *error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Kavri 웹 서비스 시뮬레이터"_s);
    parser.addHelpOption();
    parser.addOptions({
        {u"http-port"_s, u"HTTP 포트 (0 = 빈 포트)"_s, u"N"_s, u"0"_s},
        {u"https-port"_s, u"HTTPS 포트 (0 = 빈 포트)"_s, u"N"_s, u"0"_s},
        {u"cert"_s, u"서버 인증서 (PEM)"_s, u"PEM"_s},
        {u"key"_s, u"서버 개인 키 (PEM)"_s, u"PEM"_s},
        {u"shop"_s, u"매장 ID:비밀번호:이름 (여러 번 가능)"_s, u"ID:PW:NAME"_s},
        {u"tables"_s, u"매장 테이블 ID:그룹/테이블,그룹/테이블,..."_s, u"ID:LIST"_s},
        {u"demo"_s, u"데모 매장 demo/1234"_s},
        {u"state"_s, u"요청을 보관할 파일"_s, u"FILE"_s},
        {u"patch-dir"_s, u"/cc/ 아래로 내려줄 패치 파일 폴더"_s, u"DIR"_s},
        {u"max-connections"_s, u"동시에 열 수 있는 연결 수"_s, u"N"_s, u"64"_s},
    });
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return false;
    }
    if (parser.isSet(u"help"_s)) {
        *error = parser.helpText();
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *error = u"알 수 없는 인자: "_s + parser.positionalArguments().join(u' ');
        return false;
    }
    if (!readPort(parser.value(u"http-port"_s), &options->httpPort) ||
        !readPort(parser.value(u"https-port"_s), &options->httpsPort)) {
        *error = u"포트는 0에서 65535 사이의 수여야 합니다."_s;
        return false;
    }
    bool ok = false;
    options->maxConnections = parser.value(u"max-connections"_s).toInt(&ok);
    if (!ok || options->maxConnections < 1 || options->maxConnections > 10000) {
        *error = u"--max-connections는 1에서 10000 사이여야 합니다."_s;
        return false;
    }
    options->certPath = parser.value(u"cert"_s);
    options->keyPath = parser.value(u"key"_s);
    if (options->certPath.isEmpty() != options->keyPath.isEmpty()) {
        *error = u"--cert와 --key는 함께 주어야 합니다."_s;
        return false;
    }
    options->demo = parser.isSet(u"demo"_s);
    if (options->demo)
        options->shops.append(demoShop());
    for (const QString &text : parser.values(u"shop"_s)) {
        Shop shop;
        if (!parseShop(text, &shop)) {
            *error = u"--shop은 ID:비밀번호:이름 형식이어야 합니다: "_s + text;
            return false;
        }
        options->shops.append(shop);
    }
    for (const QString &text : parser.values(u"tables"_s)) {
        const qsizetype colon = text.indexOf(u':');
        const QString id = colon < 0 ? QString() : text.left(colon);
        auto it = std::find_if(options->shops.begin(), options->shops.end(),
                               [&](const Shop &s) { return s.id == id; });
        if (it == options->shops.end()) {
            *error = u"--tables의 매장이 --shop에 없습니다: "_s + text;
            return false;
        }
        it->tables = parseTables(text.mid(colon + 1));
    }
    options->stateFile = parser.value(u"state"_s);
    options->patchFolder = parser.value(u"patch-dir"_s);
    return true;
}

} // namespace kavri::sim
