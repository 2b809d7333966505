// SPDX-License-Identifier: GPL-3.0-or-later
// The program's start.
#include "program/startup.h"

#include "app/frmMain.h"
#include "platform/errors.h"
#include "platform/log.h"
#include "platform/services.h"
#include "platform/single_instance.h"
#include "program/program_parts.h"
#include "version.h"

namespace startup {

std::unique_ptr<frmMain> Main(platform::InstanceGuard& instance) {
  // The desktop's common controls need no preparation here; a failure would be ignored.
  auto& msg = *platform::services().messageBox;
  try {
    if (!instance.acquire()) {
      platform::logEvent("another copy is running");
      msg.msgBox(QStringLiteral("Alarm is already running."), platform::mb::kInformation,
                 QString::fromUtf8(version::kProductName));
      return nullptr;
    }
    platform::logEvent("start");
    auto main = std::make_unique<frmMain>();
    main->setParts(makeProgramParts());
    main->Form_Load();
    // The session may end while the load waits on a message (a range warning of the
    // automatic arming): the window is unloaded then, and the start ends with it.
    if (main->isUnloaded()) {
      platform::logEvent("the window was unloaded while it loaded; the start ends");
      return nullptr;
    }
    main->show();
    return main;
  } catch (const platform::RuntimeError& e) {
    platform::logEvent("start-up failed: error " + std::to_string(e.number()) + " - " + e.description());
    msg.msgBox(QString::fromStdString(platform::startupErrorText(e.number(), e.description(), "Sub Main")),
               platform::mb::kOkOnly, QStringLiteral("Error"));
    return nullptr;
  }
}

}  // namespace startup
