// SPDX-License-Identifier: GPL-3.0-or-later
// The table of services the program is using now, and the standard error box through it.
#include "platform/services.h"

#include <QtGlobal>

namespace platform {

namespace {

Services* g_services = nullptr;      // a test's own table
Services& (*g_desktop)() = nullptr;  // the desktop's, once the program has chosen it

}  // namespace

void setDesktopServices(Services& (*table)()) { g_desktop = table; }

Services& services() {
  if (g_services) return *g_services;
  if (!g_desktop) qFatal("platform::services(): no services installed (setServices or useDesktopServices)");
  return g_desktop();
}

void setServices(Services* s) { g_services = s; }

void showErrorBox(int number, const std::string& description, const std::string& location) {
  services().messageBox->msgBox(QString::fromStdString(standardErrorText(number, description, location)),
                                mb::kOkOnly, QStringLiteral("Error"));
}

}  // namespace platform
