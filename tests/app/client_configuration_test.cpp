// The client library's configuration root that the program lays out at start.
#include "app/client_configuration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace velkor {

class ClientConfigurationTest : public QObject
{
    Q_OBJECT

    QTemporaryDir cache_;

    static ino_t Inode(const QString &path)
    {
        struct stat status
        {
        };
        return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
    }

    static QByteArray Read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

private slots:
    void init()
    {
        QVERIFY(cache_.isValid());
        qputenv("XDG_CACHE_HOME", cache_.path().toUtf8());
        qunsetenv("FIREBIRD");
    }

    void cleanup() { qunsetenv("FIREBIRD"); }

    void an_operator_root_is_left_alone()
    {
        qputenv("FIREBIRD", "/somewhere/of/my/own");
        QCOMPARE(PrepareClientConfiguration(), QStringLiteral("/somewhere/of/my/own"));
        QCOMPARE(qgetenv("FIREBIRD"), QByteArray("/somewhere/of/my/own"));
        QVERIFY(!QFileInfo::exists(cache_.filePath(QStringLiteral("velkor"))));
    }

    void the_own_root_reads_the_system_settings_and_bounds_the_connection_wait()
    {
        const QString root = PrepareClientConfiguration();
        QCOMPARE(root, cache_.filePath(QStringLiteral("velkor/firebird")));
        QCOMPARE(qEnvironmentVariable("FIREBIRD"), root);
        const QByteArray conf = Read(root + QStringLiteral("/firebird.conf"));
        QVERIFY2(conf.contains("\ninclude " VELKOR_FIREBIRD_ROOT "/firebird.conf\n"), conf);
        QVERIFY2(conf.endsWith("\nConnectionTimeout = 15\n"), conf);
        // The character sets' module is a file under the root, the rest links to the system's.
        const QFileInfo module(root + QStringLiteral("/intl/libfbintl.so"));
        QVERIFY(module.isFile());
        QVERIFY(!module.isSymLink());
        QCOMPARE(module.size(),
                 QFileInfo(QStringLiteral(VELKOR_FIREBIRD_ROOT "/intl/libfbintl.so")).size());
        QCOMPARE(QFileInfo(root + QStringLiteral("/firebird.msg")).symLinkTarget(),
                 QStringLiteral(VELKOR_FIREBIRD_ROOT "/firebird.msg"));
        QVERIFY(QFileInfo(root + QStringLiteral("/plugins")).isDir());

        // A second start finds it laid out and lays it out the same.
        qunsetenv("FIREBIRD");
        QCOMPARE(PrepareClientConfiguration(), root);
        QCOMPARE(Read(root + QStringLiteral("/firebird.conf")), conf);
        QVERIFY(QDir(root).entryList({QStringLiteral("*.partial")}).isEmpty());
    }

    void a_start_rewrites_only_what_differs_from_the_own_settings()
    {
        const QString root = PrepareClientConfiguration();
        QVERIFY(!root.isEmpty());
        const QString confPath = root + QStringLiteral("/firebird.conf");
        const QString modulePath = root + QStringLiteral("/intl/libfbintl.so");
        const QByteArray conf = Read(confPath);
        const ino_t confFile = Inode(confPath);
        const ino_t moduleFile = Inode(modulePath);

        // Nothing changed: the same files stay, neither rewritten nor copied again.
        qunsetenv("FIREBIRD");
        QCOMPARE(PrepareClientConfiguration(), root);
        QCOMPARE(Inode(confPath), confFile);
        QCOMPARE(Inode(modulePath), moduleFile);

        // Settings edited by hand, or a module cut short, are laid out again.
        {
            QFile edited(confPath);
            QVERIFY(edited.open(QIODevice::Append));
            edited.write("ConnectionTimeout = 600\n");
        }
        QVERIFY(QFile::resize(modulePath, 100));
        qunsetenv("FIREBIRD");
        QCOMPARE(PrepareClientConfiguration(), root);
        QCOMPARE(Read(confPath), conf);
        QCOMPARE(QFileInfo(modulePath).size(),
                 QFileInfo(QStringLiteral(VELKOR_FIREBIRD_ROOT "/intl/libfbintl.so")).size());
        QCOMPARE(Read(modulePath), Read(QStringLiteral(VELKOR_FIREBIRD_ROOT "/intl/libfbintl.so")));
        QVERIFY(QDir(root + QStringLiteral("/intl"))
                    .entryList({QStringLiteral("*.partial")})
                    .isEmpty());
    }
};

} // namespace velkor

QTEST_MAIN(velkor::ClientConfigurationTest)
#include "client_configuration_test.moc"
