#pragma once

#include <QIcon>

// The update window's pictures (idle, checking, error), drawn for this program.
namespace UpdateResources {
QIcon icon(const QString &name);
}
