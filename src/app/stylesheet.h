#pragma once

#include <QString>

// Reads the style sheet at path (a resource such as ":/OXA/OXA.qss" or a file) and returns
// its bytes up to the first zero byte as Latin-1 text; empty when it cannot be opened.
QString loadStyleSheet(const QString &path);
