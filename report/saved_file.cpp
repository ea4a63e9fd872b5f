// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/saved_file.h"

#include "report/report_printer.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

using zhuheng::PrintError;

namespace {

// Why the file cannot be opened, where the cause can be seen without trying: the checks hold
// on every platform, which do not all leave errno.
QString unwritable_place(const QFileInfo& file) {
    if (file.isDir()) {
        return QStringLiteral("这是一个文件夹的名称，不是文件");
    }
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir()) {
        return QStringLiteral("文件夹“%1”不存在").arg(QDir::toNativeSeparators(folder.filePath()));
    }
    if (!folder.isWritable() || (file.exists() && !file.isWritable())) {
        return QStringLiteral("没有写入的权限");
    }
    return {};
}

// Why a write failed, in the user's language where the cause is a common one: from errno
// where the failing call left it, else from what the file recorded.
QString write_failure(int error, const QSaveFile& file) {
    if (error != 0) {
        return errno_reason(error);
    }
    if (file.error() == QFileDevice::ResourceError) {
        return QStringLiteral("磁盘空间不足");
    }
    if (file.error() == QFileDevice::RenameError) {
        return QStringLiteral("无法替换原有的文件（它可能正被其他程序打开）");
    }
    return file.errorString();
}

} // namespace

QString errno_reason(int error) {
    switch (error) {
    case ENOSPC:
        return QStringLiteral("磁盘空间不足");
    case EFBIG:
        return QStringLiteral("文件超过允许的大小");
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("没有写入的权限");
    case ENOENT:
        return QStringLiteral("文件夹不存在");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

void save_whole(const QString& path, const QString& failure,
                const std::function<bool(QIODevice&)>& write) {
    const QString name = QDir::toNativeSeparators(path);
    const QString place = unwritable_place(QFileInfo(path));
    if (!place.isEmpty()) {
        throw PrintError(failure.arg(name, place).toStdString());
    }
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        throw PrintError(failure.arg(name, write_failure(errno, file)).toStdString());
    }
    const bool whole = write(file); // a PrintError leaves the file uncommitted: dropped
    // QSaveFile::commit() does not see a failure of its own final flush and would put the
    // truncated file in place (Qt 6.4): the flush is made and checked here first.
    errno = 0;
    const bool flushed = file.flush();
    const int error = errno;
    if (!whole || !flushed || file.error() != QFileDevice::NoError || !file.commit()) {
        throw PrintError(failure.arg(name, write_failure(flushed ? 0 : error, file)).toStdString());
    }
}
