#include "engine/SharedFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("SharedFolder", text);
}

QByteArray local(const QString &path)
{
    return QFile::encodeName(path);
}

bool statOf(const QString &path, struct stat *info)
{
    return ::stat(local(path).constData(), info) == 0;
}

QString folderOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

QString userName(uid_t uid)
{
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? size_t(size) : 16384);
    struct passwd entry = {};
    struct passwd *found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return QString::fromLocal8Bit(found->pw_name);
    return QString::number(uid);
}

QString groupName(gid_t gid)
{
    long size = ::sysconf(_SC_GETGR_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? size_t(size) : 16384);
    struct group entry = {};
    struct group *found = nullptr;
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return QString::fromLocal8Bit(found->gr_name);
    return QString::number(gid);
}

// "rw-r--r--", as ls shows the permission bits.
QString modeText(mode_t mode)
{
    QString text;
    const char letters[] = "rwx";
    for (int bit = 8; bit >= 0; --bit)
        text += (mode & (1u << bit)) ? QChar(QLatin1Char(letters[(8 - bit) % 3])) : QChar(u'-');
    return text;
}

void share(int fd, const struct stat &file, const struct stat &folder, mode_t add)
{
    if (file.st_uid != ::geteuid())
        return;
    // Failures are left to the start-up check of whoever cannot use the file.
    if (file.st_gid != folder.st_gid)
        (void)::fchown(fd, uid_t(-1), folder.st_gid);
    if ((file.st_mode & add) != add)
        (void)::fchmod(fd, (file.st_mode & 07777) | add);
}

} // namespace

bool SharedFolder::isGroupShared(const QString &directory)
{
    struct stat info = {};
    return statOf(directory, &info) && S_ISDIR(info.st_mode) && (info.st_mode & S_IWGRP);
}

void SharedFolder::adoptFile(int fd, const QString &folder)
{
    struct stat folderInfo = {};
    struct stat fileInfo = {};
    if (fd < 0 || !statOf(folder, &folderInfo) || !(folderInfo.st_mode & S_IWGRP)
        || ::fstat(fd, &fileInfo) != 0)
        return;
    share(fd, fileInfo, folderInfo, S_IRGRP | S_IWGRP);
}

void SharedFolder::adoptFile(const QString &path)
{
    const int fd = ::open(local(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return;
    adoptFile(fd, folderOf(path));
    ::close(fd);
}

void SharedFolder::adoptDirectory(const QString &path)
{
    struct stat parent = {};
    struct stat self = {};
    if (!statOf(folderOf(QDir::cleanPath(QFileInfo(path).absoluteFilePath())), &parent)
        || !(parent.st_mode & S_IWGRP))
        return;
    const int fd = ::open(local(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    if (::fstat(fd, &self) == 0)
        share(fd, self, parent, S_IRGRP | S_IWGRP | S_IXGRP | S_ISGID);
    ::close(fd);
}

bool SharedFolder::createFile(const QString &path)
{
    const int fd = ::open(local(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    adoptFile(fd, folderOf(path));
    ::close(fd);
    return true;
}

QString SharedFolder::writeProblem(const QString &path, const QString &what)
{
    struct stat info = {};
    if (!statOf(path, &info))
        return {};
    const bool directory = S_ISDIR(info.st_mode);
    // A directory must also be searchable for its files to be made and removed.
    const int needed = R_OK | W_OK | (directory ? X_OK : 0);
    if (::access(local(path).constData(), needed) == 0)
        return {};
    QStringList missing;
    if (::access(local(path).constData(), R_OK) != 0)
        missing << tr("read");
    if (::access(local(path).constData(), W_OK) != 0)
        missing << tr("write");
    if (directory && ::access(local(path).constData(), X_OK) != 0)
        missing << tr("search");
    return tr("%1 %2 cannot be used by this account (%3): it lacks %4 permission (owner %5, "
              "group %6, %7)")
        .arg(what, QDir::toNativeSeparators(path), userName(::geteuid()),
            missing.join(tr(" and ")), userName(info.st_uid), groupName(info.st_gid),
            modeText(info.st_mode));
}
