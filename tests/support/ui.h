// SPDX-License-Identifier: GPL-3.0-or-later
// A window's controls found the way a user tells them apart: by their design names.
#pragma once

#include <gtest/gtest.h>

#include <QList>
#include <QObject>
#include <QString>
#include <stdexcept>
#include <string>

namespace testsupport {

// The child of `w` of that type and name; `index` picks one of a control array (the three
// "menuLedcolour" entries, in menu order). A missing child fails the test and ends it.
template <class T>
T* ui(const QObject& w, const char* name, int index = 0) {
  const QList<T*> found = w.findChildren<T*>(QString::fromLatin1(name));
  if (index >= 0 && index < found.size()) return found[index];
  const std::string what = std::string("no ") + T::staticMetaObject.className() + " named " + name + " (" +
                           std::to_string(index) + ") in " + w.objectName().toStdString();
  ADD_FAILURE() << what;
  throw std::logic_error(what);
}

}  // namespace testsupport
