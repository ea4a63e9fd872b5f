// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

class QIODevice;

// Writes the file `path` whole or not at all: `write` writes the file into a new one beside it,
// which takes the place of `path` only when it is whole, so that a failure leaves neither a new
// or half file nor a damaged earlier one. `write` returns whether it wrote the whole file, or
// throws zhuheng::PrintError to give up with a reason of its own. A file
// that cannot be written throws PrintError with `failure` (its %1 the file's name, %2 the reason
// in the user's language: no such folder, a folder of that name, no permission, a full disk).
void save_whole(const QString& path, const QString& failure,
                const std::function<bool(QIODevice&)>& write);

// Why a file operation failed with errno `error` (not 0), in the user's language where the cause
// is a common one.
QString errno_reason(int error);
