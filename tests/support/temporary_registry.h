#pragma once

#include "settings/registry.h"

#include <QTemporaryDir>
#include <QtTest>

#include <string>

namespace velkor {

// A registry folder of the test's own for as long as it lives: XDG_CONFIG_HOME points into it.
class TemporaryConfigHome
{
public:
    TemporaryConfigHome() { qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8()); }
    ~TemporaryConfigHome() { qunsetenv("XDG_CONFIG_HOME"); }
    TemporaryConfigHome(const TemporaryConfigHome &) = delete;
    TemporaryConfigHome &operator=(const TemporaryConfigHome &) = delete;

    [[nodiscard]] bool isValid() const { return dir_.isValid(); }
    [[nodiscard]] QString path() const { return dir_.path(); }
    [[nodiscard]] QString filePath(const QString &name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};

// A string value of `key`; "<missing>" or "<not a string>" when it is not one.
inline std::string StoredString(const std::string &key, const std::string &name)
{
    TRegistry registry;
    if (!registry.OpenKeyReadOnly(key) || !registry.ValueExists(name))
        return "<missing>";
    if (registry.GetDataType(name) != TRegDataType::rdString)
        return "<not a string>";
    return registry.ReadString(name);
}

inline void StoreString(const std::string &key, const std::string &name, const std::string &value)
{
    TRegistry registry;
    QVERIFY(registry.OpenKey(key, true));
    registry.WriteString(name, value);
}

} // namespace velkor
