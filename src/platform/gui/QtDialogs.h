#pragma once

#include "platform/Dialogs.h"

namespace kavri::platform {

/// Real message boxes, titled with the application title; start-up installs them.
class QtDialogs final : public Dialogs
{
public:
    DialogAnswer show(DialogIcon icon, const QString &text, DialogButtons buttons) override;
    DialogAnswer showTitled(DialogIcon icon, const QString &text, DialogButtons buttons,
                            const QString &title) override;
    void open(DialogIcon icon, const QString &text, DialogButtons buttons,
              std::function<void(DialogAnswer)> answered) override;
};

} // namespace kavri::platform
