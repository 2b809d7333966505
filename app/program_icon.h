// The program's icon (window, notification area, About box).
#pragma once

#include <QIcon>

// Read as PNG by name: a QIcon made from a file name would probe every image format plugin
// installed (and keep them loaded) to find out what the file is.
QIcon programIcon();
