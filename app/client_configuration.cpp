#include "app/client_configuration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStandardPaths>

#include <cstdio>
#include <functional>

namespace velkor {

namespace {

Q_LOGGING_CATEGORY(lcClientConfiguration, "velkor.client")

constexpr char kRootVariable[] = "FIREBIRD";

// Writes `to` through a file beside it that is renamed over it, so that a panel already running
// keeps the file it mapped and no reader sees half a file. Nothing is synced to disk: the root
// is rebuilt at every start, and a file cut short by a crash differs in size and is rebuilt.
bool ReplaceWith(const QString &to, const std::function<bool(QFile &)> &write)
{
    const QString partial = to + QStringLiteral(".partial");
    QFile file(partial);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool written = write(file) && file.flush();
    file.close();
    if (!written || file.error() != QFileDevice::NoError ||
        ::rename(QFile::encodeName(partial).constData(), QFile::encodeName(to).constData()) != 0) {
        QFile::remove(partial);
        return false;
    }
    return true;
}

// The engine loads character sets only from a module that really lies under its root, not
// through a link; the module is copied, and again only when the system's one changes.
bool CopyWhenChanged(const QString &from, const QString &to)
{
    const QFileInfo source(from);
    const QFileInfo target(to);
    if (target.exists() && target.size() == source.size() &&
        target.lastModified() >= source.lastModified())
        return true;
    QFile input(from);
    if (!input.open(QIODevice::ReadOnly))
        return false;
    if (!ReplaceWith(to, [&input](QFile &output) {
            constexpr qint64 kChunk = 256 * 1024;
            while (!input.atEnd()) {
                const QByteArray chunk = input.read(kChunk);
                if (chunk.isEmpty() || output.write(chunk) != chunk.size())
                    return false;
            }
            return true;
        }))
        return false;
    // The copy keeps the module's permissions, as a copy by Qt would.
    return QFile::setPermissions(to, source.permissions());
}

// Left alone when it already says `text`, which spares the rewrite on every start but the first.
bool WriteText(const QString &path, const QByteArray &text)
{
    QFile current(path);
    if (current.open(QIODevice::ReadOnly) && current.size() == text.size() &&
        current.readAll() == text)
        return true;
    current.close();
    return ReplaceWith(path, [&text](QFile &file) { return file.write(text) == text.size(); });
}

bool LinkTo(const QString &target, const QString &link)
{
    if (QFileInfo(link).symLinkTarget() == target)
        return true;
    QFile::remove(link);
    return QFile::link(target, link);
}

QString LayOutRoot(const QString &system, const QString &root)
{
    const QDir systemDir(system);
    if (!systemDir.exists(QStringLiteral("firebird.conf")) ||
        !systemDir.exists(QStringLiteral("intl/fbintl.conf"))) {
        qCWarning(lcClientConfiguration).noquote()
            << "no Firebird configuration under" << system
            << "; the client library keeps its own (connection timeout 180 s)";
        return {};
    }
    if (!QDir().mkpath(root + QStringLiteral("/intl"))) {
        qCWarning(lcClientConfiguration).noquote() << "cannot make" << root;
        return {};
    }
    bool laidOut = true;
    // Everything else (messages, plugins, aliases) is the system's, seen through links.
    const QStringList entries =
        systemDir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : entries)
        if (name != QLatin1String("firebird.conf") && name != QLatin1String("intl"))
            laidOut = LinkTo(systemDir.filePath(name), root + u'/' + name) && laidOut;
    const QDir intl(systemDir.filePath(QStringLiteral("intl")));
    for (const QString &name : intl.entryList(QDir::Files))
        laidOut =
            CopyWhenChanged(intl.filePath(name), root + QStringLiteral("/intl/") + name) && laidOut;
    // The system's settings first; ours after them wins.
    const QByteArray conf =
        "# Written by velkor-control-panel at every start; changes are lost.\n"
        "# To use other settings, set FIREBIRD to a Firebird root of your own.\n"
        "include " +
        QFile::encodeName(systemDir.filePath(QStringLiteral("firebird.conf"))) +
        "\nConnectionTimeout = " + QByteArray::number(kConnectionTimeoutSeconds) + '\n';
    laidOut = WriteText(root + QStringLiteral("/firebird.conf"), conf) && laidOut;
    if (!laidOut) {
        qCWarning(lcClientConfiguration).noquote()
            << "cannot lay out the client configuration in" << root
            << "; the client library keeps its own (connection timeout 180 s)";
        return {};
    }
    return root;
}

} // namespace

QString PrepareClientConfiguration()
{
    if (qEnvironmentVariableIsSet(kRootVariable))
        return qEnvironmentVariable(kRootVariable);
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty())
        return {};
    const QString root = LayOutRoot(QStringLiteral(VELKOR_FIREBIRD_ROOT),
                                    cache + QStringLiteral("/velkor/firebird"));
    if (!root.isEmpty())
        qputenv(kRootVariable, QFile::encodeName(root));
    return root;
}

} // namespace velkor
