#pragma once

#include <QString>

namespace kavri::sim {

/// The page a customer's phone shows after scanning a table's QR code: a text box and a send button.
/// `notice` is shown above the form (empty: none).
QString customerFormPage(const QString &shopName, const QString &table, const QString &notice);
/// The page after a request was sent.
QString customerSentPage(const QString &shopName, const QString &table, qint64 number);
/// The page for a QR address that names no known shop or table.
QString customerUnknownPage();

/// Longest request text a customer can send.
constexpr qsizetype maxCustomerTextLength = 500;

} // namespace kavri::sim
