#pragma once

#include "ShopState.h"

#include <QString>

namespace kavri::sim {

/// Escapes customer text the way the service stores it: "+" as "ccdd!!", "%" as "ddee!!",
/// "&" as "!123!", '"' as "!특문3!", a line break (CR LF, LF or CR) as "!줄바꿈!".
/// "<" and ">" become their full-width forms so that typed text cannot close a record's tag.
QString escapeMemoText(const QString &text);

QString loginSuccessAnswer(const Shop &shop);
/// What every endpoint answers to an unknown ID or a wrong password.
QString credentialsRejectedAnswer();
/// The open requests, newest number first, as "<memochecks>" records.
QString requestListAnswer(const QList<CustomerRequest> &open);
QString confirmAnswer(ShopState::ConfirmResult result);
/// The tables as "nums[" records.
QString tableListAnswer(const Shop &shop);
/// The page a broken server script gives (status 500).
QString serverErrorPage();

} // namespace kavri::sim
