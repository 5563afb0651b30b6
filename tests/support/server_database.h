#pragma once

#include "tests/support/test_database.h"

#include <string>

namespace velkor::test {

// The private server that ./test.sh starts (its port, user and password from the environment).
struct TTestServer
{
    // False when the tests run without one.
    [[nodiscard]] static bool Available();
    [[nodiscard]] static std::string Port();
    [[nodiscard]] static std::string UserName();
    [[nodiscard]] static std::string Password();
    // `path` on that server, as the client library takes it: localhost/PORT:path.
    [[nodiscard]] static std::string Remote(const std::string &path);
};

// A fresh, empty dialect 1 WIN1251 database that the private server makes in a temporary
// folder; dropped through the server and removed with its folder when the object goes.
class TServerDatabase
{
public:
    TServerDatabase();
    ~TServerDatabase();
    TServerDatabase(const TServerDatabase &) = delete;
    TServerDatabase &operator=(const TServerDatabase &) = delete;

    [[nodiscard]] const std::string &Path() const noexcept { return path_; }
    // Path() on the server.
    [[nodiscard]] std::string Remote() const { return TTestServer::Remote(path_); }

private:
    TTempFolder folder_;
    std::string path_;
};

// Runs one of the demo's scripts (install-monitor.sh, remove-monitor.sh) over `database` with
// the server's login; returns its exit code and sets `output` to what it printed.
int RunDemoScript(const std::string &script, const std::string &database, std::string &output);

} // namespace velkor::test
