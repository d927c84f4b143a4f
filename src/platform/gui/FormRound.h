#pragma once

#include <QString>

class QWidget;

namespace kavri::platform {

/// Cuts the window's outline to a rounded rectangle from its top left corner,
/// (width + 1) by (height + 1) pixels, each corner a quarter of a `size` by `size`
/// ellipse. Returns false and leaves the outline as it was when it cannot;
/// `error` then says why (the caller reports it).
bool FormRound(QWidget *window, int size, QString *error = nullptr);

} // namespace kavri::platform
