// SPDX-License-Identifier: GPL-3.0-or-later
// The platform services' table for the fuzz programs, which build only the sources they
// need: the real table lives with the Qt services (platform/services_qt.cpp), and every
// target installs its own fakes through setServices.
#include "platform/services.h"

namespace platform {
namespace {
Services* g_services = nullptr;
}

Services& services() { return *g_services; }
void setServices(Services* s) { g_services = s; }

}  // namespace platform
