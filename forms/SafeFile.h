// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Every file the program writes (designs, exports, plots, printed PDFs) is written so: only a
// regular file, a link to one, or a name that is free is a target; the data go to a temporary
// file beside the target, which replaces it in one rename only when it is complete and on the
// disk. Any failure leaves the old file as it was and nothing beside it. A temporary that a
// killed save left behind is taken over by the next save of the same file. Says nothing.
bool WriteFileSafely(const QString& path, const QByteArray& data);

// Says "Error while writing to file " + path, the message of every writer's failure.
void ReportWriteError(const QString& path);
